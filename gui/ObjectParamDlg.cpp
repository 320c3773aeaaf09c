#include "ObjectParamDlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>

#include "LabelPainting.h"
#include "panel/PanelSelection.h"
#include "panel/PanelTexts.h"
#include "panel/SliderMapping.h"

using namespace panel;

namespace {

QString Text(const std::string& bytes) {
    return SceneText(bytes);
}

// A 32 x 32 square of one pure colour, marking the channel of the slider above it.
QPixmap Swatch(const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(color);
    return pixmap;
}

void AddRecordItem(QTreeWidget* tree, const std::string& name,
                   const std::vector<std::string>& lines) {
    auto* item = new QTreeWidgetItem(tree, QStringList(Text(name)));
    for (const std::string& line : lines)
        new QTreeWidgetItem(item, QStringList(QString::fromStdString(line)));
}

// Rewrites the lines of the first top-level item named name.
void RewriteLines(QTreeWidget* tree, const std::string& name,
                  const std::vector<std::string>& lines) {
    const QString text = Text(name);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        if (item->text(0) != text) continue;
        for (int k = 0; k < item->childCount() && k < static_cast<int>(lines.size()); ++k)
            item->child(k)->setText(0, QString::fromStdString(lines[static_cast<size_t>(k)]));
        return;
    }
}

const int kMaterialSliders[] = {kShininess,   kTransparency,  kAmbientBlue,  kAmbientGreen,
                                kAmbientRed,  kDiffuseRed,    kDiffuseGreen, kDiffuseBlue,
                                kSpecularRed, kSpecularGreen, kSpecularBlue};
const int kLightSliders[] = {kLightRed, kLightGreen, kLightBlue};

}  // namespace

template <class Widget>
Widget* CObjectParamDlg::Add(int id, Widget* widget, const char* name) {
    widget->setAccessibleName(QString::fromLatin1(name));
    widget->hide();
    m_controls[id] = widget;
    return widget;
}

