#include <iostream>
#include <string>
#include <vector>

#include "RenderCommand.h"
#include "RunWindow.h"
#include "ThumbnailCommand.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--render") {
        return RunRenderCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (!args.empty() && args[0] == "--thumbnail") {
        return RunThumbnailCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (const std::optional<WindowRequest> window = WindowRequestOf(args)) {
        return RunWindow(argc, argv, *window);
    }
    return RunCommandLine(args, std::cout, std::cerr);
}
