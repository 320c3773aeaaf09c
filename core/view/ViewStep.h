// The drawing the view does after an input or a command changed what it shows, one step at a
// time in the order given.
#pragma once

#include <vector>

enum class ViewStep {
    SetupProjection,  // the projection matrix anew
    RenderScene,      // one frame, lights and projection as they are
    TimerPath,        // the redraw request: lights, projection and a frame
    TogglePlay,       // the play command
};
using ViewSteps = std::vector<ViewStep>;
