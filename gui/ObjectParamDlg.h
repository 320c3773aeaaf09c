// The floating "Set object parameter" panel: four tabs (Object, Material, Light, Notes) whose
// trees, camera list and texts mirror the scene, and the sliders, check boxes and buttons that
// edit it. Holds no scene data; every control is placed by the panel's own layout arithmetic.
// ObjectParamDlg.cpp places the controls and wires them, ObjectParamShowing.cpp shows the scene
// and follows the trees' selections, ObjectParamEditing.cpp edits the scene.
#pragma once

#include <QDialog>

#include "PanelControls.h"
#include "commands/Prompts.h"
#include "history/EditHistory.h"
#include "panel/PanelLayout.h"

class CObjectParamDlg : public QDialog {
    Q_OBJECT

public:
    // The panel shows and edits scene, asks through prompts and records its edits in history.
    CObjectParamDlg(Scene& scene, Prompts& prompts, EditHistory& history, QWidget* parent);
    ~CObjectParamDlg() override;

    // Rebuilds trees, camera list and texts from the scene; the first material and light become
    // the panel's selected ones.
    void RefreshTrees();
    // Empties trees, camera list and texts; the note box keeps its text.
    void ClearPanel();
    // Sliders show the selected material's or light's values on their tabs.
    void UpdateSliders();
    void UpdateCurrentInfo();
    // Places the current tab's controls from the client size and hides all others.
    void LayoutTab();
    void HideAllControls();
    // After an undo or a redo: every tree line, text, check box, slider and the camera list show
    // the scene as it now is. Text typed into the note box and not applied yet stays there.
    void ShowRestoredScene();
    // The object tree's names of hidden objects greyed, the others as the tree draws them.
    void MarkHiddenObjects();
    // Sliders, buttons and check boxes without their record disabled and showing nothing; the
    // others enabled ("Apply change" only while the note box holds typing to apply).
    void UpdateControlStates();
    // The selected material's or light's tree lines rewritten from the scene.
    void UpdateMaterialItems();
    void UpdateLightItems();

    // The panel becomes the active window, the keyboard on the control that last had it there,
    // else on the tabs.
    void TakeKeyboard();
    // Makes the object of this index current and shows it in the object tree and the texts, as
    // choosing it in the tree does.
    void SelectObject(int index);
    // Shows the tab by tabs further on (back when negative), round from the last to the first.
    void StepTab(int by);

    // The control of a template id (for the frame's tests and the layout).
    QWidget* Control(int id) const { return m_controls.Control(id); }
    const panel::DialogUnits& Units() const { return m_units; }

    int m_nCurTab = 0;
    int m_nCurMaterial = -1;
    int m_nCurLight = -1;
    bool m_bNoteModified = false;

signals:
    // The user closed the panel: the window hides it.
    void CloseAsked();
    // The scene changed: the view is to draw it at once (lights, projection, one frame).
    void SceneChanged();
    // The scene's label font changed: the view is to take it and draw one frame.
    void TextFontChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectControls();

    void OnTabSelChange(int index);
    void OnObjectTreeSelChanged();
    void OnMaterialTreeSelChanged();
    void OnLightTreeSelChanged();
    // The record index a tree's selection resolves to, or -1.
    template <class List>
    int SelectedRecord(QTreeWidget* tree, const List& records) const;

    // Editing (sliders, check boxes, buttons).
    void OnSliderAction(int id, int action);
    void OnSliderReleased(int id);
    void OnApplyMaterial();
    void OnSmoothFlat();
    void OnLightOnOff();
    void OnCameraSelChange(int index);
    void OnNoteChange();
    void OnApplyNote();
    void OnSetNoteColor();
    void OnSetFont();
    void OnSetBackground();
    void SetModified();

    Scene& m_scene;
    Prompts& m_prompts;
    EditHistory& m_history;
    panel::DialogUnits m_units;
    PanelControls m_controls;
    bool m_fillingNote = false;  // the note box is being filled from the scene, not edited
    EditHistory::StepId m_sliderStep = 0;  // the step of the slider drag going on
};
