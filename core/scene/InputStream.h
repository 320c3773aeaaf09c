// A bounded, seekable byte reader over a file or a block of memory. Every read checks the
// bytes that remain first and either delivers all it was asked for or nothing, so callers can
// check counts against Remaining() before allocating and can never read past the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class InputStream {
public:
    // Reads from memory that the caller keeps alive for the stream's life.
    InputStream(const void* data, size_t size);
    ~InputStream();
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    // Opens a file for reading; on failure returns null and sets errorCode to the errno value.
    static std::unique_ptr<InputStream> OpenFile(const std::string& path, int& errorCode);

    uint64_t Size() const { return m_size; }
    uint64_t Tell() const { return m_pos; }
    uint64_t Remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    // Any position is accepted; reads from beyond the end fail.
    void Seek(uint64_t pos) { m_pos = pos; }
    // True once a read from the file itself failed (not for reads past the end).
    bool IoError() const { return m_ioError; }

    // Copies n bytes to dst and advances, or returns false and leaves the position alone.
    bool Read(void* dst, size_t n);
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
    InputStream(std::FILE* file, uint64_t size);
    // Makes the window hold the byte at m_pos (which is below m_size).
    bool Fill();

    std::FILE* m_file = nullptr;
    const uint8_t* m_memory = nullptr;
    uint64_t m_size = 0;
    uint64_t m_pos = 0;
    bool m_ioError = false;
    // File mode: m_window holds the bytes from m_windowStart on.
    std::vector<uint8_t> m_window;
    uint64_t m_windowStart = 0;
    size_t m_windowLength = 0;
};
