// Click to select: the object drawn at a pixel of the view, found by the line of sight through
// the pixel against the drawn triangles, in the view's projection and the scene's rotation.
#pragma once

#include "scene/Scene.h"
#include "view/ViewState.h"

// The index of the object drawn at pixel (x, y) of a width x height view (x from the left, y
// down from the top): the nearest whose triangle the line of sight through the pixel's centre
// meets. -1 for empty space. The objects' placed copies and hidden objects are not picked.
int PickObject(const Scene& scene, const ViewState& view, int width, int height, int x, int y);

// A press and release of the left button this close (in pixels, either way) is a click.
constexpr int kClickSlack = 3;
