#include "panel/PanelLayout.h"

#include <algorithm>

namespace panel {

void PanelClientSize(const DialogUnits& units, int& width, int& height) {
    width = units.X(147);
    height = units.Y(234);
}

namespace {

void ObjectTab(std::vector<ControlRect>& r, int W, int H) {
    r.push_back({kObjectTree, W / 40, 8 * H / 80 - 5, 76 * W / 80, 27 * H / 80});
    r.push_back({kObjectText, W / 40, 35 * H / 80 - 4, 38 * W / 40, 20});
    r.push_back({kSmoothFlat, W / 40, 35 * H / 80 + 17, 76 * W / 80, 3 * H / 80 - 2});
    r.push_back({kApplyMaterial, W / 40, 38 * H / 80 + 17, 76 * W / 80, 18});
    r.push_back({kMaterialText, W / 40, 38 * H / 80 + 36, 38 * W / 40, 20});
    r.push_back({kMaterialTree, W / 40, 38 * H / 80 + 57, 76 * W / 80, 40 * H / 80 - 58});
}

void MaterialTab(std::vector<ControlRect>& r, int W, int H, const DialogUnits& u) {
    r.push_back({kMaterialTree, W / 40, 8 * H / 80 - 5, 76 * W / 80, 30 * H / 80 + 19});
    r.push_back({kMaterialText, W / 40, 38 * H / 80 + 15, 38 * W / 40, 20});
    // Each slider with the swatch of its channel below it.
    const struct {
        int slider, sliderX, swatch, swatchX;
    } columns[] = {
        {kSpecularRed, 2 * W / 80, kSwatchRed, W / 40 + 1},
        {kSpecularGreen, 8 * W / 80, kSwatchGreen, 4 * W / 40 + 1},
        {kSpecularBlue, 14 * W / 80, kSwatchBlue, 7 * W / 40 + 1},
        {kDiffuseRed, 22 * W / 80, kSwatchRed2, 11 * W / 40 + 1},
        {kDiffuseGreen, 28 * W / 80, kSwatchGreen2, 14 * W / 40 + 1},
        {kDiffuseBlue, 34 * W / 80, kSwatchBlue2, 17 * W / 40 + 1},
        {kAmbientRed, 42 * W / 80, kSwatchRed3, 21 * W / 40 + 1},
        {kAmbientGreen, 48 * W / 80, kSwatchGreen3, 24 * W / 40 + 1},
        {kAmbientBlue, 54 * W / 80, kSwatchBlue3, 27 * W / 40 + 1},
        {kShininess, 64 * W / 80, 0, 0},
        {kTransparency, 71 * W / 80, 0, 0},
    };
    for (const auto& c : columns) {
        r.push_back({c.slider, c.sliderX, 38 * H / 80 + 58, 6 * W / 80, 37 * H / 80 - 58});
        if (c.swatch) r.push_back({c.swatch, c.swatchX, 75 * H / 80, 2 * W / 40, 3 * H / 80 - 2});
    }
    // The group labels keep their places of the template.
    r.push_back({kSpecularLabel, u.X(5), u.Y(134), u.X(24), u.Y(8)});
    r.push_back({kDiffuseLabel, u.X(41), u.Y(134), u.X(22), u.Y(8)});
    r.push_back({kAmbientLabel, u.X(78), u.Y(134), u.X(25), u.Y(8)});
    r.push_back({kShTrLabel, u.X(119), u.Y(134), u.X(20), u.Y(8)});
}

void LightTab(std::vector<ControlRect>& r, int W, int H) {
    r.push_back({kLightTree, W / 40, 8 * H / 80 - 5, 76 * W / 80, 25 * H / 80 + 41});
    r.push_back({kLightText, W / 40, 33 * H / 80 + 37, 38 * W / 40, 20});
    r.push_back({kLightOnOff, W / 40, 33 * H / 80 + 60, 76 * W / 80, 20});
    const int sliderY = 38 * H / 80 + 58, sliderH = 37 * H / 80 - 58;
    r.push_back({kLightRed, W / 40, sliderY, 4 * W / 40, sliderH});
    r.push_back({kLightGreen, 6 * W / 40, sliderY, 4 * W / 40, sliderH});
    r.push_back({kLightBlue, 11 * W / 40, sliderY, 4 * W / 40, sliderH});
    r.push_back({kSwatchRed, W / 40, 75 * H / 80, 3 * W / 40, 3 * H / 80 - 2});
    r.push_back({kSwatchGreen, 6 * W / 40, 75 * H / 80, 3 * W / 40, 3 * H / 80 - 2});
    r.push_back({kSwatchBlue, 11 * W / 40, 75 * H / 80, 3 * W / 40, 3 * H / 80 - 2});
    r.push_back({kCameraList, 17 * W / 40, 38 * H / 80 + 58, 22 * W / 40, 28 * H / 80 - 58});
    r.push_back({kCameraLabel, 17 * W / 40, 33 * H / 80 + 60, 22 * W / 40, 20});
    r.push_back({kSetBackground, 17 * W / 40, 42 * H / 80 + 61, 22 * W / 40, 20});
}

void NotesTab(std::vector<ControlRect>& r, int W, int H) {
    r.push_back({kObjectTree, W / 40, 8 * H / 80 - 5, 76 * W / 80, 27 * H / 80});
    r.push_back({kObjectText, W / 40, 35 * H / 80 - 4, 38 * W / 40, 20});
    r.push_back({kNoteBox, W / 40, 35 * H / 80 + 25, 38 * W / 40, 35 * H / 80});
    r.push_back({kSetColor, W / 40, 70 * H / 80 + 26, 12 * W / 40, 4 * H / 80});
    r.push_back({kApplyNote, 13 * W / 40 + 1, 70 * H / 80 + 26, 12 * W / 40, 4 * H / 80});
    r.push_back({kSetFont, 25 * W / 40 + 1, 70 * H / 80 + 26, 12 * W / 40, 4 * H / 80});
}

}  // namespace

std::vector<ControlRect> LayoutTab(int tab, int width, int height, const DialogUnits& units) {
    std::vector<ControlRect> rects;
    rects.push_back({kTab, width / 80, height / 80, 79 * width / 80, 39 * height / 40});
    switch (tab) {
        case kObjectTab:
            ObjectTab(rects, width, height);
            break;
        case kMaterialTab:
            MaterialTab(rects, width, height, units);
            break;
        case kLightTab:
            LightTab(rects, width, height);
            break;
        case kNotesTab:
            NotesTab(rects, width, height);
            break;
        default:
            break;
    }
    return rects;
}

namespace {

bool TakesKeyboard(int id) {
    switch (id) {
        case kObjectTree:
        case kMaterialTree:
        case kLightTree:
        case kSmoothFlat:
        case kLightOnOff:
        case kApplyMaterial:
        case kSetColor:
        case kApplyNote:
        case kSetFont:
        case kSetBackground:
        case kNoteBox:
        case kCameraList:
            return true;
        default:
            return id >= kShininess && id <= kLightBlue;  // the sliders
    }
}

}  // namespace

std::vector<int> FocusOrder(const std::vector<ControlRect>& layout) {
    constexpr int kSameRow = 4;  // pixels
    std::vector<ControlRect> shown;
    for (const ControlRect& r : layout)
        if (TakesKeyboard(r.id)) shown.push_back(r);
    const auto byTop = [](const ControlRect& a, const ControlRect& b) { return a.y < b.y; };
    std::stable_sort(shown.begin(), shown.end(), byTop);
    // Each row starts at the highest control not yet placed; its members go left to right.
    const auto byLeft = [](const ControlRect& a, const ControlRect& b) { return a.x < b.x; };
    for (auto row = shown.begin(); row != shown.end();) {
        const int top = row->y;
        auto end = row;
        while (end != shown.end() && end->y <= top + kSameRow)
            ++end;
        std::stable_sort(row, end, byLeft);
        row = end;
    }
    std::vector<int> ids;
    for (const ControlRect& r : shown)
        ids.push_back(r.id);
    return ids;
}

}  // namespace panel
