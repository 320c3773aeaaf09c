#include "commands/ExportCommand.h"

#include <algorithm>

#include "childimport/ForeignExport.h"
#include "formats/ExportFormats.h"
#include "import3ds/ImportFile.h"

namespace {

// The scene's name without its extension: "jeep1" for /models/jeep1.3ds.
std::string StemOf(const std::string& path) {
    std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name.empty() ? "scene" : name;
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string StartPathBeside(const Scene& scene, const std::string& folder,
                            const std::string& extension) {
    const std::string source =
        !scene.m_strFilePath.empty() ? scene.m_strFilePath : scene.m_strImageBase;
    const std::string start = !folder.empty() ? folder : FolderOfPath(source);
    return (start.empty() ? "" : start + "/") + StemOf(source) + extension;
}

FileDialogOptions ExportFileDialog(const Scene& scene, const ExportMemory& memory) {
    FileDialogOptions dialog;
    dialog.filters = ExportDialogFilters();
    const auto remembered = std::find_if(
        dialog.filters.begin(), dialog.filters.end(),
        [&memory](const auto& filter) { return filter.second == "*" + memory.extension; });
    if (remembered != dialog.filters.end())
        std::rotate(dialog.filters.begin(), remembered, remembered + 1);
    dialog.defaultExtension = memory.extension.empty() ? "" : memory.extension.substr(1);
    dialog.confirmOverwrite = true;
    dialog.initialPath = StartPathBeside(scene, memory.folder, memory.extension);
    return dialog;
}

FrameUpdate OnExport(const Scene& scene, Prompts& prompts, ExportMemory& memory) {
    FrameUpdate update;
    std::optional<std::string> chosen = prompts.SaveFileName(ExportFileDialog(scene, memory));
    if (!chosen) return update;
    std::string path = *chosen;
    // A name without a format's extension takes the remembered one.
    if (!ExportFormatOf(path)) path += memory.extension;
    const ExportFormat* format = ExportFormatOf(path);
    memory.folder = FolderOfPath(path);
    if (format) memory.extension = format->extension;
    ConversionReport report;
    const FileOutcome outcome = ExportSceneToFile(scene, path, &report);
    if (!outcome.ok) {
        prompts.NoticeWithReason(outcome.message, outcome.reason, outcome.icon);
        return update;
    }
    update.status = FileNameOf(path) + " exported";
    if (!report.lines.empty()) {
        std::string left;
        for (const std::string& line : report.lines)
            left += (left.empty() ? "" : "\n") + line;
        prompts.NoticeWithReason(FileNameOf(path) + " was exported.", left, NoticeIcon::None);
    }
    return update.Then(FrameStep::ShowStatus);
}
