// The panel's editing: sliders, the material button, the check boxes, the camera list, the note,
// its colour, the label font and the background.
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "ObjectParamDlg.h"
#include "history/ApplyMaterialEdit.h"
#include "history/StepLabels.h"
#include "panel/SliderMapping.h"

using namespace panel;

void CObjectParamDlg::SetModified() {
    m_scene.m_bModified = true;
}

namespace {

// The steps a slider takes from its keys: arrows, Page Up and Down, Home and End. A click in the
// channel takes page steps too, but with the mouse button held.
bool IsKeyStep(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderSingleStepSub:
        case QAbstractSlider::SliderPageStepAdd:
        case QAbstractSlider::SliderPageStepSub:
        case QAbstractSlider::SliderToMinimum:
        case QAbstractSlider::SliderToMaximum:
            return QGuiApplication::mouseButtons() == Qt::NoButton;
        default:
            return false;
    }
}

}  // namespace

// Dragging the thumb and the slider's keys change the model; every other way of moving a slider
// (a click in its channel, the wheel) marks the scene modified and puts the slider back. A whole
// drag is one step to undo, from the first move of the thumb to its release, and so are the
// presses of a key held down, from the first to the key's release.
void CObjectParamDlg::OnSliderAction(int id, int action) {
    Scene& scene = m_scene;
    const QSlider* slider = static_cast<QSlider*>(Control(id));
    const bool dragged =
        (action == QAbstractSlider::SliderMove && slider->isSliderDown()) || IsKeyStep(action);
    EditHistory& history = m_history;
    auto beginDrag = [&](const RecordRef& record) {
        if (!history.IsOpen(m_sliderStep))
            m_sliderStep = history.Begin(scene, {{record, steplabel::Slider(id)}});
    };
    if (m_nCurTab == kLightTab) {
        if (!IsIndexOf(m_nCurLight, scene.m_lights)) return;
        if (dragged && IsLightSlider(id)) {
            beginDrag(LightRecord(m_nCurLight));
            SetLightFromSlider(scene.m_lights[static_cast<size_t>(m_nCurLight)], id,
                               slider->sliderPosition());
        }
        SetModified();
    } else if (m_nCurTab == kMaterialTab) {
        if (!IsIndexOf(m_nCurMaterial, scene.m_materials)) return;
        if (dragged && IsMaterialSlider(id)) {
            beginDrag(MaterialRecord(m_nCurMaterial));
            SetMaterialFromSlider(scene.m_materials[static_cast<size_t>(m_nCurMaterial)], id,
                                  slider->sliderPosition());
        }
        SetModified();
    }
    UpdateSliders();
    UpdateCurrentInfo();
    emit SceneChanged();
}

// The tree lines follow the model when the mouse or the key lets the slider go.
void CObjectParamDlg::OnSliderReleased(int id) {
    m_history.Commit(m_sliderStep, m_scene);
    m_sliderStep = 0;
    if (IsMaterialSlider(id)) UpdateMaterialItems();
    if (IsLightSlider(id)) UpdateLightItems();
}

void CObjectParamDlg::OnApplyMaterial() {
    if (m_nCurTab != kObjectTab) return;
    Scene& scene = m_scene;
    SceneObject* current = scene.CurrentObject();
    // Without an object or a material there is nothing to apply.
    if (!current || !IsIndexOf(m_nCurMaterial, scene.m_materials)) return;
    SceneObject& object = *current;
    const SceneMaterial& material = scene.m_materials[static_cast<size_t>(m_nCurMaterial)];
    if (!m_prompts.AskYesNo("Really want to set Material:" + material.name +
                            " to Object:" + object.name + "?"))
        return;
    ApplyMaterialToObject(scene, m_history, scene.m_settings.currentObject, m_nCurMaterial);
    emit SceneChanged();
    SetModified();
}

