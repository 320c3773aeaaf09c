// The File menu's recent files in the window: newest first above Exit, opening and importing
// from them, a file gone away, and the list found again by the next start of the program.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "RecentFilesMenu.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::TestData;

namespace {

// The File menu's shown items from the first recent file on: texts, "" for a separator.
std::vector<std::string> RecentPartOfFileMenu(CMainFrame& frame) {
    QAction* exit = frame.findChild<QAction*>(QStringLiteral("menu-%1").arg(cmd::kAppExit));
    QMenu* menu = qobject_cast<QMenu*>(exit->associatedObjects().value(0));
    std::vector<std::string> texts;
    bool recent = false;
    for (QAction* item : menu ? menu->actions() : QList<QAction*>()) {
        recent = recent || item->objectName().startsWith(QStringLiteral("menu-recent-"));
        if (recent && item->isVisible()) texts.push_back(item->text().toStdString());
    }
    return texts;
}

}  // namespace

TEST(GuiRecentFiles, NewestFirstAboveExitAFileGoneLeavesAndTheListOutlivesTheWindow) {
    QSettings().remove(QStringLiteral("Recent File List"));
    TempDir dir;
    const std::string cube = dir.File("cube.3ds"), jeep = dir.File("jeep.3ds");
    const std::string saved = dir.File("cube.zmv");
    std::filesystem::copy_file(TestData("qt3d/basic-cube.3ds"), cube);
    std::filesystem::copy_file(TestData("assimp/jeep1.3ds"), jeep);
    {
        GuiWindow w;
        EXPECT_EQ(RecentPartOfFileMenu(w.frame), std::vector<std::string>{"E&xit"});
        w.frame.LoadFromOutside(cube);
        w.prompts.files.push_back(saved);
        w.frame.Action(cmd::kSaveAs)->trigger();
        w.frame.LoadFromOutside(jeep);
        EXPECT_EQ(
            RecentPartOfFileMenu(w.frame),
            (std::vector<std::string>{"&1 " + jeep, "&2 " + saved, "&3 " + cube, "", "E&xit"}));
        // Choosing the scene file asks about the changes, opens it and puts it first.
        w.frame.scene().m_bModified = true;
        w.prompts.answers.push_back(true);
        w.frame.RecentFilesMenu()->Item(1)->trigger();
        EXPECT_EQ(
            w.prompts.questions,
            std::vector<std::string>{"Do you want to open a Zemvora file without saving change?"});
        EXPECT_EQ(w.frame.windowTitle().toStdString(), saved);
        EXPECT_EQ(w.frame.RecentFilesMenu()->Files().Paths(),
                  (std::vector<std::string>{saved, jeep, cube}));
    }
    std::filesystem::remove(jeep);
    GuiWindow again;
    EXPECT_EQ(RecentPartOfFileMenu(again.frame),
              (std::vector<std::string>{"&1 " + saved, "&2 " + jeep, "&3 " + cube, "", "E&xit"}));
    again.frame.RecentFilesMenu()->Item(1)->trigger();
    ASSERT_EQ(again.prompts.notices.size(), 1u);
    EXPECT_EQ(again.prompts.notices[0].first,
              "The file " + jeep +
                  " no longer exists. It has been removed from the list of recent files.");
    EXPECT_TRUE(again.frame.scene().m_objects.empty());
    EXPECT_EQ(RecentPartOfFileMenu(again.frame),
              (std::vector<std::string>{"&1 " + saved, "&2 " + cube, "", "E&xit"}));
    again.frame.RecentFilesMenu()->Item(1)->trigger();  // the .3ds file is imported
    EXPECT_EQ(again.frame.scene().m_objects.size(), 1u);
    EXPECT_EQ(QSettings().value(QStringLiteral("Recent File List/File1")).toString().toStdString(),
              cube);
    EXPECT_FALSE(QSettings().contains(QStringLiteral("Recent File List/File3")));
}
