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

bool WriteFileInPlace(const std::string& path, const void* data, size_t size, int& errorCode) {
    // Not blocking: opening a pipe for writing would wait for a reader.
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    bool made = true;
    int fd = open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        made = false;
        fd = open(path.c_str(), kFlags);
    }
    if (fd < 0) {
        errorCode = errno;
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        errorCode = S_ISREG(info.st_mode) ? errno : InputStream::kNotRegularFile;
        close(fd);
        return false;
    }
    bool ok = ftruncate(fd, 0) == 0 && WriteAll(fd, static_cast<const char*>(data), size);
    if (!ok) {
        errorCode = errno;
        // No partial picture stays behind; the write's failure is the one reported.
        [[maybe_unused]] const int cleared = ftruncate(fd, 0);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        errorCode = errno;
    }
    if (!ok && made) unlink(path.c_str());
    return ok;
}
