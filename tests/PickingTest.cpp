// Click to select: the object under a pixel, nearest along the line of sight, in perspective
// from the default view point or a camera, in the top view and with the scene turned.
#include <gtest/gtest.h>

#include <cmath>

#include "view/Picking.h"
#include "view/Projection.h"

namespace {

constexpr int kWidth = 400, kHeight = 300;

// A square of side 2 s at height z, centred on (x, y), as two triangles.
SceneObject Square(const std::string& name, float x, float y, float z, float s) {
    SceneObject o;
    o.name = name;
    o.vertices = {{x - s, y - s, z, 0, 0, 1},
                  {x + s, y - s, z, 0, 0, 1},
                  {x + s, y + s, z, 0, 0, 1},
                  {x - s, y + s, z, 0, 0, 1}};
    o.meshes = {{0, 1, 2, 0, 0, 0, 1}, {0, 2, 3, 0, 0, 0, 1}};
    o.vertexCount = 4, o.meshCount = 2;
    o.minX = x - s, o.maxX = x + s, o.minY = y - s, o.maxY = y + s, o.minZ = o.maxZ = z;
    return o;
}

// Where a point of the objects is drawn, in pixels: turned as the scene is, then projected.
std::pair<int, int> PixelOf(const Scene& scene, const ViewState& view, const double p[3]) {
    ViewState state = view;
    const ProjectionSetup setup = ComputeProjection(scene, state, kWidth, kHeight);
    const SceneSettings& s = scene.m_settings;
    double q[3] = {p[0], p[1], p[2]};
    const auto turn = [&q](double degrees, int axis) {
        const double r = degrees * 3.14159265358979 / 180, c = std::cos(r), n = std::sin(r);
        const int a = (axis + 1) % 3, b = (axis + 2) % 3;
        const double qa = q[a], qb = q[b];
        q[a] = c * qa - n * qb;
        q[b] = n * qa + c * qb;
    };
    turn(s.rotZ, 2), turn(s.rotY, 1), turn(s.rotX, 0);
    if (setup.kind == ProjTopView) {
        const OrthoBox& o = setup.ortho;
        return {static_cast<int>((q[0] - o.left) / (o.right - o.left) * kWidth),
                static_cast<int>((o.top - q[1]) / (o.top - o.bottom) * kHeight)};
    }
    double f[3], side[3], up[3], d[3];
    for (int i = 0; i < 3; ++i) {
        f[i] = setup.eye.center[i] - setup.eye.eye[i];
        d[i] = q[i] - setup.eye.eye[i];
    }
    const double fl = std::hypot(f[0], f[1], f[2]);
    for (double& v : f)
        v /= fl;
    side[0] = f[1], side[1] = -f[0], side[2] = 0;
    const double sl = std::hypot(side[0], side[1]);
    side[0] /= sl, side[1] /= sl;
    up[0] = side[1] * f[2], up[1] = -side[0] * f[2], up[2] = side[0] * f[1] - side[1] * f[0];
    const double depth = d[0] * f[0] + d[1] * f[1] + d[2] * f[2];
    const double t = std::tan(setup.fovY / 2 * 3.14159265358979 / 180);
    const double x = (d[0] * side[0] + d[1] * side[1]) / (depth * t * setup.aspect);
    const double y = (d[0] * up[0] + d[1] * up[1] + d[2] * up[2]) / (depth * t);
    return {static_cast<int>((x + 1) / 2 * kWidth), static_cast<int>((1 - y) / 2 * kHeight)};
}

}  // namespace

