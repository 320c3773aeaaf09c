// Editing through the panel and the view, saving, closing and opening again in a new window:
// every edit is found again. Also what the sliders do with drags and with the keyboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "panel/SliderMapping.h"
#include "tests/GuiWindow.h"
#include "tests/ImageCompare.h"
#include "tests/TestFiles.h"

using namespace panel;

namespace {

struct Window : GuiWindow {
    // A drag of the slider's thumb to position, let go there.
    void Drag(int sliderId, int position) {
        QSlider* slider = Get<QSlider>(sliderId);
        slider->setSliderDown(true);
        slider->setSliderPosition(position);
        slider->setSliderDown(false);
    }
    // A click that leaves the box with the focus, as a user's click does.
    void Click(QWidget* widget) {
        Panel().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Panel()));
        // A tool window counts as active while its owner is; wait until it has the keyboard.
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &Panel(); }));
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(8, widget->height() / 2));
    }
};

const std::string kExample = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";

}  // namespace

TEST(GuiEditing, SliderDragsAndKeysChangeTheModel) {
    Window w;
    w.frame.LoadFromOutside(kExample);
    w.ShowTab(kMaterialTab);
    w.Select(kMaterialTree, 3);  // Glass
    w.frame.scene().m_bModified = false;
    const QImage before = w.frame.View()->grabFramebuffer();
    QSlider* red = w.Get<QSlider>(kDiffuseRed);
    ASSERT_GE(w.frame.scene().m_materials.size(), 4u);
    const int oldRed = w.frame.scene().m_materials[3].diffuse.red;
    ASSERT_EQ(red->value(), oldRed);

    w.Panel().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.Panel()));
    red->setFocus();
    QTest::keyClick(red, Qt::Key_Up);
    QTest::keyClick(red, Qt::Key_PageUp);
    EXPECT_EQ(w.frame.scene().m_materials[3].diffuse.red, oldRed + 1 + red->pageStep());
    EXPECT_EQ(red->value(), oldRed + 1 + red->pageStep());
    EXPECT_TRUE(w.frame.scene().m_bModified);
    EXPECT_GT(MaxChannelDifference(w.frame.View()->grabFramebuffer(), before), 0);

    w.Drag(kDiffuseRed, 250);
    EXPECT_EQ(w.frame.scene().m_materials[3].diffuse.red, 250);
    EXPECT_EQ(red->value(), 250);
    EXPECT_EQ(w.TreeLine(kMaterialTree, 3, 1).substr(0, 13), "Diffuse R:250");
    EXPECT_GT(MaxChannelDifference(w.frame.View()->grabFramebuffer(), before), 0);

    w.Drag(kShininess, 128);
    EXPECT_EQ(w.frame.scene().m_materials[3].shininess, 128 * OneOver255());
    EXPECT_EQ(w.TreeLine(kMaterialTree, 3, 3).substr(0, 14), "Shininess:0.50");
    for (int p : {1, 77, 254}) {  // a light slider let go at p stays at p
        w.ShowTab(kLightTab);
        w.Drag(kLightBlue, p);
        EXPECT_EQ(w.Get<QSlider>(kLightBlue)->value(), p);
    }
}

