// Files in other formats, imported through the child process: the counts of one file of each
// format family, meshes cut at the vertex limit, up turned to +Z, points and lines dropped, and a
// child that crashes, exhausts its memory, hangs or writes garbage.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "childimport/ChildAnswer.h"
#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "formats/FileFormats.h"
#include "images/MapImageLookup.h"
#include "scene/AddressSanitizer.h"
#include "scene/ImageTable.h"
#include "scene/OutputStream.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"
#include "tests/RecordingFrame.h"
#include "tests/ScriptedPrompts.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string Model(const std::string& relative) {
    return std::string(ZEMVORA_TESTDATA_DIR) + "/models/" + relative;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// The built program is the child; a hang is given up on after two seconds.
class ForeignImport : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessForeignImportSettings().program = ZEMVORA_EXE;
        ProcessForeignImportSettings().wallSeconds = 2;
    }
    void TearDown() override {
        for (const char* name : {"LD_PRELOAD", "ASAN_OPTIONS", "ZEMVORA_SANDBOX_PROBE"})
            unsetenv(name);
        ProcessForeignImportSettings() = ForeignImportSettings();
    }
};

}  // namespace

TEST_F(ForeignImport, OneFileOfEachFormatFamilyGivesItsRecords) {
    struct Case {
        const char* file;
        size_t objects;
        int vertices, triangles;
        size_t materials, lights, cameras;
        size_t objectsWithUvs, mapsNamed, objectsWithGroups;
    };
    const Case cases[] = {
        {"obj/spider.obj", 19, 946, 1368, 6, 0, 0, 19, 5, 0},
        {"obj/cube_usemtl.obj", 1, 28, 12, 4, 0, 0, 0, 0, 1},
        {"stl/Spider_binary.stl", 1, 3806, 1368, 1, 0, 0, 0, 0, 0},
        {"ply/cube_uv.ply", 1, 24, 12, 1, 0, 0, 1, 0, 0},
        {"gltf/BoxTextured.gltf", 1, 24, 12, 2, 0, 0, 1, 1, 0},
        {"gltf/BoxTexturedBinary.glb", 1, 24, 12, 2, 0, 0, 1, 1, 0},
        {"collada/duck.dae", 1, 2399, 4212, 1, 1, 1, 1, 1, 0},
        {"collada/lights.dae", 1, 180, 60, 1, 4, 0, 0, 0, 0},
        {"fbx/phong_cube.fbx", 1, 24, 12, 1, 0, 0, 1, 0, 0},
        {"off/Cube.off", 1, 8, 12, 1, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Scene scene;
        ASSERT_EQ(ReaderOfFile(Model(c.file)), FormatReader::ImportChild);
        const FileOutcome outcome = ImportForeignFile(Model(c.file), scene);
        ASSERT_TRUE(outcome.ok) << outcome.message << " " << outcome.reason;
        EXPECT_EQ(SceneRuleBroken(scene), "");
        const SceneStatistics stats = CountStatistics(scene);
        EXPECT_EQ(scene.m_objects.size(), c.objects);
        EXPECT_EQ(stats.vertices, c.vertices);
        EXPECT_EQ(stats.meshes, c.triangles);
        EXPECT_EQ(scene.m_materials.size(), c.materials);
        EXPECT_EQ(scene.m_lights.size(), c.lights);
        EXPECT_EQ(scene.m_cameras.size(), c.cameras);
        size_t withUvs = 0, withGroups = 0, maps = 0;
        for (const SceneObject& o : scene.m_objects) {
            withUvs += !o.uvs.empty();
            withGroups += !o.faceGroups.empty();
        }
        for (const SceneMaterial& m : scene.m_materials)
            maps += m.textureMap.has_value();
        EXPECT_EQ(withUvs, c.objectsWithUvs);
        EXPECT_EQ(maps, c.mapsNamed);
        EXPECT_EQ(withGroups, c.objectsWithGroups);
        EXPECT_TRUE(scene.m_bModified);
        EXPECT_EQ(scene.m_strImageBase, Model(c.file));
        EXPECT_EQ(scene.m_settings.currentObject, 0);
    }
}

TEST_F(ForeignImport, AnImageTheModelHoldsComesWithItsMap) {
    Scene scene;
    ASSERT_TRUE(ImportForeignFile(Model("gltf/BoxTexturedBinary.glb"), scene).ok);
    const SceneMaterial* mapped = nullptr;
    for (const SceneMaterial& m : scene.m_materials)
        if (m.textureMap) mapped = &m;
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(mapped->textureMap->fileName, "*0");
    // The same PNG the text form of the model names beside it.
    ASSERT_NE(EmbeddedImageOf(scene, *mapped->textureMap), nullptr);
    EXPECT_EQ(EmbeddedImageOf(scene, *mapped->textureMap)->bytes,
              testfiles::ReadBytes(Model("gltf/CesiumLogoFlat.png")));
    EXPECT_TRUE(MissingMapImages(scene, scene.m_strImageBase).empty());
}

TEST_F(ForeignImport, ModelsKeepTheirOwnNormalsAndTheirHardEdges) {
    TempDir dir;
    // A triangle in the file's x-y plane: turned to +Z its faces' normal is (0, -1, 0); its own
    // normal (0 3 4) turns to (0, -0.8, 0.6).
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";
    struct Case {
        const char* what;
        std::string text;
        int vertices;
        std::vector<std::array<float, 3>> normals;  // of each triangle's corners
    };
    const std::array<float, 3> faces = {0, -1, 0}, own = {0, -0.8f, 0.6f};
    const Case cases[] = {
        {"its own normal", triangle + "vn 0 3 4\nf 1//1 2//1 3//1\n", 3, {own}},
        {"none", triangle + "f 1 2 3\n", 3, {faces}},
        {"a normal of no length", triangle + "vn 0 0 0\nf 1//1 2//1 3//1\n", 3, {faces}},
        // A hard edge: the shared corners are two vertices each, one for each face's normal.
        {"a hard edge",
         triangle + "vn 0 0 1\nvn 0 3 4\nf 1//1 2//1 3//1\nf 2//2 4//2 3//2\n",
         6,
         {faces, own}},
        // A seam of the mapping splits the corners, which keep the one normal the file gives.
        {"a seam",
         triangle + "vt 0 0\nvt 1 0\nvt 0 1\nvt 1 1\nvt 0.5 0.5\nvn 0 3 4\n"
                    "f 1/1/1 2/2/1 3/3/1\nf 2/5/1 4/4/1 3/5/1\n",
         6,
         {own, own}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText(dir.File("model.obj"), c.text);
        Scene scene;
        const FileOutcome outcome = ImportForeignFile(dir.File("model.obj"), scene);
        ASSERT_TRUE(outcome.ok) << outcome.message << " " << outcome.reason;
        ASSERT_EQ(scene.m_objects.size(), 1u);
        const SceneObject& o = scene.m_objects[0];
        EXPECT_EQ(o.vertexCount, c.vertices);
        ASSERT_EQ(o.meshes.size(), c.normals.size());
        for (size_t t = 0; t < o.meshes.size(); ++t)
            for (uint16_t v : {o.meshes[t].a, o.meshes[t].b, o.meshes[t].c}) {
                EXPECT_NEAR(o.vertices[v].nx, c.normals[t][0], 1e-6) << t;
                EXPECT_NEAR(o.vertices[v].ny, c.normals[t][1], 1e-6) << t;
                EXPECT_NEAR(o.vertices[v].nz, c.normals[t][2], 1e-6) << t;
            }
    }
}

TEST_F(ForeignImport, CoordinatesThatAreNotNumbersDropTheirTriangles) {
    TempDir dir;
    // Two good triangles, and three that reach an infinite or not-a-number vertex.
    WriteText(dir.File("bad.obj"),
              "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv inf 0 0\nv nan 2 2\n"
              "f 1 2 3\nf 2 4 3\nf 1 2 5\nf 3 4 6\nf 5 6 1\n");
    // A glTF square, one of its corners infinite, its buffer in the file.
    WriteText(
        dir.File("bad.gltf"),
        R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":60,"uri":)"
        R"("data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAACAfwAAAAAAAAAAAAABAAIAAQADAAIA"}],)"
        R"("bufferViews":[{"buffer":0,"byteLength":48},{"buffer":0,"byteOffset":48,"byteLength":12}],)"
        R"("accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3",)"
        R"("min":[0,0,0],"max":[1,1,0]},{"bufferView":1,"componentType":5123,"count":6,"type":"SCALAR"}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
        R"("nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})");
    // The same square as a .glb, the corner not a number in y.
    const std::string json =
        R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":60}],)"
        R"("bufferViews":[{"buffer":0,"byteLength":48},{"buffer":0,"byteOffset":48,"byteLength":12}],)"
        R"("accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3",)"
        R"("min":[0,0,0],"max":[1,1,0]},{"bufferView":1,"componentType":5123,"count":6,"type":"SCALAR"}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
        R"("nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})";
    std::vector<uint8_t> bin;
    OutputStream data(bin);
    for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 1.f, NAN, 0.f})
        data.WriteF32(f);
    for (uint16_t i : {0, 1, 2, 1, 3, 2})
        data.WriteU16(i);
    std::vector<uint8_t> glb;
    OutputStream out(glb);
    const uint32_t jsonLength = static_cast<uint32_t>((json.size() + 3) / 4 * 4);
    out.WriteU32(0x46546C67), out.WriteU32(2), out.WriteU32(12 + 8 + jsonLength + 8 + 60);
    out.WriteU32(jsonLength), out.WriteU32(0x4E4F534A);
    out.Write(json.data(), json.size());
    for (size_t pad = json.size(); pad < jsonLength; ++pad)
        out.WriteU8(' ');
    out.WriteU32(60), out.WriteU32(0x004E4942);
    out.Write(bin.data(), bin.size());
    WriteBytes(dir.File("bad.glb"), glb);
    const struct {
        const char* file;
        int triangles;
        std::string line;
    } cases[] = {
        {"bad.obj", 2,
         "object \"defaultobject\": 2 vertices with coordinates that are not numbers, their "
         "triangles dropped"},
        {"bad.gltf", 1,
         "object \"nodes[0]\": 1 vertex with coordinates that are not numbers, their triangles "
         "dropped"},
        {"bad.glb", 1,
         "object \"nodes[0]\": 1 vertex with coordinates that are not numbers, their triangles "
         "dropped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Scene scene;
        ConversionReport report;
        ASSERT_TRUE(ImportForeignFile(dir.File(c.file), scene, &report).ok);
        EXPECT_EQ(CountStatistics(scene).meshes, c.triangles);
        EXPECT_NE(std::find(report.lines.begin(), report.lines.end(), c.line), report.lines.end())
            << testing::PrintToString(report.lines);
        // The bounds are numbers, so the view frames what is left.
        for (float bound : {scene.m_settings.minX, scene.m_settings.maxX, scene.m_settings.minY,
                            scene.m_settings.maxY, scene.m_settings.minZ, scene.m_settings.maxZ})
            EXPECT_TRUE(std::isfinite(bound));
    }
}

