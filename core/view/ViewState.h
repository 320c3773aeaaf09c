// What the view shows and how: display mode, the shown elements, projection, field of view,
// play, the mouse state and the frame timing. Lives as long as the view; never saved.
#pragma once

#include <cstdint>

enum DisplayMode : int32_t { ModeVertex = 0, ModeLine = 1, ModeFlat = 2, ModeSmooth = 3 };
enum ProjectionKind : int32_t { ProjPerspective = 0, ProjTopView = 3 };

struct ViewState {
    int32_t m_bPlay = 0;
    float m_fAspect = 1.0f;  // viewport width over height
    int32_t m_nDisplayMode = ModeSmooth;
    int32_t m_bShowGrid = 1;
    int32_t m_bShowText = 1;
    int32_t m_bShowBox = 1;
    int32_t m_bShowLight = 1;
    int32_t m_bDefaultView = 1;  // eye from the scene bounds instead of the current camera
    // The default eye drawn back (or nearer) until the models' bounding sphere fits the view:
    // the whole model in a thumbnail. The window keeps the plain default view point.
    int32_t m_bFitModels = 0;
    // A scene without any light is lit by two default lights; off only for comparisons.
    int32_t m_bDefaultLights = 1;
    // Texture maps drawn on the faces that have them; off, those faces show their colours only.
    int32_t m_bShowTextures = 1;
    int32_t m_bLeftDown = 0;
    int32_t m_bRightDown = 0;
    int32_t m_bDragNote = 0;
    float m_fFovY = 25.0f;  // degrees
    int32_t m_nProjection = ProjPerspective;
    int32_t m_nLastY = 0;
    int32_t m_nLastX = 0;

    // Timing of the last frame, in ticks of a 10 MHz counter.
    int32_t m_nFrameTicks = 0;
    float m_fFps = 0.0f;
    int64_t m_liStart = 0;
    int64_t m_liEnd = 0;
    int64_t m_liFreq = 10000000;

    // The state a freshly opened scene is shown in. Box, light markers, the right button and the
    // field of view keep their values. The caller stops the play timer.
    void ResetViewState() {
        m_bDefaultView = 1;
        m_bPlay = 0;
        m_nDisplayMode = ModeSmooth;
        m_bShowGrid = 1;
        m_bShowText = 1;
        m_bLeftDown = 0;
        m_nProjection = ProjPerspective;
        m_nLastY = 0;
        m_nLastX = 0;
    }
};
