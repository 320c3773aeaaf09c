// The view's edits of the scene as steps of the edit history. The comma and period keys change
// the lens of the camera looked through, the arrow keys move it; the right mouse button drags
// its lens and the left one the current object's note by its handle. A key held down, with all
// its auto-repeats, is one step from its press to its release; a mouse drag is one step from the
// first button pressed to the last one let go. Turning the scene and the view's own state are
// no part of the history.
#pragma once

#include <functional>

#include "history/EditHistory.h"
#include "scene/Scene.h"
#include "view/ViewState.h"

class ViewEditSteps {
public:
    // Before the view handles a key press; autoRepeat for the repeats of a key held down.
    void KeyDown(int key, bool autoRepeat, const Scene& scene, const ViewState& view,
                 EditHistory& history);
    // A key let go; the repeats of a key held down come with autoRepeat.
    void KeyUp(int key, bool autoRepeat, const Scene& scene, EditHistory& history);
    // After the view took a mouse button press (its button and handle flags set).
    void ButtonDown(const Scene& scene, const ViewState& view, EditHistory& history);
    // After the view took a mouse button release.
    void ButtonUp(const Scene& scene, const ViewState& view, EditHistory& history);
    // A turn of the wheel: zoom changes the lens of the camera looked through, which makes one
    // step of each turn; at the default view point it changes only the view.
    void WheelTurned(Scene& scene, const ViewState& view, EditHistory& history,
                     const std::function<void()>& zoom);
    // The view lost the keyboard: a key held down no longer reaches it.
    void KeyboardLost(const Scene& scene, EditHistory& history);

private:
    EditHistory::StepId m_keyStep = 0;
    int m_key = 0;
    EditHistory::StepId m_mouseStep = 0;
};
