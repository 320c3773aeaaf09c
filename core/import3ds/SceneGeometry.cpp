#include "import3ds/SceneGeometry.h"

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Calls get(i, x, y, z) for the vector of each of count items, normalises each as Normalise does
// and calls put(i, x, y, z) to put it back. Four at a time where the processor has a vector unit:
// its square root and division are correctly rounded as the scalar ones are and the sum is taken
// in the same order, so every vector gets exactly the bits Normalise gives it. The four are
// gathered into the vector unit from registers and spread from one aligned store: lanes stored
// one by one and loaded as a vector would stall the load until the stores are done.
template <class Get, class Put>
void NormaliseAll(size_t count, Get get, Put put) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        float x[4], y[4], z[4];
        for (int k = 0; k < 4; ++k)
            get(i + k, x[k], y[k], z[k]);
        const __m128 vx = _mm_setr_ps(x[0], x[1], x[2], x[3]);
        const __m128 vy = _mm_setr_ps(y[0], y[1], y[2], y[3]);
        const __m128 vz = _mm_setr_ps(z[0], z[1], z[2], z[3]);
        const __m128 squared =
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz));
        const __m128 length = _mm_sqrt_ps(squared);
        // Lanes of no length become 0, as Normalise makes them.
        const __m128 keep = _mm_cmpneq_ps(squared, _mm_setzero_ps());
        alignas(16) float nx[4], ny[4], nz[4];
        _mm_store_ps(nx, _mm_and_ps(keep, _mm_div_ps(vx, length)));
        _mm_store_ps(ny, _mm_and_ps(keep, _mm_div_ps(vy, length)));
        _mm_store_ps(nz, _mm_and_ps(keep, _mm_div_ps(vz, length)));
        for (int k = 0; k < 4; ++k)
            put(i + k, nx[k], ny[k], nz[k]);
    }
#endif
    for (; i < count; ++i) {
        float x, y, z;
        get(i, x, y, z);
        Normalise(x, y, z);
        put(i, x, y, z);
    }
}

}  // namespace

namespace {

// The unit normals of the object's faces, each put with put(i, x, y, z) in the order of the faces.
template <class Put>
void FaceNormals(SceneObject& object, Put put) {
    const VertexList& v = object.vertices;
    const MeshList& meshes = object.meshes;
    const auto cross = [&](size_t i, float& x, float& y, float& z) {
        const SceneMesh& mesh = meshes[i];
        const SceneVertex& a = v[mesh.a];
        const SceneVertex& b = v[mesh.b];
        const SceneVertex& c = v[mesh.c];
        const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
        const float e2x = c.x - b.x, e2y = c.y - b.y, e2z = c.z - b.z;
        x = e1y * e2z - e1z * e2y;
        y = e1z * e2x - e1x * e2z;
        z = e1x * e2y - e1y * e2x;
    };
    NormaliseAll(meshes.size(), cross, put);
}

void ClearVertexNormals(VertexList& v) {
    for (SceneVertex& vertex : v)
        vertex.nx = vertex.ny = vertex.nz = 0.0f;
}

void AddToCorners(VertexList& v, const SceneMesh& mesh) {
    for (uint16_t corner : {mesh.a, mesh.b, mesh.c}) {
        v[corner].nx += mesh.nx;
        v[corner].ny += mesh.ny;
        v[corner].nz += mesh.nz;
    }
}

void NormaliseVertexNormals(VertexList& v) {
    NormaliseAll(
        v.size(),
        [&](size_t i, float& x, float& y, float& z) { x = v[i].nx, y = v[i].ny, z = v[i].nz; },
        [&](size_t i, float x, float y, float z) { v[i].nx = x, v[i].ny = y, v[i].nz = z; });
}

}  // namespace

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

void ComputeFaceNormals(SceneObject& object) {
    MeshList& meshes = object.meshes;
    FaceNormals(object, [&](size_t i, float x, float y, float z) {
        meshes[i].nx = x, meshes[i].ny = y, meshes[i].nz = z;
    });
}

void ComputeVertexNormals(SceneObject& object) {
    ClearVertexNormals(object.vertices);
    for (const SceneMesh& mesh : object.meshes)
        AddToCorners(object.vertices, mesh);
    NormaliseVertexNormals(object.vertices);
}

void ComputeNormals(SceneObject& object) {
    // Each face's normal is added to its corners as soon as it is known, while the face and its
    // corners are at hand: one walk over the faces instead of two.
    ClearVertexNormals(object.vertices);
    MeshList& meshes = object.meshes;
    FaceNormals(object, [&](size_t i, float x, float y, float z) {
        SceneMesh& mesh = meshes[i];
        mesh.nx = x, mesh.ny = y, mesh.nz = z;
        AddToCorners(object.vertices, mesh);
    });
    NormaliseVertexNormals(object.vertices);
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
