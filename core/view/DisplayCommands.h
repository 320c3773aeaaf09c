// The view's display commands (display modes, grid, light markers, object box, label): what
// each changes, which redraw it asks for, and when its button is checked.
#pragma once

#include <optional>

#include "view/ViewState.h"

enum class ViewRedraw {
    None,
    RenderScene,  // one frame, lights and projection as they are
    Full,         // the redraw request: lights, projection, frame
};

// Applies a display command; nothing when id is not one.
std::optional<ViewRedraw> ApplyDisplayCommand(int id, ViewState& view);

// The check state of a display command or of play; nothing for other commands.
std::optional<bool> DisplayCommandChecked(int id, const ViewState& view);

// The message for an OpenGL context that could not be made: none was created at all, or one
// was created but cannot be used.
const char* ContextFailureMessage(bool created);
