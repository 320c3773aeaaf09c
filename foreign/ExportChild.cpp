#include "ExportChild.h"

#include <assimp/scene.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <assimp/Exporter.hpp>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "GltfFinish.h"
#include "ObjFinish.h"
#include "SceneToLibrary.h"
#include "Write3MF.h"
#include "childimport/ChildAnswer.h"
#include "childimport/ForeignExport.h"
#include "export3ds/Write3DS.h"
#include "formats/ExportFormats.h"
#include "sandbox/Sandbox.h"
#include "scene/InputStream.h"
#include "scene/SceneFile.h"
#include "scene/SceneMessages.h"

namespace {

void SetLimits() {
    const rlimit cpu{kExportChildCpuSeconds, kExportChildCpuSeconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

[[noreturn]] void Answer(ChildStatus status, const std::vector<std::string>& lines) {
    AnswerAndExit(status, lines, nullptr);
}

std::vector<uint8_t> ReadStandardInput() {
    std::vector<uint8_t> bytes;
    for (;;) {
        const size_t at = bytes.size();
        bytes.resize(at + (size_t{1} << 20));
        const ssize_t n = read(STDIN_FILENO, bytes.data() + at, size_t{1} << 20);
        if (n < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        bytes.resize(at + static_cast<size_t>(n > 0 ? n : 0));
        if (n <= 0) return bytes;
    }
}

}  // namespace

int RunExportChild(const std::string& outPath, const std::string& imageBase) {
    SetLimits();
    // Before a byte of the scene is read: the folder of its images and the system's libraries
    // may be read, files written only in the folder of the file to write.
    const auto folderOf = [](const std::string& path) {
        const size_t slash = path.find_last_of('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    };
    SandboxRules rules;
    rules.readable = SystemReadableFolders();
    if (!imageBase.empty()) rules.readable.push_back(folderOf(imageBase));
    rules.writable.push_back(folderOf(outPath));
    EnterSandbox(rules);
    const ExportFormat* format = ExportFormatOf(outPath);
    if (!format) Answer(ChildStatus::Refused, {messages::ExporterUnknownFormat()});
    const std::vector<uint8_t> bytes = ReadStandardInput();
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    ReadExtrasResult extras = ReadExtrasResult::None;
    if (ReadScene(in, scene, &extras) != ReadSceneResult::Read)
        Answer(ChildStatus::Refused, {messages::ExporterGarbage()});
    if (format->ownWriter && format->extension == ".3mf") {
        std::vector<std::string> notes;
        std::string why;
        if (!Write3MF(scene, outPath, notes, why)) Answer(ChildStatus::Refused, {why});
        if (!scene.m_lights.empty() || !scene.m_cameras.empty())
            notes.push_back("lights and cameras left out: 3MF keeps none");
        if (std::any_of(scene.m_materials.begin(), scene.m_materials.end(),
                        [](const SceneMaterial& m) { return m.textureMap.has_value(); }))
            notes.push_back("texture maps left out: 3MF keeps the materials' colours");
        Answer(ChildStatus::Written, notes);
    }
    if (format->ownWriter) {
        std::vector<std::string> notes;
        const std::vector<uint8_t> file = Write3DS(scene, notes);
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        const bool written = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
        const int error = errno;
        if (!out || std::fclose(out) != 0 || !written)
            Answer(ChildStatus::Refused, {messages::SystemReason(error ? error : EIO)});
        Answer(ChildStatus::Written, notes);
    }
    LibraryScene converted = SceneToLibrary(scene, *format, imageBase);
    Assimp::Exporter exporter;
    if (exporter.Export(converted.scene.get(), format->exporterId, outPath) != AI_SUCCESS)
        Answer(ChildStatus::Refused, {*exporter.GetErrorString() ? exporter.GetErrorString()
                                                                 : "The exporter could not write "
                                                                   "the file"});
    if (format->exporterId == "glb2" || format->exporterId == "gltf2") {
        std::string why;
        if (!FinishGltf(outPath, scene, why)) Answer(ChildStatus::Refused, {why});
    }
    if (format->exporterId == "obj") {
        std::string why;
        if (!FinishObj(outPath, scene, why)) Answer(ChildStatus::Refused, {why});
    }
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(outPath).parent_path();
    for (const auto& [from, name] : converted.images) {
        std::error_code error;
        fs::copy_file(from, folder / name, fs::copy_options::overwrite_existing, error);
        if (error) Answer(ChildStatus::Refused, {messages::SystemReason(error.value())});
    }
    Answer(ChildStatus::Written, converted.leftOut);
}
