// The File menu's recent files, numbered above Exit, and the list kept in the toolkit's settings
// (in the user's configuration folder), written at every change so that the next start of the
// program finds it.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "commands/RecentFiles.h"

class QAction;
class QMainWindow;

class CRecentFilesMenu final : public QObject {
public:
    // Reads the list from the settings and puts its items above the window's Exit item; chosen
    // calls back with the number of the entry.
    CRecentFilesMenu(QMainWindow* window, std::function<void(size_t)> chosen);

    RecentFiles& Files() { return m_files; }
    // The items shown as the list now is, and the list written to the settings.
    void Update();
    // The entry's item, for tests.
    QAction* Item(size_t index) const { return m_items[index]; }

private:
    RecentFiles m_files;
    std::vector<QAction*> m_items;
    QAction* m_separator = nullptr;
};
