// Draws the scene through GlApi with the OpenGL 1.1 fixed-function pipeline: the lights, the
// projection and one frame (objects in the display mode with their materials, the current
// object's box, light markers, grid). The caller gives the size of the view and a clock, shows
// the finished frame, draws the note label the frame hands back on top of it, and then ends the
// frame, which measures how long it took.
#pragma once

#include <cstdint>
#include <optional>

#include "scene/Scene.h"
#include "view/FaceRuns.h"
#include "view/FrameClock.h"
#include "view/GlApi.h"
#include "view/NoteLabel.h"
#include "view/ObjectBuffers.h"
#include "view/SceneTextures.h"
#include "view/SimplifiedBuffers.h"
#include "view/SimplifiedScene.h"
#include "view/SmoothingNormals.h"
#include "view/ViewState.h"

// What drawing a frame leaves to the caller.
struct DrawnFrame {
    // False when another frame was still being drawn: then nothing was drawn and there is no
    // frame to show or end.
    bool drawn = false;
    // The current object's note, to draw on top once the frame is shown.
    std::optional<NoteLabel> label;
    // The triangles of the objects sent to be drawn, and whether from the simplified copies.
    int64_t triangles = 0;
    bool simplified = false;
};

// How DrawObjects sends the triangles: each between Begin and End, the plain sequence that the
// buffers are checked against; from buffer objects, the same pixels many times faster; or, for
// a frame drawn once, from the scene's own lists as arrays, the same calls with nothing copied
// into buffer objects.
enum class DrawPath { Immediate, Buffers, SceneMemory };

class SceneRenderer {
public:
    SceneRenderer(GlApi& gl, Scene& scene, ViewState& view)
        : m_gl(gl),
          m_scene(scene),
          m_view(view),
          m_buffers(gl),
          m_textures(gl),
          m_simplifiedBuffers(gl) {}

    // The context's lasting state: depth test and blending.
    void InitGl();
    // Up to eight directional lights from the scene's lights; two default lights when the scene
    // has no light at all (and the view has not turned them off).
    void SetupLights();
    // The projection matrix from the default eye point or the current camera, for a view of
    // width x height pixels.
    void SetupProjection(int width, int height);
    // Starts a frame of a width x height view and draws it up to glFinish. A drawn frame is
    // shown by the caller, who then draws its label and calls EndFrame with the same clock.
    // Does nothing while another frame is being drawn.
    DrawnFrame RenderScene(int width, int height, const FrameClock& clock);
    // What a paint, a timer tick or a redraw request does: lights, projection and a frame.
    DrawnFrame FullRedraw(int width, int height, const FrameClock& clock) {
        SetupLights();
        SetupProjection(width, height);
        return RenderScene(width, height, clock);
    }
    // Ends the frame RenderScene drew, once it is shown with its label: measures it and returns
    // the frames per second, for the status bar.
    float EndFrame(const FrameClock& clock);

    // A frame drawn while its scene's objects still come, each object whole: the lights and
    // the projection set up as for FullRedraw, BeginComingFrame as RenderScene begins (false,
    // drawing nothing, inside another frame), DrawComingObjects each time objects came (the
    // objects not drawn yet; those drawn must stay as they were, in their places), and
    // EndComingFrame, which draws the rest and ends as RenderScene does, once they are all in.
    // The pixels are those RenderScene draws of the whole scene.
    bool BeginComingFrame(const FrameClock& clock);
    void DrawComingObjects();
    DrawnFrame EndComingFrame(int width, int height);

    // Buffers where the context has them (the default), or Begin/End.
    void SetDrawPath(DrawPath path) {
        m_path = path;
        m_buffers.DrawFromSceneMemory(path == DrawPath::SceneMemory);
    }

    // Texture maps are drawn with the images that decoder reads; without one (the default) the
    // faces keep their colours.
    void SetImageDecoder(ImageDecoder* decoder) { m_textures.SetDecoder(decoder); }
    // The scene's objects were replaced (New, Open, Import): their buffers, runs of faces and
    // textures are made anew.
    void SceneReplaced() {
        m_buffers.SceneReplaced();
        m_runs.SceneReplaced();
        m_smoothing.SceneReplaced();
        m_textures.SceneReplaced();
    }
    // The context is gone with the buffers and textures it held.
    void ForgetContext() {
        m_buffers.Forget();
        m_textures.Forget();
        m_simplifiedBuffers.Forget();
    }
    // The frames to come draw the objects from that level of copies; null or a level of -1
    // draws them in full, as every frame is drawn by default.
    void SetSimplified(const SimplifiedScene* copies, int level) {
        m_copies = copies;
        m_level = level;
    }

    // The objects' runs of one material, which the simplified copies are made in too.
    FaceRunCache& Runs() { return m_runs; }

