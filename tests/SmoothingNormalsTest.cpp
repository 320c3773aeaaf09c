// The normals smooth mode draws an object's corners with when its faces carry smoothing groups:
// flat faces, groups that meet or do not, and vertices that share only a position.
#include <gtest/gtest.h>

#include <cstring>

#include "import3ds/SceneGeometry.h"
#include "view/SmoothingNormals.h"

namespace {

// A roof: a left slope (triangles 0, 1) and a right slope (2, 3) meeting at the ridge, vertices 1
// and 4. With split, the right slope has ridge vertices of its own (6 and 7) at the same places.
SceneObject Roof(bool split) {
    SceneObject o;
    o.vertices = {{0, 0, 0}, {1, 0, 1}, {2, 0, 0}, {0, 1, 0}, {1, 1, 1}, {2, 1, 0}};
    const uint16_t r1 = split ? 6 : 1, r4 = split ? 7 : 4;
    if (split) o.vertices.push_back({1, 0, 1}), o.vertices.push_back({1, 1, 1});
    o.meshes = {{0, 1, 4}, {0, 4, 3}, {r1, 2, 5}, {r1, 5, r4}};
    ComputeNormals(o);
    return o;
}

// The unit sum of the given triangles' normals, added in their order from zero.
CornerNormal SumOf(const SceneObject& o, std::initializer_list<int> triangles) {
    float x = 0, y = 0, z = 0;
    for (int t : triangles)
        x += o.meshes[t].nx, y += o.meshes[t].ny, z += o.meshes[t].nz;
    Normalise(x, y, z);
    return {x, y, z};
}

CornerNormal FaceOf(const SceneObject& o, int t) {
    return {o.meshes[t].nx, o.meshes[t].ny, o.meshes[t].nz};
}

CornerNormal VertexOf(const SceneObject& o, int v) {
    return {o.vertices[v].nx, o.vertices[v].ny, o.vertices[v].nz};
}

bool SameBits(const CornerNormal& a, const CornerNormal& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(SmoothingNormals, EachCornerSumsTheFacesAtItsVertexThatShareABit) {
    struct Case {
        const char* what;
        bool split;
        std::vector<uint32_t> masks;
        // Corner 1 of triangle 0 (the ridge, left) and corner 0 of triangle 2 (the ridge, right).
        CornerNormal (*left)(const SceneObject&);
        CornerNormal (*right)(const SceneObject&);
    };
    const Case cases[] = {
        {"disjoint bits: each slope alone",
         false,
         {1, 1, 2, 2},
         [](const SceneObject& o) { return SumOf(o, {0}); },
         [](const SceneObject& o) {
             return SumOf(o, {2, 3});
         }},
        {"a flat face keeps its normal",
         false,
         {1, 1, 0, 1},
         [](const SceneObject& o) {
             return SumOf(o, {0, 3});
         },
         [](const SceneObject& o) { return FaceOf(o, 2); }},
        {"no groups at all: flat",
         false,
         {0, 0, 0, 0},
         [](const SceneObject& o) { return FaceOf(o, 0); },
         [](const SceneObject& o) { return FaceOf(o, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SceneObject o = Roof(c.split);
        o.smoothingGroups = c.masks;
        const std::vector<CornerNormal> corners = SmoothingCornerNormals(o);
        ASSERT_EQ(corners.size(), 12u);
        EXPECT_TRUE(SameBits(corners[1], c.left(o)));
        EXPECT_TRUE(SameBits(corners[6], c.right(o)));
    }
    // Where every corner gets its vertex's normal (all faces share a bit), without groups, or
    // with a list that does not fit, the object is drawn as ever.
    for (const std::vector<uint32_t>& masks :
         {std::vector<uint32_t>{1, 1, 1, 1}, {3, 1, 2, 0x80000003}, {}, {1, 1}}) {
        SceneObject o = Roof(false);
        o.smoothingGroups = masks;
        EXPECT_TRUE(SmoothingCornerNormals(o).empty());
    }
    // Vertices that share only a position are not smoothed across: with one group the split
    // roof keeps its vertex normals, which do not cross either.
    SceneObject split = Roof(true);
    split.smoothingGroups = {1, 1, 1, 1};
    EXPECT_TRUE(SmoothingCornerNormals(split).empty());
    // With a flat face on the right the corners are its own; the left ridge corner still sums
    // its own slope alone, though the right slope shares its bit at the same place.
    split.smoothingGroups = {1, 1, 0, 1};
    const std::vector<CornerNormal> corners = SmoothingCornerNormals(split);
    ASSERT_EQ(corners.size(), 12u);
    EXPECT_TRUE(SameBits(corners[1], SumOf(split, {0})));
}

TEST(SmoothingNormals, AVertexOfManyGroupsTakesItsOwnNormalPastTheLimit) {
    // A fan of 200 triangles around vertex 0, each in a group of its own.
    SceneObject o;
    o.vertices.push_back({0, 0, 0});
    for (int i = 0; i <= 200; ++i)
        o.vertices.push_back({float(i), 1, float(i % 3)});
    for (uint16_t i = 1; i <= 200; ++i) {
        o.meshes.push_back({0, i, uint16_t(i + 1)});
        o.smoothingGroups.push_back(i);
    }
    ComputeNormals(o);
    const std::vector<CornerNormal> corners = SmoothingCornerNormals(o);
    ASSERT_EQ(corners.size(), 600u);
    // Triangle 0 (mask 1) shares bit 1 with every odd mask: its corner sums those.
    float x = 0, y = 0, z = 0;
    for (int t = 0; t < 200; t += 2)
        x += o.meshes[t].nx, y += o.meshes[t].ny, z += o.meshes[t].nz;
    Normalise(x, y, z);
    EXPECT_TRUE(SameBits(corners[0], CornerNormal{x, y, z}));
    EXPECT_TRUE(SameBits(corners[3 * 199], VertexOf(o, 0)));
}
