// Lighter copies of the objects, drawn while the view moves: for each object the vertices its
// simplified triangles use, and its triangles at a few levels of detail, each about half of the
// one before. They are made with meshoptimizer from a snapshot of the object's lists, so that
// they can be made on another thread while the scene lives on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "scene/SceneRecords.h"

// What the copies of one object are made from: its own vertices and triangle corners, in the
// order its runs of faces are drawn in, each run in a material of its own.
struct ObjectSnapshot {
    std::vector<SceneVertex> vertices;
    std::vector<uint16_t> corners;     // three per triangle
    std::vector<size_t> runTriangles;  // the triangles of each run; empty: one run
};

// One object's copy. An object too small to gain from a copy has none (no levels): it is drawn
// whole in a simplified frame too.
// Each run is simplified on its own, so that a copy keeps the borders between materials.
struct SimplifiedObject {
    std::vector<SceneVertex> vertices;          // those the levels use, with the object's normals
    std::vector<std::vector<uint16_t>> levels;  // corners into vertices, finest level first
    // Where the levels' runs end: runEnds[level][run] is the corner after the run's last one.
    // Empty for an object of one run.
    std::vector<std::vector<size_t>> runEnds;
    std::vector<size_t> runTriangles;  // the runs the copy was made for, as in its snapshot
    int64_t Triangles(size_t level) const { return static_cast<int64_t>(levels[level].size() / 3); }
    size_t Bytes() const;
};

// The levels of detail: level k keeps about kFinestShare / 2^k of an object's triangles.
constexpr int kDetailLevels = 5;
constexpr double kFinestShare = 0.25;
// Objects with fewer triangles get no copy.
constexpr size_t kSmallestCopied = 256;

// The copy of one object; cancelled() is asked between the steps and an empty copy returned
// once it says so.
SimplifiedObject SimplifyObject(const ObjectSnapshot& object,
                                const std::function<bool()>& cancelled = {});

// The bytes an object's own lists take, which the copies are measured against.
size_t OwnBytes(size_t vertices, size_t triangles);

// Drops the finest level of every copy (and the vertices only it used) until all copies
// together take at most a quarter of ownBytes, the scene's own vertex and triangle memory.
// Copies that would still be too large are dropped.
void FitCopies(std::vector<SimplifiedObject>& copies, size_t ownBytes);
