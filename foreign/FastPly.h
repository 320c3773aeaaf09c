// The program's own reader of binary PLY files (little- and big-endian), run in the import child
// in place of the Open Asset Import Library's: it gives the scene that the library's reading, with
// its identical vertices joined, gives (one object "Object 1", cut at 65,535 vertices, the
// library's white default material, quads split as the library splits them, mapping
// coordinates), in a fraction of the time and memory.
#pragma once

#include <string>
#include <vector>

#include "scene/Scene.h"

// Reads the PLY file at path into scene, which must be empty, with normals, bounds and
// statistics, and report's lines as the conversion gives them. False, with scene untouched and
// the reason in why, when it does not take the file, which the library then reads: a text PLY,
// elements other than vertices and faces, vertex colours, faces of fewer than three or more than
// four corners, a corner that names no vertex, coordinates that are not numbers, a file that ends
// before its elements do.
bool ReadPly(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why);

// The same from size bytes in memory.
bool ReadPly(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why);
