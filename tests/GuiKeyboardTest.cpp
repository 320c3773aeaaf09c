// Where the keys go in the real window: the view has them from start-up and after a scene is
// opened or imported; the file keys work from the panel, the view's keys only in the view.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <filesystem>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using namespace panel;
using testfiles::TestData;

namespace {

struct Window : GuiWindow {
    const std::string example = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";

    // A key pressed as a user presses it: it goes where the keyboard is.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "no widget has the keyboard";
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    }
    // The user clicks into a control of the panel, the object tree unless said otherwise.
    void FocusPanel(int id = kObjectTree) {
        Panel().activateWindow();
        Get(id)->setFocus(Qt::MouseFocusReason);
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &Panel(); }));
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == Get(id) || Get(id)->isAncestorOf(focus)) << "control " << id;
    }
    bool ViewHasTheKeys() {
        return QTest::qWaitFor([this] {
            return QApplication::activeWindow() == &frame &&
                   QApplication::focusWidget() == frame.View();
        });
    }
};

}  // namespace

TEST(GuiKeyboard, TheViewHasTheKeysRightAfterStartUp) {
    Window w;
    ASSERT_TRUE(w.ViewHasTheKeys());
    w.Press(Qt::Key_W);
    EXPECT_EQ(w.frame.View()->state().m_nDisplayMode, ModeLine);
    EXPECT_TRUE(w.frame.Action(cmd::kLineMode)->isChecked());
    // Showing the panel again leaves the keys where they are.
    w.frame.OnCommand(cmd::kShowPanel);
    w.frame.OnCommand(cmd::kShowPanel);
    QTest::qWait(20);
    EXPECT_TRUE(w.ViewHasTheKeys());
}

TEST(GuiKeyboard, ImportingOrOpeningFromThePanelGivesTheViewTheKeys) {
    Window w;
    const std::string saved = testing::TempDir() + "keyboard-open.zmv";
    w.FocusPanel();
    w.prompts.files.push_back(w.example);
    w.frame.Action(cmd::kImport3ds)->trigger();
    ASSERT_EQ(w.frame.scene().m_objects.size(), 5u);
    EXPECT_TRUE(w.ViewHasTheKeys());
    w.Press(Qt::Key_Tab);  // the view's Tab walks the objects
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 1);

    w.prompts.files.push_back(saved);
    w.frame.Action(cmd::kSaveAs)->trigger();
    w.FocusPanel();
    w.prompts.files.push_back(saved);
    w.Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w.frame.windowTitle().toStdString(), saved);
    EXPECT_TRUE(w.ViewHasTheKeys());

    // A file named from outside, while the note box has the keyboard.
    w.Panel().activateWindow();
    w.ShowTab(kNotesTab);
    w.Get(kNoteBox)->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w.Panel(); }));
    w.frame.LoadFromOutside(TestData("qt3d/basic-cube.3ds"));
    EXPECT_EQ(w.frame.scene().m_objects.size(), 1u);
    EXPECT_TRUE(w.ViewHasTheKeys());
    w.Press(Qt::Key_F);
    EXPECT_EQ(w.frame.View()->state().m_nDisplayMode, ModeFlat);
    EXPECT_TRUE(w.prompts.notices.empty());
    std::filesystem::remove(saved);
}

TEST(GuiKeyboard, FileKeysWorkWhileThePanelHasTheKeys) {
    Window w;
    w.frame.LoadFromOutside(w.example);
    w.FocusPanel();

    // Save of an unnamed scene asks for a name; cancelled, nothing happens.
    w.prompts.files.push_back(std::nullopt);
    w.Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(w.prompts.fileDialogs.size(), 1u);
    EXPECT_TRUE(w.prompts.fileDialogs.back().confirmOverwrite);  // the save dialog

    w.frame.scene().m_bModified = true;
    w.prompts.answers = {false, false};
    w.Press(Qt::Key_O, Qt::ControlModifier);
    w.Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(w.prompts.questions.size(), 2u);
    EXPECT_EQ(w.prompts.questions[0], "Do you want to open a Zemvora file without saving change?");
    EXPECT_EQ(w.prompts.questions[1],
              "Do you want to create a new Zemvora file without saving change?");
    EXPECT_EQ(w.frame.scene().m_objects.size(), 5u);
    // Refused, nothing was replaced: the keys stay in the panel.
    EXPECT_EQ(QApplication::focusWidget(), w.Tree(kObjectTree));

    // From whichever control of the panel has the keyboard.
    for (int tab : {kObjectTab, kMaterialTab, kLightTab, kNotesTab}) {
        w.ShowTab(tab);
        for (const ControlRect& r :
             panel::LayoutTab(tab, w.Panel().width(), w.Panel().height(), w.Panel().Units())) {
            QWidget* control = w.Get(r.id);
            if (control->focusPolicy() == Qt::NoFocus || !control->isEnabled()) continue;
            w.FocusPanel(r.id);
            const size_t dialogs = w.prompts.fileDialogs.size();
            w.prompts.files.push_back(std::nullopt);
            w.Press(Qt::Key_S, Qt::ControlModifier);
            EXPECT_EQ(w.prompts.fileDialogs.size(), dialogs + 1) << "control " << r.id;
            w.prompts.files.clear();
        }
    }

    w.FocusPanel();
    w.prompts.answers = {true};
    w.Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(w.frame.scene().m_objects.empty());
    EXPECT_TRUE(w.ViewHasTheKeys());
    w.frame.scene().m_bModified = false;
}