    // Each step of a frame; RenderScene runs them in order.
    void DrawObjects();
    void ApplyMaterial(int32_t materialIndex);
    void DrawObjectBox();
    void DrawGrid();
    void DrawLightMarkers();

private:
    void SetupDefaultLights();
    // A frame's start up to its objects, and its end after them.
    bool StartFrame(const FrameClock& clock);
    DrawnFrame CloseFrame(int width, int height);
    // The objects from first on, whole, in the view's mode, their triangles counted.
    void DrawWholeObjects(size_t first);
    // The objects in the vertex or line mode (unlit), else flat or smooth: each between Begin and
    // End, from buffer objects, or from their simplified copies (the objects without one whole);
    // whole, the objects from first on.
    void DrawObjectsImmediate(bool unlit, size_t first);
    void DrawObjectsFromBuffers(bool unlit, size_t first);
    void DrawObjectsSimplified(bool unlit);
    // Lighting off and white: the vertex and line modes' state for all their triangles.
    void TurnLightingOff();
    // The one loop over the objects (from first on) that every path draws with. Each shown object
    // in the vertex and line modes: its material set, then draw(index, object), under each
    // placement.
    template <class Draw>
    void DrawUnlitObjects(size_t first, Draw draw) {
        const std::vector<SceneObject>& objects = m_scene.m_objects;
        for (size_t i = first; i < objects.size(); ++i) {
            const SceneObject& o = objects[i];
            if (o.hidden) continue;
            DrawPlaced(o, [&] {
                ApplyMaterial(o.materialIndex);
                draw(i, o);
            });
        }
    }
    // Each shown object in the flat and smooth modes: runsOf(index, object, runs, corner normals)
    // gives what draws run r of it, textured or not, which runs under each placement between the
    // run's material and its end.
    template <class RunsOf>
    void DrawLitObjects(size_t first, RunsOf runsOf) {
        const std::optional<MaterialNames> names = GroupMaterialNames();
        const std::vector<SceneObject>& objects = m_scene.m_objects;
        for (size_t i = first; i < objects.size(); ++i) {
            const SceneObject& o = objects[i];
            if (o.hidden) continue;
            const FaceRuns& runs = m_runs.For(i, o);
            const auto drawRun = runsOf(i, o, runs, CornerNormalsOf(i, o));
            DrawPlaced(o, [&] {
                for (size_t r = 0; r < runs.runs.size(); ++r) {
                    const bool textured = BeginRun(o, runs.runs[r], names ? &*names : nullptr);
                    drawRun(r, textured);
                    EndRun(textured);
                }
            });
        }
    }
    // One object's triangles between Begin and End, lighting and colour already set.
    void DrawTrianglesUnlit(const SceneObject& o, bool points);
    // One run of an object's triangles between Begin and End, its material already set.
    // Smooth, each corner has the normal of its smoothing groups where corners gives them (three a
    // triangle) and its vertex's otherwise.
    void DrawRunLit(const SceneObject& o, const FaceRuns& runs, const FaceRun& run, bool smooth,
                    bool textured, const std::vector<CornerNormal>& corners);
    // Sets the material of a run, the texture too where it has one that can be drawn; true when
    // textured, which EndRun then turns off again. names resolves the face groups' materials.
    bool BeginRun(const SceneObject& o, const FaceRun& run, const MaterialNames* names);
    void EndRun(bool textured);
    // Object index's corner normals where the view shows smoothing groups.
    const std::vector<CornerNormal>& CornerNormalsOf(size_t index, const SceneObject& o) {
        return m_view.m_bSmoothingGroups ? m_smoothing.For(index, o) : SmoothingNormalCache::None();
    }
    // Runs draw for the object where its record places it, then, unless the view leaves them
    // out, once under each of its placed copies' matrices, with normals made unit again as a
    // copy may be scaled.
    template <class Draw>
    void DrawPlaced(const SceneObject& o, Draw draw) {
        draw();
        if (!m_view.m_bCopies || o.copies.empty()) return;
        m_gl.Enable(GL_NORMALIZE);
        for (const PlacedCopy& copy : o.copies) {
            m_gl.PushMatrix();
            m_gl.MultMatrixf(copy.matrix.data());
            draw();
            m_gl.PopMatrix();
        }
        m_gl.Disable(GL_NORMALIZE);
    }
    // The material names, where some object has face groups that name them.
    std::optional<MaterialNames> GroupMaterialNames() const;
    // Sets every state the drawing relies on that a toolkit sharing the context may change.
    void PrepareContext();

    GlApi& m_gl;
    Scene& m_scene;
    ViewState& m_view;
    bool m_drawing = false;  // a frame is between RenderScene and EndFrame
    DrawPath m_path = DrawPath::Buffers;
    ObjectBuffers m_buffers;
    FaceRunCache m_runs;
    SmoothingNormalCache m_smoothing;
    SceneTextures m_textures;
    const SimplifiedScene* m_copies = nullptr;
    int m_level = -1;
    SimplifiedBuffers m_simplifiedBuffers;
    int64_t m_triangles = 0;    // sent by the frame being drawn
    size_t m_objectsDrawn = 0;  // by the coming frame being drawn
    bool m_simplifiedFrame = false;
};
