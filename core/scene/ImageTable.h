// The scene's table of the images its models held inside themselves: each image file once,
// told apart by its bytes' hash, and the maps that show one by its index.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Scene.h"

// The hash of every byte of an image file.
ImageHash HashImageBytes(const std::vector<uint8_t>& bytes);

// The index of bytes in the scene's images: of an equal image already there, else of bytes added.
int32_t AddSceneImage(Scene& scene, std::vector<uint8_t> bytes);

// The image a map shows from the scene's table, or null when its image is a file beside the
// scene file (or its index addresses nothing).
const SceneImage* EmbeddedImageOf(const Scene& scene, const TextureMap& map);
