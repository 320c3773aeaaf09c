// The program's own reader of STL files, binary and text, run in the import child in place of the
// Open Asset Import Library's: it gives the scene that the library's reading, with its identical
// vertices joined, gives (one object, named after a text file's solid or "Object 1", cut at
// 65,535 vertices, a corner shared only where position and facet normal agree, the library's
// default material), in a fraction of the time and memory. It streams the file through a small
// buffer and joins the corners in a hash table of its own.
#pragma once

#include <string>
#include <vector>

#include "scene/Scene.h"

// Reads the STL at path into scene, which must be empty, with normals, bounds and statistics,
// and report's lines as the conversion gives them. False, with scene untouched and the reason in
// why, when it does not take the file, which the library then reads: a binary file whose size is
// not that of its facets, a file without facets, colours in the header or the facets (the library
// joins vertices by them), coordinates that are not numbers; a text file with more than one
// solid, a facet of other than three vertices or words the library reads in a way of its own.
bool ReadStl(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why);

// The same from size bytes in memory.
bool ReadStl(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why);
