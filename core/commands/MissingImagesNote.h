// The status bar's note, once a scene is shown, that images its texture maps name are missing.
#pragma once

#include <cstddef>
#include <string>

#include "commands/FrameUpdate.h"
#include "scene/Scene.h"

// "1 texture image is missing", "N texture images are missing"; "" for none.
std::string MissingImagesText(size_t count);

// Adds the note to update when images of the scene's maps are not found beside its file.
void AddMissingImagesNote(const Scene& scene, FrameUpdate& update);
