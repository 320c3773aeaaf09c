#include "import3ds/SceneGeometry.h"

#include <cmath>

namespace {

// Divides (x, y, z) by its length, or makes it (0, 0, 0) when the squared length is 0.
void Normalise(float& x, float& y, float& z) {
    const float lengthSquared = x * x + y * y + z * z;
    if (lengthSquared == 0.0f) {
        x = y = z = 0.0f;
        return;
    }
    const float length = std::sqrt(lengthSquared);
    x /= length;
    y /= length;
    z /= length;
}

}  // namespace

void ComputeFaceNormals(SceneObject& object) {
    const VertexList& v = object.vertices;
    for (SceneMesh& mesh : object.meshes) {
        const SceneVertex& a = v[mesh.a];
        const SceneVertex& b = v[mesh.b];
        const SceneVertex& c = v[mesh.c];
        const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
        const float e2x = c.x - b.x, e2y = c.y - b.y, e2z = c.z - b.z;
        mesh.nx = e1y * e2z - e1z * e2y;
        mesh.ny = e1z * e2x - e1x * e2z;
        mesh.nz = e1x * e2y - e1y * e2x;
        Normalise(mesh.nx, mesh.ny, mesh.nz);
    }
}

void ComputeVertexNormals(SceneObject& object) {
    VertexList& v = object.vertices;
    for (SceneVertex& vertex : v)
        vertex.nx = vertex.ny = vertex.nz = 0.0f;
    for (const SceneMesh& mesh : object.meshes) {
        for (uint16_t corner : {mesh.a, mesh.b, mesh.c}) {
            v[corner].nx += mesh.nx;
            v[corner].ny += mesh.ny;
            v[corner].nz += mesh.nz;
        }
    }
    for (SceneVertex& vertex : v)
        Normalise(vertex.nx, vertex.ny, vertex.nz);
}

void ComputeSceneBounds(Scene& scene) {
    if (scene.m_objects.empty()) return;
    SceneSettings& s = scene.m_settings;
    const SceneObject& first = scene.m_objects.front();
    s.maxX = first.maxX, s.maxY = first.maxY, s.maxZ = first.maxZ;
    s.minX = first.minX, s.minY = first.minY, s.minZ = first.minZ;
    for (const SceneObject& o : scene.m_objects) {
        if (o.maxX > s.maxX) s.maxX = o.maxX;
        if (o.maxY > s.maxY) s.maxY = o.maxY;
        if (o.maxZ > s.maxZ) s.maxZ = o.maxZ;
        if (o.minX < s.minX) s.minX = o.minX;
        if (o.minY < s.minY) s.minY = o.minY;
        if (o.minZ < s.minZ) s.minZ = o.minZ;
    }
}
