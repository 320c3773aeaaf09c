#include "view/DisplayCommands.h"

#include "commands/CommandIds.h"

namespace {

// One display toggle: its command, its key, and what it changes.
struct DisplayToggle {
    int command;
    int key;                // 0 for a toggle that is no key of the view
    ViewStep commandStep;   // what the command asks for; the key always asks for one frame
    bool ViewState::*flag;  // the element shown or hidden; null for a display mode
    DisplayMode mode;       // the display mode set when flag is null
};

constexpr DisplayToggle kToggles[] = {
    {cmd::kVertexMode, 'V', ViewStep::TimerPath, nullptr, ModeVertex},
    {cmd::kLineMode, 'W', ViewStep::TimerPath, nullptr, ModeLine},
    {cmd::kFlatMode, 'F', ViewStep::TimerPath, nullptr, ModeFlat},
    {cmd::kSmoothMode, 'M', ViewStep::TimerPath, nullptr, ModeSmooth},
    {cmd::kShowGrid, 'G', ViewStep::TimerPath, &ViewState::m_bShowGrid, {}},
    {cmd::kShowLight, 'L', ViewStep::RenderScene, &ViewState::m_bShowLight, {}},
    {cmd::kShowBox, 'B', ViewStep::RenderScene, &ViewState::m_bShowBox, {}},
    {cmd::kShowText, 'T', ViewStep::RenderScene, &ViewState::m_bShowText, {}},
    {cmd::kShowTextures, 0, ViewStep::RenderScene, &ViewState::m_bShowTextures, {}},
};

const DisplayToggle* ToggleOfCommand(int id) {
    for (const DisplayToggle& t : kToggles)
        if (t.command == id) return &t;
    return nullptr;
}

void Apply(const DisplayToggle& t, ViewState& view) {
    if (t.flag)
        view.*t.flag = !(view.*t.flag);
    else
        view.m_nDisplayMode = t.mode;
}

}  // namespace

std::optional<ViewStep> ApplyDisplayCommand(int id, ViewState& view) {
    const DisplayToggle* t = ToggleOfCommand(id);
    if (!t) return std::nullopt;
    Apply(*t, view);
    return t->commandStep;
}

std::optional<ViewStep> ApplyDisplayKey(int key, ViewState& view) {
    for (const DisplayToggle& t : kToggles) {
        if (t.key == 0 || t.key != key) continue;
        Apply(t, view);
        return ViewStep::RenderScene;
    }
    return std::nullopt;
}

std::optional<bool> DisplayCommandChecked(int id, const ViewState& view) {
    if (id == cmd::kPlay) return view.m_bPlay;
    const DisplayToggle* t = ToggleOfCommand(id);
    if (!t) return std::nullopt;
    return t->flag ? view.*t->flag : view.m_nDisplayMode == t->mode;
}

const char* ContextFailureMessage(bool created) {
    return created ? "SetPixelFormat failed" : "ChoosePixelFormat failed";
}
