#include "view/FittedView.h"

#include <algorithm>
#include <cmath>

#include "view/UprightView.h"

namespace {

// The share of the picture's half-width that the sphere's radius takes at most.
constexpr double kMargin = 1.06;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// glRotatef(angle, axis) applied to p, in double precision.
void Rotate(double angleDegrees, int axis, double p[3]) {
    const double c = std::cos(angleDegrees * kDegrees), s = std::sin(angleDegrees * kDegrees);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    const double pa = p[a], pb = p[b];
    p[a] = c * pa - s * pb;
    p[b] = s * pa + c * pb;
}

// Calls visit(x, y, z) for every vertex where it is drawn: in its object, then in each copy.
template <class Visit>
void VisitDrawnVertices(const Scene& scene, bool withCopies, Visit visit) {
    for (const SceneObject& o : scene.m_objects) {
        if (o.hidden) continue;
        for (const SceneVertex& v : o.vertices)
            visit(double{v.x}, double{v.y}, double{v.z});
        if (!withCopies) continue;
        for (const PlacedCopy& copy : o.copies)
            for (const SceneVertex& v : o.vertices) {
                const std::array<float, 3> p = TransformPoint(copy.matrix, {v.x, v.y, v.z});
                visit(double{p[0]}, double{p[1]}, double{p[2]});
            }
    }
}

// The models' sphere before the scene's rotation: centre and radius in double precision.
bool ModelSphere(const Scene& scene, bool withCopies, double c[3], double& radius) {
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    bool any = false;
    VisitDrawnVertices(scene, withCopies, [&](double x, double y, double z) {
        const double p[3] = {x, y, z};
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) return;
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], p[i]);
            hi[i] = std::max(hi[i], p[i]);
        }
        any = true;
    });
    if (!any) return false;
    // Centred on the box around the vertices: the farthest vertex gives the radius, which is
    // tighter than the box's corner for most models.
    for (int i = 0; i < 3; ++i)
        c[i] = (lo[i] + hi[i]) / 2;
    double farthest = 0;
    VisitDrawnVertices(scene, withCopies, [&](double x, double y, double z) {
        const double d[3] = {x - c[0], y - c[1], z - c[2]};
        const double squared = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        if (std::isfinite(squared)) farthest = std::max(farthest, squared);
    });
    radius = std::sqrt(farthest);
    // Stood upright, the sphere keeps its radius: only its centre moves.
    const std::array<double, 3> upright = UprightPoint(scene.m_settings, {c[0], c[1], c[2]});
    std::copy(upright.begin(), upright.end(), c);
    return true;
}

// The models are drawn turned about the origin: x, then y, then z applied last to first.
void Turn(const SceneSettings& s, double c[3]) {
    Rotate(static_cast<double>(s.rotZ) + 0.5 * static_cast<double>(s.dragX), 2, c);
    Rotate(static_cast<double>(s.rotY), 1, c);
    Rotate(static_cast<double>(s.rotX) + 0.5 * static_cast<double>(s.dragY), 0, c);
}

BoundingSphere ToFloats(const double c[3], double radius) {
    BoundingSphere sphere;
    for (int i = 0; i < 3; ++i)
        sphere.center[i] = static_cast<float>(c[i]);
    sphere.radius = static_cast<float>(radius);
    return sphere;
}

}  // namespace

bool SceneBoundingSphere(const Scene& scene, BoundingSphere& sphere, bool withCopies) {
    double c[3], radius = 0;
    if (!ModelSphere(scene, withCopies, c, radius)) return false;
    Turn(scene.m_settings, c);
    sphere = ToFloats(c, radius);
    return true;
}

bool ModelBoundingSphere(const Scene& scene, BoundingSphere& sphere, bool withCopies) {
    double c[3], radius = 0;
    if (!ModelSphere(scene, withCopies, c, radius)) return false;
    sphere = ToFloats(c, radius);
    return true;
}

void TurnAsDrawn(const SceneSettings& settings, float point[3]) {
    double p[3] = {point[0], point[1], point[2]};
    Turn(settings, p);
    for (int i = 0; i < 3; ++i)
        point[i] = static_cast<float>(p[i]);
}

bool FitSphereInView(const BoundingSphere& sphere, float fovY, float aspect, FittedEye& fitted,
                     const float* direction) {
    const double halfY = static_cast<double>(fovY) / 2 * kDegrees;
    const double halfX = std::atan(std::tan(halfY) * static_cast<double>(aspect));
    const double half = std::min(halfX, halfY);
    // A single point still gets a picture around it.
    const double radius = sphere.radius > 0 ? static_cast<double>(sphere.radius) : 1.0;
    if (!(half > 0) || !std::isfinite(radius)) return false;
    const double distance = radius * kMargin / std::sin(half);
    // The default view point's direction: (0.65, -0.65, 0.38) from the centre.
    double dir[3] = {0.65, -0.65, 0.38};
    if (direction) {
        const double given[3] = {direction[0], direction[1], direction[2]};
        const double squared = given[0] * given[0] + given[1] * given[1] + given[2] * given[2];
        if (squared > 0 && std::isfinite(squared)) std::copy(given, given + 3, dir);
    }
    const double length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    for (int i = 0; i < 3; ++i) {
        const double c = static_cast<double>(sphere.center[i]);
        fitted.eye.center[i] = sphere.center[i];
        fitted.eye.eye[i] = static_cast<float>(c + dir[i] / length * distance);
        if (!std::isfinite(fitted.eye.eye[i])) return false;
    }
    fitted.zNear = std::max(distance - radius * 1.1, distance * 1e-3);
    fitted.zFar = distance + radius * 1.1;
    return std::isfinite(fitted.zFar) && fitted.zFar < 3e38;
}
