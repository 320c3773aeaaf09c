// What the 3DS reader keeps beyond one material per object: the material groups of each face
// list, mapping coordinates and a material's first texture map, on files built byte by byte,
// with damaged and cut chunks.
#include <gtest/gtest.h>

#include <functional>

#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "tools/Chunk3ds.h"

using build3ds::Face;
using build3ds::Vec3;

namespace {

Read3dsResult Import(const std::vector<uint8_t>& bytes, Scene& scene) {
    const std::vector<uint8_t> copy(bytes);
    InputStream in(copy.data(), copy.size());
    return Read3DS(in, scene);
}

const std::vector<Vec3> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
// Face 2 reaches vertex 7 of 4, so the import drops it and face 3 becomes triangle 2.
const std::vector<Face> kFaces = {{0, 1, 2, 0}, {0, 2, 3, 0}, {0, 1, 7, 0}, {1, 2, 3, 0}};

using Groups = std::vector<std::pair<std::string, std::vector<uint16_t>>>;

Chunk3ds Group(const std::string& material, const std::vector<uint16_t>& faces) {
    Chunk3ds group(chunk::kFaceMaterial);
    group.Name(material).U16(static_cast<uint16_t>(faces.size()));
    for (uint16_t f : faces)
        group.U16(f);
    return group;
}

Chunk3ds Mapping(const std::vector<float>& pairs, size_t claimed) {
    Chunk3ds c(chunk::kMappingCoords);
    c.U16(static_cast<uint16_t>(claimed));
    for (float v : pairs)
        c.F32(v);
    return c;
}

Scene ImportMesh(const std::vector<Chunk3ds>& beforeFaces, const std::vector<Chunk3ds>& nested) {
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(build3ds::VertexList(kSquare));
    for (const Chunk3ds& c : beforeFaces)
        mesh.Add(c);
    mesh.Add(build3ds::FaceList(kFaces, nested));
    Scene scene;
    EXPECT_EQ(Import(build3ds::File({Chunk3ds(chunk::kNamedObject).Name("Box").Add(mesh)}), scene),
              Read3dsResult::Read);
    EXPECT_EQ(SceneRuleBroken(scene), "");
    return scene;
}

Groups GroupsOf(const SceneObject& o) {
    Groups groups;
    for (const FaceGroup& g : o.faceGroups)
        groups.push_back({g.material, std::vector<uint16_t>(g.faces.begin(), g.faces.end())});
    return groups;
}

}  // namespace

TEST(Read3dsExtras, FaceGroupsAreKeptWhenTheirFacesUseTwoOrMoreMaterials) {
    struct Case {
        Groups file;
        Groups kept;  // with the triangles' indices after face 2 is dropped
    };
    const Case cases[] = {
        {{{"A", {0, 1}}, {"B", {3}}}, {{"A", {0, 1}}, {"B", {2}}}},
        {{{"A", {0, 1}}, {"A", {3}}}, {}},                              // one material
        {{{"B", {0}}}, {}},                                             // one group
        {{{"A", {0, 1, 3}}, {"B", {1}}}, {{"A", {0, 2}}, {"B", {1}}}},  // the last group wins
        {{{"A", {0, 9}}, {"B", {1}}}, {{"A", {0}}, {"B", {1}}}},        // face 9 passed over
        {{{"A", {2}}, {"B", {0}}}, {}},  // A's only face is dropped: one material left
        {{{"A", {3, 0}}, {"", {1}}}, {{"A", {0, 2}}, {"", {1}}}},
    };
    for (const Case& c : cases) {
        std::vector<Chunk3ds> nested;
        for (const auto& [material, faces] : c.file)
            nested.push_back(Group(material, faces));
        const Scene scene = ImportMesh({}, nested);
        ASSERT_EQ(scene.m_objects.size(), 1u);
        EXPECT_EQ(GroupsOf(scene.m_objects[0]), c.kept) << c.file.size() << c.file[0].first;
        // The object's own material is still the one the mesh's walk gives: the first group's.
        EXPECT_EQ(scene.m_objects[0].materialName, c.file[0].first);
    }

    // A group cut short by its chunk ends the face list's groups; those before it stay.
    Chunk3ds cut = Group("C", {0, 1});
    cut.Length(6 + 2 + 2 + 2);
    const Scene scene = ImportMesh({}, {Group("A", {0}), Group("B", {1}), cut});
    EXPECT_EQ(GroupsOf(scene.m_objects[0]), (Groups{{"A", {0}}, {"B", {1}}}));
}