TEST(Picking, TheNearestDrawnObjectUnderThePixelIsPicked) {
    Scene scene;
    scene.ClearScene();
    // A small square above the middle of a large one, and one off to the side.
    scene.m_objects = {Square("Floor", 0, 0, 0, 50), Square("Lid", 0, 0, 20, 10),
                       Square("Side", 120, 0, 0, 10)};
    scene.m_settings.minX = -50, scene.m_settings.maxX = 130;
    scene.m_settings.minY = -50, scene.m_settings.maxY = 50, scene.m_settings.maxZ = 20;
    SceneCamera camera;
    camera.posX = 0, camera.posY = -300, camera.posZ = 300, camera.lens = 35;
    scene.m_cameras = {camera};
    const struct {
        const char* what;
        bool camera, top;
        float rotZ;
        double point[3];
        int picked;
    } cases[] = {
        {"the lid over the floor", false, false, 0, {0, 0, 20}, 1},
        {"the floor beside the lid", false, false, 0, {-40, -40, 0}, 0},
        {"the side square", false, false, 0, {120, 0, 0}, 2},
        {"turned a quarter", false, false, 90, {120, 0, 0}, 2},
        {"through a camera", true, false, 0, {0, 0, 20}, 1},
        {"from above", false, true, 0, {-40, 40, 0}, 0},
        {"the lid from above", false, true, 0, {5, 5, 20}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ViewState view;
        view.m_fAspect = static_cast<float>(kWidth) / kHeight;
        view.m_bDefaultView = !c.camera;
        view.m_nProjection = c.top ? ProjTopView : ProjPerspective;
        scene.m_settings.currentCamera = c.camera ? 0 : -1;
        scene.m_settings.rotZ = c.rotZ;
        const auto [x, y] = PixelOf(scene, view, c.point);
        ASSERT_TRUE(x >= 0 && x < kWidth && y >= 0 && y < kHeight) << x << "," << y;
        EXPECT_EQ(PickObject(scene, view, kWidth, kHeight, x, y), c.picked);
    }
    // Empty space, a view of no size, and a scene without objects pick nothing.
    ViewState view;
    view.m_fAspect = static_cast<float>(kWidth) / kHeight;
    scene.m_settings.rotZ = 0;
    EXPECT_EQ(PickObject(scene, view, kWidth, kHeight, 0, 0), -1);
    EXPECT_EQ(PickObject(scene, view, 0, 0, 0, 0), -1);
    Scene empty;
    empty.ClearScene();
    EXPECT_EQ(PickObject(empty, view, kWidth, kHeight, kWidth / 2, kHeight / 2), -1);
}

TEST(Picking, HiddenObjectsAreNotPickedAndAnUprightSceneWhereItIsDrawn) {
    Scene scene;
    scene.ClearScene();
    // Two squares standing in x-z planes, as a +Y-up model has its floors: y = 0 and y = -40.
    scene.m_objects = {Square("Upper", 0, 0, 0, 60), Square("Lower", 0, 0, -40, 60)};
    SceneSettings& s = scene.m_settings;
    s.minX = s.minZ = -60, s.maxX = s.maxZ = 60, s.minY = -40, s.maxY = 0;
    for (SceneObject& o : scene.m_objects) {
        for (SceneVertex& v : o.vertices)
            std::swap(v.y, v.z);
        o.minY = o.maxY = o.vertices[0].y;
        o.minZ = -60, o.maxZ = 60;
    }
    ViewState view;
    view.m_fAspect = static_cast<float>(kWidth) / kHeight;
    // The line of sight through the middle of the view, from the default eye (which looks from
    // -Y and above), meets y = -40 first while the model lies; stood on +Y, y = 0 is on top.
    const struct {
        const char* what;
        UpAxis up;
        int hidden;
        int picked;
    } cases[] = {
        {"lying", UpAxis::PlusZ, -1, 1},
        {"stood up", UpAxis::PlusY, -1, 0},
        {"stood up, the upper one hidden", UpAxis::PlusY, 0, 1},
        {"lying, the nearer one hidden", UpAxis::PlusZ, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.upAxis = c.up;
        for (size_t i = 0; i < 2; ++i)
            scene.m_objects[i].hidden = static_cast<int>(i) == c.hidden;
        EXPECT_EQ(PickObject(scene, view, kWidth, kHeight, kWidth / 2, kHeight / 2), c.picked);
    }
}
