// Undo and redo in the real window: the Edit menu, the keys pressed for real, a slider dragged
// with the mouse, every edit of the panel and the view taken back to the exact scene file bytes,
// the panel showing what was restored, and the note box keeping its own undo.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolBar>

#include "MainFrame.h"
#include "UndoKeys.h"
#include "commands/CommandIds.h"
#include "panel/SliderMapping.h"
#include "scene/SceneFile.h"
#include "tests/GuiWindow.h"
#include "tests/TestFiles.h"

using namespace panel;

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kExample = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";

Bytes ZmvBytes(const Scene& scene) {
    Bytes bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return bytes;
}

struct Window : GuiWindow {
    Window() { frame.LoadFromOutside(kExample); }

    QAction* Undo() { return frame.Action(cmd::kUndo); }
    QAction* Redo() { return frame.Action(cmd::kRedo); }
    std::string UndoText() { return Undo()->text().remove(QLatin1Char('&')).toStdString(); }
    std::string RedoText() { return Redo()->text().remove(QLatin1Char('&')).toStdString(); }

    void ActivatePanel() {
        Panel().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Panel()));
        // A tool window counts as active while its owner is; wait until it has the keyboard.
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &Panel(); }));
    }
    void ActivateView() {
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        frame.View()->setFocus();
    }
    // The thumb taken with the mouse and moved by dy pixels before it is let go.
    void MouseDrag(int sliderId, int dy) {
        auto* slider = Get<QSlider>(sliderId);
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        // A vertical slider has its minimum at the bottom.
        option.upsideDown = slider->orientation() == Qt::Vertical && !slider->invertedAppearance();
        option.subControls = QStyle::SC_SliderHandle;
        const QPoint thumb =
            slider->style()
                ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
                .center();
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, thumb);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(slider, thumb + QPoint(0, dy * step / 4));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, dy));
    }
    // A click that leaves the box with the focus, as a user's click does.
    void Click(QWidget* widget) {
        ActivatePanel();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(8, widget->height() / 2));
    }
    void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(widget, key, modifiers);
    }
    // A key held down: its press, auto-repeats with their releases, the last release.
    void HoldKey(QWidget* widget, Qt::Key key, int repeats) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        for (int i = 0; i < repeats; ++i) {
            QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(widget, &up);
            QApplication::sendEvent(widget, &down);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
    }
};

struct GuiEdit {
    std::string name;
    std::function<void(Window&)> edit;
    // What the user selects first: selecting is no edit and stays when the edit is undone.
    std::function<void(Window&)> select = [](Window&) {};
};

