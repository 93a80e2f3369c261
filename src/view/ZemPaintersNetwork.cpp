// The painters of the transport network: junctions, segments and their direction arrows, the highlighted
// route and the numbered route-search points with their pictures.
#include "model/ZemMap.h"
#include "view/ZemPaintersUtil.h"
#include "view/ZemRasterColor.h"

#include <string>

namespace zem {

using namespace paint;

namespace {

constexpr TColor32 kRouteGreen = 0xFF00FF00;

// The stored point of junction ID, or false when that junction is gone or has no point.
bool JunctionPoint(const TZemDocument& Doc, std::int32_t ID, TXYPoint& P) {
    if (ID == -1)
        return false;
    const auto* Slot = Doc.Objects.Find(ID);
    if (!Slot || (*Slot)->Kind != otRoadCross || (*Slot)->PointCount() < 1)
        return false;
    P = (*Slot)->Point(0);
    return true;
}

} // namespace

void TZemMap::PaintJunction(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    if (O.PointCount() < 1)
        return;
    TBitmap32& B = BackBuffer;
    const TPoint p = WorldToScreen(O.Point(0));
    B.Disc(p.X, p.Y, clBlue32, clBlue32, 5);
    B.LineColor = clRed32;
    SetFont(B, "MS Sans Serif", 8, 0);
    B.OutputTextRotated(Nudge(p.X, 5), p.Y, false, 0, std::to_string(O.ID));
}

void TZemMap::PaintSegment(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    if (O.PointCount() < 1)
        return;
    TBitmap32& B = BackBuffer;
    B.LineColor = ToColor32(static_cast<std::uint32_t>(O.Pen.Color));
    B.LineWidth = 1;
    B.LineStyle = O.Pen.Style;

    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    // The ends are drawn at their junctions. Moving a junction moves the ends it holds in the same undo
    // step (FollowJunction), so they normally lie there already; drawing never writes into the segment.
    // A junction that is gone leaves its end where it was.
    TXYPoint J;
    if (JunctionPoint(Doc, O.StartCrossID, J))
        P.Set(0, ToRaster(WorldToScreen(J)));
    if (JunctionPoint(Doc, O.EndCrossID, J))
        P.Set(P.Last(), ToRaster(WorldToScreen(J)));
    B.PolylineStyled(P.Data(), P.Last(), O.Pen.Flags != 0);

    if (O.Direction() == 255 || !Net.ShowTransportDirections || P.Count() < 2)
        return;
    if (O.Direction() == 1 || O.Direction() == 2)
        B.ArrowHead(P[1], P[0]);
    if (O.Direction() == 0 || O.Direction() == 2)
        B.ArrowHead(P[P.Last() - 1], P[P.Last()]);
}

void TZemMap::PaintRoute() {
    TBitmap32& B = BackBuffer;
    B.LineColor = kRouteGreen;
    B.LineWidth = 4;
    B.LineStyle = 0;
    TScreenPoints P;
    for (std::int32_t ID : Net.RouteHighlight) {
        const auto* Slot = Doc.Objects.Find(ID);
        if (!Slot)
            continue; // a route found before the segment was deleted
        ObjectToScreen(*this, **Slot, P);
        if (P.Count() == 1) // a junction of a chosen stretch: a dot where the route passes it
            B.Disc(P[0].X, P[0].Y, kRouteGreen, kRouteGreen, 4);
        else
            B.PolylineStyled(P.Data(), P.Last(), false);
    }
}

void TZemMap::PaintRoutePoints() {
    TBitmap32& B = BackBuffer;
    const std::int32_t N = Net.RoutePoints.Count();
    SetFont(B, "Arial", 8, 0, 0xFFFFFF);
    for (std::int32_t i = 0; i < N; ++i) {
        const TPoint p = WorldToScreen(Net.RoutePoints[i]);
        const ZemString Number = std::to_string(i + 1);
        auto Put = [&](TRoutePointIcon Role) {
            BlitAlpha(B, Nudge(p.X, -16), Nudge(p.Y, -24), RoutePointImage(Role));
            B.OutputText(Nudge(p.X, 5), p.Y, Number);
        };
        // A single point is both the start and the end.
        if (i == 0)
            Put(TRoutePointIcon::rpStart);
        if (i > 0 && i < N - 1)
            Put(TRoutePointIcon::rpFrom);
        if (i == N - 1)
            Put(TRoutePointIcon::rpEnd);
    }
}

namespace paint {

namespace {

// A 32 x 32 map pin whose tip is at (16, 24), the pixel placed on the point: a coloured head with a
// white sign (a triangle to start, a dot between, a square to end) on a transparent ground.
TBitmap32 MakePin(TColor32 Head, TRoutePointIcon Role) {
    TBitmap32 Pin(32, 32);
    Pin.Clear(0x00000000);
    Pin.LineColor = clBlack32;
    Pin.LineWidth = 1;
    Pin.BrushColor = Head;
    Pin.BrushStyle = 0;
    const TRasterPoint Tail[3] = {{10, 14}, {22, 14}, {16, 24}};
    Pin.PolygonFilled(Tail, 2, false);
    Pin.Disc(16, 10, clBlack32, Head, 9);
    switch (Role) {
    case TRoutePointIcon::rpStart: {
        Pin.BrushColor = clWhite32;
        Pin.LineColor = clWhite32;
        const TRasterPoint Sign[3] = {{13, 6}, {13, 14}, {20, 10}};
        Pin.PolygonFilled(Sign, 2, false);
        break;
    }
    case TRoutePointIcon::rpFrom:
        Pin.Disc(16, 10, clWhite32, clWhite32, 3);
        break;
    case TRoutePointIcon::rpEnd:
        Pin.FillRectClipped(13, 7, 20, 14, clWhite32);
        break;
    }
    return Pin;
}

} // namespace

const TBitmap32& RoutePointImage(TRoutePointIcon Role) {
    // Built once, never changed afterwards.
    static const TBitmap32 Start = MakePin(0xFF20A020, TRoutePointIcon::rpStart);
    static const TBitmap32 From = MakePin(0xFFE0A000, TRoutePointIcon::rpFrom);
    static const TBitmap32 End = MakePin(0xFFD02020, TRoutePointIcon::rpEnd);
    switch (Role) {
    case TRoutePointIcon::rpStart:
        return Start;
    case TRoutePointIcon::rpFrom:
        return From;
    default:
        return End;
    }
}

} // namespace paint

} // namespace zem
