#include "scene/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "scene/ByteOrder.h"

namespace {

constexpr size_t kWindowSize = 64 * 1024;

bool SeekFile(std::FILE* file, uint64_t pos) {
#if defined(_WIN32)
    return _fseeki64(file, static_cast<__int64>(pos), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

}  // namespace

InputStream::InputStream(const void* data, size_t size)
    : m_memory(static_cast<const uint8_t*>(data)), m_size(size) {}

InputStream::InputStream(std::FILE* file, uint64_t size) : m_file(file), m_size(size) {}

InputStream::~InputStream() {
    if (m_file) std::fclose(m_file);
}

std::unique_ptr<InputStream> InputStream::OpenFile(const std::string& path, int& errorCode) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        errorCode = EISDIR;
        return nullptr;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        errorCode = errno ? errno : ENOENT;
        return nullptr;
    }
    if (std::fseek(file, 0, SEEK_END) != 0) {
        errorCode = errno ? errno : EIO;
        std::fclose(file);
        return nullptr;
    }
#if defined(_WIN32)
    const long long end = _ftelli64(file);
#else
    const long long end = ftello(file);
#endif
    if (end < 0) {
        errorCode = errno ? errno : EISDIR;
        std::fclose(file);
        return nullptr;
    }
    errorCode = 0;
    return std::unique_ptr<InputStream>(new InputStream(file, static_cast<uint64_t>(end)));
}

bool InputStream::Fill() {
    if (m_pos >= m_windowStart && m_pos < m_windowStart + m_windowLength) return true;
    m_window.resize(kWindowSize);
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kWindowSize, m_size - m_pos));
    m_windowStart = m_pos;
    m_windowLength = 0;
    if (!SeekFile(m_file, m_pos)) {
        m_ioError = true;
        return false;
    }
    const size_t got = std::fread(m_window.data(), 1, want, m_file);
    m_windowLength = got;
    if (got == 0) {
        m_ioError = true;
        return false;
    }
    return true;
}

bool InputStream::Read(void* dst, size_t n) {
    if (n > Remaining()) return false;
    if (n == 0) return true;
    if (m_memory) {
        std::memcpy(dst, m_memory + m_pos, n);
        m_pos += n;
        return true;
    }
    uint8_t* out = static_cast<uint8_t*>(dst);
    const uint64_t start = m_pos;
    while (n > 0) {
        const bool inWindow = m_pos >= m_windowStart && m_pos < m_windowStart + m_windowLength;
        if (!inWindow && n >= kWindowSize) {
            // Large blocks go straight to their destination.
            if (!SeekFile(m_file, m_pos) || std::fread(out, 1, n, m_file) != n) {
                m_ioError = true;
                m_pos = start;
                return false;
            }
            m_pos += n;
            return true;
        }
        if (!Fill()) {
            m_pos = start;
            return false;
        }
        const size_t offset = static_cast<size_t>(m_pos - m_windowStart);
        const size_t take = std::min(n, m_windowLength - offset);
        std::memcpy(out, m_window.data() + offset, take);
        out += take;
        n -= take;
        m_pos += take;
    }
    return true;
}

bool InputStream::Skip(uint64_t n) {
    if (n > Remaining()) return false;
    m_pos += n;
    return true;
}

bool InputStream::ReadU16(uint16_t& v) {
    uint8_t b[2];
    if (!Read(b, 2)) return false;
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
    uint8_t b[4];
    if (!Read(b, 4)) return false;
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
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    v = LoadF32(b);
    return true;
}

bool InputStream::ReadCString(std::string& s) {
    s.clear();
    while (m_pos < m_size) {
        const uint8_t* base;
        size_t available;
        if (m_memory) {
            base = m_memory + m_pos;
            available = static_cast<size_t>(m_size - m_pos);
        } else {
            if (!Fill()) return false;
            const size_t offset = static_cast<size_t>(m_pos - m_windowStart);
            base = m_window.data() + offset;
            available = m_windowLength - offset;
        }
        const void* zero = std::memchr(base, 0, available);
        const size_t take =
            zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - base) : available;
        s.append(reinterpret_cast<const char*>(base), take);
        m_pos += take;
        if (zero) {
            m_pos += 1;
            return true;
        }
    }
    return false;
}
