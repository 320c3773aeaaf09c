// What the import child's own readers share: where their bytes come from (a file read in pieces,
// or memory for the fuzz targets) and the joining of identical vertices as the Open Asset Import
// Library joins them, so that each reader gives the scene the library's reading gives.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "MeshObjects.h"
#include "scene/Scene.h"

// Where the bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads exactly size bytes, or fails.
    virtual bool Read(void* to, size_t size) = 0;
};

// Where the files the readers read tell how far they have been read, as a share of their size:
// the import child passes it on to the program. Nothing is told until one is set.
void SetReadProgress(std::function<void(double share)> tell);

// A regular file, read in pieces; closed when it goes.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(const std::string& path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;
    // Whether the file is open and regular; its size.
    bool Open() const { return m_open; }
    uint64_t Size() const { return m_size; }
    bool Read(void* to, size_t size) override;

private:
    int m_fd = -1;
    bool m_open = false;
    uint64_t m_size = 0;
    uint64_t m_read = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const unsigned char* bytes, size_t size) : m_at(bytes), m_left(size) {}
    bool Read(void* to, size_t size) override;

private:
    const unsigned char* m_at;
    size_t m_left;
};

// What ends a line of a text format for the library, and the spaces between its words.
inline bool IsLineEnd(char c) {
    return c == '\n' || c == '\r' || c == '\0' || c == '\f';
}
inline bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}
inline bool OnlySpaces(const char* at, const char* end) {
    for (; at < end; ++at)
        if (!IsSpace(*at)) return false;
    return true;
}

// Reads size bytes of source a piece at a time and calls line(at, end, ending) for each line, its
// ending not included but given (-1 for the last line when the file ends without one); false with why when the source fails, a line
// is longer than 16 MB or line returns false (having said why).
template <class Line>
bool ReadTextLines(ByteSource& source, uint64_t size, Line line, std::string& why) {
    constexpr size_t kPiece = size_t{4} << 20;
    constexpr size_t kLongestLine = size_t{16} << 20;
    std::vector<char> buffer;
    size_t kept = 0;  // the start of a line the last piece ended in
    for (uint64_t left = size; left > 0 || kept > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(kPiece, left));
        buffer.resize(kept + piece);
        if (piece > 0 && !source.Read(buffer.data() + kept, piece)) {
            why = "it could not be read to its end";
            return false;
        }
        left -= piece;
        const char* at = buffer.data();
        const char* const end = at + buffer.size();
        // The whole lines of the buffer; at the file's end, the last line too.
        for (;;) {
            const char* lineEnd = at;
            while (lineEnd < end && !IsLineEnd(*lineEnd))
                ++lineEnd;
            if (lineEnd == end && left > 0) break;
            if (!line(at, lineEnd, lineEnd < end ? *lineEnd : -1)) return false;
            if (lineEnd == end) {
                at = end;
                break;
            }
            at = lineEnd + 1;
        }
        kept = static_cast<size_t>(end - at);
        if (kept > kLongestLine) {
            why = "a line is too long";
            return false;
        }
        std::memmove(buffer.data(), at, kept);
        if (left == 0) kept = 0;
    }
    return true;
}

// The reader of a format from size bytes of a source: false with why when it leaves the file to
// the library.
using FastRead = bool (*)(ByteSource& source, uint64_t size, Scene& scene,
                          std::vector<std::string>& report, std::string& why);

// Runs read on the regular file at path, or says why not.
bool ReadFastFromFile(const std::string& path, FastRead read, Scene& scene,
                      std::vector<std::string>& report, std::string& why);

// The scene of one node that a reader read, all its triangles in one material: the material, the
// node's triangles as objects named name (cut as the library's are), bounds and statistics.
void FinishFastScene(MergedMesh& merged, SceneMaterial material, Scene& scene,
                     std::vector<std::string>& report, const std::string& name = "Object 1");

// A position as the library's identity transform leaves it: a minus zero becomes zero.
inline MeshPoint AsTransformed(float x, float y, float z) {
    return MeshPoint{x + 0.0f, y + 0.0f, z + 0.0f};
}

