// File > "Export...": the file dialog with one filter per format, starting in the folder and
// format of the last export, the export child's work, and what it left out or why it failed.
// Export never changes the scene: not its modified flag, its path or the window's title.
#pragma once

#include <string>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

// The folder and format of the window's last export.
struct ExportMemory {
    std::string folder;
    std::string extension = ".glb";
};

// The dialog's filters, with the remembered format's first, and where it starts.
FileDialogOptions ExportFileDialog(const Scene& scene, const ExportMemory& memory);

// The folder of path ("" for a bare name).
std::string FolderOfPath(const std::string& path);
// Where a dialog that writes something made of the scene starts: in folder, else in the scene's
// own, with the scene's name and extension ("/models/jeep1.glb"; "scene" for a new scene).
std::string StartPathBeside(const Scene& scene, const std::string& folder,
                            const std::string& extension);

FrameUpdate OnExport(const Scene& scene, Prompts& prompts, ExportMemory& memory);
