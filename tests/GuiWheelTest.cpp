// The mouse wheel on the view in the real window: a notch zooms as four presses of the zoom keys
// do, with the same drawing, on the default view point and through a camera.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"
#include "tests/ImageCompare.h"
#include "view/Navigation.h"

namespace {

struct Window : GuiWindow {
    int frames = 0;

    Window() {
        frame.LoadFromOutside(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
        frame.View()->SetFrameRateHandler([this](float) { ++frames; });
        frame.scene().m_bModified = false;
    }
    // A turn of the wheel over the middle of the view: positive away from the user.
    void Turn(int angle) {
        CZemvoraView* view = frame.View();
        const QPointF at(view->width() / 2.0, view->height() / 2.0);
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
        // The frame a turn asks for is drawn once the events waiting behind it are handled.
        QCoreApplication::processEvents();
    }
    // What four presses of a key do to the scene and the view as they stand.
    std::pair<Scene, ViewState> FourPresses(int key) {
        Scene scene = frame.scene();
        ViewState view = frame.View()->state();
        for (int i = 0; i < 4; ++i)
            OnKeyDown(key, scene, view);
        return {scene, view};
    }
    // Frames drawn for one key press in the view.
    int FramesOfAKey(Qt::Key key) {
        const int before = frames;
        QTest::keyClick(frame.View(), key);
        QCoreApplication::processEvents();
        return frames - before;
    }
};

}  // namespace

TEST(GuiWheel, ANotchOnACameraIsFourPressesOfComma) {
    Window w;
    CZemvoraView* view = w.frame.View();
    ASSERT_FALSE(view->state().m_bDefaultView);  // the file has a camera
    const QImage before = view->grabFramebuffer();
    const Scene expected = w.FourPresses(vk::kComma).first;
    int frames = w.frames;
    w.Turn(120);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, expected.m_cameras.at(0).lens);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, 47.0f);  // 45 + 2
    EXPECT_TRUE(w.frame.scene().m_bModified);
    const int notchFrames = w.frames - frames;
    EXPECT_EQ(notchFrames, 1);
    EXPECT_GT(MaxChannelDifference(view->grabFramebuffer(), before), 0);
    EXPECT_EQ(notchFrames, w.FramesOfAKey(Qt::Key_Comma));

    // Towards the user: four presses of period, and back where it was.
    const Scene back = w.FourPresses(vk::kPeriod).first;
    frames = w.frames;
    w.Turn(-120);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, back.m_cameras.at(0).lens);
    EXPECT_EQ(w.frames - frames, 1);
}

TEST(GuiWheel, ANotchOnTheDefaultViewPointIsFourPressesOfPeriod) {
    Window w;
    CZemvoraView* view = w.frame.View();
    w.frame.OnCommand(cmd::kDefaultViewPoint);
    ASSERT_TRUE(view->state().m_bDefaultView);
    const float lens = w.frame.scene().m_cameras.at(0).lens;
    const float fov = view->state().m_fFovY;
    const ViewState expected = w.FourPresses(vk::kPeriod).second;
    const int frames = w.frames;
    w.Turn(120);
    EXPECT_EQ(view->state().m_fFovY, expected.m_fFovY);
    EXPECT_FLOAT_EQ(view->state().m_fFovY, fov - 2);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, lens);
    EXPECT_FALSE(w.frame.scene().m_bModified);
    const int notchFrames = w.frames - frames;
    EXPECT_EQ(notchFrames, 1);

    const ViewState back = w.FourPresses(vk::kComma).second;
    w.Turn(-120);
    EXPECT_EQ(view->state().m_fFovY, back.m_fFovY);
    EXPECT_FLOAT_EQ(view->state().m_fFovY, fov);
    EXPECT_EQ(notchFrames, w.FramesOfAKey(Qt::Key_Period));
}

TEST(GuiWheel, PartsOfANotchAddUpBeforeAnythingIsDrawn) {
    Window w;
    CZemvoraView* view = w.frame.View();
    w.frame.OnCommand(cmd::kDefaultViewPoint);
    const float fov = view->state().m_fFovY;
    const int frames = w.frames;
    w.Turn(40);
    w.Turn(40);
    EXPECT_EQ(view->state().m_fFovY, fov);
    EXPECT_EQ(w.frames, frames);
    w.Turn(40);
    EXPECT_FLOAT_EQ(view->state().m_fFovY, fov - 2);
    EXPECT_EQ(w.frames, frames + 1);
    // Two notches in one report zoom twice.
    w.Turn(240);
    EXPECT_FLOAT_EQ(view->state().m_fFovY, fov - 6);
    // A sideways turn does nothing.
    CZemvoraView* shown = w.frame.View();
    QWheelEvent sideways(QPointF(10, 10), shown->mapToGlobal(QPointF(10, 10)), QPoint(),
                         QPoint(120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(shown, &sideways);
    EXPECT_FLOAT_EQ(view->state().m_fFovY, fov - 6);
}
