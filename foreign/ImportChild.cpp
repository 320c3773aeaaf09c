#include "ImportChild.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "ConvertScene.h"
#include "FastGltf.h"
#include "FastObj.h"
#include "FastPly.h"
#include "FastReading.h"
#include "FastStl.h"
#include "childimport/ChildAnswer.h"
#include "childimport/ChildProcess.h"
#include "childimport/ForeignImport.h"
#include "formats/FileFormats.h"
#include "sandbox/Sandbox.h"
#include "scene/AddressSanitizer.h"

namespace {

void SetLimits(const std::string& path) {
    struct stat info {};
    const uint64_t size = stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
#if !defined(ZEMVORA_ASAN)
    // The address sanitizer reserves terabytes of address space for itself.
    const rlimit memory{ImportChildMemoryLimit(size), ImportChildMemoryLimit(size)};
    setrlimit(RLIMIT_AS, &memory);
#else
    (void)size;
#endif
    // SIGXCPU at the soft limit, SIGKILL a second later if that is caught.
    const rlimit cpu{kImportChildCpuSeconds, kImportChildCpuSeconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    // A child that crashes leaves no core file behind.
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

[[noreturn]] void Answer(ChildStatus status, const std::vector<std::string>& lines, Scene* scene) {
    AnswerAndExit(status, lines, scene);
}

// Tells the program on kChildProgressFd how far the read has come, a byte for each step of a
// hundred, when the program gave the child that pipe.
class ProgressPipe {
public:
    ProgressPipe() {
        struct stat info {};
        m_open = fstat(kChildProgressFd, &info) == 0 && S_ISFIFO(info.st_mode);
    }
    void Tell(double share) {
        const int percent = std::clamp(static_cast<int>(share * 100), 0, 100);
        if (!m_open || percent <= m_last) return;
        m_last = percent;
        const uint8_t step = static_cast<uint8_t>(percent);
        if (write(kChildProgressFd, &step, 1) != 1) m_open = false;
    }

private:
    bool m_open = false;
    int m_last = -1;
};

// The library's progress, passed on: it gives its reading as 0 to 0.5 and its steps after.
class LibraryProgress final : public Assimp::ProgressHandler {
public:
    explicit LibraryProgress(ProgressPipe& pipe) : m_pipe(pipe) {}
    bool Update(float percentage) override {
        if (percentage >= 0) m_pipe.Tell(percentage);
        return true;
    }

private:
    ProgressPipe& m_pipe;
};

ProgressPipe& ChildProgress() {
    static ProgressPipe pipe;
    return pipe;
}

// The program's own readers of the bulk formats, each tried before the library.
struct FastReader {
    const char* format;  // its name in the format table
    const char* name;    // in the note that it left the file to the library
    bool (*read)(const std::string&, Scene&, std::vector<std::string>&, std::string&);
};
constexpr FastReader kFastReaders[] = {
    {"STL", "STL", ReadStl},
    {"Stanford PLY", "PLY", ReadPly},
    {"glTF", "glTF", ReadGltf},
    {"Wavefront OBJ", "OBJ", ReadObj},
};

const FastReader* FastReaderFor(const std::string& path) {
    const FileFormat* format = FormatOfFile(path);
    for (const FastReader& reader : kFastReaders)
        if (format && format->name == reader.format) return &reader;
    return nullptr;
}

}  // namespace

ChildStatus ReadWithLibrary(const std::string& path, Scene& scene,
                            std::vector<std::string>& lines) {
    Assimp::Importer importer;
    importer.SetProgressHandler(new LibraryProgress(ChildProgress()));  // the importer owns it
    const aiScene* source = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_JoinIdenticalVertices);
    if (!source) {
        // The library catches a failed allocation itself and gives it as its reason.
        const std::string reason = importer.GetErrorString();
        if (reason.find("bad_alloc") != std::string::npos) {
            lines.clear();
            return ChildStatus::OutOfMemory;
        }
        lines = {reason};
        return ChildStatus::Refused;
    }
    ConvertScene(*source, UpAxisOf(*source, path), KeepsModelNormals(path), scene, lines);
    return ChildStatus::Scene;
}

int RunImportChild(const std::string& path) {
    SetLimits(path);
    // Before a byte of the model is read: its folder (where its side files live) and the
    // system's libraries may be read, nothing written, no socket opened, no program run.
    SandboxRules rules;
    rules.readable = SystemReadableFolders();
    const size_t slash = path.find_last_of('/');
    rules.readable.push_back(slash == std::string::npos ? "." : path.substr(0, slash + 1));
    const SandboxLevel sandbox = EnterSandbox(rules);
    try {
        SetReadProgress([](double share) { ChildProgress().Tell(share); });
        Scene scene;
        std::vector<std::string> report;
        if (const std::string note = SandboxNote(sandbox, "importer"); !note.empty())
            report.push_back(kSandboxNotePrefix + note);
        if (const FastReader* fast = FastReaderFor(path)) {
            // Each object goes to the program as soon as it is made, so that a large model is
            // not held twice, and the scene before them where the reader knows it.
            AnswerWriter& answer = ChildAnswerWriter();
            SetSceneAnnouncer([&answer](const Scene& read) { answer.AnnounceScene(read); });
            SetFinishedObjectSink([&answer](Scene& read, size_t index) {
                if (index == answer.SentAhead()) answer.SendAhead(read.m_objects[index]);
            });
            const std::vector<std::string> before = report;
            std::string why;
            if (fast->read(path, scene, report, why)) Answer(ChildStatus::Scene, report, &scene);
            // The library reads the file afresh: nothing the reader made stays.
            SetFinishedObjectSink(nullptr);
            SetSceneAnnouncer(nullptr);
            answer.Forget();
            scene = Scene();
            report = before;
            report.push_back("read by the Open Asset Import Library, not the program's own " +
                             std::string(fast->name) + " reader: " + why);
        }
        const ChildStatus status = ReadWithLibrary(path, scene, report);
        if (status != ChildStatus::Scene) Answer(status, report, nullptr);
        // A file read without error may still hold nothing to show (a text file taken for OBJ).
        if (scene.m_objects.empty() && scene.m_lights.empty() && scene.m_cameras.empty())
            Answer(ChildStatus::Refused, {"The file holds no triangles, lights or cameras"},
                   nullptr);
        Answer(ChildStatus::Scene, report, &scene);
    } catch (const std::bad_alloc&) {
        Answer(ChildStatus::OutOfMemory, {}, nullptr);
    } catch (const std::exception& error) {
        Answer(ChildStatus::Refused, {error.what()}, nullptr);
    }
    return 0;
}
