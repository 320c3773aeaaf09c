// The main window: owns the scene; carries the menu, the toolbar, the status bar with the frame
// rate and the scene statistics, the view, and the parameter panel riding at its top-right
// corner. Routes every command to the flow that handles it.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <optional>

#include "ObjectParamDlg.h"
#include "ZemvoraView.h"
#include "commands/ExportCommand.h"
#include "commands/FrameUpdate.h"
#include "commands/Prompts.h"
#include "commands/SavePictureCommand.h"
#include "history/EditHistory.h"
#include "scene/Scene.h"

class CEditMenu;
class CReadProgress;
class CHelpWindow;
class CRecentFilesMenu;
class QAction;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(Prompts& prompts);
    ~CMainFrame() override;

    void OnCommand(int id);
    std::optional<bool> IsCommandChecked(int id) const;
    // The toolbar's check marks computed from the state.
    void UpdateCommandStates();

    // Recounts the scene and writes "Object:%d Vertex:%d ..." into the statistics pane.
    void ShowSceneStatistics();
    // "Frame/Second:%.3f" into the frame-rate pane.
    void ShowFrameRate(float fps);
    // The view draws the changed scene at once: lights, projection, then one frame.
    void RedrawView();
    // The view takes the scene's changed label font and draws one frame.
    void RebuildTextFont();
    // Keeps the panel 7 pixels in from the right edge and 99 below the top, shown or hidden.
    void PlacePanel();
    // The window's least size: the toolbar, the status panes and the panel's place all kept.
    void UpdateMinimumSize();
    // A file named on the command line or dropped on the window: .3ds as the import, else as Open.
    void LoadFromOutside(const std::string& path);

    // The scene the window shows, edits, opens and saves.
    Scene& scene() { return m_scene; }
    const Scene& scene() const { return m_scene; }

    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return m_wndToolBar; }
    CZemvoraView* View() const { return m_view; }
    CRecentFilesMenu* RecentFilesMenu() const { return m_recentFiles; }
    CObjectParamDlg* Panel() const { return m_dlgParam; }
    QLabel* MessagePane() const { return m_messagePane; }
    QLabel* FrameRatePane() const { return m_frameRatePane; }
    QLabel* StatisticsPane() const { return m_statisticsPane; }
    CReadProgress* ReadProgress() const { return m_readProgress; }
    // Where Help hands its page: the desktop's browser unless a test says otherwise. When the
    // opener reports failure, the page is shown in the program's own help window.
    void SetHelpOpener(std::function<bool(const std::string&)> opener) {
        m_openHelp = std::move(opener);
    }

    bool m_bPanelPlaced = false;
    bool m_bPanelVisible = true;
    bool m_bFirstShown = false;

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The first window made to fit the screen's available area, decoration included.
    void FitFirstWindowToScreen();
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenu();
    void CreateToolBar();
    void CreateStatusBar();
    void OnHelp();
    // The Edit menu between File and Help, its keys, and the history it works.
    void CreateEditMenu();
    // Opens or imports a recent file; one that has gone leaves the list.
    void OnRecentFile(size_t index);
    // Undo or Redo, then the view and the panel show the restored records.
    void StepHistory(bool redo);
    // Shows the scene after an edit of records the view and the panel both show (undo, hide).
    void ShowEditedScene();
    // File > Save picture: the view as shown, written to a picture file the user names.
    void OnSavePicture();

    // Carries out, in order, what a file command hands back; a scene shown anew hands the
    // keyboard to the view.
    void Carry(const FrameUpdate& update);
    void FocusView();
    // F6: the keyboard from the panel to the view, or from the window to the panel when shown.
    void SwitchPane();

    Scene m_scene;
    Prompts& m_prompts;
    ExportMemory m_exportMemory;    // where and in which format the last export went
    PictureMemory m_pictureMemory;  // where the last picture went
    EditHistory m_history;
    CZemvoraView* m_view = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    CObjectParamDlg* m_dlgParam = nullptr;
    CEditMenu* m_editMenu = nullptr;
    CRecentFilesMenu* m_recentFiles = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_frameRatePane = nullptr;
    QLabel* m_statisticsPane = nullptr;
    CReadProgress* m_readProgress = nullptr;
    std::map<int, QAction*> m_actions;
    std::map<int, QAction*> m_menuEntries;  // the menus' items by command id
    QAction* m_switchPane = nullptr;
    std::vector<QAction*> m_tabSteps;  // the panel's next and previous tab
    std::function<bool(const std::string&)> m_openHelp;
    CHelpWindow* m_helpWindow = nullptr;
};
