// The whole window under Xvfb: start-up state, toolbar, status bar, the panel's place and layout,
// the trees, the import from the menu, keys and mouse on the view, help, drops and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <xcb/xcb.h>

#include "MainFrame.h"
#include "QtPrompts.h"
#include "ZemvoraView.h"
#include "childimport/ForeignImport.h"
#include "commands/CommandIds.h"
#include "commands/CommandTexts.h"
#include "scene/SceneMessages.h"
#include "tests/GuiWindow.h"
#include "tests/ImageCompare.h"
#include "tests/TestFiles.h"
#include "view/Picking.h"

using namespace panel;
using testfiles::TestData;

namespace {

struct Window : GuiWindow {
    void Import(const std::string& path) {
        prompts.files.push_back(path);
        frame.Action(cmd::kImport3ds)->trigger();
    }
    // The panel's top-left corner for the frame as it stands.
    QPoint ExpectedPanelPlace() {
        const QRect f = frame.frameGeometry();
        return QPoint(f.x() + f.width() - Panel().frameGeometry().width() - 7, f.y() + 99);
    }
};

// Sends the window the message a window manager sends when its close button is clicked.
void AskToClose(QWidget& window) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(connection), 0);
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.winId());
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    xcb_disconnect(connection);
}

std::vector<std::string> Lines(QTreeWidgetItem* item) {
    std::vector<std::string> lines;
    for (int i = 0; i < item->childCount(); ++i)
        lines.push_back(item->child(i)->text(0).toStdString());
    return lines;
}

}  // namespace

TEST(GuiFrame, StartUpState) {
    Window w;
    EXPECT_EQ(w.frame.windowTitle(), "Untitled - Zemvora");
    EXPECT_TRUE(w.Panel().isVisible());
    EXPECT_EQ(w.Panel().windowTitle(), "Set object parameter");
    EXPECT_EQ(w.Panel().frameGeometry().topLeft(), w.ExpectedPanelPlace());
    EXPECT_EQ(w.frame.MessagePane()->text(), "Ready");
    EXPECT_EQ(w.frame.StatisticsPane()->text(), "Display scene info");
    EXPECT_EQ(w.frame.FrameRatePane()->width(), 150);
    EXPECT_EQ(w.frame.StatisticsPane()->width(), 399);
    EXPECT_TRUE(w.frame.FrameRatePane()->text().startsWith("Frame/Second:"))
        << w.frame.FrameRatePane()->text().toStdString();
    EXPECT_TRUE(w.frame.scene().m_objects.empty());
    EXPECT_FALSE(w.frame.scene().m_bModified);
}

TEST(GuiFrame, ToolbarOrderTextsAndChecks) {
    Window w;
    const QList<QAction*> shown = w.frame.ToolBar()->actions();
    const std::vector<int>& layout = ToolbarLayout();
    ASSERT_EQ(shown.size(), static_cast<qsizetype>(layout.size()));
    int buttons = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i] == 0) {
            EXPECT_TRUE(shown[static_cast<qsizetype>(i)]->isSeparator()) << i;
            continue;
        }
        ++buttons;
        QAction* action = shown[static_cast<qsizetype>(i)];
        EXPECT_EQ(action, w.frame.Action(layout[i]));
        EXPECT_EQ(action->statusTip().toStdString(), TextOfCommand(layout[i]).prompt);
        EXPECT_EQ(action->toolTip().toStdString(), TextOfCommand(layout[i]).toolTip);
        EXPECT_FALSE(action->icon().isNull());
    }
    EXPECT_EQ(buttons, 22);
    EXPECT_EQ(w.frame.Action(cmd::kNewButton)->statusTip(), "Create new Zmv File");
    EXPECT_EQ(w.frame.Action(cmd::kOpen)->toolTip(), "Open");
    EXPECT_EQ(w.frame.ToolBar()->iconSize(), QSize(32, 32));

    for (int id :
         {cmd::kSmoothMode, cmd::kShowGrid, cmd::kShowLight, cmd::kShowBox, cmd::kShowTextures,
          cmd::kDefaultViewPoint, cmd::kCameraView, cmd::kShowText, cmd::kShowPanel})
        EXPECT_TRUE(w.frame.Action(id)->isChecked()) << id;
    for (int id : {cmd::kPlay, cmd::kVertexMode, cmd::kLineMode, cmd::kFlatMode, cmd::kTopView})
        EXPECT_FALSE(w.frame.Action(id)->isChecked()) << id;
    w.frame.Action(cmd::kTopView)->trigger();
    EXPECT_TRUE(w.frame.Action(cmd::kTopView)->isChecked());
    EXPECT_FALSE(w.frame.Action(cmd::kCameraView)->isChecked());
    w.frame.Action(cmd::kFlatMode)->trigger();
    EXPECT_TRUE(w.frame.Action(cmd::kFlatMode)->isChecked());
    EXPECT_FALSE(w.frame.Action(cmd::kSmoothMode)->isChecked());
}

