// The main window's Edit menu: Undo and Redo of the scene's edits.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "MainFrame.h"
#include "UndoKeys.h"
#include "commands/CommandIds.h"
#include "commands/CommandTexts.h"
#include "history/StepLabels.h"
#include "panel/PanelLayout.h"

void CMainFrame::CreateEditMenu() {
    auto* menu = new QMenu(QStringLiteral("&Edit"), this);
    menu->setObjectName(QStringLiteral("menu-edit"));
    // Between File and Help.
    QAction* before = nullptr;
    const QList<QAction*> menus = menuBar()->actions();
    if (menus.size() >= 2) before = menus[1];
    menuBar()->insertMenu(before, menu);

    for (int id : {cmd::kUndo, cmd::kRedo}) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("menu-%1").arg(id));
        action->setStatusTip(QString::fromStdString(TextOfCommand(id).prompt));
        // The keys work in the panel too: it is a tool window of this one.
        action->setShortcuts(id == cmd::kUndo ? UndoKeys() : RedoKeys());
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        menu->addAction(action);
        addAction(action);
        m_actions[id] = action;
    }

    KeepUndoKeysForText(static_cast<QPlainTextEdit*>(m_dlgParam->Control(panel::kNoteBox)));
    PassUndoKeysThrough(static_cast<QComboBox*>(m_dlgParam->Control(panel::kCameraList)));
    m_view->SetHistory(&m_history);
    m_history.SetChangeHandler([this] { UpdateEditMenu(); });
    UpdateEditMenu();
}

void CMainFrame::UpdateEditMenu() {
    QAction* undo = Action(cmd::kUndo);
    QAction* redo = Action(cmd::kRedo);
    if (!undo || !redo) return;
    undo->setText(QString::fromStdString(UndoItemText(m_history.UndoName())));
    undo->setEnabled(m_history.CanUndo());
    redo->setText(QString::fromStdString(RedoItemText(m_history.RedoName())));
    redo->setEnabled(m_history.CanRedo());
}

void CMainFrame::StepHistory(bool redo) {
    const bool done = redo ? m_history.Redo(*this) : m_history.Undo(*this);
    if (!done) return;
    m_view->ApplyTextFont();  // the label font may be among the restored records
    m_view->RedrawRequest();
    m_dlgParam->ShowRestoredScene();
}
