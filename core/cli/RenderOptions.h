// The options of `zemvora --render`, and the view state they give a freshly loaded scene.
#pragma once

#include <string>
#include <vector>

#include "scene/Scene.h"
#include "view/ViewState.h"

struct RenderOptions {
    std::string file;
    std::string output;
    int width = 800;
    int height = 600;
    int32_t mode = ModeSmooth;
    bool top = false;
    bool defaultView = false;
    bool noGrid = false;
    bool noBox = false;
    bool noLights = false;
    bool noText = false;
    bool noDefaultLights = false;
};

// args are the words after --render. False with a reason for a usage error.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// What a freshly loaded scene shows (smooth, grid, box, light markers and label, perspective,
// through the first camera when there is one), changed as the options say.
ViewState RenderViewState(const RenderOptions& options, const Scene& scene);
