// The 3DS reader on files built byte by byte: header checks, the walk and its quirks, the
// records it builds, the derived normals and bounds, and damaged data.
#include <gtest/gtest.h>

#include <cmath>

#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "tools/Chunk3ds.h"

using build3ds::Face;
using build3ds::Vec3;

namespace {

// Reads from an exactly sized heap copy, so that AddressSanitizer sees any read past the end.
Read3dsResult Import(const std::vector<uint8_t>& bytes, Scene& scene) {
    const std::vector<uint8_t> copy(bytes);
    InputStream in(copy.data(), copy.size());
    return Read3DS(in, scene);
}

const std::vector<Vec3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
const std::vector<Face> kOneFace = {{0, 1, 2, 7}};

Chunk3ds Box(const std::string& material = "") {
    return build3ds::MeshObject("Box", kTriangle, kOneFace, material);
}

// A material with only its name chunk.
Chunk3ds NameOnlyMaterial(const std::string& name) {
    return Chunk3ds(0xAFFF).Add(Chunk3ds(0xA000).Name(name));
}

Chunk3ds MeshChunk(std::initializer_list<Chunk3ds> parts) {
    Chunk3ds mesh(0x4100);
    for (const Chunk3ds& p : parts)
        mesh.Add(p);
    return mesh;
}

Chunk3ds Named(const std::string& name, const Chunk3ds& first) {
    return Chunk3ds(0x4000).Name(name).Add(first);
}

}  // namespace

TEST(Read3dsHeader, TooShortBadMainChunkAndNoEditorChunk) {
    Scene scene;
    for (size_t n = 0; n <= 6; ++n) {
        EXPECT_EQ(Import(std::vector<uint8_t>(n, 0x4D), scene), Read3dsResult::TooShort) << n;
    }

    std::vector<uint8_t> file = build3ds::File({Box()});
    ASSERT_GE(file.size(), 6u);
    std::vector<uint8_t> longer = file;
    longer[2] += 1;  // length field one byte more than the file
    EXPECT_EQ(Import(longer, scene), Read3dsResult::BadMainChunk);
    std::vector<uint8_t> wrongId = file;
    wrongId[0] = 0x4C;
    EXPECT_EQ(Import(wrongId, scene), Read3dsResult::BadMainChunk);

    // Without the version chunk the editor chunk starts at offset 6, not 16.
    Chunk3ds editor(0x3D3D);
    editor.Add(Box());
    EXPECT_EQ(Import(Chunk3ds(0x4D4D).Add(editor).Bytes(), scene), Read3dsResult::NoEditorChunk);

    // A valid main chunk of 7 to 21 bytes has no room for the editor chunk's header.
    for (uint32_t n = 7; n <= 21; ++n) {
        std::vector<uint8_t> small(n, 0);
        small[0] = 0x4D, small[1] = 0x4D, small[2] = static_cast<uint8_t>(n);
        EXPECT_EQ(Import(small, scene), Read3dsResult::NoEditorChunk) << n;
    }
    EXPECT_TRUE(scene.m_objects.empty());
    EXPECT_EQ(scene.m_settings.maxX, 100.0f);
}

TEST(Read3dsHeader, FailedChecksLeaveTheSceneAsHandedIn) {
    Scene scene;
    scene.m_materialNames = {"kept"};
    scene.m_materials.resize(1);
    std::vector<uint8_t> file = build3ds::File({NameOnlyMaterial("M"), Box("M")});
    ASSERT_FALSE(file.empty());
    file[0] = 0;
    EXPECT_EQ(Import(file, scene), Read3dsResult::BadMainChunk);
    EXPECT_EQ(scene.m_materialNames, std::vector<std::string>{"kept"});
    EXPECT_TRUE(scene.m_objects.empty());
}

