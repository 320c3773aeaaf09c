// Draws one frame of a scene without any display, with the same renderer as the window, label
// included, into a picture.
#pragma once

#include <QImage>
#include <string>

#include "scene/Scene.h"
#include "view/ViewState.h"

// Draws scene in view's state into a width x height picture (RGB). Needs a QGuiApplication for
// the label font. On failure returns a null image and says why.
QImage RenderSceneImage(Scene& scene, ViewState& view, int width, int height, std::string& error);
