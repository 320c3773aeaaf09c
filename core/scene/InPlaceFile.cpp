#include "scene/InPlaceFile.h"

#include <cerrno>

#include "scene/InputStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

InPlaceFile::~InPlaceFile() {
    Close(true);
}

void InPlaceFile::Close(bool remove) {
    if (m_fd < 0) return;
    close(m_fd);
    m_fd = -1;
    if (remove && m_made) unlink(m_path.c_str());
}

bool InPlaceFile::Open(const std::string& path, int& errorCode) {
    Close(true);
    // Not blocking: opening a pipe for writing would wait for a reader.
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    m_made = true;
    int fd = open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        m_made = false;
        fd = open(path.c_str(), kFlags);
    }
    if (fd < 0) {
        errorCode = errno;
        return false;
    }
    m_fd = fd;
    m_path = path;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        errorCode = errno;
        Close(true);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        errorCode = InputStream::kNotRegularFile;
        Close(true);
        return false;
    }
    return true;
}

bool InPlaceFile::Write(const void* data, size_t size, int& errorCode) {
    if (m_fd < 0) {
        errorCode = EBADF;
        return false;
    }
    bool ok = ftruncate(m_fd, 0) == 0 && WriteAll(m_fd, static_cast<const char*>(data), size);
    if (!ok) {
        errorCode = errno;
        // No partial picture stays behind; the write's failure is the one reported.
        [[maybe_unused]] const int cleared = ftruncate(m_fd, 0);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0 && ok) {
        ok = false;
        errorCode = errno;
    }
    if (!ok && m_made) unlink(m_path.c_str());
    return ok;
}

bool WriteFileInPlace(const std::string& path, const void* data, size_t size, int& errorCode) {
    InPlaceFile file;
    return file.Open(path, errorCode) && file.Write(data, size, errorCode);
}
