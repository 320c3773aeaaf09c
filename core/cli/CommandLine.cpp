#include "cli/CommandLine.h"

#include <filesystem>
#include <ostream>

#include "cli/BuildInfo.h"
#include "cli/ImportCheck.h"
#include "cli/SceneDump.h"
#include "commands/SceneFileCommands.h"
#include "import3ds/ImportFile.h"
#include "scene/SceneMessages.h"

namespace {

const char kUsage[] =
    "Usage:\n"
    "  zemvora [FILE]                 open the window; load FILE if given\n"
    "  zemvora --frame-log LOG [FILE] open the window as usual and append a line for every\n"
    "                                 frame drawn to LOG: milliseconds since start, milliseconds\n"
    "                                 the frame took, triangles drawn, full or moving\n"
    "  zemvora --info FILE            print the statistics line of FILE's scene\n"
    "  zemvora --dump FILE            print the whole scene as JSON\n"
    "  zemvora --convert IN OUT.zmv   load IN (.3ds or .zmv) and save it as a scene file\n"
    "  zemvora --render FILE --output OUT.png [--size WxH] [--mode vertex|line|flat|smooth]\n"
    "          [--top] [--default-view] [--no-grid] [--no-box] [--no-lights] [--no-text]\n"
    "          [--no-default-lights] [--turntable N]\n"
    "                                 draw one frame without any display and save it; with\n"
    "                                 --turntable, N frames of play as OUT-000.png and on\n"
    "  zemvora --thumbnail SIZE IN OUT.png\n"
    "                                 draw a SIZE x SIZE preview of IN for file managers\n"
    "  zemvora --check FILE           read FILE as the import does and list, with file\n"
    "                                 offsets, everything passed over or repaired\n"
    "  zemvora --help | --version\n";

// The absolute form of a path, as the program's file dialogs hand it over.
std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

int UsageError(std::ostream& err, const std::string& problem) {
    err << "zemvora: " << problem << "\n" << kUsage;
    return kExitUsage;
}

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(path, scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    scene.CountScene();
    out << messages::StatisticsLine(scene.m_stats) << "\n";
    return kExitOk;
}

int Dump(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(path, scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    out << DumpSceneJson(scene);
    return kExitOk;
}

int Convert(const std::string& from, const std::string& to, std::ostream& err) {
    Scene scene;
    FileOutcome outcome = LoadSceneForCommandLine(from, scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    outcome = SaveSceneAs(AbsolutePath(to), scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    return kExitOk;
}

}  // namespace

int ReportFileFailure(std::ostream& err, const FileOutcome& outcome) {
    err << outcome.message << "\n";
    if (!outcome.reason.empty()) err << outcome.reason << "\n";
    return kExitFileError;
}

FileOutcome LoadSceneForCommandLine(const std::string& path, Scene& scene) {
    if (Is3dsFileName(path)) return ImportSceneFile(path, scene);
    FileOutcome outcome = OpenSceneFile(AbsolutePath(path), scene);
    MakeFirstRecordsCurrent(scene);
    return outcome;
}

std::optional<WindowRequest> WindowRequestOf(const std::vector<std::string>& args) {
    if (args.empty()) return WindowRequest{};
    if (args.size() == 1 && (args[0].empty() || args[0][0] != '-'))
        return WindowRequest{args[0], ""};
    if (args[0] != "--frame-log" || args.size() < 2 || args.size() > 3) return std::nullopt;
    WindowRequest request{args.size() == 3 ? args[2] : "", args[1]};
    // A name that looks like an option is more likely a mistake than a name.
    if (request.frameLog.empty() || request.frameLog[0] == '-') return std::nullopt;
    if (!request.file.empty() && request.file[0] == '-') return std::nullopt;
    return request;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err, "no file given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        out << kUsage;
        return kExitOk;
    }
    if (command == "--version") {
        out << "Zemvora Creator " << buildinfo::kVersion << "\n";
        return kExitOk;
    }
    if (command == "--info" || command == "--dump") {
        if (args.size() != 2) return UsageError(err, command + " takes one file");
        return command == "--info" ? Info(args[1], out, err) : Dump(args[1], out, err);
    }
    if (command == "--check") {
        if (args.size() != 2) return UsageError(err, "--check takes one file");
        return RunImportCheck(args[1], out, err);
    }
    if (command == "--convert") {
        if (args.size() != 3) return UsageError(err, "--convert takes an input and an output file");
        return Convert(args[1], args[2], err);
    }
    if (command == "--frame-log")
        return UsageError(err, "--frame-log takes a log file and at most one scene file");
    if (command.size() > 1 && command[0] == '-')
        return UsageError(err, "unknown option " + command);
    return UsageError(err, args.size() == 1 ? "a file alone opens the window" : "too many files");
}
