#include "FastStl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "MeshObjects.h"
#include "import3ds/SceneGeometry.h"

namespace {

constexpr size_t kHeaderBytes = 80;
constexpr size_t kFacetBytes = 50;
constexpr size_t kFacetsPerRead = 1 << 16;

// Where the bytes come from: a file, read in pieces, or memory.
class Source {
public:
    virtual ~Source() = default;
    // Reads exactly size bytes, or fails.
    virtual bool Read(void* to, size_t size) = 0;
};

// The open file, closed when it goes.
class FileSource final : public Source {
public:
    explicit FileSource(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileSource() override {
        if (m_fd >= 0) close(m_fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    int Fd() const { return m_fd; }
    bool Read(void* to, size_t size) override {
        auto* bytes = static_cast<unsigned char*>(to);
        while (size > 0) {
            const ssize_t got = read(m_fd, bytes, size);
            if (got <= 0) return false;
            bytes += got;
            size -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int m_fd;
};

class MemorySource final : public Source {
public:
    MemorySource(const unsigned char* bytes, size_t size) : m_at(bytes), m_left(size) {}
    bool Read(void* to, size_t size) override {
        if (size > m_left) return false;
        std::memcpy(to, m_at, size);
        m_at += size;
        m_left -= size;
        return true;
    }

private:
    const unsigned char* m_at;
    size_t m_left;
};

// Whether the header holds the "COLOR=" of Materialise files, searched for as the library
// searches for it: a partial match consumes the characters it compared.
bool HasMaterialiseColor(const unsigned char* header) {
    const unsigned char* at = header;
    const unsigned char* const end = header + kHeaderBytes;
    while (at < end) {
        if ('C' == *at++ && 'O' == *at++ && 'L' == *at++ && 'O' == *at++ && 'R' == *at++ &&
            '=' == *at++)
            return true;
    }
    return false;
}

// The corners joined as the library joins identical vertices: by the exact position (minus
// zero as zero) and a normal within 1e-5. Where two vertices at one position both are that near,
// the one that came last is taken, as the library's hash map finds the newest entry of a bucket
// first; the probe chain keeps each position's vertices in the order they came.
class CornerJoiner {
public:
    struct Corner {
        MeshPoint point;
        MeshPoint normal;
        uint64_t hash;
    };

    // Room for the vertices of facets facets, at most three each (address space only, until
    // they come), and a table for two vertices a facet (a closed surface has about half a vertex
    // a facet, a grid of facets that are not joined up to three), doubled when that is not enough.
    explicit CornerJoiner(uint32_t facets) {
        m_vertices.reserve(size_t{facets} * 3);
        size_t slots = 1024;
        while (slots < size_t{facets} * 4)
            slots *= 2;
        m_slots.assign(slots, Slot{});
    }

    static uint64_t Hash(const MeshPoint& p) {
        uint64_t h = (uint64_t{Bits(p.x)} * 0x9E3779B97F4A7C15ull) ^ Bits(p.y);
        h = (h * 0xC2B2AE3D27D4EB4Full) ^ Bits(p.z);
        h *= 0x165667B19E3779F9ull;
        return h ^ (h >> 29);
    }
    void Prefetch(uint64_t hash) const {
        __builtin_prefetch(&m_slots[static_cast<size_t>(hash) & (m_slots.size() - 1)]);
    }

    uint32_t Join(const Corner& corner) {
        if ((m_vertices.size() + 1) * 2 > m_slots.size()) Grow();
        const size_t mask = m_slots.size() - 1;
        const uint32_t tag = static_cast<uint32_t>(corner.hash >> 32);
        uint32_t found = kEmpty;
        size_t at = static_cast<size_t>(corner.hash) & mask;
        // The tag spares a look at the vertices of other positions in the chain.
        for (; m_slots[at].index != kEmpty; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (slot.tag == tag && Same(m_vertices[slot.index].point, corner.point) &&
                Near(m_vertices[slot.index].normal, corner.normal))
                found = slot.index;
        }
        if (found != kEmpty) return found;
        const uint32_t index = static_cast<uint32_t>(m_vertices.size());
        m_slots[at] = Slot{index, tag};
        m_vertices.push_back(Vertex{corner.point, corner.normal});
        return index;
    }
    // The joined vertices' positions; the table and the normals are let go.
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
        MeshPoint normal;
    };

    static uint32_t Bits(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    static bool Same(const MeshPoint& a, const MeshPoint& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }
    static bool Near(const MeshPoint& a, const MeshPoint& b) {
        const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
        const float epsilon = 1e-5f;
        return !(dx * dx + dy * dy + dz * dz > epsilon * epsilon);
    }
    // Doubles the table, keeping each position's vertices in the order they came.
    void Grow() {
        m_slots.assign(m_slots.empty() ? 1024 : m_slots.size() * 2, Slot{});
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

MeshPoint PointAt(const unsigned char* bytes) {
    float xyz[3];
    std::memcpy(xyz, bytes, sizeof xyz);
    // As the library's identity transform gives it: a minus zero becomes zero.
    return MeshPoint{xyz[0] + 0.0f, xyz[1] + 0.0f, xyz[2] + 0.0f};
}

bool Finite(const MeshPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The reader itself, from size bytes of source.
bool ReadStl(Source& file, uint64_t size, Scene& scene, std::vector<std::string>& report,
             std::string& why) {
    unsigned char head[kHeaderBytes + 4];
    if (size < sizeof head || !file.Read(head, sizeof head)) {
        why = "it is too short for a binary STL";
        return false;
    }
    uint32_t facets;
    std::memcpy(&facets, head + kHeaderBytes, sizeof facets);
    if (size != sizeof head + uint64_t{facets} * kFacetBytes) {
        size_t at = 0;
        while (at < sizeof head && std::isspace(head[at]))
            ++at;
        why = std::memcmp(head + at, "solid", std::min<size_t>(5, sizeof head - at)) == 0
                  ? "it is a text STL"
                  : "its size is not that of the facets it counts";
        return false;
    }
    if (facets == 0) {
        why = "it holds no facets";
        return false;
    }
    if (HasMaterialiseColor(head)) {
        why = "its header gives a colour";
        return false;
    }

    MergedMesh merged;
    merged.corners.reserve(size_t{facets} * 3);
    merged.materials.assign(facets, 0);
    CornerJoiner joiner(facets);
    std::vector<unsigned char> buffer(kFacetsPerRead * kFacetBytes);
    std::vector<CornerJoiner::Corner> corners;
    corners.reserve(kFacetsPerRead * 3);
    for (uint32_t done = 0; done < facets;) {
        const size_t count = std::min<size_t>(kFacetsPerRead, facets - done);
        if (!file.Read(buffer.data(), count * kFacetBytes)) {
            why = "it ended before its facets";
            return false;
        }
        // First every corner of the piece checked and hashed, then joined, each corner's slot
        // fetched a few corners ahead: the table's memory is the cost of joining.
        corners.clear();
        for (size_t f = 0; f < count; ++f) {
            const unsigned char* facet = buffer.data() + f * kFacetBytes;
            // A colour bit makes the library give the vertices colours, and join by them too.
            if (facet[49] & 0x80) {
                why = "its facets have colours";
                return false;
            }
            float raw[3];
            std::memcpy(raw, facet, sizeof raw);
            const MeshPoint normal{raw[0], raw[1], raw[2]};
            if (!Finite(normal)) {
                why = "a normal is not a number";
                return false;
            }
            for (int k = 0; k < 3; ++k) {
                const MeshPoint p = PointAt(facet + 12 + 12 * k);
                if (!Finite(p)) {
                    why = "a coordinate is not a number";
                    return false;
                }
                corners.push_back(CornerJoiner::Corner{p, normal, CornerJoiner::Hash(p)});
            }
        }
        constexpr size_t kAhead = 16;
        for (size_t c = 0; c < corners.size(); ++c) {
            if (c + kAhead < corners.size()) joiner.Prefetch(corners[c + kAhead].hash);
            merged.corners.push_back(joiner.Join(corners[c]));
        }
        done += static_cast<uint32_t>(count);
    }
    merged.points = joiner.TakePoints();

    SceneMaterial material;
    material.name = "DefaultMaterial";
    material.diffuse = RGB8{255, 255, 255};
    material.specular = RGB8{255, 255, 255};
    material.ambient = RGB8{13, 13, 13};  // the library's 0.05
    material.transparency = 1.0f;
    scene.m_materialNames.push_back(material.name);
    scene.m_materials.push_back(std::move(material));
    AddObjects(merged, "Object 1", scene, report);
    ComputeSceneBounds(scene);
    scene.CountScene();
    return true;
}

}  // namespace

bool ReadBinaryStl(const std::string& path, Scene& scene, std::vector<std::string>& report,
                   std::string& why) {
    FileSource file(path);
    struct stat info {};
    if (file.Fd() < 0 || fstat(file.Fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "it could not be read";
        return false;
    }
    return ReadStl(file, static_cast<uint64_t>(info.st_size), scene, report, why);
}

bool ReadBinaryStl(const unsigned char* bytes, size_t size, Scene& scene,
                   std::vector<std::string>& report, std::string& why) {
    MemorySource memory(bytes, size);
    return ReadStl(memory, size, scene, report, why);
}
