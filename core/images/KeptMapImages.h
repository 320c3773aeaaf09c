// A saved scene keeps its texture images: before the scene is written, every image a map names
// that is found beside the file the scene came from is read into the map, as an image a model
// holds inside itself is, so that the scene file shows its textures wherever it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Scene.h"

// The largest image kept, and all of a scene's together (the images its models held among them);
// the images past them stay files beside it.
constexpr uint64_t kMaxKeptImageBytes = uint64_t{64} << 20;
constexpr uint64_t kMaxKeptImagesBytes = uint64_t{256} << 20;

// Reads into each map that holds no image the image FindMapImage finds beside
// scene.m_strImageBase (each file read once, however many maps name it). Returns the names of
// the images that were not found, each once, in the order of the first map naming it.
std::vector<std::string> KeepFoundMapImages(Scene& scene);

// The status line after a save that left images out: "Saved without texture image "a.jpg"",
// "Saved without 2 texture images: "a.jpg", "b.png"". Empty when none was.
std::string SavedWithoutImagesText(const std::vector<std::string>& missing);
