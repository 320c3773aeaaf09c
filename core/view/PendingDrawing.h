// The drawing that keys and mouse moves ask for, held back until every input that waited behind
// a slow frame has been applied, so that one frame catches up with all of them instead of one
// frame being drawn for each. Each input still changes the view state at once and in order;
// only its frames wait. The frame drawn is always that of the latest state: the positions a drag
// passed while a frame was drawn are skipped, its last one never is.
#pragma once

#include "view/ViewState.h"
#include "view/ViewStep.h"

class PendingDrawing {
public:
    // Takes the steps of one input. Returns the steps that are not drawing (play on or off), to
    // be carried out at once.
    ViewSteps Add(const ViewSteps& steps);
    // A full redraw was drawn anyway: nothing is left to draw.
    void Clear();
    bool Empty() const { return !m_projection && m_frame == Frame::None; }
    // Whether a frame is asked for (not only the projection).
    bool HasFrame() const { return m_frame != Frame::None; }
    // The steps to carry out now, in order; nothing is left pending.
    ViewSteps Take();

private:
    enum class Frame { None, Scene, Full };
    bool m_projection = false;  // the projection is to be set anew
    Frame m_frame = Frame::None;
};

// Whether the frame about to be drawn is expected to take long enough (the last one took more
// than 0.3 s) to show the busy cursor while it is drawn.
bool ExpectSlowFrame(const ViewState& view);
