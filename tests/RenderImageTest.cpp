// Frames drawn without a display, through the same renderer as the window, compared with
// reference pictures (tolerance 0: llvmpipe draws the same pixels every time) and probed for
// hard facts.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <functional>

#include "HeadlessGl.h"
#include "HeadlessRender.h"
#include "LabelPainting.h"
#include "NoteLabelDrawing.h"
#include "OpenGlApi.h"
#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "commands/SceneFileCommands.h"
#include "formats/FileFormats.h"
#include "import3ds/ImportFile.h"
#include "tests/ImageCompare.h"
#include "tests/RecordingGl.h"
#include "tests/TestFiles.h"
#include "view/SceneRenderer.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kTolerance = 0;

Scene StillLife() {
    Scene scene;
    EXPECT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene).ok);
    return scene;
}

// A cube in the built-in grey, lit by one light of two, with a two-line yellow note.
Scene GreyCube() {
    Scene scene;
    scene.ClearScene();
    SceneObject cube;
    cube.name = "Cube";
    cube.note = "Cube\r\nsecond line";
    cube.noteColor = {255, 255, 0};
    cube.noteX = 20, cube.noteY = 30;
    const float c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                           {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    const uint16_t quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                  {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    for (const auto& q : quads) {
        const uint16_t base = static_cast<uint16_t>(cube.vertices.size());
        for (uint16_t i : q)
            cube.vertices.push_back({c[i][0] * 40, c[i][1] * 40, c[i][2] * 40, 0, 0, 0});
        cube.meshes.push_back({base, uint16_t(base + 1), uint16_t(base + 2), 0, 0, 0, 0});
        cube.meshes.push_back({base, uint16_t(base + 2), uint16_t(base + 3), 0, 0, 0, 0});
    }
    for (SceneMesh& m : cube.meshes) {
        const SceneVertex &a = cube.vertices[m.a], &b = cube.vertices[m.b], &d = cube.vertices[m.c];
        const float ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
        const float fx = d.x - b.x, fy = d.y - b.y, fz = d.z - b.z;
        const float nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        m.nx = nx / length, m.ny = ny / length, m.nz = nz / length;
    }
    cube.vertexCount = static_cast<int32_t>(cube.vertices.size());
    cube.meshCount = static_cast<int32_t>(cube.meshes.size());
    cube.maxX = cube.maxY = cube.maxZ = 40;
    cube.minX = cube.minY = cube.minZ = -40;
    scene.m_objects = {cube};
    SceneLight on, off;
    on.x = 100, on.y = -50, on.z = 80, on.on = 1;
    on.color[0] = on.color[1] = on.color[2] = 0.9f;
    off.x = -80, off.y = 60, off.z = 50, off.on = 0;
    scene.m_lights = {on, off};
    scene.m_settings.currentObject = 0;
    return scene;
}

// The grey cube with no light at all: lit by the default lights.
Scene UnlitGreyCube() {
    Scene scene = GreyCube();
    scene.m_lights.clear();
    return scene;
}

Scene Imported(const std::string& file) {
    Scene scene;
    EXPECT_TRUE(ImportSceneFile(testfiles::TestData(file), scene).ok) << file;
    return scene;
}

// A model in another format, imported through the built program as its child.
Scene ImportedModel(const std::string& file) {
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    Scene scene;
    const std::string path = std::string(ZEMVORA_TESTDATA_DIR) + "/models/" + file;
    EXPECT_TRUE(ImportForeignFile(path, scene).ok) << file;
    ProcessForeignImportSettings() = ForeignImportSettings();
    return scene;
}

// A .3ds file exported to the format of extension and read back, both through the program's
// children.
Scene ExportedAndBack(const std::string& file, const std::string& extension) {
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    const testfiles::TempDir dir;
    const std::string path = dir.File("exported" + extension);
    Scene scene;
    EXPECT_TRUE(ExportSceneToFile(Imported(file), path).ok) << file;
    EXPECT_TRUE(ImportForeignFile(path, scene).ok) << file;
    ProcessForeignImportSettings() = ForeignImportSettings();
    return scene;
}

QImage Render(Scene scene, const std::function<void(ViewState&)>& setup) {
    ViewState view;
    view.m_bDefaultView = scene.m_cameras.empty();
    setup(view);
    std::string error;
    const QImage image = RenderSceneImage(scene, view, kWidth, kHeight, error);
    EXPECT_FALSE(image.isNull()) << error;
    return image;
}

struct Case {
    const char* name;
    Scene (*scene)();
    std::function<void(ViewState&)> setup;
};

const Case kCases[] = {
    {"still-life-smooth", StillLife, [](ViewState&) {}},
    {"still-life-flat", StillLife, [](ViewState& v) { v.m_nDisplayMode = ModeFlat; }},
    {"still-life-line", StillLife, [](ViewState& v) { v.m_nDisplayMode = ModeLine; }},
    {"still-life-vertex", StillLife, [](ViewState& v) { v.m_nDisplayMode = ModeVertex; }},
    {"still-life-default-view", StillLife, [](ViewState& v) { v.m_bDefaultView = true; }},
    {"still-life-top", StillLife, [](ViewState& v) { v.m_nProjection = ProjTopView; }},
    {"still-life-bare", StillLife,
     [](ViewState& v) { v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = v.m_bShowText = false; }},
    {"grey-cube-flat", GreyCube, [](ViewState& v) { v.m_nDisplayMode = ModeFlat; }},
    {"grey-cube-wide", GreyCube, [](ViewState& v) { v.m_fFovY = 40; }},
    // Files that hold no light, shaded by the default lights.
    {"grey-cube-default-lights", UnlitGreyCube, [](ViewState& v) { v.m_nDisplayMode = ModeFlat; }},
    {"monkey", [] { return Imported("qt3d/monkey.3ds"); }, [](ViewState&) {}},
    {"jeep1", [] { return Imported("assimp/jeep1.3ds"); }, [](ViewState&) {}},
    // Exported to GLB, its image inside, and read back: the jeep as it was, without its label.
    {"jeep1-glb-round-trip", [] { return ExportedAndBack("assimp/jeep1.3ds", ".glb"); },
     [](ViewState&) {}},
    {"basic-cube-flat", [] { return Imported("qt3d/basic-cube.3ds"); },
     [](ViewState& v) { v.m_nDisplayMode = ModeFlat; }},
    // Texture maps and faces in their groups' materials, as their authors made them.
    {"jeep1-no-textures", [] { return Imported("assimp/jeep1.3ds"); },
     [](ViewState& v) { v.m_bShowTextures = false; }},
    {"test1", [] { return Imported("assimp/test1.3ds"); }, [](ViewState&) {}},
    {"cube-with-diffuse-texture", [] { return Imported("assimp/cube_with_diffuse_texture.3DS"); },
     [](ViewState&) {}},
    {"cube-with-materials", [] { return Imported("online3dviewer/cube_with_materials.3ds"); },
     [](ViewState&) {}},
    // Hard edges as their authors set them by smoothing groups, and the same drawn with the
    // vertex normals alone, as before the groups were read.
    {"cube-with-materials-no-smoothing-groups",
     [] { return Imported("online3dviewer/cube_with_materials.3ds"); },
     [](ViewState& v) { v.m_bSmoothingGroups = false; }},
    {"cube", [] { return Imported("online3dviewer/cube.3ds"); }, [](ViewState&) {}},
    {"cubes-with-alpha", [] { return Imported("assimp/cubes_with_alpha.3DS"); }, [](ViewState&) {}},
    {"cart-wheel", [] { return Imported("assimp/cart_wheel.3DS"); }, [](ViewState&) {}},
    {"cart-wheel-no-smoothing-groups", [] { return Imported("assimp/cart_wheel.3DS"); },
     [](ViewState& v) { v.m_bSmoothingGroups = false; }},
    {"camera", [] { return Imported("aspose/camera.3ds"); }, [](ViewState&) {}},
    // Copies the keyframer places of a mesh, framed with it; and the object alone, as before.
    {"cube-two-instances", [] { return Imported("online3dviewer/cube_two_instances.3ds"); },
     [](ViewState&) {}},
    {"cube-instance-scale-rotation",
     [] { return Imported("online3dviewer/cube_instance_scale_rotation.3ds"); }, [](ViewState&) {}},
    {"cube-instance-scale-rotation-no-copies",
     [] { return Imported("online3dviewer/cube_instance_scale_rotation.3ds"); },
     [](ViewState& v) { v.m_bCopies = false; }},
    {"uv-transform-rotate45",
     [] { return Imported("assimp/UVTransform_OffsetU0.56V0.5_ScaleU10V2_Rotate45.3DS"); },
     [](ViewState&) {}},
    // Other formats: texture maps, the turn to +Z and the camera's lens.
    {"gltf-box-textured", [] { return ImportedModel("gltf/BoxTextured.gltf"); }, [](ViewState&) {}},
    {"obj-spider", [] { return ImportedModel("obj/spider.obj"); }, [](ViewState&) {}},
    {"collada-duck", [] { return ImportedModel("collada/duck.dae"); }, [](ViewState&) {}},
};

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

}  // namespace

TEST(RenderImage, MatchesTheReferences) {
    for (const Case& c : kCases) {
        const QImage image = Render(c.scene(), c.setup);
        EXPECT_EQ(CompareWithReference(image, c.name, kTolerance), "") << c.name;
    }
}

TEST(RenderImage, AMappedSceneSavedAndOpenedAgainDrawsTheSamePicture) {
    // The scene file goes beside a copy of its image, where the map's image is looked for.
    const testfiles::TempDir folder;
    testfiles::WriteBytes(folder.File("test.png"),
                          testfiles::ReadBytes(testfiles::TestData("assimp/test.png")));
    const Scene imported = Imported("assimp/cube_with_diffuse_texture.3DS");
    ASSERT_TRUE(SaveSceneAs(folder.File("cube.zmv"), imported).ok);
    Scene opened;
    ASSERT_TRUE(OpenSceneFile(folder.File("cube.zmv"), opened).ok);
    const auto asImported = [](ViewState& v) { v.m_bDefaultView = 1; };
    EXPECT_TRUE(Render(imported, asImported) == Render(opened, asImported));
}

TEST(RenderImage, AnImageTheModelHoldsDrawsAsTheSameImageBesideIt) {
    const auto view = [](ViewState&) {};
    const Scene binary = ImportedModel("gltf/BoxTexturedBinary.glb");
    // The model's PNG lies beside it too (the text form of the model names it).
    Scene external = binary;
    for (SceneMaterial& m : external.m_materials) {
        if (!m.textureMap) continue;
        ASSERT_GE(m.textureMap->embeddedImage, 0);
        m.textureMap->embeddedImage = -1;
        m.textureMap->fileName = "CesiumLogoFlat.png";
    }
    const QImage beside = Render(external, view);
    EXPECT_GT(MaxChannelDifference(beside,
                                   Render(binary, [](ViewState& v) { v.m_bShowTextures = false; })),
              50);
    EXPECT_EQ(MaxChannelDifference(Render(binary, view), beside), 0);
    // Saved where no image lies beside it, the scene keeps the image.
    const testfiles::TempDir folder;
    ASSERT_TRUE(SaveSceneAs(folder.File("box.zmv"), binary).ok);
    Scene opened;
    ASSERT_TRUE(OpenSceneFile(folder.File("box.zmv"), opened).ok);
    EXPECT_EQ(MaxChannelDifference(Render(opened, view), beside), 0);
}

TEST(RenderImage, DefaultLightsOnlyWhereTheSceneHasNoLightAtAll) {
    const auto bare = [](ViewState& v) {
        v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = v.m_bShowText = false;
        v.m_nDisplayMode = ModeFlat;
    };
    // Lights that are all off leave the scene unlit, exactly as with the default lights turned
    // off; without any light the default lights shade it.
    Scene allOff = GreyCube();
    for (SceneLight& light : allOff.m_lights)
        light.on = 0;
    const QImage unlit = Render(allOff, bare);
    const QImage withoutDefaults = Render(UnlitGreyCube(), [&](ViewState& v) {
        bare(v);
        v.m_bDefaultLights = false;
    });
    EXPECT_EQ(MaxChannelDifference(unlit, withoutDefaults), 0);
    EXPECT_GT(MaxChannelDifference(unlit, Render(UnlitGreyCube(), bare)), 50);
}

TEST(RenderImage, BackgroundLabelAndHandleProbes) {
    auto labelOnly = [](ViewState& v) { v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = false; };
    Scene handleOnly = GreyCube();
    handleOnly.m_objects[0].note = "";
    const QImage handle = Render(handleOnly, labelOnly);
    // 127 / 256 = 0.49609375 stored in eight bits.
    EXPECT_EQ(Pixel(handle, kWidth - 1, kHeight - 1), 0x7F7F7Fu);
    // The handle: light top and left edges, dark right and bottom edges.
    EXPECT_EQ(Pixel(handle, 20, 30), 0xD8D8D8u);
    EXPECT_EQ(Pixel(handle, 26, 30), 0xD8D8D8u);
    EXPECT_EQ(Pixel(handle, 20, 36), 0xD8D8D8u);
    EXPECT_EQ(Pixel(handle, 27, 30), 0x404040u);
    EXPECT_EQ(Pixel(handle, 20, 37), 0x404040u);
    EXPECT_EQ(Pixel(handle, 27, 37), 0x404040u);
    EXPECT_EQ(Pixel(handle, 23, 33), 0x7F7F7Fu);  // inside: the frame shows through
    EXPECT_EQ(Pixel(handle, 28, 30), 0x7F7F7Fu);
    EXPECT_EQ(Pixel(handle, 20, 38), 0x7F7F7Fu);

    const QImage bare = Render(GreyCube(), labelOnly);
    // The yellow note starts at the handle, and its second line lies below the first.
    auto yellowIn = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 20; x < 200; ++x)
                n += Pixel(bare, x, y) == 0xFFFF00u;
        return n;
    };
    EXPECT_GT(yellowIn(30, 47), 20);
    EXPECT_GT(yellowIn(47, 66), 20);
    EXPECT_EQ(yellowIn(0, 30), 0);

    // Without the label, and while playing, none of it is drawn.
    const QImage plain = Render(GreyCube(), [](ViewState& v) {
        v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = v.m_bShowText = false;
    });
    EXPECT_EQ(Pixel(plain, 20, 30), 0x7F7F7Fu);
    const QImage playing = Render(GreyCube(), [](ViewState& v) {
        v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = false;
        v.m_bPlay = true;
    });
    EXPECT_EQ(Pixel(playing, 20, 30), 0x7F7F7Fu);
}

