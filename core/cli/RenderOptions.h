// The options of `zemvora --render`, and the view state they give a freshly loaded scene.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scene/Scene.h"
#include "view/ViewState.h"

struct RenderOptions {
    std::string file;
    std::string output;
    int width = 800;
    int height = 600;
    DisplayMode mode = ModeSmooth;
    bool top = false;
    bool defaultView = false;
    bool noGrid = false;
    bool noBox = false;
    bool noLights = false;
    bool noText = false;
    bool noDefaultLights = false;
    bool noTextures = false;         // faces with texture maps in their colours only
    bool noSmoothingGroups = false;  // every corner with its vertex's normal in smooth mode
    bool noCopies = false;           // the objects alone, without the copies a file places
    bool fitModels = false;          // the whole of the models in the picture (thumbnails)
    bool fit = false;  // --fit: the whole scene brought into view as View > Fit whole scene does
    std::optional<UpAxis> up;  // --up: the model's axis stood up, as View > Up axis does
    int turntable = 0;  // frames of a turntable, 0 for one picture; output is then their prefix
};

constexpr int kMostTurntableFrames = 100000;

// The display modes by the names --render takes, in the order of the view's modes.
struct DisplayModeName {
    const char* name;
    DisplayMode mode;
};
inline constexpr DisplayModeName kDisplayModeNames[] = {
    {"vertex", ModeVertex}, {"line", ModeLine}, {"flat", ModeFlat}, {"smooth", ModeSmooth}};

// args are the words after --render. False with a reason for a usage error.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// args are the words after --thumbnail: SIZE IN OUT.png. The options draw a SIZE x SIZE picture
// of the models alone (no grid, box, light markers or label) from the default view point's
// direction, near enough that the models fill the square.
bool ParseThumbnailOptions(const std::vector<std::string>& args, RenderOptions& options,
                           std::string& error);

// The file of frame k of a turntable of count frames: PREFIX-000.png and on, with as many digits
// as the last frame needs and at least three; a PREFIX that ends in ".png" loses it first.
std::string TurntableFrameFile(const std::string& prefix, int k, int count);

// What a freshly loaded scene shows (smooth, grid, box, light markers, label and texture maps,
// perspective, through the first camera when there is one), changed as the options say.
ViewState RenderViewState(const RenderOptions& options, const Scene& scene);
