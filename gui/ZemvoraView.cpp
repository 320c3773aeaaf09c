#include "ZemvoraView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "HeadlessRender.h"
#include "LabelPainting.h"
#include "NoteLabelDrawing.h"
#include "PictureFile.h"
#include "commands/CommandIds.h"
#include "history/StepLabels.h"
#include "view/DisplayCommands.h"
#include "view/FitWholeScene.h"
#include "view/Picking.h"
#include "view/Projection.h"

namespace {

constexpr int kPlayInterval = 15;  // milliseconds between play frames

void* ContextProcAddress(const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

// The busy cursor while a frame that is expected to be slow is drawn.
class BusyCursor {
public:
    explicit BusyCursor(bool busy) : m_busy(busy) {
        if (m_busy) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~BusyCursor() {
        if (m_busy) QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_busy;
};

}  // namespace

CZemvoraView::CZemvoraView(Scene& scene, Prompts& prompts, QWidget* parent)
    : QOpenGLWidget(parent), m_scene(scene), m_prompts(prompts) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the last pointer position is followed without a button too
    // Frames drawn outside a paint must survive until the toolkit shows them.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setAccessibleName(QStringLiteral("Scene view"));
    setAccessibleDescription(QStringLiteral("The OpenGL view of the scene"));
    m_playTimer.setInterval(kPlayInterval);
    // Qt never queues more than one tick behind a slow frame.
    connect(&m_playTimer, &QTimer::timeout, this, &CZemvoraView::RedrawRequest);
    // A zero timer fires once the events already waiting have been handled.
    m_pendingTimer.setSingleShot(true);
    m_pendingTimer.setInterval(0);
    connect(&m_pendingTimer, &QTimer::timeout, this, &CZemvoraView::DrawPending);
    m_restTimer.setSingleShot(true);
    connect(&m_restTimer, &QTimer::timeout, this, &CZemvoraView::DrawOwedFullFrame);
    m_copyTimer.setSingleShot(true);
    m_copyTimer.setInterval(0);
    connect(&m_copyTimer, &QTimer::timeout, this, &CZemvoraView::ContinueCopies);
    // The worker says so from its own thread; the copies are taken on the window's.
    m_copies = std::make_unique<SimplifiedScene>([this] {
        QMetaObject::invokeMethod(this, &CZemvoraView::CollectCopies, Qt::QueuedConnection);
    });
    ApplyTextFont();
}

CZemvoraView::~CZemvoraView() {
    m_playTimer.stop();
    m_pendingTimer.stop();
    m_restTimer.stop();
    m_copyTimer.stop();
    m_copies.reset();  // the worker stops before anything it reports to goes
    makeCurrent();
    m_renderer.reset();
    m_gl.reset();
    doneCurrent();
}

void CZemvoraView::initializeGL() {
    // A context made anew: the buffers of the old one went with it.
    if (m_renderer) m_renderer->ForgetContext();
    m_gl = std::make_unique<OpenGlApi>(&ContextProcAddress);
    m_renderer = std::make_unique<SceneRenderer>(*m_gl, m_scene, m_state);
    m_renderer->SetImageDecoder(&m_imageDecoder);
    m_renderer->InitGl();
    m_state.m_fAspect =
        height() > 0 ? static_cast<float>(width()) / static_cast<float>(height()) : 1.0f;
}

void CZemvoraView::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    // The context is made on the first show; a view without one says so and lives on.
    QTimer::singleShot(0, this, &CZemvoraView::CheckContext);
}

void CZemvoraView::CheckContext() {
    if (m_contextChecked || HasContext()) return;
    m_contextChecked = true;
    const bool created = context() != nullptr;
    m_prompts.Notice(ContextFailureMessage(created), NoticeIcon::None);
}

void CZemvoraView::resizeGL(int width, int height) {
    m_frameFresh = false;  // the framebuffer was made anew
    if (height <= 0 || !m_renderer) return;
    const qreal ratio = devicePixelRatioF();
    m_gl->Viewport(0, 0, static_cast<GLsizei>(width * ratio), static_cast<GLsizei>(height * ratio));
    m_state.m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    m_renderer->SetupProjection(this->width(), this->height());
}

void CZemvoraView::paintGL() {
    if (!m_renderer) return;
    // A frame drawn just now is shown as it is, unless input since asked for another; any other
    // paint is a full redraw, which shows everything the waiting input asked for.
    const bool fresh = m_frameFresh && !m_pending.HasFrame();
    m_frameFresh = false;
    if (fresh) return;
    m_pending.Clear();
    m_pendingTimer.stop();
    ChooseDetail();
    const BusyCursor busy(ExpectSlowFrame(m_state));
    ShowFrame(m_renderer->FullRedraw(width(), height(), *m_clock));
}

void CZemvoraView::Draw(bool full) {
    if (!m_renderer || !isVisible()) return;
    ChooseDetail();
    const BusyCursor busy(ExpectSlowFrame(m_state));
    makeCurrent();
    ShowFrame(full ? m_renderer->FullRedraw(width(), height(), *m_clock)
                   : m_renderer->RenderScene(width(), height(), *m_clock));
    m_frameFresh = true;
    doneCurrent();
    update();  // the toolkit shows the frame
}

PictureSize CZemvoraView::ShownSize() const {
    const qreal ratio = devicePixelRatioF();
    return {std::max(1, qRound(width() * ratio)), std::max(1, qRound(height() * ratio))};
}

bool CZemvoraView::SavePicture(const std::string& path, const PictureSize& size,
                               std::string& reason) {
    // The picture's own copy of the view: its aspect is the picture's, and nothing turns on.
    ViewState view = m_state;
    view.m_bPlay = false;
    QImage image = RenderSceneImage(m_scene, view, size.width, size.height, reason);
    // Where a context without a display cannot be had (a driver without Mesa's surfaceless
    // platform), a picture of the view's own size is the view's own frame.
    const PictureSize shown = ShownSize();
    if (image.isNull() && size.width == shown.width && size.height == shown.height) {
        image = grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        reason.clear();
    }
    return !image.isNull() && SavePictureByName(image, path, reason);
}

void CZemvoraView::RedrawRequest() {
    Draw(true);
}

void CZemvoraView::RenderScene() {
    Draw(false);
}

void CZemvoraView::SetupProjection() {
    if (!m_renderer) return;
    makeCurrent();
    m_renderer->SetupProjection(width(), height());
    doneCurrent();
}

// The toolkit shows the frame once paintGL returns or on the update a drawing outside a paint
// asks for; the label goes into the framebuffer before that.
void CZemvoraView::ShowFrame(const DrawnFrame& frame) {
    if (!frame.drawn) return;
    if (frame.label) DrawNoteLabel(*m_gl, *frame.label, m_labelFont, devicePixelRatioF());
    const float fps = m_renderer->EndFrame(*m_clock);
    m_detail.FrameDrawn(frame.simplified, frame.triangles, m_state.m_nFrameTicks);
    if (m_frameLog)
        m_frameLog->Add(m_state.m_liEnd - m_frameLog->StartTicks(), m_state.m_nFrameTicks,
                        frame.triangles, frame.simplified);
    // Keys and the wheel: the full frame comes once they have rested.
    if (frame.simplified && !m_state.m_bPlay && !m_state.m_bLeftDown && !m_state.m_bRightDown) {
        const int64_t restMs = (m_detail.RestsAt() - m_clock->Ticks()) / 10000 + 1;
        m_restTimer.start(static_cast<int>(std::max<int64_t>(restMs, 0)));
    }
    if (m_frameRate && m_detail.ShowsRate(frame.simplified, m_state.m_liEnd)) m_frameRate(fps);
}

void CZemvoraView::ChooseDetail() {
    if (!m_renderer) return;
    ContinueCopies();
    const int level = m_copies->Ready() ? m_detail.ChooseLevel(m_state, m_clock->Ticks(),
                                                               m_copies->LevelTriangles())
                                        : -1;
    m_renderer->SetSimplified(m_copies.get(), level);
}

void CZemvoraView::CollectCopies() {
    m_copies->Collect();
}

void CZemvoraView::ContinueCopies() {
    // A few milliseconds of snapshots at a time, so that input never waits behind them.
    constexpr double kSliceMs = 4;
    if (m_renderer && m_copies->Refresh(m_scene, m_renderer->Runs(), kSliceMs)) m_copyTimer.start();
}

void CZemvoraView::DrawOwedFullFrame() {
    const int64_t now = m_clock->Ticks();
    if (!m_detail.FullFrameOwed(m_state, now)) {
        // Still moving: look again once the last input has rested.
        if (m_detail.RestsAt() > now && !m_state.m_bPlay && !m_state.m_bLeftDown &&
            !m_state.m_bRightDown)
            m_restTimer.start(static_cast<int>((m_detail.RestsAt() - now) / 10000 + 1));
        return;
    }
    Queue({ViewStep::RenderScene});
}

void CZemvoraView::ApplyTextFont() {
    m_labelFont = FontFromLogFont(m_scene.m_settings.textFont);
}

void CZemvoraView::SceneReplaced() {
    if (m_renderer) m_renderer->SceneReplaced();
    // The copies of the old scene go; the next frame hands the new one to the worker.
    m_copies->SceneReplaced();
    m_detail.SceneReplaced();
}

void CZemvoraView::TogglePlay() {
    if (m_state.m_bPlay) {
        m_state.m_bPlay = false;
        m_playTimer.stop();
        RenderScene();
    } else {
        m_state.m_bPlay = true;
        m_playTimer.start();
    }
    emit CommandStateChanged();
}

void CZemvoraView::StopPlay() {
    m_state.m_bPlay = false;
    m_playTimer.stop();
    emit CommandStateChanged();
}

void CZemvoraView::ResetViewState() {
    m_state.ResetViewState();
    m_playTimer.stop();
    emit CommandStateChanged();
}

bool CZemvoraView::OnCommand(int id) {
    if (id == cmd::kPlay) {
        TogglePlay();
        return true;
    }
    if (id == cmd::kSimplifyWhileMoving) {
        m_detail.SetEnabled(!m_detail.Enabled());
        emit CommandStateChanged();
        return true;
    }
    if (id == cmd::kSetTextFont) {
        // The font is saved with the scene: a chosen one is a change to save, as from the panel.
        if (std::optional<LogFont> font = m_prompts.ChooseFont(m_scene.m_settings.textFont)) {
            const auto setFont = [this, &font] { m_scene.m_settings.textFont = *font; };
            if (m_history)
                m_history->Record(m_scene, {{LabelFontRecord(), steplabel::kLabelFont}}, setFont);
            else
                setFont();
            m_scene.m_bModified = true;
            ApplyTextFont();
        }
        RenderScene();
        return true;
    }
    if (id == cmd::kFitWholeScene) {
        // Through a camera the camera moves: one step to undo. At the default view point only
        // the view changes, as a zoom there does.
        const bool camera = !ShowsDefaultView(m_scene, m_state);
        const auto fit = [this] { FitWholeScene(m_scene, m_state); };
        if (camera && m_history)
            m_history->Record(
                m_scene,
                {{CameraRecord(m_scene.m_settings.currentCamera), steplabel::kFitWholeScene}}, fit);
        else
            fit();
        Run({ViewStep::SetupProjection, ViewStep::RenderScene});
        emit CommandStateChanged();
        return true;
    }
    if (const std::optional<ViewSteps> steps = ApplyViewpointCommand(id, m_scene, m_state)) {
        Run(*steps);
        emit CommandStateChanged();
        return true;
    }
    const std::optional<ViewStep> step = ApplyDisplayCommand(id, m_state);
    if (!step) return false;
    RunStep(*step);
    emit CommandStateChanged();
    return true;
}

std::optional<bool> CZemvoraView::IsCommandChecked(int id) const {
    if (id == cmd::kSimplifyWhileMoving) return m_detail.Enabled();
    if (std::optional<bool> checked = ViewpointCommandChecked(id, m_state)) return checked;
    return DisplayCommandChecked(id, m_state);
}

void CZemvoraView::Run(const ViewSteps& steps) {
    for (ViewStep step : steps)
        RunStep(step);
    if (!steps.empty()) emit CommandStateChanged();
}

void CZemvoraView::Queue(const ViewSteps& steps) {
    for (ViewStep step : m_pending.Add(steps))
        RunStep(step);
    if (!m_pending.Empty() && !m_pendingTimer.isActive()) m_pendingTimer.start();
    if (!steps.empty()) emit CommandStateChanged();
}

void CZemvoraView::DrawPending() {
    for (ViewStep step : m_pending.Take())
        RunStep(step);
}

void CZemvoraView::RunStep(ViewStep step) {
    switch (step) {
        case ViewStep::SetupProjection:
            SetupProjection();
            break;
        case ViewStep::RenderScene:
            RenderScene();
            break;
        case ViewStep::TimerPath:
            RedrawRequest();
            break;
        case ViewStep::TogglePlay:
            TogglePlay();
            break;
    }
}

namespace {

// The virtual key code of a key, whatever Shift and Ctrl do to it.
int VirtualKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::kTab;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return vk::kComma;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return vk::kPeriod;
        case Qt::Key_Left:
            return vk::kLeft;
        case Qt::Key_Up:
            return vk::kUp;
        case Qt::Key_Right:
            return vk::kRight;
        case Qt::Key_Down:
            return vk::kDown;
        default:
            break;
    }
    const int key = event.key();
    return key >= Qt::Key_A && key <= Qt::Key_Z ? key : 0;  // Qt's letters are their codes
}

}  // namespace

