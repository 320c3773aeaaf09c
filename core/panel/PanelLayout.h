// Where the parameter panel's controls go on each tab, from the panel's client size alone, in
// integer pixels: kW/n is (k x W) / n with the remainder dropped.
#pragma once

#include <vector>

namespace panel {

// Control ids of the panel.
enum ControlId {
    kTab = 1004,
    kSmoothFlat = 1010,
    kObjectTree = 1014,
    kMaterialTree = 1015,
    kApplyMaterial = 1019,
    kSwatchRed = 1020,
    kSwatchGreen = 1021,
    kSwatchBlue = 1022,
    kObjectText = 1023,
    kMaterialText = 1024,
    kLightText = 1025,
    kLightTree = 1026,
    kLightOnOff = 1027,
    kHiddenTree = 1028,
    kSwatchRed2 = 1032,
    kSwatchRed3 = 1033,
    kSwatchGreen2 = 1034,
    kSwatchGreen3 = 1035,
    kSwatchBlue2 = 1036,
    kSwatchBlue3 = 1037,
    kAmbientLabel = 1038,
    kDiffuseLabel = 1039,
    kSpecularLabel = 1040,
    kShTrLabel = 1043,
    kShininess = 1045,
    kTransparency = 1046,
    kAmbientBlue = 1047,
    kAmbientGreen = 1048,
    kAmbientRed = 1049,
    kDiffuseRed = 1050,
    kDiffuseGreen = 1051,
    kDiffuseBlue = 1052,
    kSpecularRed = 1053,
    kSpecularGreen = 1054,
    kSpecularBlue = 1055,
    kLightRed = 1056,
    kLightGreen = 1057,
    kLightBlue = 1058,
    kNoteBox = 1059,
    kSetColor = 1060,
    kApplyNote = 1061,
    kCameraList = 1063,
    kCameraLabel = 1064,
    kSetFont = 1065,
    kSetBackground = 1066,
};

enum Tab { kObjectTab = 0, kMaterialTab = 1, kLightTab = 2, kNotesTab = 3 };

struct ControlRect {
    int id;
    int x, y, width, height;
};

// Pixels per dialog unit: a dialog unit is a quarter of the dialog font's average character
// width across and an eighth of its height down.
struct DialogUnits {
    int baseX = 7;
    int baseY = 13;

    int X(int units) const { return units * baseX / 4; }
    int Y(int units) const { return units * baseY / 8; }
};

// The panel's client size from its template of 147 x 234 dialog units.
void PanelClientSize(const DialogUnits& units, int& width, int& height);

// The tab control's place, and the shown controls of a tab with their places for a client area
// of width x height. A tab outside 0..3 shows nothing but the tab control.
std::vector<ControlRect> LayoutTab(int tab, int width, int height, const DialogUnits& units);

// The controls of a tab's layout that take the keyboard (trees, check boxes, buttons, sliders, the
// note box and the camera list) in the order they are read on screen: row by row from the top,
// each row from left to right. Controls whose tops lie within a few pixels share a row.
std::vector<int> FocusOrder(const std::vector<ControlRect>& layout);

}  // namespace panel
