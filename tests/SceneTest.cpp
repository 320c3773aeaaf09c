// The scene container: what clearing resets and what it keeps, counting, releasing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "import3ds/SceneGeometry.h"
#include "scene/Scene.h"
#include "scene/SceneCheck.h"

namespace {

SceneObject ObjectWith(size_t vertices, size_t meshes) {
    SceneObject o;
    o.vertices.resize(vertices);
    o.meshes.resize(meshes);
    o.vertexCount = static_cast<int32_t>(vertices);
    o.meshCount = static_cast<int32_t>(meshes);
    return o;
}

Scene FilledScene() {
    Scene scene;
    scene.m_objects.push_back(ObjectWith(8, 12));
    scene.m_objects.push_back(ObjectWith(12, 20));
    scene.m_materials.resize(3);
    scene.m_materialNames = {"a", "b", "c"};
    scene.m_lights.resize(2);
    scene.m_cameras.resize(1);
    SceneSettings& s = scene.m_settings;
    s.currentObject = 1;
    s.currentCamera = 0;
    s.background = RGB8{1, 2, 3};
    s.reservedBytes[1] = 9;
    s.reservedWords[2] = 99;
    s.maxX = 5, s.minZ = -7;
    s.textFont.lfFaceName = "Courier";
    s.rotX = 1, s.rotY = 2, s.rotZ = 3, s.dragX = 4, s.dragY = 5;
    scene.m_bModified = true;
    scene.m_strFilePath = "/tmp/x.zmv";
    return scene;
}

}  // namespace

TEST(Scene, NewRecordsHaveTheirDefaults) {
    const SceneObject o;
    EXPECT_EQ(o.smooth, 1);
    EXPECT_EQ(o.materialName, "Default");
    EXPECT_EQ(o.materialIndex, -1);
    EXPECT_EQ(o.noteColor, (RGB8{0, 0, 0}));
    EXPECT_EQ(SceneMaterial().transparency, 0.0f);
    EXPECT_EQ(SceneLight().on, 0);

    const Scene scene;
    EXPECT_EQ(scene.m_settings.currentObject, -1);
    EXPECT_EQ(scene.m_settings.currentCamera, -1);
    EXPECT_FALSE(scene.m_bModified);
    EXPECT_EQ(scene.m_strFilePath, "");
    const LogFont& f = scene.m_settings.textFont;
    EXPECT_EQ(f.lfFaceName, "Arial Black");
    EXPECT_EQ(f.lfHeight, -16);
    EXPECT_EQ(f.lfWeight, 700);
    EXPECT_EQ(f.lfOutPrecision, 4);
    EXPECT_EQ(f.lfQuality, 4);
    LogFont expected = f;
    expected.lfHeight = 0, expected.lfWeight = 0, expected.lfOutPrecision = 0;
    expected.lfQuality = 0, expected.lfFaceName = "";
    EXPECT_EQ(expected, LogFont());  // every other field is 0
}

TEST(Scene, ClearResetsTheSceneButKeepsCurrentIndicesFontPathAndStatistics) {
    Scene scene = FilledScene();
    scene.CountScene();
    scene.ClearScene();

    EXPECT_TRUE(scene.m_objects.empty());
    EXPECT_TRUE(scene.m_materials.empty());
    EXPECT_TRUE(scene.m_materialNames.empty());
    EXPECT_TRUE(scene.m_lights.empty());
    EXPECT_TRUE(scene.m_cameras.empty());
    const SceneSettings& s = scene.m_settings;
    EXPECT_EQ(s.background, (RGB8{127, 127, 127}));
    EXPECT_EQ(s.reservedBytes[1], 0);
    EXPECT_EQ(s.reservedWords[2], 0);
    EXPECT_EQ(s.maxX, 100.0f);
    EXPECT_EQ(s.maxY, 100.0f);
    EXPECT_EQ(s.maxZ, 100.0f);
    EXPECT_EQ(s.minX, -100.0f);
    EXPECT_EQ(s.minY, -100.0f);
    EXPECT_EQ(s.minZ, -100.0f);
    EXPECT_EQ(s.rotX + s.rotY + s.rotZ + s.dragX + s.dragY, 0.0f);
    EXPECT_FALSE(scene.m_bModified);

    EXPECT_EQ(s.currentObject, 1);
    EXPECT_EQ(s.currentCamera, 0);
    EXPECT_EQ(s.textFont.lfFaceName, "Courier");
    EXPECT_EQ(scene.m_strFilePath, "/tmp/x.zmv");
    EXPECT_EQ(scene.m_stats.objects, 2);
}

