// Real .3ds files written by other programs: each imports without harm and with the counts that a
// plain walk of its chunks shows, and the bundled example is what its generator writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "import3ds/ImportFile.h"
#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "scene/SceneMessages.h"
#include "tests/TestFiles.h"

using testfiles::TestData;

namespace {

struct Expected {
    const char* file;
    const char* statistics;  // the status bar's line, or the import's message
};

const Expected kFiles[] = {
    {"aspose/camera.3ds", "Object:3 Vertex:1090 Mesh:1132 Material:2 Light:2 Camera:0"},
    {"aspose/empty-scene/camera.3ds", "Object:0 Vertex:0 Mesh:0 Material:0 Light:0 Camera:0"},
    {"assimp/CameraRollAnim.3ds", "Object:1 Vertex:26 Mesh:12 Material:0 Light:0 Camera:1"},
    {"assimp/RotatingCube.3DS", "Object:1 Vertex:26 Mesh:12 Material:0 Light:0 Camera:0"},
    {"assimp/TargetCameraAnim.3ds", "Object:1 Vertex:26 Mesh:12 Material:0 Light:0 Camera:1"},
    {"assimp/UVTransform_Cube.3DS", "Object:1 Vertex:26 Mesh:12 Material:1 Light:0 Camera:0"},
    {"assimp/UVTransform_Normal.3DS", "Object:1 Vertex:25 Mesh:32 Material:1 Light:0 Camera:0"},
    {"assimp/UVTransform_OffsetU0.56V0.5_ScaleU10V2_Rotate45.3DS",
     "Object:1 Vertex:25 Mesh:32 Material:1 Light:0 Camera:0"},
    {"assimp/UVTransform_ScaleUV1-2_OffsetUV0-0.9_Rotate-72_mirrorU.3ds",
     "Object:1 Vertex:25 Mesh:32 Material:1 Light:0 Camera:0"},
    {"assimp/cart_wheel.3DS", "Object:13 Vertex:720 Mesh:1400 Material:2 Light:0 Camera:0"},
    {"assimp/cube_with_diffuse_texture.3DS",
     "Object:1 Vertex:32 Mesh:12 Material:1 Light:0 Camera:0"},
    {"assimp/cube_with_specular_texture.3DS",
     "Object:1 Vertex:32 Mesh:12 Material:1 Light:0 Camera:0"},
    {"assimp/cubes_with_alpha.3DS", "Object:5 Vertex:130 Mesh:60 Material:5 Light:0 Camera:0"},
    {"assimp/empty.3ds", "empty.3ds is not a valid 3ds file."},
    {"assimp/fels.3ds", "Object:1 Vertex:386 Mesh:768 Material:1 Light:0 Camera:0"},
    {"assimp/jeep1.3ds", "Object:7 Vertex:1948 Mesh:2032 Material:1 Light:0 Camera:0"},
    {"assimp/test1.3ds", "Object:9 Vertex:288 Mesh:108 Material:3 Light:0 Camera:0"},
    {"celestia/apollo.3ds", "Object:41 Vertex:41864 Mesh:69469 Material:41 Light:0 Camera:0"},
    {"online3dviewer/cube.3ds", "Object:1 Vertex:21 Mesh:12 Material:4 Light:0 Camera:1"},
    {"online3dviewer/cube_instance_scale_rotation.3ds",
     "Object:1 Vertex:8 Mesh:12 Material:5 Light:0 Camera:0"},
    {"online3dviewer/cube_two_instances.3ds",
     "Object:1 Vertex:8 Mesh:12 Material:5 Light:0 Camera:0"},
    {"online3dviewer/cube_with_materials.3ds",
     "Object:1 Vertex:8 Mesh:12 Material:5 Light:0 Camera:0"},
    {"online3dviewer/cube_with_texture_transformations.3ds",
     "Object:1 Vertex:8 Mesh:12 Material:5 Light:0 Camera:0"},
    {"online3dviewer/texturedcube.3ds", "Object:1 Vertex:39 Mesh:24 Material:1 Light:0 Camera:1"},
    {"online3dviewer/wrong.3ds",
     "wrong.3ds is not a valid 3ds "
     "file.\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB4\xE9\x94\x99\xE8\xAF\xAF"
     " or \xE6\x96\x87\xE4\xBB\xB6\xE9\x95\xBF\xE5\xBA\xA6\xE9\x94\x99\xE8\xAF\xAF"},
    {"qt3d/basic-cube.3ds", "Object:1 Vertex:8 Mesh:12 Material:2 Light:0 Camera:0"},
    {"qt3d/lunar-lander.3ds", "Object:12 Vertex:849 Mesh:884 Material:1 Light:0 Camera:0"},
    {"qt3d/monkey.3ds", "Object:1 Vertex:507 Mesh:968 Material:0 Light:0 Camera:0"},
    {"qt3d/roboticBody.3ds", "Object:7 Vertex:2442 Mesh:4616 Material:3 Light:0 Camera:0"},
    {"qt3d/square.3ds", "Object:1 Vertex:4 Mesh:2 Material:0 Light:0 Camera:0"},
};

std::string ImportedLine(const std::string& path, Scene& scene) {
    const FileOutcome outcome = ImportSceneFile(path, scene);
    if (!outcome.ok) return outcome.message;
    scene.CountScene();
    return messages::StatisticsLine(scene.m_stats);
}

}  // namespace