TEST(GuiEditing, EveryEditSurvivesSaveQuitAndOpen) {
    testfiles::TempDir dir;
    const std::string path = dir.File("edited.zmv");
    {
        Window w;
        w.frame.LoadFromOutside(kExample);
        ScriptedPrompts& p = w.prompts;

        w.ShowTab(kMaterialTab);
        w.Select(kMaterialTree, 3);
        w.Drag(kAmbientGreen, 11);
        w.Drag(kDiffuseBlue, 22);
        w.Drag(kSpecularRed, 33);
        w.Drag(kShininess, 128);
        w.Drag(kTransparency, 51);

        w.ShowTab(kLightTab);
        w.Select(kLightTree, 1);
        w.Drag(kLightGreen, 100);
        p.answers.push_back(true);
        w.Click(w.Get<QCheckBox>(kLightOnOff));
        ASSERT_FALSE(p.questions.empty());
        EXPECT_EQ(p.questions.back(), "Really want to set Light:Fill off?");
        EXPECT_EQ(w.TreeLine(kLightTree, 1, 2), "Off");
        p.colors.push_back(RGB8{40, 50, 60});
        w.Get<QPushButton>(kSetBackground)->click();

        w.ShowTab(kObjectTab);
        w.Select(kObjectTree, 3);  // Ball
        p.answers.push_back(true);
        w.Click(w.Get<QCheckBox>(kSmoothFlat));
        EXPECT_EQ(p.questions.back(), "Really want to set Object:Ball to flat mode?");
        w.Select(kMaterialTree, 1);  // Marble
        p.answers.push_back(true);
        w.Get<QPushButton>(kApplyMaterial)->click();
        EXPECT_EQ(p.questions.back(), "Really want to set Material:Marble to Object:Ball?");

        w.ShowTab(kNotesTab);
        QPlainTextEdit* note = w.Get<QPlainTextEdit>(kNoteBox);
        QPushButton* apply = w.Get<QPushButton>(kApplyNote);
        EXPECT_FALSE(apply->isEnabled());
        note->setPlainText(QStringLiteral("A ball\nof slate"));
        EXPECT_TRUE(apply->isEnabled());
        p.answers.push_back(true);
        apply->click();
        EXPECT_EQ(p.questions.back(), "Really want to apply new content to:Ball");
        EXPECT_FALSE(apply->isEnabled());
        p.colors.push_back(RGB8{10, 20, 30});
        w.Get<QPushButton>(kSetColor)->click();
        LogFont font = LogFont::DefaultLabelFont();
        font.lfFaceName = "DejaVu Serif";
        font.lfHeight = -22;
        font.lfItalic = 1;
        p.fonts.push_back(font);
        w.Get<QPushButton>(kSetFont)->click();

        // The note's handle dragged in the view, the camera's lens moved by keys.
        CZemvoraView* view = w.frame.View();
        ASSERT_GE(w.frame.scene().m_objects.size(), 4u);
        const QPoint handle(w.frame.scene().m_objects[3].noteX + 3,
                            w.frame.scene().m_objects[3].noteY + 3);
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, handle);
        QTest::mouseMove(view, handle + QPoint(30, 20));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, handle + QPoint(30, 20));
        w.frame.activateWindow();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Comma);
        QTest::keyClick(view, Qt::Key_Comma);

        EXPECT_TRUE(w.frame.scene().m_bModified);
        p.files.push_back(path);
        w.frame.Action(cmd::kSaveAs)->trigger();
        EXPECT_FALSE(w.frame.scene().m_bModified);
        EXPECT_EQ(w.frame.windowTitle().toStdString(), path);
        EXPECT_TRUE(w.frame.close());  // saved: no question
        EXPECT_TRUE(p.notices.empty());
    }

    Window again;
    again.frame.LoadFromOutside(path);
    const Scene& s = again.frame.scene();
    const SceneMaterial& glass = s.m_materials.at(3);
    EXPECT_EQ(glass.ambient.green, 11);
    EXPECT_EQ(glass.diffuse.blue, 22);
    EXPECT_EQ(glass.specular.red, 33);
    EXPECT_EQ(glass.shininess, 128 * OneOver255());
    EXPECT_EQ(glass.transparency, 51 * OneOver255());
    const SceneLight& fill = s.m_lights.at(1);
    EXPECT_EQ(fill.color[1], 100 * OneOver255());
    EXPECT_EQ(fill.color24.green, 100);
    EXPECT_EQ(fill.on, 0);
    const SceneObject& ball = s.m_objects.at(3);
    EXPECT_EQ(ball.smooth, 0);
    EXPECT_EQ(ball.materialIndex, 1);
    EXPECT_EQ(ball.materialName, "Marble");
    EXPECT_EQ(ball.note, "A ball\r\nof slate");
    EXPECT_EQ(ball.noteColor, (RGB8{10, 20, 30}));
    EXPECT_EQ(ball.noteX, 30);
    EXPECT_EQ(ball.noteY, 20);
    EXPECT_EQ(s.m_settings.textFont.lfFaceName, "DejaVu Serif");
    EXPECT_EQ(s.m_settings.textFont.lfHeight, -22);
    EXPECT_EQ(s.m_settings.textFont.lfItalic, 1);
    EXPECT_EQ(s.m_settings.background, (RGB8{40, 50, 60}));
    EXPECT_EQ(s.m_cameras.at(0).lens, 46.0f);
    EXPECT_FALSE(s.m_bModified);
    EXPECT_EQ(again.frame.windowTitle().toStdString(), path);
}

