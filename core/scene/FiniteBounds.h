// Bounds a view can frame. A file may hold coordinates that are not numbers (infinite or NaN):
// the vertices keep them as read, but bounds made from them would make the eye point, the grid
// and the whole picture not numbers either. Such bounds are made again from the finite
// vertices; bounds that are numbers stay exactly as they are.
#pragma once

#include "scene/Scene.h"

// When any of the object's bounds is not a number, sets its bounds and centre from its finite
// vertices (all 0 when it has none). True when it did.
bool MendObjectBounds(SceneObject& object);

// Mends every object's bounds, then, when any of the scene's bounds is not a number, makes them
// the union of the objects' (all 0 with no object).
void MendSceneBounds(Scene& scene);
