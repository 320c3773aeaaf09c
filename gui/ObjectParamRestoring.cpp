// The panel after an undo or a redo: every control shows the scene's records as they now are.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "ObjectParamDlg.h"
#include "panel/PanelTexts.h"

namespace {

// The trees list the records in their order, each with its lines below it.
template <class List, class Lines>
void RewriteTree(QTreeWidget* tree, const List& records, Lines lines) {
    for (int i = 0; i < tree->topLevelItemCount() && i < static_cast<int>(records.size()); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        const std::vector<std::string> texts = lines(records[static_cast<size_t>(i)]);
        for (int k = 0; k < item->childCount() && k < static_cast<int>(texts.size()); ++k)
            item->child(k)->setText(0, QString::fromStdString(texts[static_cast<size_t>(k)]));
    }
}

}  // namespace

void CObjectParamDlg::ShowRestoredScene() {
    const Scene& scene = m_scene;
    RewriteTree(m_controls.objectTree, scene.m_objects, ObjectTreeLines);
    MarkHiddenObjects();
    RewriteTree(m_controls.materialTree, scene.m_materials, MaterialTreeLines);
    RewriteTree(m_controls.lightTree, scene.m_lights, LightTreeLines);
    const int32_t camera = scene.m_settings.currentCamera;
    if (IsIndexOf(camera, scene.m_cameras) && camera < m_controls.cameraList->count()) {
        const QSignalBlocker blocker(m_controls.cameraList);
        m_controls.cameraList->setCurrentIndex(camera);
    }
    // The texts and check boxes, the note box with them unless it holds unapplied typing.
    const bool typing = m_bNoteModified;
    const QString typed = m_controls.noteBox->toPlainText();
    UpdateCurrentInfo();
    if (typing && m_controls.noteBox->toPlainText() != typed) {
        m_fillingNote = true;
        m_controls.noteBox->setPlainText(typed);
        m_fillingNote = false;
    }
    UpdateSliders();
}
