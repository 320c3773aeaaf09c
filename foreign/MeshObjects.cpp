#include "MeshObjects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>

#include "import3ds/SceneGeometry.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Counts, bounds and normals of an object whose lists are filled.
void FinishObject(SceneObject& object) {
    object.vertexCount = static_cast<int32_t>(object.vertices.size());
    object.meshCount = static_cast<int32_t>(object.meshes.size());
    const SceneVertex& first = object.vertices.front();
    object.minX = object.maxX = first.x;
    object.minY = object.maxY = first.y;
    object.minZ = object.maxZ = first.z;
    for (const SceneVertex& v : object.vertices) {
        object.minX = std::min(object.minX, v.x), object.maxX = std::max(object.maxX, v.x);
        object.minY = std::min(object.minY, v.y), object.maxY = std::max(object.maxY, v.y);
        object.minZ = std::min(object.minZ, v.z), object.maxZ = std::max(object.maxZ, v.z);
    }
    object.centerX = (object.minX + object.maxX) * 0.5f;
    object.centerY = (object.minY + object.maxY) * 0.5f;
    object.centerZ = (object.minZ + object.maxZ) * 0.5f;
    ComputeNormals(object);
}

// The vertices take the model's own normals, made unit; one without a length or not finite keeps
// the normal of its faces.
void KeepModelNormals(SceneObject& object, const std::vector<MeshPoint>& normals) {
    for (size_t i = 0; i < normals.size(); ++i) {
        const MeshPoint& n = normals[i];
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (!(length > 0) || !std::isfinite(length)) continue;
        SceneVertex& v = object.vertices[i];
        v.nx = n.x / length, v.ny = n.y / length, v.nz = n.z / length;
    }
}

// The object's material is its first triangle's; face groups only where its triangles use two
// or more materials.
void SetMaterials(SceneObject& object, const std::vector<uint32_t>& materials, size_t from,
                  const Scene& scene) {
    const auto nameOf = [&scene](uint32_t material) {
        return material < scene.m_materials.size() ? scene.m_materials[material].name
                                                   : std::string("Default");
    };
    const uint32_t first = materials[from];
    object.materialName = nameOf(first);
    object.materialIndex = first < scene.m_materials.size() ? static_cast<int32_t>(first) : -1;
    // Most objects have one material: they need no groups, nor the search for them.
    const auto begin = materials.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = begin + static_cast<std::ptrdiff_t>(object.meshes.size());
    if (std::all_of(begin, end, [first](uint32_t material) { return material == first; })) return;
    // In the order of their first triangles; found by material, so that many materials stay fast.
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> groups;
    std::unordered_map<uint32_t, size_t> groupOf;
    for (size_t t = 0; t < object.meshes.size(); ++t) {
        const uint32_t material = materials[from + t];
        const auto [at, added] = groupOf.emplace(material, groups.size());
        if (added) groups.emplace_back(material, std::vector<uint32_t>());
        groups[at->second].second.push_back(static_cast<uint32_t>(t));
    }
    for (auto& [material, faces] : groups)
        object.faceGroups.push_back(FaceGroup{nameOf(material), std::move(faces)});
}

std::function<void(Scene&, size_t)>& FinishedObjectSink() {
    static std::function<void(Scene&, size_t)> sink;
    return sink;
}

bool IsFinite(const MeshPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The triangles whose corners are all numbers, and how many used points were not. A point that
// is not a number would make the object's bounds, and so the whole view, not numbers either.
MergedMesh FiniteTriangles(const MergedMesh& merged, size_t& badPoints) {
    std::vector<uint8_t> bad(merged.points.size());
    for (size_t p = 0; p < merged.points.size(); ++p)
        bad[p] = !IsFinite(merged.points[p]);
    MergedMesh kept;
    kept.points = merged.points;
    kept.uvs = merged.uvs;
    kept.normals = merged.normals;
    std::vector<uint8_t> counted(merged.points.size());
    for (size_t t = 0; t < merged.materials.size(); ++t) {
        const uint32_t* corner = &merged.corners[3 * t];
        bool finite = true;
        for (int k = 0; k < 3; ++k)
            if (bad[corner[k]]) {
                finite = false;
                badPoints += !counted[corner[k]];
                counted[corner[k]] = 1;
            }
        if (!finite) continue;
        kept.corners.insert(kept.corners.end(), corner, corner + 3);
        kept.materials.push_back(merged.materials[t]);
    }
    return kept;
}

}  // namespace

ObjectCutter::ObjectCutter(std::string name, Scene& scene, size_t triangles, size_t points)
    : m_name(std::move(name)),
      m_scene(scene),
      m_firstObject(scene.m_objects.size()),
      m_triangles(triangles),
      m_points(points) {}

void ObjectCutter::StartPiece(const MergedMesh& merged) {
    const auto& finished = FinishedObjectSink();
    SceneObject& object = m_object;
    object = SceneObject();
    // Once a mesh is cut, its pieces are numbered; a piece is finished, name and all, when the
    // next one begins.
    object.name = m_piece == 0 ? m_name : m_name + "." + std::to_string(m_piece + 1);
    if (m_piece == 1) m_scene.m_objects[m_firstObject].name = m_name + ".1";
    if (m_piece > 0 && finished) finished(m_scene, m_scene.m_objects.size() - 1);
    object.vertices.reserve(std::min(m_points, kMaxObjectVertices));
    object.meshes.reserve(
        std::min(m_triangles - std::min(m_triangles, m_next), 2 * kMaxObjectVertices));
    if (!merged.uvs.empty()) object.uvs.reserve(std::min(m_points, kMaxObjectVertices));
    m_normals.clear();
    if (!merged.normals.empty()) m_normals.reserve(std::min(m_points, kMaxObjectVertices));
    m_from = m_next;
    m_open = true;
}

