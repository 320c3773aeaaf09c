// Keys, mouse and view-point commands: what each changes and which drawing follows.
#include <gtest/gtest.h>

#include "commands/CommandIds.h"
#include "view/Navigation.h"

namespace {

using Steps = ViewSteps;
const Steps kProjectAndRender = {ViewStep::SetupProjection, ViewStep::RenderScene};
const Steps kRender = {ViewStep::RenderScene};

struct Viewed {
    Scene scene;
    ViewState view;

    explicit Viewed(int objects = 2, bool camera = false) {
        scene.ClearScene();
        for (int i = 0; i < objects; ++i) {
            SceneObject o;
            o.noteX = 100, o.noteY = 50;
            scene.m_objects.push_back(o);
        }
        scene.m_settings.currentObject = objects ? 0 : -1;
        if (camera) {
            SceneCamera c;
            c.posX = 1, c.posY = 2, c.targetX = 3, c.targetY = 4, c.lens = 35;
            scene.m_cameras = {c};
            scene.m_settings.currentCamera = 0;
            view.m_bDefaultView = false;
        }
    }
    const SceneCamera& Camera() const {
        static const SceneCamera none;
        if (scene.m_cameras.empty()) {
            ADD_FAILURE() << "the scene has no camera";
            return none;
        }
        return scene.m_cameras[0];
    }
};

}  // namespace

TEST(NavigationKeys, TabWalksTheObjectsAndWraps) {
    Viewed v(3);
    v.scene.m_settings.currentObject = 2;
    EXPECT_EQ(OnKeyDown(vk::kTab, v.scene, v.view), Steps{ViewStep::TimerPath});
    EXPECT_EQ(v.scene.m_settings.currentObject, 0);
    v.scene.m_settings.currentObject = -1;
    OnKeyDown(vk::kTab, v.scene, v.view);
    EXPECT_EQ(v.scene.m_settings.currentObject, 0);
    OnKeyDown(vk::kTab, v.scene, v.view);
    EXPECT_EQ(v.scene.m_settings.currentObject, 1);

    Viewed empty(0);
    EXPECT_TRUE(OnKeyDown(vk::kTab, empty.scene, empty.view).empty());
    EXPECT_EQ(empty.scene.m_settings.currentObject, -1);
}

TEST(NavigationKeys, CommaAndPeriodZoomTheDefaultViewOrTheCamera) {
    Viewed v;
    EXPECT_EQ(OnKeyDown(vk::kComma, v.scene, v.view), kProjectAndRender);
    EXPECT_EQ(v.view.m_fFovY, 25.5f);
    OnKeyDown(vk::kPeriod, v.scene, v.view);
    OnKeyDown(vk::kPeriod, v.scene, v.view);
    EXPECT_EQ(v.view.m_fFovY, 24.5f);
    EXPECT_FALSE(v.scene.m_bModified);

    Viewed c(1, true);
    OnKeyDown(vk::kComma, c.scene, c.view);
    EXPECT_EQ(c.Camera().lens, 35.5f);
    EXPECT_TRUE(c.scene.m_bModified);
    EXPECT_EQ(c.view.m_fFovY, 25.0f);

    // Default view point turned off, but no camera: the field of view all the same.
    Viewed none;
    none.view.m_bDefaultView = false;
    OnKeyDown(vk::kComma, none.scene, none.view);
    EXPECT_EQ(none.view.m_fFovY, 25.5f);
    EXPECT_EQ(OnKeyDown(vk::kUp, none.scene, none.view), kProjectAndRender);
    EXPECT_FALSE(none.scene.m_bModified);
}

