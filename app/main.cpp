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
    if (args.empty() || (args.size() == 1 && args[0][0] != '-')) {
        return RunWindow(argc, argv, args.empty() ? std::string() : args[0]);
    }
    return RunCommandLine(args, std::cout, std::cerr);
}
