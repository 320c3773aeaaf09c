// The derived geometry of an imported scene.
#pragma once

#include "scene/Scene.h"

// Divides (x, y, z) by its length, or makes it (0, 0, 0) when the squared length is 0: how every
// normal of the scene is made a unit.
void Normalise(float& x, float& y, float& z);

// Unit face normal (B - A) x (C - B) of every triangle, (0, 0, 0) when degenerate.
void ComputeFaceNormals(SceneObject& object);

// Normalised sum of the face normals around each vertex, (0, 0, 0) when it has no length.
void ComputeVertexNormals(SceneObject& object);

// Both, with the same bits, in one walk over the faces.
void ComputeNormals(SceneObject& object);

// The scene bounds from the objects' bounds; with no object they stay as they are.
void ComputeSceneBounds(Scene& scene);
