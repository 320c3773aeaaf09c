// New, Open, Save, Save As and the close request: their questions, dialogs and messages, and
// what each leaves of the scene, its path and its modified flag.
#pragma once

#include <string>

#include "commands/FrameOperations.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

// The file dialog entries of scene files.
FileDialogOptions SceneFileDialog(bool saving);

void OnSceneNew(Scene& scene, Prompts& prompts, FrameOperations& frame);
void OnSceneOpen(Scene& scene, Prompts& prompts, FrameOperations& frame);
void OnSceneSave(Scene& scene, Prompts& prompts, FrameOperations& frame);
void OnSceneSaveAs(Scene& scene, Prompts& prompts, FrameOperations& frame);
// True when the window may close.
bool OnClose(Scene& scene, Prompts& prompts);

// Opens a scene file named from outside (command line, dropped file): asks first only when
// there are unsaved changes, then as Open does once a file was chosen.
void OpenSceneFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts,
                              FrameOperations& frame);
