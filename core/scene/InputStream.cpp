#include "scene/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "scene/BulkMemory.h"
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

private:
    int m_fd;
};

// Reads exactly length bytes; false with errorCode set when the file fails or ends first.
bool ReadWhole(int fd, uint8_t* bytes, size_t length, int& errorCode) {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = read(fd, bytes + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            errorCode = n < 0 && errno ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

InputStream::InputStream(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}

InputStream::InputStream(OwnedBytes owned, size_t size)
    : m_owned(std::move(owned)), m_data(m_owned.get()), m_size(size) {}

void InputStream::FreeBytes::operator()(uint8_t* bytes) const {
    FreeBulk(bytes);
}

// Left uninitialised: the read fills every byte.
InputStream::OwnedBytes InputStream::AllocateBytes(size_t size) {
    return OwnedBytes(static_cast<uint8_t*>(AllocateBulk(size)));
}

std::unique_ptr<InputStream> InputStream::OpenFile(const std::string& path, int& errorCode) {
    // Without O_NONBLOCK, opening a pipe that nobody writes to would wait for ever; the type is
    // looked at once the file is open, so that it cannot change in between.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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
    const size_t length = static_cast<size_t>(size);
    OwnedBytes bytes = AllocateBytes(length);
    if (!bytes) {
        errorCode = ENOMEM;
        return nullptr;
    }
    if (!ReadWhole(file.Get(), bytes.get(), length, errorCode)) return nullptr;
    errorCode = 0;
    return std::unique_ptr<InputStream>(new InputStream(std::move(bytes), length));
}

bool InputStream::Read(void* dst, size_t n) {
    const uint8_t* bytes;
    if (!ReadSpan(n, bytes)) return false;
    if (n > 0) std::memcpy(dst, bytes, n);
    return true;
}

bool InputStream::ReadSpan(size_t n, const uint8_t*& bytes) {
    if (n > Remaining()) return false;
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
    const size_t available = static_cast<size_t>(Remaining());
    if (available == 0) return false;
    const uint8_t* base = m_data + m_pos;
    const void* zero = std::memchr(base, 0, available);
    if (!zero) {
        s.assign(reinterpret_cast<const char*>(base), available);
        m_pos = m_size;
        return false;
    }
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - base);
    s.assign(reinterpret_cast<const char*>(base), length);
    m_pos += length + 1;
    return true;
}
