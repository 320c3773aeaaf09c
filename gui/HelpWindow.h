// The user's guide in a window of the program, for when no browser can open the help page.
#pragma once

#include <QTextBrowser>
#include <string>

class CHelpWindow final : public QTextBrowser {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent);
    // Loads the page (an .htm file) and brings the window to the front.
    void ShowPage(const std::string& page);

private:
    // Widens the window to the page, once: later the user's size stays.
    void FitWidthToPage();

    bool m_widthFitted = false;
};
