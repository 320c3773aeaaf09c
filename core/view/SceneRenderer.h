// Draws the scene with the OpenGL 1.1 fixed-function pipeline into whatever context is current:
// the lights, the projection and one frame (objects in the display mode with their materials,
// the current object's box, light markers, grid), then hands the finished frame and its note
// label to the host, and measures how long the frame took.
#pragma once

#include <cstdint>

#include "scene/Scene.h"
#include "view/GlApi.h"
#include "view/NoteLabel.h"
#include "view/ViewState.h"

// What the renderer needs of the window (or image) it draws for.
class RenderHost {
public:
    virtual ~RenderHost() = default;
    // The size of the view's window in pixels.
    virtual void ViewSize(int& width, int& height) const = 0;
    // The frame is finished: show it.
    virtual void SwapBuffers() = 0;
    // Draws the label on top of the shown frame, in the scene's label font.
    virtual void DrawNoteLabel(const NoteLabel& label) = 0;
    // The frames per second of the last frame, for the status bar.
    virtual void ShowFrameRate(float fps) = 0;
    // A counter of 10 MHz ticks; the steady clock unless a test sets its own.
    virtual int64_t Ticks() const;
};

class SceneRenderer {
public:
    SceneRenderer(GlApi& gl, Scene& scene, ViewState& view, RenderHost& host)
        : m_gl(gl), m_scene(scene), m_view(view), m_host(host) {}

    // The context's lasting state: depth test and blending.
    void InitGl();
    // Up to eight directional lights from the scene's lights; two default lights when the scene
    // has no light at all (and the view has not turned them off).
    void SetupLights();
    // The projection matrix from the default eye point or the current camera.
    void SetupProjection();
    // One whole frame. Does nothing while another frame is being drawn.
    void RenderScene();
    // What a paint, a timer tick or a redraw request does.
    void FullRedraw() {
        SetupLights();
        SetupProjection();
        RenderScene();
    }

    // Each step of a frame; RenderScene runs them in order.
    void DrawObjects();
    void ApplyMaterial(int32_t materialIndex);
    void DrawObjectBox();
    void DrawGrid();
    void DrawLightMarkers();

private:
    void SetupDefaultLights();
    // Sets every state the drawing relies on that a toolkit sharing the context may change.
    void PrepareContext();

    GlApi& m_gl;
    Scene& m_scene;
    ViewState& m_view;
    RenderHost& m_host;
};
