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
#include <future>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "MeshObjects.h"
#include "scene/Scene.h"

// Where the bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads exactly size bytes, or fails.
    virtual bool Read(void* to, size_t size) = 0;
    // Reads size bytes that lie past bytes beyond what Read has read, without moving on: a look
    // ahead, where the source can take one; false where it cannot, or they are not there.
    virtual bool Peek(uint64_t past, void* to, size_t size) {
        (void)past, (void)to, (void)size;
        return false;
    }
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
    bool Peek(uint64_t past, void* to, size_t size) override;

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
    bool Peek(uint64_t past, void* to, size_t size) override;

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
// ending not included but given (-1 for the last line when the file ends without one); false with
// why when the source fails, a line is longer than 16 MB or line returns false (having said why).
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

// std::hash<float> of the standard library the Open Asset Import Library is built with
// (libstdc++): 0 for either zero, else the 64-bit Murmur hash of the value's four bytes that its
// _Hash_bytes computes, here without a call through the library for every coordinate.
inline size_t LibraryFloatHash(float value) {
#if defined(__GLIBCXX__) && __SIZEOF_SIZE_T__ == 8 && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (value == 0.0f) return 0;
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr uint64_t kMul = (uint64_t{0xc6a4a793} << 32) + 0x5bd1e995;
    constexpr uint64_t kSeed = 0xc70f6907;
    const auto shiftMix = [](uint64_t v) { return v ^ (v >> 47); };
    uint64_t hash = kSeed ^ (sizeof bits * kMul);
    hash ^= bits;
    hash *= kMul;
    return static_cast<size_t>(shiftMix(shiftMix(hash) * kMul));
#else
    return std::hash<float>()(value);
#endif
}

// Vertices joined exactly as the library's step joins a mesh's: it keeps them in a
// std::unordered_map reserved for as many as the mesh has (as many buckets, the standard
// library's prime at or above that), keyed by a hash of the position, and takes a vertex for an
// earlier one that lies in the same bucket, newest first, when their positions and attributes
// (Attributes::Near) are each within 1e-5. The map keeps no hash codes beside its entries, so
// positions that differ by less than that join or not as their buckets fall; this takes the same
// buckets. Positions are those of the mesh before any node's transform, as the library joins them.
template <class Attributes>
class LibraryJoiner {
public:
    // For a mesh of vertices vertices before joining.
    explicit LibraryJoiner(size_t vertices) {
        std::unordered_map<int, int> probe;
        probe.reserve(vertices);
        m_first.assign(probe.bucket_count(), kNone);
        m_inverse = ~uint64_t{0} / m_first.size();
        m_points.reserve(vertices);
        m_next.reserve(vertices);
        m_attributes.reserve(vertices);
    }

    // The bucket of a position: the hashes of its coordinates combined as the library combines
    // them, modulo the buckets.
    size_t BucketOf(const MeshPoint& p) const {
        size_t seed = 0;
        for (float value : {p.x, p.y, p.z})
            seed ^= LibraryFloatHash(value) + 0x9e3779b9 + (seed << 6) + (seed >> 2);
        return Modulo(seed);
    }
    // Asks the memory for a bucket some vertices ahead of joining them, and then for its newest
    // vertex: the buckets' memory is what joining costs.
    void PrefetchBucket(size_t bucket) const { __builtin_prefetch(&m_first[bucket]); }
    void PrefetchNewest(size_t bucket) const {
        const uint32_t newest = m_first[bucket];
        if (newest != kNone) {
            __builtin_prefetch(&m_points[newest]);
            __builtin_prefetch(&m_next[newest]);
            __builtin_prefetch(&m_attributes[newest]);
        }
    }

    uint32_t Join(const MeshPoint& point, const Attributes& attributes, size_t bucket) {
        for (uint32_t at = m_first[bucket]; at != kNone; at = m_next[at])
            if (NearForLibrary(m_points[at], point) &&
                Attributes::Near(m_attributes[at], attributes))
                return at;
        const uint32_t index = static_cast<uint32_t>(m_points.size());
        m_points.push_back(point);
        m_next.push_back(m_first[bucket]);
        m_attributes.push_back(attributes);
        m_first[bucket] = index;
        return index;
    }

