// View > Fit whole scene: the eye looks from the direction it looks now at the bounding sphere
// of every object drawn (their placed copies too), near enough that the sphere fills the
// picture as a thumbnail frames it, and the depth range holds the sphere.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"

// At the default view point the view keeps the fitted eye (ViewState::m_bFitted); through a
// camera the camera moves along its line of sight and aims at the sphere's centre (a change of
// the scene, which the caller makes one step to undo). Either way the depth range holds the scene
// from then on, wherever the eye goes. With turning, the sphere holds
// every turn of the scene about the z axis, for turntable frames. False, changing nothing, when
// there is nothing to fit or the numbers give no eye.
bool FitWholeScene(Scene& scene, ViewState& view, bool turning = false);
