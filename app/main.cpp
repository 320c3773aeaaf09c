#include <iostream>
#include <string>
#include <vector>

#include "RenderCommand.h"
#include "RunWindow.h"
#include "ThumbnailCommand.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const DrawingCommands drawing = {
        {Command::Window,
         [&](const std::vector<std::string>& file, std::ostream&, std::ostream&) {
             return RunWindow(argc, argv, file.empty() ? std::string() : file[0]);
         }},
        {Command::Render, RunRenderCommand},
        {Command::Thumbnail, RunThumbnailCommand},
    };
    return RunCommandLine(args, std::cout, std::cerr, drawing);
}
