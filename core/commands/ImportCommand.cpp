#include "commands/ImportCommand.h"

#include "childimport/ForeignImport.h"
#include "commands/MissingImagesNote.h"
#include "formats/FileFormats.h"
#include "import3ds/ImportFile.h"

namespace {

bool MayReplaceScene(const Scene& scene, Prompts& prompts) {
    return !scene.m_bModified ||
           prompts.AskYesNo("Do you want to import a .3ds file without saving change?");
}

FrameUpdate ImportChosenFile(const std::string& path, Scene& scene) {
    // Another format is read into a scene of its own: an importer that fails leaves the scene
    // as it was.
    const FileOutcome outcome = ReaderOfFile(path) == FormatReader::Studio3ds
                                    ? ImportSceneFile(path, scene)
                                    : ImportForeignFile(path, scene);
    FrameUpdate update;
    if (outcome.cancelled) return update;  // the user stopped it: nothing changed, nothing to say
    if (!outcome.ok && outcome.sceneKept) {
        update.notice = outcome.message;
        update.noticeReason = outcome.reason;
        update.noticeIcon = NoticeIcon::Warning;
        update.Then(FrameStep::ShowNotice);
        return update;
    }
    update.Then(FrameStep::ClearHistory);  // the old scene is gone, read or not
    if (!outcome.ok) {
        update.notice = outcome.message;
        update.noticeReason = outcome.reason;
        update.noticeIcon = NoticeIcon::Warning;
        update.Then(FrameStep::ShowNotice)
            .Then(FrameStep::ClearPanel)
            .Then(FrameStep::ShowSceneStatistics)
            .Then(FrameStep::RedrawView);
        return update;
    }
    // A scene with a camera is shown through it.
    if (!scene.m_cameras.empty()) update.Then(FrameStep::LookThroughCamera);
    update.file = path;
    update.Then(FrameStep::RefreshTrees)
        .Then(FrameStep::ShowSceneStatistics)
        .Then(FrameStep::RedrawView)
        .Then(FrameStep::RememberFile);
    AddMissingImagesNote(scene, update);
    return update;
}

}  // namespace

FileDialogOptions ImportFileDialog() {
    FileDialogOptions dialog;
    dialog.filters = ImportDialogFilters();
    dialog.showReadOnly = true;
    return dialog;
}

FrameUpdate OnImportFile(Scene& scene, Prompts& prompts) {
    if (!MayReplaceScene(scene, prompts)) return {};
    const std::optional<std::string> path = prompts.OpenFileName(ImportFileDialog());
    if (!path) return {};
    return ImportChosenFile(*path, scene);
}

FrameUpdate ImportFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts) {
    if (!MayReplaceScene(scene, prompts)) return {};
    return ImportChosenFile(path, scene);
}
