#include "commands/DocumentCommands.h"

#include <filesystem>

#include "commands/MissingImagesNote.h"
#include "commands/SceneFileCommands.h"
#include "images/KeptMapImages.h"

namespace {

// The title names the file by its full path, however it was given.
std::string TitleOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

void AddNotice(FrameUpdate& update, const FileOutcome& outcome) {
    update.notice = outcome.message;
    update.noticeReason = outcome.reason;
    update.noticeIcon = outcome.icon;
    update.Then(FrameStep::ShowNotice);
}

// The view and the panel in line with the scene as it now is.
void ShowScene(FrameUpdate& update) {
    update.Then(FrameStep::ShowOpenedScene)
        .Then(FrameStep::RefreshTrees)
        .Then(FrameStep::UpdateSliders);
}

// Open once the file is chosen: the old scene goes, the path is taken even if reading fails.
FrameUpdate OpenChosenFile(const std::string& path, Scene& scene) {
    const FileOutcome outcome = OpenSceneFile(path, scene);
    FrameUpdate update;
    update.Then(FrameStep::ClearHistory);
    update.Then(FrameStep::ResetViewState);
    for (FrameStep step : ViewStepsForReadScene(scene))
        update.Then(step);
    if (outcome.ok) {
        update.title = update.file = TitleOf(path);
        update.Then(FrameStep::SetWindowTitle).Then(FrameStep::RememberFile);
    } else {
        AddNotice(update, outcome);
    }
    ShowScene(update);
    update.Then(FrameStep::ShowSceneStatistics);
    AddMissingImagesNote(scene, update);
    // What the file lost is said once the scene it did give is on the screen.
    if (!outcome.warning.empty()) {
        update.notice = outcome.warning;
        update.noticeIcon = NoticeIcon::Warning;
        update.Then(FrameStep::ShowNotice);
    }
    return update;
}

FrameUpdate SaveTo(const std::string& path, Scene& scene) {
    // The images go into the file, so that it shows its textures wherever it goes.
    const std::vector<std::string> missing = KeepFoundMapImages(scene);
    const FileOutcome outcome = SaveSceneAs(path, scene);
    FrameUpdate update;
    if (!outcome.ok) {
        AddNotice(update, outcome);
        return update;
    }
    scene.m_strFilePath = path;
    scene.m_bModified = false;
    update.title = update.file = TitleOf(path);
    update.Then(FrameStep::SetWindowTitle).Then(FrameStep::RememberFile);
    if (!missing.empty()) {
        update.status = SavedWithoutImagesText(missing);
        update.Then(FrameStep::ShowStatus);
    }
    return update;
}

}  // namespace

std::vector<FrameStep> ViewStepsForReadScene(const Scene& scene) {
    // Records join the scene only once read whole, so any camera there was read from the file.
    if (scene.m_cameras.empty()) return {FrameStep::ApplyTextFont};
    return {FrameStep::ApplyTextFont, FrameStep::LookThroughCamera};
}

FileDialogOptions SceneFileDialog(bool saving) {
    FileDialogOptions dialog;
    dialog.filters = {{"Zemvora Files (*.zmv)", "*.zmv"}, {"All Files (*.*)", "*.*"}};
    if (saving) {
        dialog.defaultExtension = "zmv";
        dialog.confirmOverwrite = true;
    }
    return dialog;
}

FrameUpdate OnSceneNew(Scene& scene, Prompts& prompts) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to create a new Zemvora file without saving change?"))
        return {};
    EmptyScene(scene);
    scene.m_strImageBase.clear();
    FrameUpdate update;
    update.Then(FrameStep::ClearHistory)
        .Then(FrameStep::ClearPanel)
        .Then(FrameStep::ShowSceneStatistics)
        .Then(FrameStep::RedrawView);
    return update;
}

FrameUpdate OnSceneOpen(Scene& scene, Prompts& prompts) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to open a Zemvora file without saving change?"))
        return {};
    const std::optional<std::string> path = prompts.OpenFileName(SceneFileDialog(false));
    if (!path) {
        // Nothing read, but the first object and camera become current all the same.
        FrameUpdate update;
        ShowScene(update);
        return update;
    }
    return OpenChosenFile(*path, scene);
}

FrameUpdate OpenSceneFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts) {
    if (scene.m_bModified &&
        !prompts.AskYesNo("Do you want to open a Zemvora file without saving change?"))
        return {};
    return OpenChosenFile(path, scene);
}

FrameUpdate OnSceneSave(Scene& scene, Prompts& prompts) {
    if (scene.m_strFilePath.empty()) return OnSceneSaveAs(scene, prompts);
    return SaveTo(scene.m_strFilePath, scene);
}

FrameUpdate OnSceneSaveAs(Scene& scene, Prompts& prompts) {
    const std::optional<std::string> path = prompts.SaveFileName(SceneFileDialog(true));
    if (!path) return {};
    return SaveTo(*path, scene);
}

bool OnClose(Scene& scene, Prompts& prompts) {
    return !scene.m_bModified ||
           prompts.AskYesNo("Do you want to quit Zemvora without saving change?");
}