TEST(GuiFrame, PanelFollowsTheFrameAndToggles) {
    Window w;
    w.frame.move(40, 30);
    QTest::qWait(50);
    EXPECT_EQ(w.Panel().frameGeometry().topLeft(), w.ExpectedPanelPlace());
    w.frame.resize(900, 650);
    QTest::qWait(50);
    EXPECT_EQ(w.Panel().frameGeometry().topLeft(), w.ExpectedPanelPlace());
    const QSize size = w.Panel().size();

    w.frame.Action(cmd::kShowPanel)->trigger();
    EXPECT_FALSE(w.Panel().isVisible());
    EXPECT_FALSE(w.frame.Action(cmd::kShowPanel)->isChecked());
    w.frame.OnCommand(cmd::kShowHidePanel);
    EXPECT_TRUE(w.Panel().isVisible());
    EXPECT_TRUE(w.frame.Action(cmd::kShowPanel)->isChecked());
    EXPECT_EQ(w.Panel().frameGeometry().topLeft(), w.ExpectedPanelPlace());
    EXPECT_EQ(w.Panel().size(), size);  // the panel's own size never changes

    // The panel's close button, as a window manager reports it, hides it as the menu does.
    AskToClose(w.Panel());
    QTRY_VERIFY(!w.Panel().isVisible());
    EXPECT_FALSE(w.frame.Action(cmd::kShowPanel)->isChecked());
    w.frame.OnCommand(cmd::kShowHidePanel);
    EXPECT_TRUE(w.Panel().isVisible());
}

// The panel is mapped only after the window it rides on, as its transient, so that window
// managers keep it in front of that window; the first window fits the screen.
TEST(GuiFrame, ThePanelComesUpInFrontOfItsShownWindow) {
    ScriptedPrompts prompts;
    CMainFrame frame(prompts);
    EXPECT_FALSE(frame.Panel()->isVisible());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_TRUE(frame.Panel()->isVisible());
    ASSERT_NE(frame.Panel()->windowHandle(), nullptr);
    EXPECT_EQ(frame.Panel()->windowHandle()->transientParent(), frame.windowHandle());
    QTest::qWait(20);
    EXPECT_TRUE(frame.screen()->availableGeometry().contains(frame.frameGeometry()));
}

TEST(GuiFrame, EveryTabPlacesItsControls) {
    Window w;
    for (int tab = kObjectTab; tab <= kNotesTab; ++tab) {
        w.ShowTab(tab);
        EXPECT_EQ(w.Panel().m_nCurTab, tab);
        const std::vector<ControlRect> rects =
            LayoutTab(tab, w.Panel().width(), w.Panel().height(), w.Panel().Units());
        for (const ControlRect& r : rects) {
            QWidget* control = w.Panel().Control(r.id);
            EXPECT_TRUE(control->isVisible()) << tab << " " << r.id;
            QRect expected(r.x, r.y, r.width, r.height);
            // The closed drop-down list keeps its own height within its rectangle.
            if (r.id == kCameraList)
                expected.setHeight(std::min(r.height, control->sizeHint().height()));
            EXPECT_EQ(control->geometry(), expected) << tab << " " << r.id;
        }
        int shown = 0;
        for (int id = kTab; id <= kSetBackground; ++id) {
            if (QWidget* control = w.Panel().Control(id)) shown += control->isVisible();
        }
        EXPECT_EQ(shown, static_cast<int>(rects.size())) << tab;
    }
    EXPECT_FALSE(w.Panel().Control(kHiddenTree)->isVisible());
    w.ShowTab(kObjectTab);
    EXPECT_EQ(static_cast<QWidget*>(w.Panel().Control(kSmoothFlat))->property("text").toString(),
              "Smooth/Flat");
    w.ShowTab(kLightTab);
    EXPECT_EQ(w.Panel().Control(kLightOnOff)->property("text").toString(), "Light On/Off");
}

