// File > Export in the window: each format written where the dialog says, the next dialog in the
// same folder and format, its key, and the scene as it was: not modified, not renamed.
#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>

#include "childimport/ForeignImport.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using testfiles::TempDir;
using testfiles::TestData;
namespace fs = std::filesystem;

TEST(GuiExport, WritesEachFormatAndLeavesTheSceneAsItWas) {
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    TempDir dir;
    const std::string jeep = dir.File("jeep.3ds");
    fs::copy_file(TestData("assimp/jeep1.3ds"), jeep);
    fs::copy_file(fs::path(TestData("assimp/jeep1.3ds")).parent_path() / "jeep1.jpg",
                  dir.File("jeep1.jpg"));
    GuiWindow w;
    w.frame.LoadFromOutside(jeep);
    // File > Export..., the menu's item.
    QAction* exportAction =
        w.frame.findChild<QAction*>(QStringLiteral("menu-%1").arg(cmd::kExport));
    ASSERT_NE(exportAction, nullptr);
    EXPECT_EQ(exportAction->text(), QStringLiteral("&Export..."));
    EXPECT_EQ(exportAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    w.frame.scene().m_bModified = false;
    const QString title = w.frame.windowTitle();

    fs::create_directory(dir.File("out"));
    w.prompts.files.push_back(dir.File("out/jeep.glb"));
    exportAction->trigger();
    ASSERT_EQ(w.prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(w.prompts.fileDialogs[0].initialPath, dir.File("jeep.glb"));
    EXPECT_TRUE(w.prompts.notices.empty()) << w.prompts.notices[0].first;
    EXPECT_GT(fs::file_size(dir.File("out/jeep.glb")), 100000u);

    // The next export starts where this one went, in its format first.
    w.prompts.files.push_back(dir.File("out/jeep.obj"));
    exportAction->trigger();
    ASSERT_EQ(w.prompts.fileDialogs.size(), 2u);
    EXPECT_EQ(w.prompts.fileDialogs[1].initialPath, dir.File("out/jeep.glb"));
    EXPECT_EQ(w.prompts.fileDialogs[1].filters.front().second, "*.glb");
    for (const char* file : {"out/jeep.obj", "out/jeep.mtl", "out/jeep1.jpg"})
        EXPECT_TRUE(fs::exists(dir.File(file))) << file;

    EXPECT_FALSE(w.frame.scene().m_bModified);
    EXPECT_EQ(w.frame.scene().m_strFilePath, "");
    EXPECT_EQ(w.frame.windowTitle(), title);
    ProcessForeignImportSettings() = ForeignImportSettings();
}
