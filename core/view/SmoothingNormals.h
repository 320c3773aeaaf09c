// The normals an object's corners are drawn with in smooth mode when its faces carry smoothing
// groups, as the modelling program that writes them shades them: a face with mask 0 is flat,
// with its face normal at each corner; any other face is smoothed only with the faces at the
// same vertex (the same index, not merely the same position) that share a bit of its mask.
#pragma once

#include <vector>

#include "scene/Scene.h"

struct CornerNormal {
    float nx = 0, ny = 0, nz = 0;
};

// Three normals a triangle, corners a, b, c, for an object with smoothingGroups whose groups
// give some corner another normal than its vertex's; empty for any other object, which is drawn
// with its vertex normals as ever. The sum at a corner is taken as the vertex normals take theirs
// (the faces in their order, from zero, each use of the vertex once, then normalised alike), so
// that where every face at a vertex shares a bit with the corner's face the corner gets exactly the
// vertex's normal, and an object whose faces all share one bit is drawn exactly as without groups.
std::vector<CornerNormal> SmoothingCornerNormals(const SceneObject& object);

// Each object's corner normals, made when it is first drawn and again when its revision changes.
class SmoothingNormalCache {
public:
    void SceneReplaced() { m_entries.clear(); }
    // The corner normals of object index, o; empty where it is drawn with its vertex normals.
    const std::vector<CornerNormal>& For(size_t index, const SceneObject& o);
    // What is drawn when the groups are not to be shown.
    static const std::vector<CornerNormal>& None();

private:
    struct Entry {
        uint64_t revision = 0;  // of the object the corners were made from; 0 before any
        std::vector<CornerNormal> corners;
    };
    std::vector<Entry> m_entries;
};
