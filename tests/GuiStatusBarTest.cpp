// The status bar at the window's default size: no pane cuts off its text; a long read's progress
// and its cancelling.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

#include "MainFrame.h"
#include "ReadProgress.h"
#include "childimport/ForeignImport.h"
#include "commands/CommandIds.h"
#include "panel/PanelLayout.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using testfiles::TestData;
namespace fs = std::filesystem;

namespace {

// The room the label leaves its words: the contents less the indent a framed label takes.
int RoomForWords(const QLabel* label) {
    int indent = label->indent();
    if (indent < 0)
        indent = label->frameWidth() > 0 ? label->fontMetrics().horizontalAdvance('x') / 2 : 0;
    return label->contentsRect().width() - 2 * label->margin() - indent;
}

void ExpectWhole(const QLabel* label) {
    EXPECT_GE(RoomForWords(label), label->fontMetrics().horizontalAdvance(label->text()))
        << label->text().toStdString() << " in " << label->width() << " pixels";
}

}  // namespace

TEST(GuiStatusBar, TheStatisticsPaneShowsItsWholeLine) {
    GuiWindow w;
    QLabel* pane = w.frame.StatisticsPane();
    EXPECT_EQ(pane->width(), 399);
    w.frame.LoadFromOutside(TestData("celestia/apollo.3ds"));
    EXPECT_EQ(pane->text(), "Object:41 Vertex:41864 Mesh:69469 Material:41 Light:0 Camera:0");
    QTest::qWait(20);
    ExpectWhole(pane);
    ExpectWhole(w.frame.MessagePane());
    ExpectWhole(w.frame.FrameRatePane());
    // The window keeps its default size.
    EXPECT_EQ(w.frame.width(), 1024);

    const int wide = pane->width();
    EXPECT_GT(wide, 399);

    // A short line goes back to the pane's own width.
    w.frame.scene().m_bModified = false;
    w.frame.OnCommand(cmd::kNew);
    EXPECT_EQ(pane->text(), "Object:0 Vertex:0 Mesh:0 Material:0 Light:0 Camera:0");
    QTest::qWait(20);
    EXPECT_EQ(pane->width(), 399);
    ExpectWhole(pane);
}

// Missing texture images are told once, in the status bar, and in the panel's material tree.
TEST(GuiStatusBar, MissingTextureImagesAreCountedOnceAfterTheFileIsShown) {
    GuiWindow w;
    w.frame.LoadFromOutside(TestData("assimp/cubes_with_alpha.3DS"));
    EXPECT_EQ(w.frame.statusBar()->currentMessage(), "1 texture image is missing");
    QTreeWidget* materials = w.Tree(panel::kMaterialTree);
    ASSERT_GT(materials->topLevelItemCount(), 1);
    ASSERT_EQ(materials->topLevelItem(1)->childCount(), 5);
    EXPECT_EQ(materials->topLevelItem(1)->child(4)->text(0), "Map:BERETTA_.JPG (not found)");
    w.frame.scene().m_bModified = 0;
    w.frame.LoadFromOutside(TestData("assimp/jeep1.3ds"));
    EXPECT_EQ(w.frame.statusBar()->currentMessage(), "");
    ASSERT_EQ(materials->topLevelItem(0)->childCount(), 5);
    EXPECT_EQ(materials->topLevelItem(0)->child(4)->text(0), "Map:jeep1.jpg");
}

TEST(GuiStatusBar, TheFrameRatePaneShowsLargeRates) {
    GuiWindow w;
    w.frame.ShowFrameRate(123456.789f);
    QTest::qWait(20);
    EXPECT_GE(w.frame.FrameRatePane()->width(), 150);
    ExpectWhole(w.frame.FrameRatePane());
    w.frame.ShowFrameRate(60.0f);
    QTest::qWait(20);
    EXPECT_EQ(w.frame.FrameRatePane()->width(), 150);
}

TEST(GuiStatusBar, EveryCommandPromptFitsBesideThePanes) {
    GuiWindow w;
    w.frame.LoadFromOutside(TestData("celestia/apollo.3ds"));
    QTest::qWait(20);
    QStatusBar* bar = w.frame.statusBar();
    // The prompt is drawn over the message pane, up to the first pane on the right.
    const int room = w.frame.FrameRatePane()->geometry().left() - 12;
    for (QAction* action : w.frame.findChildren<QAction*>()) {
        const QString prompt = action->statusTip();
        if (prompt.isEmpty()) continue;
        EXPECT_LE(bar->fontMetrics().horizontalAdvance(prompt), room) << prompt.toStdString();
    }
}

// A slow read through the import child: after half a second the status bar shows the file's name
// and how far the child has come, the window still draws, and Esc or Cancel stops the child,
// leaving the scene as it was without a message.
TEST(GuiStatusBar, ALongReadShowsItsProgressAndStopsOnEscOrCancel) {
    testfiles::TempDir dir;
    // A child that tells 40 and then takes its time.
    const std::string child = dir.File("slow-child");
    std::ofstream(child) << "#!/bin/sh\nprintf '\\050' >&3\nexec sleep 20\n";
    fs::permissions(child, fs::perms::owner_all);
    const std::string model = dir.File("big.obj");
    std::ofstream(model) << "v 0 0 0\n";
    ProcessForeignImportSettings().program = child;

    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Esc" : "Cancel");
        GuiWindow w;
        w.frame.LoadFromOutside(TestData("qt3d/basic-cube.3ds"));
        const std::string statistics = w.frame.StatisticsPane()->text().toStdString();
        w.frame.scene().m_bModified = false;
        CReadProgress& progress = *w.frame.ReadProgress();
        EXPECT_FALSE(progress.isVisible());
        const auto enabledActions = [&w] {
            std::vector<QAction*> enabled;
            for (QAction* action : w.frame.findChildren<QAction*>())
                if (action->isEnabled()) enabled.push_back(action);
            return enabled;
        };
        const std::vector<QAction*> before = enabledActions();
        bool seen = false;
        int frames = 0;
        w.frame.View()->SetFrameRateHandler([&frames](float) { ++frames; });
        QTimer::singleShot(900, [&] {
            seen = progress.isVisible();
            EXPECT_EQ(progress.Name()->text(), "Reading big.obj");
            EXPECT_EQ(progress.Bar()->value(), 40);
            EXPECT_FALSE(w.frame.menuBar()->isEnabled());
            EXPECT_EQ(enabledActions().size(), 1u);  // Esc's alone: Ctrl+O and the rest rest
            w.frame.View()->RedrawRequest();         // the window goes on drawing
            QTimer::singleShot(100, [&] {
                if (escape)
                    QTest::keyClick(w.frame.windowHandle(), Qt::Key_Escape);
                else
                    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
            });
        });
        QElapsedTimer clock;
        clock.start();
        w.frame.LoadFromOutside(model);
        EXPECT_TRUE(seen);
        EXPECT_LT(clock.elapsed(), 10000);  // the child was stopped, not waited for
        EXPECT_GT(frames, 0);
        EXPECT_FALSE(progress.isVisible());
        EXPECT_TRUE(w.frame.menuBar()->isEnabled());
        EXPECT_EQ(enabledActions().size(), before.size());
        EXPECT_TRUE(w.prompts.notices.empty());
        EXPECT_EQ(w.frame.scene().m_objects.size(), 1u);
        EXPECT_EQ(w.frame.StatisticsPane()->text().toStdString(), statistics);
    }
    ProcessForeignImportSettings() = ForeignImportSettings();
}