// A click (or the space bar) leaves the box checked or not, with the focus, and asks at once,
// whichever window had the keyboard before; the answer Yes gives the object the shading the box
// now shows. A box set from the scene (a selection, an undo) is no click and asks nothing.
void CObjectParamDlg::OnSmoothFlat() {
    if (m_nCurTab != kObjectTab) return;
    Scene& scene = m_scene;
    SceneObject* object = scene.CurrentObject();
    if (!object) return;
    m_controls.smoothFlat->setFocus(Qt::MouseFocusReason);
    const bool smooth = m_controls.smoothFlat->isChecked();
    const std::string mode = smooth ? "smooth" : "flat";
    if (!m_prompts.AskYesNo("Really want to set Object:" + object->name + " to " + mode + " mode?"))
        return;
    m_history.Record(scene,
                     {{ObjectRecord(scene.m_settings.currentObject), steplabel::kSmoothFlat}},
                     [&] { object->smooth = smooth ? 1 : 0; });
    emit SceneChanged();
    SetModified();
}

// As Smooth/Flat, for the selected light; its tree lines are rewritten whatever the answer.
void CObjectParamDlg::OnLightOnOff() {
    Scene& scene = m_scene;
    if (!IsIndexOf(m_nCurLight, scene.m_lights) || m_nCurTab != kLightTab) return;
    SceneLight& light = scene.m_lights[static_cast<size_t>(m_nCurLight)];
    const bool on = m_controls.lightOnOff->isChecked();
    m_controls.lightOnOff->setFocus(Qt::MouseFocusReason);
    if (m_prompts.AskYesNo("Really want to set Light:" + light.name + (on ? " on?" : " off?"))) {
        m_history.Record(scene, {{LightRecord(m_nCurLight), steplabel::kLightOnOff}},
                         [&] { light.on = on ? 1 : 0; });
        emit SceneChanged();
        SetModified();
    }
    UpdateLightItems();
}

void CObjectParamDlg::OnCameraSelChange(int index) {
    Scene& scene = m_scene;
    if (!IsIndexOf(index, scene.m_cameras)) return;
    m_history.Record(scene, {{CurrentCameraRecord(), steplabel::kCurrentCamera}},
                     [&] { scene.m_settings.currentCamera = index; });
    emit SceneChanged();
}

void CObjectParamDlg::OnNoteChange() {
    if (m_fillingNote) return;
    m_bNoteModified = true;
    UpdateControlStates();
}

void CObjectParamDlg::OnApplyNote() {
    Prompts& prompts = m_prompts;
    Scene& scene = m_scene;
    SceneObject* current = scene.CurrentObject();
    if (!current) {
        prompts.Notice("There is no object to apply new content.", NoticeIcon::Warning);
        return;
    }
    SceneObject& object = *current;
    if (!prompts.AskYesNo("Really want to apply new content to:" + object.name)) return;
    m_bNoteModified = false;
    // Line breaks are stored as the program has always stored them, CR LF.
    const std::string note = m_controls.noteBox->toPlainText()
                                 .replace(QLatin1String("\n"), QLatin1String("\r\n"))
                                 .toStdString();
    m_history.Record(scene, {{ObjectRecord(scene.m_settings.currentObject), steplabel::kNoteText}},
                     [&] { object.note = note; });
    UpdateControlStates();
    emit SceneChanged();
    SetModified();
}

void CObjectParamDlg::OnSetNoteColor() {
    Prompts& prompts = m_prompts;
    Scene& scene = m_scene;
    SceneObject* current = scene.CurrentObject();
    if (!current) {
        prompts.Notice("There is no object to change note color.", NoticeIcon::Warning);
        return;
    }
    const std::optional<RGB8> color = prompts.ChooseColor();
    if (!color) return;
    m_history.Record(scene, {{ObjectRecord(scene.m_settings.currentObject), steplabel::kNoteColor}},
                     [&] { current->noteColor = *color; });
    emit SceneChanged();
    SetModified();
}

void CObjectParamDlg::OnSetFont() {
    Scene& scene = m_scene;
    const std::optional<LogFont> font = m_prompts.ChooseFont(scene.m_settings.textFont);
    if (!font) return;
    m_history.Record(scene, {{LabelFontRecord(), steplabel::kLabelFont}},
                     [&] { scene.m_settings.textFont = *font; });
    emit TextFontChanged();
    SetModified();
}

void CObjectParamDlg::OnSetBackground() {
    const std::optional<RGB8> color = m_prompts.ChooseColor();
    if (!color) return;
    Scene& scene = m_scene;
    m_history.Record(scene, {{BackgroundRecord(), steplabel::kBackground}},
                     [&] { scene.m_settings.background = *color; });
    emit SceneChanged();
    SetModified();
}
