// The program's command line: the headless commands run here and return the exit status
// (0 done, 1 a file could not be loaded or saved, 2 a usage error).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "scene/FileOutcome.h"
#include "scene/Scene.h"

constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

// Loads a file as the program's own commands do: ".3ds" (any case) as the import does, anything
// else as Open does, with its first object and camera made current.
FileOutcome LoadSceneForCommandLine(const std::string& path, Scene& scene);

// Writes a failed load's or save's message to err, with the system's reason on a second line
// when there is one, and returns kExitFileError.
int ReportFileFailure(std::ostream& err, const FileOutcome& outcome);

// The commands that need no window and no OpenGL; args excludes the program name. Writes
// results to out and messages to err.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What the window opens with: a file to load (or none) and the frame log to append to (or "").
struct WindowRequest {
    std::string file;
    std::string frameLog;
};

// The command lines that open the window: none, a file alone, or --frame-log LOG [FILE].
// Nothing for any other, which RunCommandLine then answers.
std::optional<WindowRequest> WindowRequestOf(const std::vector<std::string>& args);
