#include "HelpWindow.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QScreen>
#include <QScrollBar>
#include <QUrl>

CHelpWindow::CHelpWindow(QWidget* parent) : QTextBrowser(parent) {
    // A window of its own beside the main window, closed and reopened at will.
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Zemvora Help"));
    setAccessibleName(QStringLiteral("Zemvora Help"));
    setOpenExternalLinks(true);
    resize(640, 720);
    // Escape and Ctrl+W close it, as they close a help or document window elsewhere.
    auto* closing = new QAction(this);
    closing->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(closing, &QAction::triggered, this, &QWidget::close);
    addAction(closing);
}

void CHelpWindow::ShowPage(const std::string& page) {
    setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
    if (!m_widthFitted) FitWidthToPage();
    show();
    raise();
    activateWindow();
}

void CHelpWindow::FitWidthToPage() {
    m_widthFitted = true;
    // As wide as the page's widest line (the command line's usage), so that it opens without a
    // horizontal scroll bar, within the screen.
    const int page = static_cast<int>(std::ceil(document()->idealWidth()));
    int wanted = page + 2 * frameWidth() + verticalScrollBar()->sizeHint().width() + 4;
    if (const QScreen* s = screen()) wanted = std::min(wanted, s->availableGeometry().width());
    if (wanted > width()) resize(wanted, height());
}
