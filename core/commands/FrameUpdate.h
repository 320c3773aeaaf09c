// What the main window does once a command has replaced or stored the scene: the command flows
// change the scene and ask their questions, then hand the window this list to carry out in order.
#pragma once

#include <string>
#include <vector>

#include "commands/Prompts.h"

enum class FrameStep {
    // Play scene off, its timer stopped, and the view in the state a freshly opened scene is
    // shown in (smooth mode, grid and label shown, default view point).
    ResetViewState,
    // The view takes the scene's label font.
    ApplyTextFont,
    // Default view point off: the view looks through the current camera.
    LookThroughCamera,
    // The update's notice shown in a message box.
    ShowNotice,
    // The window titled with the update's title.
    SetWindowTitle,
    // Lights, projection and one frame, drawn at once.
    RedrawView,
    // The same full redraw, as the view's first frame of a scene read from a file.
    ShowOpenedScene,
    // The first object and camera made current (MakeFirstRecordsCurrent), then the panel's
    // trees, camera list and texts rebuilt from the scene.
    RefreshTrees,
    // The panel's sliders showing the selected material or light.
    UpdateSliders,
    // The panel's trees, camera list and texts emptied.
    ClearPanel,
    // The statistics line recounted.
    ShowSceneStatistics,
    // The update's status text in the status bar, until the next message there replaces it.
    ShowStatus,
    // The undo history forgotten: the scene it was about is gone.
    ClearHistory,
    // The update's file, just opened, imported or saved, put first among the recent files.
    RememberFile,
};

struct FrameUpdate {
    std::vector<FrameStep> steps;
    std::string title;         // for SetWindowTitle
    std::string notice;        // for ShowNotice
    std::string noticeReason;  // for ShowNotice: the system's reason beneath, or empty
    NoticeIcon noticeIcon = NoticeIcon::Warning;
    std::string file;    // for RememberFile
    std::string status;  // for ShowStatus

    FrameUpdate& Then(FrameStep step) {
        steps.push_back(step);
        return *this;
    }
};
