// A buffered little-endian byte writer into memory or an open file. Errors are sticky: after
// the first failed write every later one is dropped and Ok() stays false.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class OutputStream {
public:
    // Appends to a byte vector that outlives the stream.
    explicit OutputStream(std::vector<uint8_t>& memory);
    // Writes to a file the caller opened and closes; Flush() before closing it.
    explicit OutputStream(std::FILE* file);
    ~OutputStream();
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    void Write(const void* data, size_t n);
    void WriteU8(uint8_t v) { Write(&v, 1); }
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteF32(float v);

    // Hands buffered bytes to the file; false when any write so far failed.
    bool Flush();
    bool Ok() const { return m_ok; }
    // The errno value of the first failure, 0 when none is known.
    int ErrorCode() const { return m_errorCode; }

private:
    std::vector<uint8_t>* m_memory = nullptr;
    std::FILE* m_file = nullptr;
    std::vector<uint8_t> m_buffer;
    bool m_ok = true;
    int m_errorCode = 0;
};