TEST(GuiKeyboard, TheViewKeysActOnlyInTheView) {
    Window w;
    w.frame.LoadFromOutside(w.example);
    CZemvoraView* view = w.frame.View();
    const float lens = w.frame.scene().m_cameras.at(0).lens;
    w.frame.scene().m_bModified = false;
    w.FocusPanel(kSmoothFlat);  // a control that takes no letters itself
    for (int key : {Qt::Key_W, Qt::Key_V, Qt::Key_C, Qt::Key_G, Qt::Key_P, Qt::Key_Comma,
                    Qt::Key_Period, Qt::Key_Left})
        w.Press(key);
    EXPECT_EQ(view->state().m_nDisplayMode, ModeSmooth);
    EXPECT_EQ(view->state().m_nProjection, ProjPerspective);
    EXPECT_TRUE(view->state().m_bShowGrid);
    EXPECT_FALSE(view->state().m_bPlay);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, lens);
    EXPECT_FALSE(w.frame.scene().m_bModified);
    // Tab moves on through the panel; the current object stays.
    w.Press(Qt::Key_Tab);
    EXPECT_EQ(w.frame.scene().m_settings.currentObject, 0);
    EXPECT_NE(QApplication::focusWidget(), view);

    // Back in the view, they act.
    w.frame.activateWindow();
    view->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(w.ViewHasTheKeys());
    w.Press(Qt::Key_Comma);
    EXPECT_EQ(w.frame.scene().m_cameras.at(0).lens, lens + 0.5f);
}

