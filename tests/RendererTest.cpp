// What one frame asks of OpenGL: lights, materials, the display modes, box, grid, markers, the
// label, play's turning and the frame timing.
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/CommandIds.h"
#include "commands/CommandTexts.h"
#include "tests/RecordingGl.h"
#include "view/DisplayCommands.h"
#include "view/Navigation.h"

namespace {

SceneObject Triangle(int32_t materialIndex = -1) {
    SceneObject o;
    o.name = o.note = "Tri";
    o.materialIndex = materialIndex;
    o.vertices = {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0}, {0, 1, 0, 1, 0, 0}};
    o.meshes = {{0, 1, 2, 0, 0.5f, 0.25f, 0.125f}};
    o.vertexCount = 3, o.meshCount = 1;
    o.maxX = 1, o.maxY = 1;
    return o;
}

SceneLight Light(float x, int32_t on) {
    SceneLight l;
    l.x = x, l.y = 2, l.z = 3;
    l.color[0] = 0.5f, l.color[1] = 0.25f, l.color[2] = 1;
    l.on = on;
    return l;
}

struct Frame {
    Scene scene;
    ViewState view;
    RecordingGl gl;
    RecordingHost host;
    SceneRenderer renderer{gl, scene, view};

    Frame() {
        scene.ClearScene();
        scene.m_objects = {Triangle()};
        scene.m_settings.currentObject = 0;
    }
    void RenderScene() { host.RenderScene(renderer); }
};

}  // namespace

TEST(RendererLights, NineLightsLightEightAndShowNineMarkers) {
    Frame f;
    for (int i = 0; i < 9; ++i)
        f.scene.m_lights.push_back(Light(float(i), 1));
    f.renderer.SetupLights();
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHTING}), 1u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.gl.Count("Disable", {double(GL_LIGHT0 + i)}), 1u);
        EXPECT_EQ(f.gl.Count("Enable", {double(GL_LIGHT0 + i)}), 1u);
    }
    EXPECT_EQ(f.gl.Count("Lightfv"), 32u);
    const size_t first = f.gl.Find("Lightfv");
    ASSERT_LE(first + 5, f.gl.calls.size());
    EXPECT_TRUE(f.gl.calls[first].Is("Lightfv", {GL_LIGHT0, GL_AMBIENT, 0.1f, 0.1f, 0.1f, 1}));
    EXPECT_TRUE(f.gl.calls[first + 1].Is("Lightfv", {GL_LIGHT0, GL_DIFFUSE, 0.5f, 0.25f, 1, 1}));
    EXPECT_TRUE(
        f.gl.calls[first + 2].Is("Lightfv", {GL_LIGHT0, GL_SPECULAR, 0.1f, 0.1f, 0.1f, 0.1f}));
    // w = 0: directional.
    EXPECT_TRUE(f.gl.calls[first + 3].Is("Lightfv", {GL_LIGHT0, GL_POSITION, 0, 2, 3, 0}));
    EXPECT_TRUE(f.gl.calls[first + 4].Is("Enable", {GL_LIGHT0}));
    EXPECT_TRUE(
        f.gl.calls.back().Is("LightModelfv", {GL_LIGHT_MODEL_TWO_SIDE, 0.1f, 0.1f, 0.1f, 1}));

    f.gl.calls.clear();
    f.view.m_bShowGrid = false;
    f.view.m_bShowBox = false;
    f.RenderScene();
    // Three loops of four corners per marker, for all nine.
    EXPECT_EQ(f.gl.Count("Begin", {GL_LINE_LOOP}), 27u);
    EXPECT_EQ(f.gl.Count("Color3f", {1, 1, 0}), 9u);
}

TEST(RendererLights, ALightThatIsOffIsNotEnabledAndItsMarkerIsDim) {
    Frame f;
    f.scene.m_lights = {Light(1, 0), Light(2, 2)};
    f.renderer.SetupLights();
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHT0}), 0u);
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHT1}), 0u);  // on is neither 0 nor 1: not lit...
    f.gl.calls.clear();
    f.renderer.DrawLightMarkers();
    EXPECT_EQ(f.gl.Count("Color3f", {0.75f, 0.75f, 0}), 1u);
    EXPECT_EQ(f.gl.Count("Color3f", {1, 1, 0}), 1u);  // ...but drawn bright

    // The marker of the cleared scene's size, around the light's position.
    const std::vector<GlCall> corners = f.gl.Named("Vertex3f");
    ASSERT_EQ(corners.size(), 24u);
    const float u = 600.0f / 6.0f / 39.0f;
    EXPECT_TRUE(corners[0].Is("Vertex3f", {1 - u, 2 - u, 3}));
    EXPECT_TRUE(corners[5].Is("Vertex3f", {1, 2, 3 - u}));
    EXPECT_TRUE(corners[11].Is("Vertex3f", {1 - u, 2 + u, 3}));
}

