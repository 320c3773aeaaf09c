#include "view/WheelZoom.h"

#include <algorithm>

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
        for (int press = 0; press < kKeyPressesPerNotch; ++press)
            keySteps = OnKeyDown(key, scene, view);
        steps.insert(steps.end(), keySteps.begin(), keySteps.end());
    }
    return steps;
}