std::vector<GuiEdit> EveryGuiEdit() {
    std::vector<GuiEdit> edits;
    edits.push_back({"Diffuse red", [](Window& w) {
                         w.ShowTab(kMaterialTab);
                         w.Select(kMaterialTree, 3);
                         w.MouseDrag(kDiffuseRed, -40);
                     }});
    edits.push_back({"Light green", [](Window& w) {
                         w.ShowTab(kLightTab);
                         w.Select(kLightTree, 1);
                         w.MouseDrag(kLightGreen, -30);
                     }});
    edits.push_back({"Light On/Off", [](Window& w) {
                         w.ShowTab(kLightTab);
                         w.Select(kLightTree, 1);
                         w.prompts.answers.push_back(true);
                         w.Click(w.Get<QCheckBox>(kLightOnOff));
                     }});
    const auto selectBall = [](Window& w) {
        w.ShowTab(kObjectTab);
        w.Select(kObjectTree, 3);
        w.Select(kMaterialTree, 1);
    };
    edits.push_back({"Smooth/Flat",
                     [](Window& w) {
                         w.prompts.answers.push_back(true);
                         w.Click(w.Get<QCheckBox>(kSmoothFlat));
                     },
                     selectBall});
    edits.push_back({"Apply material",
                     [](Window& w) {
                         w.prompts.answers.push_back(true);
                         w.Get<QPushButton>(kApplyMaterial)->click();
                     },
                     selectBall});
    edits.push_back({"Current camera", [](Window& w) {
                         w.ShowTab(kLightTab);
                         w.Get<QComboBox>(kCameraList)->setCurrentIndex(1);
                     }});
    edits.push_back({"Note text", [](Window& w) {
                         w.ShowTab(kNotesTab);
                         w.Get<QPlainTextEdit>(kNoteBox)->setPlainText(
                             QStringLiteral("Two\nlines"));
                         w.prompts.answers.push_back(true);
                         w.Get<QPushButton>(kApplyNote)->click();
                     }});
    edits.push_back({"Note color", [](Window& w) {
                         w.ShowTab(kNotesTab);
                         w.prompts.colors.push_back(RGB8{10, 20, 30});
                         w.Get<QPushButton>(kSetColor)->click();
                     }});
    edits.push_back({"Label font", [](Window& w) {
                         LogFont font = LogFont::DefaultLabelFont();
                         font.lfFaceName = "DejaVu Serif";
                         w.prompts.fonts.push_back(font);
                         w.ShowTab(kNotesTab);
                         w.Get<QPushButton>(kSetFont)->click();
                     }});
    edits.push_back({"Label font", [](Window& w) {
                         LogFont font = LogFont::DefaultLabelFont();
                         font.lfHeight = -30;
                         w.prompts.fonts.push_back(font);
                         w.frame.Action(cmd::kSetTextFont)->trigger();
                     }});
    edits.push_back({"Background color", [](Window& w) {
                         w.ShowTab(kLightTab);
                         w.prompts.colors.push_back(RGB8{40, 50, 60});
                         w.Get<QPushButton>(kSetBackground)->click();
                     }});
    edits.push_back({"Note position", [](Window& w) {
                         CZemvoraView* view = w.frame.View();
                         const SceneObject* o = w.frame.scene().CurrentObject();
                         ASSERT_NE(o, nullptr);
                         const QPoint handle(o->noteX + 3, o->noteY + 3);
                         QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, handle);
                         QTest::mouseMove(view, handle + QPoint(15, 10));
                         QTest::mouseMove(view, handle + QPoint(30, 20));
                         QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier,
                                             handle + QPoint(30, 20));
                     }});
    edits.push_back({"Camera lens", [](Window& w) {
                         w.ActivateView();
                         w.HoldKey(w.frame.View(), Qt::Key_Comma, 5);
                     }});
    edits.push_back({"Camera position", [](Window& w) {
                         w.ActivateView();
                         w.HoldKey(w.frame.View(), Qt::Key_Up, 3);
                     }});
    edits.push_back({"Camera lens", [](Window& w) {
                         CZemvoraView* view = w.frame.View();
                         const QPoint p(200, 200);
                         QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, p);
                         QTest::mouseMove(view, p + QPoint(20, 0));
                         QTest::mouseMove(view, p + QPoint(35, 0));
                         QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier,
                                             p + QPoint(35, 0));
                     }});
    return edits;
}

}  // namespace

TEST(GuiUndo, EveryEditIsUndoneAndRedoneToTheExactBytes) {
    for (const GuiEdit& edit : EveryGuiEdit()) {
        SCOPED_TRACE(edit.name);
        Window w;
        // A second camera, so that the camera list has a choice.
        SceneCamera side = w.frame.scene().m_cameras.at(0);
        side.name = "Side";
        side.posX += 50;
        w.frame.scene().m_cameras.push_back(side);
        w.Panel().RefreshTrees();
        edit.select(w);
        const Bytes before = ZmvBytes(w.frame.scene());
        edit.edit(w);
        const Bytes after = ZmvBytes(w.frame.scene());
        ASSERT_NE(after, before);
        EXPECT_TRUE(w.Undo()->isEnabled());
        EXPECT_FALSE(w.Redo()->isEnabled());
        EXPECT_EQ(w.UndoText(), "Undo " + edit.name);

        w.frame.scene().m_bModified = false;
        w.Undo()->trigger();
        EXPECT_EQ(ZmvBytes(w.frame.scene()), before);
        EXPECT_TRUE(w.frame.scene().m_bModified);
        EXPECT_FALSE(w.Undo()->isEnabled());
        EXPECT_EQ(w.UndoText(), "Undo");
        EXPECT_EQ(w.RedoText(), "Redo " + edit.name);

        w.Redo()->trigger();
        EXPECT_EQ(ZmvBytes(w.frame.scene()), after);
        EXPECT_FALSE(w.Redo()->isEnabled());
        EXPECT_TRUE(w.prompts.notices.empty());
    }
}

