#include "view/PendingDrawing.h"

ViewSteps PendingDrawing::Add(const ViewSteps& steps) {
    ViewSteps now;
    for (ViewStep step : steps) {
        switch (step) {
            case ViewStep::SetupProjection:
                m_projection = true;
                break;
            case ViewStep::RenderScene:
            case ViewStep::TimerPath:
                // A full redraw sets lights and projection too, so it covers a frame.
                if (step == ViewStep::TimerPath || m_frame == Frame::Full)
                    m_frame = Frame::Full;
                else
                    m_frame = Frame::Scene;
                break;
            case ViewStep::TogglePlay:
                now.push_back(step);
                break;
        }
    }
    return now;
}

void PendingDrawing::Clear() {
    m_projection = false;
    m_frame = Frame::None;
}

ViewSteps PendingDrawing::Take() {
    ViewSteps steps;
    if (m_frame == Frame::Full) {
        steps.push_back(ViewStep::TimerPath);
    } else {
        if (m_projection) steps.push_back(ViewStep::SetupProjection);
        if (m_frame == Frame::Scene) steps.push_back(ViewStep::RenderScene);
    }
    Clear();
    return steps;
}

bool ExpectSlowFrame(const ViewState& view) {
    // The last frame's length, in the view's ticks; 0.3 s of them.
    return static_cast<int64_t>(view.m_nFrameTicks) * 10 > view.m_liFreq * 3;
}
