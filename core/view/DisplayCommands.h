// The view's display toggles (display modes, grid, light markers, object box, label, texture
// maps) as menu commands and as keys: what each changes, the drawing it asks for, and when its
// button is checked.
#pragma once

#include <optional>

#include "view/ViewState.h"
#include "view/ViewStep.h"

// Applies a display command; nothing when id is not one. The modes and the grid ask for the
// redraw request, the other toggles for one frame.
std::optional<ViewStep> ApplyDisplayCommand(int id, ViewState& view);

// Applies the key of a display command (an upper-case letter); a key asks for one frame only.
// Nothing when key is not one.
std::optional<ViewStep> ApplyDisplayKey(int key, ViewState& view);

// The check state of a display command or of play; nothing for other commands.
std::optional<bool> DisplayCommandChecked(int id, const ViewState& view);

// The message for an OpenGL context that could not be made: none was created at all, or one
// was created but cannot be used.
const char* ContextFailureMessage(bool created);
