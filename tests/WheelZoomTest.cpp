// The mouse wheel: a notch against four presses of the zoom keys, and the adding up of a
// high-resolution wheel's partial notches.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "view/Navigation.h"
#include "view/Projection.h"
#include "view/WheelZoom.h"

namespace {

const ViewSteps kProjectAndRender = {ViewStep::SetupProjection, ViewStep::RenderScene};

// A scene with one object, seen from the default view point or through a camera.
struct Viewed {
    Scene scene;
    ViewState view;

    explicit Viewed(bool camera) {
        scene.ClearScene();
        scene.m_objects.push_back(SceneObject{});
        scene.m_settings.currentObject = 0;
        view.m_fFovY = 25.3f;  // not a multiple of the key's step
        if (camera) {
            SceneCamera c;
            c.lens = 35.123f;
            scene.m_cameras = {c};
            scene.m_settings.currentCamera = 0;
            view.m_bDefaultView = false;
        }
        scene.m_bModified = false;
    }
    void Press(int key, int times) {
        for (int i = 0; i < times; ++i)
            OnKeyDown(key, scene, view);
    }
    float Lens() const { return scene.m_cameras.at(0).lens; }
};

}  // namespace

TEST(WheelZoom, ANotchOnTheDefaultViewPointIsFourPressesOfPeriodOrComma) {
    Viewed wheel(false), keys(false);
    EXPECT_EQ(OnWheelNotches(1, wheel.scene, wheel.view), kProjectAndRender);
    keys.Press(vk::kPeriod, 4);
    EXPECT_EQ(wheel.view.m_fFovY, keys.view.m_fFovY);
    EXPECT_FLOAT_EQ(wheel.view.m_fFovY, 25.3f - 2);
    EXPECT_FALSE(wheel.scene.m_bModified);  // the view's angle is no part of the scene

    OnWheelNotches(-1, wheel.scene, wheel.view);
    keys.Press(vk::kComma, 4);
    EXPECT_EQ(wheel.view.m_fFovY, keys.view.m_fFovY);
    EXPECT_FLOAT_EQ(wheel.view.m_fFovY, 25.3f);
}

TEST(WheelZoom, ANotchOnACameraIsFourPressesOfCommaOrPeriod) {
    Viewed wheel(true), keys(true);
    EXPECT_EQ(OnWheelNotches(1, wheel.scene, wheel.view), kProjectAndRender);
    keys.Press(vk::kComma, 4);
    EXPECT_EQ(wheel.Lens(), keys.Lens());
    EXPECT_FLOAT_EQ(wheel.Lens(), 35.123f + 2);
    EXPECT_TRUE(wheel.scene.m_bModified);
    EXPECT_EQ(wheel.view.m_fFovY, 25.3f);  // the camera's lens, not the default view's angle

    wheel.scene.m_bModified = false;
    OnWheelNotches(-1, wheel.scene, wheel.view);
    keys.Press(vk::kPeriod, 4);
    EXPECT_EQ(wheel.Lens(), keys.Lens());
    EXPECT_TRUE(wheel.scene.m_bModified);
}

TEST(WheelZoom, ACameraThatIsNotThereLeavesTheDefaultViewPoint) {
    Viewed wheel(true);
    wheel.scene.m_settings.currentCamera = 5;
    OnWheelNotches(1, wheel.scene, wheel.view);
    EXPECT_FLOAT_EQ(wheel.view.m_fFovY, 25.3f - 2);
    EXPECT_EQ(wheel.Lens(), 35.123f);
    EXPECT_FALSE(wheel.scene.m_bModified);
}

