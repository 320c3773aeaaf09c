// Writes a scene as a 3MF file: the model's XML and the package's two small parts in a zip
// archive of stored entries. The library's own 3MF writer loses every colour but black and white;
// this one keeps each object's materials as base materials with their diffuse colours, one 3MF
// object per object and material, and places the copies by build items with their transforms.
#pragma once

#include <string>
#include <vector>

#include "scene/Scene.h"

// False, with the reason, when the file cannot be written. notes gets what was left out
// (triangles whose corners are not three different vertices, which 3MF forbids).
bool Write3MF(const Scene& scene, const std::string& path, std::vector<std::string>& notes,
              std::string& why);
