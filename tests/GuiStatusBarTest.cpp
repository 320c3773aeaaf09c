// The status bar at the window's default size: no pane cuts off its text.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTreeWidget>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "panel/PanelLayout.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using testfiles::TestData;

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
