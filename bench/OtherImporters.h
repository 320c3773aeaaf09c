// The same import work done by other .3ds readers, as points of comparison: load the file,
// compute face and vertex normals and the bounds. Each fills numbers with [0] meshes,
// [1] vertices and [2] triangles as that library holds them, and returns false on failure.
// What they build is left allocated: the benchmark runs each in a child process that ends
// right after, and freeing is not part of what is measured (nor is it for our own reader).
#pragma once

#include <string>

#include "bench/ChildRun.h"

#if defined(ZEMVORA_HAVE_LIB3DS)
bool ImportWithLib3ds(const std::string& path, ChildNumbers& numbers);
#endif

#if defined(ZEMVORA_HAVE_ASSIMP)
bool ImportWithAssimp(const std::string& path, ChildNumbers& numbers);
// The post-processing flags passed to ReadFile, as text, and the library's version.
std::string AssimpFlagsText();
std::string AssimpVersionText();
#endif
