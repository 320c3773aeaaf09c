// The panel showing the scene: trees, camera list, texts and sliders filled from it, and the
// records the trees' selections make current.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>

#include "LabelPainting.h"
#include "ObjectParamDlg.h"
#include "panel/PanelControlStates.h"
#include "panel/PanelSelection.h"
#include "panel/PanelTexts.h"
#include "panel/SliderMapping.h"

using namespace panel;

namespace {

QString Text(const std::string& bytes) {
    return SceneText(bytes);
}

QTreeWidgetItem* AddRecordItem(QTreeWidget* tree, const std::string& name,
                               const std::vector<std::string>& lines) {
    auto* item = new QTreeWidgetItem(tree, QStringList(Text(name)));
    for (const std::string& line : lines)
        new QTreeWidgetItem(item, QStringList(QString::fromStdString(line)));
    return item;
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

}  // namespace

void CObjectParamDlg::ClearPanel() {
    m_nCurLight = -1;
    m_nCurMaterial = -1;
    m_controls.objectText->setText(QString());
    m_controls.lightText->setText(QString());
    m_controls.materialText->setText(QString());
    // The note shown belonged to the object that was current: an edit of it goes with it.
    m_fillingNote = true;
    m_controls.noteBox->clear();
    m_fillingNote = false;
    m_bNoteModified = false;
    m_controls.objectTree->clear();
    m_controls.materialTree->clear();
    m_controls.lightTree->clear();
    const QSignalBlocker blocker(m_controls.cameraList);
    m_controls.cameraList->clear();
    m_controls.cameraList->setEditText(QString());
    UpdateControlStates();
}

void CObjectParamDlg::UpdateControlStates() {
    const Scene& scene = m_scene;
    SelectedRecords records;
    records.object = scene.CurrentObject() != nullptr;
    records.material = IsIndexOf(m_nCurMaterial, scene.m_materials);
    records.light = IsIndexOf(m_nCurLight, scene.m_lights);
    for (const auto& [id, widget] : m_controls.byId) {
        const bool has = HasRecordFor(id, records);
        if (id == kApplyNote) {
            widget->setEnabled(has && m_bNoteModified);
            continue;
        }
        widget->setEnabled(has);
        if (has) continue;
        if (auto* slider = qobject_cast<QSlider*>(widget)) slider->setValue(0);
        if (auto* box = qobject_cast<QCheckBox*>(widget)) box->setChecked(false);
    }
}

void CObjectParamDlg::RefreshTrees() {
    ClearPanel();
    const Scene& scene = m_scene;
    for (const SceneObject& o : scene.m_objects)
        AddRecordItem(m_controls.objectTree, o.name, ObjectTreeLines(o));
    for (const SceneMaterial& m : scene.m_materials) {
        // The map's line comes last, so that the lines edits rewrite keep their places; a long
        // file name cut off by the tree's edge shows whole as the line's tool tip.
        std::vector<std::string> lines = MaterialTreeLines(m);
        const std::string map = TextureMapLine(m, scene.m_strImageBase);
        if (!map.empty()) lines.push_back(map);
        QTreeWidgetItem* item = AddRecordItem(m_controls.materialTree, m.name, lines);
        if (!map.empty()) {
            QTreeWidgetItem* line = item->child(item->childCount() - 1);
            line->setText(0, Text(map));  // a file name in the file's own 8-bit encoding
            line->setToolTip(0, line->text(0));
        }
        m_nCurMaterial = 0;
    }
    for (const SceneLight& l : scene.m_lights) {
        AddRecordItem(m_controls.lightTree, l.name, LightTreeLines(l));
        m_nCurLight = 0;
    }
    {
        const QSignalBlocker blocker(m_controls.cameraList);
        for (const SceneCamera& c : scene.m_cameras) {
            m_controls.cameraList->addItem(Text(c.name));
            m_controls.cameraList->setCurrentIndex(0);
        }
    }
    MarkHiddenObjects();
    UpdateCurrentInfo();
    UpdateSliders();
}

void CObjectParamDlg::MarkHiddenObjects() {
    const std::vector<SceneObject>& objects = m_scene.m_objects;
    QTreeWidget* tree = m_controls.objectTree;
    for (int i = 0; i < tree->topLevelItemCount() && i < static_cast<int>(objects.size()); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        if (objects[static_cast<size_t>(i)].hidden)
            item->setForeground(0, tree->palette().brush(QPalette::Disabled, QPalette::Text));
        else
            item->setData(0, Qt::ForegroundRole, QVariant());
    }
}

void CObjectParamDlg::UpdateCurrentInfo() {
    const Scene& scene = m_scene;
    if (IsIndexOf(m_nCurLight, scene.m_lights)) {
        const SceneLight& light = scene.m_lights[static_cast<size_t>(m_nCurLight)];
        m_controls.lightText->setText(Text(LightInfoText(light)));
        m_controls.lightText->repaint();
        m_controls.lightOnOff->setChecked(light.on != 0);
    }
    if (const SceneObject* current = scene.CurrentObject()) {
        const SceneObject& o = *current;
        m_controls.objectText->setText(Text(CurrentObjectText(o)));
        m_controls.objectText->repaint();
        m_controls.smoothFlat->setChecked(o.smooth != 0);
        QString note = Text(o.note);
        note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_fillingNote = true;  // showing the stored note is no edit of it
        m_controls.noteBox->setPlainText(note);
        m_fillingNote = false;
    }
    if (IsIndexOf(m_nCurMaterial, scene.m_materials)) {
        m_controls.materialText->setText(
            Text(CurrentMaterialText(scene.m_materials[static_cast<size_t>(m_nCurMaterial)])));
        m_controls.materialText->repaint();
    }
    UpdateControlStates();
}

void CObjectParamDlg::UpdateSliders() {
    const Scene& scene = m_scene;
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
    const Scene& scene = m_scene;
    if (!IsIndexOf(m_nCurMaterial, scene.m_materials)) return;
    const SceneMaterial& m = scene.m_materials[static_cast<size_t>(m_nCurMaterial)];
    RewriteLines(m_controls.materialTree, m.name, MaterialTreeLines(m));
}

void CObjectParamDlg::UpdateLightItems() {
    const Scene& scene = m_scene;
    if (!IsIndexOf(m_nCurLight, scene.m_lights)) return;
    const SceneLight& l = scene.m_lights[static_cast<size_t>(m_nCurLight)];
    RewriteLines(m_controls.lightTree, l.name, LightTreeLines(l));
    m_controls.lightTree->repaint();
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
    if (m_controls.objectTree->selectedItems().isEmpty()) return;
    Scene& scene = m_scene;
    const int match = SelectedRecord(m_controls.objectTree, scene.m_objects);
    if (match >= 0) {
        scene.m_settings.currentObject = match;
        emit SceneChanged();
    }
    UpdateCurrentInfo();
}

void CObjectParamDlg::OnMaterialTreeSelChanged() {
    if (m_nCurTab != kObjectTab && m_nCurTab != kMaterialTab) return;
    if (m_controls.materialTree->selectedItems().isEmpty()) return;
    const int match = SelectedRecord(m_controls.materialTree, m_scene.m_materials);
    if (match >= 0) m_nCurMaterial = match;
    UpdateCurrentInfo();
    UpdateSliders();
}

void CObjectParamDlg::OnLightTreeSelChanged() {
    if (m_controls.lightTree->selectedItems().isEmpty()) return;
    const int match = SelectedRecord(m_controls.lightTree, m_scene.m_lights);
    if (match >= 0) m_nCurLight = match;
    UpdateCurrentInfo();
    UpdateSliders();
}
