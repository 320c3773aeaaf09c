// The benchmark's large .3ds scene: about 2 million triangles in 40 objects, one of them at the
// 65,535-vertex limit of a 3DS mesh and three just below it, with materials, lights, a camera and a
// keyframer, laid out as 3D Studio exporters write them (but for two keyframer node ids that are
// swapped, see Keyframer in BenchScene.cpp). The bytes are the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchSceneCounts {
    size_t objects = 0;
    size_t vertices = 0;
    size_t triangles = 0;
    size_t materials = 0;
};

// The whole file as bytes.
std::vector<uint8_t> BuildBenchScene(BenchSceneCounts* counts = nullptr);

// Builds the scene and writes it to path; false when the file could not be written.
bool WriteBenchScene(const std::string& path, BenchSceneCounts* counts = nullptr);
