#include "commands/SavePictureCommand.h"

#include <algorithm>
#include <cctype>

#include "commands/ExportCommand.h"
#include "import3ds/ImportFile.h"

namespace {

// Whether the name ends in an extension a picture is written in (any case).
bool HasPictureExtension(const std::string& path) {
    std::string lower = FileNameOf(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* extension : {".png", ".jpg", ".jpeg"}) {
        const std::string e = extension;
        if (lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0)
            return true;
    }
    return false;
}

}  // namespace

FileDialogOptions PictureFileDialog(const Scene& scene, const PictureMemory& memory) {
    FileDialogOptions dialog;
    dialog.filters = {{"PNG picture (*.png)", "*.png"}, {"JPEG picture (*.jpg *.jpeg)", "*.jpg"}};
    dialog.defaultExtension = "png";
    dialog.confirmOverwrite = true;
    dialog.initialPath = StartPathBeside(scene, memory.folder, ".png");
    return dialog;
}

FrameUpdate OnSavePicture(const Scene& scene, Prompts& prompts, PictureMemory& memory,
                          const PictureSize& shown, const PictureWriter& write) {
    FrameUpdate update;
    const std::optional<std::string> chosen =
        prompts.SaveFileName(PictureFileDialog(scene, memory));
    if (!chosen) return update;
    // A name without a picture's extension is a PNG picture.
    const std::string path = HasPictureExtension(*chosen) ? *chosen : *chosen + ".png";
    memory.folder = FolderOfPath(path);
    const std::optional<PictureSize> size = prompts.AskPictureSize(shown);
    if (!size) return update;
    std::string reason;
    if (!write(path, *size, reason)) {
        prompts.NoticeWithReason("Can not write picture " + path, reason, NoticeIcon::Warning);
        return update;
    }
    update.status = FileNameOf(path) + " saved";
    return update.Then(FrameStep::ShowStatus);
}
