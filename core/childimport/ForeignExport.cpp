#include "childimport/ForeignExport.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "childimport/ChildProcess.h"
#include "childimport/ForeignImport.h"
#include "import3ds/ImportFile.h"
#include "scene/OutputStream.h"
#include "scene/SceneFile.h"
#include "scene/SceneMessages.h"

namespace fs = std::filesystem;

namespace {

// The folder the child writes into, beside the target; removed with what is left in it.
class WorkFolder {
public:
    explicit WorkFolder(const fs::path& folder) {
        std::string pattern = (folder / ".zemvora-export-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
        else
            m_error = errno;
    }
    ~WorkFolder() {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    int Error() const { return m_error; }

private:
    fs::path m_path;
    int m_error = 0;
};

FileOutcome Failed(const std::string& name, std::string reason) {
    return FileOutcome::Failure(messages::CannotExportFile(name)).Because(std::move(reason));
}

// Moves what the child wrote into the target's folder, the target itself last, each file
// replacing its namesake in one step.
int MoveIntoPlace(const fs::path& work, const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(work, error)) {
        if (entry.path().filename() == name) continue;
        fs::rename(entry.path(), folder / entry.path().filename(), error);
        if (error) return error.value();
    }
    if (error) return error.value();
    fs::rename(work / name, folder / name, error);
    return error.value();
}

}  // namespace

FileOutcome ExportSceneToFile(const Scene& scene, const std::string& path,
                              ConversionReport* report) {
    const std::string name = FileNameOf(path).empty() ? path : FileNameOf(path);
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    WorkFolder work(folder);
    if (work.Path().empty()) return Failed(name, messages::SystemReason(work.Error()));

    std::vector<uint8_t> bytes;
    {
        OutputStream out(bytes);
        WriteScene(out, scene);
    }
    const ForeignImportSettings& settings = ProcessForeignImportSettings();
    ChildLimits limits;
    limits.wallSeconds = settings.wallSeconds;
    limits.maxBytes = kExportChildAnswerBytes;
    limits.input = bytes.data();
    limits.inputSize = bytes.size();
    const ChildRun run = RunChild(
        settings.program,
        {"zemvora", kExportChildOption, (work.Path() / name).string(), scene.m_strImageBase},
        limits);
    if (!run.started) return Failed(name, messages::ExporterNotStarted(run.startError));
    if (run.timedOut) return Failed(name, messages::ExporterTimedOut(limits.wallSeconds));
    if (run.tooMuch) return Failed(name, messages::ExporterAnswerTooLong(limits.maxBytes));
    if (!run.exited) return Failed(name, messages::ExporterStopped(run.signal));
    if (run.exitCode != 0) return Failed(name, messages::ExporterExited(run.exitCode));
    Scene none;
    std::vector<std::string> lines;
    switch (ReadChildAnswer(run.output.data(), run.output.size(), none, lines)) {
        case ChildAnswerResult::Written:
            break;
        case ChildAnswerResult::Refused:
            return Failed(name, lines.empty() ? messages::ExporterGarbage() : lines.front());
        default:
            return Failed(name, messages::ExporterGarbage());
    }
    if (const int error = MoveIntoPlace(work.Path(), folder, name))
        return Failed(name, messages::SystemReason(error));
    if (report) report->lines = lines;
    return FileOutcome::Success();
}
