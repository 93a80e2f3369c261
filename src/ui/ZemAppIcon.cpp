#include "ui/ZemAppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zem {

namespace {

// The drawing is laid out on a 256 x 256 grid, the same as data/zemmap.svg.
constexpr qreal kGrid = 256.0;
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QPolygonF Panel(qreal X0, qreal Y0, qreal X1, qreal Y1) {
    // A panel of the folded sheet: its top and bottom edges slant the other way from its neighbours.
    return QPolygonF({QPointF(X0, Y0), QPointF(X1, Y1), QPointF(X1, Y1 + 184), QPointF(X0, Y0 + 184)});
}

} // namespace

void PaintAppIcon(QPainter& P, int Size) {
    P.save();
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / kGrid, Size / kGrid);

    const QColor Outline(0x5B, 0x6B, 0x4A);
    const QPen Rim(Outline, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    P.setPen(Rim);
    P.setBrush(QColor(0xE8, 0xF1, 0xD8));
    P.drawPolygon(Panel(24, 56, 96, 32));
    P.setBrush(QColor(0xD4, 0xE4, 0xBE));
    P.drawPolygon(Panel(96, 32, 160, 56));
    P.setBrush(QColor(0xE8, 0xF1, 0xD8));
    P.drawPolygon(Panel(160, 56, 232, 32));

    QPainterPath River;
    River.moveTo(27, 150);
    River.cubicTo(70, 128, 120, 192, 229, 140);
    P.setPen(QPen(QColor(0x5A, 0xA0, 0xD8), 10, Qt::SolidLine, Qt::RoundCap));
    P.setBrush(Qt::NoBrush);
    P.drawPath(River);

    QPen Route(QColor(0xD9, 0x44, 0x2B), 8, Qt::CustomDashLine, Qt::RoundCap, Qt::RoundJoin);
    Route.setDashPattern({14.0 / 8, 10.0 / 8}); // in pen widths
    P.setPen(Route);
    P.drawPolyline(QPolygonF({QPointF(48, 204), QPointF(96, 164), QPointF(140, 180), QPointF(196, 116)}));

    QPainterPath Pin;
    Pin.moveTo(196, 124);
    Pin.cubicTo(180, 100, 166, 90, 166, 72);
    Pin.arcTo(QRectF(166, 42, 60, 60), 180, -180);
    Pin.cubicTo(226, 90, 212, 100, 196, 124);
    Pin.closeSubpath();
    P.setPen(QPen(QColor(0x7A, 0x1F, 0x12), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(QColor(0xD9, 0x44, 0x2B));
    P.drawPath(Pin);
    P.setPen(Qt::NoPen);
    P.setBrush(Qt::white);
    P.drawEllipse(QPointF(196, 72), 11, 11);
    P.restore();
}

QIcon ZemAppIcon() {
    QIcon Icon;
    for (int Size : kSizes) {
        QPixmap Pixmap(Size, Size);
        Pixmap.fill(Qt::transparent);
        QPainter P(&Pixmap);
        PaintAppIcon(P, Size);
        P.end();
        Icon.addPixmap(Pixmap);
    }
    return Icon;
}

} // namespace zem
