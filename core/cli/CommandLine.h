// The program's command line: the headless commands run here and return the exit status
// (0 done, 1 a file could not be loaded or saved, 2 a usage error).
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandOptions.h"
#include "formats/FileFormats.h"

#include "scene/FileOutcome.h"
#include "scene/Scene.h"

class PendingImport;

constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

// Loads a file as the program's own commands do, by the reader the format table gives it: a 3D
// Studio file or another model as the import does, a scene file (or a file of no known format)
// as Open does, with its first object and camera made current. What a file read whole still
// lost (the outcome's warning) goes to err at once.
FileOutcome LoadSceneForCommandLine(const std::string& path, Scene& scene, std::ostream& err);

// The same in two steps, so that a command can set itself up while a model in another format is
// read: its import child starts at once, and Finish (called once) gives the outcome.
class SceneLoad {
public:
    SceneLoad(const std::string& path, std::ostream& err);
    ~SceneLoad();
    SceneLoad(const SceneLoad&) = delete;
    SceneLoad& operator=(const SceneLoad&) = delete;
    // Whether the file is being read by an import child.
    bool ReadInChild() const { return m_import != nullptr; }
    // Shows the scene as the import child sends it, as PendingImport::ShowAsItComes does; does
    // nothing for a file read here.
    void ShowAsItComes(Scene& coming, std::function<void(bool announced)> shown);
    FileOutcome Finish(Scene& scene);

private:
    std::string m_path;
    std::ostream& m_err;
    FormatReader m_reader;
    std::unique_ptr<PendingImport> m_import;
    std::chrono::steady_clock::time_point m_start;
    bool m_shown = false;  // a progress line was written
};

// Writes a failed load's or save's message to err, with the system's reason on a second line
// when there is one, and returns kExitFileError.
int ReportFileFailure(std::ostream& err, const FileOutcome& outcome);

// How a build runs a command that needs the window or OpenGL: given the words after the command's
// name (the window: the file alone, or nothing), returns the exit status.
using CommandRunner =
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>;
using DrawingCommands = std::map<Command, CommandRunner>;

// Runs the command that args name (args excludes the program name): the commands without a window
// or OpenGL here, the others through drawing, where the build has them. Writes results to out and
// messages to err. A command the build lacks is "not available in this build".
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const DrawingCommands& drawing = {});

// What the window opens with: a file to load (or none) and the frame log to append to (or "").
struct WindowRequest {
    std::string file;
    std::string frameLog;
};

// The command lines that open the window: none, a file alone, or --frame-log LOG [FILE].
// Nothing for any other.
std::optional<WindowRequest> WindowRequestOf(const std::vector<std::string>& args);
