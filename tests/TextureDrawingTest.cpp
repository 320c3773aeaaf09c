// Faces drawn in their groups' materials and texture maps laid on them: the order of the runs,
// the texture matrix of a map's transform, and what the renderer asks of OpenGL for textured
// faces, alike from buffers and between Begin and End.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/RecordingGl.h"
#include "tests/TestFiles.h"
#include "view/FaceRuns.h"
#include "view/TextureMapping.h"

namespace {

SceneObject Strip(size_t triangles) {
    SceneObject o;
    o.name = "Strip";
    for (size_t i = 0; i < triangles + 2; ++i) {
        const float x = static_cast<float>(i);
        o.vertices.push_back({x, static_cast<float>(i % 2), 0, 0, 0, 1});
        o.uvs.push_back({x / 4, static_cast<float>(i % 2)});
    }
    for (size_t i = 0; i < triangles; ++i)
        o.meshes.push_back({static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1),
                            static_cast<uint16_t>(i + 2), 0, 0, 0, 1});
    o.vertexCount = static_cast<int32_t>(o.vertices.size());
    o.meshCount = static_cast<int32_t>(o.meshes.size());
    return o;
}

TEST(FaceRuns, GroupsInTheirOrderThenTheFacesInNoGroup) {
    struct Case {
        std::vector<std::vector<uint32_t>> groups;
        std::vector<uint32_t> order;               // empty: the triangles' own order
        std::vector<std::pair<size_t, int>> runs;  // count and group of each run
    };
    const Case cases[] = {
        {{}, {}, {{5, -1}}},
        {{{3, 1}, {0, 2, 4}}, {3, 1, 0, 2, 4}, {{2, 0}, {3, 1}}},
        {{{4}}, {4, 0, 1, 2, 3}, {{1, 0}, {4, -1}}},
        // A face named twice or one the object lacks is drawn once or not at all.
        {{{1, 9, 1}, {1, 2}}, {1, 2, 0, 3, 4}, {{1, 0}, {1, 1}, {3, -1}}},
        {{{7}, {0}}, {0, 1, 2, 3, 4}, {{1, 1}, {4, -1}}},
    };
    for (const Case& c : cases) {
        SceneObject o = Strip(5);
        for (const auto& faces : c.groups)
            o.faceGroups.push_back({"M", faces});
        const FaceRuns runs = MakeFaceRuns(o);
        EXPECT_EQ(runs.order, c.order);
        std::vector<std::pair<size_t, int>> got;
        size_t next = 0;
        for (const FaceRun& run : runs.runs) {
            EXPECT_EQ(run.first, next);
            next += run.count;
            got.emplace_back(run.count, run.group);
        }
        EXPECT_EQ(got, c.runs);
    }
}

TEST(FaceRuns, MadeAgainOnlyWhenTheGroupsChange) {
    SceneObject o = Strip(3);
    o.faceGroups = {{"A", {2}}};
    FaceRunCache cache;
    const uint64_t first = cache.For(0, o).generation;
    EXPECT_EQ(cache.For(0, o).generation, first);
    o.faceGroups.clear();
    o.revision = NewObjectRevision();
    EXPECT_NE(cache.For(0, o).generation, first);
    EXPECT_TRUE(cache.For(0, o).order.empty());
}

TEST(TextureMapping, TheFilesTransformAboutTheImagesMiddle) {
    struct Case {
        TextureMap map;
        float u, v;          // in
        float wantU, wantV;  // out
    };
    const auto map = [](float su, float sv, float ou, float ov, float rot, uint16_t tiling) {
        TextureMap m;
        m.fileName = "x.png";
        m.uScale = su, m.vScale = sv, m.uOffset = ou, m.vOffset = ov, m.rotation = rot;
        m.tiling = tiling;
        return m;
    };
    const Case cases[] = {
        {map(1, 1, 0, 0, 0, 0), 0.3f, 0.7f, 0.3f, 0.7f},
        {map(2, 3, 0, 0, 0, 0), 1, 0.5f, 1.5f, 0.5f},
        {map(2, 3, 0, 0, 0, 0), 0.5f, 0.5f, 0.5f, 0.5f},
        {map(1, 1, 0.25f, -0.5f, 0, 0), 0, 0, 0.25f, -0.5f},
        // 90 degrees in the file turn (1, 0.5) to (0.5, 0): clockwise.
        {map(1, 1, 0, 0, 90, 0), 1, 0.5f, 0.5f, 0},
        // A mirrored map doubles its scale and halves its offset; a scale of 0 counts as 1.
        {map(1, 1, 0.5f, 0, 0, 2), 0.5f, 0.5f, 1, 0.5f},
        {map(0, 0, 0, 0, 0, 0), 0.2f, 0.9f, 0.2f, 0.9f},
    };
    for (const Case& c : cases) {
        const std::array<GLfloat, 16> m = TextureMatrix(c.map);
        EXPECT_NEAR(m[0] * c.u + m[4] * c.v + m[12], c.wantU, 1e-6);
        EXPECT_NEAR(m[1] * c.u + m[5] * c.v + m[13], c.wantV, 1e-6);
    }
    const std::pair<uint16_t, GLint> wraps[] = {{0, GL_REPEAT},
                                                {0x10, GL_CLAMP_TO_EDGE},
                                                {0x02, 0x8370},
                                                {0x12, 0x8370},
                                                {0x01, GL_REPEAT}};
    for (const auto& [tiling, wrap] : wraps)
        EXPECT_EQ(TextureWrap(map(1, 1, 0, 0, 0, tiling)), wrap) << tiling;
}