TEST(Read3dsExtras, SmoothingGroupsAreKeptOneMaskPerTriangle) {
    const auto masks = [](std::vector<uint32_t> values, size_t extra) {
        Chunk3ds c(chunk::kSmoothGroups);
        for (uint32_t v : values)
            c.U32(v);
        for (size_t i = 0; i < extra; ++i)
            c.U8(0);
        return c;
    };
    struct Case {
        std::vector<Chunk3ds> nested;
        std::vector<uint32_t> kept;  // of the triangles left after face 2 is dropped
    };
    const Case cases[] = {
        {{masks({1, 0, 6, 0x80000000}, 0)}, {1, 0, 0x80000000}},
        {{masks({1, 0, 6}, 0)}, {}},        // fewer masks than faces
        {{masks({1, 0, 6, 0, 9}, 0)}, {}},  // more
        {{masks({1, 0, 6, 3}, 2)}, {}},     // a length that is no number of masks
        {{Group("A", {0}), masks({2, 2, 2, 2}, 0)}, {2, 2, 2}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        const Scene scene = ImportMesh({}, c.nested);
        EXPECT_EQ(scene.m_objects[0].smoothingGroups, c.kept);
    }
}

TEST(Read3dsExtras, MappingCoordinatesAreKeptOnlyOnePerVertex) {
    const std::vector<float> four = {0, 0, 1, 0, 1, 1, 0, 0.5f};
    struct Case {
        std::vector<Chunk3ds> chunks;
        size_t kept;
    };
    const Case cases[] = {
        {{Mapping(four, 4)}, 4},
        {{Mapping({0, 0, 1, 0, 1, 1}, 3)}, 0},  // fewer pairs than vertices
        {{Mapping(four, 5)}, 0},                // a count the chunk does not hold
        {{Mapping({0, 0, 1, 0}, 2), Mapping({1, 1, 0, 0.5f}, 2)}, 4},  // lists append
        {{}, 0},
    };
    for (const Case& c : cases) {
        const Scene scene = ImportMesh(c.chunks, {});
        ASSERT_EQ(scene.m_objects[0].uvs.size(), c.kept);
        if (c.kept) {
            EXPECT_EQ(scene.m_objects[0].uvs[1].u, 1.0f);
            EXPECT_EQ(scene.m_objects[0].uvs[3].v, 0.5f);
        }
    }
}

namespace {

// The sub-chunks of a full texture map, each with what it sets.
struct MapPart {
    Chunk3ds chunk;
    std::function<void(TextureMap&)> sets;
};

std::vector<MapPart> FullMapParts() {
    return {
        {Chunk3ds(chunk::kMapFileName).Name("wood.jpg"),
         [](TextureMap& m) { m.fileName = "wood.jpg"; }},
        {Chunk3ds(chunk::kPercentInt).I16(75), [](TextureMap& m) { m.strength = 0.75f; }},
        {Chunk3ds(0xA353).F32(9), [](TextureMap&) {}},  // blur: passed over
        {Chunk3ds(chunk::kMapTiling).U16(0x12), [](TextureMap& m) { m.tiling = 0x12; }},
        {Chunk3ds(chunk::kMapUScale).F32(2), [](TextureMap& m) { m.uScale = 2; }},
        {Chunk3ds(chunk::kMapVScale).F32(3), [](TextureMap& m) { m.vScale = 3; }},
        {Chunk3ds(chunk::kMapUOffset).F32(0.25f), [](TextureMap& m) { m.uOffset = 0.25f; }},
        {Chunk3ds(chunk::kMapVOffset).F32(-0.5f), [](TextureMap& m) { m.vOffset = -0.5f; }},
        {Chunk3ds(chunk::kMapRotation).F32(45), [](TextureMap& m) { m.rotation = 45; }},
    };
}

// A material holding the map chunk, then a diffuse colour that only a walk going on past the
// map reads.
Scene ImportMaterialWithMap(const std::vector<uint8_t>& map) {
    Chunk3ds material(chunk::kMaterial);
    material.Add(Chunk3ds(chunk::kMaterialName).Name("Wood"));
    material.Raw(map);
    material.Add(build3ds::MaterialColor(chunk::kDiffuse, {10, 20, 30}));
    Scene scene;
    EXPECT_EQ(Import(build3ds::File({material}), scene), Read3dsResult::Read);
    EXPECT_EQ(SceneRuleBroken(scene), "");
    return scene;
}

void ExpectSameMap(const std::optional<TextureMap>& a, const std::optional<TextureMap>& b) {
    ASSERT_EQ(a.has_value(), b.has_value());
    if (!a) return;
    EXPECT_EQ(a->fileName, b->fileName);
    EXPECT_EQ(a->strength, b->strength);
    EXPECT_EQ(a->tiling, b->tiling);
    EXPECT_EQ(a->uScale, b->uScale);
    EXPECT_EQ(a->vScale, b->vScale);
    EXPECT_EQ(a->uOffset, b->uOffset);
    EXPECT_EQ(a->vOffset, b->vOffset);
    EXPECT_EQ(a->rotation, b->rotation);
}

}  // namespace

TEST(Read3dsExtras, EveryCutOfATextureMapKeepsWhatCameWholeBeforeIt) {
    const std::vector<MapPart> parts = FullMapParts();
    std::vector<uint8_t> content;
    for (const MapPart& p : parts) {
        const std::vector<uint8_t> bytes = p.chunk.Bytes();
        content.insert(content.end(), bytes.begin(), bytes.end());
    }
    // The map chunk claims just the bytes it keeps: every length from its bare header on.
    for (size_t n = 0; n <= content.size(); ++n) {
        SCOPED_TRACE(n);
        Chunk3ds map(chunk::kTextureMap1);
        map.Raw(std::vector<uint8_t>(content.begin(), content.begin() + static_cast<long>(n)));
        TextureMap expected;
        size_t whole = 0;
        for (const MapPart& p : parts) {
            whole += p.chunk.Bytes().size();
            if (whole > n) break;
            p.sets(expected);
        }
        const Scene scene = ImportMaterialWithMap(map.Bytes());
        ASSERT_EQ(scene.m_materials.size(), 1u);
        EXPECT_EQ(scene.m_materials[0].diffuse, (RGB8{10, 20, 30}));
        ExpectSameMap(scene.m_materials[0].textureMap, expected.fileName.empty()
                                                           ? std::nullopt
                                                           : std::optional<TextureMap>(expected));
    }
}

TEST(Read3dsExtras, MapValuesThatDoNotFitAndOtherMaps) {
    const Chunk3ds name = Chunk3ds(chunk::kMapFileName).Name("a.png");
    struct Case {
        std::vector<uint8_t> map;
        std::optional<float> uScale;  // none: no map kept
    };
    const Case cases[] = {
        // A scale chunk too short for its float ends the walk.
        {Chunk3ds(chunk::kTextureMap1).Add(name).Add(Chunk3ds(chunk::kMapUScale).U16(1)).Bytes(),
         1.0f},
        // A name running past its chunk ends the walk before the name is taken.
        {Chunk3ds(chunk::kTextureMap1)
             .Add(Chunk3ds(chunk::kMapFileName).Name("a.png").Length(8))
             .Bytes(),
         std::nullopt},
        {Chunk3ds(chunk::kTextureMap1).Add(Chunk3ds(chunk::kMapUScale).F32(2)).Bytes(),
         std::nullopt},  // no file name
        {Chunk3ds(chunk::kBumpMap).Add(name).Bytes(), std::nullopt},
        {Chunk3ds(chunk::kOpacityMap).Add(name).Bytes(), std::nullopt},
        {Chunk3ds(chunk::kTextureMap2).Add(name).Bytes(), std::nullopt},
        {Chunk3ds(chunk::kTextureMap1)
             .Add(Chunk3ds(chunk::kPercentFloat).F32(50))
             .Add(name)
             .Bytes(),
         1.0f},
    };
    for (const Case& c : cases) {
        const Scene scene = ImportMaterialWithMap(c.map);
        ASSERT_EQ(scene.m_materials.size(), 1u);
        EXPECT_EQ(scene.m_materials[0].diffuse, (RGB8{10, 20, 30}));
        const std::optional<TextureMap>& map = scene.m_materials[0].textureMap;
        ASSERT_EQ(map.has_value(), c.uScale.has_value());
        if (map) {
            EXPECT_EQ(map->uScale, *c.uScale);
        }
    }
    EXPECT_EQ(ImportMaterialWithMap(cases[6].map).m_materials[0].textureMap->strength, 0.5f);
}
