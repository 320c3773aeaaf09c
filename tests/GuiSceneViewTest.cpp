// What a user does with a model once it is open, in the real window: hide an object and show it
// again (undone, saved and reopened), stand a +Y-up model upright, and save the view as a
// picture equal to `zemvora --render` of the same state.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "MainFrame.h"
#include "ZemvoraView.h"
#include "childimport/ForeignImport.h"
#include "commands/CommandIds.h"
#include "panel/PanelLayout.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"
#include "view/Picking.h"

namespace {

const std::string kStillLife = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";

// The box round the pixels that are not the background: width and height.
QSize DrawnSize(GuiWindow& w) {
    const QImage image = w.frame.View()->grabFramebuffer();
    const RGB8 b = w.frame.scene().m_settings.background;
    QRect drawn;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(b.red, b.green, b.blue)) drawn |= QRect(x, y, 1, 1);
    return drawn.size();
}

// How many pixels of the view show object index.
int PixelsOf(GuiWindow& w, int index) {
    const CZemvoraView* view = w.frame.View();
    int count = 0;
    for (int y = 2; y < view->height(); y += 6)
        for (int x = 2; x < view->width(); x += 6)
            count += PickObject(w.frame.scene(), view->state(), view->width(), view->height(), x,
                                y) == index;
    return count;
}

}  // namespace

