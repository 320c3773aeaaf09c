// The status bar's progress of a long read in the import child: after half a second, the file's
// name, a progress bar and a Cancel button; Cancel or Esc stops the child, and the scene stays
// as it was. While it shows, the window goes on drawing and taking events, with its menus,
// toolbar, view and panel disabled, so that nothing starts another read meanwhile.
#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <vector>

class CReadProgress : public QWidget {
public:
    // widgets: those disabled while the progress shows; restored: called once they and the
    // window's actions are enabled again, for actions whose state the read may have changed.
    CReadProgress(QWidget* window, std::vector<QWidget*> widgets, std::function<void()> restored);

    // Watches the reads of the import child while it lives: the commands that may import run
    // inside one.
    class Watch {
    public:
        explicit Watch(CReadProgress& progress);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        CReadProgress& m_progress;
    };

    // Whether a read is being shown; stops it.
    bool Reading() const { return m_shown; }
    void Cancel() { m_cancel = true; }

    QLabel* Name() const { return m_name; }
    QProgressBar* Bar() const { return m_bar; }
    QPushButton* CancelButton() const { return m_button; }

private:
    // The child's read of name has come to percent (-1: not said yet); false stops it.
    bool Update(const std::string& name, int percent);
    void Finish();

    QWidget* m_window;  // the status bar becomes this widget's parent
    QLabel* m_name;
    QProgressBar* m_bar;
    QPushButton* m_button;
    QAction* m_escape;
    std::vector<QPointer<QAction>> m_rested;  // the window's actions disabled while it shows
    std::vector<QWidget*> m_widgets;
    std::function<void()> m_restored;
    QElapsedTimer m_clock;
    bool m_started = false;
    bool m_shown = false;
    bool m_cancel = false;
};
