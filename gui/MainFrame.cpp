#include "MainFrame.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "AboutDlg.h"
#include "CommandIcons.h"
#include "EditMenu.h"
#include "HelpWindow.h"
#include "QtPrompts.h"
#include "ReadProgress.h"
#include "RecentFilesMenu.h"
#include "StatusPaneWidth.h"
#include "UndoKeys.h"
#include "commands/CommandIds.h"
#include "commands/CommandTexts.h"
#include "commands/DocumentCommands.h"
#include "commands/ImportCommand.h"
#include "commands/OutsideFile.h"
#include "commands/RecentFiles.h"
#include "commands/SavePictureCommand.h"
#include "history/SceneViewEdits.h"
#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "scene/SceneMessages.h"

namespace {

// Commands whose buttons carry a check mark.
bool IsCheckable(int id) {
    switch (id) {
        case cmd::kUpAxisPlusZ:
        case cmd::kUpAxisPlusY:
        case cmd::kUpAxisMinusY:
        case cmd::kUpAxisPlusX:
        case cmd::kUpAxisMinusX:
        case cmd::kPlay:
        case cmd::kVertexMode:
        case cmd::kLineMode:
        case cmd::kFlatMode:
        case cmd::kSmoothMode:
        case cmd::kShowGrid:
        case cmd::kSimplifyWhileMoving:
        case cmd::kShowLight:
        case cmd::kShowBox:
        case cmd::kShowTextures:
        case cmd::kDefaultViewPoint:
        case cmd::kTopView:
        case cmd::kCameraView:
        case cmd::kShowText:
        case cmd::kShowPanel:
        case cmd::kShowHidePanel:
            return true;
        default:
            return false;
    }
}

bool OpenInBrowser(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace

CMainFrame::CMainFrame(Prompts& prompts) : m_prompts(prompts), m_openHelp(OpenInBrowser) {
    setWindowTitle(QStringLiteral("Untitled - Zemvora"));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    m_view = new CZemvoraView(m_scene, prompts, this);
    setCentralWidget(m_view);
    m_view->SetFrameRateHandler([this](float fps) { ShowFrameRate(fps); });
    connect(m_view, &CZemvoraView::CommandStateChanged, this, &CMainFrame::UpdateCommandStates);

    CreateActions();
    CreateMenu();
    CreateToolBar();
    CreateStatusBar();
    m_dlgParam = new CObjectParamDlg(m_scene, prompts, m_history, this);
    connect(m_dlgParam, &CObjectParamDlg::SceneChanged, this, &CMainFrame::RedrawView);
    // A click on an object in the view chooses it as the panel's object tree does.
    connect(m_view, &CZemvoraView::ObjectClicked, m_dlgParam, &CObjectParamDlg::SelectObject);
    // The panel's close button hides it as View > Set Object Dialog does.
    connect(m_dlgParam, &CObjectParamDlg::CloseAsked, this, [this] {
        if (m_bPanelVisible) OnCommand(cmd::kShowHidePanel);
    });
    connect(m_dlgParam, &CObjectParamDlg::TextFontChanged, this, &CMainFrame::RebuildTextFont);
    // The menu's keys (Ctrl+N, F1, ...) and F6 work while the panel has the keyboard too; the
    // view's keys do not. The panel carries them itself rather than hang on how the toolkit
    // treats the keys of a tool window's owner.
    for (const auto& [id, entry] : m_menuEntries)
        if (!entry->shortcut().isEmpty()) m_dlgParam->addAction(entry);
    m_dlgParam->addAction(m_switchPane);
    for (QAction* step : m_tabSteps)
        m_dlgParam->addAction(step);
    // A long read's progress, beside the message pane while it shows.
    m_readProgress = new CReadProgress(this, {menuBar(), m_wndToolBar, m_view, m_dlgParam},
                                       [this] { m_editMenu->Update(); });
    statusBar()->addWidget(m_readProgress);
    CreateEditMenu();
    m_recentFiles = new CRecentFilesMenu(this, [this](size_t index) { OnRecentFile(index); });
    m_scene.m_strFilePath = "";
    m_bPanelPlaced = true;
    UpdateMinimumSize();
    PlacePanel();
    UpdateCommandStates();
    resize(1024, 768);
}

// The panel and the view go first, while the scene they show is still there.
CMainFrame::~CMainFrame() {
    delete m_dlgParam;
    delete m_view;
    m_scene.ReleaseScene();
}

void CMainFrame::CreateActions() {
    std::vector<int> ids = ToolbarLayout();
    for (const Menu& menu : MainMenu())
        for (const MenuItem& item : menu.items)
            ids.push_back(item.id);
    ids.push_back(cmd::kShowHidePanel);  // no button or menu item of its own
    for (int id : ids) {
        if (id == 0 || m_actions.count(id)) continue;
        const CommandText text = TextOfCommand(id);
        auto* action = new QAction(CommandIcon(id), QString::fromStdString(text.toolTip), this);
        action->setStatusTip(QString::fromStdString(text.prompt));
        action->setToolTip(QString::fromStdString(text.toolTip));
        action->setCheckable(IsCheckable(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
    }
    addAction(m_actions[cmd::kShowHidePanel]);
    // F6 and Shift+F6 take the keyboard between the view and the panel, in either window.
    m_switchPane = new QAction(QStringLiteral("Next pane"), this);
    m_switchPane->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    connect(m_switchPane, &QAction::triggered, this, &CMainFrame::SwitchPane);
    addAction(m_switchPane);
    // Ctrl+Tab and Ctrl+PgDown show the panel's next tab, Ctrl+Shift+Tab and Ctrl+PgUp the one
    // before, from the view or the panel.
    const std::pair<int, QList<QKeySequence>> tabKeys[] = {
        {1, {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}},
        {-1,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)}},
    };
    for (const auto& [by, keys] : tabKeys) {
        auto* step =
            new QAction(by > 0 ? QStringLiteral("Next tab") : QStringLiteral("Previous tab"), this);
        step->setShortcuts(keys);
        connect(step, &QAction::triggered, this, [this, by = by] { m_dlgParam->StepTab(by); });
        addAction(step);
        m_tabSteps.push_back(step);
    }
}

void CMainFrame::CreateMenu() {
    for (const Menu& menu : MainMenu()) {
        QMenu* top = menuBar()->addMenu(QString::fromStdString(menu.title));
        QMenu* sub = nullptr;
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                top->addSeparator();
                continue;
            }
            if (item.submenu.empty())
                sub = nullptr;
            else if (!sub || sub->title() != QString::fromStdString(item.submenu))
                sub = top->addMenu(QString::fromStdString(item.submenu));
            QMenu* shown = sub ? sub : top;
            // The menu names the item itself; the key written after the tab is its shortcut,
            // shown beside it. The item works the command of the same id.
            QAction* action = m_actions[item.id];
            const QString text = QString::fromStdString(item.text);
            auto* entry = new QAction(text.section(QLatin1Char('\t'), 0, 0).trimmed(), this);
            entry->setShortcut(QKeySequence(QString::fromStdString(MenuItemKey(item.text))));
            entry->setStatusTip(action->statusTip());
            entry->setCheckable(action->isCheckable());
            // Triggered from the menu, the item leaves its check mark to the command.
            connect(entry, &QAction::triggered, this, [this, id = item.id] { OnCommand(id); });
            entry->setObjectName(QStringLiteral("menu-%1").arg(item.id));
            shown->addAction(entry);
            m_menuEntries[item.id] = entry;
        }
    }
}

