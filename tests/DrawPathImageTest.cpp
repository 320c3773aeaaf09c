// The buffer drawing against the plain Begin/End drawing it replaces: real files drawn both ways
// in every mode, in one headless context, must give exactly the same pixels, also after edits
// that keep or change what the buffers hold.
#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessGl.h"
#include "OpenGlApi.h"
#include "import3ds/ImportFile.h"
#include "tests/TestFiles.h"
#include "view/SceneRenderer.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct ModeName {
    int32_t mode;
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
        view.m_bShowText = 0;
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
    view.m_bDefaultView = scene.m_cameras.empty() ? 1 : 0;
    return view;
}

}  // namespace

TEST(DrawPath, EveryTestFileInEveryModeDrawsTheSamePixelsBothWays) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(testfiles::TestData(""))) {
        if (!entry.is_regular_file()) continue;
        const std::string file = entry.path().string();
        Scene scene;
        if (!ImportSceneFile(file, scene).ok || scene.m_objects.empty()) continue;
        ++files;
        // Half the objects flat, so that the smooth mode draws both kinds.
        for (size_t i = 0; i < scene.m_objects.size(); i += 2)
            scene.m_objects[i].smooth = 0;
        for (const ModeName& m : kModes) {
            ViewState view = ViewOf(scene);
            view.m_nDisplayMode = m.mode;
            const std::vector<uint8_t> plain = frames.Draw(scene, view, DrawPath::Immediate);
            const std::vector<uint8_t> fast = frames.Draw(scene, view, DrawPath::Buffers);
            EXPECT_TRUE(plain == fast) << file << " in the " << m.name << " mode";
        }
    }
    EXPECT_GE(files, 20);
}

TEST(DrawPath, TheExampleFromEveryViewPointIsTheSameBothWays) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    Scene scene;
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene).ok);
    for (const ModeName& m : kModes) {
        for (int variant = 0; variant < 3; ++variant) {
            ViewState view = ViewOf(scene);
            view.m_nDisplayMode = m.mode;
            if (variant == 1) view.m_bDefaultView = 1;
            if (variant == 2) view.m_nProjection = ProjTopView;
            const std::vector<uint8_t> plain = frames.Draw(scene, view, DrawPath::Immediate);
            EXPECT_GT(Covered(plain), static_cast<size_t>(kWidth * kHeight / 50));
            EXPECT_TRUE(plain == frames.Draw(scene, view, DrawPath::Buffers))
                << m.name << ", view " << variant;
        }
    }
}

TEST(DrawPath, BuffersKeptAcrossEditsStillDrawWhatTheSceneHolds) {
    Frames frames;
    ASSERT_TRUE(frames.Ready());
    Scene scene;
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene).ok);
    ASSERT_FALSE(scene.m_materials.empty());
    ViewState view = ViewOf(scene);
    SceneRenderer renderer(frames.Api(), scene, view);
    renderer.InitGl();
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
