// The parameter panel's controls, built once on the panel and hidden until its layout places
// them. Each is known by its template id; the panel connects them and fills them from the scene.
#pragma once

#include <map>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTreeWidget;
class QWidget;

struct PanelControls {
    std::map<int, QWidget*> byId;
    QTabBar* tab = nullptr;     // the tabs along the top of the tab control
    QFrame* tabPane = nullptr;  // the framed pane below them
    QTreeWidget* objectTree = nullptr;
    QTreeWidget* materialTree = nullptr;
    QTreeWidget* lightTree = nullptr;
    QLabel* objectText = nullptr;
    QLabel* materialText = nullptr;
    QLabel* lightText = nullptr;
    QCheckBox* smoothFlat = nullptr;
    QCheckBox* lightOnOff = nullptr;
    QPushButton* applyMaterial = nullptr;
    QPushButton* setColor = nullptr;
    QPushButton* applyNote = nullptr;
    QPushButton* setFont = nullptr;
    QPushButton* setBackground = nullptr;
    QPlainTextEdit* noteBox = nullptr;
    QComboBox* cameraList = nullptr;

    // The control of a template id, or null.
    QWidget* Control(int id) const;
};

// Builds every control on panel, in the order that gives the panel its keyboard focus chain.
PanelControls BuildPanelControls(QWidget* panel);

// The sliders of the Material tab and of the Light tab.
extern const int kMaterialSliders[11];
extern const int kLightSliders[3];
