#include "childimport/ForeignImport.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "childimport/ChildProcess.h"
#include "import3ds/ImportFile.h"
#include "scene/InputStream.h"
#include "scene/SceneMessages.h"

uint64_t ImportChildMemoryLimit(uint64_t fileSize) {
    const uint64_t extra = uint64_t{256} << 20;
    constexpr uint64_t kFactor = 48;
    return fileSize > (UINT64_MAX - extra) / kFactor ? UINT64_MAX : fileSize * kFactor + extra;
}

uint64_t ImportChildAnswerLimit(uint64_t fileSize) {
    return ImportChildMemoryLimit(fileSize);
}

ForeignImportSettings& ProcessForeignImportSettings() {
    static ForeignImportSettings settings;
    return settings;
}

namespace {

// The importer failed, not the file: the scene stays as it was.
FileOutcome Failed(const std::string& name, std::string reason) {
    FileOutcome outcome =
        FileOutcome::Failure(messages::CannotImportFile(name)).Because(std::move(reason));
    outcome.sceneKept = true;
    return outcome;
}

// The file cannot be read (not there, not a file, refused by the library): as with a 3D Studio
// file, the scene the user chose to replace is gone and the window shows it empty.
FileOutcome Cleared(Scene& scene, const std::string& path, FileOutcome outcome) {
    EmptyScene(scene);
    scene.m_strImageBase = path;
    return outcome;
}

}  // namespace

PendingImport::PendingImport(const std::string& path)
    : m_path(path), m_name(FileNameOf(path).empty() ? path : FileNameOf(path)) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        const int code = errno;
        m_unreadable = FileOutcome::Failure(messages::CannotOpenFile(m_name, code))
                           .Because(messages::SystemReason(code));
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        const int code = S_ISDIR(info.st_mode) ? EISDIR : InputStream::kNotRegularFile;
        m_unreadable = FileOutcome::Failure(messages::CannotOpenFile(m_name, code))
                           .Because(messages::SystemReason(code));
        return;
    }

    const ForeignImportSettings& settings = ProcessForeignImportSettings();
    ChildLimits limits;
    limits.wallSeconds = m_wallSeconds = settings.wallSeconds;
    m_memory = ImportChildMemoryLimit(static_cast<uint64_t>(info.st_size));
    limits.maxBytes = m_answerBytes =
        settings.answerBytes ? settings.answerBytes
                             : ImportChildAnswerLimit(static_cast<uint64_t>(info.st_size));
    if (settings.watch)
        limits.watch = [watch = settings.watch, name = m_name](int percent) {
            return watch(name, percent);
        };
    // The objects the child sends ahead are read while it goes on.
    m_answer = std::make_unique<ChildAnswerReader>(m_answerBytes);
    limits.partial = [this](const uint8_t* data, size_t size) {
        const size_t read = m_answer->ReadAhead(data, size);
        if (read != m_readAhead && m_shown) m_shown(m_answer->Announced());
        return m_readAhead = read;
    };
    m_child.emplace(settings.program, std::vector<std::string>{"zemvora", kImportChildOption, path},
                    limits);
}

PendingImport::~PendingImport() = default;

void PendingImport::ShowAsItComes(Scene& coming, std::function<void(bool announced)> shown) {
    if (!m_answer) return;
    m_coming = &coming;
    m_answer->ReadInto(coming);
    m_shown = std::move(shown);
}

FileOutcome ImportForeignFile(const std::string& path, Scene& scene, ConversionReport* report) {
    return PendingImport(path).Finish(scene, report);
}

FileOutcome PendingImport::Finish(Scene& scene, ConversionReport* report) {
    const std::string& path = m_path;
    const std::string& name = m_name;
    if (!m_child) return Cleared(scene, path, m_unreadable);
    // The scene that showed the import as it came was new, and is again unless the import
    // succeeds; the font and path an import keeps are a new scene's.
    const LogFont font = m_coming ? SceneSettings().textFont : scene.m_settings.textFont;
    const std::string filePath = m_coming ? std::string() : scene.m_strFilePath;
    struct Showing {
        Scene* coming;
        bool done = false;
        ~Showing() {
            if (coming && !done) *coming = Scene();
        }
    } showing{m_coming};
    ChildRun run = m_child->Wait();
    m_child.reset();
    if (!run.started) return Failed(name, messages::ImporterNotStarted(run.startError));
    if (run.cancelled) {
        FileOutcome outcome;
        outcome.ok = false;
        outcome.sceneKept = true;
        outcome.cancelled = true;
        return outcome;
    }
    if (run.timedOut) return Failed(name, messages::ImporterTimedOut(m_wallSeconds));
    if (run.tooMuch) return Failed(name, messages::ImporterAnswerTooLong(m_answerBytes));
    if (!run.exited) {
        // Past its CPU time the child gets SIGXCPU, then SIGKILL; over its memory, an
        // allocation the library does not check can fault: both are named by their signal.
        return Failed(name, messages::ImporterStopped(run.signal));
    }
    if (run.exitCode != 0) return Failed(name, messages::ImporterExited(run.exitCode));

    Scene fresh;
    std::vector<std::string> lines;
    ChildAnswerResult answer;
    try {
        answer = m_answer->Finish(run.output.data(), run.output.size(), fresh, lines);
        ChildOutput::ReleaseAside(std::move(run.output));
    } catch (const std::bad_alloc&) {
        FileOutcome outcome = FileOutcome::Failure(messages::CannotOpenFile(name, ENOMEM))
                                  .Because(messages::SystemReason(ENOMEM));
        outcome.sceneKept = true;
        return outcome;
    }
    switch (answer) {
        case ChildAnswerResult::Scene:
            break;
        case ChildAnswerResult::Refused:
            showing.done = true;
            return Cleared(
                scene, path,
                FileOutcome::Failure(messages::CannotImportFile(name))
                    .Because(messages::ImporterRefused(lines.empty() ? "" : lines.front())));
        case ChildAnswerResult::OutOfMemory:
            return Failed(name, messages::ImporterOutOfMemory(m_memory));
        case ChildAnswerResult::Written:  // an export's answer is no import's
        case ChildAnswerResult::Garbage:
            return Failed(name, messages::ImporterGarbage());
    }
    if (report) {
        for (std::string& line : lines)
            if (line.rfind(kSandboxNotePrefix, 0) == 0)
                report->sandbox = line.substr(std::string(kSandboxNotePrefix).size());
            else
                report->lines.push_back(std::move(line));
    }

    fresh.m_settings.textFont = font;
    fresh.m_strFilePath = filePath;
    showing.done = true;
    fresh.m_strImageBase = path;
    fresh.m_bModified = true;
    fresh.m_settings.currentObject = -1;
    fresh.m_settings.currentCamera = -1;
    MakeFirstRecordsCurrent(fresh);
    scene = std::move(fresh);
    return FileOutcome::Success();
}
