#include "FastObj.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "FastReading.h"
#include "MeshObjects.h"
#include "ObjStructure.h"
#include "import3ds/SceneGeometry.h"

namespace {

constexpr uint32_t kNone = UINT32_MAX;
// The longest number the library reads whole: it copies at most this many characters.
constexpr ptrdiff_t kLongestNumber = 100;

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as the library counts and reads the numbers of a vertex: a word that begins with a
// digit or a minus sign, read whole.
bool Number(const char*& at, const char* end, float& value) {
    while (at < end && IsSpace(*at))
        ++at;
    if (at == end || !(IsDigit(*at) || *at == '-')) return false;
    const auto [next, error] = std::from_chars(at, end, value);
    if (error != std::errc() || next - at > kLongestNumber || (next < end && !IsSpace(*next)))
        return false;
    at = next;
    return true;
}

// An index of a face's corner, 1 and up or -1 and down, with no sign, zero or other character
// the library would read differently.
bool Index(const char*& at, const char* end, int64_t& value) {
    bool negative = false;
    if (at < end && *at == '-') negative = true, ++at;
    if (at == end || *at < '1' || *at > '9') return false;
    int64_t v = 0;
    int digits = 0;
    // Digits past the tenth are only counted: the number is refused anyway.
    for (; at < end && IsDigit(*at); ++at, ++digits)
        if (digits < 10) v = v * 10 + (*at - '0');
    if (digits > 10 || v > INT32_MAX) return false;
    value = negative ? -v : v;
    return true;
}

// An index the library resolves: from 1, or back from the count so far; kNone when it names
// nothing (which the library finds out later, against the final count).
uint32_t Resolved(int64_t index, size_t count) {
    const int64_t at = index > 0 ? index - 1 : static_cast<int64_t>(count) + index;
    return at < 0 || at >= INT32_MAX ? kNone : static_cast<uint32_t>(at);
}

// A corner's normal and texture coordinate, which the library joins vertices by.
struct CornerAttributes {
    MeshPoint normal;
    MeshPoint uv;  // u, v, w
    static bool Near(const CornerAttributes& a, const CornerAttributes& b) {
        return NearForLibrary(a.normal, b.normal) && NearForLibrary(a.uv, b.uv);
    }
};
using ObjJoiner = LibraryJoiner<CornerAttributes>;
using ObjCorner = JoinCandidate<CornerAttributes>;

constexpr uint8_t kCornerCount = 0x0F;
constexpr uint8_t kHasUv = 0x10;
constexpr uint8_t kHasNormal = 0x20;

// Everything the file's numbers say, read line by line.
class ObjText {
public:
    bool Line(const char* at, const char* end, std::string& why);

    // The face lists made whole once every line is read: corners without a texture coordinate
    // or a normal get none.
    void Finish() {
        if (!m_cornerUv.empty()) m_cornerUv.resize(m_cornerPosition.size(), kNone);
        if (!m_cornerNormal.empty()) m_cornerNormal.resize(m_cornerPosition.size(), kNone);
    }

