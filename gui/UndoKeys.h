// The keys of Undo and Redo, and the text boxes that keep them for their own text.
#pragma once

#include <QKeySequence>
#include <QList>

class QComboBox;
class QKeyEvent;
class QPlainTextEdit;

enum class UndoKey { None, Undo, Redo };

// Ctrl+Z and Alt+Backspace.
QList<QKeySequence> UndoKeys();
// Ctrl+Y and Ctrl+Shift+Z.
QList<QKeySequence> RedoKeys();
// Which of the keys a key press is.
UndoKey UndoKeyOf(const QKeyEvent& event);

// While box has the keyboard focus, the undo and redo keys undo and redo its text, on every
// platform alike, and the window's Undo and Redo do not see them.
void KeepUndoKeysForText(QPlainTextEdit* box);
// An editable list whose text is no one's work: the window's Undo and Redo keys pass through it.
void PassUndoKeysThrough(QComboBox* list);