TEST(RenderImage, BackgroundClearsToTheExactFraction) {
    std::string error;
    std::unique_ptr<HeadlessGl> gl =
        HeadlessGl::Create(8, 8, HeadlessGl::ColorBuffer::Floats, error);
    ASSERT_TRUE(gl) << error;
    OpenGlApi api(&HeadlessGl::ProcAddress);
    const SteadyFrameClock clock;
    Scene scene;
    scene.ClearScene();
    scene.m_settings.background = {127, 255, 0};
    ViewState view;
    SceneRenderer renderer(api, scene, view);
    renderer.InitGl();
    view.m_bShowGrid = false;
    if (renderer.FullRedraw(8, 8, clock).drawn) renderer.EndFrame(clock);
    const std::vector<float> pixels = gl->ReadPixelsFloat();
    ASSERT_GE(pixels.size(), 3u);
    EXPECT_EQ(pixels[0], 0.49609375f);
    EXPECT_EQ(pixels[1], 0.99609375f);
    EXPECT_EQ(pixels[2], 0.0f);
}

TEST(RenderImage, MaterialsWithoutATransparencyChunkAreSeen) {
    for (const char* file :
         {"qt3d/basic-cube.3ds", "qt3d/lunar-lander.3ds", "qt3d/roboticBody.3ds"}) {
        Scene scene;
        ASSERT_TRUE(ImportSceneFile(testfiles::TestData(file), scene).ok);
        auto bare = [](ViewState& v) {
            v.m_bDefaultView = true;
            v.m_bShowGrid = v.m_bShowBox = v.m_bShowLight = v.m_bShowText = false;
        };
        auto drawnPixels = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += Pixel(image, x, y) != 0x7F7F7Fu;
            return n;
        };
        const int seen = drawnPixels(Render(scene, bare));
        EXPECT_GT(seen, kWidth * kHeight / 100) << file;
        // Drawn with alpha 0 the objects with those materials would vanish.
        for (SceneMaterial& m : scene.m_materials)
            m.transparency = 0;
        EXPECT_LT(drawnPixels(Render(scene, bare)), seen / 2) << file;
    }
}