TEST(RendererLights, ASceneWithoutLightsGetsTwoDefaultLightsThatNoMarkerShows) {
    Frame f;
    f.renderer.SetupLights();
    const std::vector<GlCall> lightfv = f.gl.Named("Lightfv");
    const std::vector<GlCall> expected = {
        {"Lightfv", {GL_LIGHT0, GL_AMBIENT, 0.1f, 0.1f, 0.1f, 1}},
        {"Lightfv", {GL_LIGHT0, GL_DIFFUSE, 1, 1, 1, 1}},
        {"Lightfv", {GL_LIGHT0, GL_SPECULAR, 0.1f, 0.1f, 0.1f, 0.1f}},
        {"Lightfv", {GL_LIGHT0, GL_POSITION, 0.65f, -0.65f, 0.38f, 0}},
        {"Lightfv", {GL_LIGHT1, GL_AMBIENT, 0.1f, 0.1f, 0.1f, 1}},
        {"Lightfv", {GL_LIGHT1, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1}},
        {"Lightfv", {GL_LIGHT1, GL_SPECULAR, 0.1f, 0.1f, 0.1f, 0.1f}},
        {"Lightfv", {GL_LIGHT1, GL_POSITION, -0.65f, 0.65f, -0.38f, 0}},
    };
    ASSERT_EQ(lightfv.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(lightfv[i].Is(expected[i].name, expected[i].args)) << i;
    // Set with the identity model-view matrix, after every light was switched off, and before
    // the two-sided light model.
    const size_t position = f.gl.Find("Lightfv", expected[3].args);
    EXPECT_LT(f.gl.Find("LoadIdentity"), position);
    EXPECT_LT(f.gl.Find("Disable", {GL_LIGHT7}), position);
    EXPECT_LT(f.gl.Find("Enable", {GL_LIGHT1}),
              f.gl.Find("LightModelfv", {GL_LIGHT_MODEL_TWO_SIDE, 0.1f, 0.1f, 0.1f, 1}));
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHT0}), 1u);
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHT1}), 1u);
    EXPECT_TRUE(f.scene.m_lights.empty());

    f.gl.calls.clear();
    f.renderer.DrawLightMarkers();
    EXPECT_EQ(f.gl.Count("Begin", {GL_LINE_LOOP}), 0u);

    // Turned off for comparisons: the scene is drawn unlit, as a scene of switched-off lights.
    f.gl.calls.clear();
    f.view.m_bDefaultLights = false;
    f.renderer.SetupLights();
    EXPECT_EQ(f.gl.Count("Lightfv"), 0u);
}

TEST(RendererLights, LightsThatAreAllOffKeepTheDefaultLightsAway) {
    Frame f;
    f.scene.m_lights = {Light(1, 0)};
    f.renderer.SetupLights();
    EXPECT_EQ(f.gl.Count("Lightfv"), 0u);
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHT0}), 0u);
}

