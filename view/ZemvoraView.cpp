#include "view/ZemvoraView.h"

#include <QOpenGLContext>
#include <QPainter>

#include "view/CommandIds.h"
#include "view/DisplayCommands.h"
#include "view/LabelPainting.h"

namespace {

constexpr int kPlayInterval = 15;  // milliseconds between play frames

void* ContextProcAddress(const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

CZemvoraView::CZemvoraView(Scene& scene, Prompts& prompts, QWidget* parent)
    : QOpenGLWidget(parent), m_scene(scene), m_prompts(prompts) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Scene view"));
    setAccessibleDescription(QStringLiteral("The OpenGL view of the scene"));
    m_playTimer.setInterval(kPlayInterval);
    // Qt never queues more than one tick behind a slow frame.
    connect(&m_playTimer, &QTimer::timeout, this, &CZemvoraView::RedrawRequest);

    SceneSettings& s = m_scene.m_settings;
    s.rotX = s.rotY = s.rotZ = 0;
    s.textFont = LogFont::DefaultLabelFont();
    ApplyTextFont();
    m_scene.ClearScene();
}

CZemvoraView::~CZemvoraView() {
    m_playTimer.stop();
    makeCurrent();
    m_renderer.reset();
    m_gl.reset();
    doneCurrent();
}

void CZemvoraView::initializeGL() {
    m_gl = std::make_unique<OpenGlApi>(&ContextProcAddress);
    RenderHost& host = *this;
    m_renderer = std::make_unique<SceneRenderer>(*m_gl, m_scene, *this, host);
    m_renderer->InitGl();
    m_fAspect = height() > 0 ? static_cast<float>(width()) / static_cast<float>(height()) : 1.0f;
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
    if (height <= 0 || !m_renderer) return;
    const qreal ratio = devicePixelRatioF();
    m_gl->Viewport(0, 0, static_cast<GLsizei>(width * ratio), static_cast<GLsizei>(height * ratio));
    m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    m_renderer->SetupProjection();
}

void CZemvoraView::paintGL() {
    if (!m_renderer) return;
    if (m_fullFrame) m_renderer->FullRedraw();
    else m_renderer->RenderScene();
    // A paint the system asks for is a full redraw.
    m_fullFrame = true;
}

void CZemvoraView::Draw(bool full) {
    if (!m_renderer) return;
    m_fullFrame = full;
    repaint();
}

void CZemvoraView::RedrawRequest() { Draw(true); }

void CZemvoraView::RenderScene() { Draw(false); }

void CZemvoraView::SetupProjection() {
    if (!m_renderer) return;
    makeCurrent();
    m_renderer->SetupProjection();
    doneCurrent();
}

void CZemvoraView::ViewSize(int& w, int& h) const {
    w = width();
    h = height();
}

void CZemvoraView::DrawNoteLabel(const NoteLabel& label) {
    QPainter painter(this);
    PaintNoteLabel(painter, label, m_labelFont);
}

void CZemvoraView::ShowFrameRate(float fps) {
    if (m_frameRate) m_frameRate(fps);
}

void CZemvoraView::ApplyTextFont() { m_labelFont = FontFromLogFont(m_scene.m_settings.textFont); }

void CZemvoraView::TogglePlay() {
    if (m_bPlay) {
        m_bPlay = 0;
        m_playTimer.stop();
        RenderScene();
    } else {
        m_bPlay = 1;
        m_playTimer.start();
    }
    emit CommandStateChanged();
}

void CZemvoraView::ResetViewState() {
    ViewState::ResetViewState();
    m_playTimer.stop();
    emit CommandStateChanged();
}

bool CZemvoraView::OnCommand(int id) {
    if (id == cmd::kPlay) {
        TogglePlay();
        return true;
    }
    if (id == cmd::kSetTextFont) {
        // Not an edit of the scene: the modified flag stays as it is.
        if (std::optional<LogFont> font = m_prompts.ChooseFont(m_scene.m_settings.textFont)) {
            m_scene.m_settings.textFont = *font;
            ApplyTextFont();
        }
        RenderScene();
        return true;
    }
    const std::optional<ViewRedraw> redraw = ApplyDisplayCommand(id, *this);
    if (!redraw) return false;
    if (*redraw == ViewRedraw::Full) RedrawRequest();
    else if (*redraw == ViewRedraw::RenderScene) RenderScene();
    emit CommandStateChanged();
    return true;
}

std::optional<bool> CZemvoraView::IsCommandChecked(int id) const {
    return DisplayCommandChecked(id, *this);
}