    ObjSkeleton skeleton;
    std::vector<MeshPoint> positions, uvs, normals;
    std::vector<uint32_t> m_cornerPosition, m_cornerUv, m_cornerNormal;
    std::vector<uint8_t> faces;  // each face's corner count and what its corners have
    std::vector<size_t> runFace, runCorner;

private:
    bool Face(const char* at, const char* end, std::string& why);
    bool m_inRun = false;
};

bool ObjText::Line(const char* at, const char* end, std::string& why) {
    if (end > at && end[-1] == '\\') {
        why = "a line goes on in the next";
        return false;
    }
    if (at == end) return true;
    const char* const start = at;
    switch (*at) {
        case 'v': {
            ++at;
            if (at == end) return true;
            const char kind = *at;
            if (kind == 't' || kind == 'n') ++at;
            if (kind != 't' && kind != 'n' && !IsSpace(kind)) return true;  // not read
            if (at == end || !IsSpace(*at)) {
                why = "a vertex line is not written as the library reads it";
                return false;
            }
            float value[3] = {0, 0, 0};
            int count = 0;
            while (count < 3 && Number(at, end, value[count]))
                ++count;
            if (!OnlySpaces(at, end) || (kind == 't' ? count < 2 : count != 3)) {
                why = kind == 't'   ? "a texture coordinate is not two or three numbers"
                      : kind == 'n' ? "a normal is not three numbers"
                                    : "a vertex is not three numbers";
                return false;
            }
            const MeshPoint point{value[0], value[1], value[2]};
            if (kind == 't') {
                // The library takes what is not a number as 0 here.
                for (float& v : value)
                    if (!std::isfinite(v)) v = 0;
                uvs.push_back(MeshPoint{value[0], value[1], value[2]});
            } else if (!Finite(point)) {
                why = "a coordinate is not a number";
                return false;
            } else {
                (kind == 'n' ? normals : positions).push_back(point);
            }
            return true;
        }
        case 'f':
            return Face(at + 1, end, why);
        case 'l':
        case 'p':
            why = "it has lines or points";
            return false;
        case 'c':
            if (end - at >= 6 && std::memcmp(at, "cstype", 6) == 0 &&
                (end - at == 6 || IsSpace(at[6]))) {
                why = "it has curves or surfaces";
                return false;
            }
            return true;
        case 'o':
        case 'g':
        case 'u':
        case 'm':
            // Objects, groups and materials: the library's own reading decides what they do.
            skeleton.Statement(start, static_cast<size_t>(end - start));
            m_inRun = false;
            return true;
        default:
            return true;  // comments, smoothing groups and what the library passes over
    }
}

bool ObjText::Face(const char* at, const char* end, std::string& why) {
    const auto refuse = [&why](const char* reason) {
        why = reason;
        return false;
    };
    if (at == end || !IsSpace(*at)) return refuse("a line begins with f but is no face");
    // With normals but no texture coordinates so far, the library takes a second index as the
    // normal's.
    const bool secondIsNormal = uvs.empty() && !normals.empty();
    uint32_t position[4], uv[4], normal[4];
    int corners = 0, uvCount = 0, normalCount = 0;
    for (;;) {
        while (at < end && IsSpace(*at))
            ++at;
        if (at == end) break;
        if (corners == 4) return refuse("a face has more than four corners");
        int64_t index;
        if (!Index(at, end, index)) return refuse("a face's corner is not written as it may be");
        position[corners] = Resolved(index, positions.size());
        bool hasUv = false, hasNormal = false;
        for (int slash = 1; at < end && *at == '/'; ++slash) {
            ++at;
            if (slash > 2) return refuse("a face's corner has more than three indices");
            if (at == end || IsSpace(*at) || *at == '/') continue;
            if (!Index(at, end, index))
                return refuse("a face's corner is not written as it may be");
            const bool isNormal = slash == 2 || secondIsNormal;
            if (isNormal ? hasNormal : hasUv)
                return refuse("a face's corner is not written as it may be");
            if (isNormal) {
                normal[corners] = Resolved(index, normals.size());
                hasNormal = true;
            } else {
                uv[corners] = Resolved(index, uvs.size());
                hasUv = true;
            }
        }
        if (at < end && !IsSpace(*at)) return refuse("a face's corner is not written as it may be");
        uvCount += hasUv;
        normalCount += hasNormal;
        ++corners;
    }
    if (corners < 3) return refuse("a face has fewer than three corners");
    if ((uvCount != 0 && uvCount != corners) || (normalCount != 0 && normalCount != corners))
        return refuse("a face's corners differ in what they have");

    if (!m_inRun) {
        if (!skeleton.StartRun()) return refuse("it changes objects or materials too often");
        runFace.push_back(faces.size());
        runCorner.push_back(m_cornerPosition.size());
        m_inRun = true;
    }
    const size_t before = m_cornerPosition.size();
    m_cornerPosition.insert(m_cornerPosition.end(), position, position + corners);
    if (uvCount) {
        m_cornerUv.resize(before, kNone);
        m_cornerUv.insert(m_cornerUv.end(), uv, uv + corners);
    }
    if (normalCount) {
        m_cornerNormal.resize(before, kNone);
        m_cornerNormal.insert(m_cornerNormal.end(), normal, normal + corners);
    }
    faces.push_back(
        static_cast<uint8_t>(corners | (uvCount ? kHasUv : 0) | (normalCount ? kHasNormal : 0)));
    return true;
}

// One mesh of the library's: its runs' faces, each corner a vertex of its own, cut into
// triangles, identical vertices joined; appended to merged with the node's turn to +Z.
class MeshJoin {
public:
    MeshJoin(const ObjText& text, const ObjMeshRuns& mesh) : m_text(text), m_mesh(mesh) {}

