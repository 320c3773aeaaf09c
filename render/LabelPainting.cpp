#include "LabelPainting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

QFont FontFromLogFont(const LogFont& f) {
    QFont font(QString::fromUtf8(f.lfFaceName.c_str()));
    const int height = f.lfHeight < 0 ? -f.lfHeight : f.lfHeight;
    font.setPixelSize(height > 0 ? height : 16);
    if (f.lfWeight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(f.lfWeight, 1, 1000)));
    font.setItalic(f.lfItalic != 0);
    font.setUnderline(f.lfUnderline != 0);
    font.setStrikeOut(f.lfStrikeOut != 0);
    constexpr uint8_t kNonAntialiasedQuality = 3;
    if (f.lfQuality == kNonAntialiasedQuality) font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

LogFont LogFontFromFont(const QFont& font, const LogFont& previous) {
    LogFont f = previous;
    std::string face = font.family().toUtf8().toStdString();
    if (face.size() > LogFont::kMaxFaceName) {
        // Cut whole characters only, so the name stays valid UTF-8.
        size_t cut = LogFont::kMaxFaceName;
        while (cut > 0 && (static_cast<unsigned char>(face[cut]) & 0xC0) == 0x80)
            --cut;
        face.resize(cut);
    }
    f.lfFaceName = face;
    const int pixels = font.pixelSize() > 0
                           ? font.pixelSize()
                           : static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    f.lfHeight = -pixels;
    f.lfWidth = 0;
    f.lfWeight = font.weight();
    f.lfItalic = font.italic() ? 1 : 0;
    f.lfUnderline = font.underline() ? 1 : 0;
    f.lfStrikeOut = font.strikeOut() ? 1 : 0;
    return f;
}

QString SceneText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text;
}

namespace {

QString DrawnText(const std::string& bytes) {
    QString text = SceneText(bytes);
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QChar('\r'), QChar('\n'));
}

QRect TextArea(const NoteLabel& label) {
    return QRect(label.x, label.y, label.viewWidth - label.x, label.viewHeight - label.y);
}

}  // namespace

QRect NoteLabelArea(const NoteLabel& label, const QFont& font) {
    const QRect view(0, 0, label.viewWidth, label.viewHeight);
    const QRect handle(label.x, label.y, 8, 8);
    const QRect area = TextArea(label);
    QRect text;
    if (!area.isEmpty()) {
        const int margin = 4 + QFontMetrics(font).height() / 4;
        text = QFontMetrics(font)
                   .boundingRect(area, Qt::AlignLeft | Qt::AlignTop, DrawnText(label.text))
                   .adjusted(-margin, -margin, margin, margin);
    }
    return (handle | text) & view;
}

void PaintNoteLabel(QPainter& painter, const NoteLabel& label, const QFont& font) {
    const int x = label.x, y = label.y;
    const QColor light(216, 216, 216), dark(64, 64, 64);
    painter.fillRect(x, y, 7, 1, light);
    painter.fillRect(x, y, 1, 7, light);
    painter.fillRect(x + 7, y, 1, 8, dark);
    painter.fillRect(x, y + 7, 8, 1, dark);

    const QRect area = TextArea(label);
    if (area.isEmpty()) return;
    const QString text = DrawnText(label.text);
    painter.save();
    painter.setClipRect(area);
    painter.setFont(font);
    painter.setPen(QColor(label.color.red, label.color.green, label.color.blue));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}
