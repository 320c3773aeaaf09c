// The widths of the status bar's panes: each keeps its own width, and grows when its text needs
// more room in the font it is drawn with, so no text is cut off.
#pragma once

class QLabel;

constexpr int kFrameRatePaneWidth = 150;
constexpr int kStatisticsPaneWidth = 399;

// Sets the pane's width to leastWidth, or to what its current text needs when that is more.
void FitPaneToText(QLabel* pane, int leastWidth);