void CMainFrame::CreateToolBar() {
    m_wndToolBar = addToolBar(QStringLiteral("Toolbar"));
    m_wndToolBar->setObjectName(QStringLiteral("toolbar-132"));
    m_wndToolBar->setMovable(false);
    m_wndToolBar->setFloatable(false);
    m_wndToolBar->setIconSize(QSize(32, 32));
    for (int id : ToolbarLayout()) {
        if (id == 0)
            m_wndToolBar->addSeparator();
        else
            m_wndToolBar->addAction(m_actions[id]);
    }
}

void CMainFrame::CreateStatusBar() {
    m_messagePane = new QLabel(QStringLiteral("Ready"), this);
    m_frameRatePane = new QLabel(QStringLiteral(" "), this);
    FitPaneToText(m_frameRatePane, kFrameRatePaneWidth);
    m_statisticsPane = new QLabel(QStringLiteral("Display scene info"), this);
    FitPaneToText(m_statisticsPane, kStatisticsPaneWidth);
    for (QLabel* pane : {m_frameRatePane, m_statisticsPane})
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Prompts cover the message pane while they are shown; "Ready" is there otherwise.
    statusBar()->addWidget(m_messagePane, 1);
    statusBar()->addPermanentWidget(m_frameRatePane);
    statusBar()->addPermanentWidget(m_statisticsPane);
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::OnCommand(int id) {
    if (m_readProgress->Reading()) return;  // one read at a time; its Cancel is the way out
    switch (id) {
        case cmd::kNew:
        case cmd::kNewButton:
            Carry(OnSceneNew(m_scene, m_prompts));
            break;
        case cmd::kOpen:
            Carry(OnSceneOpen(m_scene, m_prompts));
            break;
        case cmd::kSave:
            Carry(OnSceneSave(m_scene, m_prompts));
            break;
        case cmd::kSaveAs:
            Carry(OnSceneSaveAs(m_scene, m_prompts));
            break;
        case cmd::kImport3ds: {
            m_view->StopPlay();  // nothing moves behind the import's questions
            const CReadProgress::Watch watch(*m_readProgress);
            Carry(OnImportFile(m_scene, m_prompts));
            break;
        }
        case cmd::kExport:
            m_view->StopPlay();
            Carry(OnExport(m_scene, m_prompts, m_exportMemory));
            break;
        case cmd::kAppExit:
            close();
            break;
        case cmd::kAppAbout:
            CAboutDlg(this).exec();
            break;
        case cmd::kHelp:
            OnHelp();
            break;
        case cmd::kUndo:
        case cmd::kRedo:
            StepHistory(id == cmd::kRedo);
            break;
        case cmd::kShowPanel:
        case cmd::kShowHidePanel:
            m_bPanelVisible = !m_bPanelVisible;
            PlacePanel();
            break;
        case cmd::kSavePicture:
            m_view->StopPlay();
            OnSavePicture();
            break;
        default:
            if (const std::optional<bool> changed =
                    ApplySceneViewCommand(id, m_scene, &m_history)) {
                if (*changed) ShowEditedScene();
                break;
            }
            m_view->OnCommand(id);
            break;
    }
    UpdateCommandStates();
}

std::optional<bool> CMainFrame::IsCommandChecked(int id) const {
    if (id == cmd::kShowPanel || id == cmd::kShowHidePanel) return m_bPanelVisible;
    if (std::optional<bool> checked = SceneViewCommandChecked(id, m_scene)) return checked;
    return m_view->IsCommandChecked(id);
}

void CMainFrame::UpdateCommandStates() {
    for (const auto* actions : {&m_actions, &m_menuEntries}) {
        for (const auto& [id, action] : *actions) {
            if (const std::optional<bool> checked = IsCommandChecked(id))
                action->setChecked(*checked);
        }
    }
}

void CMainFrame::ShowSceneStatistics() {
    m_scene.CountScene();
    m_statisticsPane->setText(QString::fromStdString(messages::StatisticsLine(m_scene.m_stats)));
    FitPaneToText(m_statisticsPane, kStatisticsPaneWidth);
    m_statisticsPane->repaint();
    UpdateMinimumSize();  // a long line widens its pane
}

void CMainFrame::ShowFrameRate(float fps) {
    m_frameRatePane->setText(QString::asprintf("Frame/Second:%.3f", static_cast<double>(fps)));
    FitPaneToText(m_frameRatePane, kFrameRatePaneWidth);
    m_frameRatePane->repaint();
}

void CMainFrame::RedrawView() {
    m_view->RedrawRequest();
}

void CMainFrame::RebuildTextFont() {
    m_view->ApplyTextFont();
    m_view->RenderScene();
}

void CMainFrame::PlacePanel() {
    const QRect frame = frameGeometry();
    if (!m_bPanelPlaced || !m_dlgParam) return;
    const QRect shown = m_dlgParam->frameGeometry();
    const QRect screen = this->screen()->availableGeometry();
    int x = 0, y = 0;
    panel::PanelPosition({frame.x(), frame.y(), frame.width(), frame.height()}, shown.width(),
                         shown.height(), {screen.x(), screen.y(), screen.width(), screen.height()},
                         x, y);
    m_dlgParam->move(x, y);
    // Shown only with the window it rides on: a panel mapped before its window is taken by some
    // window managers for a window of its own and put behind.
    const bool show = m_bPanelVisible && isVisible();
    if (show && !m_dlgParam->isVisible()) {
        m_dlgParam->show();
        m_dlgParam->raise();
    } else if (!show) {
        m_dlgParam->hide();
    }
}

void CMainFrame::UpdateMinimumSize() {
    if (!m_dlgParam) return;
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    panel::WindowParts parts{};
    // Beside the panes, the size grip takes a square as high as the bar, spacing included.
    parts.statusWidth = m_messagePane->fontMetrics().horizontalAdvance(QStringLiteral("Ready")) +
                        m_frameRatePane->width() + m_statisticsPane->width() +
                        statusBar()->sizeHint().height();
    parts.panelWidth = m_dlgParam->frameGeometry().width();
    parts.panelHeight = m_dlgParam->frameGeometry().height();
    parts.titleHeight = client.y() - frame.y();
    parts.statusHeight = statusBar()->sizeHint().height();
    parts.borderWidth = client.x() - frame.x();
    int width = 0, height = 0;
    panel::MinimumClientSize(parts, width, height);
    setMinimumSize(width, height);
}

void CMainFrame::FitFirstWindowToScreen() {
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    int width = 0, height = 0;
    panel::FirstClientSize(this->width(), this->height(), frame.width() - this->width(),
                           frame.height() - this->height(),
                           {available.x(), available.y(), available.width(), available.height()},
                           minimumWidth(), minimumHeight(), width, height);
    if (width == this->width() && height == this->height()) return;
    resize(width, height);
    const QRect fitted = frameGeometry();
    move(std::clamp(fitted.x(), available.x(),
                    std::max(available.x(), available.right() - fitted.width() + 1)),
         std::clamp(fitted.y(), available.y(),
                    std::max(available.y(), available.bottom() - fitted.height() + 1)));
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    UpdateMinimumSize();  // the window's decoration is known once it is placed
    PlacePanel();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    PlacePanel();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    UpdateMinimumSize();
    PlacePanel();
    if (!m_bFirstShown) {
        m_bFirstShown = true;
        // Once the window manager has put its frame round the window, the whole frame is made
        // to fit the screen's available area.
        QTimer::singleShot(0, this, [this] { FitFirstWindowToScreen(); });
    }
    // The program's window comes up active and the view's keys work at once, without a click
    // in the view first.
    if (event->spontaneous()) return;
    activateWindow();
    m_view->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::SwitchPane() {
    if (QApplication::activeWindow() == m_dlgParam || !m_dlgParam->isVisible())
        FocusView();
    else
        m_dlgParam->TakeKeyboard();
}

void CMainFrame::FocusView() {
    // A command given from the panel brings the window back to the front with it.
    if (QApplication::activeWindow() == m_dlgParam) activateWindow();
    m_view->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Closed while a long read shows: the read stops first, and the window stays.
    if (m_readProgress->Reading()) {
        m_readProgress->Cancel();
        event->ignore();
        return;
    }
    if (OnClose(m_scene, m_prompts))
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        LoadFromOutside(url.toLocalFile().toStdString());
        return;
    }
}

void CMainFrame::LoadFromOutside(const std::string& path) {
    if (m_readProgress->Reading()) return;
    const OutsideRead read = HowToReadFromOutside(path);
    if (read == OutsideRead::Refuse) {
        Carry(RefuseUnreadableFile(path));
        return;
    }
    // Without unsaved changes the file is read at once; a question shows the usual cursor.
    if (!m_scene.m_bModified) ShowBusyUntilIdle();
    if (read == OutsideRead::Import) {
        m_view->StopPlay();  // nothing moves behind the import's question
        const CReadProgress::Watch watch(*m_readProgress);
        Carry(ImportFileFromOutside(path, m_scene, m_prompts));
    } else {
        Carry(OpenSceneFileFromOutside(path, m_scene, m_prompts));
    }
    UpdateCommandStates();
}

void CMainFrame::OnHelp() {
    // The page beside the program, or where an installation puts it.
    const QString folder = QCoreApplication::applicationDirPath();
    std::string page = HelpPagePath(folder.toStdString());
    const std::string installed = InstalledHelpPagePath(folder.toStdString());
    if (!QFileInfo::exists(QString::fromStdString(page)) &&
        QFileInfo::exists(QString::fromStdString(installed)))
        page = QFileInfo(QString::fromStdString(installed)).canonicalFilePath().toStdString();
    if (m_openHelp(page)) return;
    // No browser took the page: Help still shows help.
    if (!m_helpWindow) m_helpWindow = new CHelpWindow(this);
    m_helpWindow->ShowPage(page);
}

void CMainFrame::Carry(const FrameUpdate& update) {
    bool sceneShown = false;  // a scene read, imported or started anew, or the panel emptied
    for (FrameStep step : update.steps) {
        sceneShown = sceneShown || step == FrameStep::RefreshTrees || step == FrameStep::ClearPanel;
        switch (step) {
            case FrameStep::ResetViewState:
                m_view->ResetViewState();
                break;
            case FrameStep::ApplyTextFont:
                m_view->ApplyTextFont();
                break;
            case FrameStep::LookThroughCamera:
                m_view->state().m_bDefaultView = false;
                break;
            case FrameStep::ShowNotice:
                m_prompts.NoticeWithReason(update.notice, update.noticeReason, update.noticeIcon);
                break;
            case FrameStep::SetWindowTitle:
                setWindowTitle(QString::fromStdString(update.title));
                break;
            case FrameStep::RedrawView:
            case FrameStep::ShowOpenedScene:
                m_view->SceneReplaced();
                m_view->RedrawRequest();
                break;
            case FrameStep::RefreshTrees:
                statusBar()->clearMessage();  // a note about the scene shown before goes
                MakeFirstRecordsCurrent(m_scene);
                m_dlgParam->RefreshTrees();
                break;
            case FrameStep::UpdateSliders:
                m_dlgParam->UpdateSliders();
                break;
            case FrameStep::ClearPanel:
                statusBar()->clearMessage();
                m_dlgParam->ClearPanel();
                break;
            case FrameStep::ShowSceneStatistics:
                ShowSceneStatistics();
                break;
            case FrameStep::ShowStatus:
                statusBar()->showMessage(QString::fromStdString(update.status));
                break;
            case FrameStep::ClearHistory:
                m_history.Clear();
                // The fitted eye was about the scene that went with the history.
                m_view->state().m_bFitted = false;
                break;
            case FrameStep::RememberFile:
                m_recentFiles->Files().Add(update.file);
                m_recentFiles->Update();
                break;
        }
    }
    // The user goes on with the view's keys on the scene now shown.
    if (sceneShown) FocusView();
}

void CMainFrame::OnRecentFile(size_t index) {
    if (m_readProgress->Reading()) return;
    m_view->StopPlay();  // nothing moves behind the import's questions
    {
        const CReadProgress::Watch watch(*m_readProgress);
        const FrameUpdate update =
            ::OnRecentFile(index, m_recentFiles->Files(), m_scene, m_prompts);
        m_recentFiles->Update();
        Carry(update);
    }
    UpdateCommandStates();
}

void CMainFrame::CreateEditMenu() {
    m_editMenu = new CEditMenu(this, m_history);
    for (QAction* action : {m_editMenu->UndoAction(), m_editMenu->RedoAction()}) {
        const int id = action == m_editMenu->UndoAction() ? cmd::kUndo : cmd::kRedo;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
    }
    KeepUndoKeysForText(static_cast<QPlainTextEdit*>(m_dlgParam->Control(panel::kNoteBox)));
    PassUndoKeysThrough(static_cast<QComboBox*>(m_dlgParam->Control(panel::kCameraList)));
    m_view->SetHistory(&m_history);
    m_history.SetChangeHandler([this] { m_editMenu->Update(); });
}

void CMainFrame::OnSavePicture() {
    Carry(::OnSavePicture(
        m_scene, m_prompts, m_pictureMemory, m_view->ShownSize(),
        [this](const std::string& path, const PictureSize& size, std::string& reason) {
            return m_view->SavePicture(path, size, reason);
        }));
}

void CMainFrame::StepHistory(bool redo) {
    const bool done = redo ? m_history.Redo(m_scene) : m_history.Undo(m_scene);
    if (!done) return;
    m_view->ApplyTextFont();  // the label font may be among the restored records
    ShowEditedScene();
}

void CMainFrame::ShowEditedScene() {
    m_view->RedrawRequest();
    m_dlgParam->ShowRestoredScene();
}
