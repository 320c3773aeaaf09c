// Zooming with the mouse wheel. A notch does what four presses of the zoom keys do: away from the
// user it zooms in (period on the default view point, comma on a camera, whose longer lens
// narrows the view), towards the user it zooms out.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"
#include "view/ViewStep.h"

// The wheel's turn in eighths of a degree; a standard notch is 15 degrees.
constexpr int kWheelNotch = 120;
// Key presses of comma or period that one notch stands for.
constexpr int kKeyPressesPerNotch = 4;
// More notches than any wheel reports at once are not carried out: a stray huge turn must not
// stall the view with frames.
constexpr int kMostNotchesAtOnce = 10;

// Adds up a wheel's turns into whole notches. A high-resolution wheel reports parts of a notch;
// they count once they make a whole one. A turn the other way drops what was left over, so the
// first notch back acts at once.
class WheelNotches {
public:
    // The whole notches the turn completes: positive away from the user, negative towards.
    int Add(int angleDelta);
    int Partial() const { return m_partial; }

private:
    int m_partial = 0;  // always less than a notch either way
};

// Zooms by whole notches; each notch asks for the same drawing its key presses do.
ViewSteps OnWheelNotches(int notches, Scene& scene, ViewState& view);
