// The program without its window and OpenGL drawing, for builds that only need the file commands
// (the fuzzing build).
#include <iostream>
#include <string>
#include <vector>

#include "ExportChild.h"
#include "ImportChild.h"
#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "cli/CommandSandbox.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The import child, started by the program itself before any toolkit is set up.
    if (args.size() == 2 && args[0] == kImportChildOption) return RunImportChild(args[1]);
    if (args.size() == 3 && args[0] == kExportChildOption) return RunExportChild(args[1], args[2]);
    // The commands keep themselves to what is left to do once they have read their input.
    CommandsRestrictThemselves() = true;
    return RunCommandLine(args, std::cout, std::cerr);
}