TEST(GuiFrame, ImportFromTheMenuFillsPanelStatisticsAndView) {
    Window w;
    const QImage empty = w.frame.View()->grabFramebuffer();
    w.Import(TestData("qt3d/lunar-lander.3ds"));
    ASSERT_FALSE(w.prompts.fileDialogs.empty());
    ASSERT_FALSE(w.prompts.fileDialogs.back().filters.empty());
    EXPECT_EQ(w.prompts.fileDialogs.back().filters[1].first, "3D Studio (*.3ds)");
    EXPECT_EQ(w.frame.StatisticsPane()->text(),
              "Object:12 Vertex:849 Mesh:884 Material:1 Light:0 Camera:0");
    EXPECT_TRUE(w.frame.scene().m_bModified);
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 0);
    QTreeWidget* objects = w.Tree(kObjectTree);
    ASSERT_EQ(objects->topLevelItemCount(), 12);
    ASSERT_FALSE(w.frame.scene().m_objects.empty());
    const SceneObject& first = w.frame.scene().m_objects[0];
    EXPECT_EQ(objects->topLevelItem(0)->text(0).toStdString(), first.name);
    char mesh[32];
    std::snprintf(mesh, sizeof mesh, "Mesh:%5d", first.meshCount);
    const std::vector<std::string> objectLines = Lines(objects->topLevelItem(0));
    ASSERT_GE(objectLines.size(), 2u);
    EXPECT_EQ(objectLines[1], mesh);
    QTreeWidget* materials = w.Tree(kMaterialTree);
    ASSERT_EQ(materials->topLevelItemCount(), 1);
    const std::vector<std::string> materialLines = Lines(materials->topLevelItem(0));
    ASSERT_FALSE(materialLines.empty());
    ASSERT_FALSE(w.frame.scene().m_materials.empty());
    EXPECT_EQ(materialLines.back(),
              "Shininess:" +
                  QString::asprintf("%.2f", double(w.frame.scene().m_materials[0].shininess))
                      .toStdString() +
                  " Transparency:1.00");
    EXPECT_EQ(static_cast<QLabel*>(w.Panel().Control(kObjectText))->text().toStdString(),
              "Current object:" + first.name);
    EXPECT_EQ(w.Get<QPlainTextEdit>(kNoteBox)->toPlainText().toStdString(), first.note);
    EXPECT_GT(MaxChannelDifference(w.frame.View()->grabFramebuffer(), empty), 0);

    // Importing again with changes asks first; a file that is no 3DS file says so.
    w.prompts.answers.push_back(true);
    w.Import(TestData("online3dviewer/wrong.3ds"));
    ASSERT_FALSE(w.prompts.questions.empty());
    EXPECT_EQ(w.prompts.questions.back(),
              "Do you want to import a .3ds file without saving change?");
    ASSERT_FALSE(w.prompts.notices.empty());
    EXPECT_EQ(w.prompts.notices.back().first,
              "wrong.3ds is not a valid 3ds "
              "file.\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB4\xE9\x94\x99\xE8\xAF\xAF"
              " or \xE6\x96\x87\xE4\xBB\xB6\xE9\x95\xBF\xE5\xBA\xA6\xE9\x94\x99\xE8\xAF\xAF");
    EXPECT_EQ(w.Tree(kObjectTree)->topLevelItemCount(), 0);
    EXPECT_FALSE(w.frame.scene().m_bModified);
    // Everything shows the scene the failure left: the statistics line and the Notes box too.
    EXPECT_EQ(w.frame.StatisticsPane()->text(),
              "Object:0 Vertex:0 Mesh:0 Material:0 Light:0 Camera:0");
    EXPECT_EQ(w.Get<QPlainTextEdit>(kNoteBox)->toPlainText(), "");
}

