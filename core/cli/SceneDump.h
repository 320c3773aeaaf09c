// The whole scene as one JSON object, for scripts, diffs and tests (`zemvora --dump`).
// Floats are written in the shortest form that reads back to the same single-precision value;
// strings are byte strings, each byte written as the code point of the same value.
#pragma once

#include <string>

#include "scene/Scene.h"

std::string DumpSceneJson(const Scene& scene);