CObjectParamDlg::CObjectParamDlg(PanelFrame& frame, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_frame(frame) {
    setWindowTitle(QStringLiteral("Set object parameter"));
    setAccessibleName(QStringLiteral("Set object parameter"));
    // A compact font, as small as the panel's dialog units expect.
    QFont compact = font();
    compact.setPointSizeF(8);
    setFont(compact);
    int width = 0, height = 0;
    PanelClientSize(m_units, width, height);
    setFixedSize(width, height);
    CreateControls();

    m_bNoteModified = 0;
    for (const char* name : {"Object", "Material", "Light", "Notes"})
        m_tab->addTab(QString::fromLatin1(name));
    m_nCurTab = 0;
    m_nCurMaterial = -1;
    m_nCurLight = -1;
    LayoutTab();
    RefreshTrees();
    UpdateSliders();
}

// The controls go after the panel: nothing they say on their way out may reach it.
CObjectParamDlg::~CObjectParamDlg() {
    for (const auto& [id, widget] : m_controls)
        widget->disconnect(this);
    m_tab->disconnect(this);
}

void CObjectParamDlg::CreateControls() {
    // The tab control: the tabs along the top of a framed pane that the other controls lie on.
    auto* tabControl = Add(kTab, new QWidget(this), "Tabs");
    auto* pane = new QFrame(tabControl);
    pane->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_tab = new QTabBar(tabControl);
    m_tab->setAccessibleName(QStringLiteral("Tabs"));
    m_tab->setDrawBase(false);
    m_tab->setUsesScrollButtons(false);
    tabControl->installEventFilter(this);
    m_tabPane = pane;
    tabControl->show();
    connect(m_tab, &QTabBar::currentChanged, this, &CObjectParamDlg::OnTabSelChange);

    auto tree = [this](int id, const char* name) {
        auto* t = Add(id, new QTreeWidget(this), name);
        t->setHeaderHidden(true);
        t->setRootIsDecorated(true);
        return t;
    };
    m_objectTree = tree(kObjectTree, "Object tree");
    m_materialTree = tree(kMaterialTree, "Material tree");
    m_lightTree = tree(kLightTree, "Light tree");
    tree(kHiddenTree, "Unused tree");
    // A selection changed by mouse, keyboard or an assistive tool alike.
    connect(m_objectTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnObjectTreeSelChanged);
    connect(m_materialTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnMaterialTreeSelChanged);
    connect(m_lightTree, &QTreeWidget::itemSelectionChanged, this,
            &CObjectParamDlg::OnLightTreeSelChanged);

    auto info = [this](int id, const char* name) {
        auto* label = Add(id, new QLabel(this), name);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    };
    m_objectText = info(kObjectText, "Current object");
    m_materialText = info(kMaterialText, "Current material");
    m_lightText = info(kLightText, "Light information");

    m_smoothFlat =
        Add(kSmoothFlat, new QCheckBox(this), "Smooth or flat shading of the current object");
    m_lightOnOff = Add(kLightOnOff, new QCheckBox(this), "Selected light on or off");
    connect(m_smoothFlat, &QCheckBox::clicked, this, &CObjectParamDlg::OnSmoothFlat);
    connect(m_lightOnOff, &QCheckBox::clicked, this, &CObjectParamDlg::OnLightOnOff);

    auto button = [this](int id, const char* text) {
        auto* b = Add(id, new QPushButton(QString::fromLatin1(text), this), text);
        b->setAutoDefault(false);  // Enter presses no button of the panel
        return b;
    };
    connect(button(kApplyMaterial, "Apply selected material to object"), &QPushButton::clicked,
            this, &CObjectParamDlg::OnApplyMaterial);
    connect(button(kSetColor, "Set color"), &QPushButton::clicked, this,
            &CObjectParamDlg::OnSetNoteColor);
    m_applyNote = button(kApplyNote, "Apply change");
    connect(m_applyNote, &QPushButton::clicked, this, &CObjectParamDlg::OnApplyNote);
    connect(button(kSetFont, "Set font"), &QPushButton::clicked, this, &CObjectParamDlg::OnSetFont);
    connect(button(kSetBackground, "Set Background"), &QPushButton::clicked, this,
            &CObjectParamDlg::OnSetBackground);

    const struct {
        int id;
        const char* name;
    } sliders[] = {{kShininess, "Shininess"},        {kTransparency, "Transparency"},
                   {kAmbientBlue, "Ambient blue"},   {kAmbientGreen, "Ambient green"},
                   {kAmbientRed, "Ambient red"},     {kDiffuseRed, "Diffuse red"},
                   {kDiffuseGreen, "Diffuse green"}, {kDiffuseBlue, "Diffuse blue"},
                   {kSpecularRed, "Specular red"},   {kSpecularGreen, "Specular green"},
                   {kSpecularBlue, "Specular blue"}, {kLightRed, "Light red"},
                   {kLightGreen, "Light green"},     {kLightBlue, "Light blue"}};
    for (const auto& s : sliders) {
        auto* slider = Add(s.id, new QSlider(Qt::Vertical, this), s.name);
        slider->setRange(0, 255);
        slider->setTickPosition(QSlider::NoTicks);
        const int id = s.id;
        connect(slider, &QSlider::actionTriggered, this,
                [this, id](int action) { OnSliderAction(id, action); });
        connect(slider, &QSlider::sliderReleased, this, [this, id] { OnSliderReleased(id); });
    }

    const struct {
        int id;
        QColor color;
        const char* name;
    } swatches[] = {{kSwatchRed, Qt::red, "Red"},        {kSwatchRed2, Qt::red, "Red"},
                    {kSwatchRed3, Qt::red, "Red"},       {kSwatchGreen, Qt::green, "Green"},
                    {kSwatchGreen2, Qt::green, "Green"}, {kSwatchGreen3, Qt::green, "Green"},
                    {kSwatchBlue, Qt::blue, "Blue"},     {kSwatchBlue2, Qt::blue, "Blue"},
                    {kSwatchBlue3, Qt::blue, "Blue"}};
    for (const auto& s : swatches) {
        auto* label = Add(s.id, new QLabel(this), s.name);
        label->setPixmap(Swatch(s.color));
        label->setScaledContents(true);
    }
    // The group labels keep their small template boxes: a smaller font lets the words fit.
    QFont small = font();
    small.setPointSizeF(7);
    for (const auto& [id, text] :
         std::vector<std::pair<int, const char*>>{{kAmbientLabel, "Ambient"},
                                                  {kDiffuseLabel, "Diffuse"},
                                                  {kSpecularLabel, "Specular"},
                                                  {kShTrLabel, "Sh / Tr"}})
        Add(id, new QLabel(QString::fromLatin1(text), this), text)->setFont(small);
    Add(kCameraLabel, new QLabel(QStringLiteral("Select current camera"), this),
        "Select current camera");

    m_noteBox = Add(kNoteBox, new QPlainTextEdit(this), "Note of the current object");
    m_noteBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_noteBox, &QPlainTextEdit::textChanged, this, &CObjectParamDlg::OnNoteChange);

    m_cameraList = Add(kCameraList, new QComboBox(this), "Current camera");
    m_cameraList->setEditable(true);
    m_cameraList->setInsertPolicy(QComboBox::NoInsert);
    connect(m_cameraList, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CObjectParamDlg::OnCameraSelChange);
}

