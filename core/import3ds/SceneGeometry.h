// The derived geometry of an imported scene.
#pragma once

#include "scene/Scene.h"

// Unit face normal (B - A) x (C - B) of every triangle, (0, 0, 0) when degenerate.
void ComputeFaceNormals(SceneObject& object);

// Normalised sum of the face normals around each vertex, (0, 0, 0) when it has no length.
void ComputeVertexNormals(SceneObject& object);

// Both, with the same bits, in one walk over the faces.
void ComputeNormals(SceneObject& object);

// The scene bounds from the objects' bounds; with no object they stay as they are.
void ComputeSceneBounds(Scene& scene);
