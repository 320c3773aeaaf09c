// A main window stand-in that carries out the steps the command flows hand back and records
// them, in order, under the names of the window's operations.
#pragma once

#include <string>
#include <vector>

#include "commands/DocumentCommands.h"
#include "commands/ImportCommand.h"

class RecordingFrame final {
public:
    std::vector<std::string> calls;
    std::string title = "Untitled - Zemvora";
    int defaultView = 1;
    int historyClears = 0;                // not among the calls: no window operation draws or asks
    std::vector<std::string> remembered;  // the files put first among the recent ones
    std::string status;                   // the status bar's note: gone once another scene is shown

    // What the window does before an import: play stops.
    void StopPlay() { calls.push_back("StopPlay"); }

    void Carry(const FrameUpdate& update, Scene& scene, Prompts& prompts) {
        for (FrameStep step : update.steps) {
            switch (step) {
                case FrameStep::ResetViewState:
                    calls.push_back("ResetViewState");
                    defaultView = 1;
                    break;
                case FrameStep::ApplyTextFont:
                    calls.push_back("ApplyTextFont");
                    break;
                case FrameStep::LookThroughCamera:
                    calls.push_back("SetDefaultView");
                    defaultView = 0;
                    break;
                case FrameStep::ShowNotice:
                    prompts.NoticeWithReason(update.notice, update.noticeReason, update.noticeIcon);
                    break;
                case FrameStep::SetWindowTitle:
                    calls.push_back("SetWindowTitle");
                    title = update.title;
                    break;
                case FrameStep::RedrawView:
                    calls.push_back("RedrawView");
                    break;
                case FrameStep::ShowOpenedScene:
                    calls.push_back("ShowOpenedScene");
                    break;
                case FrameStep::RefreshTrees:
                    MakeFirstRecordsCurrent(scene);
                    calls.push_back("RefreshTrees");
                    status.clear();
                    break;
                case FrameStep::UpdateSliders:
                    calls.push_back("UpdateSliders");
                    break;
                case FrameStep::ClearPanel:
                    calls.push_back("ClearPanel");
                    status.clear();
                    break;
                case FrameStep::ShowSceneStatistics:
                    calls.push_back("ShowSceneStatistics");
                    break;
                case FrameStep::ShowStatus:
                    calls.push_back("ShowStatus");
                    status = update.status;
                    break;
                case FrameStep::ClearHistory:
                    ++historyClears;
                    break;
                case FrameStep::RememberFile:
                    remembered.push_back(update.file);
                    break;
            }
        }
    }
};

// Each command run as the window runs it, its steps carried out by the recording frame.
inline void OnSceneNew(Scene& scene, Prompts& prompts, RecordingFrame& frame) {
    frame.Carry(OnSceneNew(scene, prompts), scene, prompts);
}
inline void OnSceneOpen(Scene& scene, Prompts& prompts, RecordingFrame& frame) {
    frame.Carry(OnSceneOpen(scene, prompts), scene, prompts);
}
inline void OnSceneSave(Scene& scene, Prompts& prompts, RecordingFrame& frame) {
    frame.Carry(OnSceneSave(scene, prompts), scene, prompts);
}
inline void OnSceneSaveAs(Scene& scene, Prompts& prompts, RecordingFrame& frame) {
    frame.Carry(OnSceneSaveAs(scene, prompts), scene, prompts);
}
inline void OnImportFile(Scene& scene, Prompts& prompts, RecordingFrame& frame) {
    frame.StopPlay();
    frame.Carry(OnImportFile(scene, prompts), scene, prompts);
}
inline void ImportFileFromOutside(const std::string& path, Scene& scene, Prompts& prompts,
                                  RecordingFrame& frame) {
    frame.StopPlay();
    frame.Carry(ImportFileFromOutside(path, scene, prompts), scene, prompts);
}