TEST(GuiFrame, SelectingThroughTheTrees) {
    Window w;
    w.Import(TestData("qt3d/roboticBody.3ds"));
    // Two objects of one name: either item selects the first.
    ASSERT_GE(w.frame.scene().m_objects.size(), 3u);
    w.frame.scene().m_objects[2].name = w.frame.scene().m_objects[1].name;
    w.Panel().RefreshTrees();
    QTreeWidget* objects = w.Tree(kObjectTree);
    objects->setCurrentItem(objects->topLevelItem(2));
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 1);
    // A line selects its owner.
    ASSERT_GE(objects->topLevelItemCount(), 4);
    objects->setCurrentItem(objects->topLevelItem(3)->child(1));
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 3);

    // A material picked on the Object tab changes the text; the Material tab then shows it.
    QTreeWidget* materials = w.Tree(kMaterialTree);
    materials->setCurrentItem(materials->topLevelItem(2));
    EXPECT_EQ(w.Panel().m_nCurMaterial, 2);
    ASSERT_GE(w.frame.scene().m_materials.size(), 3u);
    EXPECT_EQ(static_cast<QLabel*>(w.Panel().Control(kMaterialText))->text().toStdString(),
              "Current material:" + w.frame.scene().m_materials[2].name);
    w.ShowTab(kMaterialTab);
    EXPECT_EQ(static_cast<QSlider*>(w.Panel().Control(kDiffuseRed))->value(),
              w.frame.scene().m_materials[2].diffuse.red);
    // The object tree does not act on the Material tab.
    objects->setCurrentItem(objects->topLevelItem(0));
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 3);
}

TEST(GuiFrame, KeysAndMouseOnTheView) {
    Window w;
    w.Import(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
    CZemvoraView* view = w.frame.View();
    view->activateWindow();
    view->setFocus();
    EXPECT_FALSE(view->state().m_bDefaultView);  // the file has a camera
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 1);
    ASSERT_FALSE(w.frame.scene().m_cameras.empty());
    const float lens = w.frame.scene().m_cameras[0].lens;
    w.frame.scene().m_bModified = false;
    QTest::keyClick(view, Qt::Key_Comma);
    EXPECT_EQ(w.frame.scene().m_cameras[0].lens, lens + 0.5f);
    EXPECT_TRUE(w.frame.scene().m_bModified);
    QTest::keyClick(view, Qt::Key_C);
    EXPECT_EQ(view->state().m_nProjection, ProjTopView);
    EXPECT_TRUE(w.frame.Action(cmd::kTopView)->isChecked());
    QTest::keyClick(view, Qt::Key_C);
    QTest::keyClick(view, Qt::Key_W);
    EXPECT_EQ(view->state().m_nDisplayMode, ModeLine);
    EXPECT_TRUE(w.frame.Action(cmd::kLineMode)->isChecked());

    const QImage before = view->grabFramebuffer();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseMove(view, QPoint(340, 300));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(340, 300));
    EXPECT_EQ(w.frame.scene().m_settings.dragX, 40.0f);
    EXPECT_GT(MaxChannelDifference(view->grabFramebuffer(), before), 0);
    QTest::keyClick(view, Qt::Key_R);
    EXPECT_EQ(w.frame.scene().m_settings.dragX, 0.0f);
    EXPECT_EQ(MaxChannelDifference(view->grabFramebuffer(), before), 0);
}

TEST(GuiFrame, AboutBox) {
    Window w;
    QString title, texts;
    int width = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        width = box->width();
        for (QLabel* label : box->findChildren<QLabel*>())
            texts += label->text();
        QPushButton* ok = box->findChild<QPushButton*>();
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), "OK");
        ok->click();
    });
    w.frame.Action(cmd::kAppAbout)->trigger();
    EXPECT_EQ(title, "About Zemvora Creator");
    // The title bar has room for the whole title in bold beside its buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(title) + 100);
    EXPECT_EQ(texts, "Zemvora Creator Version 1.01");
}

