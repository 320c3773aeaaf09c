// New, Open, Save, Save As and the close request: their questions and dialogs, what each leaves
// of the scene, its path and its modified flag, and what the window must then do.
#pragma once

#include <string>
#include <vector>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

// The file dialog entries of scene files.
FileDialogOptions SceneFileDialog(bool saving);

FrameUpdate OnSceneNew(Scene& scene, Prompts& prompts);
FrameUpdate OnSceneOpen(Scene& scene, Prompts& prompts);
FrameUpdate OnSceneSave(Scene& scene, Prompts& prompts);
FrameUpdate OnSceneSaveAs(Scene& scene, Prompts& prompts);
// True when the window may close.
bool OnClose(Scene& scene, Prompts& prompts);

// Opens a scene file named from outside (command line, dropped file): asks first only when
// there are unsaved changes, then as Open does once a file was chosen.
FrameUpdate OpenSceneFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts);

// What the view takes from a scene just read from a file: its label font, and when the file held
// a camera, the view through it.
std::vector<FrameStep> ViewStepsForReadScene(const Scene& scene);
