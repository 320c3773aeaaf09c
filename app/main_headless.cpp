// The program without its window and OpenGL drawing, for builds that only need the file commands
// (the fuzzing build).
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCommandLine(args, std::cout, std::cerr);
}
