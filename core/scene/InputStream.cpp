#include "scene/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "scene/ByteOrder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) close(m_fd);
    }
    int Get() const { return m_fd; }
    // Hands the descriptor on: it is no longer closed here.
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

}  // namespace

InputStream::InputStream(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}

InputStream::InputStream(std::unique_ptr<FileWindows> windows, uint64_t size)
    : m_windows(std::move(windows)), m_data(m_windows->Data()), m_size(size) {}

std::unique_ptr<InputStream> InputStream::OpenFile(const std::string& path, int& errorCode,
                                                   const WindowSizes& sizes) {
    // Without O_NONBLOCK, opening a pipe that nobody writes to would wait for ever; the type is
    // looked at once the file is open, so that it cannot change in between.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        errorCode = errno ? errno : ENOENT;
        // A socket cannot be opened at all (ENXIO): it is refused as what it is.
        struct stat status;
        if (errorCode == ENXIO && stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            errorCode = kNotRegularFile;
        return nullptr;
    }
    struct stat status;
    if (fstat(file.Get(), &status) != 0) {
        errorCode = errno ? errno : EIO;
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        errorCode = S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile;
        return nullptr;
    }
    // A regular file never blocks; reading it in the usual way is what is left to do.
    const int flags = fcntl(file.Get(), F_GETFL);
    if (flags >= 0) fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK);

    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (size > std::numeric_limits<size_t>::max()) {
        errorCode = EFBIG;
        return nullptr;
    }
    std::unique_ptr<FileWindows> windows =
        FileWindows::Open(file.Release(), size, sizes, errorCode);
    if (!windows) return nullptr;
    return std::unique_ptr<InputStream>(new InputStream(std::move(windows), size));
}

bool InputStream::Read(void* dst, size_t n) {
    const uint8_t* bytes;
    if (!ReadSpan(n, bytes)) return false;
    if (n > 0) std::memcpy(dst, bytes, n);
    return true;
}

bool InputStream::ReadSpan(size_t n, const uint8_t*& bytes) {
    if (n > Remaining() || !Provide(m_pos, n)) return false;
    // Past the end only an empty span fits; it points at the end.
    bytes = m_data + std::min(m_pos, m_size);
    m_pos += n;
    return true;
}

bool InputStream::Skip(uint64_t n) {
    if (n > Remaining()) return false;
    m_pos += n;
    return true;
}

bool InputStream::ReadU16(uint16_t& v) {
    const uint8_t* b;
    if (!ReadSpan(2, b)) return false;
    v = LoadU16(b);
    return true;
}

bool InputStream::ReadI16(int16_t& v) {
    uint16_t u;
    if (!ReadU16(u)) return false;
    v = static_cast<int16_t>(u);
    return true;
}

bool InputStream::ReadU32(uint32_t& v) {
    const uint8_t* b;
    if (!ReadSpan(4, b)) return false;
    v = LoadU32(b);
    return true;
}

bool InputStream::ReadI32(int32_t& v) {
    uint32_t u;
    if (!ReadU32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool InputStream::ReadF32(float& v) {
    const uint8_t* b;
    if (!ReadSpan(4, b)) return false;
    v = LoadF32(b);
    return true;
}

bool InputStream::ReadCString(std::string& s) {
    s.clear();
    if (Remaining() == 0) return false;
    // Piece by piece, window by window for a file: a string may be longer than the windows held.
    while (m_pos < m_size) {
        size_t piece = static_cast<size_t>(Remaining());
        if (m_windows)
            piece = std::min(piece, m_windows->WindowBytes() -
                                        static_cast<size_t>(m_pos % m_windows->WindowBytes()));
        if (!Provide(m_pos, piece)) break;
        const uint8_t* base = m_data + m_pos;
        const void* zero = std::memchr(base, 0, piece);
        const size_t length =
            zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - base) : piece;
        s.append(reinterpret_cast<const char*>(base), length);
        if (zero) {
            m_pos += length + 1;
            return true;
        }
        m_pos += piece;
    }
    m_pos = m_size;
    return false;
}