TEST(GuiUndo, EditMenuBetweenFileAndHelpWithTheKeys) {
    GuiWindow w;
    QStringList titles;
    for (QAction* menu : w.frame.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    QAction* undo = w.frame.Action(cmd::kUndo);
    QAction* redo = w.frame.Action(cmd::kRedo);
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->text(), "&Undo");
    EXPECT_EQ(redo->text(), "&Redo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    EXPECT_EQ(redo->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    EXPECT_EQ(undo->statusTip(), "Undo the last action");
    // The toolbar is as it was.
    for (QAction* button : w.frame.ToolBar()->actions())
        EXPECT_TRUE(button != undo && button != redo);
}

TEST(GuiUndo, RealKeysTakeBackASliderDragAndThePanelFollows) {
    Window w;
    w.ShowTab(kMaterialTab);
    w.Select(kMaterialTree, 3);  // Glass
    QSlider* red = w.Get<QSlider>(kDiffuseRed);
    const int oldRed = w.frame.scene().m_materials.at(3).diffuse.red;
    const std::string oldLine = w.TreeLine(kMaterialTree, 3, 1);
    const Bytes before = ZmvBytes(w.frame.scene());
    const QImage oldPicture = w.frame.View()->grabFramebuffer();

    w.ActivatePanel();
    w.MouseDrag(kDiffuseRed, -60);
    const int newRed = w.frame.scene().m_materials.at(3).diffuse.red;
    ASSERT_NE(newRed, oldRed);
    EXPECT_EQ(red->value(), newRed);
    const std::string newLine = w.TreeLine(kMaterialTree, 3, 1);
    EXPECT_NE(newLine, oldLine);
    const Bytes after = ZmvBytes(w.frame.scene());
    const QImage newPicture = w.frame.View()->grabFramebuffer();
    EXPECT_EQ(w.UndoText(), "Undo Diffuse red");

    // The keys pressed where the slider left the focus, in the panel's window.
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    w.Key(focus, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), before);
    EXPECT_EQ(red->value(), oldRed);
    EXPECT_EQ(w.TreeLine(kMaterialTree, 3, 1), oldLine);
    EXPECT_EQ(w.frame.View()->grabFramebuffer(), oldPicture);
    w.Key(focus, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), after);
    EXPECT_EQ(red->value(), newRed);
    EXPECT_EQ(w.TreeLine(kMaterialTree, 3, 1), newLine);
    EXPECT_EQ(w.frame.View()->grabFramebuffer(), newPicture);

    // The other two keys, pressed in the main window.
    w.ActivateView();
    w.Key(w.frame.View(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), before);
    w.Key(w.frame.View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), after);
    // Nothing more to redo: the key changes nothing.
    w.Key(w.frame.View(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), after);

    // The camera list's own line does not take the keys.
    w.ShowTab(kLightTab);
    w.ActivatePanel();
    QComboBox* cameras = w.Get<QComboBox>(kCameraList);
    cameras->setFocus();
    w.Key(cameras, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ZmvBytes(w.frame.scene()), before);
}

