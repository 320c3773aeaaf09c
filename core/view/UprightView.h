// The scene as the view stands it upright: the user's up axis (SceneSettings::upAxis) turned to
// +Z about the centre of the scene's recorded bounds. Everything the view places in the scene's
// coordinates goes through here: the objects' matrix, the framed bounds, a camera's eye, light
// positions, the fitted sphere and the picking ray.
#pragma once

#include <array>

#include "scene/SceneRecords.h"

// The point the scene turns about: the centre of its recorded bounds.
std::array<float, 3> UprightCentre(const SceneSettings& s);

// A point of the model where the view draws it (before the scene's rotation), and back.
std::array<double, 3> UprightPoint(const SceneSettings& s, const std::array<double, 3>& p);
std::array<double, 3> ModelPoint(const SceneSettings& s, const std::array<double, 3>& upright);

// The box of bounds (the scene's own, or stretched over copies) as the upright scene has it.
SceneSettings UprightBounds(const SceneSettings& s, const SceneSettings& bounds);
