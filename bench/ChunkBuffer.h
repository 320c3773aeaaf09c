// Writes 3D Studio chunks straight into one growing byte buffer. A chunk is opened, filled and
// closed; closing writes its length into the header, so nested chunks never get copied. This
// keeps building a file of tens of megabytes cheap, unlike composing it from chunk values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class ChunkBuffer {
public:
    void Open(uint16_t id) {
        m_open.push_back(m_bytes.size());
        U16(id);
        U32(0);  // set by Close
    }
    void Close() {
        const size_t start = m_open.back();
        m_open.pop_back();
        const uint32_t length = static_cast<uint32_t>(m_bytes.size() - start);
        for (int i = 0; i < 4; ++i)
            m_bytes[start + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
    }

    void U8(uint8_t v) { m_bytes.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void F32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    // A name with its terminating zero byte.
    void Name(const std::string& s) {
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        U8(0);
    }

    void Reserve(size_t bytes) { m_bytes.reserve(bytes); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // Hands the bytes over and leaves the buffer empty.
    std::vector<uint8_t> Take() { return std::move(m_bytes); }
    // True once every opened chunk was closed.
    bool Balanced() const { return m_open.empty(); }

private:
    std::vector<uint8_t> m_bytes;
    std::vector<size_t> m_open;  // header offsets of the chunks not yet closed
};