TEST(WheelZoom, EachNotchIsDrawnAndNoneAsksForNothing) {
    Viewed wheel(false), keys(false);
    const ViewSteps three = OnWheelNotches(-3, wheel.scene, wheel.view);
    EXPECT_EQ(three, (ViewSteps{ViewStep::SetupProjection, ViewStep::RenderScene,
                                ViewStep::SetupProjection, ViewStep::RenderScene,
                                ViewStep::SetupProjection, ViewStep::RenderScene}));
    keys.Press(vk::kComma, 12);
    EXPECT_EQ(wheel.view.m_fFovY, keys.view.m_fFovY);
    EXPECT_TRUE(OnWheelNotches(0, wheel.scene, wheel.view).empty());
    EXPECT_EQ(wheel.view.m_fFovY, keys.view.m_fFovY);
    // However many notches are asked for, only a bounded number are drawn.
    EXPECT_EQ(OnWheelNotches(INT_MIN, wheel.scene, wheel.view).size(), 2u * kMostNotchesAtOnce);
    EXPECT_EQ(OnWheelNotches(INT_MAX, wheel.scene, wheel.view).size(), 2u * kMostNotchesAtOnce);
}

TEST(WheelNotches, WholeNotchesCountAtOnce) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.Add(120), 1);
    EXPECT_EQ(wheel.Add(-120), -1);
    EXPECT_EQ(wheel.Add(240), 2);
    EXPECT_EQ(wheel.Add(0), 0);
    EXPECT_EQ(wheel.Partial(), 0);
}

TEST(WheelNotches, PartsOfANotchAddUpAndTheRestWaits) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(50), 1);
    EXPECT_EQ(wheel.Partial(), 10);
    EXPECT_EQ(wheel.Add(110), 1);
    EXPECT_EQ(wheel.Partial(), 0);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(wheel.Add(-30), i % 4 == 3 ? -1 : 0) << i;
    EXPECT_EQ(wheel.Partial(), -90);
}

TEST(WheelNotches, TurningBackDropsWhatWasLeftOver) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.Add(100), 0);
    // Without dropping the 100, this would take 220 units to count.
    EXPECT_EQ(wheel.Add(-120), -1);
    EXPECT_EQ(wheel.Add(-100), 0);
    EXPECT_EQ(wheel.Add(120), 1);
    EXPECT_EQ(wheel.Partial(), 0);
}

TEST(WheelNotches, AHugeTurnIsBounded) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.Add(INT_MAX), kMostNotchesAtOnce);
    EXPECT_LT(wheel.Partial(), kWheelNotch);
    EXPECT_EQ(wheel.Add(INT_MIN), -kMostNotchesAtOnce);
    EXPECT_GT(wheel.Partial(), -kWheelNotch);
    EXPECT_EQ(wheel.Add(INT_MIN), -kMostNotchesAtOnce);
    EXPECT_GT(wheel.Partial(), -kWheelNotch);
}

// Turned on and on, the wheel stops where the picture would turn upside down or shrink to a
// point, on the default view point and through a camera; turned back, it zooms again. A camera
// whose lens already turns the picture over is brought back towards upright.
TEST(WheelZoom, TheWheelStopsWhereThePictureWouldFlip) {
    const struct {
        bool camera;
        int notches;
        float lens;  // of the camera, when there is one
    } cases[] = {
        {false, 5000, 0}, {false, -5000, 0}, {true, 5000, 35}, {true, -5000, 35}, {true, 1, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.camera << " " << c.notches << " " << c.lens);
        Viewed wheel(c.camera);
        if (c.camera) wheel.scene.m_cameras[0].lens = c.lens;
        const auto angle = [&] {
            return c.camera ? CameraFieldOfView(wheel.Lens()) : wheel.view.m_fFovY;
        };
        const int step = c.notches > 0 ? 1 : -1;
        for (int n = 0; n < std::abs(c.notches); ++n) {
            const float before = c.camera ? wheel.Lens() : wheel.view.m_fFovY;
            OnWheelNotches(step, wheel.scene, wheel.view);
            if (c.lens < 0) {
                EXPECT_GT(wheel.Lens(), before);  // towards upright
                continue;
            }
            ASSERT_GE(angle(), 1.0f);
            ASSERT_LE(angle(), 179.0f);
        }
        if (c.lens < 0) continue;
        // At the bound a notch asks for nothing; turned back, it zooms again.
        EXPECT_TRUE(OnWheelNotches(step, wheel.scene, wheel.view).empty());
        const float atBound = angle();
        EXPECT_EQ(OnWheelNotches(-step, wheel.scene, wheel.view), kProjectAndRender);
        EXPECT_NE(angle(), atBound);
    }
}