TEST(RenderImage, EveryTestFileRendersFromTheCommandLine) {
    testfiles::TempDir dir;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(testfiles::TestData(""))) {
        if (!entry.is_regular_file()) continue;
        const std::string file = entry.path().string();
        const std::string png = dir.File(entry.path().filename().string() + ".png");
        const std::string command = std::string(ZEMVORA_EXE) + " --render '" + file +
                                    "' --output '" + png + "' --size 160x120 2>/dev/null";
        const int status = std::system(command.c_str());
        Scene scene;
        if (ImportSceneFile(file, scene).ok) {
            EXPECT_EQ(status, 0) << file;
            EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(160, 120)) << file;
        } else {
            EXPECT_NE(status, 0) << file;  // not a 3DS file: the message, no picture
        }
    }
    // Every model in another format, through the import child.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             std::string(ZEMVORA_TESTDATA_DIR) + "/models")) {
        const std::string file = entry.path().string();
        if (ReaderOfFile(file) != FormatReader::ImportChild) continue;
        const std::string png = dir.File(entry.path().filename().string() + ".png");
        const std::string command = std::string(ZEMVORA_EXE) + " --render '" + file +
                                    "' --output '" + png + "' --size 160x120";
        EXPECT_EQ(std::system(command.c_str()), 0) << file;
        EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(160, 120)) << file;
    }
}