TEST(NavigationKeys, ArrowsMoveOnlyAShownCamera) {
    Viewed c(1, true);
    for (int i = 0; i < 3; ++i)
        OnKeyDown(vk::kUp, c.scene, c.view);
    EXPECT_EQ(c.Camera().posY, 0.5f);
    EXPECT_EQ(c.Camera().targetY, 2.5f);
    EXPECT_TRUE(c.scene.m_bModified);
    OnKeyDown(vk::kRight, c.scene, c.view);
    OnKeyDown(vk::kLeft, c.scene, c.view);
    OnKeyDown(vk::kLeft, c.scene, c.view);
    EXPECT_EQ(c.Camera().posX, 0.5f);
    EXPECT_EQ(c.Camera().targetX, 2.5f);
    OnKeyDown(vk::kDown, c.scene, c.view);
    EXPECT_EQ(c.Camera().posY, 1.0f);

    // With the default view point shown the camera stays and nothing is modified.
    Viewed d(1, true);
    d.view.m_bDefaultView = true;
    OnKeyDown(vk::kUp, d.scene, d.view);
    EXPECT_EQ(d.Camera().posY, 2.0f);
    EXPECT_FALSE(d.scene.m_bModified);
}

TEST(NavigationKeys, ProjectionDragResetDisplayKeysAndPlay) {
    Viewed v;
    OnKeyDown('C', v.scene, v.view);
    EXPECT_EQ(v.view.m_nProjection, ProjTopView);
    OnKeyDown('C', v.scene, v.view);
    EXPECT_EQ(v.view.m_nProjection, ProjPerspective);

    v.scene.m_settings.dragX = 10, v.scene.m_settings.dragY = 4, v.scene.m_settings.rotZ = 30;
    EXPECT_EQ(OnKeyDown('R', v.scene, v.view), kProjectAndRender);
    EXPECT_EQ(v.scene.m_settings.dragX + v.scene.m_settings.dragY, 0.0f);
    EXPECT_EQ(v.scene.m_settings.rotZ, 30.0f);  // what play turned stays

    EXPECT_EQ(OnKeyDown('V', v.scene, v.view), kRender);
    EXPECT_EQ(v.view.m_nDisplayMode, ModeVertex);
    OnKeyDown('W', v.scene, v.view);
    EXPECT_EQ(v.view.m_nDisplayMode, ModeLine);
    OnKeyDown('F', v.scene, v.view);
    EXPECT_EQ(v.view.m_nDisplayMode, ModeFlat);
    OnKeyDown('M', v.scene, v.view);
    EXPECT_EQ(v.view.m_nDisplayMode, ModeSmooth);
    for (const auto& [key, flag] : {std::pair{'B', &v.view.m_bShowBox},
                                    {'G', &v.view.m_bShowGrid},
                                    {'T', &v.view.m_bShowText},
                                    {'L', &v.view.m_bShowLight}}) {
        EXPECT_EQ(OnKeyDown(key, v.scene, v.view), kRender);
        EXPECT_FALSE(*flag) << key;
    }
    EXPECT_EQ(OnKeyDown('P', v.scene, v.view), Steps{ViewStep::TogglePlay});
    EXPECT_TRUE(OnKeyDown('Q', v.scene, v.view).empty());
}

TEST(NavigationMouse, LeftDragTurnsTheScene) {
    Viewed v;
    OnLeftButtonDown(10, 10, v.scene, v.view);
    EXPECT_FALSE(v.view.m_bDragNote);
    EXPECT_EQ(OnMouseMove(20, 7, v.scene, v.view), kRender);
    EXPECT_EQ(v.scene.m_settings.dragX, 10.0f);  // turns the scene 5 degrees about z
    EXPECT_EQ(v.scene.m_settings.dragY, -3.0f);
    OnLeftButtonUp(v.view);
    EXPECT_TRUE(OnMouseMove(30, 7, v.scene, v.view).empty());
    EXPECT_EQ(v.view.m_nLastX, 30);  // the position is followed all the same
    EXPECT_FALSE(v.scene.m_bModified);
}

TEST(NavigationMouse, ThePressOnTheHandleMovesTheNote) {
    Viewed v;
    OnLeftButtonDown(107, 57, v.scene, v.view);  // the handle's last pixel
    EXPECT_TRUE(v.view.m_bDragNote);
    OnMouseMove(112, 54, v.scene, v.view);
    ASSERT_FALSE(v.scene.m_objects.empty());
    EXPECT_EQ(v.scene.m_objects[0].noteX, 105);
    EXPECT_EQ(v.scene.m_objects[0].noteY, 47);
    EXPECT_EQ(v.scene.m_settings.dragX, 0.0f);
    OnLeftButtonUp(v.view);
    EXPECT_FALSE(v.view.m_bDragNote);

    Viewed edge;
    OnLeftButtonDown(108, 50, edge.scene, edge.view);  // just right of the handle
    EXPECT_FALSE(edge.view.m_bDragNote);
    OnMouseMove(110, 50, edge.scene, edge.view);
    EXPECT_EQ(edge.scene.m_settings.dragX, 2.0f);
    OnLeftButtonDown(100, 58, edge.scene, edge.view);  // just below it
    EXPECT_FALSE(edge.view.m_bDragNote);
}

