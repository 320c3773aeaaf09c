// The placed copies a keyframer gives a scene's meshes. A mesh's vertices are stored where its
// first node places them, so that node is the object itself; every further node of the mesh is
// a copy, placed by the node's matrix at frame 0 (its parent's, then position, rotation and
// scale, less the pivot) times the inverse of the mesh's own matrix.
#pragma once

#include <optional>
#include <vector>

#include "import3ds/KeyframerNodes.h"
#include "scene/Matrix4.h"
#include "scene/Scene.h"

class ImportReporter;

// A node's own matrix: translation, then the rotation, then the scale, applied last to first.
// The keyframer turns by angle the other way about the axis than the right hand does.
Matrix4 NodeMatrix(const KeyframerNode& node);

// Gives the objects of scene from firstObject on the copies that nodes place. axes holds each of
// those objects' own matrix, where its mesh gave one (identity otherwise). A node that places no
// object, is among its own parents, or whose object's matrix has no inverse is passed over and
// noted, as is each object's number of copies. Stops adding copies once the budget is spent.
void PlaceCopies(Scene& scene, size_t firstObject, const std::vector<KeyframerNode>& nodes,
                 const std::vector<std::optional<Matrix4>>& axes, ReadBudget& budget,
                 ImportReporter* report);
