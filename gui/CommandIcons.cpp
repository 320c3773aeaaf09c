#include "CommandIcons.h"

#include <map>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include "commands/CommandIds.h"

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(250, 250, 245);
const QColor kAccent(40, 110, 200);

// A small triangle mesh, the program's own motif.
void Mesh(QPainter& p, const QColor& fill, bool edges, bool points) {
    const QPointF a(5, 26), b(27, 24), c(14, 5), d(24, 9);
    if (fill.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPolygon(QPolygonF({a, b, c}));
        p.setBrush(fill.darker(130));
        p.drawPolygon(QPolygonF({b, d, c}));
    }
    if (edges) {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF({a, b, c}));
        p.drawLine(b, d);
        p.drawLine(d, c);
    }
    if (points) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (const QPointF& q : {a, b, c, d})
            p.drawEllipse(q, 2.2, 2.2);
    }
}

void Page(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF(
        {QPointF(7, 3), QPointF(20, 3), QPointF(26, 9), QPointF(26, 29), QPointF(7, 29)}));
    p.drawLine(QPointF(20, 3), QPointF(20, 9));
    p.drawLine(QPointF(20, 9), QPointF(26, 9));
}

void Disk(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(8, 18, 16, 10));
}

void Grid(QPainter& p) {
    p.setPen(QPen(QColor(150, 150, 220), 1.2));
    for (int i = 0; i <= 4; ++i) {
        p.drawLine(QPointF(4 + 6 * i, 4), QPointF(4 + 6 * i, 28));
        p.drawLine(QPointF(4, 4 + 6 * i), QPointF(28, 4 + 6 * i));
    }
}

void Eye(QPainter& p) {
    QPainterPath eye;
    eye.moveTo(3, 16);
    eye.quadTo(16, 4, 29, 16);
    eye.quadTo(16, 28, 3, 16);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(eye);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(16, 16), 5, 5);
}

void DrawNewButton(QPainter& p) {
    Page(p);
    p.setPen(QPen(kAccent, 2));
    p.drawLine(QPointF(12, 19), QPointF(21, 19));
    p.drawLine(QPointF(16.5, 14.5), QPointF(16.5, 23.5));
}

void DrawOpen(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(235, 190, 80));
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(14, 11), QPointF(27, 11),
                             QPointF(27, 27), QPointF(3, 27)}));
    p.setBrush(QColor(250, 215, 110));
    p.drawPolygon(QPolygonF({QPointF(3, 27), QPointF(8, 15), QPointF(31, 15), QPointF(27, 27)}));
}

void DrawSaveAs(QPainter& p) {
    Disk(p);
    p.setPen(QPen(QColor(200, 60, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 30), QPointF(30, 18));
}

void DrawPlay(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(60, 170, 80));
    p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
}

void DrawVertexMode(QPainter& p) {
    Mesh(p, QColor(), false, true);
}

void DrawLineMode(QPainter& p) {
    Mesh(p, QColor(), true, false);
}

void DrawFlatMode(QPainter& p) {
    Mesh(p, QColor(120, 160, 210), true, false);
}

void DrawSmoothMode(QPainter& p) {
    QRadialGradient shade(QPointF(12, 12), 16);
    shade.setColorAt(0, QColor(230, 240, 255));
    shade.setColorAt(1, kAccent.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QPointF(16, 16), 12, 12);
}

void DrawShowLight(QPainter& p) {
    p.setPen(QPen(QColor(200, 170, 0), 2));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, 9), QPointF(0, 14));
        p.restore();
    }
    p.setBrush(QColor(255, 230, 0));
    p.drawEllipse(QPointF(16, 16), 6, 6);
}

void DrawShowBox(QPainter& p) {
    p.setPen(QPen(QColor(200, 50, 50), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5, 11, 16, 16));
    p.drawRect(QRectF(11, 5, 16, 16));
    p.drawLine(QPointF(5, 11), QPointF(11, 5));
    p.drawLine(QPointF(21, 11), QPointF(27, 5));
    p.drawLine(QPointF(21, 27), QPointF(27, 21));
    p.drawLine(QPointF(5, 27), QPointF(11, 21));
}

