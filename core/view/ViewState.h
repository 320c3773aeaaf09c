// What the view shows and how: display mode, the shown elements, projection, field of view,
// play, the mouse state and the frame timing. Lives as long as the view; never saved.
#pragma once

#include <cstdint>

// How the objects are drawn: their vertices as points, their edges, or their faces shaded flat or
// smooth.
enum class DisplayMode : int32_t { ModeVertex = 0, ModeLine = 1, ModeFlat = 2, ModeSmooth = 3 };

// The perspective through the eye, or the orthographic view from above.
enum class ProjectionKind : int32_t { ProjPerspective = 0, ProjTopView = 3 };

// The enumerators by their plain names, as C++20's `using enum` would give them.
inline constexpr DisplayMode ModeVertex = DisplayMode::ModeVertex;
inline constexpr DisplayMode ModeLine = DisplayMode::ModeLine;
inline constexpr DisplayMode ModeFlat = DisplayMode::ModeFlat;
inline constexpr DisplayMode ModeSmooth = DisplayMode::ModeSmooth;
inline constexpr ProjectionKind ProjPerspective = ProjectionKind::ProjPerspective;
inline constexpr ProjectionKind ProjTopView = ProjectionKind::ProjTopView;

struct ViewState {
    bool m_bPlay = false;
    float m_fAspect = 1.0f;  // viewport width over height
    DisplayMode m_nDisplayMode = ModeSmooth;
    bool m_bShowGrid = true;
    bool m_bShowText = true;
    bool m_bShowBox = true;
    bool m_bShowLight = true;
    bool m_bDefaultView = true;  // eye from the scene bounds instead of the current camera
    // The default eye drawn back (or nearer) until the models' bounding sphere fits the view:
    // the whole model in a thumbnail. The window keeps the plain default view point.
    bool m_bFitModels = false;
    // After View > Fit whole scene: the eye it put at the default view point, looking at the
    // scene's bounding sphere, and that sphere before the scene's rotation, which the depth range
    // holds from wherever the eye is and however the scene is turned. The default view point
    // command, a new scene and a reset drop it.
    bool m_bFitted = false;
    float m_fittedEye[3] = {0, 0, 0};
    float m_fittedCenter[3] = {0, 0, 0};
    float m_fittedSphere[4] = {0, 0, 0, 0};  // centre and radius
    // The scene's up axis when it was fitted: a scene stood up another way since (by the menu or
    // by undo) is shown from its default view point again.
    int32_t m_fittedUp = 0;
    // A scene without any light is lit by two default lights; off only for comparisons.
    bool m_bDefaultLights = true;
    // Texture maps drawn on the faces that have them; off, those faces show their colours only.
    bool m_bShowTextures = true;
    // Smooth mode shades faces by their smoothing groups where the file gives them; off (for
    // comparisons, --no-smoothing-groups) every corner takes its vertex's normal.
    bool m_bSmoothingGroups = true;
    // The copies a file places of its objects are drawn and framed; off (for comparisons,
    // --no-copies) the objects alone.
    bool m_bCopies = true;
    bool m_bLeftDown = false;
    bool m_bRightDown = false;
    bool m_bDragNote = false;
    float m_fFovY = 25.0f;  // degrees
    ProjectionKind m_nProjection = ProjPerspective;
    int m_nLastY = 0;
    int m_nLastX = 0;

    // Timing of the last frame, in ticks of a 10 MHz counter.
    int m_nFrameTicks = 0;
    float m_fFps = 0.0f;
    int64_t m_liStart = 0;
    int64_t m_liEnd = 0;
    int64_t m_liFreq = 10000000;

    // The state a freshly opened scene is shown in. Box, light markers, the right button and the
    // field of view keep their values. The caller stops the play timer.
    void ResetViewState() {
        m_bDefaultView = true;
        m_bFitted = false;
        m_bPlay = false;
        m_nDisplayMode = ModeSmooth;
        m_bShowGrid = true;
        m_bShowText = true;
        m_bLeftDown = false;
        m_nProjection = ProjPerspective;
        m_nLastY = 0;
        m_nLastX = 0;
    }
};