TEST(GuiFrame, HelpWithoutABrowserShowsThePageInAWindowOfItsOwn) {
    Window w;
    // No desktop launcher can be found: the real opener fails as it does on a bare machine.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    w.frame.Action(cmd::kHelp)->trigger();
    qputenv("PATH", path);
    QTextBrowser* help = w.frame.findChild<QTextBrowser*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->source().toLocalFile().toStdString(),
              QCoreApplication::applicationDirPath().toStdString() + "/help/index.htm");
    EXPECT_EQ(help->documentTitle(), "Zemvora Creator Help");
    EXPECT_TRUE(help->toPlainText().contains("Without a window"));
    // The page's widest lines fit: no horizontal scroll bar at the size it opens at.
    QTest::qWait(20);
    EXPECT_EQ(help->horizontalScrollBar()->maximum(), 0) << help->width();

    // Asked again, the same window comes back.
    help->close();
    w.frame.SetHelpOpener([](const std::string&) { return false; });
    w.frame.Action(cmd::kHelp)->trigger();
    EXPECT_EQ(w.frame.findChildren<QTextBrowser*>().size(), 1);
    EXPECT_TRUE(help->isVisible());
}

TEST(GuiFrame, TheImportMessageCanBeReadInTheMessageBoxFont) {
    // The message of a file whose main chunk is wrong carries Chinese words; every character
    // must have a glyph in the message box's font or a fallback of it, not an empty box.
    const QString text = QString::fromStdString(messages::Bad3dsMainChunk("wrong.3ds"));
    QtPrompts prompts;
    QFont font;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text() != text) continue;
            font = label->font();
            shown = true;
        }
        box->close();
    });
    prompts.Notice(text.toStdString(), NoticeIcon::Warning);
    ASSERT_TRUE(shown);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (quint32 glyph : run.glyphIndexes()) {
            EXPECT_NE(glyph, 0u) << "a character without a glyph in " +
                                        run.rawFont().familyName().toStdString();
            ++glyphs;
        }
    }
    EXPECT_GE(glyphs, text.size() - 1);  // "wrong.3ds" may join letters, never lose them
}

TEST(GuiFrame, HelpDropsAndClosing) {
    Window w;
    std::string opened;
    w.frame.SetHelpOpener([&](const std::string& page) {
        opened = page;
        return true;
    });
    w.frame.Action(cmd::kHelp)->trigger();
    EXPECT_EQ(opened, QCoreApplication::applicationDirPath().toStdString() + "/help/index.htm");

    // A file dropped on the window or named on the command line.
    EXPECT_TRUE(w.frame.acceptDrops());
    w.frame.LoadFromOutside(TestData("qt3d/basic-cube.3ds"));
    EXPECT_EQ(w.frame.scene().m_objects.size(), 1u);
    EXPECT_TRUE(w.prompts.fileDialogs.empty());
    EXPECT_EQ(w.frame.StatisticsPane()->text(),
              "Object:1 Vertex:8 Mesh:12 Material:2 Light:0 Camera:0");
    // Another format, after the unsaved-changes question, through the import child.
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    w.prompts.answers.push_back(true);
    w.frame.LoadFromOutside(std::string(ZEMVORA_TESTDATA_DIR) + "/models/off/Cube.off");
    ProcessForeignImportSettings() = ForeignImportSettings();
    EXPECT_EQ(w.prompts.questions.back(),
              "Do you want to import a .3ds file without saving change?");
    EXPECT_EQ(w.frame.StatisticsPane()->text(),
              "Object:1 Vertex:8 Mesh:12 Material:1 Light:0 Camera:0");

    // A file of no format the program reads is refused before any question, the scene kept.
    testfiles::TempDir dir;
    const std::string notes = dir.File("notes.txt");
    std::ofstream(notes) << "Remember the milk.\n";
    w.frame.scene().m_bModified = true;
    const size_t questions = w.prompts.questions.size();
    w.frame.LoadFromOutside(notes);
    EXPECT_EQ(w.prompts.questions.size(), questions);
    EXPECT_EQ(w.prompts.notices.back().first,
              "notes.txt is not a model or scene this program reads");
    EXPECT_EQ(w.frame.scene().m_objects.size(), 1u);
    EXPECT_TRUE(w.frame.scene().m_bModified);

    w.prompts.answers.push_back(false);
    EXPECT_FALSE(w.frame.close());
    ASSERT_FALSE(w.prompts.questions.empty());
    EXPECT_EQ(w.prompts.questions.back(), "Do you want to quit Zemvora without saving change?");
    EXPECT_TRUE(w.frame.isVisible());
    w.frame.scene().m_bModified = false;
    EXPECT_TRUE(w.frame.close());
}