// The window shows the scene as it was made, so a new scene must already be the cleared one.
TEST(Scene, ANewSceneIsClearedWithTheDefaultLabelFont) {
    const Scene fresh;
    Scene cleared = FilledScene();
    cleared.ClearScene();
    cleared.m_settings.currentObject = cleared.m_settings.currentCamera = -1;
    EXPECT_TRUE(fresh.m_objects.empty() && fresh.m_materials.empty() &&
                fresh.m_materialNames.empty() && fresh.m_lights.empty() && fresh.m_cameras.empty());
    const SceneSettings& a = fresh.m_settings;
    const SceneSettings& b = cleared.m_settings;
    EXPECT_EQ(a.currentObject, b.currentObject);
    EXPECT_EQ(a.currentCamera, b.currentCamera);
    EXPECT_EQ(a.background, b.background);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.reservedBytes[i], b.reservedBytes[i]);
        EXPECT_EQ(a.reservedWords[i], b.reservedWords[i]);
    }
    EXPECT_EQ(a.maxX, b.maxX);
    EXPECT_EQ(a.minX, b.minX);
    EXPECT_EQ(a.maxY, b.maxY);
    EXPECT_EQ(a.minY, b.minY);
    EXPECT_EQ(a.maxZ, b.maxZ);
    EXPECT_EQ(a.minZ, b.minZ);
    EXPECT_EQ(a.rotX, b.rotX);
    EXPECT_EQ(a.rotY, b.rotY);
    EXPECT_EQ(a.rotZ, b.rotZ);
    EXPECT_EQ(a.dragX, b.dragX);
    EXPECT_EQ(a.dragY, b.dragY);
    EXPECT_EQ(fresh.m_bModified, cleared.m_bModified);
    EXPECT_EQ(a.textFont, LogFont::DefaultLabelFont());
}

TEST(Scene, CountSceneCountsListLengths) {
    Scene scene;
    scene.CountScene();
    const SceneStatistics& empty = scene.m_stats;
    EXPECT_EQ(empty.meshes + empty.vertices + empty.objects + empty.materials + empty.lights +
                  empty.cameras,
              0);

    scene = FilledScene();
    scene.m_objects[0].vertexCount = 999;  // the recorded counts do not matter
    scene.CountScene();
    EXPECT_EQ(scene.m_stats.vertices, 20);
    EXPECT_EQ(scene.m_stats.meshes, 32);
    EXPECT_EQ(scene.m_stats.objects, 2);
    EXPECT_EQ(scene.m_stats.materials, 3);
    EXPECT_EQ(scene.m_stats.lights, 2);
    EXPECT_EQ(scene.m_stats.cameras, 1);
}

TEST(Scene, ReleaseFreesEveryRecord) {
    Scene scene = FilledScene();
    scene.ReleaseScene();
    EXPECT_TRUE(scene.m_objects.empty());
    EXPECT_TRUE(scene.m_materials.empty());
    EXPECT_TRUE(scene.m_lights.empty());
    EXPECT_TRUE(scene.m_cameras.empty());
    EXPECT_TRUE(scene.m_materialNames.empty());
    EXPECT_EQ(scene.m_objects.capacity(), 0u);
}