TEST(TestData, EveryFileImportsWithTheCountsOfItsChunks) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestData(""))) {
        const std::string ext = entry.path().extension().string();
        files += entry.is_regular_file() && (ext == ".3ds" || ext == ".3DS");
    }
    EXPECT_EQ(files, std::size(kFiles)) << "a test file was added or removed";

    for (const Expected& e : kFiles) {
        Scene scene;
        EXPECT_EQ(ImportedLine(TestData(e.file), scene), e.statistics) << e.file;
        EXPECT_EQ(SceneRuleBroken(scene), "") << e.file;
    }
}

TEST(TestData, FilesKeepTheirFaceGroupsCoordinatesAndTextureMaps) {
    // Objects with face groups, objects with texture coordinates, and the texture maps' files;
    // every other file has none of them.
    const struct {
        const char* file;
        size_t grouped, withUvs;
        std::vector<std::string> maps;
    } kExtras[] = {
        {"aspose/camera.3ds", 0, 3, {}},
        {"assimp/CameraRollAnim.3ds", 0, 1, {}},
        {"assimp/RotatingCube.3DS", 0, 1, {}},
        {"assimp/TargetCameraAnim.3ds", 0, 1, {}},
        {"assimp/UVTransform_Cube.3DS", 0, 1, {"UVTRANSF.PNG"}},
        {"assimp/UVTransform_Normal.3DS", 0, 1, {"UVTRANSF.PNG"}},
        {"assimp/UVTransform_OffsetU0.56V0.5_ScaleU10V2_Rotate45.3DS", 0, 1, {"UVTRANSF.PNG"}},
        {"assimp/UVTransform_ScaleUV1-2_OffsetUV0-0.9_Rotate-72_mirrorU.3ds",
         0,
         1,
         {"UVTRANSF.PNG"}},
        {"assimp/cube_with_diffuse_texture.3DS", 0, 1, {"TEST.PNG"}},
        {"assimp/cube_with_specular_texture.3DS", 0, 1, {}},
        {"assimp/cubes_with_alpha.3DS", 0, 5, {"BERETTA_.JPG"}},
        {"assimp/jeep1.3ds", 0, 7, {"jeep1.jpg"}},
        {"assimp/test1.3ds", 0, 9, {"IMAGE1.JPG", "CWALL02.JPG", "IMAGE2.JPG"}},
        {"online3dviewer/cube.3ds", 1, 1, {}},
        {"online3dviewer/cube_instance_scale_rotation.3ds", 1, 1, {"texture.png"}},
        {"online3dviewer/cube_two_instances.3ds", 1, 1, {"texture.png"}},
        {"online3dviewer/cube_with_materials.3ds", 1, 1, {"texture.png"}},
        {"online3dviewer/cube_with_texture_transformations.3ds", 1, 1, {"texture.png"}},
        {"online3dviewer/texturedcube.3ds", 0, 1, {"_1.png"}},
        {"qt3d/basic-cube.3ds", 1, 0, {}},
        {"qt3d/lunar-lander.3ds", 0, 6, {}},
        {"qt3d/roboticBody.3ds", 0, 1, {"hazard.png"}},
    };
    for (const Expected& e : kFiles) {
        Scene scene;
        if (!ImportSceneFile(TestData(e.file), scene).ok) continue;
        size_t grouped = 0, withUvs = 0;
        for (const SceneObject& o : scene.m_objects) {
            grouped += !o.faceGroups.empty();
            withUvs += !o.uvs.empty();
        }
        std::vector<std::string> maps;
        for (const SceneMaterial& m : scene.m_materials)
            if (m.textureMap) maps.push_back(m.textureMap->fileName);
        const auto* listed =
            std::find_if(std::begin(kExtras), std::end(kExtras),
                         [&](const auto& x) { return x.file == std::string(e.file); });
        const bool none = listed == std::end(kExtras);
        EXPECT_EQ(grouped, none ? 0 : listed->grouped) << e.file;
        EXPECT_EQ(withUvs, none ? 0 : listed->withUvs) << e.file;
        EXPECT_EQ(maps, none ? std::vector<std::string>() : listed->maps) << e.file;
    }
    // The cube with a colour on each side: five materials over its twelve triangles.
    Scene cube;
    ASSERT_TRUE(ImportSceneFile(TestData("online3dviewer/cube_with_materials.3ds"), cube).ok);
    const std::vector<FaceGroup>& groups = cube.m_objects[0].faceGroups;
    ASSERT_EQ(groups.size(), 5u);
    size_t faces = 0;
    for (const FaceGroup& g : groups)
        faces += g.faces.size();
    EXPECT_EQ(faces, 12u);
    EXPECT_EQ(groups[1].material, "green");
}