// Tab belongs to the view, not to moving the focus on.
bool CZemvoraView::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QOpenGLWidget::event(e);
}

void CZemvoraView::keyPressEvent(QKeyEvent* event) {
    const int key = VirtualKey(*event);
    if (key == 0) {
        QOpenGLWidget::keyPressEvent(event);
        return;
    }
    if (m_history) m_edits.KeyDown(key, event->isAutoRepeat(), m_scene, m_state, *m_history);
    // A held navigation key moves the view; its first press alone does not.
    if (event->isAutoRepeat() && IsNavigationKey(key)) m_detail.Nudged(m_clock->Ticks());
    Queue(OnKeyDown(key, m_scene, m_state));
}

void CZemvoraView::keyReleaseEvent(QKeyEvent* event) {
    if (m_history) m_edits.KeyUp(VirtualKey(*event), event->isAutoRepeat(), m_scene, *m_history);
    QOpenGLWidget::keyReleaseEvent(event);
}

void CZemvoraView::focusOutEvent(QFocusEvent* event) {
    if (m_history) m_edits.KeyboardLost(m_scene, *m_history);
    QOpenGLWidget::focusOutEvent(event);
}

void CZemvoraView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        OnLeftButtonDown(p.x(), p.y(), m_scene, m_state);
        m_leftPressedAt = p;
        m_leftPressed = !m_state.m_bDragNote;  // a press on the note's handle moves the note
    } else if (event->button() == Qt::RightButton)
        OnRightButtonDown(p.x(), p.y(), m_state);
    if (m_history) m_edits.ButtonDown(m_scene, m_state, *m_history);
    QOpenGLWidget::mousePressEvent(event);
}