TEST(SceneCheck, NamesTheFirstBrokenRuleWithItsRecord) {
    const auto sound = [] {
        Scene scene;
        scene.m_objects.push_back(ObjectWith(3, 0));
        scene.m_objects[0].name = "Box";
        scene.m_objects[0].meshes.push_back({0, 1, 2, 0, 0, 0, 0});
        scene.m_objects[0].meshCount = 1;
        scene.m_materials.resize(2);
        scene.m_materials[0].name = "Wood";
        scene.m_materialNames = {"Wood", ""};
        scene.m_cameras.resize(1);
        scene.m_settings.currentObject = 0;
        scene.m_settings.currentCamera = 0;
        return scene;
    };
    struct Case {
        void (*breakRule)(Scene&);
        const char* broken;
    };
    const Case cases[] = {
        {[](Scene&) {}, ""},
        {[](Scene& s) { s.m_objects[0].vertexCount = 4; },
         "object 0 (Box): vertexCount 4 is not the 3 vertices"},
        {[](Scene& s) { s.m_objects[0].meshCount = 0; },
         "object 0 (Box): meshCount 0 is not the 1 triangles"},
        {[](Scene& s) { s.m_objects[0].meshes[0].b = 3; },
         "object 0 (Box): triangle 0: corner b = 3 is not one of its 3 vertices"},
        {[](Scene& s) { s.m_objects[0].materialIndex = 2; },
         "object 0 (Box): materialIndex 2 is not -1 and not one of the 2 materials"},
        {[](Scene& s) { s.m_materialNames.pop_back(); }, "1 material names for 2 materials"},
        {[](Scene& s) { s.m_materialNames[0] = "Oak"; },
         "material name 0 \"Oak\" is not the name of material 0 \"Wood\""},
        {[](Scene& s) { s.m_objects[0].uvs.resize(2); },
         "object 0 (Box): 2 texture coordinates for 3 vertices"},
        {[](Scene& s) {
             s.m_objects[0].faceGroups = {{"Wood", {}}};
         },
         "object 0 (Box): face group 0 has no faces"},
        {[](Scene& s) {
             s.m_objects[0].faceGroups = {{"Wood", {1}}};
         },
         "object 0 (Box): face group 0: face 1 is not one of the 1 triangles"},
        {[](Scene& s) {
             s.m_objects[0].faceGroups = {{"Wood", {0}}, {"", {0}}};
         },
         "object 0 (Box): face group 1: face 0 is in an earlier group too"},
        {[](Scene& s) { s.m_materials[1].textureMap = TextureMap(); },
         "material 1: its texture map names no file"},
        {[](Scene& s) { s.m_settings.currentObject = 1; },
         "currentObject 1 is not -1 and not one of the 1 objects"},
        {[](Scene& s) { s.m_settings.currentCamera = -2; },
         "currentCamera -2 is not -1 and not one of the 1 cameras"},
    };
    for (const Case& c : cases) {
        Scene scene = sound();
        c.breakRule(scene);
        EXPECT_EQ(SceneRuleBroken(scene), c.broken);
    }
}

namespace {

// Normalise as one vector at a time gives it, in the order of its sums.
void Normalised(float& x, float& y, float& z) {
    const float squared = x * x + y * y + z * z;
    if (squared == 0) {
        x = y = z = 0;
        return;
    }
    const float length = std::sqrt(squared);
    x /= length, y /= length, z /= length;
}

void ExpectSameBits(float got, float want) {
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << got << " " << want;
}

}  // namespace

