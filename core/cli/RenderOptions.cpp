#include "cli/RenderOptions.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3) return false;
    constexpr int kLargest = 16384;
    return (x == 'x' || x == 'X') && width > 0 && height > 0 && width <= kLargest &&
           height <= kLargest;
}

// A whole number from first to last, with nothing after it.
bool ParseCount(const std::string& text, int first, int last, int& value) {
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c", &value, &rest) == 1 && value >= first && value <= last;
}

bool ParseMode(const std::string& text, DisplayMode& mode) {
    for (const DisplayModeName& m : kDisplayModeNames) {
        if (text == m.name) {
            mode = m.mode;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--output" || a == "--size" || a == "--mode" || a == "--turntable" ||
            a == "--up") {
            if (!hasValue) {
                error = a + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (a == "--output") {
                options.output = value;
            } else if (a == "--size" && !ParseSize(value, options.width, options.height)) {
                error = "--size takes WIDTHxHEIGHT, for example 800x600";
                return false;
            } else if (a == "--mode" && !ParseMode(value, options.mode)) {
                error = "--mode takes vertex, line, flat or smooth";
                return false;
            } else if (a == "--up" && !(options.up = UpAxisNamed(value))) {
                error = "--up takes z, y, -y, x or -x";
                return false;
            } else if (a == "--turntable" &&
                       !ParseCount(value, 1, kMostTurntableFrames, options.turntable)) {
                error = "--turntable takes a number of frames from 1 to " +
                        std::to_string(kMostTurntableFrames);
                return false;
            }
        } else if (a == "--top") {
            options.top = true;
        } else if (a == "--default-view") {
            options.defaultView = true;
        } else if (a == "--no-grid") {
            options.noGrid = true;
        } else if (a == "--no-box") {
            options.noBox = true;
        } else if (a == "--no-lights") {
            options.noLights = true;
        } else if (a == "--no-text") {
            options.noText = true;
        } else if (a == "--no-default-lights") {
            options.noDefaultLights = true;
        } else if (a == "--no-textures") {
            options.noTextures = true;
        } else if (a == "--no-smoothing-groups") {
            options.noSmoothingGroups = true;
        } else if (a == "--no-copies") {
            options.noCopies = true;
        } else if (a == "--fit") {
            options.fit = true;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (options.file.empty()) {
            options.file = a;
        } else {
            error = "--render takes one file";
            return false;
        }
    }
    if (options.file.empty() || options.output.empty()) {
        error = options.turntable ? "--render --turntable N needs a file and --output PREFIX"
                                  : "--render needs a file and --output OUT.png";
        return false;
    }
    return true;
}

bool ParseThumbnailOptions(const std::vector<std::string>& args, RenderOptions& options,
                           std::string& error) {
    // File managers ask for 128 to 1024 pixels; the bound keeps a picture's memory modest.
    constexpr int kLargestThumbnail = 4096;
    if (args.size() != 3) {
        error = "--thumbnail takes SIZE IN OUT.png";
        return false;
    }
    int size = 0;
    if (!ParseCount(args[0], 1, kLargestThumbnail, size)) {
        error = "--thumbnail takes a size from 1 to " + std::to_string(kLargestThumbnail);
        return false;
    }
    options = RenderOptions();
    options.file = args[1];
    options.output = args[2];
    options.width = options.height = size;
    options.defaultView = true;
    options.fitModels = true;
    options.noGrid = options.noBox = options.noLights = options.noText = true;
    return true;
}

std::string TurntableFrameFile(const std::string& prefix, int k, int count) {
    const int digits = std::max<int>(3, static_cast<int>(std::to_string(count - 1).size()));
    std::string number = std::to_string(k);
    if (static_cast<int>(number.size()) < digits)
        number.insert(0, static_cast<size_t>(digits) - number.size(), '0');
    // "--output spin.png" means the frames spin-000.png and on, not spin.png-000.png.
    std::string stem = prefix;
    std::string end = stem.size() > 4 ? stem.substr(stem.size() - 4) : "";
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (end == ".png") stem.resize(stem.size() - 4);
    return stem + "-" + number + ".png";
}

ViewState RenderViewState(const RenderOptions& options, const Scene& scene) {
    ViewState view;
    view.m_bDefaultView = scene.m_cameras.empty() || options.defaultView;
    view.m_nDisplayMode = options.mode;
    view.m_nProjection = options.top ? ProjTopView : ProjPerspective;
    view.m_bShowGrid = !options.noGrid;
    view.m_bShowBox = !options.noBox;
    view.m_bShowLight = !options.noLights;
    view.m_bShowText = !options.noText;
    view.m_bDefaultLights = !options.noDefaultLights;
    view.m_bShowTextures = !options.noTextures;
    view.m_bSmoothingGroups = !options.noSmoothingGroups;
    view.m_bCopies = !options.noCopies;
    view.m_bFitModels = options.fitModels;
    return view;
}
