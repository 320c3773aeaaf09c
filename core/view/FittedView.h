// The view a thumbnail needs: the whole of the models in a square, however the scene's bounds
// are shaped. The eye looks from the default view point's direction, drawn back just far enough
// that the models' bounding sphere fits in the picture.
#pragma once

#include "scene/Scene.h"
#include "view/Projection.h"

struct BoundingSphere {
    float center[3] = {0, 0, 0};
    float radius = 0;
};

// The sphere around every vertex of the scene's objects as they are drawn, their placed copies'
// too unless withCopies is false, turned by the scene's rotation. False when no object has a
// finite vertex.
bool SceneBoundingSphere(const Scene& scene, BoundingSphere& sphere, bool withCopies = true);

// The same sphere before the scene's rotation turns it, and a point turned as the rotation draws
// it: together they give the sphere wherever play or a drag has turned the scene since.
bool ModelBoundingSphere(const Scene& scene, BoundingSphere& sphere, bool withCopies = true);
void TurnAsDrawn(const SceneSettings& settings, float point[3]);

struct FittedEye {
    EyePoint eye{};
    double zNear = 0, zFar = 0;  // the depth range that holds the sphere
};

// The eye that fits sphere into a perspective view of fovY degrees and the given aspect (width
// over height), with a small margin, looking at the sphere's centre from the direction given
// (from the centre towards the eye; the default view point's when null or of no length). False
// when the numbers give no usable eye (too large).
bool FitSphereInView(const BoundingSphere& sphere, float fovY, float aspect, FittedEye& fitted,
                     const float* direction = nullptr);
