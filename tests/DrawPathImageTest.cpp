// The buffer drawing against the plain Begin/End drawing it replaces: real files drawn both ways
// in every mode, in one headless context, must give exactly the same pixels, also after edits
// that keep or change what the buffers hold.
#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessGl.h"
#include "OpenGlApi.h"
#include "import3ds/ImportFile.h"
#include "import3ds/SceneGeometry.h"
#include "tests/TestFiles.h"
#include "view/SceneRenderer.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct ModeName {
    DisplayMode mode;
    const char* name;
};
const ModeName kModes[] = {
    {ModeVertex, "vertex"}, {ModeLine, "line"}, {ModeFlat, "flat"}, {ModeSmooth, "smooth"}};

// One headless context in which frames are drawn and read back.
class Frames {
public:
    Frames() {
        std::string error;
        m_gl = HeadlessGl::Create(kWidth, kHeight, HeadlessGl::ColorBuffer::Bytes, error);
        EXPECT_TRUE(m_gl) << error;
        if (m_gl) m_api = std::make_unique<OpenGlApi>(&HeadlessGl::ProcAddress);
    }
    bool Ready() const { return m_api && m_api->HasBuffers(); }
    OpenGlApi& Api() { return *m_api; }

    // One whole frame as the window draws it, without the label (drawn the same either way).
    std::vector<uint8_t> Draw(SceneRenderer& renderer, ViewState& view) {
        view.m_bShowText = false;
        view.m_fAspect = static_cast<float>(kWidth) / kHeight;
        if (renderer.FullRedraw(kWidth, kHeight, m_clock).drawn) renderer.EndFrame(m_clock);
        return m_gl->ReadPixels();
    }
    std::vector<uint8_t> Draw(Scene& scene, ViewState view, DrawPath path) {
        SceneRenderer renderer(*m_api, scene, view);
        renderer.InitGl();
        renderer.SetDrawPath(path);
        return Draw(renderer, view);
    }
    std::vector<uint8_t> Pixels() { return m_gl->ReadPixels(); }

private:
    std::unique_ptr<HeadlessGl> m_gl;
    std::unique_ptr<OpenGlApi> m_api;
    SteadyFrameClock m_clock;
};

// Pixels that differ from the first one (the background, in a corner).
size_t Covered(const std::vector<uint8_t>& pixels) {
    size_t n = 0;
    for (size_t i = 4; i + 3 < pixels.size(); i += 4)
        n += pixels[i] != pixels[0] || pixels[i + 1] != pixels[1] || pixels[i + 2] != pixels[2];
    return n;
}

ViewState ViewOf(const Scene& scene) {
    ViewState view;
    view.m_bDefaultView = scene.m_cameras.empty();
    return view;
}

// A red triangle followed by a triangle with two equal corners and one with three, an object
// without triangles and one light: Mesa drops an unindexed list of exactly such three triangles,
// so the top view drawn between Begin and End shows no triangle.
Scene MixedScene() {
    Scene scene;
    scene.ClearScene();
    SceneObject mixed;
    mixed.name = "Mixed";
    mixed.vertices = {{0, 0, 0},     {40, 0, 0},     {40, 40, 0},    {80, 0, 10},   {80, 0, 10},
                      {100, 30, 20}, {-30, -30, 10}, {-30, -30, 10}, {-30, -30, 10}};
    mixed.meshes = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
    mixed.minX = mixed.minY = -30, mixed.maxX = 100, mixed.maxY = 40, mixed.maxZ = 20;
    mixed.materialName = "Red";
    mixed.materialIndex = 0;
    SceneObject noFaces;
    noFaces.name = "NoFaces";
    noFaces.vertices = {{10, 10, 10}, {20, 20, 20}};
    noFaces.minX = noFaces.minY = noFaces.minZ = 10;
    noFaces.maxX = noFaces.maxY = noFaces.maxZ = 20;
    for (SceneObject* o : {&mixed, &noFaces}) {
        ComputeFaceNormals(*o);
        ComputeVertexNormals(*o);
        o->vertexCount = static_cast<int32_t>(o->vertices.size());
        o->meshCount = static_cast<int32_t>(o->meshes.size());
    }
    scene.m_objects = {mixed, noFaces};
    scene.m_materials = {
        {{80, 0, 0}, {200, 30, 30}, {90, 90, 90}, 0.3f, 1.0f, "Red", std::nullopt}};
    scene.m_materialNames = {"Red"};
    SceneLight sun;
    sun.name = "Sun";
    sun.x = 20, sun.y = -30, sun.z = 50, sun.on = 1;
    sun.color[0] = sun.color[1] = sun.color[2] = 1.0f;
    scene.m_lights = {sun};
    ComputeSceneBounds(scene);
    MakeFirstRecordsCurrent(scene);
    return scene;
}

