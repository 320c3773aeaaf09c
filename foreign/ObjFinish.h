// Each object's note written into the OBJ file the library's writer wrote, as comment lines
// before the object's first group ("# note: ..."), where the note says more than the object's
// name. The library's writer has no place for it.
#pragma once

#include <string>

#include "scene/Scene.h"

// False, with the reason, when the file cannot be read back or written.
bool FinishObj(const std::string& path, const Scene& scene, std::string& why);
