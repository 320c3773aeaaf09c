// The order in which an object's triangles are drawn so that each material is set once: one run
// per face group, in the groups' order, then the triangles in no group. An object without face
// groups is one run of all its triangles in their own order, drawn exactly as it always was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/Scene.h"

// Triangles order[first] .. order[first + count - 1] of an object, in one material: the face
// group's (group >= 0) or the object's own (group -1).
struct FaceRun {
    size_t first = 0;
    size_t count = 0;
    int group = -1;
};

struct FaceRuns {
    std::vector<uint32_t> order;  // triangle indices; empty: every triangle in its own order
    std::vector<FaceRun> runs;
    // Changes whenever order does, so that buffers made in the old order are made anew.
    uint64_t generation = 0;

    uint32_t Triangle(size_t position) const {
        return order.empty() ? static_cast<uint32_t>(position) : order[position];
    }
};

// The runs of o. Triangles a group names twice or that o does not have are left out, so that a
// damaged group never draws a triangle twice or one that is not there.
FaceRuns MakeFaceRuns(const SceneObject& o);

// Each object's runs, made again only when its face groups or triangles change.
class FaceRunCache {
public:
    // The scene was replaced: every object's runs are made anew.
    void SceneReplaced() { m_entries.clear(); }
    const FaceRuns& For(size_t index, const SceneObject& o);

private:
    struct Entry {
        uint64_t revision = 0;  // of the object the runs were made from; 0 before any
        FaceRuns runs;
    };

    std::vector<Entry> m_entries;
    uint64_t m_nextGeneration = 1;
};

// The index of each material name in the scene's list; where two materials share a name, the
// later one, as the 3D Studio reader resolves an object's material.
class MaterialNames {
public:
    explicit MaterialNames(const Scene& scene);
    // The material named name, or -1 (the built-in grey).
    int32_t IndexOf(const std::string& name) const;

private:
    std::unordered_map<std::string, int32_t> m_index;
};
