#include "commands/SavePictureCommand.h"

#include "commands/ExportCommand.h"
#include "formats/PictureFormats.h"
#include "import3ds/ImportFile.h"

FileDialogOptions PictureFileDialog(const Scene& scene, const PictureMemory& memory) {
    FileDialogOptions dialog;
    dialog.filters = PictureDialogFilters();
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
    const std::string path = PictureFormatOf(*chosen) ? *chosen : *chosen + ".png";
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
