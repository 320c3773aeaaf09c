// What a frame draws a scene's objects with, besides the view: every list and setting of the scene
// but its objects, and the folder its images are looked for in. Two scenes of the same basis and
// the same objects draw the same frame in the same view; the picture commands start drawing an
// imported scene's objects as they come and check by it that the whole scene is the one drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Scene.h"

// The basis as bytes: the scene without its objects as a scene file holds it, the current object
// left out (its box and note are drawn after every object), and the images' folder.
std::vector<uint8_t> FrameBasis(const Scene& scene);