TEST(GuiUndo, ThePanelShowsTheRestoredCheckBoxesTextsAndCamera) {
    Window w;
    SceneCamera side = w.frame.scene().m_cameras.at(0);
    side.name = "Side";
    w.frame.scene().m_cameras.push_back(side);
    w.Panel().RefreshTrees();

    w.ShowTab(kLightTab);
    w.Select(kLightTree, 0);
    w.prompts.answers.push_back(true);
    w.Click(w.Get<QCheckBox>(kLightOnOff));
    EXPECT_EQ(w.TreeLine(kLightTree, 0, 2), "Off");
    QComboBox* cameras = w.Get<QComboBox>(kCameraList);
    cameras->setCurrentIndex(1);
    w.ShowTab(kObjectTab);
    w.Select(kObjectTree, 2);
    w.prompts.answers.push_back(true);
    w.Click(w.Get<QCheckBox>(kSmoothFlat));
    w.ShowTab(kNotesTab);
    QPlainTextEdit* note = w.Get<QPlainTextEdit>(kNoteBox);
    const QString oldNote = note->toPlainText();
    note->setPlainText(QStringLiteral("Changed"));
    w.prompts.answers.push_back(true);
    w.Get<QPushButton>(kApplyNote)->click();

    for (int i = 0; i < 3; ++i)
        w.Undo()->trigger();
    EXPECT_EQ(note->toPlainText(), oldNote);
    EXPECT_TRUE(w.Get<QCheckBox>(kSmoothFlat)->isChecked());
    EXPECT_EQ(cameras->currentIndex(), 0);
    EXPECT_EQ(w.frame.scene().m_settings.currentCamera, 0);
    w.Undo()->trigger();
    EXPECT_EQ(w.TreeLine(kLightTree, 0, 2), "On");
    EXPECT_TRUE(w.Get<QCheckBox>(kLightOnOff)->isChecked());

    // Typing not yet applied stays in the box through an undo or a redo.
    note->setPlainText(QStringLiteral("typed, not applied"));
    w.Redo()->trigger();
    EXPECT_EQ(note->toPlainText(), "typed, not applied");
    EXPECT_TRUE(w.Get<QPushButton>(kApplyNote)->isEnabled());
    EXPECT_EQ(w.frame.scene().m_lights.at(0).on, 0);
    EXPECT_EQ(w.TreeLine(kLightTree, 0, 2), "Off");
}

TEST(GuiUndo, TheNoteBoxKeepsItsOwnUndoWhileItHasTheFocus) {
    Window w;
    w.prompts.colors.push_back(RGB8{1, 2, 3});
    w.Get<QPushButton>(kSetBackground)->click();
    ASSERT_TRUE(w.Undo()->isEnabled());
    const Bytes edited = ZmvBytes(w.frame.scene());

    w.ShowTab(kNotesTab);
    w.ActivatePanel();
    QPlainTextEdit* note = w.Get<QPlainTextEdit>(kNoteBox);
    note->setFocus();
    note->moveCursor(QTextCursor::End);
    const QString start = note->toPlainText();
    QTest::keyClicks(note, QStringLiteral("xyz"));
    ASSERT_EQ(note->toPlainText(), start + "xyz");
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Z, Qt::KeyboardModifiers(Qt::ControlModifier)},
          {Qt::Key_Backspace, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
        w.Key(note, key, modifiers);
        EXPECT_EQ(note->toPlainText(), start);
        EXPECT_EQ(ZmvBytes(w.frame.scene()), edited);  // the scene's step stays
        note->redo();
        ASSERT_EQ(note->toPlainText(), start + "xyz");
    }
    w.Key(note, Qt::Key_Z, Qt::ControlModifier);
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Y, Qt::KeyboardModifiers(Qt::ControlModifier)},
          {Qt::Key_Z, Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}}) {
        w.Key(note, key, modifiers);
        EXPECT_EQ(note->toPlainText(), start + "xyz");
        note->undo();
    }
    EXPECT_TRUE(w.Undo()->isEnabled());
    EXPECT_FALSE(w.Redo()->isEnabled());
    EXPECT_EQ(w.frame.scene().m_settings.background, (RGB8{1, 2, 3}));
}

