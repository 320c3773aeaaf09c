#include "UndoKeys.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// Takes the keys for a text box's own undo and redo.
class TextUndoKeys final : public QObject {
public:
    explicit TextUndoKeys(QPlainTextEdit* box) : QObject(box), m_box(box) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_box) return false;
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const UndoKey which = UndoKeyOf(*key);
        if (which == UndoKey::None) return false;
        if (event->type() == QEvent::ShortcutOverride) {
            key->accept();  // the box takes the key: no window shortcut sees it
            return true;
        }
        if (m_box->isReadOnly()) return true;
        if (which == UndoKey::Undo)
            m_box->undo();
        else
            m_box->redo();
        return true;
    }

private:
    QPlainTextEdit* m_box;
};

// Lets the undo and redo keys reach the window's shortcuts instead of a line's own undo.
class PassedUndoKeys final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        // Left unaccepted, the key goes on to the shortcuts.
        return UndoKeyOf(*static_cast<QKeyEvent*>(event)) != UndoKey::None;
    }
};

bool Matches(const QList<QKeySequence>& keys, const QKeySequence& pressed) {
    for (const QKeySequence& key : keys) {
        if (key.matches(pressed) == QKeySequence::ExactMatch) return true;
    }
    return false;
}

}  // namespace

QList<QKeySequence> UndoKeys() {
    return {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)};
}

QList<QKeySequence> RedoKeys() {
    return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
}

UndoKey UndoKeyOf(const QKeyEvent& event) {
    const QKeySequence pressed(
        QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key())));
    if (Matches(UndoKeys(), pressed)) return UndoKey::Undo;
    if (Matches(RedoKeys(), pressed)) return UndoKey::Redo;
    return UndoKey::None;
}

void KeepUndoKeysForText(QPlainTextEdit* box) {
    box->installEventFilter(new TextUndoKeys(box));
}

void PassUndoKeysThrough(QComboBox* list) {
    auto* filter = new PassedUndoKeys(list);
    list->installEventFilter(filter);
    if (QLineEdit* line = list->lineEdit()) line->installEventFilter(filter);
}
