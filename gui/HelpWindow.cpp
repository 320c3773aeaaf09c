#include "HelpWindow.h"

#include <QUrl>

CHelpWindow::CHelpWindow(QWidget* parent) : QTextBrowser(parent) {
    // A window of its own beside the main window, closed and reopened at will.
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Zemvora Help"));
    setAccessibleName(QStringLiteral("Zemvora Help"));
    setOpenExternalLinks(true);
    resize(640, 720);
}

void CHelpWindow::ShowPage(const std::string& page) {
    setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
    show();
    raise();
    activateWindow();
}
