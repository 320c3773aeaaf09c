// A file's bytes at their offsets in one block of address space, read in as they are asked for,
// window by window, and given back to the system once the reader has moved on: a large file
// being read takes a few windows of memory, not its whole size, next to the records built from
// it.
//
// The file is read, not mapped. A mapping of a file that another program cuts short while it is
// read faults (SIGBUS) where the pages went, which no reader can check beforehand; a copy that
// comes up short is an error like any other. The copy is also the reader's own: bytes it has
// looked at cannot change under it.
//
// A window that was given back is read again when it is asked for again. A crafted file can jump
// back and forth between far places; once the windows read again add up to the file's size, every
// window read from then on is kept, so that reading never copies more than twice the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// How the windows are cut: windowBytes (rounded up to whole pages) each, at most resident of them
// held at a time. A file no larger than all of them together is read whole at once.
struct WindowSizes {
    size_t windowBytes = size_t{2} << 20;  // a huge page
    size_t resident = 4;
};

class FileWindows {
public:
    // Takes the open file descriptor fd of a regular file of size bytes, closed with this. On
    // failure returns null and sets errorCode: ENOMEM without the address space, the read's errno
    // (EIO when the file ends before its size) when a small file or the first window cannot be
    // read.
    static std::unique_ptr<FileWindows> Open(int fd, uint64_t size, const WindowSizes& sizes,
                                             int& errorCode);
    ~FileWindows();
    FileWindows(const FileWindows&) = delete;
    FileWindows& operator=(const FileWindows&) = delete;

    // Where byte 0 of the file is; the bytes are there once Provide said so.
    const uint8_t* Data() const { return m_base; }
    size_t WindowBytes() const { return m_windowBytes; }
    // Makes bytes [from, from + n) of the file hold their contents, until the next Provide. False
    // once a read failed or came up short (the file shrank); Error() then tells why.
    bool Provide(uint64_t from, uint64_t n);
    int Error() const { return m_error; }
    // Windows held now and windows read so far, counting those read again.
    size_t Resident() const { return m_resident.size(); }
    size_t Reads() const { return m_reads; }

private:
    enum State : uint8_t { kNeverRead, kHeld, kGivenBack };

    FileWindows(int fd, uint64_t size, size_t windowBytes, size_t resident);
    bool Fill(size_t window);
    void GiveBack(size_t window);
    size_t WindowLength(size_t window) const;

    int m_fd;
    uint64_t m_size;
    size_t m_windowBytes;
    size_t m_residentLimit;
    uint8_t* m_mapping = nullptr;  // the reserved address space, aligned within to a huge page
    size_t m_mappingBytes = 0;
    uint8_t* m_base = nullptr;
    std::vector<State> m_states;
    std::deque<size_t> m_resident;  // held windows, the longest held first
    uint64_t m_readAgain = 0;       // bytes of windows read a second time or more
    bool m_keepAll = false;
    size_t m_reads = 0;
    int m_error = 0;
};
