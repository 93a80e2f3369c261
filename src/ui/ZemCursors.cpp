#include "ui/ZemCursors.h"

#include "model/ZemMap.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <algorithm>
#include <functional>

namespace zem {

namespace {

constexpr int kCursorSize = 32;

// Every shape is white with a black rim, so that it stays visible on any map colour.
void Shape(QPainter& P, const QPainterPath& Path, const QColor& Fill = Qt::white) {
    P.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(Fill);
    P.drawPath(Path);
}

// A thick stroke with a black rim: a black wide line under a narrower white one.
void RimmedLine(QPainter& P, QPointF A, QPointF B, qreal Width) {
    P.setPen(QPen(Qt::black, Width + 2.5, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(A, B);
    P.setPen(QPen(Qt::white, Width, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(A, B);
}

QCursor Make(const std::function<void(QPainter&)>& Draw, int HotX, int HotY) {
    QImage Image(kCursorSize, kCursorSize, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    {
        QPainter P(&Image);
        P.setRenderHint(QPainter::Antialiasing);
        Draw(P);
    }
    return QCursor(QPixmap::fromImage(Image), std::clamp(HotX, 0, kCursorSize - 1),
                   std::clamp(HotY, 0, kCursorSize - 1));
}

// The edge arrows: an arrow pointing up, turned by Eighths x 45 degrees about the centre; the hot spot
// is its tip.
QCursor EdgeArrow(int Eighths) {
    QPainterPath Up;
    Up.moveTo(16, 2);
    Up.lineTo(26, 13);
    Up.lineTo(20, 13);
    Up.lineTo(20, 27);
    Up.lineTo(12, 27);
    Up.lineTo(12, 13);
    Up.lineTo(6, 13);
    Up.closeSubpath();
    QTransform Turn;
    Turn.translate(16, 16);
    Turn.rotate(45.0 * Eighths);
    Turn.translate(-16, -16);
    const QPointF Tip = Turn.map(QPointF(16, 2));
    return Make([&](QPainter& P) { Shape(P, Turn.map(Up)); }, qRound(Tip.x()), qRound(Tip.y()));
}

QPainterPath Hand(bool Closed) {
    QPainterPath Path;
    Path.setFillRule(Qt::WindingFill);
    // Four fingers, long and apart when open, short knuckles when closed.
    const qreal Top[4] = {Closed ? 11.0 : 4.0, Closed ? 10.0 : 2.0, Closed ? 10.0 : 3.0, Closed ? 11.0 : 6.0};
    for (int i = 0; i < 4; ++i)
        Path.addRoundedRect(QRectF(8.5 + i * 4.5, Top[i], 4.5, 16 - Top[i] + 4), 2.2, 2.2);
    Path.addRoundedRect(QRectF(8, 14, 18, 14), 5, 5); // palm
    // The thumb, out to the side when open and folded in when closed.
    QPainterPath Thumb;
    if (Closed)
        Thumb.addRoundedRect(QRectF(5, 15, 8, 5), 2.5, 2.5);
    else {
        Thumb.moveTo(9, 24);
        Thumb.lineTo(3, 15);
        Thumb.quadTo(4, 12, 7, 14);
        Thumb.lineTo(12, 19);
        Thumb.closeSubpath();
    }
    return Path.united(Thumb);
}

QCursor Magnifier(bool Plus) {
    return Make(
        [&](QPainter& P) {
            RimmedLine(P, QPointF(19, 19), QPointF(28, 28), 4);
            QPainterPath Lens;
            Lens.addEllipse(QPointF(12, 12), 9, 9);
            Shape(P, Lens);
            P.setPen(QPen(Qt::black, 2));
            P.drawLine(QPointF(8, 12), QPointF(16, 12));
            if (Plus)
                P.drawLine(QPointF(12, 8), QPointF(12, 16));
        },
        12, 12);
}

QCursor Rotate() {
    return Make(
        [](QPainter& P) {
            QPainterPath Arc;
            Arc.arcMoveTo(QRectF(6, 6, 20, 20), 100);
            Arc.arcTo(QRectF(6, 6, 20, 20), 100, 260);
            P.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::FlatCap));
            P.drawPath(Arc);
            P.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::FlatCap));
            P.drawPath(Arc);
            // The head at the arc's end (the top), pointing on round the circle.
            QPainterPath Head;
            Head.moveTo(17, 1);
            Head.lineTo(24, 6);
            Head.lineTo(17, 11);
            Head.closeSubpath();
            Shape(P, Head);
            P.setPen(Qt::NoPen);
            P.setBrush(Qt::black);
            P.drawEllipse(QPointF(16, 16), 1.5, 1.5);
        },
        16, 16);
}

QCursor ColourPicker() {
    return Make(
        [](QPainter& P) {
            RimmedLine(P, QPointF(4, 27), QPointF(19, 12), 3.5); // the glass tube
            QPainterPath Bulb;
            Bulb.addEllipse(QPointF(24, 7), 5, 5);
            Shape(P, Bulb, QColor(40, 40, 40));
            RimmedLine(P, QPointF(16, 9), QPointF(22, 15), 2.5); // the collar
            P.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));
            P.drawLine(QPointF(2, 29), QPointF(4, 27)); // the tip
        },
        2, 29);
}

QCursor MovePoint() {
    return Make(
        [](QPainter& P) {
            RimmedLine(P, QPointF(16, 3), QPointF(16, 29), 1.5);
            RimmedLine(P, QPointF(3, 16), QPointF(29, 16), 1.5);
            QPainterPath Square;
            Square.addRect(QRectF(12.5, 12.5, 7, 7));
            Shape(P, Square, Qt::black);
            P.fillRect(QRectF(15, 15, 2, 2), Qt::white);
        },
        16, 16);
}

QCursor StandardArrow() {
    return Make(
        [](QPainter& P) {
            QPainterPath Arrow;
            Arrow.moveTo(1.5, 1.5);
            Arrow.lineTo(1.5, 23);
            Arrow.lineTo(6.5, 18);
            Arrow.lineTo(10.5, 27);
            Arrow.lineTo(14, 25.5);
            Arrow.lineTo(10, 16.5);
            Arrow.lineTo(17, 16.5);
            Arrow.closeSubpath();
            Shape(P, Arrow);
        },
        1, 1);
}

QCursor MeasureRuler() {
    return Make(
        [](QPainter& P) {
            // A ruler lying diagonally below right of the cross hair.
            P.save();
            P.translate(21, 21);
            P.rotate(-45);
            QPainterPath Ruler;
            Ruler.addRect(QRectF(-12, -4, 24, 8));
            Shape(P, Ruler, QColor(255, 236, 140));
            P.setPen(QPen(Qt::black, 1));
            for (int i = -9; i <= 9; i += 3)
                P.drawLine(QPointF(i, -4), QPointF(i, i % 2 == 0 ? 0.0 : -1.5));
            P.restore();
            RimmedLine(P, QPointF(7, 0.5), QPointF(7, 13.5), 1);
            RimmedLine(P, QPointF(0.5, 7), QPointF(13.5, 7), 1);
        },
        7, 7);
}

QCursor Drawn(int Number) {
    switch (Number) {
    case crEdgeTopLeft:
        return EdgeArrow(7);
    case crEdgeTop:
    case crEdgeTopRight:
    case crEdgeRight:
    case crEdgeBottomRight:
    case crEdgeBottom:
    case crEdgeBottomLeft:
    case crEdgeLeft:
        return EdgeArrow(Number - crEdgeTop);
    case crHand:
    case crHandClosed: {
        const QPainterPath Path = Hand(Number == crHandClosed);
        return Make([&](QPainter& P) { Shape(P, Path); }, 16, 16);
    }
    case crZoomIn:
    case crZoomOut:
        return Magnifier(Number == crZoomIn);
    case crRotate:
        return Rotate();
    case crChoiseColor:
        return ColourPicker();
    case crMovePoint:
        return MovePoint();
    case crStandard:
        return StandardArrow();
    case crMeasure:
        return MeasureRuler();
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

Qt::CursorShape SizeShape(int Number) {
    switch (Number) {
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

QCursor ZemCursor(int Number) {
    if (Number >= crSizeWE && Number <= crSizeNESW)
        return QCursor(SizeShape(Number));
    return Drawn(Number);
}

TZemCursorTable::TZemCursorTable() {
    for (int i = 0; i <= kDrawnCount; ++i)
        FDrawn[i] = ZemCursor(i);
    for (int i = 0; i < 4; ++i)
        FSizes[i] = ZemCursor(crSizeNESW - i);
}

const QCursor& TZemCursorTable::operator[](int Number) const {
    if (Number >= 1 && Number <= kDrawnCount)
        return FDrawn[Number];
    if (Number >= crSizeWE && Number <= crSizeNESW)
        return FSizes[crSizeNESW - Number];
    return FDrawn[0];
}

} // namespace zem