void ObjectCutter::EndPiece(const MergedMesh& merged) {
    SetMaterials(m_object, merged.materials, m_from, m_scene);
    FinishObject(m_object);
    KeepModelNormals(m_object, m_normals);
    m_scene.m_objects.push_back(std::move(m_object));
    m_open = false;
    ++m_piece;
}

void ObjectCutter::Cut(const MergedMesh& merged, const std::vector<MeshPoint>& points,
                       size_t triangles) {
    if (m_pieceOf.size() < points.size()) {
        m_pieceOf.resize(points.size(), UINT32_MAX);
        m_newIndex.resize(points.size(), 0);
    }
    for (; m_next < triangles; ++m_next) {
        if (!m_open) StartPiece(merged);
        SceneObject& object = m_object;
        const uint32_t* corner = &merged.corners[3 * m_next];
        size_t fresh = 0;
        for (int k = 0; k < 3; ++k)
            if (m_pieceOf[corner[k]] != m_piece) ++fresh;
        if (object.vertices.size() + fresh > kMaxObjectVertices) {
            EndPiece(merged);
            StartPiece(merged);
        }
        uint16_t index[3];
        for (int k = 0; k < 3; ++k) {
            const uint32_t point = corner[k];
            if (m_pieceOf[point] != m_piece) {
                m_pieceOf[point] = m_piece;
                m_newIndex[point] = static_cast<uint32_t>(object.vertices.size());
                const MeshPoint& p = points[point];
                SceneVertex vertex;
                vertex.x = p.x, vertex.y = p.y, vertex.z = p.z;
                object.vertices.push_back(vertex);
                if (!merged.uvs.empty()) object.uvs.push_back(merged.uvs[point]);
                if (!merged.normals.empty()) m_normals.push_back(merged.normals[point]);
            }
            index[k] = static_cast<uint16_t>(m_newIndex[point]);
        }
        SceneMesh mesh;
        mesh.a = index[0], mesh.b = index[1], mesh.c = index[2];
        object.meshes.push_back(mesh);
    }
}

void ObjectCutter::Finish(const MergedMesh& merged, size_t points,
                          std::vector<std::string>& report) {
    if (m_open) EndPiece(merged);
    const size_t pieces = m_scene.m_objects.size() - m_firstObject;
    if (pieces == 0) return;
    if (const auto& finished = FinishedObjectSink())
        finished(m_scene, m_scene.m_objects.size() - 1);
    if (pieces < 2) return;
    report.push_back("mesh " + Quoted(m_name) + " of " + std::to_string(points) +
                     " vertices cut into " + std::to_string(pieces) + " objects (" + m_name +
                     ".1 to " + m_name + "." + std::to_string(pieces) + ")");
}

void AddObjects(const MergedMesh& given, const std::string& name, Scene& scene,
                std::vector<std::string>& report) {
    const bool allFinite = std::all_of(given.points.begin(), given.points.end(), IsFinite);
    size_t badPoints = 0;
    const MergedMesh filtered = allFinite ? MergedMesh() : FiniteTriangles(given, badPoints);
    const MergedMesh& merged = allFinite ? given : filtered;
    if (badPoints)
        report.push_back("object " + Quoted(name) + ": " + std::to_string(badPoints) +
                         (badPoints == 1 ? " vertex" : " vertices") +
                         " with coordinates that are not numbers, their triangles dropped");
    const size_t triangles = merged.materials.size();
    ObjectCutter cutter(name, scene, triangles, merged.points.size());
    cutter.Cut(merged, merged.points, triangles);
    cutter.Finish(merged, merged.points.size(), report);
}

void SetFinishedObjectSink(std::function<void(Scene&, size_t)> sink) {
    FinishedObjectSink() = std::move(sink);
}

namespace {

std::function<void(const Scene&)>& SceneAnnouncer() {
    static std::function<void(const Scene&)> announcer;
    return announcer;
}

}  // namespace

void SetSceneAnnouncer(std::function<void(const Scene&)> announcer) {
    SceneAnnouncer() = std::move(announcer);
}

bool AnnouncingScenes() {
    return static_cast<bool>(SceneAnnouncer());
}

void AnnounceScene(const Scene& scene) {
    if (SceneAnnouncer()) SceneAnnouncer()(scene);
}

void MakeBoundsEmpty(SceneSettings& bounds) {
    constexpr float kHuge = std::numeric_limits<float>::max();
    bounds.minX = bounds.minY = bounds.minZ = kHuge;
    bounds.maxX = bounds.maxY = bounds.maxZ = -kHuge;
}

bool WidenBy(const MeshPoint& p, SceneSettings& b) {
    if (!IsFinite(p)) return false;
    if (p.x > b.maxX) b.maxX = p.x;
    if (p.x < b.minX) b.minX = p.x;
    if (p.y > b.maxY) b.maxY = p.y;
    if (p.y < b.minY) b.minY = p.y;
    if (p.z > b.maxZ) b.maxZ = p.z;
    if (p.z < b.minZ) b.minZ = p.z;
    return true;
}

bool WidenByTriangles(const std::vector<MeshPoint>& points, const std::vector<uint32_t>& corners,
                      size_t triangles, SceneSettings& bounds) {
    for (size_t c = 0; c < 3 * triangles; ++c)
        if (!WidenBy(points[corners[c]], bounds)) return false;
    return true;
}

std::string UniqueNames::Take(std::string name, const std::string& fallback) {
    if (name.empty()) name = fallback;
    std::string unique = name;
    // Each name goes on from the number it reached, so that many equal names stay fast.
    int& n = m_next[name];
    while (m_used.count(unique))
        unique = name + " " + std::to_string(n = std::max(n + 1, 2));
    m_used.insert(unique);
    return unique;
}
