// The command line's turntable and thumbnail: frames that turn the scene once as play turns it,
// their file names, the progress line, and the options of both commands.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/ProgressLine.h"
#include "cli/RenderOptions.h"
#include "tests/RecordingGl.h"
#include "view/Turntable.h"

namespace {

Scene OneTriangle() {
    Scene scene;
    SceneObject o;
    o.name = o.note = "Tri";
    o.vertices = {{0, 0, 0, 0, 0, 1}, {10, 0, 0, 0, 0, 1}, {0, 10, 0, 0, 0, 1}};
    o.meshes = {{0, 1, 2, 0, 0, 0, 1}};
    o.vertexCount = 3;
    o.meshCount = 1;
    scene.m_objects.push_back(o);
    scene.m_settings.currentObject = 0;
    // A start that 0.5 does not divide, so that summing ticks and multiplying differ.
    scene.m_settings.rotZ = 0.1f;
    return scene;
}

// The angle about z of the frame the renderer drew last.
float LastTurn(const RecordingGl& gl) {
    const std::vector<GlCall> turns = gl.Named("Rotatef");
    for (auto it = turns.rbegin(); it != turns.rend(); ++it)
        if (it->args[3] == 1.0) return static_cast<float>(it->args[0]);
    return -1;
}

class StepClock final : public FrameClock {
public:
    int64_t now = 0;
    int64_t Ticks() const override { return now; }
};

}  // namespace

TEST(Turntable, NFramesMakeOneWholeTurnTheWayPlayTurns) {
    const struct {
        int frames, k;
        float rotZ;
    } cases[] = {
        {6, 0, 0.1f}, {6, 1, 60.1f},  {6, 5, 300.1f}, {6, 3, 180.1f}, {6, 0, 0.1f},
        {1, 0, 0.1f}, {360, 1, 1.1f}, {720, 1, 0.6f}, {8, 7, 315.1f},
    };
    Scene scene = OneTriangle();
    ViewState view;
    RecordingGl gl;
    RecordingHost frames;
    SceneRenderer renderer(gl, scene, view);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.k << " of " << c.frames);
        scene.m_settings.rotZ = 0.1f;
        Turntable turntable(scene, view, c.frames);
        turntable.GoToFrame(c.k);
        EXPECT_FLOAT_EQ(scene.m_settings.rotZ, c.rotZ);
        const size_t labelsBefore = frames.labels.size();
        frames.RenderScene(renderer);
        EXPECT_FLOAT_EQ(LastTurn(gl), c.rotZ);
        // Frame 0 is the still scene with its label; playing frames leave the label out, as
        // the window's play does.
        EXPECT_EQ(frames.labels.size() - labelsBefore, c.k == 0 ? 1u : 0u);
    }
}

TEST(Turntable, FrameFilesAreNumberedWithAtLeastThreeDigits) {
    EXPECT_EQ(TurntableFrameFile("out/spin", 0, 1), "out/spin-000.png");
    EXPECT_EQ(TurntableFrameFile("spin", 42, 100), "spin-042.png");
    EXPECT_EQ(TurntableFrameFile("spin", 999, 1000), "spin-999.png");
    EXPECT_EQ(TurntableFrameFile("spin", 5, 1001), "spin-0005.png");
    EXPECT_EQ(TurntableFrameFile("spin", 99999, 100000), "spin-99999.png");
    EXPECT_EQ(TurntableFrameFile("out/spin.png", 0, 6), "out/spin-000.png");
    EXPECT_EQ(TurntableFrameFile("SPIN.PNG", 1, 6), "SPIN-001.png");
    EXPECT_EQ(TurntableFrameFile(".png", 0, 6), ".png-000.png");  // a name that is all extension
    EXPECT_EQ(TurntableFrameFile("spin.jpg", 0, 6), "spin.jpg-000.png");
}

TEST(Turntable, ProgressShowsOnlyOnceARunTakesLongerThanASecond) {
    constexpr int64_t kSecond = 10000000;
    StepClock clock;
    std::ostringstream err;
    {
        ProgressLine quick(err, 5, clock);
        clock.now = kSecond;
        quick.Done(1);
        quick.Done(5);
        quick.Finish();
    }
    EXPECT_EQ(err.str(), "");

    ProgressLine slow(err, 3, clock);
    slow.Done(1);
    clock.now += kSecond + 1;
    slow.Done(2);
    slow.Done(3);
    slow.Finish();
    slow.Finish();  // a second end adds nothing
    EXPECT_EQ(err.str(), "\rzemvora: 2 of 3 frames\rzemvora: 3 of 3 frames\n");
}

TEST(RenderOptions, TurntableTakesAFrameCount) {
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(
        ParseRenderOptions({"a.3ds", "--turntable", "36", "--output", "spin"}, options, error))
        << error;
    EXPECT_EQ(options.turntable, 36);
    EXPECT_EQ(options.output, "spin");
    for (const char* bad : {"0", "-3", "x", "12x", "100001", ""}) {
        SCOPED_TRACE(bad);
        RenderOptions o;
        EXPECT_FALSE(ParseRenderOptions({"a.3ds", "--turntable", bad, "--output", "s"}, o, error));
        EXPECT_EQ(error, "--turntable takes a number of frames from 1 to 100000");
    }
    RenderOptions noPrefix;
    EXPECT_FALSE(ParseRenderOptions({"a.3ds", "--turntable", "3"}, noPrefix, error));
    EXPECT_EQ(error, "--render --turntable N needs a file and --output PREFIX");
    RenderOptions noCount;
    EXPECT_FALSE(ParseRenderOptions({"a.3ds", "--output", "s", "--turntable"}, noCount, error));
    EXPECT_EQ(error, "--turntable needs a value");
}

TEST(RenderOptions, NoTexturesDrawsTheFacesInTheirColoursOnly) {
    RenderOptions on, off;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions({"a.3ds", "--output", "a.png"}, on, error));
    ASSERT_TRUE(ParseRenderOptions({"a.3ds", "--no-textures", "--output", "a.png"}, off, error));
    EXPECT_TRUE(RenderViewState(on, Scene()).m_bShowTextures);
    EXPECT_FALSE(RenderViewState(off, Scene()).m_bShowTextures);
}

TEST(RenderOptions, ThumbnailIsASquareOfTheModelsAloneFromTheDefaultViewPoint) {
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(ParseThumbnailOptions({"256", "in.zmv", "out.png"}, options, error)) << error;
    EXPECT_EQ(options.file, "in.zmv");
    EXPECT_EQ(options.output, "out.png");
    EXPECT_EQ(options.width, 256);
    EXPECT_EQ(options.height, 256);
    EXPECT_EQ(options.mode, ModeSmooth);

    // Even a scene with a camera is seen from the default view point, lit by the default lights
    // when it has none, and shows nothing but its models.
    Scene scene;
    scene.m_cameras.emplace_back();
    const ViewState view = RenderViewState(options, scene);
    EXPECT_TRUE(view.m_bDefaultView);
    EXPECT_TRUE(view.m_bDefaultLights);
    EXPECT_EQ(view.m_nProjection, ProjPerspective);
    EXPECT_EQ(view.m_bShowGrid + view.m_bShowBox + view.m_bShowLight + view.m_bShowText, 0);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"0", "a", "b"},
                                               {"4097", "a", "b"},
                                               {"128px", "a", "b"},
                                               {"128", "a"},
                                               {"128", "a", "b", "c"}}) {
        RenderOptions o;
        EXPECT_FALSE(ParseThumbnailOptions(bad, o, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}