// Every menu item has its letter and every shortcut works; F6 takes the keyboard between the
// view and the panel; a slider's keys edit it, a key held down being one step; Tab goes through
// each tab in the order on screen; Escape and Ctrl+W close the help window.
TEST(GuiKeyboard, EveryCommandIsWithinReachOfTheKeyboard) {
    Window w;
    w.frame.LoadFromOutside(w.example);
    QStringList keys;
    for (QAction* menu : w.frame.menuBar()->actions()) {
        QString letters;
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator() || !item->isVisible()) continue;
            const qsizetype mark = item->text().indexOf(QLatin1Char('&'));
            ASSERT_GE(mark, 0) << item->text().toStdString();
            const QChar letter = item->text().at(mark + 1).toLower();
            EXPECT_FALSE(letters.contains(letter)) << item->text().toStdString();
            letters += letter;
            for (const QKeySequence& key : item->shortcuts())
                keys << key.toString();
        }
    }
    keys.sort();
    EXPECT_EQ(keys,
              (QStringList{"Alt+Backspace", "Ctrl+0", "Ctrl+D", "Ctrl+E", "Ctrl+H", "Ctrl+J",
                           "Ctrl+K", "Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+E", "Ctrl+Shift+K",
                           "Ctrl+Shift+S", "Ctrl+Shift+Z", "Ctrl+Y", "Ctrl+Z", "F1"}));

    ASSERT_TRUE(w.ViewHasTheKeys());
    int helps = 0;
    w.frame.SetHelpOpener([&helps](const std::string&) { return ++helps > 0; });
    w.Press(Qt::Key_F1);
    EXPECT_EQ(helps, 1);
    // The example is shown through its camera.
    ASSERT_FALSE(w.frame.View()->state().m_bDefaultView);
    w.Press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(w.frame.View()->state().m_bDefaultView);
    EXPECT_TRUE(w.frame.findChild<QAction*>("menu-32778")->isChecked());
    // Textures: the view's state, the menu item's and the button's check marks, no scene change.
    w.frame.scene().m_bModified = 0;
    w.frame.FrameRatePane()->clear();
    w.Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_FALSE(w.frame.View()->state().m_bShowTextures);
    EXPECT_FALSE(w.frame.FrameRatePane()->text().isEmpty());  // a frame was drawn
    EXPECT_FALSE(w.frame.Action(cmd::kShowTextures)->isChecked());
    w.frame.Action(cmd::kShowTextures)->trigger();
    EXPECT_TRUE(w.frame.View()->state().m_bShowTextures);
    EXPECT_TRUE(w.frame.findChild<QAction*>("menu-32817")->isChecked());
    EXPECT_EQ(w.frame.scene().m_bModified, 0);
    w.Press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_FALSE(w.Panel().isVisible());
    w.Press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(w.Panel().isVisible());
    LogFont font = LogFont::DefaultLabelFont();
    font.lfHeight = -40;
    w.prompts.fonts.push_back(font);
    w.frame.scene().m_bModified = false;
    w.Press(Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(w.frame.scene().m_settings.textFont, font);
    EXPECT_TRUE(w.frame.scene().m_bModified);

    // F6 there and back; the menu's keys work in the panel too.
    w.Press(Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return QApplication::activeWindow() == &w.Panel(); }));
    EXPECT_TRUE(w.Panel().isAncestorOf(QApplication::focusWidget()));
    w.Press(Qt::Key_F1);
    EXPECT_EQ(helps, 2);
    w.Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(w.ViewHasTheKeys());

    // Tab from the tabs through each tab's controls; "Apply change" waits for typing.
    const std::vector<std::vector<int>> orders = {
        {kObjectTree, kSmoothFlat, kApplyMaterial, kMaterialTree},
        {kMaterialTree, kSpecularRed, kSpecularGreen, kSpecularBlue, kDiffuseRed, kDiffuseGreen,
         kDiffuseBlue, kAmbientRed, kAmbientGreen, kAmbientBlue, kShininess, kTransparency},
        {kLightTree, kLightOnOff, kLightRed, kLightGreen, kLightBlue, kCameraList, kSetBackground},
        {kObjectTree, kNoteBox, kSetColor, kSetFont}};
    for (int tab = kObjectTab; tab <= kNotesTab; ++tab) {
        w.ShowTab(tab);
        w.FocusPanel(orders[static_cast<size_t>(tab)][0]);
        w.Panel().findChild<QTabBar*>()->setFocus(Qt::TabFocusReason);
        for (int id : orders[static_cast<size_t>(tab)]) {
            w.Press(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            EXPECT_TRUE(focus == w.Get(id) || w.Get(id)->isAncestorOf(focus))
                << "tab " << tab << ", control " << id;
        }
    }

    // A slider's keys: a key held down is one step, each press of another one more.
    w.ShowTab(kMaterialTab);
    w.Select(kMaterialTree, 3);
    QSlider* red = w.Get<QSlider>(kDiffuseRed);
    const int oldRed = w.frame.scene().m_materials.at(3).diffuse.red;
    w.FocusPanel(kDiffuseRed);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(red, &press);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(red, &up);
        QApplication::sendEvent(red, &down);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(red, &release);
    EXPECT_EQ(w.frame.scene().m_materials.at(3).diffuse.red, oldRed - 4);
    w.Press(Qt::Key_PageUp);
    w.Press(Qt::Key_PageUp);
    EXPECT_EQ(w.frame.scene().m_materials.at(3).diffuse.red, oldRed - 4 + 2 * red->pageStep());
    for (int redRed : {oldRed - 4 + red->pageStep(), oldRed - 4, oldRed}) {
        w.frame.Action(cmd::kUndo)->trigger();
        EXPECT_EQ(w.frame.scene().m_materials.at(3).diffuse.red, redRed);
        EXPECT_EQ(red->value(), redRed);
    }

    // The help window closes on Escape and on Ctrl+W.
    w.frame.SetHelpOpener([](const std::string&) { return false; });
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Escape, Qt::KeyboardModifiers(Qt::NoModifier)},
          {Qt::Key_W, Qt::KeyboardModifiers(Qt::ControlModifier)}}) {
        w.frame.OnCommand(cmd::kHelp);
        auto* help = w.frame.findChild<QTextBrowser*>();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([help] { return QApplication::activeWindow() == help; }));
        QTest::keyClick(help, key, modifiers);
        EXPECT_FALSE(help->isVisible());
    }
}

// Ctrl+Tab and Ctrl+PgDown show the panel's next tab, Ctrl+Shift+Tab and Ctrl+PgUp the one
// before, round from the last to the first, whether the view or the panel has the keyboard.
TEST(GuiKeyboard, CtrlTabAndCtrlPageKeysStepThroughThePanelsTabs) {
    Window w;
    w.frame.LoadFromOutside(w.example);
    QTabBar* tabs = w.Panel().findChild<QTabBar*>();
    ASSERT_TRUE(w.ViewHasTheKeys());
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, kMaterialTab},
        {Qt::Key_PageDown, Qt::ControlModifier, kLightTab},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, kMaterialTab},
        {Qt::Key_PageUp, Qt::ControlModifier, kObjectTab},
        {Qt::Key_PageUp, Qt::ControlModifier, kNotesTab},
        {Qt::Key_Tab, Qt::ControlModifier, kObjectTab},
    };
    for (bool inPanel : {false, true}) {
        SCOPED_TRACE(inPanel ? "panel" : "view");
        if (inPanel) w.FocusPanel(kObjectTree);
        tabs->setCurrentIndex(kObjectTab);
        for (const auto& step : steps) {
            w.Press(step.key, step.modifiers);
            EXPECT_EQ(tabs->currentIndex(), step.tab) << step.key;
        }
    }
}
