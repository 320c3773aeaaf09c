#include "view/UprightView.h"

#include <algorithm>

std::array<float, 3> UprightCentre(const SceneSettings& s) {
    return {(s.maxX + s.minX) / 2.0f, (s.maxY + s.minY) / 2.0f, (s.maxZ + s.minZ) / 2.0f};
}

std::array<double, 3> UprightPoint(const SceneSettings& s, const std::array<double, 3>& p) {
    if (s.upAxis == UpAxis::PlusZ) return p;
    const std::array<float, 3> c = UprightCentre(s);
    const std::array<double, 3> turned =
        TurnedUpright(s.upAxis, std::array<double, 3>{p[0] - c[0], p[1] - c[1], p[2] - c[2]});
    return {turned[0] + c[0], turned[1] + c[1], turned[2] + c[2]};
}

std::array<double, 3> ModelPoint(const SceneSettings& s, const std::array<double, 3>& upright) {
    if (s.upAxis == UpAxis::PlusZ) return upright;
    const std::array<float, 3> c = UprightCentre(s);
    const std::array<double, 3> back =
        TurnedBack(s.upAxis, {upright[0] - c[0], upright[1] - c[1], upright[2] - c[2]});
    return {back[0] + c[0], back[1] + c[1], back[2] + c[2]};
}

SceneSettings UprightBounds(const SceneSettings& s, const SceneSettings& bounds) {
    SceneSettings turned = bounds;
    if (s.upAxis == UpAxis::PlusZ) return turned;
    // A quarter turn takes a box's opposite corners to opposite corners of the turned box.
    const std::array<double, 3> a = UprightPoint(s, {bounds.minX, bounds.minY, bounds.minZ});
    const std::array<double, 3> b = UprightPoint(s, {bounds.maxX, bounds.maxY, bounds.maxZ});
    turned.minX = static_cast<float>(std::min(a[0], b[0]));
    turned.maxX = static_cast<float>(std::max(a[0], b[0]));
    turned.minY = static_cast<float>(std::min(a[1], b[1]));
    turned.maxY = static_cast<float>(std::max(a[1], b[1]));
    turned.minZ = static_cast<float>(std::min(a[2], b[2]));
    turned.maxZ = static_cast<float>(std::max(a[2], b[2]));
    return turned;
}
