// What the library's glTF writer leaves out or gets wrong, put right in the file it wrote: an
// empty list (a scene without triangles has no buffer, which glTF does not allow empty), the
// scene's lights as KHR_lights_punctual point lights, its cameras, and each object's note, where
// it says more than the object's name, as its node's extras.note.
#pragma once

#include <string>

#include "scene/Scene.h"

// Rewrites the .glb or .gltf file at path, which the library's exporter wrote from scene with
// +Z turned to +Y in its root node. False, with the reason, when the file cannot be read back or
// written.
bool FinishGltf(const std::string& path, const Scene& scene, std::string& why);