TEST(Read3dsWalk, MinimalFileImportsOneObject) {
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({Box()}), scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_TRUE(scene.m_materials.empty());
    EXPECT_TRUE(scene.m_lights.empty());
    EXPECT_TRUE(scene.m_cameras.empty());
    const SceneObject& box = scene.m_objects[0];
    EXPECT_EQ(box.name, "Box");
    EXPECT_EQ(box.note, "Box");
    EXPECT_EQ(box.noteColor, (RGB8{127, 192, 192}));
    EXPECT_EQ(box.vertexCount, 3);
    EXPECT_EQ(box.meshCount, 1);
    EXPECT_EQ(box.materialName, "Default");
    EXPECT_EQ(box.materialIndex, -1);
    ASSERT_FALSE(box.meshes.empty());
    EXPECT_EQ(box.meshes[0].flags, 7);
    EXPECT_EQ(box.maxX, 1.0f);
    EXPECT_EQ(box.minY, 0.0f);
    EXPECT_EQ(box.centerX, 0.5f);
    EXPECT_EQ(box.centerY, 0.5f);
    const SceneSettings& s = scene.m_settings;
    EXPECT_EQ(s.maxX, 1.0f);
    EXPECT_EQ(s.maxY, 1.0f);
    EXPECT_EQ(s.maxZ, 0.0f);
    EXPECT_EQ(s.minX, 0.0f);
    EXPECT_EQ(s.minY, 0.0f);
    EXPECT_EQ(s.minZ, 0.0f);
    // The reader leaves these to the import command.
    EXPECT_FALSE(scene.m_bModified);
    EXPECT_EQ(s.currentObject, -1);
}

TEST(Read3dsWalk, LastNamedObjectWithoutFollowingChunkIsKeptWhole) {
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({Box("M")}, /*keyframer=*/false), scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].meshCount, 1);
    EXPECT_EQ(scene.m_objects[0].materialName, "M");

    ASSERT_EQ(Import(build3ds::File({Box()}, false), scene = Scene()), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].vertexCount, 3);
}

TEST(Read3dsWalk, ChunksAfterTheEditorChunkAreVisitedToo) {
    // A material placed after the editor chunk, inside the main chunk, is still read.
    Chunk3ds editor(0x3D3D);
    editor.Add(Box());
    Chunk3ds main(0x4D4D);
    main.Add(Chunk3ds(0x0002).U32(3)).Add(editor).Add(NameOnlyMaterial("Late"));
    Scene scene;
    ASSERT_EQ(Import(main.Bytes(), scene), Read3dsResult::Read);
    EXPECT_EQ(scene.m_materialNames, std::vector<std::string>{"Late"});
}

TEST(Read3dsWalk, OnlyTheFirstSubChunkOfANamedObjectDecides) {
    Chunk3ds hidden = Chunk3ds(0x4000).Name("Hidden");
    hidden.Add(Chunk3ds(0x4010)).Add(MeshChunk({build3ds::VertexList(kTriangle)}));
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({hidden, Box()}), scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].name, "Box");
}

TEST(Read3dsMaterials, ColoursPercentagesAndNames) {
    using build3ds::Material;
    Scene scene;
    const auto file = build3ds::File({
        Material("Wood", {1, 2, 3}, {4, 5, 6}, {7, 8, 9}, 30, int16_t{25}),
        NameOnlyMaterial("Bare"),
    });
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_materials.size(), 2u);
    EXPECT_EQ(scene.m_materialNames, (std::vector<std::string>{"Wood", "Bare"}));
    const SceneMaterial& wood = scene.m_materials[0];
    EXPECT_EQ(wood.name, "Wood");
    EXPECT_EQ(wood.ambient, (RGB8{1, 2, 3}));
    EXPECT_EQ(wood.diffuse, (RGB8{4, 5, 6}));
    EXPECT_EQ(wood.specular, (RGB8{7, 8, 9}));
    EXPECT_EQ(wood.shininess, static_cast<float>(30 * 0.01));
    EXPECT_EQ(wood.transparency, static_cast<float>(75 * 0.01));

    // Without colour chunks the colours are black; without a transparency chunk it is opaque.
    const SceneMaterial& bare = scene.m_materials[1];
    EXPECT_EQ(bare.name, "Bare");
    EXPECT_EQ(bare.diffuse, (RGB8{0, 0, 0}));
    EXPECT_EQ(bare.shininess, 0.0f);
    EXPECT_EQ(bare.transparency, 1.0f);
}

TEST(Read3dsMaterials, TransparencyPercentages) {
    for (int16_t p : {0, 1, 50, 99, 100}) {
        Scene scene;
        const auto file = build3ds::File({build3ds::Material("M", {}, {}, {}, 0, p)});
        ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
        ASSERT_FALSE(scene.m_materials.empty()) << p;
        EXPECT_EQ(scene.m_materials[0].transparency, static_cast<float>((100 - p) * 0.01)) << p;
    }
}