// The view states a scene is compared in: as a file opens (through its first camera when it
// has one), from the default view point, and from the top.
std::vector<ViewState> ViewStatesOf(const Scene& scene) {
    std::vector<ViewState> views(3, ViewOf(scene));
    views[1].m_bDefaultView = true;
    views[2].m_nProjection = ProjTopView;
    if (scene.m_cameras.empty()) views.erase(views.begin() + 1);  // the same as the first
    return views;
}

void DrawWhileEditing(DrawPath path) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    Scene scene;
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene).ok);
    ASSERT_FALSE(scene.m_materials.empty());
    ViewState view = ViewOf(scene);
    SceneRenderer renderer(frames.Api(), scene, view);
    renderer.InitGl();
    renderer.SetDrawPath(path);
    for (const ModeName& m : kModes) {
        view.m_nDisplayMode = m.mode;
        frames.Draw(renderer, view);
    }
    view.m_nDisplayMode = ModeSmooth;
    const std::vector<uint8_t> before = frames.Draw(renderer, view);

    // A material edit and a smooth object turned flat, drawn by the renderer that kept its
    // buffers, against a fresh Begin/End drawing of the edited scene.
    scene.m_materials[0].diffuse = {250, 20, 30};
    scene.m_objects[0].smooth = 0;
    const std::vector<uint8_t> edited = frames.Draw(renderer, view);
    EXPECT_FALSE(edited == before);
    EXPECT_TRUE(edited == frames.Draw(scene, view, DrawPath::Immediate));

    // Vertices changed in place, which the buffers cannot see: a replaced scene is announced.
    for (SceneVertex& v : scene.m_objects[0].vertices) {
        v.x *= 0.5f;
        v.z *= 0.5f;
    }
    renderer.SceneReplaced();
    const std::vector<uint8_t> replaced = frames.Draw(renderer, view);
    EXPECT_FALSE(replaced == edited);
    EXPECT_TRUE(replaced == frames.Draw(scene, view, DrawPath::Immediate));

    // Objects removed, and one of another file added.
    Scene other;
    ASSERT_TRUE(ImportSceneFile(testfiles::TestData("qt3d/monkey.3ds"), other).ok);
    scene.m_objects.resize(1);
    EXPECT_TRUE(frames.Draw(renderer, view) == frames.Draw(scene, view, DrawPath::Immediate));
    scene.m_objects.push_back(other.m_objects[0]);
    EXPECT_TRUE(frames.Draw(renderer, view) == frames.Draw(scene, view, DrawPath::Immediate));
}

}  // namespace

TEST(DrawPath, EveryTestFileInEveryViewStateDrawsTheSamePixelsEveryWay) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    std::vector<std::pair<std::string, Scene>> scenes;
    scenes.emplace_back("the mixed scene", MixedScene());
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(testfiles::TestData(""))) {
        if (!entry.is_regular_file()) continue;
        Scene scene;
        if (!ImportSceneFile(entry.path().string(), scene).ok || scene.m_objects.empty()) continue;
        // Half the objects flat, so that the smooth mode draws both kinds.
        for (size_t i = 0; i < scene.m_objects.size(); i += 2)
            scene.m_objects[i].smooth = 0;
        scenes.emplace_back(entry.path().string(), std::move(scene));
    }
    EXPECT_GE(scenes.size(), 21u);
    for (auto& [name, scene] : scenes) {
        const std::vector<ViewState> views = ViewStatesOf(scene);
        for (size_t v = 0; v < views.size(); ++v) {
            for (const ModeName& m : kModes) {
                ViewState view = views[v];
                view.m_nDisplayMode = m.mode;
                const std::vector<uint8_t> plain = frames.Draw(scene, view, DrawPath::Immediate);
                const std::vector<uint8_t> fast = frames.Draw(scene, view, DrawPath::Buffers);
                const std::vector<uint8_t> once = frames.Draw(scene, view, DrawPath::SceneMemory);
                EXPECT_TRUE(plain == fast) << name << " in the " << m.name << " mode, view " << v;
                EXPECT_TRUE(plain == once)
                    << name << " in the " << m.name << " mode, view " << v << ", from memory";
            }
        }
    }
}