TEST(GuiSceneView, HideShowUndoSaveAndReopen) {
    testfiles::TempDir dir;
    GuiWindow w;
    w.frame.LoadFromOutside(kStillLife);
    const Scene& scene = w.frame.scene();
    ASSERT_EQ(scene.m_settings.currentObject, 0);
    ASSERT_GT(PixelsOf(w, 0), 0);
    const QImage shown = w.frame.View()->grabFramebuffer();
    QTest::keyClick(w.frame.View(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(scene.m_objects[0].hidden);
    EXPECT_EQ(PixelsOf(w, 0), 0);  // not picked
    // Greyed in the object tree, still there to be chosen.
    QTreeWidget* tree = w.Tree(panel::kObjectTree);
    EXPECT_NE(tree->topLevelItem(0)->foreground(0), tree->topLevelItem(1)->foreground(0));
    EXPECT_NE(w.frame.View()->grabFramebuffer(), shown);
    w.frame.Action(cmd::kUndo)->trigger();
    EXPECT_FALSE(scene.m_objects[0].hidden);
    EXPECT_EQ(w.frame.View()->grabFramebuffer(), shown);
    EXPECT_EQ(tree->topLevelItem(0)->foreground(0), tree->topLevelItem(1)->foreground(0));
    w.frame.Action(cmd::kRedo)->trigger();
    const QImage hidden = w.frame.View()->grabFramebuffer();

    // Kept in the scene file: reopened, the object is still hidden and drawn so.
    w.prompts.files.push_back(dir.File("hidden.zmv"));
    w.frame.Action(cmd::kSaveAs)->trigger();
    GuiWindow reopened;
    reopened.frame.LoadFromOutside(dir.File("hidden.zmv"));
    ASSERT_EQ(reopened.frame.scene().m_objects.size(), scene.m_objects.size());
    EXPECT_TRUE(reopened.frame.scene().m_objects[0].hidden);
    EXPECT_EQ(reopened.frame.View()->grabFramebuffer(), hidden);
    QTest::keyClick(reopened.frame.View(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(reopened.frame.scene().m_objects[0].hidden);
    EXPECT_GT(PixelsOf(reopened, 0), 0);
}

// A tall box made with +Y up, in OFF, which says nothing about up: it opens lying down, and
// View > Up axis > +Y stands it up, drawn taller than wide; Undo lays it down again, and the
// view fitted to it standing is left for the default view point.
TEST(GuiSceneView, UpAxisStandsAPlusYModelUpright) {
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    testfiles::TempDir dir;
    std::ofstream(dir.File("tower.off"))
        << "OFF\n8 12 0\n-1 0 -1\n1 0 -1\n1 0 1\n-1 0 1\n-1 12 -1\n1 12 -1\n1 12 1\n-1 12 1\n"
           "3 0 1 2\n3 0 2 3\n3 4 6 5\n3 4 7 6\n3 0 4 5\n3 0 5 1\n3 1 5 6\n3 1 6 2\n"
           "3 2 6 7\n3 2 7 3\n3 3 7 4\n3 3 4 0\n";
    GuiWindow w;
    w.frame.LoadFromOutside(dir.File("tower.off"));
    ASSERT_EQ(w.frame.scene().m_objects.size(), 1u);
    w.ShowObjectsOnly();
    const QSize lying = DrawnSize(w);
    EXPECT_LT(lying.height(), lying.width());
    QAction* plusY = w.frame.Action(cmd::kUpAxisPlusY);
    plusY->trigger();
    EXPECT_EQ(w.frame.scene().m_settings.upAxis, UpAxis::PlusY);
    EXPECT_TRUE(plusY->isChecked());
    EXPECT_FALSE(w.frame.Action(cmd::kUpAxisPlusZ)->isChecked());
    // Brought into view whole (the default view point frames its box, not its height), it
    // stands taller than wide.
    QTest::keyClick(w.frame.View(), Qt::Key_0, Qt::ControlModifier);
    const QSize standing = DrawnSize(w);
    EXPECT_LT(standing.height(), w.frame.View()->height());
    EXPECT_GT(standing.height(), 2 * standing.width());
    w.frame.Action(cmd::kUndo)->trigger();
    EXPECT_EQ(w.frame.scene().m_settings.upAxis, UpAxis::PlusZ);
    EXPECT_TRUE(w.frame.Action(cmd::kUpAxisPlusZ)->isChecked());
    EXPECT_EQ(DrawnSize(w), lying);
    ProcessForeignImportSettings() = ForeignImportSettings();
}

// File > Save picture: the dialog starts at the view's size; the picture written is the one
// `zemvora --render` draws of the same file and state, a name without an extension gets .png,
// and .jpg names a JPEG. The folder is remembered.
TEST(GuiSceneView, SavePictureWritesWhatRenderDraws) {
    testfiles::TempDir dir;
    GuiWindow w;
    w.frame.LoadFromOutside(kStillLife);
    w.prompts.files.push_back(dir.File("picture"));
    w.prompts.sizes.push_back(PictureSize{320, 240});
    w.frame.Action(cmd::kSavePicture)->trigger();
    ASSERT_EQ(w.prompts.sizeDialogs.size(), 1u);
    EXPECT_EQ(w.prompts.sizeDialogs[0].width, w.frame.View()->ShownSize().width);
    EXPECT_EQ(w.prompts.sizeDialogs[0].height, w.frame.View()->ShownSize().height);
    const QImage saved(QString::fromStdString(dir.File("picture.png")));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(320, 240));

    // The command draws without any display, as it does for users.
    QProcess render;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    render.setProcessEnvironment(env);
    render.start(ZEMVORA_EXE, {"--render", QString::fromStdString(kStillLife), "--size", "320x240",
                               "--output", QString::fromStdString(dir.File("render.png"))});
    ASSERT_TRUE(render.waitForFinished(60000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage rendered(QString::fromStdString(dir.File("render.png")));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              rendered.convertToFormat(QImage::Format_RGB32));

    w.prompts.files.push_back(dir.File("picture.JPG"));
    w.prompts.sizes.push_back(PictureSize{64, 48});
    w.frame.Action(cmd::kSavePicture)->trigger();
    EXPECT_EQ(w.prompts.fileDialogs.back().initialPath, dir.File("still-life.png"));
    std::ifstream jpeg(dir.File("picture.JPG"), std::ios::binary);
    EXPECT_EQ(jpeg.get(), 0xFF);
    EXPECT_EQ(jpeg.get(), 0xD8);
    // Cancelled at the size, nothing is written.
    w.prompts.files.push_back(dir.File("never.png"));
    w.prompts.sizes.push_back(std::nullopt);
    w.frame.Action(cmd::kSavePicture)->trigger();
    EXPECT_FALSE(std::ifstream(dir.File("never.png")).good());
}