TEST(Read3dsMaterials, ObjectTakesTheLastOfEqualNamesAndMaterialsComeFirst) {
    Scene scene;
    const auto file = build3ds::File(
        {NameOnlyMaterial("Wood"), NameOnlyMaterial("Stone"), NameOnlyMaterial("Wood"), Box("Wood"),
         build3ds::MeshObject("Later", kTriangle, kOneFace, "Glass"), NameOnlyMaterial("Glass")});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 2u);
    EXPECT_EQ(scene.m_objects[0].materialIndex, 2);
    EXPECT_EQ(scene.m_objects[0].materialName, "Wood");
    // A material that follows its object is not linked.
    EXPECT_EQ(scene.m_objects[1].materialIndex, -1);
    EXPECT_EQ(scene.m_objects[1].materialName, "Glass");
}

TEST(Read3dsMesh, OnlyTheFirstMaterialGroupOfALastFaceListIsRead) {
    Scene scene;
    const auto faces = build3ds::FaceList(
        kOneFace, {build3ds::FaceMaterial("First", 1), build3ds::FaceMaterial("Second", 1)});
    const auto file =
        build3ds::File({NameOnlyMaterial("First"), NameOnlyMaterial("Second"),
                        Named("Box", MeshChunk({build3ds::VertexList(kTriangle), faces}))});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].materialName, "First");
    EXPECT_EQ(scene.m_objects[0].materialIndex, 0);
}

TEST(Read3dsMesh, SkippedAndUnknownChunksInsideAMesh) {
    // Mapping coordinates are skipped; an unknown chunk is entered, so a vertex list inside it
    // is read as the mesh's own.
    Chunk3ds mapping = Chunk3ds(0x4140).U16(3);
    for (int i = 0; i < 6; ++i)
        mapping.F32(0.5f);
    Chunk3ds unknown = Chunk3ds(0x4199).Add(build3ds::VertexList(kTriangle));
    Scene scene;
    const auto file = build3ds::File(
        {Named("Box", MeshChunk({build3ds::FaceList(kOneFace, {}), mapping, unknown}))});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].vertexCount, 3);
    EXPECT_EQ(scene.m_objects[0].meshCount, 1);
}

TEST(Read3dsMesh, CountsAlwaysEqualListLengths) {
    // Two vertex lists and two face lists append to each other.
    Scene scene;
    const auto file = build3ds::File({Named(
        "Twice",
        MeshChunk({build3ds::VertexList(kTriangle), build3ds::VertexList({{5, 5, 5}}),
                   build3ds::FaceList(kOneFace, {}), build3ds::FaceList({{3, 0, 1, 0}}, {})}))});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    const SceneObject& o = scene.m_objects[0];
    EXPECT_EQ(o.vertexCount, 4);
    EXPECT_EQ(o.vertices.size(), 4u);
    EXPECT_EQ(o.meshCount, 2);
    EXPECT_EQ(o.meshes.size(), 2u);
    EXPECT_EQ(o.maxX, 5.0f);
}

TEST(Read3dsMesh, TrianglesWithCornersOutsideTheVerticesAreDropped) {
    // The face list comes before the vertex list: its faces are judged once both were read.
    Scene scene;
    const std::vector<Face> faces = {{0, 1, 2, 0}, {0, 1, 3, 0}, {2, 1, 0, 0}, {65535, 0, 1, 0}};
    const auto file = build3ds::File({Named(
        "Box", MeshChunk({build3ds::FaceList(faces, {}), build3ds::VertexList(kTriangle)}))});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    const SceneObject& o = scene.m_objects[0];
    ASSERT_EQ(o.meshCount, 2);
    ASSERT_EQ(o.meshes.size(), 2u);
    EXPECT_EQ(o.meshes[1].a, 2);

    // Without vertices, no triangle survives.
    const auto noVertices =
        build3ds::File({Named("Empty", MeshChunk({build3ds::FaceList(faces, {})}))});
    ASSERT_EQ(Import(noVertices, scene = Scene()), Read3dsResult::Read);
    ASSERT_FALSE(scene.m_objects.empty());
    EXPECT_EQ(scene.m_objects[0].meshCount, 0);
    EXPECT_EQ(scene.m_objects[0].maxX, 0.0f);  // no vertices: bounds and centre stay 0
    EXPECT_EQ(scene.m_objects[0].centerZ, 0.0f);
}