    // Whether its corners have normals and texture coordinates, as the library decides: when
    // any face gives them and every index names one.
    void Decide() {
        bool normalsGiven = false, uvsGiven = false, normalsOk = true, uvsOk = true;
        ForEachFace([&](size_t face, size_t corner) {
            const int count = m_text.faces[face] & kCornerCount;
            if (m_text.faces[face] & kHasNormal) {
                normalsGiven = true;
                for (int k = 0; k < count; ++k)
                    normalsOk &= m_text.m_cornerNormal[corner + k] < m_text.normals.size();
            }
            if (m_text.faces[face] & kHasUv) {
                uvsGiven = true;
                for (int k = 0; k < count; ++k)
                    uvsOk &= m_text.m_cornerUv[corner + k] < m_text.uvs.size();
            }
        });
        m_normals = normalsGiven && !m_text.normals.empty() && normalsOk;
        m_uvs = uvsGiven && !m_text.uvs.empty() && uvsOk;
    }
    bool HasUvs() const { return m_uvs; }
    bool HasNormals() const { return m_normals; }

    void AppendTo(MergedMesh& merged, bool nodeHasUvs, bool nodeHasNormals) {
        size_t corners = 0;
        ForEachFace([&](size_t face, size_t) { corners += m_text.faces[face] & kCornerCount; });
        // The library's mesh has a vertex for each corner.
        ObjJoiner joiner(corners);
        const uint32_t base = static_cast<uint32_t>(merged.points.size());
        std::vector<ObjCorner> batch;
        std::vector<uint8_t> batchFaces;
        std::vector<size_t> batchCorners;
        const auto flush = [&] {
            constexpr size_t kAhead = 16, kNewestAhead = 8;
            uint32_t joined[4];
            size_t c = 0;
            for (size_t f = 0; f < batchFaces.size(); ++f) {
                const int count = batchFaces[f] & kCornerCount;
                for (int k = 0; k < count; ++k, ++c) {
                    if (c + kAhead < batch.size()) joiner.PrefetchBucket(batch[c + kAhead].bucket);
                    if (c + kNewestAhead < batch.size())
                        joiner.PrefetchNewest(batch[c + kNewestAhead].bucket);
                    joined[k] =
                        base + joiner.Join(batch[c].point, batch[c].attributes, batch[c].bucket);
                }
                if (count == 3) {
                    merged.corners.insert(merged.corners.end(), joined, joined + 3);
                    merged.materials.push_back(m_mesh.material);
                    continue;
                }
                // A quad is cut where the library cuts it, from its concave corner, as the file
                // places it.
                const size_t first = batchCorners[f];
                MeshPoint quad[4];
                for (int k = 0; k < 4; ++k)
                    quad[k] = m_text.positions[m_text.m_cornerPosition[first + k]];
                const int s = QuadStart(quad);
                merged.corners.insert(merged.corners.end(),
                                      {joined[s], joined[(s + 1) % 4], joined[(s + 2) % 4]});
                merged.corners.insert(merged.corners.end(),
                                      {joined[s], joined[(s + 2) % 4], joined[(s + 3) % 4]});
                merged.materials.insert(merged.materials.end(), 2, m_mesh.material);
            }
            batch.clear();
            batchFaces.clear();
            batchCorners.clear();
        };
        ForEachFace([&](size_t face, size_t corner) {
            const int count = m_text.faces[face] & kCornerCount;
            for (int k = 0; k < count; ++k)
                batch.push_back(CandidateOf(joiner, face, corner + k));
            batchFaces.push_back(m_text.faces[face]);
            batchCorners.push_back(corner);
            if (batch.size() >= 65536) flush();
        });
        flush();
        if (nodeHasUvs) {
            merged.uvs.resize(base);
            for (uint32_t v = 0; v < joiner.Count(); ++v) {
                const MeshPoint& uv = joiner.AttributesOf(v).uv;
                merged.uvs.push_back(m_uvs ? SceneUv{uv.x, uv.y} : SceneUv{});
            }
        }
        // OBJ's +Y up turned to +Z, as the library's product with the turn gives it; the
        // normals turn with the points.
        if (nodeHasNormals) {
            merged.normals.resize(base);
            for (uint32_t v = 0; v < joiner.Count(); ++v) {
                const MeshPoint& n = joiner.AttributesOf(v).normal;
                merged.normals.push_back(m_normals ? MeshPoint{n.x, -n.z, n.y} : MeshPoint{});
            }
        }
        for (const MeshPoint& p : joiner.TakePoints())
            merged.points.push_back(AsTransformed(p.x, -p.z, p.y));
    }

private:
    template <class Visit>
    void ForEachFace(Visit visit) const {
        for (uint32_t run : m_mesh.runs) {
            const size_t end =
                run + 1 < m_text.runFace.size() ? m_text.runFace[run + 1] : m_text.faces.size();
            size_t corner = m_text.runCorner[run];
            for (size_t face = m_text.runFace[run]; face < end; ++face) {
                visit(face, corner);
                corner += m_text.faces[face] & kCornerCount;
            }
        }
    }

