// What the parameter panel needs of the main window: the scene it shows and edits, the prompts,
// and the redraws after a change.
#pragma once

#include "commands/Prompts.h"
#include "history/EditHistory.h"
#include "scene/Scene.h"

class PanelFrame {
public:
    virtual ~PanelFrame() = default;
    virtual Scene& PanelScene() = 0;
    virtual Prompts& PanelPrompts() = 0;
    // Where the panel's edits become steps to undo.
    virtual EditHistory& PanelHistory() = 0;
    // The view draws the changed scene at once: lights, projection, then one frame.
    virtual void RedrawView() = 0;
    // The view takes the scene's changed label font and draws one frame (lights and projection
    // stay as they were).
    virtual void RebuildTextFont() = 0;
};
