#include "ui/ZemToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <map>

namespace zem {

namespace {

// Icons are drawn on a 24 x 24 grid and rendered at these device sizes.
constexpr int kGrid = 24;
constexpr int kSizes[] = {24, 48, 72};

const QColor kInk(40, 48, 60);
const QColor kAccent(30, 110, 200);
const QColor kFill(190, 215, 245);
const QColor kWarm(220, 120, 40);

using TDraw = std::function<void(QPainter&)>;

void Magnifier(QPainter& P, bool Plus) {
    P.setPen(QPen(kInk, 2));
    P.setBrush(QColor(235, 244, 255));
    P.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    P.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(15, 15), QPointF(21, 21));
    P.setPen(QPen(kAccent, 2));
    P.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (Plus)
        P.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void Page(QPainter& P) {
    QPainterPath Path;
    Path.moveTo(5, 2.5);
    Path.lineTo(14, 2.5);
    Path.lineTo(19, 7.5);
    Path.lineTo(19, 21.5);
    Path.lineTo(5, 21.5);
    Path.closeSubpath();
    P.setPen(QPen(kInk, 1.5));
    P.setBrush(Qt::white);
    P.drawPath(Path);
    P.drawLine(QPointF(14, 2.5), QPointF(14, 7.5));
    P.drawLine(QPointF(14, 7.5), QPointF(19, 7.5));
}

// A sheet of paper with a little map on it, for the page's orientation.
void Sheet(QPainter& P, const QRectF& R) {
    P.setPen(QPen(kInk, 1.5));
    P.setBrush(Qt::white);
    P.drawRect(R);
    const QRectF In = R.adjusted(2.5, 2.5, -2.5, -2.5);
    P.setPen(Qt::NoPen);
    P.setBrush(kFill);
    P.drawRect(In);
    P.setPen(QPen(kAccent, 1.5));
    P.drawLine(In.bottomLeft(), In.topRight());
}

void Node(QPainter& P, QPointF C) {
    P.setPen(QPen(kInk, 1.5));
    P.setBrush(kWarm);
    P.drawEllipse(C, 3, 3);
}

void CurvedArrow(QPainter& P, bool Back) {
    P.save();
    if (!Back) {
        P.translate(kGrid, 0);
        P.scale(-1, 1);
    }
    QPainterPath Path;
    Path.moveTo(6, 10);
    Path.cubicTo(10, 4, 21, 5, 20, 14);
    Path.cubicTo(19.5, 18, 16, 20, 12, 20);
    P.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap));
    P.setBrush(Qt::NoBrush);
    P.drawPath(Path);
    P.setPen(Qt::NoPen);
    P.setBrush(kAccent);
    P.drawPolygon(QPolygonF({QPointF(2, 12), QPointF(4, 4), QPointF(10, 10)}));
    P.restore();
}

