#include "ObjectParamDlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>

#include "panel/SliderMapping.h"

using namespace panel;

CObjectParamDlg::CObjectParamDlg(Scene& scene, Prompts& prompts, EditHistory& history,
                                 QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_scene(scene),
      m_prompts(prompts),
      m_history(history) {
    setWindowTitle(QStringLiteral("Set object parameter"));
    setAccessibleName(QStringLiteral("Set object parameter"));
    // Showing the panel leaves the keyboard with the window and its view.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // A compact font, as small as the panel's dialog units expect.
    QFont compact = font();
    compact.setPointSizeF(8);
    setFont(compact);
    int width = 0, height = 0;
    PanelClientSize(m_units, width, height);
    setFixedSize(width, height);
    m_controls = BuildPanelControls(this);
    ConnectControls();

    m_bNoteModified = false;
    for (const char* name : {"Object", "Material", "Light", "Notes"})
        m_controls.tab->addTab(QString::fromLatin1(name));
    m_nCurTab = 0;
    m_nCurMaterial = -1;
    m_nCurLight = -1;
    LayoutTab();
    RefreshTrees();
    UpdateSliders();
}

// The controls go after the panel: nothing they say on their way out may reach it.
CObjectParamDlg::~CObjectParamDlg() {
    for (const auto& [id, widget] : m_controls.byId) {
        widget->disconnect(this);
        widget->removeEventFilter(this);
    }
    m_controls.tab->disconnect(this);
}

void CObjectParamDlg::ConnectControls() {
    Control(kTab)->installEventFilter(this);
    connect(m_controls.tab, &QTabBar::currentChanged, this, &CObjectParamDlg::OnTabSelChange);
    // A selection changed by mouse, keyboard or an assistive tool alike.
    connect(m_controls.objectTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnObjectTreeSelChanged);
    connect(m_controls.materialTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnMaterialTreeSelChanged);
    connect(m_controls.lightTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnLightTreeSelChanged);
    connect(m_controls.smoothFlat, &QCheckBox::clicked, this, &CObjectParamDlg::OnSmoothFlat);
    connect(m_controls.lightOnOff, &QCheckBox::clicked, this, &CObjectParamDlg::OnLightOnOff);
    connect(m_controls.applyMaterial, &QPushButton::clicked, this,
            &CObjectParamDlg::OnApplyMaterial);
    connect(m_controls.setColor, &QPushButton::clicked, this, &CObjectParamDlg::OnSetNoteColor);
    connect(m_controls.applyNote, &QPushButton::clicked, this, &CObjectParamDlg::OnApplyNote);
    connect(m_controls.setFont, &QPushButton::clicked, this, &CObjectParamDlg::OnSetFont);
    connect(m_controls.setBackground, &QPushButton::clicked, this,
            &CObjectParamDlg::OnSetBackground);
    auto connectSlider = [this](int id) {
        auto* slider = static_cast<QSlider*>(Control(id));
        connect(slider, &QSlider::actionTriggered, this,
                [this, id](int action) { OnSliderAction(id, action); });
        connect(slider, &QSlider::sliderReleased, this, [this, id] { OnSliderReleased(id); });
        slider->installEventFilter(this);
    };
    for (int id : kMaterialSliders)
        connectSlider(id);
    for (int id : kLightSliders)
        connectSlider(id);
    connect(m_controls.noteBox, &QPlainTextEdit::textChanged, this, &CObjectParamDlg::OnNoteChange);
    connect(m_controls.cameraList, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CObjectParamDlg::OnCameraSelChange);
}

// The tab control's tabs and pane follow its size. A slider's key let go, or the keyboard gone
// from it, ends the step its keys were making.
bool CObjectParamDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool keyLetGo =
        event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat();
    if ((keyLetGo || event->type() == QEvent::FocusOut) && m_history.IsOpen(m_sliderStep)) {
        for (const auto& [id, widget] : m_controls.byId) {
            if (widget == watched && (IsMaterialSlider(id) || IsLightSlider(id)))
                OnSliderReleased(id);
        }
    }
    if (watched == Control(kTab) && event->type() == QEvent::Resize) {
        const QSize size = Control(kTab)->size();
        const int tabsHeight = m_controls.tab->sizeHint().height();
        m_controls.tab->setGeometry(0, 0, size.width(), tabsHeight);
        m_controls.tabPane->setGeometry(0, tabsHeight - 1, size.width(),
                                        size.height() - tabsHeight + 1);
    }
    return QDialog::eventFilter(watched, event);
}

void CObjectParamDlg::HideAllControls() {
    for (const auto& [id, widget] : m_controls.byId) {
        if (id != kTab) widget->hide();
    }
}

void CObjectParamDlg::LayoutTab() {
    HideAllControls();
    const std::vector<ControlRect> rects = panel::LayoutTab(m_nCurTab, width(), height(), m_units);
    if (m_nCurTab < kObjectTab || m_nCurTab > kNotesTab) {
        Control(kTab)->setGeometry(rects[0].x, rects[0].y, rects[0].width, rects[0].height);
        return;
    }
    if (m_nCurTab == kObjectTab) m_controls.smoothFlat->setText(QStringLiteral("Smooth/Flat"));
    if (m_nCurTab == kLightTab) m_controls.lightOnOff->setText(QStringLiteral("Light On/Off"));
    UpdateControlStates();
    for (const ControlRect& r : rects) {
        QWidget* widget = Control(r.id);
        // A drop-down list's rectangle includes its open list; the closed box keeps its height.
        const int height =
            r.id == kCameraList ? std::min(r.height, widget->sizeHint().height()) : r.height;
        widget->setGeometry(r.x, r.y, r.width, height);
        widget->show();
    }
    // Tab goes through the controls in the order they are read on screen.
    QWidget* previous = m_controls.tab;
    for (int id : FocusOrder(rects)) {
        QWidget::setTabOrder(previous, Control(id));
        previous = Control(id);
    }
    update();
}

void CObjectParamDlg::TakeKeyboard() {
    activateWindow();
    QWidget* target = focusWidget();
    if (!target || !target->isVisible() || !target->isEnabled()) target = m_controls.tab;
    target->setFocus(Qt::ShortcutFocusReason);
}

void CObjectParamDlg::OnTabSelChange(int index) {
    m_nCurTab = index;
    LayoutTab();
    UpdateSliders();
}

// Neither Enter nor Escape closes the panel or presses a button; in the note box Enter makes a
// new line (the box takes it before the panel sees it).
void CObjectParamDlg::SelectObject(int index) {
    if (!IsIndexOf(index, m_scene.m_objects)) return;
    m_scene.m_settings.currentObject = index;
    {
        const QSignalBlocker blocker(m_controls.objectTree);
        m_controls.objectTree->setCurrentItem(m_controls.objectTree->topLevelItem(index));
    }
    UpdateCurrentInfo();
    emit SceneChanged();
}

void CObjectParamDlg::StepTab(int by) {
    const int count = m_controls.tab->count();
    if (count == 0) return;
    m_controls.tab->setCurrentIndex(((m_controls.tab->currentIndex() + by) % count + count) %
                                    count);
}

void CObjectParamDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

// Closing the panel (its close button, Alt+F4) hides it, as View > Set Object Dialog does; it
// goes with the main window, and the program may still close it on its way out.
void CObjectParamDlg::closeEvent(QCloseEvent* event) {
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    event->ignore();
    emit CloseAsked();
}
