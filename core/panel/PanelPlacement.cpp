#include "panel/PanelPlacement.h"

#include <algorithm>

namespace panel {

namespace {

constexpr int kRightGap = 7;  // from the panel's right edge to the frame's
constexpr int kTopGap = 99;   // from the frame's top edge to the panel's

// start moved onto [low, low + room) as far as needed for size to fit; low wins when it cannot.
int Within(int start, int size, int low, int room) {
    return std::max(low, std::min(start, low + room - size));
}

}  // namespace

void PanelPosition(const ScreenRect& frame, int panelWidth, int panelHeight,
                   const ScreenRect& screen, int& x, int& y) {
    x = Within(frame.x + frame.width - panelWidth - kRightGap, panelWidth, screen.x, screen.width);
    y = Within(frame.y + kTopGap, panelHeight, screen.y, screen.height);
}

void MinimumClientSize(const WindowParts& p, int& width, int& height) {
    width = std::max(p.statusWidth, p.panelWidth + 2 * kRightGap - 2 * p.borderWidth);
    height = kTopGap + p.panelHeight - p.titleHeight + p.statusHeight;
}

void FirstClientSize(int defaultWidth, int defaultHeight, int decorationWidth, int decorationHeight,
                     const ScreenRect& available, int leastWidth, int leastHeight, int& width,
                     int& height) {
    width = std::max(leastWidth, std::min(defaultWidth, available.width - decorationWidth));
    height = std::max(leastHeight, std::min(defaultHeight, available.height - decorationHeight));
}

}  // namespace panel
