// 3D Studio chunks written straight into one growing byte buffer, for the 3DS export and the
// benchmark scene.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/ByteOrder.h"
#include "scene/OutputStream.h"

// Writes chunks straight into one growing byte buffer. A chunk is opened, filled and closed;
// closing writes its length into the header, so nested chunks never get copied. This keeps
// building a file of tens of megabytes cheap, unlike composing it from Chunk3ds values.
class ChunkWriter {
public:
    void Open(uint16_t id) {
        m_open.push_back(m_bytes.size());
        m_out.WriteU16(id);
        m_out.WriteU32(0);  // set by Close
    }
    void Close() {
        const size_t start = m_open.back();
        m_open.pop_back();
        StoreU32(m_bytes.data() + start + 2, static_cast<uint32_t>(m_bytes.size() - start));
    }

    void U8(uint8_t v) { m_out.WriteU8(v); }
    void U16(uint16_t v) { m_out.WriteU16(v); }
    void I16(int16_t v) { m_out.WriteU16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v) { m_out.WriteU32(v); }
    void F32(float v) { m_out.WriteF32(v); }
    // A name with its terminating zero byte.
    void Name(const std::string& s) {
        m_out.Write(s.data(), s.size());
        m_out.WriteU8(0);
    }

    void Reserve(size_t bytes) { m_bytes.reserve(bytes); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // Hands the bytes over and leaves the writer empty.
    std::vector<uint8_t> Take() {
        std::vector<uint8_t> bytes;
        bytes.swap(m_bytes);
        return bytes;
    }
    // True once every opened chunk was closed.
    bool Balanced() const { return m_open.empty(); }

private:
    std::vector<uint8_t> m_bytes;
    OutputStream m_out{m_bytes};
    std::vector<size_t> m_open;  // header offsets of the chunks not yet closed
};
