#include "bench/BenchShapes.h"

#include <cmath>
#include <random>

namespace {

constexpr float kPi = 3.14159265358979f;

// Edge visibility of the two triangles of a quad split along its v00-v11 diagonal: the
// diagonal is hidden, as modelling programs mark it.
constexpr uint16_t kFirstHalf = 0x6;   // edges AB and BC shown
constexpr uint16_t kSecondHalf = 0x3;  // edges BC and CA shown
constexpr uint16_t kAllEdges = 0x7;

// A float in [0, 1) from the generator's raw bits; the standard distributions may differ
// between libraries, the raw mt19937 sequence does not.
float Unit(std::mt19937& random) {
    return static_cast<float>(random() >> 8) * (1.0f / 16777216.0f);
}

uint16_t Index(size_t i) {
    return static_cast<uint16_t>(i);
}

// Two counter-clockwise triangles over the quad v00, v10, v11, v01.
void AddQuad(BenchMesh& mesh, size_t v00, size_t v10, size_t v11, size_t v01, uint32_t group) {
    mesh.faces.push_back({Index(v00), Index(v10), Index(v11), kFirstHalf});
    mesh.faces.push_back({Index(v00), Index(v11), Index(v01), kSecondHalf});
    mesh.smoothing.push_back(group);
    mesh.smoothing.push_back(group);
}

}  // namespace

BenchMesh DisplacedGrid(int cols, int rows, float size, uint32_t seed) {
    std::mt19937 random(seed);
    const float k1 = 2.0f + 6.0f * Unit(random), k2 = 2.0f + 6.0f * Unit(random);
    const float k3 = 9.0f + 9.0f * Unit(random), k4 = 9.0f + 9.0f * Unit(random);
    BenchMesh mesh;
    mesh.points.reserve(static_cast<size_t>(cols + 1) * static_cast<size_t>(rows + 1));
    mesh.texels.reserve(mesh.points.capacity());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= cols; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(cols);
            const float v = static_cast<float>(j) / static_cast<float>(rows);
            const float hills = 0.08f * std::sin(u * k1) * std::cos(v * k2) +
                                0.03f * std::sin(u * k3 + v * k4) + 0.004f * Unit(random);
            mesh.points.push_back({(u - 0.5f) * size, (v - 0.5f) * size, hills * size});
            mesh.texels.push_back({u, v});
        }
    }
    const size_t stride = static_cast<size_t>(cols) + 1;
    for (size_t j = 0; j < static_cast<size_t>(rows); ++j) {
        for (size_t i = 0; i < static_cast<size_t>(cols); ++i) {
            const size_t v00 = j * stride + i;
            AddQuad(mesh, v00, v00 + 1, v00 + stride + 1, v00 + stride, 1);
        }
    }
    return mesh;
}

BenchMesh SmoothLathe(int segments, int rings, float radius, float height, uint32_t seed) {
    std::mt19937 random(seed);
    const float phase = 2.0f * kPi * Unit(random);
    BenchMesh mesh;
    const size_t stride = static_cast<size_t>(segments) + 1;
    mesh.points.reserve(stride * static_cast<size_t>(rings + 1));
    mesh.texels.reserve(mesh.points.capacity());
    for (int r = 0; r <= rings; ++r) {
        const float t = static_cast<float>(r) / static_cast<float>(rings);
        // The jitter is per ring, so the doubled seam vertices stay on top of each other.
        const float profile = 0.6f + 0.3f * std::sin(1.5f * kPi * t + phase) +
                              0.08f * std::sin(7.0f * kPi * t) + 0.01f * Unit(random);
        for (int s = 0; s <= segments; ++s) {
            const float angle =
                2.0f * kPi * static_cast<float>(s % segments) / static_cast<float>(segments);
            mesh.points.push_back({radius * profile * std::cos(angle),
                                   radius * profile * std::sin(angle), height * t});
            mesh.texels.push_back({static_cast<float>(s) / static_cast<float>(segments), t});
        }
    }
    for (size_t r = 0; r < static_cast<size_t>(rings); ++r) {
        for (size_t s = 0; s < static_cast<size_t>(segments); ++s) {
            const size_t v00 = r * stride + s;
            AddQuad(mesh, v00, v00 + 1, v00 + stride + 1, v00 + stride, 1);
        }
    }
    return mesh;
}

BenchMesh BandedLathe(int segments, int bands, float radius, float height, bool capped) {
    BenchMesh mesh;
    const size_t ring = static_cast<size_t>(segments) + 1;
    mesh.points.reserve(2 * ring * static_cast<size_t>(bands) + 1);
    mesh.texels.reserve(mesh.points.capacity());
    auto radiusAt = [&](int b) {
        return radius * (0.7f + 0.25f * std::cos(0.37f * static_cast<float>(b)));
    };
    for (int b = 0; b < bands; ++b) {
        const size_t base = mesh.points.size();
        for (int edge = 0; edge < 2; ++edge) {
            const float z = height * static_cast<float>(b + edge) / static_cast<float>(bands);
            const float rr = radiusAt(b + edge);
            for (int s = 0; s <= segments; ++s) {
                const float angle =
                    2.0f * kPi * static_cast<float>(s % segments) / static_cast<float>(segments);
                mesh.points.push_back({rr * std::cos(angle), rr * std::sin(angle), z});
                mesh.texels.push_back({static_cast<float>(s) / static_cast<float>(segments),
                                       static_cast<float>(edge)});
            }
        }
        const uint32_t group = 1u << (b % 32);
        for (size_t s = 0; s < static_cast<size_t>(segments); ++s)
            AddQuad(mesh, base + s, base + s + 1, base + ring + s + 1, base + ring + s, group);
    }
    if (capped && bands > 0) {
        const size_t top = mesh.points.size() - ring;  // the last band's upper ring
        const size_t pole = mesh.points.size();
        mesh.points.push_back({0.0f, 0.0f, height});
        mesh.texels.push_back({0.5f, 1.0f});
        const uint32_t group = 1u << ((bands - 1) % 32);
        for (size_t s = 0; s < static_cast<size_t>(segments); ++s) {
            mesh.faces.push_back({Index(top + s), Index(top + s + 1), Index(pole), kAllEdges});
            mesh.smoothing.push_back(group);
        }
    }
    return mesh;
}

void Translate(BenchMesh& mesh, float dx, float dy, float dz) {
    for (BenchMesh::Point& p : mesh.points) {
        p.x += dx;
        p.y += dy;
        p.z += dz;
    }
}
