#include "commands/ImportCommand.h"

#include "import3ds/ImportFile.h"

namespace {

bool MayReplaceScene(const Scene& scene, Prompts& prompts) {
    return !scene.m_bModified ||
           prompts.AskYesNo("Do you want to import a .3ds file without saving change?");
}

void ImportChosenFile(const std::string& path, Scene& scene, Prompts& prompts,
                      FrameOperations& frame) {
    const FileOutcome outcome = ImportSceneFile(path, scene);
    if (!outcome.ok) {
        prompts.Notice(outcome.message, NoticeIcon::Warning);
        frame.ClearPanel();
        frame.RedrawView();
        return;
    }
    // A scene with a camera is shown through it.
    if (!scene.m_cameras.empty()) frame.SetDefaultView(0);
    frame.RefreshTrees();
    frame.ShowSceneStatistics();
    frame.RedrawView();
}

}  // namespace

FileDialogOptions Import3dsFileDialog() {
    FileDialogOptions dialog;
    dialog.filters = {{"3DS Files (*.3ds)", "*.3ds"}, {"All Files (*.*)", "*.*"}};
    dialog.showReadOnly = true;
    return dialog;
}

void OnImport3ds(Scene& scene, Prompts& prompts, FrameOperations& frame) {
    frame.StopPlay();
    if (!MayReplaceScene(scene, prompts)) return;
    const std::optional<std::string> path = prompts.OpenFileName(Import3dsFileDialog());
    if (!path) return;
    ImportChosenFile(*path, scene, prompts, frame);
}

void Import3dsFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts,
                              FrameOperations& frame) {
    frame.StopPlay();
    if (!MayReplaceScene(scene, prompts)) return;
    ImportChosenFile(path, scene, prompts, frame);
}
