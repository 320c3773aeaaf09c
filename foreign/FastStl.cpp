#include "FastStl.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "FastReading.h"
#include "MeshObjects.h"
#include "import3ds/SceneGeometry.h"

namespace {

constexpr size_t kHeaderBytes = 80;
constexpr size_t kFacetBytes = 50;
constexpr size_t kFacetsPerRead = 1 << 16;

// Whether the header holds the "COLOR=" of Materialise files, searched for as the library
// searches for it: a partial match consumes the characters it compared. A match begun near the
// header's end reads on into the facet count and one byte past it; here that byte reads as 0.
bool HasMaterialiseColor(const unsigned char* head, size_t size) {
    unsigned char header[kHeaderBytes + 8] = {};
    std::memcpy(header, head, std::min(size, sizeof header));
    const unsigned char* at = header;
    const unsigned char* const end = header + kHeaderBytes;
    while (at < end) {
        if ('C' == *at++ && 'O' == *at++ && 'L' == *at++ && 'O' == *at++ && 'R' == *at++ &&
            '=' == *at++)
            return true;
    }
    return false;
}

// A corner's facet normal, which the library joins corners by.
struct FacetNormal {
    MeshPoint normal;
    static bool Near(const FacetNormal& a, const FacetNormal& b) {
        return NearForLibrary(a.normal, b.normal);
    }
};
using CornerJoiner = LibraryJoiner<FacetNormal>;
using Corner = JoinCandidate<FacetNormal>;

// The one material the library gives every STL file.
SceneMaterial LibraryDefaultMaterial() {
    SceneMaterial material;
    material.name = "DefaultMaterial";
    material.diffuse = RGB8{255, 255, 255};
    material.specular = RGB8{255, 255, 255};
    material.ambient = RGB8{13, 13, 13};  // the library's 0.05
    material.transparency = 1.0f;
    return material;
}

// Announces the scene of a binary STL's facets, after its head, to come: its material in, and the
// bounds of every corner, looked at ahead of the reading. Nothing where the source cannot look
// ahead or a facet will make the reading give up.
void AnnounceFacets(ByteSource& file, uint32_t facets, Scene& scene) {
    std::vector<unsigned char> buffer(kFacetsPerRead * kFacetBytes);
    constexpr float kHuge = std::numeric_limits<float>::max();
    float low[3] = {kHuge, kHuge, kHuge}, high[3] = {-kHuge, -kHuge, -kHuge};
    for (size_t done = 0; done < facets; done += kFacetsPerRead) {
        const size_t count = std::min<size_t>(kFacetsPerRead, facets - done);
        if (!file.Peek(done * kFacetBytes, buffer.data(), count * kFacetBytes)) return;
        // Checked without a branch per value, so that the look ahead costs little beside the
        // reading: a value is finite when its exponent bits are not all set; the colour bit is
        // the top bit of the attribute word.
        uint32_t unusable = 0;
        for (size_t f = 0; f < count; ++f) {
            const unsigned char* facet = buffer.data() + f * kFacetBytes;
            uint32_t bits[12];  // the normal and three corners
            std::memcpy(bits, facet, sizeof bits);
            unusable |= facet[49] & 0x80u;
            for (uint32_t b : bits)
                unusable |= static_cast<uint32_t>((b & 0x7f800000u) == 0x7f800000u);
            float raw[9];
            std::memcpy(raw, facet + 12, sizeof raw);
            for (int k = 0; k < 3; ++k)
                for (int axis = 0; axis < 3; ++axis) {
                    // As AsTransformed leaves it.
                    const float v = raw[3 * k + axis] + 0.0f;
                    low[axis] = v < low[axis] ? v : low[axis];
                    high[axis] = v > high[axis] ? v : high[axis];
                }
        }
        if (unusable) return;
    }
    SceneSettings& bounds = scene.m_settings;
    bounds.minX = low[0], bounds.minY = low[1], bounds.minZ = low[2];
    bounds.maxX = high[0], bounds.maxY = high[1], bounds.maxZ = high[2];
    AnnounceScene(scene);
}

// A binary STL's facets, after its head, the header and the facet count.
bool ReadBinaryStl(ByteSource& file, const unsigned char* head, uint32_t facets, Scene& scene,
                   std::vector<std::string>& report, std::string& why) {
    if (facets == 0) {
        why = "it holds no facets";
        return false;
    }
    if (HasMaterialiseColor(head, kHeaderBytes + 4)) {
        why = "its header gives a colour";
        return false;
    }

    // The one material, and the scene announced with the bounds of every facet where the
    // program is told it; then the objects are cut as the facets are joined, and go on to the
    // program at once. What the reading adds goes again where it gives up.
    const size_t objects = scene.m_objects.size(), materials = scene.m_materials.size();
    const SceneSettings settings = scene.m_settings;
    const auto giveUp = [&] {
        scene.m_objects.resize(objects);
        scene.m_materials.resize(materials);
        scene.m_materialNames.resize(materials);
        scene.m_settings = settings;
        return false;
    };
    SceneMaterial material = LibraryDefaultMaterial();
    scene.m_materialNames.push_back(material.name);
    scene.m_materials.push_back(std::move(material));
    if (AnnouncingScenes()) AnnounceFacets(file, facets, scene);
    MergedMesh merged;
    merged.corners.reserve(size_t{facets} * 3);
    // The library's mesh has three vertices a facet.
    CornerJoiner joiner(size_t{facets} * 3);
    ObjectCutter cutter("Object 1", scene, facets, size_t{facets} * 3);
    std::vector<unsigned char> buffer(kFacetsPerRead * kFacetBytes);
    // Each piece's corners, checked and hashed, while the piece before is joined.
    const char* failure = nullptr;
    const auto readPiece = [&](size_t piece, std::vector<Corner>& corners) {
        const size_t done = piece * kFacetsPerRead;
        const size_t count = std::min<size_t>(kFacetsPerRead, facets - done);
        if (!file.Read(buffer.data(), count * kFacetBytes)) {
            failure = "it ended before its facets";
            return false;
        }
        corners.clear();
        corners.reserve(count * 3);
        for (size_t f = 0; f < count; ++f) {
            const unsigned char* facet = buffer.data() + f * kFacetBytes;
            // A colour bit makes the library give the vertices colours, and join by them too.
            if (facet[49] & 0x80) {
                failure = "its facets have colours";
                return false;
            }
            float raw[3];
            std::memcpy(raw, facet, sizeof raw);
            const MeshPoint normal{raw[0], raw[1], raw[2]};
            if (!Finite(normal)) {
                failure = "a normal is not a number";
                return false;
            }
            for (int k = 0; k < 3; ++k) {
                float xyz[3];
                std::memcpy(xyz, facet + 12 + 12 * k, sizeof xyz);
                const MeshPoint p = AsTransformed(xyz[0], xyz[1], xyz[2]);
                if (!Finite(p)) {
                    failure = "a coordinate is not a number";
                    return false;
                }
                corners.push_back(Corner{p, FacetNormal{normal}, joiner.BucketOf(p)});
            }
        }
        return true;
    };
    const size_t pieces = (size_t{facets} + kFacetsPerRead - 1) / kFacetsPerRead;
    if (!JoinPreparedAhead<Corner>(pieces, readPiece, [&](const std::vector<Corner>& corners) {
            JoinAll(joiner, corners,
                    [&](size_t, uint32_t index) { merged.corners.push_back(index); });
            merged.materials.resize(merged.corners.size() / 3, 0);
            cutter.Cut(merged, joiner.Points(), merged.materials.size());
        })) {
        why = failure;
        return giveUp();
    }
    merged.points = joiner.TakePoints();
    cutter.Finish(merged, merged.points.size(), report);
    ComputeSceneBounds(scene);
    scene.CountScene();
    return true;
}

// A text STL as the library reads it: words between spaces, "facet normal" and "vertex" with
// three numbers each, other words passed over, the solid ending at "endsolid". What the library
// would read in a way of its own (a number it reads otherwise, a facet of other than three
// vertices, a second solid, a zero byte) is left to it.
class StlText {
public:
    bool Line(const char* at, const char* end, int ending, std::string& why) {
        if (ending == '\0') return Refuse(why, "it holds a zero byte");
        if (m_state == kBefore) {
            const char* word = at;
            while (word < end && IsSpace(*word))
                ++word;
            if (end - word < 5 || std::memcmp(word, "solid", 5) != 0)
                return Refuse(why, "it does not begin with solid");
            const char* name = word + 5;
            while (name < end && IsSpace(*name))
                ++name;
            const char* nameEnd = name;
            while (nameEnd < end && !IsSpace(*nameEnd))
                ++nameEnd;
            if (nameEnd - name >= 1024) return Refuse(why, "its solid's name is too long");
            m_name.assign(name, nameEnd);
            m_state = kInSolid;
            return Words(nameEnd, end, why);
        }
        if (m_state == kAfter) {
            const char* word = at;
            while (word < end && IsSpace(*word))
                ++word;
            if (end - word >= 5 && std::memcmp(word, "solid", 5) == 0)
                return Refuse(why, "it holds more than one solid");
            return true;  // what follows the solid is passed over
        }
        return Words(at, end, why);
    }

