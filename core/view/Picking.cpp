#include "view/Picking.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "view/Projection.h"
#include "view/UprightView.h"

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

struct Vec {
    double x, y, z;
};

Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec Unit(Vec a) {
    const double length = std::sqrt(Dot(a, a));
    return length > 0 ? a * (1 / length) : a;
}

// Turns p by -angle degrees about axis (0 x, 1 y, 2 z): glRotatef's turn undone.
Vec TurnBack(Vec p, double angle, int axis) {
    const double c = std::cos(-angle * kDegrees), s = std::sin(-angle * kDegrees);
    double q[3] = {p.x, p.y, p.z};
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    const double qa = q[a], qb = q[b];
    q[a] = c * qa - s * qb;
    q[b] = s * qa + c * qb;
    return {q[0], q[1], q[2]};
}

// The scene is drawn turned about x, then y, then z (applied last to first): a point of the
// view's space taken back into the objects' own.
Vec IntoModel(Vec p, const SceneSettings& s) {
    p = TurnBack(p, static_cast<double>(s.rotX) + 0.5 * static_cast<double>(s.dragY), 0);
    p = TurnBack(p, static_cast<double>(s.rotY), 1);
    return TurnBack(p, static_cast<double>(s.rotZ) + 0.5 * static_cast<double>(s.dragX), 2);
}

struct Ray {
    Vec origin, direction;
};

// Where the line of sight meets the box, or not at all (the slab test).
bool MeetsBox(const Ray& ray, const SceneObject& o) {
    const double lo[3] = {o.minX, o.minY, o.minZ}, hi[3] = {o.maxX, o.maxY, o.maxZ};
    const double from[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double along[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    double near = -std::numeric_limits<double>::infinity();
    double far = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 3; ++i) {
        // A little room: a triangle on the box's face is still met.
        const double pad = 1e-6 * (std::fabs(lo[i]) + std::fabs(hi[i]) + 1);
        if (along[i] == 0) {
            if (from[i] < lo[i] - pad || from[i] > hi[i] + pad) return false;
            continue;
        }
        double t0 = (lo[i] - pad - from[i]) / along[i], t1 = (hi[i] + pad - from[i]) / along[i];
        if (t0 > t1) std::swap(t0, t1);
        near = std::max(near, t0);
        far = std::min(far, t1);
    }
    return near <= far && far >= 0;
}

// The distance along the ray to the triangle, or infinity when it misses (Moeller-Trumbore;
// both sides of a face count, as both are drawn).
double Meet(const Ray& ray, Vec a, Vec b, Vec c) {
    const Vec e1 = b - a, e2 = c - a;
    const Vec p = Cross(ray.direction, e2);
    const double det = Dot(e1, p);
    if (det == 0 || !std::isfinite(det)) return std::numeric_limits<double>::infinity();
    const double inverse = 1 / det;
    const Vec t = ray.origin - a;
    const double u = Dot(t, p) * inverse;
    if (u < 0 || u > 1) return std::numeric_limits<double>::infinity();
    const Vec q = Cross(t, e1);
    const double v = Dot(ray.direction, q) * inverse;
    if (v < 0 || u + v > 1) return std::numeric_limits<double>::infinity();
    const double distance = Dot(e2, q) * inverse;
    return distance >= 0 ? distance : std::numeric_limits<double>::infinity();
}

// The line of sight through the pixel, in the view's space.
bool SightLine(const Scene& scene, const ViewState& view, int width, int height, int x, int y,
               Ray& ray) {
    if (width <= 0 || height <= 0) return false;
    ViewState state = view;  // the projection takes a camera's angle into its state
    const ProjectionSetup p = ComputeProjection(scene, state, width, height);
    const double nx = 2 * (x + 0.5) / width - 1, ny = 1 - 2 * (y + 0.5) / height;
    if (p.kind == ProjTopView) {
        // Straight down from above everything; the box is the one the view shows.
        const OrthoBox& o = p.ortho;
        const double px = o.left + (nx + 1) / 2 * (o.right - o.left);
        const double py = o.bottom + (ny + 1) / 2 * (o.top - o.bottom);
        // Above everything, however the scene is turned about the origin.
        const SceneSettings& b = scene.m_settings;
        double reach = 1;
        for (float bound : {b.minX, b.maxX, b.minY, b.maxY, b.minZ, b.maxZ})
            if (std::isfinite(bound)) reach = std::max(reach, 4.0 * std::fabs(bound));
        ray = {{px, py, reach}, {0, 0, -1}};
        return true;
    }
    const Vec eye{p.eye.eye[0], p.eye.eye[1], p.eye.eye[2]};
    const Vec center{p.eye.center[0], p.eye.center[1], p.eye.center[2]};
    const Vec forward = Unit(center - eye);
    const Vec side = Unit(Cross(forward, {0, 0, 1}));
    const Vec up = Cross(side, forward);
    const double t = std::tan(static_cast<double>(p.fovY) / 2 * kDegrees);
    const double aspect = static_cast<double>(p.aspect);
    ray = {eye, Unit(forward + side * (nx * t * aspect) + up * (ny * t))};
    return std::isfinite(Dot(ray.direction, ray.direction)) && std::isfinite(Dot(eye, eye));
}

}  // namespace

int PickObject(const Scene& scene, const ViewState& view, int width, int height, int x, int y) {
    Ray seen;
    if (!SightLine(scene, view, width, height, x, y, seen)) return -1;
    // Into the objects' own space: the scene turns about the origin, so the ray's origin and
    // its direction turn back alike.
    const SceneSettings& s = scene.m_settings;
    const Vec origin = IntoModel(seen.origin, s), direction = IntoModel(seen.direction, s);
    // Then out of the upright scene the user stood it in: about the bounds' centre for the
    // origin, a turn alone for the direction.
    const std::array<double, 3> from = ModelPoint(s, {origin.x, origin.y, origin.z});
    const std::array<double, 3> along =
        TurnedBack(s.upAxis, {direction.x, direction.y, direction.z});
    const Ray ray{{from[0], from[1], from[2]}, Unit({along[0], along[1], along[2]})};
    int best = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < scene.m_objects.size(); ++i) {
        const SceneObject& o = scene.m_objects[i];
        if (o.hidden || o.meshes.empty() || !MeetsBox(ray, o)) continue;
        const VertexList& v = o.vertices;
        for (const SceneMesh& m : o.meshes) {
            if (m.a >= v.size() || m.b >= v.size() || m.c >= v.size()) continue;
            const auto at = [&v](uint16_t k) { return Vec{v[k].x, v[k].y, v[k].z}; };
            const double distance = Meet(ray, at(m.a), at(m.b), at(m.c));
            if (distance < nearest) {
                nearest = distance;
                best = static_cast<int>(i);
            }
        }
    }
    return best;
}
