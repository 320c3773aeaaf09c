// The main window's Edit menu, between File and Help: Undo and Redo of the scene's edits, each
// named after the step it would take back or do again and enabled only when there is one. Their
// keys work in the panel too, a tool window of the main window.
#pragma once

#include <QObject>

#include "history/EditHistory.h"

class QAction;
class QMainWindow;

class CEditMenu final : public QObject {
public:
    CEditMenu(QMainWindow* window, const EditHistory& history);

    QAction* UndoAction() const { return m_undo; }
    QAction* RedoAction() const { return m_redo; }
    // The items' texts and enabled states from the history as it now is.
    void Update();

private:
    const EditHistory& m_history;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};