// However small the window is made, the toolbar shows every button, the status panes keep apart
// and the panel stays on the window above the status bar, and on the screen.
TEST(GuiFrame, TheWindowKeepsItsPartsAtItsLeastSize) {
    Window w;
    w.frame.move(40, 30);
    for (const QSize& size : {QSize(400, 300), QSize(120, 80)}) {
        w.frame.resize(size);
        QTest::qWait(50);
        EXPECT_GE(w.frame.width(), w.frame.minimumWidth());
        // The status panes and the panel set the least width; the toolbar's buttons that do not
        // fit go behind its extension arrow.
        EXPECT_LT(w.frame.minimumWidth(), 700);
        bool behindArrow = false;
        for (QAction* action : w.frame.ToolBar()->actions()) {
            QWidget* button = w.frame.ToolBar()->widgetForAction(action);
            if (action->isSeparator() || !button) continue;
            if (!button->isVisible()) {
                behindArrow = true;
                continue;
            }
            EXPECT_TRUE(w.frame.ToolBar()->rect().contains(button->geometry()));
        }
        const auto* arrow = w.frame.ToolBar()->findChild<QToolButton*>("qt_toolbar_ext_button");
        ASSERT_NE(arrow, nullptr);
        EXPECT_EQ(arrow->isVisible(), behindArrow);
        EXPECT_TRUE(behindArrow);
        const QRect message = w.frame.MessagePane()->geometry();
        const QRect rate = w.frame.FrameRatePane()->geometry();
        const QRect statistics = w.frame.StatisticsPane()->geometry();
        EXPECT_LE(message.left() + w.frame.MessagePane()->sizeHint().width(), rate.left());
        EXPECT_LT(rate.right(), statistics.left());
        EXPECT_LE(statistics.right(), w.frame.statusBar()->width());
        const QRect panel = w.Panel().frameGeometry();
        const QRect frame = w.frame.frameGeometry();
        EXPECT_EQ(panel.topLeft(), w.ExpectedPanelPlace());
        EXPECT_GE(panel.left(), frame.left());
        EXPECT_LE(panel.bottom(), w.frame.statusBar()->mapToGlobal(QPoint(0, 0)).y());
    }
    // A window moved partly off the screen keeps the panel on it.
    w.frame.resize(900, 650);
    w.frame.move(-800, -50);
    QTest::qWait(50);
    const QRect screen = w.frame.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w.Panel().frameGeometry()));
}

// The About box's words are whole in a large font.
TEST(GuiFrame, TheAboutBoxShowsItsWholeTextInALargeFont) {
    Window w;
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSize(28);
    QApplication::setFont(large);
    bool whole = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text() != "Zemvora Creator Version 1.01") continue;
            const QFontMetrics metrics(label->font());
            whole = label->width() >= metrics.horizontalAdvance(label->text()) &&
                    label->height() >= metrics.height() && box->rect().contains(label->geometry());
        }
        box->close();
    });
    w.frame.Action(cmd::kAppAbout)->trigger();
    QApplication::setFont(normal);
    EXPECT_TRUE(whole);
}

