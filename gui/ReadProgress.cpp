#include "ReadProgress.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>

#include "childimport/ForeignImport.h"

namespace {

constexpr int kShowAfterMs = 500;

}  // namespace

CReadProgress::CReadProgress(QWidget* window, std::vector<QWidget*> widgets,
                             std::function<void()> restored)
    : QWidget(window),
      m_window(window),
      m_name(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_button(new QPushButton(tr("Cancel"), this)),
      m_widgets(std::move(widgets)),
      m_restored(std::move(restored)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_name);
    layout->addWidget(m_bar);
    layout->addWidget(m_button);
    m_bar->setRange(0, 100);
    m_bar->setAccessibleName(tr("Reading"));
    connect(m_button, &QPushButton::clicked, this, [this] { Cancel(); });
    // Esc anywhere in the program while the progress shows, and only then: the key is the
    // dialogs' and the panel's otherwise.
    m_escape = new QAction(window);
    m_escape->setShortcut(Qt::Key_Escape);
    m_escape->setShortcutContext(Qt::ApplicationShortcut);
    m_escape->setEnabled(false);
    connect(m_escape, &QAction::triggered, this, [this] { Cancel(); });
    window->addAction(m_escape);
    hide();
}

CReadProgress::Watch::Watch(CReadProgress& progress) : m_progress(progress) {
    ProcessForeignImportSettings().watch = [&progress](const std::string& name, int percent) {
        return progress.Update(name, percent);
    };
}

CReadProgress::Watch::~Watch() {
    ProcessForeignImportSettings().watch = nullptr;
    m_progress.Finish();
}

bool CReadProgress::Update(const std::string& name, int percent) {
    if (!m_started) {
        m_started = true;
        m_cancel = false;
        m_clock.start();
    }
    // A short read shows nothing and takes no events.
    if (!m_shown && m_clock.elapsed() < kShowAfterMs) return true;
    if (!m_shown) {
        m_shown = true;
        m_name->setText(tr("Reading %1").arg(QString::fromStdString(name)));
        for (QWidget* widget : m_widgets)
            widget->setEnabled(false);
        // The window's keys (Ctrl+Z, Ctrl+O, ...) rest too, but for Esc.
        for (QAction* action : m_window->findChildren<QAction*>())
            if (action != m_escape && action->isEnabled()) {
                action->setEnabled(false);
                m_rested.push_back(action);
            }
        m_escape->setEnabled(true);
        show();
    }
    if (percent < 0) {
        m_bar->setRange(0, 0);  // moving to and fro until the child tells
    } else {
        m_bar->setRange(0, 100);
        m_bar->setValue(percent);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !m_cancel;
}

void CReadProgress::Finish() {
    if (m_shown) {
        hide();
        m_escape->setEnabled(false);
        for (const QPointer<QAction>& action : m_rested)
            if (action) action->setEnabled(true);
        m_rested.clear();
        if (m_restored) m_restored();
        for (QWidget* widget : m_widgets)
            widget->setEnabled(true);
    }
    m_started = m_shown = m_cancel = false;
}