    size_t Count() const { return m_points.size(); }
    // The joined vertices' positions so far.
    const std::vector<MeshPoint>& Points() const { return m_points; }
    const Attributes& AttributesOf(uint32_t index) const { return m_attributes[index]; }

    // The joined vertices' positions, handed over without a copy (fresh memory costs more than
    // the work of joining); the joiner is spent.
    std::vector<MeshPoint> TakePoints() {
        std::vector<uint32_t>().swap(m_first);
        std::vector<uint32_t>().swap(m_next);
        std::vector<Attributes>().swap(m_attributes);
        return std::move(m_points);
    }

private:
    static constexpr uint32_t kNone = UINT32_MAX;

    // value modulo the buckets by a multiplication: the quotient it estimates is at most two
    // below the true one, and a division would cost as much as the rest of joining a vertex.
    size_t Modulo(uint64_t value) const {
        const uint64_t buckets = m_first.size();
#if defined(__SIZEOF_INT128__)
        __extension__ using Wide = unsigned __int128;
        const uint64_t quotient = static_cast<uint64_t>((Wide{value} * m_inverse) >> 64);
        uint64_t rest = value - quotient * buckets;
        while (rest >= buckets)
            rest -= buckets;
        return static_cast<size_t>(rest);
#else
        return static_cast<size_t>(value % buckets);
#endif
    }

    std::vector<uint32_t> m_first;  // of each bucket, its newest vertex
    uint64_t m_inverse = 0;         // 2^64 / the buckets, rounded down
    // Of each joined vertex: its position, the vertex before it in its bucket, its attributes.
    std::vector<MeshPoint> m_points;
    std::vector<uint32_t> m_next;
    std::vector<Attributes> m_attributes;
};

// Joins batch after batch of vertices with the next batch made ready meanwhile on a second
// thread: prepare(batch, candidates) fills candidates (reading, checking and hashing them) and
// returns false to stop; join(candidates) joins them, in the batches' order. Both take about as
// long, and the import has the processor to itself. False when a prepare stopped, after the
// batches before it are joined; what prepare throws comes out of the call. Where no thread can
// be started (the process at its limits), the next batch is made ready after the join instead.
template <class Candidate, class Prepare, class Join>
bool JoinPreparedAhead(size_t batches, Prepare prepare, Join join) {
    std::vector<Candidate> current, next;
    if (batches == 0) return true;
    if (!prepare(size_t{0}, current)) return false;
    for (size_t batch = 0; batch < batches; ++batch) {
        const bool last = batch + 1 == batches;
        std::future<bool> ahead;
        try {
            if (!last)
                ahead = std::async(std::launch::async,
                                   [&prepare, &next, batch] { return prepare(batch + 1, next); });
        } catch (const std::system_error&) {
        }
        join(std::as_const(current));
        if (!last && !(ahead.valid() ? ahead.get() : prepare(batch + 1, next))) return false;
        std::swap(current, next);
    }
    return true;
}

// A vertex to join: its position, attributes and bucket.
template <class Attributes>
struct JoinCandidate {
    MeshPoint point;
    Attributes attributes;
    size_t bucket;
};

// Joins candidates (each with point, attributes and bucket members) in their order, putting
// each one's joined index with put(i, index); the buckets are fetched some candidates ahead.
template <class Joiner, class Candidate, class Put>
void JoinAll(Joiner& joiner, const std::vector<Candidate>& candidates, Put put) {
    constexpr size_t kAhead = 16, kNewestAhead = 8;
    for (size_t c = 0; c < candidates.size(); ++c) {
        if (c + kAhead < candidates.size()) joiner.PrefetchBucket(candidates[c + kAhead].bucket);
        if (c + kNewestAhead < candidates.size())
            joiner.PrefetchNewest(candidates[c + kNewestAhead].bucket);
        const Candidate& candidate = candidates[c];
        put(c, joiner.Join(candidate.point, candidate.attributes, candidate.bucket));
    }
}