// The program's mesh with a checked image laid on its faces.
void DrawShowTextures(QPainter& p) {
    QPixmap checks(8, 8);
    checks.fill(kPaper);
    QPainter tile(&checks);
    tile.fillRect(0, 0, 4, 4, QColor(220, 120, 40));
    tile.fillRect(4, 4, 4, 4, QColor(220, 120, 40));
    tile.end();
    const QPointF a(5, 26), b(27, 24), c(14, 5), d(24, 9);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QBrush(checks));
    p.drawPolygon(QPolygonF({a, b, c}));
    p.drawPolygon(QPolygonF({b, d, c}));
}

void DrawTopView(QPainter& p) {
    Grid(p);
    p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 6), QPointF(16, 22));
    p.drawLine(QPointF(10, 16), QPointF(16, 24));
    p.drawLine(QPointF(22, 16), QPointF(16, 24));
}

void DrawCameraView(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(3, 10, 19, 14), 2, 2);
    p.drawPolygon(QPolygonF({QPointF(22, 14), QPointF(29, 10), QPointF(29, 24), QPointF(22, 20)}));
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(12, 17), 4, 4);
}

void DrawResetViewpoint(QPainter& p) {
    p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 290 * 16);
    p.setBrush(kAccent);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(20, 2), QPointF(27, 9), QPointF(18, 11)}));
}

// A box with the four corners of the picture drawn in around it.
void DrawFitWholeScene(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(10, 10, 12, 12));
    p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::SquareCap));
    for (const QPointF& corner : {QPointF(3, 3), QPointF(29, 3), QPointF(29, 29), QPointF(3, 29)}) {
        const double dx = corner.x() < 16 ? 6 : -6, dy = corner.y() < 16 ? 6 : -6;
        p.drawLine(corner, corner + QPointF(dx, 0));
        p.drawLine(corner, corner + QPointF(0, dy));
    }
}

void DrawSetTextFont(QPainter& p) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("A"));
}

void DrawShowText(QPainter& p) {
    p.setPen(QPen(QColor(216, 216, 216)));
    p.drawLine(3, 6, 9, 6);
    p.drawLine(3, 6, 3, 12);
    p.setPen(QPen(QColor(64, 64, 64)));
    p.drawLine(10, 6, 10, 13);
    p.drawLine(3, 13, 10, 13);
    QFont font;
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(60, 150, 150));
    p.drawText(QRectF(3, 8, 29, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Abc"));
}

void DrawShowPanel(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3, 4, 26, 24));
    p.setBrush(kAccent);
    p.drawRect(QRectF(17, 8, 10, 18));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(3, 4, 26, 4));
}

void DrawAppAbout(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    QFont font;
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
}

// Each toolbar command's picture; a command without one has a blank picture.
const std::map<int, void (*)(QPainter&)>& Pictures() {
    static const std::map<int, void (*)(QPainter&)> pictures = {
        {cmd::kNewButton, DrawNewButton},
        {cmd::kOpen, DrawOpen},
        {cmd::kSave, Disk},
        {cmd::kSaveAs, DrawSaveAs},
        {cmd::kPlay, DrawPlay},
        {cmd::kVertexMode, DrawVertexMode},
        {cmd::kLineMode, DrawLineMode},
        {cmd::kFlatMode, DrawFlatMode},
        {cmd::kSmoothMode, DrawSmoothMode},
        {cmd::kShowGrid, Grid},
        {cmd::kShowLight, DrawShowLight},
        {cmd::kShowBox, DrawShowBox},
        {cmd::kShowTextures, DrawShowTextures},
        {cmd::kDefaultViewPoint, Eye},
        {cmd::kTopView, DrawTopView},
        {cmd::kCameraView, DrawCameraView},
        {cmd::kResetViewpoint, DrawResetViewpoint},
        {cmd::kFitWholeScene, DrawFitWholeScene},
        {cmd::kSetTextFont, DrawSetTextFont},
        {cmd::kShowText, DrawShowText},
        {cmd::kShowPanel, DrawShowPanel},
        {cmd::kAppAbout, DrawAppAbout},
    };
    return pictures;
}

}  // namespace

QIcon CommandIcon(int id) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto picture = Pictures().find(id);
    if (picture != Pictures().end()) picture->second(painter);
    return QIcon(pixmap);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(45, 60, 90));
        painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        Mesh(painter, QColor(235, 170, 60), true, false);
        icon.addPixmap(pixmap);
    }
    return icon;
}