TEST(SceneGeometry, FaceNormalsHaveTheBitsOfOneFaceAtATime) {
    // Triangles of every shape, more than one group of four and a few over.
    SceneObject o;
    o.vertices = {{0, 0, 0},          {1, 0, 0},         {0, 1, 0},
                  {0.1f, 0.2f, 0.3f}, {1e-20f, 0, 0},    {0, 1e-20f, 0},
                  {3e15f, 1, 2},      {-2, 7.5f, 1e-3f}, {NAN, 0, 0}};
    const uint16_t corners[][3] = {{0, 1, 2}, {0, 0, 0}, {0, 4, 5}, {3, 6, 7}, {7, 6, 3}, {1, 3, 7},
                                   {8, 1, 2}, {2, 1, 0}, {0, 1, 1}, {5, 6, 7}, {4, 3, 1}};
    for (const auto& c : corners) {
        SceneMesh m;
        m.a = c[0], m.b = c[1], m.c = c[2];
        o.meshes.push_back(m);
    }
    SceneObject together = o;
    ComputeFaceNormals(o);
    ComputeVertexNormals(o);
    // In one walk, the same bits as in two.
    ComputeNormals(together);
    for (size_t i = 0; i < o.meshes.size(); ++i)
        for (auto [got, want] : {std::pair{together.meshes[i].nx, o.meshes[i].nx},
                                 {together.meshes[i].ny, o.meshes[i].ny},
                                 {together.meshes[i].nz, o.meshes[i].nz}})
            ExpectSameBits(got, want);
    for (size_t i = 0; i < o.vertices.size(); ++i)
        for (auto [got, want] : {std::pair{together.vertices[i].nx, o.vertices[i].nx},
                                 {together.vertices[i].ny, o.vertices[i].ny},
                                 {together.vertices[i].nz, o.vertices[i].nz}})
            ExpectSameBits(got, want);
    for (size_t i = 0; i < o.meshes.size(); ++i) {
        SCOPED_TRACE(i);
        const SceneVertex &a = o.vertices[corners[i][0]], &b = o.vertices[corners[i][1]],
                          &c = o.vertices[corners[i][2]];
        const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
        const float e2x = c.x - b.x, e2y = c.y - b.y, e2z = c.z - b.z;
        float x = e1y * e2z - e1z * e2y, y = e1z * e2x - e1x * e2z, z = e1x * e2y - e1y * e2x;
        Normalised(x, y, z);
        ExpectSameBits(o.meshes[i].nx, x);
        ExpectSameBits(o.meshes[i].ny, y);
        ExpectSameBits(o.meshes[i].nz, z);
    }
}

TEST(SceneGeometry, VertexNormalsHaveTheBitsOfOneVertexAtATime) {
    // Sums of every kind, more than one group of four and a few over: ordinary, of no length,
    // too short to square, huge, and not a number.
    const float sums[][3] = {{3, 4, 0},
                             {0, 0, 0},
                             {1e-30f, 0, 0},
                             {1e30f, 2e30f, 0},
                             {0.1f, 0.2f, 0.3f},
                             {-7, 0.5f, 1e-3f},
                             {NAN, 1, 0},
                             {0, -0.0f, 1e-20f},
                             {1, 1, 1},
                             {-2.5f, 6.25f, -9},
                             {5e-20f, 5e-20f, 5e-20f}};
    SceneObject o;
    for (const auto& s : sums) {
        // A vertex whose one triangle's normal is the sum itself.
        const uint16_t i = static_cast<uint16_t>(o.vertices.size());
        o.vertices.push_back({0, 0, 0});
        SceneMesh m;
        m.a = m.b = m.c = i;
        m.nx = s[0] / 3, m.ny = s[1] / 3, m.nz = s[2] / 3;
        o.meshes.push_back(m);
    }
    ComputeVertexNormals(o);
    for (size_t i = 0; i < o.vertices.size(); ++i) {
        SCOPED_TRACE(i);
        const SceneMesh& m = o.meshes[i];
        float x = 0, y = 0, z = 0;
        for (int k = 0; k < 3; ++k)
            x += m.nx, y += m.ny, z += m.nz;
        Normalised(x, y, z);
        ExpectSameBits(o.vertices[i].nx, x);
        ExpectSameBits(o.vertices[i].ny, y);
        ExpectSameBits(o.vertices[i].nz, z);
    }
}
