// Reads the items of a scene file from an InputStream, where the first item the bytes cannot
// hold, or the read budget cannot keep, throws Stop: a reader of many items checks in one place,
// where it catches, instead of after every item.
#pragma once

#include <cstdint>
#include <string>

#include "scene/ArchiveString.h"
#include "scene/InputStream.h"
#include "scene/ReadBudget.h"

template <class Stop>
class CheckedReader {
public:
    CheckedReader(InputStream& in, ReadBudget& budget) : m_in(in), m_budget(budget) {}

    // Counts the memory of records built against the budget.
    void Keep(uint64_t bytes) {
        if (!m_budget.Keep(bytes)) throw Stop{};
    }
    uint8_t U8() { return Checked(&InputStream::ReadU8); }
    uint16_t U16() { return Checked(&InputStream::ReadU16); }
    uint32_t U32() { return Checked(&InputStream::ReadU32); }
    int32_t I32() { return Checked(&InputStream::ReadI32); }
    float F32() { return Checked(&InputStream::ReadF32); }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | (uint64_t{U32()} << 32);
    }
    std::string Str() {
        std::string s;
        if (!ReadArchiveString(m_in, s)) throw Stop{};
        return s;
    }
    void Bytes(void* dst, size_t n) {
        if (!m_in.Read(dst, n)) throw Stop{};
    }
    // The next n bytes in place, n checked against what remains.
    const uint8_t* Span(uint64_t n) {
        const uint8_t* bytes;
        if (n > m_in.Remaining() || !m_in.ReadSpan(static_cast<size_t>(n), bytes)) throw Stop{};
        return bytes;
    }
    uint64_t Remaining() const { return m_in.Remaining(); }

private:
    template <class T>
    T Checked(bool (InputStream::*read)(T&)) {
        T v;
        if (!(m_in.*read)(v)) throw Stop{};
        return v;
    }

    InputStream& m_in;
    ReadBudget& m_budget;
};
