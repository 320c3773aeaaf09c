// A bounded, seekable reader of little-endian items from bytes in memory: a block the caller
// keeps alive, or a file that OpenFile reads in as it is asked for (see FileWindows.h), so that a
// large file takes a few megabytes while it is read, not its size. Files and memory go through
// the same reads. Every read checks the bytes that remain first and either delivers all it was
// asked for or nothing, so callers can check counts against Remaining() before allocating and can
// never read past the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scene/FileWindows.h"

class InputStream {
public:
    // Reads from memory that the caller keeps alive for the stream's life.
    InputStream(const void* data, size_t size);
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    // The error OpenFile gives for a path that names neither a regular file nor a folder (a
    // pipe, a socket or a device); outside the range of errno values.
    static constexpr int kNotRegularFile = 0x10000;

    // Opens a file for reading; a small file is read whole at once. On failure returns null and
    // sets errorCode to the errno value; a read that fails or ends before the file's size gives
    // EIO. Only a regular file is read: a folder gives EISDIR, anything else kNotRegularFile, at
    // once and without waiting for a writer. sizes: how a large file is read in, for the tests.
    static std::unique_ptr<InputStream> OpenFile(const std::string& path, int& errorCode,
                                                 const WindowSizes& sizes = WindowSizes());

    // The errno value of a read from the file that failed after it was opened (EIO when it was
    // cut short meanwhile); 0 while there was none. Every read fails from then on, as at the end:
    // the reader stops, and its caller reports the file as unreadable.
    int Error() const { return m_windows ? m_windows->Error() : 0; }

    uint64_t Size() const { return m_size; }
    uint64_t Tell() const { return m_pos; }
    uint64_t Remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    // Any position is accepted; reads from beyond the end fail.
    void Seek(uint64_t pos) { m_pos = pos; }

    // Copies n bytes to dst and advances, or returns false and leaves the position alone.
    bool Read(void* dst, size_t n);
    // Points bytes at the next n bytes, valid until the next read, and advances past them; or
    // returns false and leaves the position alone. Reads large lists without copying them.
    bool ReadSpan(size_t n, const uint8_t*& bytes);
    bool Skip(uint64_t n);

    bool ReadU8(uint8_t& v) { return Read(&v, 1); }
    bool ReadU16(uint16_t& v);
    bool ReadI16(int16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);
    bool ReadF32(float& v);
    // Reads bytes up to and including a zero byte; the string gets the bytes before it. Without
    // a zero byte before the end it returns false and the position is at the end.
    bool ReadCString(std::string& s);

private:
    InputStream(std::unique_ptr<FileWindows> windows, uint64_t size);
    // Whether bytes [from, from + n) are there to be read.
    bool Provide(uint64_t from, uint64_t n) { return !m_windows || m_windows->Provide(from, n); }

    std::unique_ptr<FileWindows> m_windows;  // a file's bytes; null for the caller's memory
    const uint8_t* m_data = nullptr;
    uint64_t m_size = 0;
    uint64_t m_pos = 0;
};
