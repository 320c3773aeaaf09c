// Compiled with the core's include paths alone: the core's own headers are found.
#include "scene/Scene.h"
#include "view/SceneRenderer.h"
