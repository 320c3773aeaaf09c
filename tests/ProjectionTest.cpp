// The numbers of the picture: eye point, fields of view, top view box, grid and marker sizes,
// all in single precision.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/RecordingGl.h"
#include "view/DrawGeometry.h"
#include "view/Projection.h"

namespace {

Scene ClearedScene() {
    Scene scene;
    scene.ClearScene();
    return scene;
}

SceneCamera Camera(float lens) {
    SceneCamera c;
    c.posX = 1, c.posY = 2, c.posZ = 3, c.targetX = 4, c.targetY = 5, c.targetZ = 6;
    c.lens = lens;
    return c;
}

}  // namespace

TEST(Projection, DefaultEyePointOfTheClearedScene) {
    const Scene scene = ClearedScene();
    const EyePoint e = DefaultEyePoint(scene.m_settings);
    EXPECT_EQ(e.eye[0], 390.0f);
    EXPECT_EQ(e.eye[1], -390.0f);
    EXPECT_EQ(e.eye[2], 228.0f);
    EXPECT_EQ(e.center[0], 0.0f);
    EXPECT_EQ(e.center[1], 0.0f);
    EXPECT_EQ(e.center[2], 0.0f);
}

TEST(Projection, PerspectiveCallsThroughTheDefaultViewAndACamera) {
    Scene scene = ClearedScene();
    ViewState view;
    view.m_fAspect = 4.0f / 3.0f;
    RecordingGl gl;
    RecordingHost host;
    SceneRenderer renderer(gl, scene, view);
    renderer.SetupProjection(host.width, host.height);
    ASSERT_EQ(gl.calls.size(), 5u);
    EXPECT_TRUE(gl.calls[0].Is("MatrixMode", {GL_PROJECTION}));
    EXPECT_TRUE(gl.calls[1].Is("LoadIdentity", {}));
    EXPECT_TRUE(gl.calls[2].Is("Perspective", {25.0, double(4.0f / 3.0f), 1.0, 100000.0}));
    EXPECT_TRUE(gl.calls[3].Is("LookAt", {390, -390, 228, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(gl.calls[4].Is("MatrixMode", {GL_MODELVIEW}));

    // Through a camera of lens 50: 2 atan(20 / 50) in degrees.
    scene.m_cameras = {Camera(50)};
    scene.m_settings.currentCamera = 0;
    view.m_bDefaultView = 0;
    gl.calls.clear();
    renderer.SetupProjection(host.width, host.height);
    EXPECT_NEAR(view.m_fFovY, 43.6028, 1e-4);
    EXPECT_EQ(view.m_fFovY, std::atan(20.0f / 50.0f) * 114.59156f);
    ASSERT_GE(gl.calls.size(), 4u);
    EXPECT_TRUE(gl.calls[3].Is("LookAt", {1, 2, 3, 4, 5, 6, 0, 0, 1}));

    // Camera -1 falls back to the default view point, keeping the last field of view.
    scene.m_settings.currentCamera = -1;
    gl.calls.clear();
    renderer.SetupProjection(host.width, host.height);
    ASSERT_GE(gl.calls.size(), 4u);
    EXPECT_TRUE(gl.calls[3].Is("LookAt", {390, -390, 228, 0, 0, 0, 0, 0, 1}));
    ASSERT_FALSE(gl.calls[2].args.empty());
    EXPECT_EQ(gl.calls[2].args[0], double(view.m_fFovY));
    // With the default view point turned on, the camera is not used either.
    scene.m_settings.currentCamera = 0;
    view.m_bDefaultView = 1;
    EXPECT_TRUE(ShowsDefaultView(scene, view));
}

TEST(Projection, TopViewBox) {
    Scene scene = ClearedScene();
    ViewState view;
    view.m_nProjection = ProjTopView;
    RecordingGl gl;
    RecordingHost host;
    SceneRenderer renderer(gl, scene, view);
    renderer.SetupProjection(host.width, host.height);
    ASSERT_EQ(gl.calls.size(), 4u);
    EXPECT_TRUE(gl.calls[2].Is("Ortho", {-300, 300, -225, 225, -300, 300}));
    EXPECT_EQ(gl.Count("LookAt"), 0u);

    // A camera still sets the field of view in the top view.
    scene.m_cameras = {Camera(50)};
    scene.m_settings.currentCamera = 0;
    view.m_bDefaultView = 0;
    renderer.SetupProjection(host.width, host.height);
    EXPECT_NEAR(view.m_fFovY, 43.6028, 1e-4);

    // A window of no width squashes the box to a line; any other projection value does nothing.
    const OrthoBox flat = TopViewBox(scene.m_settings, 0, 300);
    EXPECT_EQ(flat.bottom, 0.0f);
    EXPECT_EQ(flat.top, 0.0f);
    view.m_nProjection = 1;
    gl.calls.clear();
    renderer.SetupProjection(host.width, host.height);
    EXPECT_TRUE(gl.calls.empty());
}

TEST(Projection, GridAndMarkerSizes) {
    const Scene scene = ClearedScene();
    EXPECT_EQ(BoundsSize(scene.m_settings), 600.0f);
    EXPECT_EQ(GridSpacing(scene.m_settings), 20.0f);
    EXPECT_NEAR(MarkerSize(scene.m_settings), 2.564, 1e-3);
    EXPECT_EQ(MarkerSize(scene.m_settings), 600.0f / 6.0f / 39.0f);
}
