// "Import 3DS file...": the unsaved-changes question, the file dialog, the old scene cleared as
// soon as a file is chosen, the reader's messages, and the finishing steps that show the new
// scene. The window stops play before running either flow, so that nothing moves behind their
// questions, also when the import is declined.
#pragma once

#include <string>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

FileDialogOptions Import3dsFileDialog();

FrameUpdate OnImport3ds(Scene& scene, Prompts& prompts);

// The import of a file named from outside (command line, dropped file): no dialog, and the
// question only when there are unsaved changes.
FrameUpdate Import3dsFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts);