TEST(GuiUndo, NewAndImportForgetTheHistoryAndSavingKeepsIt) {
    testfiles::TempDir dir;
    Window w;
    w.prompts.colors.push_back(RGB8{1, 2, 3});
    w.Get<QPushButton>(kSetBackground)->click();
    w.prompts.files.push_back(dir.File("kept.zmv"));
    w.frame.Action(cmd::kSaveAs)->trigger();
    EXPECT_FALSE(w.frame.scene().m_bModified);
    EXPECT_TRUE(w.Undo()->isEnabled());
    EXPECT_EQ(w.UndoText(), "Undo Background color");
    w.Undo()->trigger();
    EXPECT_TRUE(w.frame.scene().m_bModified);

    w.prompts.answers.push_back(true);
    w.frame.OnCommand(cmd::kNew);
    EXPECT_FALSE(w.Undo()->isEnabled());
    EXPECT_FALSE(w.Redo()->isEnabled());
    EXPECT_EQ(w.UndoText(), "Undo");

    w.prompts.colors.push_back(RGB8{1, 2, 3});
    w.Get<QPushButton>(kSetBackground)->click();
    EXPECT_TRUE(w.Undo()->isEnabled());
    w.prompts.answers.push_back(true);
    w.prompts.files.push_back(kExample);
    w.frame.Action(cmd::kImport3ds)->trigger();
    EXPECT_FALSE(w.Undo()->isEnabled());
    EXPECT_TRUE(w.frame.scene().m_bModified);
}

// After an undo or a redo given from the main window, the next click on a box asks at once; No
// keeps the box as the click left it.
TEST(GuiUndo, TheNextClickOnABoxAsksAtOnceAfterAnUndoOrARedo) {
    Window w;
    const auto clickFromTheMainWindow = [&w](int box) {
        w.frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&w] { return QApplication::activeWindow() == &w.frame; }));
        QCheckBox* check = w.Get<QCheckBox>(box);
        QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    };
    w.ShowTab(kLightTab);
    w.Select(kLightTree, 0);
    w.prompts.answers.push_back(true);
    w.Click(w.Get<QCheckBox>(kLightOnOff));
    ASSERT_EQ(w.frame.scene().m_lights.at(0).on, 0);
    w.ActivateView();
    w.Undo()->trigger();
    EXPECT_TRUE(w.Get<QCheckBox>(kLightOnOff)->isChecked());
    w.prompts.answers.push_back(true);
    clickFromTheMainWindow(kLightOnOff);
    ASSERT_EQ(w.prompts.questions.size(), 2u);
    EXPECT_EQ(w.prompts.questions.back(), "Really want to set Light:Sun off?");
    EXPECT_EQ(w.frame.scene().m_lights.at(0).on, 0);

    w.ShowTab(kObjectTab);
    w.Select(kObjectTree, 2);
    const int32_t smooth = w.frame.scene().m_objects.at(2).smooth;
    w.prompts.answers.push_back(true);
    w.Click(w.Get<QCheckBox>(kSmoothFlat));
    w.ActivateView();
    w.Undo()->trigger();
    w.Redo()->trigger();
    EXPECT_EQ(w.Get<QCheckBox>(kSmoothFlat)->isChecked(), smooth == 0);
    w.prompts.answers.push_back(false);
    clickFromTheMainWindow(kSmoothFlat);
    EXPECT_EQ(w.prompts.questions.size(), 4u);
    EXPECT_EQ(w.Get<QCheckBox>(kSmoothFlat)->isChecked(), smooth != 0);
    EXPECT_EQ(w.frame.scene().m_objects.at(2).smooth, smooth == 0 ? 1 : 0);
}
