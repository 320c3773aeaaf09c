// The import child's own reader of Wavefront OBJ files: positions, texture coordinates, normals
// and faces of three or four corners, with objects, groups and materials as the Open Asset Import
// Library takes them, giving the scene the library's reading gives, many times faster and in a
// fraction of its memory. A file it does not read exactly as the library does (lines, points,
// curves, polygons of five or more corners, vertex colours, ...) is left to the library with the
// reason.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "scene/Scene.h"

// Reads the OBJ file at path into a cleared scene, or says why it leaves it to the library.
bool ReadObj(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why);

// The same from bytes in memory, for the fuzz target; no material library is read.
bool ReadObj(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why);
