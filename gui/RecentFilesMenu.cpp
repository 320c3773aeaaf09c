#include "RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>

#include "commands/CommandIds.h"

namespace {

// The settings' group and keys: File1 is the newest.
const QString kGroup = QStringLiteral("Recent File List");

QString Key(size_t index) {
    return QStringLiteral("File%1").arg(index + 1);
}

}  // namespace

CRecentFilesMenu::CRecentFilesMenu(QMainWindow* window, std::function<void(size_t)> chosen)
    : QObject(window) {
    QSettings settings;
    settings.beginGroup(kGroup);
    std::vector<std::string> paths;
    for (size_t i = 0; i < RecentFiles::kMostFiles; ++i)
        paths.push_back(settings.value(Key(i)).toString().toStdString());
    m_files.Assign(paths);

    // Above Exit, with a separator of their own below them.
    auto* exit = window->findChild<QAction*>(QStringLiteral("menu-%1").arg(cmd::kAppExit));
    QMenu* menu = nullptr;
    for (QObject* owner : exit ? exit->associatedObjects() : QObjectList())
        if (!menu) menu = qobject_cast<QMenu*>(owner);
    if (!menu) return;
    for (size_t i = 0; i < RecentFiles::kMostFiles; ++i) {
        auto* item = new QAction(window);
        item->setObjectName(QStringLiteral("menu-recent-%1").arg(i + 1));
        item->setStatusTip(QStringLiteral("Open this document"));
        connect(item, &QAction::triggered, this, [chosen, i] { chosen(i); });
        menu->insertAction(exit, item);
        m_items.push_back(item);
    }
    m_separator = menu->insertSeparator(exit);
    Update();
}

void CRecentFilesMenu::Update() {
    const std::vector<std::string>& paths = m_files.Paths();
    const std::string home = QDir::homePath().toStdString();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const bool shown = i < paths.size();
        m_items[i]->setVisible(shown);
        if (shown)
            m_items[i]->setText(QString::fromStdString(RecentFileMenuText(i, paths[i], home)));
    }
    if (m_separator) m_separator->setVisible(!paths.empty());

    QSettings settings;
    settings.beginGroup(kGroup);
    for (size_t i = 0; i < RecentFiles::kMostFiles; ++i) {
        if (i < paths.size())
            settings.setValue(Key(i), QString::fromStdString(paths[i]));
        else
            settings.remove(Key(i));
    }
}
