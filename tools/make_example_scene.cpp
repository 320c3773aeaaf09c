// Writes the bundled example scene, a small still life: a floor, a pedestal, a vase turned on a
// lathe, a ball and a glass pyramid, with five materials, two lights and a camera.
//
//   make_example_scene OUT.3ds
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/Chunk3ds.h"

using build3ds::Face;
using build3ds::Vec3;

namespace {

struct Shape {
    std::vector<Vec3> vertices;
    std::vector<Face> faces;

    void Quad(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
        faces.push_back({a, b, c, 0});
        faces.push_back({a, c, d, 0});
    }
};

// An axis-aligned box; each side has its own four corners so that it shades flat.
Shape Box(Vec3 lo, Vec3 hi) {
    Shape s;
    const float x[2] = {lo.x, hi.x}, y[2] = {lo.y, hi.y}, z[2] = {lo.z, hi.z};
    // Corners of each side, counter-clockwise seen from outside.
    const int sides[6][4][3] = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {1, 1, 1}},
        {{0, 1, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 1}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}};
    for (const auto& side : sides) {
        const uint16_t base = static_cast<uint16_t>(s.vertices.size());
        for (const auto& c : side)
            s.vertices.push_back({x[c[0]], y[c[1]], z[c[2]]});
        s.Quad(base, base + 1, base + 2, base + 3);
    }
    return s;
}

// A surface of revolution about the vertical axis through (cx, cy): profile holds (radius, z).
Shape Lathe(float cx, float cy, const std::vector<std::pair<float, float>>& profile, int segments) {
    Shape s;
    const float kPi = 3.14159265f;
    for (const auto& [radius, z] : profile) {
        for (int k = 0; k <= segments; ++k) {
            const float angle = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(segments);
            s.vertices.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle), z});
        }
    }
    const int ring = segments + 1;
    for (size_t r = 0; r + 1 < profile.size(); ++r) {
        for (int k = 0; k < segments; ++k) {
            const auto at = [&](size_t row, int col) {
                return static_cast<uint16_t>(row * ring + static_cast<size_t>(col));
            };
            s.Quad(at(r, k), at(r, k + 1), at(r + 1, k + 1), at(r + 1, k));
        }
    }
    return s;
}

Shape Ball(Vec3 c, float radius, int rings, int segments) {
    std::vector<std::pair<float, float>> profile;
    const float kPi = 3.14159265f;
    for (int i = 0; i <= rings; ++i) {
        const float a = -kPi / 2 + kPi * static_cast<float>(i) / static_cast<float>(rings);
        profile.push_back({radius * std::cos(a), c.z + radius * std::sin(a)});
    }
    return Lathe(c.x, c.y, profile, segments);
}

Shape Pyramid(Vec3 c, float half, float height) {
    Shape s;
    const Vec3 apex{c.x, c.y, c.z + height};
    const Vec3 base[4] = {{c.x - half, c.y - half, c.z},
                          {c.x + half, c.y - half, c.z},
                          {c.x + half, c.y + half, c.z},
                          {c.x - half, c.y + half, c.z}};
    for (int i = 0; i < 4; ++i) {
        const uint16_t first = static_cast<uint16_t>(s.vertices.size());
        s.vertices.push_back(base[i]);
        s.vertices.push_back(base[(i + 1) % 4]);
        s.vertices.push_back(apex);
        s.faces.push_back(
            {first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2), 0});
    }
    const uint16_t b = static_cast<uint16_t>(s.vertices.size());
    for (int i = 3; i >= 0; --i)
        s.vertices.push_back(base[i]);
    s.Quad(b, b + 1, b + 2, b + 3);
    return s;
}

Chunk3ds Object(const char* name, const Shape& shape, const char* material) {
    return build3ds::MeshObject(name, shape.vertices, shape.faces, material);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example_scene OUT.3ds\n");
        return 2;
    }
    using build3ds::Material;
    const std::vector<Chunk3ds> chunks = {
        Material("Oak", {60, 40, 20}, {150, 100, 55}, {40, 40, 40}, 10, std::nullopt),
        Material("Marble", {70, 70, 70}, {220, 218, 210}, {200, 200, 200}, 60, 0),
        Material("Brass", {60, 45, 10}, {200, 160, 50}, {255, 230, 150}, 80, 0),
        Material("Glass", {20, 40, 50}, {120, 190, 230}, {255, 255, 255}, 90, 45),
        Material("Slate", {30, 30, 35}, {80, 85, 95}, {30, 30, 30}, 5, 0),
        Object("Floor", Box({-120, -90, -4}, {120, 90, 0}), "Oak"),
        Object("Pedestal", Box({-70, -25, 0}, {-20, 25, 40}), "Marble"),
        Object(
            "Vase",
            Lathe(-45, 0, {{8, 40}, {14, 44}, {18, 52}, {17, 62}, {11, 72}, {8, 80}, {10, 86}}, 24),
            "Brass"),
        Object("Ball", Ball({30, -20, 22}, 22, 12, 24), "Slate"),
        Object("Pyramid", Pyramid({70, 40, 0}, 22, 44), "Glass"),
        build3ds::LightObject("Sun", {150, -200, 260}, {255, 244, 220}),
        build3ds::LightObject("Fill", {-220, 120, 90}, {90, 110, 150}),
        build3ds::CameraObject("Camera01", {210, -260, 150}, {0, 0, 30}, 0, 45),
    };
    const std::vector<uint8_t> bytes = build3ds::File(chunks);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
