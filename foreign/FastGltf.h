// The program's own reader of glTF 2.0 files (.gltf with the buffers it names beside it, and
// binary .glb), run in the import child in place of the Open Asset Import Library's: it gives the
// scene that the library's reading, with its identical vertices joined, gives (its materials in
// the order the library meets them and the default one it adds, a map of the base colour image
// held in the file or named beside it, node transforms baked into the vertices, each node's
// primitives merged into one object with face groups, up turned from +Y to +Z, objects cut at
// 65,535 vertices, cameras), in a fraction of the time and memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "scene/Scene.h"

// Reads the glTF file at path into scene, which must be empty, with normals, bounds and
// statistics, and report's lines as the conversion gives them. Whether the file is binary goes
// by its name's ending, .glb, as the library's choice does. False, with scene untouched and the
// reason in why, when it does not take the file, which the library then reads: anything other
// than triangles, sparse or compressed data, skins, morph targets, animations, lights, texture
// transforms, more than one scene, positions, normals or first mapping coordinates that are not
// floats, a file that contradicts itself (an offset, stride, count or index beyond what its
// buffers hold, a reference to nothing, a value of the wrong kind), and one whose nodes and
// primitives repeat its meshes far beyond what it holds.
bool ReadGltf(const std::string& path, Scene& scene, std::vector<std::string>& report,
              std::string& why);

// The same from a .glb of size bytes in memory; a file naming other files is not taken.
bool ReadGltf(const unsigned char* bytes, size_t size, Scene& scene,
              std::vector<std::string>& report, std::string& why);