inline bool Finite(const MeshPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Whether two attribute vectors count as one for the library: their difference's squared length
// is not above 1e-5 squared, in floats.
inline bool NearForLibrary(const MeshPoint& a, const MeshPoint& b) {
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    const float epsilon = 1e-5f;
    return !(dx * dx + dy * dy + dz * dz > epsilon * epsilon);
}

// The index of a quad's corner the library fans it from when it cuts it into two triangles: its
// concave corner, or the first.
int QuadStart(const MeshPoint* corner);

// Vertices joined as the library joins identical vertices: by the exact position (minus zero as
// zero) and attributes near one another (Attributes::Near). Where two vertices at one position
// both are near, the one that came last is taken, as the library's hash map finds the newest
// entry of a bucket first; the probe chain keeps each position's vertices in the order they
// came. Each table slot keeps a tag of the position's hash, which spares a look at the vertices
// of other positions in the chain.
template <class Attributes>
class VertexJoiner {
public:
    struct Candidate {
        MeshPoint point;
        Attributes attributes;
        uint64_t hash;
    };

    // Room for up to most vertices (address space only, until they come), and a table for
    // about expected of them, doubled when that is not enough.
    VertexJoiner(size_t most, size_t expected) {
        m_vertices.reserve(most);
        size_t slots = 1024;
        while (slots < expected * 2)
            slots *= 2;
        m_slots.assign(slots, Slot{});
    }

    static uint64_t Hash(const MeshPoint& p) {
        uint64_t h = (uint64_t{Bits(p.x)} * 0x9E3779B97F4A7C15ull) ^ Bits(p.y);
        h = (h * 0xC2B2AE3D27D4EB4Full) ^ Bits(p.z);
        h *= 0x165667B19E3779F9ull;
        return h ^ (h >> 29);
    }
    // Asks the memory for the slot a hash starts at, some vertices ahead of joining them: the
    // table's memory is what joining costs.
    void Prefetch(uint64_t hash) const {
        __builtin_prefetch(&m_slots[static_cast<size_t>(hash) & (m_slots.size() - 1)]);
    }

    uint32_t Join(const Candidate& vertex) {
        if ((m_vertices.size() + 1) * 2 > m_slots.size()) Grow();
        const size_t mask = m_slots.size() - 1;
        const uint32_t tag = static_cast<uint32_t>(vertex.hash >> 32);
        uint32_t found = kEmpty;
        size_t at = static_cast<size_t>(vertex.hash) & mask;
        for (; m_slots[at].index != kEmpty; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (slot.tag == tag && Same(m_vertices[slot.index].point, vertex.point) &&
                Attributes::Near(m_vertices[slot.index].attributes, vertex.attributes))
                found = slot.index;
        }
        if (found != kEmpty) return found;
        const uint32_t index = static_cast<uint32_t>(m_vertices.size());
        m_slots[at] = Slot{index, tag};
        m_vertices.push_back(Vertex{vertex.point, vertex.attributes});
        return index;
    }

    size_t Count() const { return m_vertices.size(); }
    const Attributes& AttributesOf(uint32_t index) const { return m_vertices[index].attributes; }

    // The joined vertices' positions; the table and the attributes are let go.
    std::vector<MeshPoint> TakePoints() {
        std::vector<Slot>().swap(m_slots);
        std::vector<MeshPoint> points;
        points.reserve(m_vertices.size());
        for (const Vertex& v : m_vertices)
            points.push_back(v.point);
        std::vector<Vertex>().swap(m_vertices);
        return points;
    }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        uint32_t index = kEmpty;
        uint32_t tag = 0;  // the hash's upper half
    };
    struct Vertex {
        MeshPoint point;
        Attributes attributes;
    };

    static uint32_t Bits(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    static bool Same(const MeshPoint& a, const MeshPoint& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }
    // Doubles the table, keeping each position's vertices in the order they came.
    void Grow() {
        m_slots.assign(m_slots.size() * 2, Slot{});
        const size_t mask = m_slots.size() - 1;
        for (uint32_t index = 0; index < m_vertices.size(); ++index) {
            const uint64_t hash = Hash(m_vertices[index].point);
            size_t at = static_cast<size_t>(hash) & mask;
            while (m_slots[at].index != kEmpty)
                at = (at + 1) & mask;
            m_slots[at] = Slot{index, static_cast<uint32_t>(hash >> 32)};
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Vertex> m_vertices;
};
