#include "NoteLabelDrawing.h"

#include <QImage>
#include <QPainter>

#include "LabelPainting.h"

void DrawNoteLabel(GlApi& gl, const NoteLabel& label, const QFont& font, double pixelRatio) {
    const QRect area = NoteLabelArea(label, font);
    if (area.isEmpty() || !gl.HasWindowPos()) return;
    const QRect pixels(
        QPoint(qRound(area.left() * pixelRatio), qRound(area.top() * pixelRatio)),
        QSize(qRound(area.width() * pixelRatio), qRound(area.height() * pixelRatio)));
    const int frameHeight = qRound(label.viewHeight * pixelRatio);
    const int bottom = frameHeight - pixels.bottom() - 1;  // OpenGL counts rows from the bottom

    QImage patch(pixels.size(), QImage::Format_RGBA8888);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.ReadPixels(pixels.left(), bottom, pixels.width(), pixels.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                  patch.bits());
    patch = patch.mirrored().convertToFormat(QImage::Format_RGB32);
    patch.setDevicePixelRatio(pixelRatio);
    {
        QPainter painter(&patch);
        painter.translate(-area.topLeft());
        PaintNoteLabel(painter, label, font);
    }
    patch = patch.convertToFormat(QImage::Format_RGBA8888).mirrored();

    // Written back as it is: no depth test, blending or lighting on the way, and the states
    // restored for the frames that follow.
    const GLenum states[3] = {GL_DEPTH_TEST, GL_BLEND, GL_LIGHTING};
    GLboolean enabled[3];
    for (int i = 0; i < 3; ++i) {
        enabled[i] = gl.IsEnabled(states[i]);
        gl.Disable(states[i]);
    }
    gl.WindowPos2i(pixels.left(), bottom);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.DrawPixels(pixels.width(), pixels.height(), GL_RGBA, GL_UNSIGNED_BYTE, patch.constBits());
    for (int i = 0; i < 3; ++i) {
        if (enabled[i]) gl.Enable(states[i]);
    }
}
