// The main window shown under Xvfb with scripted prompts, and handles on its panel's controls.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "MainFrame.h"
#include "commands/CommandIds.h"
#include "tests/ScriptedPrompts.h"

struct GuiWindow {
    ScriptedPrompts prompts;
    CMainFrame frame{prompts};

    GuiWindow() {
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        QTest::qWait(20);
    }
    CObjectParamDlg& Panel() { return *frame.Panel(); }
    // Turns the grid, box, light markers and label off: the picture shows the objects alone.
    void ShowObjectsOnly() {
        for (int id : {cmd::kShowGrid, cmd::kShowBox, cmd::kShowLight, cmd::kShowText})
            if (frame.Action(id)->isChecked()) frame.Action(id)->trigger();
    }
    template <class Widget = QWidget>
    Widget* Get(int id) {
        return static_cast<Widget*>(Panel().Control(id));
    }
    QTreeWidget* Tree(int id) { return Get<QTreeWidget>(id); }
    void ShowTab(int tab) { Panel().findChild<QTabBar*>()->setCurrentIndex(tab); }
    void Select(int treeId, int item) {
        Tree(treeId)->setCurrentItem(Tree(treeId)->topLevelItem(item));
    }
    std::string TreeLine(int treeId, int item, int line) {
        QTreeWidgetItem* owner = Tree(treeId)->topLevelItem(item);
        QTreeWidgetItem* child = owner ? owner->child(line) : nullptr;
        if (!child) {
            ADD_FAILURE() << "tree " << treeId << " has no line " << line << " under item " << item;
            return "";
        }
        return child->text(0).toStdString();
    }
};
