#include "view/SmoothingNormals.h"

#include <cmath>
#include <cstdint>

#include "import3ds/SceneGeometry.h"

namespace {

// The most masks a vertex is smoothed for. Real files meet a few groups at a vertex; a file that
// asks for more (each sum walks all the vertex's triangles) has its other corners there drawn with
// the vertex's own normal, so that no file can make the sums take quadratic time.
constexpr size_t kMostMasksAtAVertex = 64;

// The uses of each vertex by the triangles' corners, in the order of the triangles and of their
// corners a, b, c: the order in which the vertex normals add the face normals up.
struct VertexUses {
    std::vector<uint32_t> first;  // of each vertex, its first use in triangles; one more at the end
    std::vector<uint32_t> triangle;  // of each use
};

VertexUses UsesOf(const SceneObject& o) {
    VertexUses uses;
    const size_t vertexCount = o.vertices.size();
    std::vector<uint32_t> count(vertexCount + 1, 0);
    for (const SceneMesh& m : o.meshes)
        for (uint16_t v : {m.a, m.b, m.c})
            if (v < vertexCount) ++count[v + 1];
    for (size_t v = 0; v < vertexCount; ++v)
        count[v + 1] += count[v];
    uses.first = count;
    uses.triangle.resize(count[vertexCount]);
    for (uint32_t t = 0; t < o.meshes.size(); ++t) {
        const SceneMesh& m = o.meshes[t];
        for (uint16_t v : {m.a, m.b, m.c})
            if (v < vertexCount) uses.triangle[count[v]++] = t;
    }
    return uses;
}

// The sum of the face normals of the triangles using vertex v that share a bit of mask, made a
// unit as the vertex normals are.
CornerNormal SmoothedAt(const SceneObject& o, const VertexUses& uses, size_t v, uint32_t mask) {
    float x = 0, y = 0, z = 0;
    for (uint32_t u = uses.first[v]; u < uses.first[v + 1]; ++u) {
        const uint32_t t = uses.triangle[u];
        if ((o.smoothingGroups[t] & mask) == 0) continue;
        x += o.meshes[t].nx;
        y += o.meshes[t].ny;
        z += o.meshes[t].nz;
    }
    Normalise(x, y, z);
    return CornerNormal{x, y, z};
}

bool Differs(const CornerNormal& corner, const SceneVertex& v) {
    return corner.nx != v.nx || corner.ny != v.ny || corner.nz != v.nz ||
           std::signbit(corner.nx) != std::signbit(v.nx) ||
           std::signbit(corner.ny) != std::signbit(v.ny) ||
           std::signbit(corner.nz) != std::signbit(v.nz);
}

}  // namespace

std::vector<CornerNormal> SmoothingCornerNormals(const SceneObject& object) {
    const SceneObject& o = object;
    if (o.smoothingGroups.size() != o.meshes.size() || o.meshes.empty()) return {};
    const VertexUses uses = UsesOf(o);
    std::vector<CornerNormal> corners(o.meshes.size() * 3);
    // Each vertex's normal for each mask its triangles ask for: most vertices meet one or two
    // groups, so a short list is searched.
    struct Known {
        uint32_t mask;
        CornerNormal normal;
    };
    std::vector<std::vector<Known>> known(o.vertices.size());
    for (size_t t = 0; t < o.meshes.size(); ++t) {
        const SceneMesh& m = o.meshes[t];
        const uint32_t mask = o.smoothingGroups[t];
        const uint16_t vertex[3] = {m.a, m.b, m.c};
        for (int k = 0; k < 3; ++k) {
            CornerNormal& corner = corners[3 * t + static_cast<size_t>(k)];
            if (mask == 0 || vertex[k] >= o.vertices.size()) {
                corner = CornerNormal{m.nx, m.ny, m.nz};
                continue;
            }
            std::vector<Known>& at = known[vertex[k]];
            const Known* found = nullptr;
            for (const Known& entry : at)
                if (entry.mask == mask) found = &entry;
            if (!found && at.size() == kMostMasksAtAVertex) {
                const SceneVertex& v = o.vertices[vertex[k]];
                corner = CornerNormal{v.nx, v.ny, v.nz};
                continue;
            }
            if (!found) {
                at.push_back(Known{mask, SmoothedAt(o, uses, vertex[k], mask)});
                found = &at.back();
            }
            corner = found->normal;
        }
    }
    // Where every corner has its vertex's normal the object is drawn as it always was.
    for (size_t t = 0; t < o.meshes.size(); ++t) {
        const SceneMesh& m = o.meshes[t];
        const uint16_t vertex[3] = {m.a, m.b, m.c};
        for (int k = 0; k < 3; ++k)
            if (vertex[k] >= o.vertices.size() ||
                Differs(corners[3 * t + static_cast<size_t>(k)], o.vertices[vertex[k]]))
                return corners;
    }
    return {};
}

const std::vector<CornerNormal>& SmoothingNormalCache::None() {
    static const std::vector<CornerNormal> none;
    return none;
}

const std::vector<CornerNormal>& SmoothingNormalCache::For(size_t index, const SceneObject& o) {
    if (o.smoothingGroups.empty()) return None();
    if (m_entries.size() <= index) m_entries.resize(index + 1);
    Entry& entry = m_entries[index];
    if (entry.revision != o.revision) {
        entry.corners = SmoothingCornerNormals(o);
        entry.revision = o.revision;
    }
    return entry.corners;
}
