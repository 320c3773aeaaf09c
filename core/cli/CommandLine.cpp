#include "cli/CommandLine.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <ostream>

#include "childimport/ForeignExport.h"
#include "childimport/ForeignImport.h"
#include "cli/CommandOptions.h"
#include "cli/CommandSandbox.h"
#include "cli/ImportCheck.h"
#include "cli/SceneDump.h"
#include "commands/BuildInfo.h"
#include "commands/SceneFileCommands.h"
#include "formats/ExportFormats.h"
#include "formats/FileFormats.h"
#include "images/KeptMapImages.h"
#include "import3ds/ImportFile.h"
#include "scene/SceneMessages.h"

namespace {

// The absolute form of a path, as the program's file dialogs hand it over.
std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

int UsageError(std::ostream& err, const std::string& problem) {
    err << "zemvora: " << problem << "\n" << UsageText();
    return kExitUsage;
}

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(path, scene, err);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    RestrictAfterReading(path);
    scene.CountScene();
    out << messages::StatisticsLine(scene.m_stats) << "\n";
    return kExitOk;
}

int Dump(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(path, scene, err);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    RestrictAfterReading(path);
    out << DumpSceneJson(scene);
    return kExitOk;
}

int Convert(const std::string& from, const std::string& to, std::ostream& err) {
    Scene scene;
    FileOutcome outcome = LoadSceneForCommandLine(from, scene, err);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    // A scene file, or a file in the format its extension names, written by the export child,
    // which restricts itself (this process still has to start it).
    if (ExportFormatOf(to)) {
        ConversionReport report;
        outcome = ExportSceneToFile(scene, to, &report);
        if (!outcome.ok) return ReportFileFailure(err, outcome);
        for (const std::string& line : report.lines)
            err << line << "\n";
        return kExitOk;
    }
    // The images go into the scene file; the file is written here, and only beside the output.
    const std::vector<std::string> missing = KeepFoundMapImages(scene);
    RestrictAfterReading(from, {FolderOf(to)});
    outcome = SaveSceneAs(AbsolutePath(to), scene);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    if (!missing.empty()) err << SavedWithoutImagesText(missing) << "\n";
    return kExitOk;
}

}  // namespace

int ReportFileFailure(std::ostream& err, const FileOutcome& outcome) {
    err << outcome.message << "\n";
    if (!outcome.reason.empty()) err << outcome.reason << "\n";
    return kExitFileError;
}

SceneLoad::SceneLoad(const std::string& path, std::ostream& err)
    : m_path(path), m_err(err), m_start(std::chrono::steady_clock::now()) {
    m_reader = ReaderOfFile(path);
    if (m_reader != FormatReader::ImportChild) return;
    // A person at a terminal sees how far a long read has come; a script sees nothing.
    if (!isatty(STDERR_FILENO)) {
        m_import = std::make_unique<PendingImport>(path);
        return;
    }
    // The child takes its watch when it starts; the watch goes then, however that ends.
    struct Watching {
        explicit Watching(ForeignImportSettings::Watch watch) {
            ProcessForeignImportSettings().watch = std::move(watch);
        }
        ~Watching() { ProcessForeignImportSettings().watch = nullptr; }
    } watching([this](const std::string& name, int percent) {
        const auto waited = std::chrono::steady_clock::now() - m_start;
        if (percent < 0 || waited < std::chrono::milliseconds(500)) return true;
        m_err << "\rzemvora: reading " << name << ", " << percent << "%" << std::flush;
        m_shown = true;
        return true;
    });
    m_import = std::make_unique<PendingImport>(path);
}

SceneLoad::~SceneLoad() = default;

void SceneLoad::ShowAsItComes(Scene& coming, std::function<void(bool announced)> shown) {
    if (m_import) m_import->ShowAsItComes(coming, std::move(shown));
}

FileOutcome SceneLoad::Finish(Scene& scene) {
    if (m_reader == FormatReader::Studio3ds) return ImportSceneFile(m_path, scene);
    if (m_import) {
        FileOutcome outcome = m_import->Finish(scene);
        if (m_shown) m_err << "\n" << std::flush;
        return outcome;
    }
    FileOutcome outcome = OpenSceneFile(AbsolutePath(m_path), scene);
    MakeFirstRecordsCurrent(scene);
    if (!outcome.warning.empty()) m_err << outcome.warning << "\n";
    return outcome;
}

FileOutcome LoadSceneForCommandLine(const std::string& path, Scene& scene, std::ostream& err) {
    return SceneLoad(path, err).Finish(scene);
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

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const DrawingCommands& drawing) {
    const auto window = drawing.find(Command::Window);
    if (args.empty()) {
        if (window != drawing.end()) return window->second(args, out, err);
        return UsageError(err, "no file given");
    }
    const std::string& command = args[0];
    if (command.empty() || command[0] != '-') {
        if (args.size() > 1) return UsageError(err, "too many files");
        if (window != drawing.end()) return window->second(args, out, err);
        return UsageError(err, "a file alone opens the window");
    }
    const CommandOption* option = FindCommandOption(command);
    if (!option && command.size() > 1) return UsageError(err, "unknown option " + command);
    if (!option)
        return UsageError(err,
                          args.size() == 1 ? "a file alone opens the window" : "too many files");
    if (option->drawing) {
        const auto run = drawing.find(option->command);
        if (run == drawing.end()) {
            err << "zemvora: " << command << " is not available in this build\n";
            return kExitUsage;
        }
        if (option->command == Command::FrameLog && !WindowRequestOf(args))
            return UsageError(err, "--frame-log takes a log file and at most one scene file");
        return run->second({args.begin() + 1, args.end()}, out, err);
    }
    switch (option->command) {
        case Command::Help:
            out << UsageText();
            return kExitOk;
        case Command::Version:
            out << "Zemvora Creator " << buildinfo::kVersion << "\n"
                << "Copyright (c) 2026 Zemvora Creator developers, under the MIT licence\n";
            return kExitOk;
        case Command::Info:
        case Command::Dump:
            if (args.size() != 2) return UsageError(err, command + " takes one file");
            return option->command == Command::Info ? Info(args[1], out, err)
                                                    : Dump(args[1], out, err);
        case Command::Check:
            if (args.size() != 2) return UsageError(err, "--check takes one file");
            return RunImportCheck(args[1], out, err);
        case Command::Convert:
            if (args.size() != 3)
                return UsageError(err, "--convert takes an input and an output file");
            return Convert(args[1], args[2], err);
        default:
            return UsageError(err, "unknown option " + command);
    }
}
