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

// Three normals a triangle, corners a, b, c, for an object with smoothingGroups; empty for one
// without. The sum at a corner is taken as the vertex normals take theirs (the faces in their
// order, from zero, each use of the vertex once, then normalised alike), so that where every
// face at a vertex shares a bit with the corner's face the corner gets exactly the vertex's
// normal, and an object whose faces all share one bit is drawn exactly as without groups.
std::vector<CornerNormal> SmoothingCornerNormals(const SceneObject& object);