    // A corner as the library's mesh holds it, at the position the file gives.
    ObjCorner CandidateOf(const ObjJoiner& joiner, size_t face, size_t corner) const {
        const MeshPoint& p = m_text.positions[m_text.m_cornerPosition[corner]];
        CornerAttributes attributes{};
        if (m_normals && (m_text.faces[face] & kHasNormal))
            attributes.normal = m_text.normals[m_text.m_cornerNormal[corner]];
        if (m_uvs && (m_text.faces[face] & kHasUv))
            attributes.uv = m_text.uvs[m_text.m_cornerUv[corner]];
        return ObjCorner{p, attributes, joiner.BucketOf(p)};
    }

    const ObjText& m_text;
    const ObjMeshRuns& m_mesh;
    bool m_normals = false, m_uvs = false;
};

bool ReadObjFrom(ByteSource& source, uint64_t size, const std::string& path, bool libraries,
                 Scene& scene, std::vector<std::string>& report, std::string& why) {
    ObjText text;
    if (!ReadTextLines(
            source, size,
            [&](const char* at, const char* end, int) { return text.Line(at, end, why); }, why))
        return false;
    text.Finish();
    if (text.faces.empty()) {
        why = "it holds no faces";
        return false;
    }
    for (uint32_t index : text.m_cornerPosition)
        if (index >= text.positions.size()) {
            why = "a face names a vertex that is not there";
            return false;
        }
    std::vector<ObjNode> nodes;
    if (!ReadObjStructure(path, libraries, text.skeleton, scene, nodes, report, why)) return false;

    UniqueNames names;
    for (const ObjNode& node : nodes) {
        std::vector<MeshJoin> meshes;
        bool nodeHasUvs = false, nodeHasNormals = false;
        for (const ObjMeshRuns& mesh : node.meshes) {
            meshes.emplace_back(text, mesh);
            meshes.back().Decide();
            nodeHasUvs |= meshes.back().HasUvs();
            nodeHasNormals |= meshes.back().HasNormals();
        }
        MergedMesh merged;
        for (MeshJoin& mesh : meshes)
            mesh.AppendTo(merged, nodeHasUvs, nodeHasNormals);
        AddObjects(merged,
                   names.Take(node.name, "Object " + std::to_string(scene.m_objects.size() + 1)),
                   scene, report);
    }
    ComputeSceneBounds(scene);
    scene.CountScene();
    return true;
}

}  // namespace

bool ReadObj(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why) {
    FileByteSource file(path);
    if (!file.Open()) {
        why = "it could not be read";
        return false;
    }
    return ReadObjFrom(file, file.Size(), path, true, scene, report, why);
}

bool ReadObj(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why) {
    MemoryByteSource memory(bytes, size);
    return ReadObjFrom(memory, size, "memory.obj", false, scene, report, why);
}
