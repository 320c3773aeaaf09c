// The panel as a screen reader reads it: every control has a name, a control that shows words
// is named by those words, and the information texts' names follow what they show.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTabBar>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"

using namespace panel;

namespace {

QString Name(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

QString Description(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Description) : QString();
}

// The words a control shows, or nothing for a control without words of its own.
QString ShownWords(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return QString();
}

struct Window : GuiWindow {
    QLabel* Info(int id) { return Get<QLabel>(id); }
    void ExpectNamedByItsText(int id) {
        QLabel* info = Info(id);
        EXPECT_EQ(Name(info), info->text()) << id;
    }
};

}  // namespace

TEST(GuiAccessibility, EveryShownControlHasANameAndWordsNameTheirControl) {
    Window w;
    w.frame.LoadFromOutside(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
    int checked = 0;
    for (int tab : {kObjectTab, kMaterialTab, kLightTab, kNotesTab}) {
        w.ShowTab(tab);
        for (const ControlRect& r :
             panel::LayoutTab(tab, w.Panel().width(), w.Panel().height(), w.Panel().Units())) {
            QWidget* control = w.Panel().Control(r.id);
            ASSERT_NE(control, nullptr) << r.id;
            EXPECT_TRUE(control->isVisible()) << r.id;
            const QString name = Name(control);
            EXPECT_FALSE(name.isEmpty()) << "control " << r.id << " on tab " << tab;
            const QString words = ShownWords(control);
            if (!words.isEmpty()) {
                EXPECT_EQ(name, words) << "control " << r.id;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);

    // The tabs are named by their captions.
    QTabBar* tabs = w.Panel().findChild<QTabBar*>();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
    ASSERT_NE(bar, nullptr);
    QStringList tabNames;
    for (int i = 0; i < bar->childCount(); ++i) {
        if (bar->child(i)->role() == QAccessible::PageTab)
            tabNames << bar->child(i)->text(QAccessible::Name);
    }
    EXPECT_EQ(tabNames, QStringList({"Object", "Material", "Light", "Notes"}));

    // Captions name the check boxes; what they do is said in their descriptions.
    EXPECT_EQ(Name(w.Get(kSmoothFlat)), "Smooth/Flat");
    EXPECT_EQ(Name(w.Get(kLightOnOff)), "Light On/Off");
    EXPECT_FALSE(Description(w.Get(kSmoothFlat)).isEmpty());
    EXPECT_FALSE(Description(w.Get(kLightOnOff)).isEmpty());
    // The camera list shows the chosen camera and is labelled by the words beside it.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.Get(kCameraList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Value), "Camera01");
    QStringList labels;
    for (const auto& [label, relation] : list->relations(QAccessible::Label))
        labels << label->text(QAccessible::Name);
    EXPECT_EQ(labels, QStringList("Select current camera"));
}

TEST(GuiAccessibility, TheInformationTextsAreNamedByWhatTheyShow) {
    Window w;
    w.frame.LoadFromOutside(std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds");
    EXPECT_EQ(Name(w.Info(kObjectText)), "Current object:Floor");
    EXPECT_EQ(Name(w.Info(kMaterialText)), "Current material:Oak");
    EXPECT_EQ(w.Info(kLightText)->text().left(4), "Sun ");
    for (int id : {kObjectText, kMaterialText, kLightText}) {
        w.ExpectNamedByItsText(id);
        EXPECT_FALSE(Description(w.Info(id)).isEmpty()) << id;
    }

    // The names follow the texts as the selections change.
    w.Select(kObjectTree, 2);
    EXPECT_EQ(Name(w.Info(kObjectText)), "Current object:Vase");
    w.Select(kMaterialTree, 3);
    EXPECT_EQ(Name(w.Info(kMaterialText)), "Current material:Glass");
    w.ShowTab(kLightTab);
    w.Select(kLightTree, 1);
    EXPECT_EQ(w.Info(kLightText)->text().left(5), "Fill ");
    for (int id : {kObjectText, kMaterialText, kLightText})
        w.ExpectNamedByItsText(id);

    // A name is shown and heard as written: no markup, every "&" kept.
    w.frame.scene().m_objects.at(1).name = "<b>Salt</b> & Pepper";
    w.ShowTab(kObjectTab);
    w.Panel().RefreshTrees();
    w.Select(kObjectTree, 1);
    EXPECT_EQ(w.Info(kObjectText)->text(), "Current object:<b>Salt</b> & Pepper");
    EXPECT_EQ(w.Info(kObjectText)->textFormat(), Qt::PlainText);
    w.ExpectNamedByItsText(kObjectText);

    // The status bar's panes are read as they are shown.
    w.frame.ShowSceneStatistics();
    for (QLabel* pane : {w.frame.MessagePane(), w.frame.StatisticsPane()})
        EXPECT_EQ(Name(pane), pane->text());

    // An emptied panel names nothing.
    w.frame.scene().m_bModified = false;
    w.frame.OnCommand(cmd::kNew);
    for (int id : {kObjectText, kMaterialText, kLightText}) {
        EXPECT_TRUE(w.Info(id)->text().isEmpty()) << id;
        w.ExpectNamedByItsText(id);
    }
}
