#include "view/WheelZoom.h"

#include <algorithm>
#include <cmath>

#include "view/Navigation.h"
#include "view/Projection.h"

int WheelNotches::Add(int angleDelta) {
    // A reversal starts afresh; the sum stays small however large the reported turn.
    if ((angleDelta > 0 && m_partial < 0) || (angleDelta < 0 && m_partial > 0)) m_partial = 0;
    const int limit = kWheelNotch * kMostNotchesAtOnce;
    const int turn = std::clamp(angleDelta, -limit, limit) + m_partial;
    const int notches = turn / kWheelNotch;  // towards zero: a part of a notch waits
    m_partial = turn - notches * kWheelNotch;
    return std::clamp(notches, -kMostNotchesAtOnce, kMostNotchesAtOnce);
}

namespace {

// The angles of view between which the picture stands upright and has some size: past 180
// degrees (a lens of 0 or less) it turns upside down, towards 0 it shrinks to a point.
constexpr float kFewestDegrees = 1.0f;
constexpr float kMostDegrees = 179.0f;

// The vertical angle of view of the shown camera with lens, or of the default view point.
float AngleOf(bool camera, float value) {
    if (!camera) return value;
    return value > 0 ? CameraFieldOfView(value) : 180.0f - value;
}

// Whether a press of key keeps the picture upright: its angle stays within the bounds, or comes
// closer to them from outside.
bool KeepsUpright(int key, const Scene& scene, const ViewState& view) {
    const bool camera = !ShowsDefaultView(scene, view);
    const float before =
        camera ? scene.m_cameras[static_cast<size_t>(scene.m_settings.currentCamera)].lens
               : view.m_fFovY;
    const float after = before + (key == vk::kComma ? kZoomStep : -kZoomStep);
    const float angleBefore = AngleOf(camera, before), angleAfter = AngleOf(camera, after);
    if (angleAfter >= kFewestDegrees && angleAfter <= kMostDegrees) return true;
    return std::fabs(angleAfter - 90.0f) < std::fabs(angleBefore - 90.0f);
}

}  // namespace

ViewSteps OnWheelNotches(int notches, Scene& scene, ViewState& view) {
    ViewSteps steps;
    const int bounded = std::clamp(notches, -kMostNotchesAtOnce, kMostNotchesAtOnce);
    const int count = bounded < 0 ? -bounded : bounded;
    for (int n = 0; n < count; ++n) {
        // Period narrows the default view point's angle; comma lengthens a camera's lens.
        const bool camera = !ShowsDefaultView(scene, view);
        const bool zoomIn = notches > 0;
        const int key = zoomIn == camera ? vk::kComma : vk::kPeriod;
        ViewSteps keySteps;
        // The wheel stops where the picture would turn upside down or vanish; the keys go on.
        for (int press = 0; press < kKeyPressesPerNotch && KeepsUpright(key, scene, view); ++press)
            keySteps = OnKeyDown(key, scene, view);
        if (keySteps.empty()) break;
        steps.insert(steps.end(), keySteps.begin(), keySteps.end());
    }
    return steps;
}
