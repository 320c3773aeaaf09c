// Drawing the note label with Qt: the label font from the scene's LogFont, and the handle and
// text on top of a finished frame, the same in the window and in pictures drawn without one.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "scene/SceneRecords.h"
#include "view/NoteLabel.h"

class QPainter;

// The drawable font of a LogFont: a negative height is a pixel size, the weight keeps its
// 100..900 scale. A face the system lacks ("Arial Black") falls back to a similar one.
QFont FontFromLogFont(const LogFont& logFont);

// The LogFont of a font chosen in a font dialog: face, height, weight, italic, underline and
// strike-out from the font, the other fields as they were in previous.
LogFont LogFontFromFont(const QFont& font, const LogFont& previous);

// Scene texts are byte strings: UTF-8 where they are valid UTF-8, otherwise Latin-1.
QString SceneText(const std::string& bytes);

// The part of the view the label may paint: the handle and the text with a margin for glyphs
// that reach beyond their boxes, within the view.
QRect NoteLabelArea(const NoteLabel& label, const QFont& font);

// The 8 x 8 handle (light top and left edges, dark bottom and right ones) and the note from its
// top-left corner, line breaks kept, clipped to the view.
void PaintNoteLabel(QPainter& painter, const NoteLabel& label, const QFont& font);
