// The tools that look at the map rather than change it: panning, the two zooms, the colour pick, the
// rubber band, measuring and the search points of a route, and the idle tools.
#include "editing/ZemTools.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"

#include <algorithm>
#include <cmath>

namespace zem {

using ld = long double;

namespace {

constexpr TColor32 kAlphaMask = 0xFF000000u;

TRect Normalised(const TPoint& A, const TPoint& B) {
    return TRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

} // namespace

void TZemTool::Press(TZemMap& Map, const TZemPress&) const {
    if (!Map.Edit.MeasurePoints.Empty())
        Map.Edit.MeasurePoints.Clear();
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
    Map.Edit.PickedColor = RGBColor((C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF);
}

std::string TZemPickColorTool::Hint(const TZemMap&) const {
    return "Щелчок — взять цвет точки карты";
}

// ---- tSelectRect ----

void TZemSelectRectTool::Press(TZemMap& Map, const TZemPress& P) const {
    if (Map.Edit.Dragging)
        return;
    Map.Host().SetCapture(true);
    Map.Edit.Dragging = true;
    Map.View.PressPoint = P.Screen;
    Map.Edit.SelectionRect = TRect{P.Screen.X, P.Screen.Y, P.Screen.X, P.Screen.Y};
}

void TZemSelectRectTool::Move(TZemMap& Map, const TPoint& Pointer, std::int32_t) const {
    if (!Map.Edit.Dragging)
        return;
    Map.Edit.SelectionRect = Normalised(Map.View.PressPoint, Pointer);
    Map.Redraw();
}

void TZemSelectRectTool::Release(TZemMap& Map, const TPoint& At) const {
    if (!Map.Edit.Dragging)
        return;
    Map.Edit.SelectionRect = Normalised(Map.View.PressPoint, At);
    Map.Host().SetCapture(false);
}

std::string TZemSelectRectTool::Hint(const TZemMap& Map) const {
    return Map.Edit.Dragging ? "Отпустите кнопку — закончить рамку" : "Перетаскивание — нарисовать рамку";
}

// ---- tMeasure ----

void TZemMeasureTool::Press(TZemMap& Map, const TZemPress& P) const {
    TZemXYArray& Pts = Map.Edit.MeasurePoints;
    Pts.Add(P.World);
    const ld Unit = static_cast<ld>(Map.Doc.MeasureScale) / 100;
    auto Length = [&](const TXYPoint& A, const TXYPoint& B) {
        return std::hypot(static_cast<ld>(B.X) - A.X, static_cast<ld>(B.Y) - A.Y) * Unit;
    };
    ld Sum = 0;
    for (std::int32_t i = 1; i < Pts.Count(); ++i)
        Sum += Length(Pts[i - 1], Pts[i]);
    const ld Current = Length(Pts[Pts.Count() - 1], Map.View.CursorPos);
    if (Map.OnMeasure)
        Map.OnMeasure(Map, static_cast<float>(Sum + Current), static_cast<float>(Current));
    Map.Redraw();
}

void TZemMeasureTool::RightPress(TZemMap& Map, const TXYPoint&) const {
    Map.Edit.MeasurePoints.Clear();
    if (Map.OnMeasure)
        Map.OnMeasure(Map, -1.0f, -1.0f);
    Map.Redraw();
}

void TZemMeasureTool::Move(TZemMap& Map, const TPoint&, std::int32_t PaintsBefore) const {
    Map.RedrawOnce(PaintsBefore); // the live segment to the pointer
}

std::string TZemMeasureTool::Hint(const TZemMap& Map) const {
    return Map.Edit.MeasurePoints.Empty() ? "Щелчок — начало измерения"
                                          : "Щелчок — следующая точка; правый щелчок — новое измерение";
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