void CZemvoraView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLeftButtonUp(m_state);
        // Let go on the spot it went down: a click, which selects the object under it.
        const QPoint moved = event->position().toPoint() - m_leftPressedAt;
        if (m_leftPressed && std::abs(moved.x()) <= kClickSlack &&
            std::abs(moved.y()) <= kClickSlack) {
            const int picked = PickObject(m_scene, m_state, width(), height(), m_leftPressedAt.x(),
                                          m_leftPressedAt.y());
            if (picked >= 0) emit ObjectClicked(picked);
        }
        m_leftPressed = false;
    } else if (event->button() == Qt::RightButton)
        OnRightButtonUp(m_state);
    if (m_history) m_edits.ButtonUp(m_scene, m_state, *m_history);
    // The drag is over: its last frame, if simplified, gives way to the full one.
    if (m_detail.FullFrameOwed(m_state, m_clock->Ticks())) Queue({ViewStep::RenderScene});
    QOpenGLWidget::mouseReleaseEvent(event);
}

void CZemvoraView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Queue(OnMouseMove(p.x(), p.y(), m_scene, m_state));
}

// Up and down turns zoom; a sideways turn has nothing to do in the view.
void CZemvoraView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = m_wheel.Add(event->angleDelta().y());
    if (notches == 0) return;
    m_detail.Nudged(m_clock->Ticks());
    ViewSteps steps;
    const auto zoom = [&] { steps = OnWheelNotches(notches, m_scene, m_state); };
    if (m_history)
        m_edits.WheelTurned(m_scene, m_state, *m_history, zoom);
    else
        zoom();
    Queue(steps);
}