// View > Fit whole scene (Ctrl+0, and its toolbar button): a long flat strip and a glTF box that
// open cut off at the window's edges end up whole, background all round the picture's border;
// through a camera the fit moves the camera, one step to undo.
TEST(GuiFrame, FitWholeSceneBringsEveryObjectIntoTheWindow) {
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    testfiles::TempDir dir;
    std::ofstream(dir.File("strip.ply"))
        << "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\n"
           "property float z\nelement face 2\nproperty list uchar int vertex_indices\n"
           "end_header\n0 0 0\n4000 0 0\n4000 300 0\n0 300 0\n3 0 1 2\n3 0 2 3\n";
    for (const std::string& file : {dir.File("strip.ply"), std::string(ZEMVORA_TESTDATA_DIR) +
                                                               "/models/gltf/BoxTextured.gltf"}) {
        SCOPED_TRACE(file);
        Window w;
        w.frame.LoadFromOutside(file);
        ASSERT_FALSE(w.frame.scene().m_objects.empty());
        w.ShowObjectsOnly();
        const RGB8 back = w.frame.scene().m_settings.background;
        const QRgb background = qRgb(back.red, back.green, back.blue);
        const auto borderPixels = [&](const QImage& image) {
            return BorderPixelsUnlike(image, background);
        };
        EXPECT_GT(borderPixels(w.frame.View()->grabFramebuffer()), 0);  // cut off at first
        QTest::keyClick(w.frame.View(), Qt::Key_0, Qt::ControlModifier);
        const QImage fitted = w.frame.View()->grabFramebuffer();
        EXPECT_EQ(borderPixels(fitted), 0);
        int shown = 0;
        for (int y = 0; y < fitted.height(); y += 4)
            for (int x = 0; x < fitted.width(); x += 4)
                shown += fitted.pixel(x, y) != background;
        EXPECT_GT(shown, 200);
        EXPECT_TRUE(w.frame.View()->state().m_bFitted);
    }
    ProcessForeignImportSettings() = ForeignImportSettings();

    // Through the example's camera: the camera moves, and Undo puts it back.
    Window w;
    w.frame.LoadFromOutside(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
    ASSERT_FALSE(w.frame.View()->state().m_bDefaultView);
    const SceneCamera before = w.frame.scene().m_cameras.at(0);
    w.frame.Action(cmd::kFitWholeScene)->trigger();
    EXPECT_NE(w.frame.scene().m_cameras.at(0).posX, before.posX);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, before.lens);
    w.frame.Action(cmd::kUndo)->trigger();
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).posX, before.posX);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).targetZ, before.targetZ);
}

// A click on an object of the example selects it, as its object tree does: the panel's text and
// tree follow; a click on empty space and a drag select nothing.
TEST(GuiFrame, AClickOnAnObjectSelectsIt) {
    Window w;
    w.frame.LoadFromOutside(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
    CZemvoraView* view = w.frame.View();
    const Scene& scene = w.frame.scene();
    ASSERT_EQ(scene.m_settings.currentObject, 0);
    // A pixel that shows another object than the current one.
    QPoint on, empty(-1, -1);
    int target = -1;
    for (int y = 5; y < view->height() && target < 0; y += 7)
        for (int x = 5; x < view->width() && target < 0; x += 7) {
            const int picked =
                PickObject(scene, view->state(), view->width(), view->height(), x, y);
            if (picked > 0) target = picked, on = QPoint(x, y);
            if (picked < 0 && empty.x() < 0) empty = QPoint(x, y);
        }
    ASSERT_GT(target, 0);
    ASSERT_GE(empty.x(), 0);
    // Dragged from there, the scene turns and nothing is selected.
    QTest::mousePress(view, Qt::LeftButton, {}, on);
    QTest::mouseMove(view, on + QPoint(12, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, on + QPoint(12, 0));
    EXPECT_EQ(scene.m_settings.currentObject, 0);
    QTest::mouseClick(view, Qt::LeftButton, {}, empty);
    EXPECT_EQ(scene.m_settings.currentObject, 0);
    // The drag turned the scene: the object is looked for again where it is now.
    for (int y = 5; y < view->height(); y += 7)
        for (int x = 5; x < view->width(); x += 7)
            if (PickObject(scene, view->state(), view->width(), view->height(), x, y) == target)
                on = QPoint(x, y);
    QTest::mouseClick(view, Qt::LeftButton, {}, on);
    EXPECT_EQ(scene.m_settings.currentObject, target);
    EXPECT_EQ(static_cast<QLabel*>(w.Panel().Control(kObjectText))->text().toStdString(),
              "Current object:" + scene.m_objects[static_cast<size_t>(target)].name);
    ASSERT_NE(w.Tree(kObjectTree)->currentItem(), nullptr);
    EXPECT_EQ(w.Tree(kObjectTree)->currentItem()->text(0).toStdString(),
              scene.m_objects[static_cast<size_t>(target)].name);
}
