#include "HelpWindow.h"

#include <QAction>
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
    show();
    raise();
    activateWindow();
}
