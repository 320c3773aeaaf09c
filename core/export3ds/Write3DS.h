// Writes a scene as a 3D Studio file that the program's own reader reads back into the same
// records: materials with their first texture map, each object's vertices, mapping coordinates,
// triangles with their flags, material groups and smoothing groups, lights, cameras, and a
// keyframer that places the objects' copies. The file's limits are kept: names are cut to 10
// bytes (16 for materials), kept unique, and a list of more than 65,535 triangles goes into
// several face lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Scene.h"

// The file's bytes; notes gets one line for what had to change ("3 names cut to what 3D Studio
// allows").
std::vector<uint8_t> Write3DS(const Scene& scene, std::vector<std::string>& notes);
