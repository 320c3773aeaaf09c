#include "cli/CommandOptions.h"

#include <sstream>

namespace {

constexpr size_t kHelpColumn = 33;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

const std::vector<CommandOption>& CommandOptions() {
    static const std::vector<CommandOption> kOptions = {
        {Command::Window, "", "[FILE]", "open the window; load FILE if given", true},
        {Command::FrameLog, "--frame-log", "--frame-log LOG [FILE]",
         "open the window as usual and append a line for every\n"
         "frame drawn to LOG: milliseconds since start, milliseconds\n"
         "the frame took, triangles drawn, full or moving",
         true},
        {Command::Info, "--info", "--info FILE", "print the statistics line of FILE's scene",
         false},
        {Command::Dump, "--dump", "--dump FILE", "print the whole scene as JSON", false},
        {Command::Convert, "--convert", "--convert IN OUT",
         "load IN (a model or .zmv) and save it as a scene file, or\n"
         "export it when OUT ends in .glb .gltf .obj .stl .ply .dae\n"
         ".3mf or .3ds",
         false},
        {Command::Render, "--render",
         "--render FILE --output OUT.png [--size WxH] [--mode vertex|line|flat|smooth]\n"
         "[--top] [--default-view] [--no-grid] [--no-box] [--no-lights] [--no-text]\n"
         "[--no-default-lights] [--no-textures] [--no-smoothing-groups] [--no-copies]\n"
         "[--fit] [--up z|y|-y|x|-x] [--turntable N]",
         "draw one frame without any display and save it; with\n"
         "--turntable, one whole turn in N frames, OUT-000.png on",
         true},
        {Command::Thumbnail, "--thumbnail", "--thumbnail SIZE IN OUT.png",
         "draw a SIZE x SIZE preview of IN for file managers", true},
        {Command::Check, "--check", "--check FILE",
         "read FILE as the import does and list everything\n"
         "passed over, repaired, dropped or cut (.3ds: with offsets)",
         false},
        {Command::Help, "--help", "--help | --version", "", false},
        {Command::Version, "--version", "", "", false},
    };
    return kOptions;
}

const CommandOption* FindCommandOption(const std::string& name) {
    const std::string wanted = name == "-h" ? "--help" : name;
    for (const CommandOption& option : CommandOptions()) {
        if (*option.name && wanted == option.name) return &option;
    }
    return nullptr;
}

std::string UsageText() {
    std::string text = "Usage:\n";
    for (const CommandOption& option : CommandOptions()) {
        const std::vector<std::string> synopsis = Lines(option.synopsis);
        if (synopsis.empty()) continue;
        std::vector<std::string> help = Lines(option.help);
        for (size_t i = 0; i < synopsis.size(); ++i) {
            std::string line = (i == 0 ? "  zemvora " : "          ") + synopsis[i];
            // A short one-line synopsis has its help beside it, a longer one beneath it.
            if (synopsis.size() == 1 && !help.empty() && line.size() < kHelpColumn) {
                line.resize(kHelpColumn, ' ');
                line += help.front();
                help.erase(help.begin());
            }
            text += line + "\n";
        }
        for (const std::string& line : help)
            text += std::string(kHelpColumn, ' ') + line + "\n";
    }
    return text;
}
