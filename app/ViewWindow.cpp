#include "app/ViewWindow.h"

#include <QStatusBar>

#include "app/CommandLine.h"
#include "scene/SceneMessages.h"

ViewWindow::ViewWindow(Scene& scene, Prompts& prompts)
    : m_scene(scene), m_prompts(prompts), m_view(new CZemvoraView(scene, prompts, this)) {
    setWindowTitle(QStringLiteral("Untitled - Zemvora"));
    setCentralWidget(m_view);
    m_frameRate = new QLabel(QStringLiteral(" "), this);
    m_frameRate->setFixedWidth(150);
    m_statistics = new QLabel(QStringLiteral("Display scene info"), this);
    m_statistics->setFixedWidth(399);
    statusBar()->addPermanentWidget(m_frameRate);
    statusBar()->addPermanentWidget(m_statistics);
    statusBar()->showMessage(QStringLiteral("Ready"));
    m_view->SetFrameRateHandler([this](float fps) {
        m_frameRate->setText(QString::asprintf("Frame/Second:%.3f", static_cast<double>(fps)));
        m_frameRate->repaint();
    });
    resize(1000, 720);
}

void ViewWindow::LoadFile(const std::string& path) {
    const FileOutcome outcome = LoadSceneForCommandLine(path, m_scene);
    if (!outcome.ok) {
        m_prompts.Notice(outcome.message, outcome.icon == FileOutcome::Icon::Stop ? NoticeIcon::Stop
                                                                                  : NoticeIcon::Warning);
    }
    // A scene with a camera is shown through it.
    if (!m_scene.m_cameras.empty()) m_view->m_bDefaultView = 0;
    ShowSceneStatistics();
    m_view->RedrawRequest();
}

void ViewWindow::ShowSceneStatistics() {
    m_scene.CountScene();
    m_statistics->setText(QString::fromStdString(messages::StatisticsLine(m_scene.m_stats)));
    m_statistics->repaint();
}
