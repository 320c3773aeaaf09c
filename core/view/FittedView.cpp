#include "view/FittedView.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

bool SceneBoundingSphere(const Scene& scene, BoundingSphere& sphere, bool withCopies) {
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
    double c[3] = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    double farthest = 0;
    VisitDrawnVertices(scene, withCopies, [&](double x, double y, double z) {
        const double d[3] = {x - c[0], y - c[1], z - c[2]};
        const double squared = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        if (std::isfinite(squared)) farthest = std::max(farthest, squared);
    });
    // The models are drawn turned about the origin: x, then y, then z applied last to first.
    const SceneSettings& s = scene.m_settings;
    Rotate(static_cast<double>(s.rotZ) + 0.5 * static_cast<double>(s.dragX), 2, c);
    Rotate(static_cast<double>(s.rotY), 1, c);
    Rotate(static_cast<double>(s.rotX) + 0.5 * static_cast<double>(s.dragY), 0, c);
    for (int i = 0; i < 3; ++i)
        sphere.center[i] = static_cast<float>(c[i]);
    sphere.radius = static_cast<float>(std::sqrt(farthest));
    return true;
}

bool FitSphereInView(const BoundingSphere& sphere, float fovY, float aspect, FittedEye& fitted) {
    const double halfY = static_cast<double>(fovY) / 2 * kDegrees;
    const double halfX = std::atan(std::tan(halfY) * static_cast<double>(aspect));
    const double half = std::min(halfX, halfY);
    // A single point still gets a picture around it.
    const double radius = sphere.radius > 0 ? static_cast<double>(sphere.radius) : 1.0;
    if (!(half > 0) || !std::isfinite(radius)) return false;
    const double distance = radius * kMargin / std::sin(half);
    // The default view point's direction: (0.65, -0.65, 0.38) from the centre.
    const double dir[3] = {0.65, -0.65, 0.38};
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
