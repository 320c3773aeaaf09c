#include <iostream>
#include <string>
#include <vector>

#include "ExportChild.h"
#include "ImportChild.h"
#include "QuickShaders.h"
#include "RenderCommand.h"
#include "RunWindow.h"
#include "ThumbnailCommand.h"
#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "cli/CommandSandbox.h"

namespace {

// A command that draws a picture or a few in a process of its own.
template <class Command>
auto OnePictureCommand(Command command) {
    return [command](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        PreferQuickShaderCompiles();
        return command(args, out, err);
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The import child, started by the program itself before any toolkit is set up.
    if (args.size() == 2 && args[0] == kImportChildOption) return RunImportChild(args[1]);
    if (args.size() == 3 && args[0] == kExportChildOption) return RunExportChild(args[1], args[2]);
    // The command line has checked the words before it hands them over.
    const auto window = [&](const std::vector<std::string>& words) {
        return RunWindow(argc, argv, WindowRequestOf(words).value_or(WindowRequest{}));
    };
    const DrawingCommands drawing = {
        {Command::Window, [&](const std::vector<std::string>& file, std::ostream&,
                              std::ostream&) { return window(file); }},
        {Command::FrameLog,
         [&](const std::vector<std::string>& rest, std::ostream&, std::ostream&) {
             std::vector<std::string> words = {"--frame-log"};
             words.insert(words.end(), rest.begin(), rest.end());
             return window(words);
         }},
        {Command::Render, OnePictureCommand(RunRenderCommand)},
        {Command::Thumbnail, OnePictureCommand(RunThumbnailCommand)},
    };
    // The commands keep themselves to what is left to do once they have read their input.
    CommandsRestrictThemselves() = true;
    return RunCommandLine(args, std::cout, std::cerr, drawing);
}
