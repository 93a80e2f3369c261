// The tools that look at the map rather than change it: panning, the two zooms, the colour pick, the
// rubber band, measuring and the search points of a route, and the idle tools; with what they draw.
#include "editing/ZemTools.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "view/ZemPaintersUtil.h"
#include "view/ZemRasterColor.h"

#include <algorithm>
#include <cmath>

namespace zem {

using ld = long double;

namespace {

constexpr TColor32 kAlphaMask = 0xFF000000u;
constexpr TColor32 kMeasureGreen = 0xFF00FF00;
constexpr std::uint32_t kRubberBandGrey = 0x808080u;

TRect Normalised(const TPoint& A, const TPoint& B) {
    return TRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

ld WorldLength(const TXYPoint& A, const TXYPoint& B) {
    return std::hypot(static_cast<ld>(B.X) - A.X, static_cast<ld>(B.Y) - A.Y);
}

} // namespace

void TZemTool::Press(TZemMap& Map, const TZemPress&) const {
    TZemMeasureTool::Forget(Map);
}

// ---- tMapMove ----

void TZemPanTool::Press(TZemMap& Map, const TZemPress& P) const {
    if (Map.Edit.Dragging)
        return;
    Map.Edit.Cursor = crHandClosed;
    Map.Host().SetCursor(crHandClosed);
    Map.Edit.Dragging = true;
    Map.View.PressPoint = P.Screen;
}

void TZemPanTool::Move(TZemMap& Map, const TPoint& Pointer, std::int32_t) const {
    if (Map.Edit.Dragging)
        Map.PanBy(Map.View.PressPoint, Pointer);
}

std::string TZemPanTool::Hint(const TZemMap& Map) const {
    return Map.Edit.Dragging ? "Отпустите кнопку, чтобы оставить карту здесь"
                             : "Перетаскивание — сдвинуть карту";
}

// ---- tZoomIn ----

void TZemZoomInTool::Press(TZemMap& Map, const TZemPress& P) const {
    if (Map.Doc.Count > 0 && !Map.Edit.Dragging) {
        Map.View.PressPoint = Map.View.DragPoint = P.Screen;
        Map.Edit.Dragging = true;
    }
}

void TZemZoomInTool::PressRefused(TZemMap& Map) const {
    Map.View.DragPoint = Map.View.PressPoint;
}

void TZemZoomInTool::Move(TZemMap& Map, const TPoint& Pointer, std::int32_t) const {
    if (!Map.Edit.Dragging)
        return;
    Map.View.DragPoint = Pointer;
    Map.Redraw();
    Map.UpdateMiniMapFrame();
}

void TZemZoomInTool::Release(TZemMap& Map, const TPoint& At) const {
    if (Map.Edit.Dragging)
        Map.ZoomToRect(Map.View.PressPoint, At);
}

std::string TZemZoomInTool::Hint(const TZemMap& Map) const {
    return Map.Edit.Dragging ? "Отпустите кнопку — увеличить рамку на всё окно"
                             : "Щелчок или рамка — увеличить";
}

void TZemZoomInTool::PaintDrag(TZemMap& Map) const {
    if (Map.Edit.Dragging)
        Map.BackBuffer.XorFrameThick2(paint::ToRaster(Map.View.PressPoint),
                                      paint::ToRaster(Map.View.DragPoint), 2);
}

// ---- tZoomOut ----

void TZemZoomOutTool::Press(TZemMap& Map, const TZemPress& P) const {
    Map.ZoomOutClick(P.Screen);
}

std::string TZemZoomOutTool::Hint(const TZemMap&) const {
    return "Щелчок — уменьшить масштаб вдвое";
}

// ---- tChoiseColor ----

void TZemPickColorTool::Press(TZemMap& Map, const TZemPress& P) const {
    const TBitmap32& B = Map.BackBuffer;
    if (P.Screen.X >= B.Width() || P.Screen.Y >= B.Height())
        return;
    const TColor32 C = B.GetPixel(P.Screen.X, P.Screen.Y) & ~kAlphaMask;
    State(Map).Picked = RGBColor((C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF);
}

std::string TZemPickColorTool::Hint(const TZemMap&) const {
    return "Щелчок — взять цвет точки карты";
}

// ---- tSelectRect ----

void TZemSelectRectTool::AbandonDrag(TZemMap& Map) const {
    Map.Host().SetCapture(false);
}

void TZemSelectRectTool::Press(TZemMap& Map, const TZemPress& P) const {
    if (Map.Edit.Dragging)
        return;
    Map.Host().SetCapture(true);
    Map.Edit.Dragging = true;
    Map.View.PressPoint = P.Screen;
    State(Map).Rect = TRect{P.Screen.X, P.Screen.Y, P.Screen.X, P.Screen.Y};
}

void TZemSelectRectTool::Move(TZemMap& Map, const TPoint& Pointer, std::int32_t) const {
    if (!Map.Edit.Dragging)
        return;
    State(Map).Rect = Normalised(Map.View.PressPoint, Pointer);
    Map.Redraw();
}

void TZemSelectRectTool::Release(TZemMap& Map, const TPoint& At) const {
    if (!Map.Edit.Dragging)
        return;
    State(Map).Rect = Normalised(Map.View.PressPoint, At);
    Map.Host().SetCapture(false);
}

std::string TZemSelectRectTool::Hint(const TZemMap& Map) const {
    return Map.Edit.Dragging ? "Отпустите кнопку — закончить рамку" : "Перетаскивание — нарисовать рамку";
}

void TZemSelectRectTool::PaintDrag(TZemMap& Map) const {
    if (!Map.Edit.Dragging)
        return;
    const TRect& R = State(Map).Rect;
    Map.BackBuffer.FrameRectClipped(R.Left, R.Top, R.Right, R.Bottom, ToColor32(kRubberBandGrey));
}

// ---- tMeasure ----

void TZemMeasureTool::Forget(TZemMap& Map) {
    TZemXYArray& Pts = static_cast<TZemMeasureState*>(Map.ToolState(tMeasure))->Points;
    if (!Pts.Empty())
        Pts.Clear();
}

void TZemMeasureTool::Press(TZemMap& Map, const TZemPress& P) const {
    TZemXYArray& Pts = State(Map).Points;
    Pts.Add(P.World);
    const ld Unit = static_cast<ld>(Map.Doc.MeasureScale) / 100;
    auto Length = [&](const TXYPoint& A, const TXYPoint& B) { return WorldLength(A, B) * Unit; };
    ld Sum = 0;
    for (std::int32_t i = 1; i < Pts.Count(); ++i)
        Sum += Length(Pts[i - 1], Pts[i]);
    const ld Current = Length(Pts[Pts.Count() - 1], Map.View.CursorPos);
    if (Map.OnMeasure)
        Map.OnMeasure(Map, static_cast<float>(Sum + Current), static_cast<float>(Current));
    Map.Redraw();
}

void TZemMeasureTool::RightPress(TZemMap& Map, const TXYPoint&) const {
    State(Map).Points.Clear();
    if (Map.OnMeasure)
        Map.OnMeasure(Map, -1.0f, -1.0f);
    Map.Redraw();
}

void TZemMeasureTool::Move(TZemMap& Map, const TPoint&, std::int32_t PaintsBefore) const {
    Map.RedrawOnce(PaintsBefore); // the live segment to the pointer
}

std::string TZemMeasureTool::Hint(const TZemMap& Map) const {
    return State(Map).Points.Empty() ? "Щелчок — начало измерения"
                                     : "Щелчок — следующая точка; правый щелчок — новое измерение";
}

void TZemMeasureTool::PaintKept(TZemMap& Map, bool Current) const {
    const TZemXYArray& Pts = State(Map).Points;
    if (Pts.Empty())
        return;
    const ld Unit = static_cast<ld>(Map.Doc.MeasureScale) / 100;
    ld Sum = 0, Last = 0;
    for (std::int32_t i = 1; i < Pts.Count(); ++i) {
        Last = WorldLength(Pts[i - 1], Pts[i]) * Unit;
        Sum += Last;
    }
    if (Current) {
        Last = WorldLength(Pts[Pts.Count() - 1], Map.View.CursorPos) * Unit;
        Sum += Last;
    }
    const float Total = static_cast<float>(Sum), Piece = static_cast<float>(Last);
    if (Map.OnMeasure)
        Map.OnMeasure(Map, Total, Piece);

    TBitmap32& B = Map.BackBuffer;
    B.LineColor = kMeasureGreen;
    B.LineWidth = 4;
    B.LineStyle = 0;
    paint::TScreenPoints P;
    for (std::int32_t i = 0; i < Pts.Count(); ++i)
        P.Add(paint::ToRaster(Map.WorldToScreen(Pts[i])));
    if (Current)
        P.Add(paint::ToRaster(Map.WorldToScreen(Map.View.CursorPos)));
    B.PolylineStyled(P.Data(), P.Last(), false);
    // The listener sees the frame's own figures last, the same that were drawn.
    if (Map.OnMeasure)
        Map.OnMeasure(Map, Total, Piece);
}

// ---- tRoadPoint ----

void TZemSearchPointTool::Press(TZemMap& Map, const TZemPress& P) const {
    Map.TouchRoutePoints();
    Map.Net.RoutePoints.Add(P.World);
    Map.Redraw();
}

void TZemSearchPointTool::RightPress(TZemMap& Map, const TXYPoint&) const {
    TZemChange Step(Map);
    Map.TouchRoutePoints();
    Map.Net.RoutePoints.Clear();
    Map.Redraw();
}

std::string TZemSearchPointTool::Hint(const TZemMap& Map) const {
    return Map.Net.RoutePoints.Empty() ? "Щелчок — точка, от которой искать путь"
                                       : "Щелчок — ещё точка поиска; правый щелчок — убрать все точки";
}

} // namespace zem