TEST(NavigationMouse, RightDragZoomsAndBothButtonsDoBoth) {
    Viewed v;
    OnRightButtonDown(0, 0, v.view);
    EXPECT_EQ(OnMouseMove(10, 0, v.scene, v.view), kProjectAndRender);
    EXPECT_FLOAT_EQ(v.view.m_fFovY, 27.0f);

    Viewed c(1, true);
    OnRightButtonDown(0, 0, c.view);
    OnMouseMove(10, 0, c.scene, c.view);
    EXPECT_FLOAT_EQ(c.Camera().lens, 37.0f);
    EXPECT_FALSE(c.scene.m_bModified);

    OnLeftButtonDown(10, 0, c.scene, c.view);
    EXPECT_EQ(OnMouseMove(15, 0, c.scene, c.view),
              (Steps{ViewStep::RenderScene, ViewStep::SetupProjection, ViewStep::RenderScene}));
    EXPECT_EQ(c.scene.m_settings.dragX, 5.0f);
    EXPECT_FLOAT_EQ(c.Camera().lens, 38.0f);
    OnRightButtonUp(c.view);
    EXPECT_FALSE(c.view.m_bRightDown);
}

TEST(NavigationMouse, NothingHappensWithoutACurrentObject) {
    Viewed empty(0);
    OnLeftButtonDown(5, 5, empty.scene, empty.view);
    OnRightButtonDown(5, 5, empty.view);
    EXPECT_TRUE(OnMouseMove(50, 50, empty.scene, empty.view).empty());
    EXPECT_EQ(empty.scene.m_settings.dragX, 0.0f);
    EXPECT_EQ(empty.view.m_fFovY, 25.0f);
    EXPECT_EQ(empty.view.m_nLastX, 5);
}

TEST(NavigationCommands, ViewPointCommandsAndTheirChecks) {
    Viewed v(1, true);
    EXPECT_EQ(ViewpointCommandChecked(cmd::kDefaultViewPoint, v.view), false);
    EXPECT_EQ(ApplyViewpointCommand(cmd::kDefaultViewPoint, v.scene, v.view),
              Steps{ViewStep::TimerPath});
    EXPECT_EQ(ViewpointCommandChecked(cmd::kDefaultViewPoint, v.view), true);
    ApplyViewpointCommand(cmd::kTopView, v.scene, v.view);
    EXPECT_EQ(ViewpointCommandChecked(cmd::kTopView, v.view), true);
    EXPECT_EQ(ViewpointCommandChecked(cmd::kCameraView, v.view), false);
    OnKeyDown('C', v.scene, v.view);  // "Top view" then C: perspective, "Camera view" checked
    EXPECT_EQ(ViewpointCommandChecked(cmd::kCameraView, v.view), true);

    SceneSettings& s = v.scene.m_settings;
    s.rotX = 1, s.rotY = 2, s.rotZ = 3, s.dragX = 4, s.dragY = 5;
    v.view.m_fFovY = 40;
    v.view.m_bPlay = true;
    EXPECT_EQ(ApplyViewpointCommand(cmd::kResetViewpoint, v.scene, v.view), kProjectAndRender);
    EXPECT_EQ(s.rotX + s.rotY + s.rotZ + s.dragX + s.dragY, 0.0f);
    EXPECT_EQ(v.view.m_fFovY, 40.0f);
    EXPECT_TRUE(v.view.m_bPlay);  // play goes on from 0
    EXPECT_FALSE(ApplyViewpointCommand(cmd::kOpen, v.scene, v.view).has_value());
    EXPECT_FALSE(ViewpointCommandChecked(cmd::kResetViewpoint, v.view).has_value());
}