    bool Finish(std::string& why) const {
        if (m_state == kBefore) return Refuse(why, "it does not begin with solid");
        if (m_corners.empty()) return Refuse(why, "it holds no facets");
        if (m_vertices != 3) return Refuse(why, "a facet has other than three vertices");
        return true;
    }

    const std::vector<MeshPoint>& Corners() const { return m_corners; }
    const std::vector<MeshPoint>& Normals() const { return m_normals; }
    const std::string& Name() const { return m_name; }

private:
    enum State { kBefore, kInSolid, kAfter };

    static bool Refuse(std::string& why, const char* reason) {
        why = reason;
        return false;
    }

    // Three numbers as the library reads them one after the other, each a whole word.
    static bool Three(const char*& at, const char* end, MeshPoint& point) {
        float value[3];
        for (float& v : value) {
            while (at < end && IsSpace(*at))
                ++at;
            if (at == end || !((*at >= '0' && *at <= '9') || *at == '-')) return false;
            const auto [next, error] = std::from_chars(at, end, v);
            if (error != std::errc() || (next < end && !IsSpace(*next))) return false;
            at = next;
        }
        point = MeshPoint{value[0], value[1], value[2]};
        return true;
    }

    bool Words(const char* at, const char* end, std::string& why) {
        for (;;) {
            while (at < end && IsSpace(*at))
                ++at;
            if (at == end) return true;
            const char* wordEnd = at;
            while (wordEnd < end && !IsSpace(*wordEnd))
                ++wordEnd;
            const std::string_view word(at, static_cast<size_t>(wordEnd - at));
            if (word.substr(0, 8) == "endsolid") {
                m_state = kAfter;
                return true;  // the rest of the line goes with it
            }
            // A keyword at a line's end would take its numbers from the next line.
            const bool lineGoesOn = wordEnd < end;
            if (word == "facet") {
                if (!lineGoesOn) return Refuse(why, "a facet's normal is not on its line");
                if (!m_corners.empty() && m_vertices != 3)
                    return Refuse(why, "a facet has other than three vertices");
                at = wordEnd;
                while (at < end && IsSpace(*at))
                    ++at;
                MeshPoint normal;
                if (end - at < 7 || std::memcmp(at, "normal", 6) != 0 || !IsSpace(at[6]) ||
                    !Three(at += 7, end, normal))
                    return Refuse(why, "a facet's normal is not written as it may be");
                if (!Finite(normal)) return Refuse(why, "a normal is not a number");
                m_normal = normal;
                m_vertices = 0;
                m_inFacet = true;
                continue;
            }
            if (word == "vertex") {
                if (!lineGoesOn) return Refuse(why, "a vertex is not on its line");
                if (!m_inFacet || m_vertices >= 3)
                    return Refuse(why, "a facet has other than three vertices");
                MeshPoint point;
                if (!Three(at = wordEnd + 1, end, point))
                    return Refuse(why, "a vertex is not written as it may be");
                if (!Finite(point)) return Refuse(why, "a coordinate is not a number");
                m_corners.push_back(AsTransformed(point.x, point.y, point.z));
                m_normals.push_back(m_normal);
                ++m_vertices;
                continue;
            }
            at = wordEnd;  // "outer", "loop", "endloop", "endfacet" and others: passed over
        }
    }

