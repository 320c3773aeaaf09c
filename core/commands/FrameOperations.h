// What the commands that replace or store the whole scene need of the main window: its view,
// its parameter panel, its status bar and its title.
#pragma once

#include <string>

#include "scene/SceneFile.h"

class FrameOperations : public SceneFileView {
public:
    // Play scene off, its timer stopped.
    virtual void StopPlay() = 0;
    // The view back to the state a freshly opened scene is shown in.
    virtual void ResetViewState() = 0;
    // The panel rebuilt from the scene (first object, material, light and camera current).
    virtual void RefreshTrees() = 0;
    virtual void UpdateSliders() = 0;
    // The panel emptied.
    virtual void ClearPanel() = 0;
    // The statistics line recounted.
    virtual void ShowSceneStatistics() = 0;
    // Lights, projection and one frame.
    virtual void RedrawView() = 0;
    // Projection, lights and one frame, in that order, as after an Open.
    virtual void ShowOpenedScene() = 0;
    virtual void SetWindowTitle(const std::string& title) = 0;
};
