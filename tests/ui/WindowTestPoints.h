#pragma once
// Where a test presses on the sample city shown in the main window.
#include "model/ZemMap.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QPolygonF>

#include <cstdlib>

namespace zem {

// The middle of the first visible unlocked polygon big enough to press on, away from the edges, in
// widget pixels.
inline bool VisiblePolygonPoint(TfrmMain& W, std::int32_t& ID, QPoint& At) {
    TZemMap& M = W.Map();
    for (std::int32_t Candidate : M.View.VisibleList) {
        const TZemObject& O = M.ObjectByID(Candidate);
        if (O.Kind != otPolygon || O.PointCount() < 3 || O.Lock)
            continue;
        const TPoint a = M.WorldToScreen(O.LeftTop), b = M.WorldToScreen(O.RightBottom);
        if (std::abs(b.X - a.X) < 12 || std::abs(b.Y - a.Y) < 12)
            continue;
        const TXYPoint C{(O.LeftTop.X + O.RightBottom.X) / 2, (O.LeftTop.Y + O.RightBottom.Y) / 2};
        QPolygonF Outline;
        for (std::int32_t i = 0; i < O.PointCount(); ++i)
            Outline << QPointF(O.Point(i).X, O.Point(i).Y);
        if (!Outline.containsPoint(QPointF(C.X, C.Y), Qt::OddEvenFill))
            continue;
        const TPoint S = M.WorldToScreen(C);
        const double R = W.MapWidget()->PixelRatio();
        ID = Candidate;
        At = QPoint(static_cast<int>(S.X / R), static_cast<int>(S.Y / R));
        if (W.MapWidget()->rect().adjusted(40, 40, -40, -40).contains(At))
            return true;
    }
    return false;
}

} // namespace zem
