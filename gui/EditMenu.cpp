#include "EditMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "UndoKeys.h"
#include "commands/CommandIds.h"
#include "commands/CommandTexts.h"
#include "history/StepLabels.h"

CEditMenu::CEditMenu(QMainWindow* window, const EditHistory& history)
    : QObject(window), m_history(history) {
    auto* menu = new QMenu(QStringLiteral("&Edit"), window);
    menu->setObjectName(QStringLiteral("menu-edit"));
    QAction* before = nullptr;
    const QList<QAction*> menus = window->menuBar()->actions();
    if (menus.size() >= 2) before = menus[1];
    window->menuBar()->insertMenu(before, menu);

    for (int id : {cmd::kUndo, cmd::kRedo}) {
        auto* action = new QAction(window);
        action->setObjectName(QStringLiteral("menu-%1").arg(id));
        action->setStatusTip(QString::fromStdString(TextOfCommand(id).prompt));
        action->setShortcuts(id == cmd::kUndo ? UndoKeys() : RedoKeys());
        menu->addAction(action);
        window->addAction(action);
        (id == cmd::kUndo ? m_undo : m_redo) = action;
    }
    Update();
}

void CEditMenu::Update() {
    m_undo->setText(QString::fromStdString(UndoItemText(m_history.UndoName())));
    m_undo->setEnabled(m_history.CanUndo());
    m_redo->setText(QString::fromStdString(RedoItemText(m_history.RedoName())));
    m_redo->setEnabled(m_history.CanRedo());
}
