// The note label drawn on a finished frame in the framebuffer, the same way in the window and in
// pictures drawn without one: the frame's pixels under the label are read back, the label is
// painted on them with the raster painter, and they are written back, all through GlApi.
#pragma once

#include <QFont>

#include "view/GlApi.h"
#include "view/NoteLabel.h"

// pixelRatio: framebuffer pixels per view pixel; the label's coordinates are view pixels.
// Draws nothing in a context that cannot write pixels back at a window position.
void DrawNoteLabel(GlApi& gl, const NoteLabel& label, const QFont& font, double pixelRatio);
