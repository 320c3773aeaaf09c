// The edits of how the scene is shown that are saved with it: hiding objects, showing them again
// and the axis the view stands up. Each is one step to undo (when a history is given) and marks
// the scene modified.
#pragma once

#include <optional>

#include "history/EditHistory.h"
#include "scene/Scene.h"

// Hides the current object. False, and nothing changed, when there is none or it is hidden.
bool HideCurrentObject(Scene& scene, EditHistory* history);

// Shows every hidden object. False when none is hidden.
bool ShowAllObjects(Scene& scene, EditHistory* history);

// Stands the model's axis up. False when it already is.
bool SetUpAxis(Scene& scene, EditHistory* history, UpAxis up);

// Runs View > Hide object, Show all objects or an Up axis item: whether the scene changed, or
// nothing when id is none of them.
std::optional<bool> ApplySceneViewCommand(int id, Scene& scene, EditHistory* history);
// Whether an Up axis item is checked (the scene's axis); nothing for other commands.
std::optional<bool> SceneViewCommandChecked(int id, const Scene& scene);
