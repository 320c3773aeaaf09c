#include "import3ds/SceneGeometry.h"

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Normalise for the normals of four vertices at once. The square root and the division are
// correctly rounded in the vector unit as in the scalar one and the sum is taken in the same
// order, so every normal has exactly the bits Normalise gives it, in about a quarter of the time.
void NormaliseNormals(SceneVertex* v, size_t count) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        SceneVertex* const q = v + i;
        const __m128 x = _mm_setr_ps(q[0].nx, q[1].nx, q[2].nx, q[3].nx);
        const __m128 y = _mm_setr_ps(q[0].ny, q[1].ny, q[2].ny, q[3].ny);
        const __m128 z = _mm_setr_ps(q[0].nz, q[1].nz, q[2].nz, q[3].nz);
        const __m128 squared =
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z));
        const __m128 length = _mm_sqrt_ps(squared);
        // Lanes of no length become 0, as Normalise makes them.
        const __m128 keep = _mm_cmpneq_ps(squared, _mm_setzero_ps());
        alignas(16) float nx[4], ny[4], nz[4];
        _mm_store_ps(nx, _mm_and_ps(keep, _mm_div_ps(x, length)));
        _mm_store_ps(ny, _mm_and_ps(keep, _mm_div_ps(y, length)));
        _mm_store_ps(nz, _mm_and_ps(keep, _mm_div_ps(z, length)));
        for (int k = 0; k < 4; ++k)
            q[k].nx = nx[k], q[k].ny = ny[k], q[k].nz = nz[k];
    }
#endif
    for (; i < count; ++i)
        Normalise(v[i].nx, v[i].ny, v[i].nz);
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
    NormaliseNormals(v.data(), v.size());
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
