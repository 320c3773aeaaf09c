// The view in a real window under Xvfb: it shows what the headless path draws, plays, and
// carries out its display commands.
#include <gtest/gtest.h>

#include <QTest>

#include "HeadlessRender.h"
#include "ZemvoraView.h"
#include "commands/CommandIds.h"
#include "import3ds/ImportFile.h"
#include "tests/ImageCompare.h"
#include "tests/ScriptedPrompts.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A view of the example scene, shown at a fixed size.
struct ShownView {
    Scene scene;
    ScriptedPrompts prompts;
    CZemvoraView view{scene, prompts};
    std::vector<float> rates;

    ShownView() {
        EXPECT_TRUE(
            ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds", scene)
                .ok);
        view.state().m_bDefaultView = false;
        view.SetFrameRateHandler([this](float fps) { rates.push_back(fps); });
        view.resize(kWidth, kHeight);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        EXPECT_TRUE(view.HasContext());
    }

    QImage Headless() {
        // One thread has one current context: the window's gives way to the headless one.
        view.doneCurrent();
        Scene copy = scene;
        ViewState state = view.state();
        std::string error;
        QImage image = RenderSceneImage(copy, state, kWidth, kHeight, error);
        EXPECT_FALSE(image.isNull()) << error;
        return image;
    }
};

}  // namespace

TEST(GuiView, ShowsWhatTheHeadlessPathDraws) {
    ShownView shown;
    shown.view.state().m_bShowText = false;
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    shown.view.state().m_bShowText = true;
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    shown.view.OnCommand(cmd::kLineMode);
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    // A frame drawn without setting the lights again, after one with a label.
    shown.view.OnCommand(cmd::kSmoothMode);
    shown.view.OnCommand(cmd::kShowBox);
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    // A scene without lights, under the default lights.
    shown.scene.m_lights.clear();
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    // A scene with texture maps and faces in several materials.
    ASSERT_TRUE(
        ImportSceneFile(std::string(ZEMVORA_SOURCE_DIR) + "/tests/data/3ds/assimp/jeep1.3ds",
                        shown.scene)
            .ok);
    shown.view.SceneReplaced();
    EXPECT_EQ(MaxChannelDifference(shown.view.grabFramebuffer(), shown.Headless()), 0);
    EXPECT_TRUE(shown.prompts.notices.empty());
}

TEST(GuiView, DisplayCommandsChangeStateAndPicture) {
    ShownView shown;
    const QImage smooth = shown.view.grabFramebuffer();
    EXPECT_EQ(shown.view.IsCommandChecked(cmd::kSmoothMode), true);
    shown.view.OnCommand(cmd::kVertexMode);
    EXPECT_EQ(shown.view.state().m_nDisplayMode, ModeVertex);
    EXPECT_EQ(shown.view.IsCommandChecked(cmd::kVertexMode), true);
    EXPECT_GT(MaxChannelDifference(shown.view.grabFramebuffer(), smooth), 0);
    for (int id : {cmd::kShowGrid, cmd::kShowLight, cmd::kShowBox, cmd::kShowText}) {
        shown.view.OnCommand(id);
        EXPECT_EQ(shown.view.IsCommandChecked(id), false);
    }
    ASSERT_FALSE(shown.rates.empty());
    EXPECT_GT(shown.rates.back(), 0.0f);
}

TEST(GuiView, PlayTurnsTheSceneAndStoppingKeepsTheAngle) {
    ShownView shown;
    shown.view.OnCommand(cmd::kPlay);
    EXPECT_EQ(shown.view.IsCommandChecked(cmd::kPlay), true);
    EXPECT_TRUE(shown.view.IsPlayTimerActive());
    QTest::qWait(200);
    shown.view.OnCommand(cmd::kPlay);
    const float angle = shown.scene.m_settings.rotZ;
    EXPECT_GT(angle, 0.0f);
    EXPECT_FALSE(shown.view.IsPlayTimerActive());
    EXPECT_EQ(shown.view.IsCommandChecked(cmd::kPlay), false);
    QTest::qWait(100);
    EXPECT_EQ(shown.scene.m_settings.rotZ, angle);

    // Starting again goes on from there; resetting the view state stops it.
    shown.view.OnCommand(cmd::kPlay);
    QTest::qWait(100);
    EXPECT_GT(shown.scene.m_settings.rotZ, angle);
    shown.view.ResetViewState();
    EXPECT_FALSE(shown.view.state().m_bPlay);
    EXPECT_FALSE(shown.view.IsPlayTimerActive());
}

// The font is saved with the scene, so choosing one is a change that Exit asks about.
TEST(GuiView, SetTextFontChangesTheLabelAndMarksTheSceneModified) {
    ShownView shown;
    shown.scene.m_bModified = false;
    LogFont chosen = LogFont::DefaultLabelFont();
    chosen.lfFaceName = "DejaVu Serif";
    chosen.lfHeight = -30;
    chosen.lfItalic = 1;
    shown.prompts.fonts = {chosen, std::nullopt};
    const size_t frames = shown.rates.size();
    shown.view.OnCommand(cmd::kSetTextFont);
    EXPECT_EQ(shown.scene.m_settings.textFont, chosen);
    EXPECT_EQ(shown.view.LabelFont().pixelSize(), 30);
    EXPECT_TRUE(shown.view.LabelFont().italic());
    EXPECT_TRUE(shown.scene.m_bModified);
    EXPECT_GT(shown.rates.size(), frames);

    // Cancelled: nothing changes, but a frame is drawn all the same.
    shown.scene.m_bModified = false;
    const size_t before = shown.rates.size();
    shown.view.OnCommand(cmd::kSetTextFont);
    EXPECT_EQ(shown.scene.m_settings.textFont, chosen);
    EXPECT_FALSE(shown.scene.m_bModified);
    EXPECT_GT(shown.rates.size(), before);
    EXPECT_EQ(shown.prompts.fontDialogs, 2);
}

TEST(GuiView, ResizeSetsTheAspectUnlessTheHeightIsZero) {
    ShownView shown;
    EXPECT_FLOAT_EQ(shown.view.state().m_fAspect, float(kWidth) / float(kHeight));
    shown.view.resize(400, 200);
    QTest::qWait(50);
    shown.view.grabFramebuffer();
    EXPECT_FLOAT_EQ(shown.view.state().m_fAspect, 2.0f);
    shown.view.resize(400, 0);
    QTest::qWait(50);
    EXPECT_FLOAT_EQ(shown.view.state().m_fAspect, 2.0f);
}
