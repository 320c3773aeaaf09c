#include "FastStl.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "FastReading.h"
#include "MeshObjects.h"

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
using CornerJoiner = VertexJoiner<FacetNormal>;

// The reader itself, from size bytes of source.
bool ReadStl(ByteSource& file, uint64_t size, Scene& scene, std::vector<std::string>& report,
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
    if (HasMaterialiseColor(head, sizeof head)) {
        why = "its header gives a colour";
        return false;
    }

    MergedMesh merged;
    merged.corners.reserve(size_t{facets} * 3);
    // Three vertices a facet at the most; about one a facet for a closed surface, two for a
    // grid whose facets are not joined.
    CornerJoiner joiner(size_t{facets} * 3, size_t{facets} * 2);
    std::vector<unsigned char> buffer(kFacetsPerRead * kFacetBytes);
    std::vector<CornerJoiner::Candidate> corners;
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
                float xyz[3];
                std::memcpy(xyz, facet + 12 + 12 * k, sizeof xyz);
                const MeshPoint p = AsTransformed(xyz[0], xyz[1], xyz[2]);
                if (!Finite(p)) {
                    why = "a coordinate is not a number";
                    return false;
                }
                corners.push_back(
                    CornerJoiner::Candidate{p, FacetNormal{normal}, CornerJoiner::Hash(p)});
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
    FinishFastScene(merged, std::move(material), scene, report);
    return true;
}

}  // namespace

bool ReadBinaryStl(const std::string& path, Scene& scene, std::vector<std::string>& report,
                   std::string& why) {
    return ReadFastFromFile(path, ReadStl, scene, report, why);
}

bool ReadBinaryStl(const unsigned char* bytes, size_t size, Scene& scene,
                   std::vector<std::string>& report, std::string& why) {
    MemoryByteSource memory(bytes, size);
    return ReadStl(memory, size, scene, report, why);
}