TEST(Read3dsLights, ByteAndFloatColoursAndTheColourSearch) {
    Chunk3ds floatLight(0x4600);
    floatLight.F32(1).F32(2).F32(3);
    floatLight.Add(Chunk3ds(0x4610).F32(0).F32(0).F32(0).F32(0).F32(0));  // spot data: skipped
    floatLight.Add(Chunk3ds(0x0010).F32(0.25f).F32(0.5f).F32(1.0f));
    floatLight.Add(Chunk3ds(0x0011).U8(9).U8(9).U8(9));  // after the first colour: not read
    Chunk3ds noColour(0x4600);
    noColour.F32(0).F32(0).F32(0);
    Scene scene;
    const auto file = build3ds::File({build3ds::LightObject("White", {4, 5, 6}, {255, 255, 255}),
                                      Named("Float", floatLight), Named("Dark", noColour)});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_lights.size(), 3u);
    const SceneLight& white = scene.m_lights[0];
    EXPECT_EQ(white.name, "White");
    EXPECT_EQ(white.x, 4.0f);
    EXPECT_EQ(white.z, 6.0f);
    EXPECT_EQ(white.color[0], 0.99609375f);
    EXPECT_EQ(white.color24, (RGB8{255, 255, 255}));
    EXPECT_EQ(white.on, 1);
    const SceneLight& f = scene.m_lights[1];
    EXPECT_EQ(f.color[0], 0.25f);
    EXPECT_EQ(f.color[2], 1.0f);
    EXPECT_EQ(f.color24, (RGB8{0, 0, 0}));
    EXPECT_EQ(scene.m_lights[2].color[1], 0.0f);
    EXPECT_EQ(scene.m_lights[2].on, 1);
    // No objects: the bounds of a cleared scene stay.
    EXPECT_EQ(scene.m_settings.minZ, -100.0f);
}

TEST(Read3dsCameras, FieldOrderAndFileOrder) {
    Scene scene;
    const auto file = build3ds::File({build3ds::CameraObject("A", {1, 2, 3}, {4, 5, 6}, 7, 50),
                                      build3ds::CameraObject("B", {0, 0, 0}, {1, 1, 1}, 0, 35)});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_cameras.size(), 2u);
    const SceneCamera& a = scene.m_cameras[0];
    EXPECT_EQ(a.name, "A");
    EXPECT_EQ(a.posX, 1.0f);
    EXPECT_EQ(a.posZ, 3.0f);
    EXPECT_EQ(a.targetX, 4.0f);
    EXPECT_EQ(a.targetZ, 6.0f);
    EXPECT_EQ(a.roll, 7.0f);
    EXPECT_EQ(a.lens, 50.0f);
    EXPECT_EQ(scene.m_cameras[1].name, "B");
}

TEST(Read3dsNormals, FaceAndVertexNormals) {
    // Two triangles folded along the x axis, one degenerate triangle and a vertex it alone uses.
    const std::vector<Vec3> v = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 2, 2}};
    const std::vector<Face> f = {{0, 1, 2, 0}, {1, 0, 3, 0}, {4, 4, 0, 0}};
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({build3ds::MeshObject("Fold", v, f, "")}), scene),
              Read3dsResult::Read);
    ASSERT_FALSE(scene.m_objects.empty());
    const SceneObject& o = scene.m_objects[0];
    ASSERT_GE(o.meshes.size(), 3u);
    ASSERT_GE(o.vertices.size(), 5u);
    // (B - A) x (C - B) of the first face points up z.
    EXPECT_EQ(o.meshes[0].nz, 1.0f);
    EXPECT_EQ(o.meshes[1].ny, 1.0f);
    EXPECT_EQ(o.meshes[2].nx, 0.0f);
    EXPECT_EQ(o.meshes[2].ny, 0.0f);
    EXPECT_EQ(o.meshes[2].nz, 0.0f);
    // Vertex 0 and 1 average the two faces equally; vertex 4 only has the degenerate face.
    const float h = 1.0f / std::sqrt(2.0f);
    EXPECT_FLOAT_EQ(o.vertices[0].ny, h);
    EXPECT_FLOAT_EQ(o.vertices[0].nz, h);
    EXPECT_EQ(o.vertices[2].nz, 1.0f);
    EXPECT_EQ(o.vertices[4].nx, 0.0f);
    EXPECT_EQ(o.vertices[4].ny, 0.0f);
    EXPECT_EQ(o.vertices[4].nz, 0.0f);
}

