// The numbers of the picture: eye point, fields of view, top view box, grid and marker sizes,
// all in single precision; the thumbnail's view fitted to the models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "commands/CommandIds.h"
#include "import3ds/ImportFile.h"
#include "import3ds/Read3DS.h"
#include "scene/SceneFile.h"
#include "tests/RecordingGl.h"
#include "tests/TestFiles.h"
#include "tools/Chunk3ds.h"
#include "view/DrawGeometry.h"
#include "view/FitWholeScene.h"
#include "view/FittedView.h"
#include "view/Navigation.h"
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
    view.m_bDefaultView = false;
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
    view.m_bDefaultView = true;
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
    view.m_bDefaultView = false;
    renderer.SetupProjection(host.width, host.height);
    EXPECT_NEAR(view.m_fFovY, 43.6028, 1e-4);

    // A window of no width squashes the box to a line; any other projection value does nothing.
    const OrthoBox flat = TopViewBox(scene.m_settings, 0, 300);
    EXPECT_EQ(flat.bottom, 0.0f);
    EXPECT_EQ(flat.top, 0.0f);
    view.m_nProjection = static_cast<ProjectionKind>(1);
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

// Where a vertex lands in a fitted view: x and y of the picture in -1..1, and its depth.
struct Landing {
    double x, y, depth;
};

Landing Project(const FittedEye& f, float fovY, float aspect, const double v[3]) {
    double fwd[3], side[3], up[3], d[3];
    for (int i = 0; i < 3; ++i) {
        fwd[i] = f.eye.center[i] - f.eye.eye[i];
        d[i] = v[i] - f.eye.eye[i];
    }
    auto normalize = [](double a[3]) {
        const double l = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        for (int i = 0; i < 3; ++i)
            a[i] /= l;
    };
    normalize(fwd);
    side[0] = fwd[1], side[1] = -fwd[0], side[2] = 0;  // fwd x (0, 0, 1)
    normalize(side);
    up[0] = side[1] * fwd[2] - side[2] * fwd[1];
    up[1] = side[2] * fwd[0] - side[0] * fwd[2];
    up[2] = side[0] * fwd[1] - side[1] * fwd[0];
    const double depth = d[0] * fwd[0] + d[1] * fwd[1] + d[2] * fwd[2];
    const double t = std::tan(fovY / 2 * 3.14159265358979 / 180);
    return {(d[0] * side[0] + d[1] * side[1] + d[2] * side[2]) / (depth * t * aspect),
            (d[0] * up[0] + d[1] * up[1] + d[2] * up[2]) / (depth * t), depth};
}

