// Where the parameter panel rides on the main window, the least size of the window at which the
// status bar's panes and the panel keep their places, and the first window's size on a small
// screen.
#pragma once

namespace panel {

struct ScreenRect {
    int x, y, width, height;
};

// The panel's top-left corner: 7 pixels in from the frame's right edge and 99 below its top. When
// that would put part of the panel off the screen's available area, it is moved just as far as
// needed to be on it (the left and top edges win on a screen too small for it).
void PanelPosition(const ScreenRect& frame, int panelWidth, int panelHeight,
                   const ScreenRect& screen, int& x, int& y);

// What the window's least size is made of, in pixels.
struct WindowParts {
    int statusWidth;  // the message pane's "Ready" beside the frame-rate and statistics panes
    int panelWidth;   // the panel's frame
    int panelHeight;
    int titleHeight;   // from the frame's top edge to the top of the window's client area
    int statusHeight;  // the status bar at the bottom of the client area
    int borderWidth;   // the frame's border on each side of the client area
};

// The least client size: wide enough for the status panes and the panel with a gap of 7 pixels
// on either side; tall enough that the panel ends above the status bar. The toolbar's buttons
// that do not fit go behind its extension arrow.
void MinimumClientSize(const WindowParts& parts, int& width, int& height);

// The first window's client size: the default, made smaller where the frame (the client and the
// decoration around it) would reach past the screen's available area, and never below the least
// size.
void FirstClientSize(int defaultWidth, int defaultHeight, int decorationWidth, int decorationHeight,
                     const ScreenRect& available, int leastWidth, int leastHeight, int& width,
                     int& height);

}  // namespace panel
