// "Import 3DS file...": the unsaved-changes question, the file dialog, the reader's messages, and
// the finishing steps that show the new scene. A 3D Studio file clears the old scene as soon as it
// is chosen; a model in another format replaces it only once it was read whole, so that a failed
// import of one keeps the old scene. The window stops play before running either flow, so that
// nothing moves behind their questions, also when the import is declined.
#pragma once

#include <string>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

FileDialogOptions ImportFileDialog();

FrameUpdate OnImportFile(Scene& scene, Prompts& prompts);

// The import of a file named from outside (command line, dropped file): no dialog, and the
// question only when there are unsaved changes.
FrameUpdate ImportFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts);