TEST(TestData, MaterialsWithoutATransparencyChunkAreOpaque) {
    for (const char* file :
         {"qt3d/basic-cube.3ds", "qt3d/lunar-lander.3ds", "qt3d/roboticBody.3ds"}) {
        Scene scene;
        ASSERT_TRUE(ImportSceneFile(TestData(file), scene).ok);
        ASSERT_FALSE(scene.m_materials.empty());
        for (const SceneMaterial& m : scene.m_materials)
            EXPECT_EQ(m.transparency, 1.0f) << file;
    }
    // A file whose materials do carry the chunk keeps its values.
    Scene alpha;
    ASSERT_TRUE(ImportSceneFile(TestData("assimp/cubes_with_alpha.3DS"), alpha).ok);
    size_t translucent = 0;
    for (const SceneMaterial& m : alpha.m_materials)
        translucent += m.transparency < 1.0f;
    EXPECT_GT(translucent, 0u);
}

TEST(TestData, ImportFinishesTheSceneForTheView) {
    Scene scene;
    scene.m_settings.currentCamera = 5;
    ASSERT_TRUE(ImportSceneFile(TestData("online3dviewer/texturedcube.3ds"), scene).ok);
    EXPECT_TRUE(scene.m_bModified);
    EXPECT_EQ(scene.m_settings.currentObject, 0);
    EXPECT_EQ(scene.m_settings.currentCamera, 0);

    // A failed import leaves an empty, unmodified scene with nothing current.
    EXPECT_FALSE(ImportSceneFile(TestData("online3dviewer/wrong.3ds"), scene).ok);
    EXPECT_TRUE(scene.m_objects.empty());
    EXPECT_FALSE(scene.m_bModified);
    EXPECT_EQ(scene.m_settings.currentObject, -1);
    EXPECT_EQ(scene.m_settings.currentCamera, -1);
}

TEST(TestData, EveryCutOfARealFileIsSafe) {
    const std::vector<uint8_t> file = testfiles::ReadBytes(TestData("assimp/test1.3ds"));
    ASSERT_FALSE(file.empty());
    for (size_t n = 0; n <= file.size(); ++n) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(n));
        if (n >= 6) {
            for (int i = 0; i < 4; ++i)
                cut[2 + i] = static_cast<uint8_t>(n >> (8 * i));
        }
        InputStream in(cut.data(), cut.size());
        Scene scene;
        Read3DS(in, scene);
        ASSERT_EQ(SceneRuleBroken(scene), "") << n;
    }
}

TEST(ExampleScene, IsWhatItsGeneratorWrites) {
    testfiles::TempDir dir;
    const std::string fresh = dir.File("example.3ds");
    ASSERT_EQ(std::system((std::string(MAKE_EXAMPLE_EXE) + " " + fresh).c_str()), 0);
    const std::string bundled = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";
    EXPECT_EQ(testfiles::ReadBytes(fresh), testfiles::ReadBytes(bundled))
        << "run make_example_scene examples/still-life.3ds";

    Scene scene;
    EXPECT_EQ(ImportedLine(bundled, scene),
              "Object:5 Vertex:564 Mesh:894 Material:5 Light:2 Camera:1");
}
