// The current object's note as the view draws it on top of a finished frame: an 8 x 8 handle at
// (x, y) and the text from there, clipped to the view.
#pragma once

#include <string>

#include "scene/Scene.h"

struct NoteLabel {
    std::string text;  // line breaks kept
    RGB8 color;
    int x = 0, y = 0;                   // the handle's and the text's top-left corner
    int viewWidth = 0, viewHeight = 0;  // the text is clipped to (x, y) - (viewWidth, viewHeight)
};

// The label of the current object, or false when there is none.
bool MakeNoteLabel(const Scene& scene, int viewWidth, int viewHeight, NoteLabel& label);
