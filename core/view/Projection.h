// The projection of a frame: the default eye point derived from the scene bounds or the current
// camera, in perspective or as a top view. All in single precision, as the picture depends on it.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"

struct EyePoint {
    float eye[3];
    float center[3];
};

// Looking at the centre of the scene bounds from (c + 0.65 D, c - 0.65 D, c + 0.38 D), with D
// the sum of the bounds' extents.
EyePoint DefaultEyePoint(const SceneSettings& s);

// The vertical field of view of a camera lens: 2 atan(20 / lens), in degrees.
float CameraFieldOfView(float lens);

// True when the view looks from the default eye point rather than through the current camera.
bool ShowsDefaultView(const Scene& scene, const ViewState& state);

struct OrthoBox {
    float left, right, bottom, top, zNear, zFar;
};

// The top view's box for a view window of the given size: x from the sum of the minima to the
// sum of the maxima, y the same scaled by height / width (0 when the width is 0).
OrthoBox TopViewBox(const SceneSettings& s, int width, int height);

struct ProjectionSetup {
    ProjectionKind kind = ProjPerspective;  // as the view's m_nProjection
    EyePoint eye{};
    float fovY = 0, aspect = 1;
    double zNear = 1.0, zFar = 100000.0;  // the perspective's depth range
    OrthoBox ortho{};
};

// The bounds the default view frames: the scene's recorded bounds, stretched over the boxes of
// the objects' placed copies where the view draws them. Null when there is nothing to stretch
// over: the recorded bounds serve; else stretched holds them.
const SceneSettings* FramedBounds(const Scene& scene, const ViewState& state,
                                  SceneSettings& stretched);

// Chooses the eye (and takes the camera's field of view into state.m_fFovY) and the projection.
// With state.m_bFitModels the default eye is fitted to the models' bounding sphere.
ProjectionSetup ComputeProjection(const Scene& scene, ViewState& state, int width, int height);