TEST_F(ForeignImport, GeneratedFilesAreTurnedCutAndReported) {
    TempDir dir;
    // A strip of 40,000 quads along x: 80,002 vertices, over the 65,535 an object may index.
    std::string strip = "o Strip\n";
    for (int i = 0; i <= 40000; ++i)
        strip += "v " + std::to_string(i) + " 0 0\nv " + std::to_string(i) + " 1 0\n";
    for (int i = 0; i < 40000; ++i)
        strip += "f " + std::to_string(2 * i + 1) + " " + std::to_string(2 * i + 3) + " " +
                 std::to_string(2 * i + 4) + " " + std::to_string(2 * i + 2) + "\n";
    WriteText(dir.File("strip.obj"), strip);
    // One triangle reaching up its file's y (OBJ) or z (PLY) axis, with a point and a line.
    WriteText(dir.File("up.obj"), "v 0 0 0\nv 1 0 0\nv 0 2 0\nf 1 2 3\np 1\nl 1 2\n");
    WriteText(dir.File("up.ply"),
              "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
              "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
              "end_header\n0 0 0\n1 0 0\n0 0 2\n3 0 1 2\n");
    struct Case {
        const char* file;
        std::vector<std::string> names;
        float maxZ;
        std::vector<std::string> report;
    };
    const Case cases[] = {
        {"strip.obj",
         {"Strip.1", "Strip.2"},
         1.0f,
         {"mesh \"Strip\" of 80002 vertices cut into 2 objects (Strip.1 to Strip.2)"}},
        {"up.obj",
         {"defaultobject"},
         2.0f,
         {"read by the Open Asset Import Library, not the program's own OBJ reader: it has lines "
          "or points",
          "1 points dropped", "1 lines dropped"}},
        {"up.ply", {"Object 1"}, 2.0f, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Scene scene;
        ConversionReport report;
        const FileOutcome outcome = ImportForeignFile(dir.File(c.file), scene, &report);
        ASSERT_TRUE(outcome.ok) << outcome.message << " " << outcome.reason;
        EXPECT_EQ(SceneRuleBroken(scene), "");
        std::vector<std::string> names;
        int triangles = 0;
        for (const SceneObject& o : scene.m_objects) {
            names.push_back(o.name);
            triangles += o.meshCount;
            EXPECT_LE(o.vertexCount, 65535);
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(report.lines, c.report);
        EXPECT_FLOAT_EQ(scene.m_settings.maxZ, c.maxZ);
        if (names.size() == 2) {
            EXPECT_EQ(triangles, 80000);
            // File order: the first object holds the strip's start.
            EXPECT_EQ(scene.m_objects[0].minX, 0.0f);
            EXPECT_EQ(scene.m_objects[1].maxX, 40000.0f);
        }
    }
}

TEST_F(ForeignImport, AChildThatFailsGivesOneMessageAndLeavesTheSceneAsItWas) {
    struct Case {
        const char* hook;
        const char* reason;
    };
    const Case cases[] = {
        {"crash", "The importer stopped: segmentation fault"},
#if !defined(ZEMVORA_ASAN)  // the sanitizer's own reservations need unlimited address space
        {"memory", "The importer needed more than its 256 MB of memory"},
#endif
        {"hang", "The importer took more than 2 seconds and was stopped"},
        {"garbage", "The importer's answer could not be read"},
        {"long", "The importer's answer was longer than 1 MB"},
    };
    // The library's entry point misbehaves: the probe library stands in for it (see
    // SandboxProbe.cpp), in the child alone.
    ProcessForeignImportSettings().answerBytes = uint64_t{1} << 20;
    TempDir dir;
    fs::copy_file(Model("off/Cube.off"), dir.File("cube.off"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hook);
        Scene scene;
        ScriptedPrompts prompts;
        RecordingFrame frame;
        ASSERT_TRUE(ImportForeignFile(Model("off/Cube.off"), scene).ok);
        scene.m_bModified = false;
        setenv("LD_PRELOAD", SANDBOX_PROBE_LIB, 1);
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0", 1);
        setenv("ZEMVORA_SANDBOX_PROBE", c.hook, 1);
        ImportFileFromOutside(dir.File("cube.off"), scene, prompts, frame);
        unsetenv("LD_PRELOAD");
        ASSERT_EQ(prompts.notices.size(), 1u);
        EXPECT_EQ(prompts.notices[0].first, "cube.off could not be imported.");
        EXPECT_EQ(prompts.reasons[0], c.reason);
        ASSERT_EQ(scene.m_objects.size(), 1u);
        EXPECT_EQ(scene.m_objects[0].vertexCount, 8);
        EXPECT_FALSE(scene.m_bModified);
        EXPECT_EQ(frame.historyClears, 0);
    }
    // The library's own reason for a file it cannot read, and a file that is not there: the
    // file failed, not the importer, and the scene is cleared as for a 3D Studio file.
    WriteText(dir.File("broken.obj"), "this is not a model\n");
    Scene scene;
    ASSERT_TRUE(ImportForeignFile(Model("off/Cube.off"), scene).ok);
    FileOutcome outcome = ImportForeignFile(dir.File("broken.obj"), scene);
    EXPECT_EQ(outcome.message, "broken.obj could not be imported.");
    EXPECT_EQ(outcome.reason, "The file holds no triangles, lights or cameras");
    EXPECT_TRUE(scene.m_objects.empty());
    ASSERT_TRUE(ImportForeignFile(Model("off/Cube.off"), scene).ok);
    outcome = ImportForeignFile(dir.File("gone.obj"), scene);
    EXPECT_EQ(outcome.message, "gone.obj was not found.");
    EXPECT_TRUE(scene.m_objects.empty());
    EXPECT_FALSE(outcome.sceneKept);
}

TEST_F(ForeignImport, TheChildsOptionStaysHiddenAndCommandsReadOtherFormats) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--help"}, out, err), kExitOk);
    EXPECT_EQ(out.str().find(kImportChildOption), std::string::npos);
    EXPECT_EQ(RunCommandLine({kImportChildOption, Model("off/Cube.off")}, out, err), kExitUsage);
    out.str("");
    EXPECT_EQ(RunCommandLine({"--info", Model("off/Cube.off")}, out, err), kExitOk);
    EXPECT_EQ(out.str(), "Object:1 Vertex:8 Mesh:12 Material:1 Light:0 Camera:0\n");
    out.str("");
    EXPECT_EQ(RunCommandLine({"--check", Model("collada/lights.dae")}, out, err), kExitOk);
    EXPECT_EQ(out.str(),
              "1 ambient or area light(s) dropped\n"
              "lights.dae: converted 1 object, 60 triangles, 1 material, 4 lights, 0 cameras; 1 "
              "conversion note\n");
}

// A child that tells how far it has come: the watch hears each step and, when it says stop, the
// child is killed at once, the scene stays and the outcome says it was cancelled, not failed.
// The program's own child tells its steps up to the whole.
TEST_F(ForeignImport, TheWatchHearsTheChildsProgressAndStopsIt) {
    TempDir dir;
    const std::string child = dir.File("slow-child");
    std::ofstream(child) << "#!/bin/sh\nprintf '\\012' >&3\nsleep 0.2\nprintf '\\050' >&3\n"
                            "exec sleep 20\n";
    fs::permissions(child, fs::perms::owner_all);
    ProcessForeignImportSettings().program = child;
    std::vector<int> heard;
    ProcessForeignImportSettings().watch = [&heard](const std::string& name, int percent) {
        EXPECT_EQ(name, "model.obj");
        if (heard.empty() || heard.back() != percent) heard.push_back(percent);
        return percent < 40;
    };
    std::ofstream(dir.File("model.obj")) << "v 0 0 0\n";
    Scene scene;
    scene.m_objects.resize(2);
    const auto start = std::chrono::steady_clock::now();
    const FileOutcome outcome = ImportForeignFile(dir.File("model.obj"), scene);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(outcome.sceneKept);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_EQ(scene.m_objects.size(), 2u);
    EXPECT_EQ(heard.back(), 40);
    EXPECT_NE(std::find(heard.begin(), heard.end(), 10), heard.end());

    // The program's own child tells how far its readers and the library have read.
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    for (const char* model : {"stl/Spider_binary.stl", "obj/spider.obj"}) {
        heard.clear();
        ProcessForeignImportSettings().watch = [&heard](const std::string&, int percent) {
            heard.push_back(percent);
            return true;
        };
        EXPECT_TRUE(ImportForeignFile(Model(model), scene).ok) << model;
        EXPECT_EQ(*std::max_element(heard.begin(), heard.end()), 100) << model;
    }
}

namespace {

SceneObject Triangle(const std::string& name, float x, int32_t material) {
    SceneObject o;
    o.name = name;
    o.materialIndex = material;
    o.vertices = {{x, 0, x}, {x + 1, 0, x}, {x, 1, x}};
    o.meshes.push_back(SceneMesh{0, 1, 2, 7, 0, 0, 1});
    o.vertexCount = 3, o.meshCount = 1;
    o.minX = o.minZ = o.maxZ = x, o.maxX = x + 1, o.maxY = 1;
    return o;
}

std::vector<uint8_t> SceneBytes(const Scene& scene) {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return bytes;
}

}  // namespace

// Objects a child sends ahead of its answer, read at the end or as the answer comes, join the
// scene in front of the rest as if the whole scene had come at the end; what does not add up is
// garbage.
TEST(ChildAnswer, ObjectsSentAheadJoinTheSceneInTheirOrder) {
    Scene whole;
    whole.m_materials.resize(2);
    whole.m_materialNames.resize(2);
    whole.m_objects = {Triangle("A", 0, 1), Triangle("B", 2, 0), Triangle("C", 4, -1)};
    whole.m_objects[1].uvs.assign(3, SceneUv{0.5f, 0.25f});  // B needs the extension block
    whole.m_settings.currentObject = -1;  // as the child announces it, with no object yet
    whole.m_settings.upAxis = UpAxis::PlusY;

    // Offers the first objects as the import child does, after the scene without them where it
    // announces that, then ends; after the word to forget them, the child's library reads the
    // whole file again.
    const auto answer = [&](int offered, bool forget, ChildStatus status, bool announce = false) {
        Scene scene = whole;
        std::vector<uint8_t> bytes;
        OutputStream out(bytes);
        AnswerWriter writer(out);
        if (announce) {
            EXPECT_TRUE(writer.AnnounceScene(scene));
            EXPECT_FALSE(writer.AnnounceScene(scene));  // once only
        }
        for (size_t i = 0; i < static_cast<size_t>(offered); ++i)
            if (i == writer.SentAhead()) writer.SendAhead(scene.m_objects[i]);
        if (forget) writer.Forget(), scene = whole;
        const auto sent = static_cast<std::ptrdiff_t>(writer.SentAhead());
        scene.m_objects.erase(scene.m_objects.begin(), scene.m_objects.begin() + sent);
        writer.Finish(status, {"a line"}, status == ChildStatus::Scene ? &scene : nullptr, 0);
        return bytes;
    };
    // Reads ahead in steps (none: all at the end) and then the whole, into back; into back as
    // it comes where shown, which must then show the announced scene and the objects ahead,
    // as far as they have come, whenever it has more than it had.
    const auto read = [&whole](const std::vector<uint8_t>& bytes, size_t step, Scene& back,
                               bool shown = false) {
        ChildAnswerReader reader(bytes.size());
        if (shown) reader.ReadInto(back);
        for (size_t size = 0; step > 0 && size < bytes.size(); size += step) {
            reader.ReadAhead(bytes.data(), size);
            if (!shown || !reader.Announced()) continue;
            EXPECT_EQ(SceneBytes(SceneWithoutObjects(back)),
                      SceneBytes(SceneWithoutObjects(whole)));
            for (size_t i = 0; i < back.m_objects.size(); ++i)
                EXPECT_EQ(back.m_objects[i].name, whole.m_objects[i].name);
        }
        std::vector<std::string> lines;
        return reader.Finish(bytes.data(), bytes.size(), back, lines);
    };
    const struct {
        const char* what;
        int offered;
        bool forget;
        ChildStatus status;
        ChildAnswerResult result;
        bool announce;
    } cases[] = {
        {"nothing sent ahead", 0, false, ChildStatus::Scene, ChildAnswerResult::Scene, false},
        {"A ahead, B stops the run for its extras", 3, false, ChildStatus::Scene,
         ChildAnswerResult::Scene, false},
        {"A ahead, then forgotten", 1, true, ChildStatus::Scene, ChildAnswerResult::Scene, false},
        {"A ahead, then the library refuses", 1, false, ChildStatus::Refused,
         ChildAnswerResult::Refused, false},
        {"the scene announced, nothing ahead", 0, false, ChildStatus::Scene,
         ChildAnswerResult::Scene, true},
        {"the scene announced, A ahead", 3, false, ChildStatus::Scene, ChildAnswerResult::Scene,
         true},
        {"the scene announced, A ahead, then forgotten", 1, true, ChildStatus::Scene,
         ChildAnswerResult::Scene, true},
        {"the scene announced, A ahead, then the library refuses", 1, false, ChildStatus::Refused,
         ChildAnswerResult::Refused, true},
    };
    for (const auto& c : cases)
        for (const size_t step : {size_t{0}, size_t{1}, size_t{7}})
            for (const bool shown : {false, true}) {
                SCOPED_TRACE(std::string(c.what) + ", read ahead in steps of " +
                             std::to_string(step) + (shown ? ", shown as it comes" : ""));
                Scene back;
                ASSERT_EQ(
                    read(answer(c.offered, c.forget, c.status, c.announce), step, back, shown),
                    c.result);
                if (c.result == ChildAnswerResult::Scene) {
                    Scene expected = whole;
                    expected.m_settings.currentObject = 0;
                    EXPECT_EQ(SceneBytes(back), SceneBytes(expected));
                    EXPECT_EQ(SceneRuleBroken(back), "");
                } else {
                    EXPECT_EQ(SceneBytes(back), SceneBytes(Scene()));
                }
            }

    // Garbage: an object sent ahead but not counted, one cut short, one whose length is not its
    // record's, and an answer that was garbage while the child wrote it.
    const std::vector<uint8_t> ahead = answer(1, false, ChildStatus::Scene);
    const std::vector<uint8_t> plain = answer(0, false, ChildStatus::Scene);
    uint32_t length = 0;  // of the first object's record, after the magic, tag and length
    std::memcpy(&length, ahead.data() + 5, sizeof length);
    const size_t item = 1 + 8 + length;
    std::vector<uint8_t> uncounted(ahead.begin(), ahead.begin() + 4 + item);
    uncounted.insert(uncounted.end(), plain.begin() + 4, plain.end());
    const std::vector<uint8_t> cut(ahead.begin(), ahead.begin() + 4 + item / 2);
    std::vector<uint8_t> overlong = ahead;
    overlong[5] += 1;
    overlong.insert(overlong.begin() + 4 + static_cast<std::ptrdiff_t>(item), 0);
    // The scene announced twice, or after an object.
    const std::vector<uint8_t> announced = answer(0, false, ChildStatus::Scene, true);
    std::memcpy(&length, announced.data() + 5, sizeof length);
    const auto announcement = announced.begin() + 4;
    const auto afterIt = announcement + 1 + 8 + length;
    std::vector<uint8_t> twice(announced.begin(), afterIt);
    twice.insert(twice.end(), announcement, announced.end());
    std::vector<uint8_t> late(ahead.begin(), ahead.begin() + 4 + item);
    late.insert(late.end(), announcement, afterIt);
    late.insert(late.end(), ahead.begin() + 4 + item, ahead.end());
    for (const auto& garbage : {uncounted, cut, overlong, twice, late})
        for (const bool shown : {false, true}) {
            Scene back;
            EXPECT_EQ(read(garbage, shown ? 1 : 0, back, shown), ChildAnswerResult::Garbage);
            EXPECT_EQ(SceneBytes(back), SceneBytes(Scene()));
        }
    ChildAnswerReader reader(ahead.size());
    reader.ReadAhead(plain.data() + 1, plain.size() - 1);
    Scene none;
    std::vector<std::string> lines;
    EXPECT_EQ(reader.Finish(ahead.data(), ahead.size(), none, lines), ChildAnswerResult::Garbage);

    // An object's material must be among those that came at the end.
    whole.m_objects.front().materialIndex = 5;
    Scene back;
    ASSERT_EQ(read(answer(1, false, ChildStatus::Scene), 0, back), ChildAnswerResult::Scene);
    EXPECT_EQ(back.m_objects.front().materialIndex, -1);
}