TEST(RendererMaterials, BuiltInGreyAndTransparencyAsAlpha) {
    Frame f;
    f.renderer.ApplyMaterial(-1);
    ASSERT_GE(f.gl.calls.size(), 4u);
    EXPECT_TRUE(f.gl.calls[0].Is("Materialfv", {GL_FRONT_AND_BACK, GL_AMBIENT, 0, 0, 0, 1}));
    EXPECT_TRUE(
        f.gl.calls[1].Is("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1}));
    EXPECT_TRUE(
        f.gl.calls[2].Is("Materialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.7f, 0.7f, 0.7f, 1}));
    EXPECT_TRUE(f.gl.calls[3].Is("Materialf", {GL_FRONT_AND_BACK, GL_SHININESS, 0.8f}));

    SceneMaterial glass;
    glass.ambient = {255, 0, 128};
    glass.diffuse = {1, 2, 3};
    glass.specular = {127, 127, 127};
    glass.shininess = 0.9f;
    glass.transparency = 0.25f;
    f.scene.m_materials = {glass};
    f.gl.calls.clear();
    f.renderer.ApplyMaterial(0);
    ASSERT_GE(f.gl.calls.size(), 4u);
    EXPECT_TRUE(
        f.gl.calls[0].Is("Materialfv", {GL_FRONT_AND_BACK, GL_AMBIENT, 0.99609375, 0, 0.5, 0.25}));
    EXPECT_TRUE(f.gl.calls[1].Is(
        "Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 1 / 256.0, 2 / 256.0, 3 / 256.0, 0.25}));
    EXPECT_TRUE(f.gl.calls[2].Is(
        "Materialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.49609375, 0.49609375, 0.49609375, 0.25}));
    EXPECT_TRUE(f.gl.calls[3].Is("Materialf", {GL_FRONT_AND_BACK, GL_SHININESS, 0.9f}));

    // An index outside the materials is drawn in the built-in grey rather than read outside.
    f.gl.calls.clear();
    f.renderer.ApplyMaterial(1);
    ASSERT_GE(f.gl.calls.size(), 2u);
    EXPECT_TRUE(
        f.gl.calls[1].Is("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0.5f, 0.5f, 0.5f, 1}));
}

TEST(RendererModes, EachModeSendsItsOwnCalls) {
    Frame f;
    f.view.m_bShowBox = false;
    auto drawn = [&](DisplayMode mode, int32_t smooth) {
        f.view.m_nDisplayMode = mode;
        f.scene.m_objects[0].smooth = smooth;
        f.gl.calls.clear();
        f.renderer.DrawObjects();
        if (f.gl.calls.size() < 4) {
            ADD_FAILURE() << "fewer calls than the material's four";
            return std::vector<GlCall>();
        }
        std::vector<GlCall> calls(f.gl.calls.begin() + 4, f.gl.calls.end());  // after the material
        return calls;
    };
    const std::vector<GlCall> points = drawn(ModeVertex, 1);
    ASSERT_EQ(points.size(), 8u);
    EXPECT_TRUE(points[0].Is("Disable", {GL_LIGHTING}));
    EXPECT_TRUE(points[1].Is("Color3f", {1, 1, 1}));
    EXPECT_TRUE(points[2].Is("Begin", {GL_POINTS}));
    EXPECT_TRUE(points[3].Is("Vertex3f", {0, 0, 0}));
    EXPECT_TRUE(points[6].Is("End", {}));
    EXPECT_TRUE(points[7].Is("Enable", {GL_LIGHTING}));
    const std::vector<GlCall> lines = drawn(ModeLine, 1);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(lines[2].Is("Begin", {GL_LINE_LOOP}));

    const std::vector<GlCall> flat = drawn(ModeFlat, 1);
    ASSERT_EQ(flat.size(), 6u);
    EXPECT_TRUE(flat[0].Is("Begin", {GL_TRIANGLES}));
    EXPECT_TRUE(flat[1].Is("Normal3f", {0.5f, 0.25f, 0.125f}));
    EXPECT_TRUE(flat[4].Is("Vertex3f", {0, 1, 0}));

    const std::vector<GlCall> smooth = drawn(ModeSmooth, 1);
    ASSERT_EQ(smooth.size(), 8u);
    EXPECT_TRUE(smooth[1].Is("Normal3f", {0, 0, 1}));
    EXPECT_TRUE(smooth[3].Is("Normal3f", {0, 1, 0}));
    EXPECT_TRUE(smooth[5].Is("Normal3f", {1, 0, 0}));

    // An object drawn flat looks the same in the flat and the smooth mode.
    const std::vector<GlCall> smoothFlat = drawn(ModeSmooth, 0);
    ASSERT_EQ(smoothFlat.size(), flat.size());
    for (size_t i = 0; i < flat.size(); ++i)
        EXPECT_TRUE(smoothFlat[i].Is(flat[i].name, flat[i].args));
    EXPECT_TRUE(drawn(static_cast<DisplayMode>(7), 1).empty());  // no such mode: nothing
}

TEST(RendererFrame, OrderOfAFrame) {
    Frame f;
    f.scene.m_lights = {Light(1, 1)};
    f.scene.m_settings.rotX = 10, f.scene.m_settings.dragY = 4;
    f.scene.m_settings.rotZ = 30, f.scene.m_settings.dragX = 10;
    f.RenderScene();
    const RecordingGl& gl = f.gl;
    const size_t clear = gl.Find("ClearColor", {0.49609375, 0.49609375, 0.49609375, 1});
    const size_t push = gl.Find("PushMatrix");
    const size_t objects = gl.Find("Begin", {GL_TRIANGLES});
    const size_t box = gl.Find("Color3f", {0.8f, 0.2f, 0.2f});
    const size_t pop = gl.Find("PopMatrix");
    const size_t markers = gl.Find("Color3f", {1, 1, 0});
    const size_t grid = gl.Find("Color3f", {0.7f, 0.7f, 0.9f});
    const size_t finish = gl.Find("Finish");
    EXPECT_LT(clear, push);
    ASSERT_LT(push + 3, gl.calls.size());
    EXPECT_TRUE(gl.calls[push + 1].Is("Rotatef", {12, 1, 0, 0}));
    EXPECT_TRUE(gl.calls[push + 2].Is("Rotatef", {0, 0, 1, 0}));
    EXPECT_TRUE(gl.calls[push + 3].Is("Rotatef", {35, 0, 0, 1}));
    // The box turns with the objects; markers and grid do not.
    EXPECT_LT(push, objects);
    EXPECT_LT(objects, box);
    EXPECT_LT(box, pop);
    EXPECT_LT(pop, markers);
    EXPECT_LT(markers, grid);
    EXPECT_LT(grid, finish);
    EXPECT_EQ(finish, gl.calls.size() - 1);
    EXPECT_EQ(f.host.swaps, 1);
    // Depth test and blending are on for every frame.
    EXPECT_LT(gl.Find("Enable", {GL_DEPTH_TEST}), clear);
    EXPECT_LT(gl.Find("BlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}), clear);
}

TEST(RendererFrame, GridOfTheClearedScene) {
    Frame f;
    f.renderer.DrawGrid();
    const std::vector<GlCall> v = f.gl.Named("Vertex3f");
    ASSERT_EQ(v.size(), 88u);  // 21 lines each way, the two through the origin twice
    EXPECT_TRUE(v[0].Is("Vertex3f", {0, 200, 0}));
    EXPECT_TRUE(v[1].Is("Vertex3f", {0, -200, 0}));
    EXPECT_TRUE(v[84].Is("Vertex3f", {200, 200, 0}));
    EXPECT_TRUE(v[85].Is("Vertex3f", {-200, 200, 0}));
    EXPECT_TRUE(v[87].Is("Vertex3f", {-200, -200, 0}));
    EXPECT_EQ(f.gl.Count("Begin", {GL_LINES}), 1u);
}

TEST(RendererFrame, ObjectBox) {
    Frame f;
    f.scene.m_objects[0].minZ = -1;
    f.renderer.DrawObjectBox();
    const std::vector<GlCall> v = f.gl.Named("Vertex3f");
    ASSERT_EQ(v.size(), 16u);
    EXPECT_TRUE(v[0].Is("Vertex3f", {1, 1, 0}));
    EXPECT_TRUE(v[1].Is("Vertex3f", {1, 1, -1}));
    EXPECT_TRUE(v[4].Is("Vertex3f", {0, 1, 0}));
    EXPECT_TRUE(v[8].Is("Vertex3f", {0, 1, 0}));
    EXPECT_TRUE(v[9].Is("Vertex3f", {1, 1, 0}));

    for (int32_t none : {-1, 1}) {
        f.scene.m_settings.currentObject = none;
        f.gl.calls.clear();
        f.renderer.DrawObjectBox();
        EXPECT_TRUE(f.gl.calls.empty());
    }
}

TEST(RendererFrame, PlayTurnsTheSceneAndHidesTheLabel) {
    Frame f;
    f.RenderScene();
    ASSERT_EQ(f.host.labels.size(), 1u);
    EXPECT_EQ(f.host.labels[0].text, "Tri");
    EXPECT_EQ(f.host.labels[0].viewWidth, 400);

    f.view.m_bPlay = true;
    f.RenderScene();
    f.RenderScene();
    EXPECT_EQ(f.scene.m_settings.rotZ, 1.0f);
    EXPECT_EQ(f.host.labels.size(), 1u);
    // The turn is added after this frame's rotation was applied.
    const std::vector<GlCall> turns = f.gl.Named("Rotatef");
    ASSERT_FALSE(turns.empty());
    ASSERT_FALSE(turns.back().args.empty());
    EXPECT_EQ(turns.back().args[0], 0.5);

    f.view.m_bPlay = false;
    f.view.m_bShowText = false;
    f.RenderScene();
    EXPECT_EQ(f.host.labels.size(), 1u);
    EXPECT_EQ(f.scene.m_settings.rotZ, 1.0f);
}

TEST(RendererFrame, FrameRateAndReentry) {
    Frame f;
    f.host.clock = {1000, 1000 + 40000, 5000, 5000, 0xFFFFFF00LL, 0x100000100LL};
    f.RenderScene();
    ASSERT_FALSE(f.host.frameRates.empty());
    EXPECT_EQ(f.host.frameRates.back(), 250.0f);  // 4 ms at 10 MHz
    f.RenderScene();
    EXPECT_EQ(f.host.frameRates.back(), 250.0f);  // a frame too short to measure repeats it
    f.RenderScene();
    EXPECT_EQ(f.view.m_nFrameTicks, 512);  // the low 32 bits, across their wrap
    EXPECT_EQ(f.host.frameRates.size(), 3u);

    // A frame asked for while one is being drawn is not drawn at all.
    f.host.onSwap = [&] { f.RenderScene(); };
    f.RenderScene();
    EXPECT_EQ(f.host.swaps, 4);
    EXPECT_EQ(f.host.frameRates.size(), 4u);
}

TEST(DisplayCommands, ModesAndToggles) {
    ViewState view;
    EXPECT_EQ(ApplyDisplayCommand(cmd::kVertexMode, view), ViewStep::TimerPath);
    EXPECT_EQ(view.m_nDisplayMode, ModeVertex);
    EXPECT_EQ(DisplayCommandChecked(cmd::kVertexMode, view), true);
    EXPECT_EQ(DisplayCommandChecked(cmd::kSmoothMode, view), false);
    EXPECT_EQ(ApplyDisplayCommand(cmd::kLineMode, view), ViewStep::TimerPath);
    EXPECT_EQ(view.m_nDisplayMode, ModeLine);
    EXPECT_EQ(ApplyDisplayCommand(cmd::kFlatMode, view), ViewStep::TimerPath);
    EXPECT_EQ(ApplyDisplayCommand(cmd::kSmoothMode, view), ViewStep::TimerPath);
    EXPECT_EQ(view.m_nDisplayMode, ModeSmooth);

    EXPECT_EQ(ApplyDisplayCommand(cmd::kShowGrid, view), ViewStep::TimerPath);
    EXPECT_FALSE(view.m_bShowGrid);
    EXPECT_EQ(DisplayCommandChecked(cmd::kShowGrid, view), false);
    for (int id : {cmd::kShowLight, cmd::kShowBox, cmd::kShowText, cmd::kShowTextures}) {
        EXPECT_EQ(DisplayCommandChecked(id, view), true);
        EXPECT_EQ(ApplyDisplayCommand(id, view), ViewStep::RenderScene);
        EXPECT_EQ(DisplayCommandChecked(id, view), false);
    }
    EXPECT_FALSE(ApplyDisplayCommand(cmd::kOpen, view).has_value());
    EXPECT_FALSE(DisplayCommandChecked(cmd::kOpen, view).has_value());
    EXPECT_STREQ(ContextFailureMessage(false), "ChoosePixelFormat failed");
    EXPECT_STREQ(ContextFailureMessage(true), "SetPixelFormat failed");
}

// No two menu items share a key, and none is Ctrl with a letter the view takes (the view's keys
// ignore Ctrl); Textures, a menu item, is no key of the view's own.
TEST(DisplayCommands, EveryMenuKeyIsItsOwn) {
    ViewState view;
    EXPECT_FALSE(ApplyDisplayKey(0, view).has_value());
    std::vector<std::string> keys;
    for (const Menu& menu : MainMenu()) {
        for (const MenuItem& item : menu.items) {
            const std::string key = MenuItemKey(item.text);
            if (key.empty()) continue;
            EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 0) << key;
            keys.push_back(key);
            if (key.size() != 6 || key.rfind("Ctrl+", 0) != 0) continue;
            Scene scene;
            ViewState before;
            EXPECT_TRUE(OnKeyDown(key.back(), scene, before).empty()) << key;
        }
    }
}

TEST(ViewState, ResetKeepsBoxLightsRightButtonAndFieldOfView) {
    ViewState view;
    view.m_bDefaultView = false, view.m_bPlay = true, view.m_nDisplayMode = ModeLine;
    view.m_bShowGrid = false, view.m_bShowText = false, view.m_bLeftDown = true;
    view.m_nProjection = ProjTopView, view.m_nLastX = 5, view.m_nLastY = 6;
    view.m_bShowBox = false, view.m_bShowLight = false, view.m_bRightDown = true, view.m_fFovY = 40;
    view.m_bShowTextures = false;
    view.ResetViewState();
    EXPECT_TRUE(view.m_bDefaultView);
    EXPECT_FALSE(view.m_bPlay);
    EXPECT_EQ(view.m_nDisplayMode, ModeSmooth);
    EXPECT_EQ(view.m_bShowGrid + view.m_bShowText, 2);
    EXPECT_FALSE(view.m_bLeftDown);
    EXPECT_EQ(view.m_nProjection, ProjPerspective);
    EXPECT_EQ(view.m_nLastX + view.m_nLastY, 0);
    EXPECT_EQ(view.m_bShowBox + view.m_bShowLight + view.m_bShowTextures, 0);
    EXPECT_TRUE(view.m_bRightDown);
    EXPECT_EQ(view.m_fFovY, 40.0f);
}