TEST(RenderImage, TheLabelGoesBackWhereItWasReadWithTheStatesRestored) {
    NoteLabel label;
    label.text = "Note";
    label.x = 10, label.y = 20;
    label.viewWidth = 200, label.viewHeight = 100;
    const QFont font = FontFromLogFont(LogFont::DefaultLabelFont());
    RecordingGl gl;
    gl.Enable(GL_DEPTH_TEST);
    gl.Enable(GL_LIGHTING);
    gl.calls.clear();
    DrawNoteLabel(gl, label, font, 1.0);

    const size_t read = gl.Find("ReadPixels");
    const size_t place = gl.Find("WindowPos2i");
    const size_t write = gl.Find("DrawPixels");
    ASSERT_LT(read, place);
    ASSERT_LT(place, write);
    ASSERT_LT(write, gl.calls.size());
    const std::vector<double>& r = gl.calls[read].args;
    const std::vector<double>& w = gl.calls[write].args;
    ASSERT_EQ(r.size(), 6u);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(gl.calls[place].args, (std::vector<double>{r[0], r[1]}));
    EXPECT_EQ(w, (std::vector<double>{r[2], r[3], r[4], r[5]}));
    // The rows count from the bottom: the read holds the handle at (10, 20) from the top.
    EXPECT_LE(r[0], 10);
    EXPECT_LE(r[1], 100 - 28);
    EXPECT_GE(r[1] + r[3], 100 - 20);
    // Written with no depth test, blending or lighting; what was on before is on again.
    for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_LIGHTING}) {
        const size_t off = gl.Find("Disable", {double(cap)}, read);
        EXPECT_LT(off, place);
    }
    EXPECT_EQ(gl.enabled, (std::set<GLenum>{GL_DEPTH_TEST, GL_LIGHTING}));
    EXPECT_LT(write, gl.Find("Enable", {GL_DEPTH_TEST}));

    // A context that cannot place pixels leaves the frame alone.
    gl.windowPos = false;
    gl.calls.clear();
    DrawNoteLabel(gl, label, font, 1.0);
    EXPECT_TRUE(gl.calls.empty());
}