    State m_state = kBefore;
    std::string m_name;
    std::vector<MeshPoint> m_corners, m_normals;
    MeshPoint m_normal;
    int m_vertices = 0;
    bool m_inFacet = false;
};

bool ReadTextStl(ByteSource& rest, const unsigned char* head, size_t headSize, uint64_t size,
                 Scene& scene, std::vector<std::string>& report, std::string& why) {
    // The head already read goes first.
    class Prefixed final : public ByteSource {
    public:
        Prefixed(const unsigned char* head, size_t size, ByteSource& rest)
            : m_head(head), m_left(size), m_rest(rest) {}
        bool Read(void* to, size_t size) override {
            const size_t first = std::min(size, m_left);
            std::memcpy(to, m_head, first);
            m_head += first, m_left -= first;
            return first == size || m_rest.Read(static_cast<char*>(to) + first, size - first);
        }

    private:
        const unsigned char* m_head;
        size_t m_left;
        ByteSource& m_rest;
    } source(head, headSize, rest);
    if (headSize >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
        why = "it begins with a byte order mark";
        return false;
    }
    StlText text;
    if (!ReadTextLines(
            source, size,
            [&](const char* at, const char* end, int ending) {
                return text.Line(at, end, ending, why);
            },
            why) ||
        !text.Finish(why))
        return false;

    MergedMesh merged;
    const std::vector<MeshPoint>& corners = text.Corners();
    merged.corners.reserve(corners.size());
    CornerJoiner joiner(corners.size());
    for (size_t c = 0; c < corners.size(); ++c)
        merged.corners.push_back(
            joiner.Join(corners[c], FacetNormal{text.Normals()[c]}, joiner.BucketOf(corners[c])));
    merged.points = joiner.TakePoints();
    FinishFastScene(merged, LibraryDefaultMaterial(), scene, report,
                    text.Name().empty() ? "Object 1" : text.Name());
    return true;
}

// Either kind, as the library tells them apart: by the size a binary file's count gives it, then
// by "solid" at the start.
bool ReadStl(ByteSource& file, uint64_t size, Scene& scene, std::vector<std::string>& report,
             std::string& why) {
    unsigned char head[kHeaderBytes + 4];
    const size_t headSize = static_cast<size_t>(std::min<uint64_t>(sizeof head, size));
    if (!file.Read(head, headSize)) {
        why = "it could not be read";
        return false;
    }
    uint32_t facets = 0;
    if (headSize == sizeof head) std::memcpy(&facets, head + kHeaderBytes, sizeof facets);
    if (headSize == sizeof head && size == sizeof head + uint64_t{facets} * kFacetBytes)
        return ReadBinaryStl(file, head, facets, scene, report, why);
    size_t at = 0;
    while (at < headSize && IsSpace(static_cast<char>(head[at])))
        ++at;
    if (headSize - at > 5 && std::memcmp(head + at, "solid", 5) == 0)
        return ReadTextStl(file, head, headSize, size, scene, report, why);
    why = headSize < sizeof head ? "it is too short for a binary STL"
                                 : "its size is not that of the facets it counts";
    return false;
}

}  // namespace

bool ReadStl(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why) {
    return ReadFastFromFile(path, ReadStl, scene, report, why);
}

bool ReadStl(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why) {
    MemoryByteSource memory(bytes, size);
    return ReadStl(memory, size, scene, report, why);
}
