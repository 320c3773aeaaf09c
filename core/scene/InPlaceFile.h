// Writing a file in place: the same file, truncated and written, so that a program that opened
// it before the write (a thumbnail service reading through the handle of the file it made) sees
// the new contents. The file is opened first, before the contents are ready, so that a process
// may give up its right to open files in between; it is touched only when the contents are
// written. A write that fails leaves the file empty, or removes it when the opening made it.
#pragma once

#include <cstddef>
#include <string>

class InPlaceFile {
public:
    InPlaceFile() = default;
    // Closes the file; removes it when the opening made it and nothing was written.
    ~InPlaceFile();
    InPlaceFile(const InPlaceFile&) = delete;
    InPlaceFile& operator=(const InPlaceFile&) = delete;

    // Opens path for writing, making it when it is not there. False with errorCode set to an
    // errno value, or InputStream::kNotRegularFile when the path names no plain file (a pipe or
    // a device is left alone).
    bool Open(const std::string& path, int& errorCode);

    // Truncates the open file and writes data into it, then closes it. False with errorCode set.
    bool Write(const void* data, size_t size, int& errorCode);

private:
    void Close(bool remove);

    int m_fd = -1;
    bool m_made = false;
    std::string m_path;
};

// Opens and writes path at once.
bool WriteFileInPlace(const std::string& path, const void* data, size_t size, int& errorCode);