TEST(GuiEditing, QuestionsAnsweredNoAndMissingObjects) {
    Window w;
    // With an empty scene the note buttons are disabled; reached all the same, they say there is
    // no object.
    w.ShowTab(kNotesTab);
    w.Get<QPushButton>(kApplyNote)->setEnabled(true);
    w.Get<QPushButton>(kSetColor)->setEnabled(true);
    w.Get<QPushButton>(kApplyNote)->click();
    w.Get<QPushButton>(kSetColor)->click();
    ASSERT_EQ(w.prompts.notices.size(), 2u);
    EXPECT_EQ(w.prompts.notices[0].first, "There is no object to apply new content.");
    EXPECT_EQ(w.prompts.notices[1].first, "There is no object to change note color.");
    EXPECT_FALSE(w.frame.scene().m_bModified);

    w.frame.LoadFromOutside(kExample);
    w.frame.scene().m_bModified = false;
    w.ShowTab(kObjectTab);
    w.Select(kMaterialTree, 2);
    w.prompts.answers.push_back(false);
    w.Get<QPushButton>(kApplyMaterial)->click();
    ASSERT_FALSE(w.frame.scene().m_objects.empty());
    EXPECT_EQ(w.frame.scene().m_objects[0].materialIndex, 0);
    EXPECT_FALSE(w.frame.scene().m_bModified);

    // Smooth again and a light on again: the other two questions; No changes nothing.
    w.Select(kObjectTree, 0);
    w.frame.scene().m_objects[0].smooth = 0;
    w.Get<QCheckBox>(kSmoothFlat)->setChecked(false);
    w.prompts.answers.push_back(false);
    w.Click(w.Get<QCheckBox>(kSmoothFlat));
    ASSERT_FALSE(w.prompts.questions.empty());
    EXPECT_EQ(w.prompts.questions.back(), "Really want to set Object:Floor to smooth mode?");
    EXPECT_EQ(w.frame.scene().m_objects[0].smooth, 0);
    w.ShowTab(kLightTab);
    ASSERT_FALSE(w.frame.scene().m_lights.empty());
    w.frame.scene().m_lights[0].on = 0;
    w.Get<QCheckBox>(kLightOnOff)->setChecked(false);
    w.prompts.answers.push_back(true);
    w.Click(w.Get<QCheckBox>(kLightOnOff));
    EXPECT_EQ(w.prompts.questions.back(), "Really want to set Light:Sun on?");
    EXPECT_EQ(w.frame.scene().m_lights[0].on, 1);
    EXPECT_EQ(w.TreeLine(kLightTree, 0, 2), "On");
    w.frame.scene().m_bModified = false;

    // The camera list sets the current camera without marking the scene.
    QComboBox* cameras = w.Get<QComboBox>(kCameraList);
    EXPECT_EQ(cameras->count(), 1);
    cameras->setCurrentIndex(0);
    EXPECT_EQ(w.frame.scene().m_settings.currentCamera, 0);
    EXPECT_FALSE(w.frame.scene().m_bModified);

    // Neither Escape nor Enter closes the panel.
    w.Panel().activateWindow();
    QTest::keyClick(&w.Panel(), Qt::Key_Escape);
    QTest::keyClick(&w.Panel(), Qt::Key_Return);
    EXPECT_TRUE(w.Panel().isVisible());
}

// Sliders, buttons and check boxes without their record are disabled and show nothing; a
// selection brings them back.
TEST(GuiEditing, ControlsWithoutTheirRecordAreDisabledAndEmpty) {
    Window w;
    w.frame.LoadFromOutside(kExample);
    w.ShowTab(kMaterialTab);
    w.Select(kMaterialTree, 3);
    w.prompts.answers.push_back(true);
    w.frame.OnCommand(cmd::kNew);
    const int withRecords[] = {kShininess,  kDiffuseRed,    kLightBlue, kSmoothFlat,
                               kLightOnOff, kApplyMaterial, kSetColor,  kApplyNote};
    for (int id : withRecords) {
        EXPECT_FALSE(w.Get(id)->isEnabled()) << id;
        if (auto* slider = qobject_cast<QSlider*>(w.Get(id))) {
            EXPECT_EQ(slider->value(), 0) << id;
        }
        if (auto* box = qobject_cast<QCheckBox*>(w.Get(id))) {
            EXPECT_FALSE(box->isChecked()) << id;
        }
    }
    for (int id : {kSetFont, kSetBackground})
        EXPECT_TRUE(w.Get(id)->isEnabled()) << id;

    w.frame.LoadFromOutside(kExample);
    w.ShowTab(kMaterialTab);
    w.Select(kMaterialTree, 3);
    for (int id : withRecords)
        EXPECT_EQ(w.Get(id)->isEnabled(), id != kApplyNote) << id;
    EXPECT_EQ(w.Get<QSlider>(kDiffuseRed)->value(), w.frame.scene().m_materials.at(3).diffuse.red);
}