TEST(DrawPath, TheExampleFromEveryViewPointIsTheSameEveryWay) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    Scene scene;
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene).ok);
    for (const ModeName& m : kModes) {
        for (int variant = 0; variant < 3; ++variant) {
            ViewState view = ViewOf(scene);
            view.m_nDisplayMode = m.mode;
            if (variant == 1) view.m_bDefaultView = true;
            if (variant == 2) view.m_nProjection = ProjTopView;
            const std::vector<uint8_t> plain = frames.Draw(scene, view, DrawPath::Immediate);
            EXPECT_GT(Covered(plain), static_cast<size_t>(kWidth * kHeight / 50));
            EXPECT_TRUE(plain == frames.Draw(scene, view, DrawPath::Buffers))
                << m.name << ", view " << variant;
            EXPECT_TRUE(plain == frames.Draw(scene, view, DrawPath::SceneMemory))
                << m.name << ", view " << variant << ", from memory";
        }
    }
}

// The same renderer drawing frame after frame, from the buffers it keeps or from memory (a
// picture dropped and drawn again), draws what the scene holds after each edit.
TEST(DrawPath, BuffersKeptAcrossEditsStillDrawWhatTheSceneHolds) {
    for (const DrawPath path : {DrawPath::Buffers, DrawPath::SceneMemory}) {
        SCOPED_TRACE(path == DrawPath::Buffers ? "buffers" : "from memory");
        DrawWhileEditing(path);
    }
}

// A frame begun while a scene's objects still come, drawn on as they come (now and then none, or
// several at once), ends with the pixels of the whole scene's frame, on either path and in every
// mode, and counts the same triangles.
TEST(DrawPath, AFrameDrawnAsTheObjectsComeIsTheWholeScenesFrame) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    Scene whole;
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", whole).ok);
    ASSERT_GE(whole.m_objects.size(), 4u);
    whole.m_objects[1].smooth = 0;
    const size_t arrivals[] = {0, 1, 0, 2, 1};  // then the rest at the end
    for (const DrawPath path : {DrawPath::Immediate, DrawPath::Buffers, DrawPath::SceneMemory})
        for (const ModeName& m : kModes) {
            ViewState view = ViewOf(whole);
            view.m_nDisplayMode = m.mode;
            view.m_bShowText = false;
            view.m_fAspect = static_cast<float>(kWidth) / kHeight;
            SceneRenderer plain(frames.Api(), whole, view);
            plain.InitGl();
            plain.SetDrawPath(path);
            SteadyFrameClock clock;
            const DrawnFrame expected = plain.FullRedraw(kWidth, kHeight, clock);
            plain.EndFrame(clock);
            const std::vector<uint8_t> expectedPixels = frames.Pixels();

            Scene coming = whole;
            coming.m_objects.clear();
            SceneRenderer renderer(frames.Api(), coming, view);
            renderer.InitGl();
            renderer.SetDrawPath(path);
            renderer.SetupLights();
            renderer.SetupProjection(kWidth, kHeight);
            ASSERT_TRUE(renderer.BeginComingFrame(clock));
            EXPECT_FALSE(renderer.BeginComingFrame(clock));  // not inside itself
            for (const size_t count : arrivals) {
                for (size_t k = 0; k < count; ++k)
                    coming.m_objects.push_back(whole.m_objects[coming.m_objects.size()]);
                renderer.DrawComingObjects();
            }
            while (coming.m_objects.size() < whole.m_objects.size())
                coming.m_objects.push_back(whole.m_objects[coming.m_objects.size()]);
            coming.m_settings.currentObject = whole.m_settings.currentObject;
            const DrawnFrame frame = renderer.EndComingFrame(kWidth, kHeight);
            renderer.EndFrame(clock);
            EXPECT_EQ(frame.triangles, expected.triangles) << m.name;
            EXPECT_TRUE(frames.Pixels() == expectedPixels)
                << m.name << (path == DrawPath::Buffers ? ", buffers" : ", Begin/End");
        }
}