const std::map<QString, TDraw>& Drawings() {
    static const std::map<QString, TDraw> Map = {
        {"SelectObject",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             P.setBrush(Qt::white);
             P.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(6, 19), QPointF(10, 15.5), QPointF(13, 21.5),
                                      QPointF(15.5, 20.5), QPointF(12.5, 14.5), QPointF(18, 14)}));
         }},
        {"MapMove",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
             P.drawLine(QPointF(12, 3), QPointF(12, 21));
             P.drawLine(QPointF(3, 12), QPointF(21, 12));
             P.setPen(Qt::NoPen);
             P.setBrush(kInk);
             P.drawPolygon(QPolygonF({QPointF(12, 1), QPointF(8, 6), QPointF(16, 6)}));
             P.drawPolygon(QPolygonF({QPointF(12, 23), QPointF(8, 18), QPointF(16, 18)}));
             P.drawPolygon(QPolygonF({QPointF(1, 12), QPointF(6, 8), QPointF(6, 16)}));
             P.drawPolygon(QPolygonF({QPointF(23, 12), QPointF(18, 8), QPointF(18, 16)}));
         }},
        {"ChoiseColor",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(kFill);
             P.drawPolygon(QPolygonF(
                 {QPointF(4, 20), QPointF(4, 17), QPointF(13, 8), QPointF(16, 11), QPointF(7, 20)}));
             P.setBrush(kInk);
             P.drawRoundedRect(QRectF(13, 3, 6, 9), 2, 2);
             P.save();
             P.translate(16, 8);
             P.rotate(45);
             P.drawRoundedRect(QRectF(-2, -6, 4, 12), 1.5, 1.5);
             P.restore();
             P.setPen(Qt::NoPen);
             P.setBrush(QColor(200, 40, 40));
             P.drawEllipse(QPointF(4, 20.5), 1.8, 1.8);
         }},
        {"ZoomIn", [](QPainter& P) { Magnifier(P, true); }},
        {"ZoomOut", [](QPainter& P) { Magnifier(P, false); }},
        {"LineB",
         [](QPainter& P) {
             P.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             P.drawPolyline(QPolygonF({QPointF(3, 19), QPointF(9, 7), QPointF(15, 16), QPointF(21, 4)}));
         }},
        {"RectangleB",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(kFill);
             P.drawRect(QRectF(3.5, 6.5, 17, 11));
         }},
        {"Polygon",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             P.setBrush(kFill);
             P.drawPolygon(
                 QPolygonF({QPointF(4, 18), QPointF(7, 5), QPointF(15, 9), QPointF(20, 4), QPointF(20, 20)}));
         }},
        {"EllipseB",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(kFill);
             P.drawEllipse(QRectF(2.5, 6.5, 19, 11));
         }},
        {"FontB",
         [](QPainter& P) {
             QFont F(QStringLiteral("Serif"));
             F.setPixelSize(19);
             F.setBold(true);
             P.setFont(F);
             P.setPen(kInk);
             P.drawText(QRectF(0, 0, kGrid, kGrid), Qt::AlignCenter, QStringLiteral("A"));
         }},
        {"BezierB",
         [](QPainter& P) {
             QPainterPath Path;
             Path.moveTo(3, 18);
             Path.cubicTo(6, 2, 18, 22, 21, 6);
             P.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
             P.drawPath(Path);
             P.setPen(QPen(kInk, 1));
             P.setBrush(Qt::white);
             P.drawRect(QRectF(1.5, 16.5, 3, 3));
             P.drawRect(QRectF(19.5, 4.5, 3, 3));
         }},
        {"SelectedRect",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5, Qt::DashLine));
             P.setBrush(Qt::NoBrush);
             P.drawRect(QRectF(3.5, 4.5, 17, 15));
         }},
        {"Measure",
         [](QPainter& P) {
             P.save();
             P.translate(12, 12);
             P.rotate(-35);
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(QColor(250, 225, 140));
             P.drawRect(QRectF(-11, -4, 22, 8));
             for (int i = -8; i <= 8; i += 4)
                 P.drawLine(QPointF(i, -4), QPointF(i, i % 8 == 0 ? 1 : -1));
             P.restore();
         }},
        {"RoadCross", [](QPainter& P) { Node(P, QPointF(12, 12)); }},
        {"RoadCrossLine",
         [](QPainter& P) {
             P.setPen(QPen(kAccent, 2));
             P.drawLine(QPointF(5, 18), QPointF(19, 6));
             Node(P, QPointF(5, 18));
             Node(P, QPointF(19, 6));
         }},
        {"RoadPointsB",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
             P.drawLine(QPointF(6, 3), QPointF(6, 21));
             P.setPen(Qt::NoPen);
             P.setBrush(QColor(200, 40, 40));
             P.drawPolygon(QPolygonF({QPointF(7, 3), QPointF(19, 7), QPointF(7, 12)}));
         }},
        {"ImageB",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(QColor(210, 235, 250));
             P.drawRect(QRectF(2.5, 4.5, 19, 15));
             P.setPen(Qt::NoPen);
             P.setBrush(QColor(70, 150, 70));
             P.drawPolygon(QPolygonF(
                 {QPointF(3, 19), QPointF(9, 11), QPointF(14, 17), QPointF(17, 13), QPointF(21, 19)}));
             P.setBrush(kWarm);
             P.drawEllipse(QPointF(16, 8.5), 2, 2);
         }},
        {"IconListB",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.2));
             P.setBrush(QColor(250, 200, 60));
             QPolygonF Star;
             for (int i = 0; i < 10; ++i) {
                 const double R = i % 2 ? 4.0 : 9.5, A = i * 3.14159265 / 5 - 3.14159265 / 2;
                 Star << QPointF(12 + R * std::cos(A), 12.5 + R * std::sin(A));
             }
             P.drawPolygon(Star);
         }},
        {"New", [](QPainter& P) { Page(P); }},
        {"Open",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
             P.setBrush(QColor(245, 205, 110));
             P.drawPolygon(QPolygonF({QPointF(2.5, 5.5), QPointF(9, 5.5), QPointF(11, 7.5),
                                      QPointF(19.5, 7.5), QPointF(19.5, 19.5), QPointF(2.5, 19.5)}));
             P.setBrush(QColor(250, 225, 150));
             P.drawPolygon(
                 QPolygonF({QPointF(2.5, 19.5), QPointF(6, 11.5), QPointF(22.5, 11.5), QPointF(19.5, 19.5)}));
         }},
        {"Save",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(kAccent);
             P.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
             P.setBrush(Qt::white);
             P.drawRect(QRectF(7.5, 3.5, 9, 6));
             P.setBrush(QColor(225, 230, 238));
             P.drawRect(QRectF(6.5, 13.5, 11, 7));
         }},
        {"Preview",
         [](QPainter& P) {
             Page(P);
             P.scale(0.6, 0.6);
             P.translate(12, 12);
             Magnifier(P, false);
         }},
        {"FindPath",
         [](QPainter& P) {
             QPainterPath Path;
             Path.moveTo(4, 19);
             Path.cubicTo(4, 9, 20, 15, 20, 5);
             P.setPen(QPen(kAccent, 2.5, Qt::DashLine, Qt::RoundCap));
             P.drawPath(Path);
             Node(P, QPointF(4, 19));
             P.setPen(Qt::NoPen);
             P.setBrush(QColor(200, 40, 40));
             P.drawEllipse(QPointF(20, 5), 3.2, 3.2);
         }},
        {"Print",
         [](QPainter& P) {
             P.setPen(QPen(kInk, 1.5));
             P.setBrush(Qt::white);
             P.drawRect(QRectF(6.5, 2.5, 11, 7));
             P.setBrush(QColor(205, 212, 222));
             P.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
             P.setBrush(Qt::white);
             P.drawRect(QRectF(6.5, 14.5, 11, 7));
             P.setPen(QPen(kAccent, 1.2));
             P.drawLine(QPointF(8.5, 17.5), QPointF(15.5, 17.5));
             P.drawLine(QPointF(8.5, 19.5), QPointF(13.5, 19.5));
             P.setPen(Qt::NoPen);
             P.setBrush(QColor(60, 170, 80));
             P.drawEllipse(QPointF(18, 11.5), 1, 1);
         }},
        {"Portrait", [](QPainter& P) { Sheet(P, QRectF(6.5, 2.5, 11, 19)); }},
        {"Landscape", [](QPainter& P) { Sheet(P, QRectF(2.5, 6.5, 19, 11)); }},
        {"Undo", [](QPainter& P) { CurvedArrow(P, true); }},
        {"Redo", [](QPainter& P) { CurvedArrow(P, false); }},
    };
    return Map;
}

} // namespace

QIcon ZemToolIcon(const QString& Name) {
    const auto It = Drawings().find(Name);
    if (It == Drawings().end())
        return {};
    QIcon Icon;
    for (int Size : kSizes) {
        QPixmap Pixmap(Size, Size);
        Pixmap.fill(Qt::transparent);
        QPainter P(&Pixmap);
        P.setRenderHint(QPainter::Antialiasing);
        P.scale(static_cast<double>(Size) / kGrid, static_cast<double>(Size) / kGrid);
        It->second(P);
        P.end();
        Icon.addPixmap(Pixmap);
    }
    return Icon;
}

} // namespace zem
