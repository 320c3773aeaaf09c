#include "scene/OutputStream.h"

#include <cerrno>
#include <cstring>

#include "scene/ByteOrder.h"

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

OutputStream::OutputStream(std::vector<uint8_t>& memory) : m_memory(&memory) {}

OutputStream::OutputStream(std::FILE* file) : m_file(file) {
    m_buffer.reserve(kBufferSize);
}

OutputStream::~OutputStream() = default;

void OutputStream::Write(const void* data, size_t n) {
    if (!m_ok || n == 0) return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (m_memory) {
        m_memory->insert(m_memory->end(), bytes, bytes + n);
        return;
    }
    if (m_buffer.size() + n > kBufferSize) {
        if (!Flush()) return;
        if (n >= kBufferSize) {
            errno = 0;
            if (std::fwrite(bytes, 1, n, m_file) != n) {
                m_ok = false;
                m_errorCode = errno ? errno : EIO;
            }
            return;
        }
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + n);
}

void OutputStream::WriteU16(uint16_t v) {
    uint8_t b[2];
    StoreU16(b, v);
    Write(b, 2);
}

void OutputStream::WriteU32(uint32_t v) {
    uint8_t b[4];
    StoreU32(b, v);
    Write(b, 4);
}

void OutputStream::WriteF32(float v) {
    uint8_t b[4];
    StoreF32(b, v);
    Write(b, 4);
}

bool OutputStream::Flush() {
    if (!m_ok || !m_file) return m_ok;
    if (!m_buffer.empty()) {
        errno = 0;
        if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
            m_ok = false;
            m_errorCode = errno ? errno : EIO;
        }
        m_buffer.clear();
    }
    if (m_ok && std::fflush(m_file) != 0) {
        m_ok = false;
        m_errorCode = errno ? errno : EIO;
    }
    return m_ok;
}
