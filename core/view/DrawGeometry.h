// Sizes of the grid and the light markers, both derived from the scene bounds.
#pragma once

#include "scene/Scene.h"

// |maxX| + |minX| + |maxY| + |minY| + |maxZ| + |minZ|.
float BoundsSize(const SceneSettings& s);

// The spacing of the grid's 21 x 21 lines: s / 30, as 0.2 x s / 6.
float GridSpacing(const SceneSettings& s);

// Half the edge of a light marker: s / 234, as s / 6 / 39.
float MarkerSize(const SceneSettings& s);
