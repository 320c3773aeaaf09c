// What a reader may spend on one file, so that no file, however crafted, can make loading take
// more than linear time or memory beyond a small multiple of its size. Two counts are kept: the
// bytes the reader looks at (a chunk that is walked again through an overlapping chunk is
// counted again) and the bytes of the records it builds. A well-formed file stays far below both
// limits; a file that would pass one is read as if it ended there.
#pragma once

#include <cstdint>
#include <string>

class ReadBudget {
public:
    // Looking at every byte a few times over, plus room for small files.
    static constexpr uint64_t kLookFactor = 4;
    static constexpr uint64_t kLookAllowance = uint64_t{16} << 20;
    // Records may take a few times the file's size: a vertex or a triangle in memory takes about
    // twice its bytes in a file, and a list that grows briefly holds its old and new blocks.
    static constexpr uint64_t kKeepFactor = 3;
    static constexpr uint64_t kKeepAllowance = uint64_t{64} << 20;

    // The limits for a file of fileSize bytes.
    explicit ReadBudget(uint64_t fileSize)
        : ReadBudget(kLookFactor * fileSize + kLookAllowance,
                     kKeepFactor * fileSize + kKeepAllowance) {}
    ReadBudget(uint64_t lookLimit, uint64_t keepLimit)
        : m_lookLeft(lookLimit), m_keepLeft(keepLimit) {}

    // Counts bytes looked at; false, from then on for good, once the limit is passed.
    bool Look(uint64_t bytes) { return Spend(m_lookLeft, bytes); }
    // Counts bytes of records built; false, from then on for good, once the limit is passed.
    bool Keep(uint64_t bytes) { return Spend(m_keepLeft, bytes); }
    bool Spent() const { return m_spent; }

    // The memory a string takes beyond its own object: none while it fits in the object.
    static uint64_t HeapBytes(const std::string& s) {
        return s.size() < sizeof(std::string) / 2 ? 0 : s.size() + 1;
    }

private:
    bool Spend(uint64_t& left, uint64_t bytes) {
        if (m_spent || bytes > left) {
            m_spent = true;
            return false;
        }
        left -= bytes;
        return true;
    }

    uint64_t m_lookLeft;
    uint64_t m_keepLeft;
    bool m_spent = false;
};
