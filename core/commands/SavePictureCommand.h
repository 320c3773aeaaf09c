// File > "Save picture...": the file dialog (PNG or JPEG by the name's extension, starting in the
// folder of the last picture), the size, which starts at the view's, and the picture drawn by
// the command line's renderer. Saving a picture never changes the scene.
#pragma once

#include <functional>
#include <string>

#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "scene/Scene.h"

// The folder of the window's last picture.
struct PictureMemory {
    std::string folder;
};

FileDialogOptions PictureFileDialog(const Scene& scene, const PictureMemory& memory);

// Draws the view at a size into a picture file; false with the system's reason.
using PictureWriter =
    std::function<bool(const std::string& path, const PictureSize& size, std::string& reason)>;

FrameUpdate OnSavePicture(const Scene& scene, Prompts& prompts, PictureMemory& memory,
                          const PictureSize& shown, const PictureWriter& write);
