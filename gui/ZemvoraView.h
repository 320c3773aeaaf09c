// The OpenGL view of the main window: owns the display state and the frame timing, draws the
// frame's scene with the shared renderer on paint, on redraw requests and on play ticks, and
// carries out the display commands. Holds no scene data of its own.
#pragma once

#include <QFont>
#include <QOpenGLWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "OpenGlApi.h"
#include "TextureDecoding.h"
#include "commands/Prompts.h"
#include "history/EditHistory.h"
#include "history/ViewEditSteps.h"
#include "scene/Scene.h"
#include "view/FrameClock.h"
#include "view/FrameLog.h"
#include "view/MotionDetail.h"
#include "view/Navigation.h"
#include "view/PendingDrawing.h"
#include "view/SceneRenderer.h"
#include "view/SimplifiedScene.h"
#include "view/ViewState.h"
#include "view/WheelZoom.h"

class CZemvoraView : public QOpenGLWidget {
    Q_OBJECT

public:
    // The view shows the scene as it is and takes its label font.
    CZemvoraView(Scene& scene, Prompts& prompts, QWidget* parent = nullptr);
    ~CZemvoraView() override;

    // The redraw request: lights, projection and one frame, drawn before it returns.
    void RedrawRequest();
    // One frame now, lights and projection as they are.
    void RenderScene();
    // Rebuilds the projection (for instance after the field of view changed).
    void SetupProjection();

    // The view's size in pixels of the screen, as a picture of it has it.
    PictureSize ShownSize() const;
    // Draws the view as it stands, label and all, into a picture of size (by the command line's
    // renderer, without the window's context; the view's own frame at its own size where no such
    // renderer can be had) and writes it, PNG or JPEG by path's extension.
    bool SavePicture(const std::string& path, const PictureSize& size, std::string& reason);

    // The display and view-point commands, play and "Set text font"; false for any other id.
    bool OnCommand(int id);
    // The check state of a command of the view, or nothing.
    std::optional<bool> IsCommandChecked(int id) const;

    void TogglePlay();
    // Play off and its timer stopped, without drawing.
    void StopPlay();
    // Back to the state a freshly opened scene is shown in; stops play. Draws nothing.
    void ResetViewState();
    // Takes the scene's label font for the labels to come.
    void ApplyTextFont();
    // The scene's objects were replaced (New, Open, Import): the next frame takes them anew.
    void SceneReplaced();
    // Where the measured frame rate goes (the status bar): every full frame's, and that of the
    // frames from the simplified copies four times a second.
    void SetFrameRateHandler(std::function<void(float)> handler) {
        m_frameRate = std::move(handler);
    }
    // The clock frames and input are timed with; the steady clock unless a test hands one.
    void SetFrameClock(const FrameClock* clock) { m_clock = clock ? clock : &m_steadyClock; }
    // Where a line for every frame drawn goes; none writes no log.
    void SetFrameLog(FrameLog* log) { m_frameLog = log; }
    // The simplified copies drawn while the view moves.
    const SimplifiedScene& Copies() const { return *m_copies; }
    // Where the view's edits of the scene become steps to undo; none keeps no history.
    void SetHistory(EditHistory* history) { m_history = history; }
    // Whether the view could make its OpenGL context; without one it draws nothing.
    bool HasContext() const { return m_renderer != nullptr; }

    // What the view shows and how, and its mouse state and frame timing.
    ViewState& state() { return m_state; }
    const ViewState& state() const { return m_state; }

    const QFont& LabelFont() const { return m_labelFont; }
    bool IsPlayTimerActive() const { return m_playTimer.isActive(); }

signals:
    // A check state of the view's commands may have changed.
    void CommandStateChanged();
    // A click (the left button pressed and let go on the spot) on the object of this index.
    void ObjectClicked(int index);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void showEvent(QShowEvent* event) override;

private:
    QPoint m_leftPressedAt;  // where the left button went down, for telling a click from a drag
    bool m_leftPressed = false;
    // Shows a frame the renderer drew: its label on top, then the frame rate measured.
    void ShowFrame(const DrawnFrame& frame);
    // Chooses for the frame about to be drawn between the simplified copies and the full
    // objects.
    void ChooseDetail();
    // Takes the copies the worker finished.
    void CollectCopies();
    // Hands the worker the next objects to copy, a slice at a time between events.
    void ContinueCopies();
    // The full frame once the view stands still again, if the last one was simplified.
    void DrawOwedFullFrame();

    // Carries out the drawing an input asks for, then tells the window the check states may
    // have changed.
    void Run(const ViewSteps& steps);
    // One step of drawing, on its own.
    void RunStep(ViewStep step);
    // Draws the frame asked for into the view's framebuffer before returning.
    void Draw(bool full);
    // Reports a context that could not be made, once.
    void CheckContext();
    // Applies an input's steps: play at once, its frames once the waiting input is applied.
    void Queue(const ViewSteps& steps);
    // Draws the frames the input applied so far asked for, in one go.
    void DrawPending();

    Scene& m_scene;
    ViewState m_state;
    Prompts& m_prompts;
    std::unique_ptr<OpenGlApi> m_gl;
    ToolkitImageDecoder m_imageDecoder;  // reads the texture images the renderer asks for
    std::unique_ptr<SceneRenderer> m_renderer;
    QFont m_labelFont;
    QTimer m_playTimer;
    PendingDrawing m_pending;
    QTimer m_pendingTimer;  // fires once the events waiting now are handled
    std::function<void(float)> m_frameRate;
    SteadyFrameClock m_steadyClock;
    const FrameClock* m_clock = &m_steadyClock;
    WheelNotches m_wheel;
    bool m_frameFresh = false;  // drawn outside a paint, to be shown by the next one
    bool m_contextChecked = false;
    EditHistory* m_history = nullptr;
    ViewEditSteps m_edits;
    FrameLog* m_frameLog = nullptr;
    MotionDetail m_detail;
    QTimer m_restTimer;  // fires once keys and the wheel have rested
    QTimer m_copyTimer;  // fires once the events waiting now are handled
    std::unique_ptr<SimplifiedScene> m_copies;
};
