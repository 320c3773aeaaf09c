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

// What the copies of one object are made from: its own vertices and triangle corners.
struct ObjectSnapshot {
    std::vector<SceneVertex> vertices;
    std::vector<uint16_t> corners;  // three per triangle
};

// One object's copy. An object too small to gain from a copy has none (no levels): it is drawn
// whole in a simplified frame too.
struct SimplifiedObject {
    std::vector<SceneVertex> vertices;          // those the levels use, with the object's normals
    std::vector<std::vector<uint16_t>> levels;  // corners into vertices, finest level first
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