// Gives every existing image file as a 2 x 2 picture and counts what it was asked.
class CountingDecoder final : public ImageDecoder {
public:
    int decoded = 0;
    DecodedImage Decode(const std::string&, int) override {
        ++decoded;
        DecodedImage d;
        d.image = TextureImage{2, 2, std::vector<uint8_t>(16, 200)};
        return d;
    }
    DecodedImage DecodeBytes(const std::vector<uint8_t>&, int maxSide) override {
        return Decode({}, maxSide);
    }
};

struct TexturedFrame {
    Scene scene;
    ViewState view;
    RecordingGl gl;
    CountingDecoder decoder;
    SceneRenderer renderer{gl, scene, view};

    TexturedFrame() {
        scene.ClearScene();
        // The map's image is looked for beside this file, and is there.
        scene.m_strImageBase = testfiles::TestData("online3dviewer/cube_with_materials.3ds");
        scene.m_materialNames = {"Plain", "Mapped"};
        scene.m_materials.resize(2);
        scene.m_materials[0].name = "Plain";
        scene.m_materials[0].diffuse = {128, 0, 0};
        scene.m_materials[1].name = "Mapped";
        scene.m_materials[1].diffuse = {0, 128, 0};
        scene.m_materials[1].transparency = 1;
        TextureMap map;
        map.fileName = "CUBE.PNG";
        scene.m_materials[1].textureMap = map;
        SceneObject o = Strip(4);
        o.materialIndex = 0;
        o.faceGroups = {{"Mapped", {1, 3}}};
        scene.m_objects = {o};
        view.m_bShowBox = 0;
        view.m_nDisplayMode = ModeFlat;
        renderer.SetImageDecoder(&decoder);
    }
    void Draw() {
        gl.calls.clear();
        renderer.DrawObjects();
    }
};

TEST(TextureDrawing, TexturedRunsBothWaysAndTheImageUploadedOnce) {
    for (bool buffers : {false, true}) {
        TexturedFrame f;
        f.gl.buffers = buffers;
        f.Draw();
        f.Draw();
        EXPECT_EQ(f.decoder.decoded, 1);
        EXPECT_EQ(f.gl.Count("Build2DMipmaps"), 0u) << "the second frame uploads nothing";
        // The group's two faces textured with white material, then the rest in the object's.
        const GLfloat white[] = {1, 1, 1, 1};
        EXPECT_EQ(f.gl.Count("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, white[0], white[1],
                                            white[2], white[3]}),
                  1u);
        EXPECT_EQ(f.gl.Count("Enable", {GL_TEXTURE_2D}), 1u);
        EXPECT_LT(f.gl.Find("Disable", {GL_TEXTURE_2D}),
                  f.gl.Find("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0.5, 0, 0, 0}));
        EXPECT_EQ(f.gl.Count("LoadMatrixf"), 1u);
        if (buffers) {
            EXPECT_EQ(f.gl.Named("DrawArrays").size(), 2u);
            EXPECT_EQ(f.gl.Count("TexCoordPointer"), 1u);
            EXPECT_EQ(f.gl.Count("Begin"), 0u);
        } else {
            EXPECT_EQ(f.gl.Count("TexCoord2f"), 6u);
            EXPECT_EQ(f.gl.Count("Begin"), 4u);
        }
    }
}

TEST(TextureDrawing, FacesKeepTheirColoursWhereNoTextureCanBeDrawn) {
    const std::function<void(TexturedFrame&)> cases[] = {
        [](TexturedFrame& f) { f.view.m_bShowTextures = false; },
        [](TexturedFrame& f) { f.scene.m_materials[1].textureMap->fileName = "gone.png"; },
        [](TexturedFrame& f) { f.scene.m_objects[0].uvs.clear(); },
        [](TexturedFrame& f) { f.renderer.SetImageDecoder(nullptr); },
    };
    for (const auto& change : cases) {
        TexturedFrame f;
        change(f);
        f.Draw();
        EXPECT_EQ(f.gl.Count("Enable", {GL_TEXTURE_2D}), 0u);
        EXPECT_EQ(f.gl.Count("TexCoord2f"), 0u);
        // The group still has its own material.
        EXPECT_EQ(f.gl.Count("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0, 0.5, 0, 1}), 1u);
    }
}

}  // namespace
