#include "commands/DocumentCommands.h"

#include "commands/SceneFileCommands.h"

namespace {

NoticeIcon IconOf(const FileOutcome& outcome) {
    return outcome.icon == FileOutcome::Icon::Stop ? NoticeIcon::Stop : NoticeIcon::Warning;
}

// The view and the panel in line with the scene as it now is.
void ShowScene(FrameOperations& frame) {
    frame.ShowOpenedScene();
    frame.RefreshTrees();
    frame.UpdateSliders();
}

// Open once the file is chosen: the old scene goes, the path is taken even if reading fails.
void OpenChosenFile(const std::string& path, Scene& scene, Prompts& prompts,
                    FrameOperations& frame) {
    frame.ResetViewState();
    const FileOutcome outcome = OpenSceneFile(path, scene, &frame);
    if (outcome.ok)
        frame.SetWindowTitle(path);
    else
        prompts.Notice(outcome.message, IconOf(outcome));
    ShowScene(frame);
    frame.ShowSceneStatistics();
}

void SaveTo(const std::string& path, Scene& scene, Prompts& prompts, FrameOperations& frame) {
    const FileOutcome outcome = SaveSceneAs(path, scene);
    if (!outcome.ok) {
        prompts.Notice(outcome.message, IconOf(outcome));
        return;
    }
    scene.m_strFilePath = path;
    frame.SetWindowTitle(path);
    scene.m_bModified = 0;
}

}  // namespace

FileDialogOptions SceneFileDialog(bool saving) {
    FileDialogOptions dialog;
    dialog.filters = {{"Zemvora Files (*.zmv)", "*.zmv"}, {"All Files (*.*)", "*.*"}};
    if (saving) {
        dialog.defaultExtension = "zmv";
        dialog.confirmOverwrite = true;
    }
    return dialog;
}

void OnSceneNew(Scene& scene, Prompts& prompts, FrameOperations& frame) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to create a new Zemvora file without saving change?"))
        return;
    scene.ClearScene();
    scene.m_settings.currentCamera = -1;
    scene.m_settings.currentObject = -1;
    frame.ClearPanel();
    frame.ShowSceneStatistics();
    frame.RedrawView();
}

void OnSceneOpen(Scene& scene, Prompts& prompts, FrameOperations& frame) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to open a Zemvora file without saving change?"))
        return;
    const std::optional<std::string> path = prompts.OpenFileName(SceneFileDialog(false));
    if (!path) {
        // Nothing read, but the first object and camera become current all the same.
        ShowScene(frame);
        return;
    }
    OpenChosenFile(*path, scene, prompts, frame);
}

void OpenSceneFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts,
                              FrameOperations& frame) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to open a Zemvora file without saving change?"))
        return;
    OpenChosenFile(path, scene, prompts, frame);
}

void OnSceneSave(Scene& scene, Prompts& prompts, FrameOperations& frame) {
    if (scene.m_strFilePath.empty()) {
        OnSceneSaveAs(scene, prompts, frame);
        return;
    }
    SaveTo(scene.m_strFilePath, scene, prompts, frame);
}

void OnSceneSaveAs(Scene& scene, Prompts& prompts, FrameOperations& frame) {
    const std::optional<std::string> path = prompts.SaveFileName(SceneFileDialog(true));
    if (!path) return;
    SaveTo(*path, scene, prompts, frame);
}

bool OnClose(Scene& scene, Prompts& prompts) {
    return !scene.m_bModified ||
           prompts.AskYesNo("Do you want to quit Zemvora without saving change?");
}