TEST(FittedView, EveryVertexOfRealFilesLandsInsideThePictureWhichItFills) {
    const struct {
        const char* file;
        float rotX, rotZ, aspect;
    } cases[] = {
        {"celestia/apollo.3ds", 0, 0, 1},   {"assimp/jeep1.3ds", 0, 0, 1},
        {"qt3d/monkey.3ds", 30, 75, 1},     {"qt3d/lunar-lander.3ds", 0, 0, 0.5f},
        {"assimp/fels.3ds", -20, 10, 2.0f}, {"online3dviewer/cube_two_instances.3ds", 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Scene scene;
        ASSERT_TRUE(ImportSceneFile(testfiles::TestData(c.file), scene).ok);
        scene.m_settings.rotX = c.rotX;
        scene.m_settings.rotZ = c.rotZ;
        BoundingSphere sphere;
        FittedEye fitted;
        ASSERT_TRUE(SceneBoundingSphere(scene, sphere));
        ASSERT_TRUE(FitSphereInView(sphere, 25.0f, c.aspect, fitted));
        // The direction is the default view point's.
        const EyePoint plain = DefaultEyePoint(scene.m_settings);
        double fittedDir[3], plainDir[3];
        for (int i = 0; i < 3; ++i) {
            fittedDir[i] = fitted.eye.eye[i] - fitted.eye.center[i];
            plainDir[i] = plain.eye[i] - plain.center[i];
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(fittedDir[i] / std::hypot(fittedDir[0], fittedDir[1], fittedDir[2]),
                        plainDir[i] / std::hypot(plainDir[0], plainDir[1], plainDir[2]), 1e-4);

        double widest = 0;
        const double ax = c.rotX * 3.14159265358979 / 180, az = c.rotZ * 3.14159265358979 / 180;
        for (const SceneObject& o : scene.m_objects) {
            for (const SceneVertex& v : o.vertices) {
                // Turned as the renderer turns it: about z first, then about x.
                const double x1 = std::cos(az) * v.x - std::sin(az) * v.y;
                const double y1 = std::sin(az) * v.x + std::cos(az) * v.y;
                const double p[3] = {x1, std::cos(ax) * y1 - std::sin(ax) * v.z,
                                     std::sin(ax) * y1 + std::cos(ax) * v.z};
                const Landing l = Project(fitted, 25.0f, c.aspect, p);
                ASSERT_LE(std::abs(l.x), 1.0);
                ASSERT_LE(std::abs(l.y), 1.0);
                ASSERT_GT(l.depth, fitted.zNear);
                ASSERT_LT(l.depth, fitted.zFar);
                widest = std::max({widest, std::abs(l.x), std::abs(l.y)});
            }
        }
        // In a square the model reaches well towards the edges (a sphere is loose on most models).
        if (c.aspect == 1) {
            EXPECT_GT(widest, 0.7);
        }
    }
    // A scene without a finite vertex has no sphere; a single point gets a picture around it.
    Scene empty;
    BoundingSphere sphere;
    EXPECT_FALSE(SceneBoundingSphere(empty, sphere));
    FittedEye fitted;
    EXPECT_TRUE(FitSphereInView(BoundingSphere{}, 25.0f, 1.0f, fitted));
    sphere.radius = 3e38f;
    EXPECT_FALSE(FitSphereInView(sphere, 25.0f, 1.0f, fitted));
}

// A file's coordinates that are not numbers stay in its vertices, but never reach the eye point:
// the view frames the finite vertices, from a .3ds file, a scene file that says its bounds are
// infinite, a camera placed at infinity or a copy whose matrix ends in infinity.
TEST(Projection, CoordinatesThatAreNotNumbersNeverReachTheEye) {
    const float inf = INFINITY, nan = NAN;
    const std::vector<uint8_t> file = build3ds::File(
        {build3ds::MeshObject("Box", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {inf, 0, 0}, {nan, 2, 2}},
                              {{0, 1, 2, 7}, {0, 3, 4, 7}}, "")});
    Scene imported;
    InputStream in(file.data(), file.size());
    ASSERT_EQ(Read3DS(in, imported), Read3dsResult::Read);
    ASSERT_EQ(imported.m_objects.size(), 1u);
    EXPECT_EQ(imported.m_objects[0].vertices[3].x, inf);
    EXPECT_TRUE(std::isnan(imported.m_objects[0].vertices[4].x));

    const auto saved = [](const Scene& scene) {
        std::vector<uint8_t> bytes;
        OutputStream out(bytes);
        WriteScene(out, scene);
        Scene read;
        InputStream back(bytes.data(), bytes.size());
        EXPECT_EQ(ReadScene(back, read), ReadSceneResult::Read);
        return read;
    };
    Scene infiniteBounds = imported;
    infiniteBounds.m_settings.maxY = inf;
    infiniteBounds.m_objects[0].minZ = -inf;
    Scene atInfinity = imported;
    SceneCamera camera;
    camera.posX = inf, camera.targetY = nan, camera.lens = 50;
    atInfinity.m_cameras = {camera};
    atInfinity.m_settings.currentCamera = 0;
    Scene infiniteCopy = imported;
    PlacedCopy copy;
    copy.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, inf, 0, 0, 1};
    infiniteCopy.m_objects[0].copies = {copy};
    const struct {
        const char* what;
        Scene scene;
    } cases[] = {
        {"imported", imported},
        {"saved and read", saved(imported)},
        {"said to be infinite", saved(infiniteBounds)},
        {"camera at infinity", atInfinity},
        {"copy at infinity", infiniteCopy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SceneSettings& s = c.scene.m_settings;
        const SceneObject& o = c.scene.m_objects[0];
        EXPECT_EQ(std::vector<float>({s.minX, s.maxX, s.minY, s.maxY, s.minZ, s.maxZ}),
                  std::vector<float>({0, 1, 0, 1, 0, 0}));
        EXPECT_EQ(std::vector<float>({o.minX, o.maxX, o.minZ, o.maxZ, o.centerX}),
                  std::vector<float>({0, 1, 0, 0, 0.5f}));
        ViewState state;
        const ProjectionSetup setup = ComputeProjection(c.scene, state, 320, 240);
        for (float v : {setup.eye.eye[0], setup.eye.eye[1], setup.eye.eye[2], setup.eye.center[0],
                        setup.eye.center[1], setup.eye.center[2], setup.fovY})
            EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(setup.eye.center[0], 0.5f);
    }
}

// Fit whole scene, at the default view point and through a camera: every vertex lands in the
// picture within the depth range, the eye keeps its direction, and the depth range holds the
// scene wherever the eye goes afterwards; turning, the picture holds every turn.
TEST(FittedView, FitWholeSceneBringsEveryVertexIntoThePicture) {
    // A flat grid far from the origin and a tall thin post: the default eye point, made for the
    // scene's box, cuts both off.
    const auto grid = [](float x0, float y0, float size, float height) {
        Scene scene;
        scene.ClearScene();
        SceneObject o;
        for (int i = 0; i <= 10; ++i)
            for (int j = 0; j <= 10; ++j)
                o.vertices.push_back({x0 + size * i / 10, y0 + size * j / 10,
                                      height * static_cast<float>((i + j) % 2), 0, 0, 1});
        o.vertexCount = static_cast<int32_t>(o.vertices.size());
        o.maxX = x0 + size, o.minX = x0, o.maxY = y0 + size, o.minY = y0, o.maxZ = height;
        scene.m_objects = {o};
        scene.m_settings.maxX = o.maxX, scene.m_settings.minX = o.minX;
        scene.m_settings.maxY = o.maxY, scene.m_settings.minY = o.minY;
        scene.m_settings.maxZ = height;
        return scene;
    };
    const struct {
        const char* what;
        Scene scene;
        bool camera;
        float aspect;
    } cases[] = {
        {"flat grid", grid(500, -300, 2000, 0), false, 1.6f},
        {"tall post", grid(0, 0, 1, 300), false, 0.5f},
        {"grid through a camera", grid(500, -300, 2000, 0), true, 1.3f},
        {"small, far from the origin", grid(1e4f, 1e4f, 0.01f, 0.001f), false, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene = c.scene;
        ViewState view;
        view.m_fAspect = c.aspect;
        if (c.camera) {
            SceneCamera camera;
            camera.posX = -50, camera.posY = 20, camera.posZ = 100, camera.lens = 35;
            scene.m_cameras = {camera};
            scene.m_settings.currentCamera = 0;
            view.m_bDefaultView = false;
        }
        ASSERT_TRUE(FitWholeScene(scene, view));
        EXPECT_TRUE(view.m_bFitted);
        EXPECT_EQ(scene.m_bModified, c.camera);
        ProjectionSetup setup = ComputeProjection(scene, view, 800, 600);
        const float fovY = c.camera ? CameraFieldOfView(35) : view.m_fFovY;
        FittedEye seen;
        seen.eye = setup.eye;
        for (const SceneVertex& v : scene.m_objects[0].vertices) {
            const double p[3] = {v.x, v.y, v.z};
            const Landing l = Project(seen, fovY, c.aspect, p);
            ASSERT_LE(std::abs(l.x), 1.0);
            ASSERT_LE(std::abs(l.y), 1.0);
            ASSERT_GT(l.depth, setup.zNear);
            ASSERT_LT(l.depth, setup.zFar);
        }
        if (c.camera) {
            // The camera looked from (-50, 20, 100) towards the origin, and still does.
            const SceneCamera& moved = scene.m_cameras[0];
            const double d[3] = {moved.posX - moved.targetX, moved.posY - moved.targetY,
                                 moved.posZ - moved.targetZ};
            const double length = std::hypot(d[0], d[1], d[2]);
            const double was = std::hypot(-50.0, 20.0, 100.0);
            EXPECT_NEAR(d[0] / length, -50 / was, 1e-5);
            EXPECT_NEAR(d[2] / length, 100 / was, 1e-5);
            // Moved back far, the eye still sees the scene within the depth range.
            scene.m_cameras[0].posX *= 3, scene.m_cameras[0].posY *= 3;
            setup = ComputeProjection(scene, view, 800, 600);
            EXPECT_GT(setup.zFar, std::hypot(scene.m_cameras[0].posX, scene.m_cameras[0].posY,
                                             scene.m_cameras[0].posZ));
        }
    }
    // Turning: the sphere round every turn about z, centred on the axis.
    Scene turning = grid(500, -300, 100, 0);
    ViewState view;
    ASSERT_TRUE(FitWholeScene(turning, view, true));
    EXPECT_EQ(view.m_fittedCenter[0], 0);
    EXPECT_EQ(view.m_fittedCenter[1], 0);
    // Nothing to fit: nothing changes; the default view point drops the fit.
    Scene empty;
    empty.ClearScene();
    ViewState plain;
    EXPECT_FALSE(FitWholeScene(empty, plain));
    EXPECT_FALSE(plain.m_bFitted);
    ApplyViewpointCommand(cmd::kDefaultViewPoint, turning, view);
    EXPECT_FALSE(view.m_bFitted);
}
