// "Import 3DS file...": play stops, the unsaved-changes question, the file dialog, the old scene
// cleared as soon as a file is chosen, the reader's messages, and the finishing steps that show
// the new scene.
#pragma once

#include <string>

#include "commands/FrameOperations.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

FileDialogOptions Import3dsFileDialog();

void OnImport3ds(Scene& scene, Prompts& prompts, FrameOperations& frame);

// The import of a file named from outside (command line, dropped file): no dialog, and the
// question only when there are unsaved changes.
void Import3dsFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts,
                              FrameOperations& frame);