TEST(Read3dsNormals, SceneBoundsSpanAllObjects) {
    Scene scene;
    const auto file = build3ds::File(
        {build3ds::MeshObject("A", {{-1, 2, 3}, {4, 5, 6}, {0, 0, 0}}, kOneFace, ""),
         build3ds::MeshObject("B", {{-7, 1, 9}, {1, 8, -2}, {0, 0, 0}}, kOneFace, "")});
    ASSERT_EQ(Import(file, scene), Read3dsResult::Read);
    const SceneSettings& s = scene.m_settings;
    EXPECT_EQ(s.minX, -7.0f);
    EXPECT_EQ(s.maxX, 4.0f);
    EXPECT_EQ(s.minY, 0.0f);
    EXPECT_EQ(s.maxY, 8.0f);
    EXPECT_EQ(s.minZ, -2.0f);
    EXPECT_EQ(s.maxZ, 9.0f);
}

TEST(Read3dsDamaged, EveryCutOfAValidFileIsSafe) {
    // Each cut is a fresh exact-size buffer; with the main chunk's length patched to match, the
    // walk itself meets the cut inside every kind of chunk.
    const auto file =
        build3ds::File({build3ds::Material("M", {1, 2, 3}, {4, 5, 6}, {7, 8, 9}, 10, int16_t{20}),
                        Box("M"), build3ds::LightObject("L", {1, 2, 3}, {9, 9, 9}),
                        build3ds::CameraObject("C", {1, 1, 1}, {0, 0, 0}, 0, 50)});
    for (size_t n = 0; n < file.size(); ++n) {
        for (bool patch : {false, true}) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(n));
            if (patch && n >= 6) {
                for (int i = 0; i < 4; ++i)
                    cut[2 + i] = static_cast<uint8_t>(n >> (8 * i));
            }
            Scene scene;
            const Read3dsResult result = Import(cut, scene);
            if (!patch || n < 22) {
                EXPECT_NE(result, Read3dsResult::Read) << n;
                continue;
            }
            EXPECT_EQ(result, Read3dsResult::Read) << n;
            EXPECT_EQ(SceneRuleBroken(scene), "") << n;
        }
    }
}

TEST(Read3dsDamaged, ShortChunksAndHugeCountsEndTheirWalk) {
    // A chunk whose length is below 6 would stall the walk.
    Chunk3ds zero(0x1234);
    zero.Length(0);
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({Box(), zero, Box()}), scene), Read3dsResult::Read);
    EXPECT_EQ(scene.m_objects.size(), 1u);

    // A vertex count the file cannot hold ends the mesh; the object stays, empty.
    Chunk3ds bigList = Chunk3ds(0x4110).U16(60000).F32(1).F32(1).F32(1);
    ASSERT_EQ(Import(build3ds::File({Named("Big", MeshChunk({bigList}))}), scene = Scene()),
              Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].vertexCount, 0);

    // A name without its zero byte reaches the end of the file.
    Chunk3ds unterminated(0x4000);
    unterminated.Raw({'a', 'b', 'c'});
    std::vector<uint8_t> file = build3ds::File({unterminated}, false);
    ASSERT_EQ(Import(file, scene = Scene()), Read3dsResult::Read);
    EXPECT_TRUE(scene.m_objects.empty());
}

TEST(Read3dsDamaged, HugeChunkLengthsDoNotWrapOrStall) {
    Chunk3ds mesh = MeshChunk({build3ds::VertexList(kTriangle), build3ds::FaceList(kOneFace, {})});
    mesh.Length(0xFFFFFFFF);
    Chunk3ds material = NameOnlyMaterial("M");
    material.Length(0xFFFFFFF0);
    Scene scene;
    ASSERT_EQ(Import(build3ds::File({Named("Box", mesh), material}), scene), Read3dsResult::Read);
    ASSERT_EQ(scene.m_objects.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].meshCount, 1);
}