// The tab control's tabs and pane follow its size.
bool CObjectParamDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Control(kTab) && event->type() == QEvent::Resize) {
        const QSize size = Control(kTab)->size();
        const int tabsHeight = m_tab->sizeHint().height();
        m_tab->setGeometry(0, 0, size.width(), tabsHeight);
        m_tabPane->setGeometry(0, tabsHeight - 1, size.width(), size.height() - tabsHeight + 1);
    }
    return QDialog::eventFilter(watched, event);
}

QWidget* CObjectParamDlg::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CObjectParamDlg::HideAllControls() {
    for (const auto& [id, widget] : m_controls) {
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
    if (m_nCurTab == kObjectTab) m_smoothFlat->setText(QStringLiteral("Smooth/Flat"));
    if (m_nCurTab == kLightTab) m_lightOnOff->setText(QStringLiteral("Light On/Off"));
    if (m_nCurTab == kNotesTab) m_applyNote->setEnabled(m_bNoteModified != 0);
    for (const ControlRect& r : rects) {
        QWidget* widget = Control(r.id);
        // A drop-down list's rectangle includes its open list; the closed box keeps its height.
        const int height =
            r.id == kCameraList ? std::min(r.height, widget->sizeHint().height()) : r.height;
        widget->setGeometry(r.x, r.y, r.width, height);
        widget->show();
    }
    update();
}

void CObjectParamDlg::ClearPanel() {
    m_nCurLight = -1;
    m_nCurMaterial = -1;
    m_objectText->setText(QString());
    m_lightText->setText(QString());
    m_materialText->setText(QString());
    m_objectTree->clear();
    m_materialTree->clear();
    m_lightTree->clear();
    const QSignalBlocker blocker(m_cameraList);
    m_cameraList->clear();
    m_cameraList->setEditText(QString());
}

void CObjectParamDlg::RefreshTrees() {
    ClearPanel();
    Scene& scene = m_frame.PanelScene();
    for (const SceneObject& o : scene.m_objects) {
        AddRecordItem(m_objectTree, o.name, ObjectTreeLines(o));
        scene.m_settings.currentObject = 0;
    }
    for (const SceneMaterial& m : scene.m_materials) {
        AddRecordItem(m_materialTree, m.name, MaterialTreeLines(m));
        m_nCurMaterial = 0;
    }
    for (const SceneLight& l : scene.m_lights) {
        AddRecordItem(m_lightTree, l.name, LightTreeLines(l));
        m_nCurLight = 0;
    }
    {
        const QSignalBlocker blocker(m_cameraList);
        for (const SceneCamera& c : scene.m_cameras) {
            m_cameraList->addItem(Text(c.name));
            m_cameraList->setCurrentIndex(0);
            scene.m_settings.currentCamera = 0;
        }
    }
    UpdateCurrentInfo();
    UpdateSliders();
}

void CObjectParamDlg::UpdateCurrentInfo() {
    const Scene& scene = m_frame.PanelScene();
    if (IsIndexOf(m_nCurLight, scene.m_lights)) {
        const SceneLight& light = scene.m_lights[static_cast<size_t>(m_nCurLight)];
        m_lightText->setText(Text(LightInfoText(light)));
        m_lightText->repaint();
        m_lightOnOff->setChecked(light.on != 0);
    }
    const int32_t current = scene.m_settings.currentObject;
    if (IsIndexOf(current, scene.m_objects)) {
        const SceneObject& o = scene.m_objects[static_cast<size_t>(current)];
        m_objectText->setText(Text(CurrentObjectText(o)));
        m_objectText->repaint();
        m_smoothFlat->setChecked(o.smooth != 0);
        QString note = Text(o.note);
        note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_fillingNote = true;  // showing the stored note is no edit of it
        m_noteBox->setPlainText(note);
        m_fillingNote = false;
    }
    if (IsIndexOf(m_nCurMaterial, scene.m_materials)) {
        m_materialText->setText(
            Text(CurrentMaterialText(scene.m_materials[static_cast<size_t>(m_nCurMaterial)])));
        m_materialText->repaint();
    }
}

void CObjectParamDlg::UpdateSliders() {
    const Scene& scene = m_frame.PanelScene();
    if (m_nCurTab == kLightTab) {
        if (!IsIndexOf(m_nCurLight, scene.m_lights)) return;
        const SceneLight& light = scene.m_lights[static_cast<size_t>(m_nCurLight)];
        for (int id : kLightSliders)
            static_cast<QSlider*>(Control(id))->setValue(LightSliderPosition(light, id));
    } else if (m_nCurTab == kMaterialTab) {
        if (!IsIndexOf(m_nCurMaterial, scene.m_materials)) return;
        const SceneMaterial& m = scene.m_materials[static_cast<size_t>(m_nCurMaterial)];
        for (int id : kMaterialSliders)
            static_cast<QSlider*>(Control(id))->setValue(MaterialSliderPosition(m, id));
    }
}

void CObjectParamDlg::UpdateMaterialItems() {
    const Scene& scene = m_frame.PanelScene();
    if (!IsIndexOf(m_nCurMaterial, scene.m_materials)) return;
    const SceneMaterial& m = scene.m_materials[static_cast<size_t>(m_nCurMaterial)];
    RewriteLines(m_materialTree, m.name, MaterialTreeLines(m));
}

void CObjectParamDlg::UpdateLightItems() {
    const Scene& scene = m_frame.PanelScene();
    if (!IsIndexOf(m_nCurLight, scene.m_lights)) return;
    const SceneLight& l = scene.m_lights[static_cast<size_t>(m_nCurLight)];
    RewriteLines(m_lightTree, l.name, LightTreeLines(l));
    m_lightTree->repaint();
}

void CObjectParamDlg::OnTabSelChange(int index) {
    m_nCurTab = index;
    LayoutTab();
    UpdateSliders();
}

template <class List>
int CObjectParamDlg::SelectedRecord(QTreeWidget* tree, const List& records) const {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    if (selected.isEmpty()) return -1;
    QTreeWidgetItem* item = selected.first();
    // A line selects the record that owns it.
    if (item->childCount() == 0 && item->parent()) item = item->parent();
    return FindByName(records, item->text(0).toStdString());
}

void CObjectParamDlg::OnObjectTreeSelChanged() {
    if (m_nCurTab != kObjectTab && m_nCurTab != kNotesTab) return;
    if (m_objectTree->selectedItems().isEmpty()) return;
    Scene& scene = m_frame.PanelScene();
    const int match = SelectedRecord(m_objectTree, scene.m_objects);
    if (match >= 0) {
        scene.m_settings.currentObject = match;
        m_frame.RedrawView();
    }
    UpdateCurrentInfo();
}

void CObjectParamDlg::OnMaterialTreeSelChanged() {
    if (m_nCurTab != kObjectTab && m_nCurTab != kMaterialTab) return;
    if (m_materialTree->selectedItems().isEmpty()) return;
    const int match = SelectedRecord(m_materialTree, m_frame.PanelScene().m_materials);
    if (match >= 0) m_nCurMaterial = match;
    UpdateCurrentInfo();
    UpdateSliders();
}

void CObjectParamDlg::OnLightTreeSelChanged() {
    if (m_lightTree->selectedItems().isEmpty()) return;
    const int match = SelectedRecord(m_lightTree, m_frame.PanelScene().m_lights);
    if (match >= 0) m_nCurLight = match;
    UpdateCurrentInfo();
    UpdateSliders();
}
