#include "cli/RenderOptions.h"

#include <cstdio>

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3) return false;
    constexpr int kLargest = 16384;
    return (x == 'x' || x == 'X') && width > 0 && height > 0 && width <= kLargest &&
           height <= kLargest;
}

bool ParseMode(const std::string& text, int32_t& mode) {
    const struct {
        const char* name;
        int32_t mode;
    } modes[] = {
        {"vertex", ModeVertex}, {"line", ModeLine}, {"flat", ModeFlat}, {"smooth", ModeSmooth}};
    for (const auto& m : modes) {
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
        if (a == "--output" || a == "--size" || a == "--mode") {
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
        error = "--render needs a file and --output OUT.png";
        return false;
    }
    return true;
}

ViewState RenderViewState(const RenderOptions& options, const Scene& scene) {
    ViewState view;
    view.m_bDefaultView = scene.m_cameras.empty() || options.defaultView ? 1 : 0;
    view.m_nDisplayMode = options.mode;
    view.m_nProjection = options.top ? ProjTopView : ProjPerspective;
    view.m_bShowGrid = !options.noGrid;
    view.m_bShowBox = !options.noBox;
    view.m_bShowLight = !options.noLights;
    view.m_bShowText = !options.noText;
    view.m_bDefaultLights = !options.noDefaultLights;
    return view;
}
