#include "view/DisplayCommands.h"

#include "commands/CommandIds.h"

std::optional<ViewRedraw> ApplyDisplayCommand(int id, ViewState& view) {
    switch (id) {
        case cmd::kVertexMode:
            view.m_nDisplayMode = ModeVertex;
            return ViewRedraw::Full;
        case cmd::kLineMode:
            view.m_nDisplayMode = ModeLine;
            return ViewRedraw::Full;
        case cmd::kFlatMode:
            view.m_nDisplayMode = ModeFlat;
            return ViewRedraw::Full;
        case cmd::kSmoothMode:
            view.m_nDisplayMode = ModeSmooth;
            return ViewRedraw::Full;
        case cmd::kShowGrid:
            view.m_bShowGrid = !view.m_bShowGrid;
            return ViewRedraw::Full;
        case cmd::kShowLight:
            view.m_bShowLight = !view.m_bShowLight;
            return ViewRedraw::RenderScene;
        case cmd::kShowBox:
            view.m_bShowBox = !view.m_bShowBox;
            return ViewRedraw::RenderScene;
        case cmd::kShowText:
            view.m_bShowText = !view.m_bShowText;
            return ViewRedraw::RenderScene;
        default:
            return std::nullopt;
    }
}

std::optional<bool> DisplayCommandChecked(int id, const ViewState& view) {
    switch (id) {
        case cmd::kVertexMode:
            return view.m_nDisplayMode == ModeVertex;
        case cmd::kLineMode:
            return view.m_nDisplayMode == ModeLine;
        case cmd::kFlatMode:
            return view.m_nDisplayMode == ModeFlat;
        case cmd::kSmoothMode:
            return view.m_nDisplayMode == ModeSmooth;
        case cmd::kShowGrid:
            return view.m_bShowGrid != 0;
        case cmd::kShowLight:
            return view.m_bShowLight != 0;
        case cmd::kShowBox:
            return view.m_bShowBox != 0;
        case cmd::kShowText:
            return view.m_bShowText != 0;
        case cmd::kPlay:
            return view.m_bPlay != 0;
        default:
            return std::nullopt;
    }
}

const char* ContextFailureMessage(bool created) {
    return created ? "SetPixelFormat failed" : "ChoosePixelFormat failed";
}
