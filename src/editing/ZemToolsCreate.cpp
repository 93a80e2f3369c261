// The creating tools. Each left press builds the map's template NewObject; the right press (Complete)
// finishes it and hands it to AddObject. What they share -- starting the template, completing it, the
// corners of a box, the junction under a point -- is in ZemCreate.cpp.
#include "editing/ZemTools.h"
#include "model/ZemMap.h"

#include <array>

namespace zem {

namespace {

// Adds P Times times (a Bézier press adds its control points on the vertex) and draws the result.
void AddPress(TZemMap& Map, const TXYPoint& P, std::int32_t Times) {
    const std::array<TXYPoint, 3> Same{P, P, P};
    Map.NewObject.AddPoints(std::span<const TXYPoint>(Same.data(), static_cast<size_t>(Times)));
    Map.Redraw();
}

void NewColours(TZemMap& Map, bool Pen, bool Brush) {
    if (Pen)
        Map.NewObject.Pen.Color = Map.Edit.NewPenColor;
    if (Brush)
        Map.NewObject.Brush.Color = Map.Edit.NewBrushColor;
}

// The hint of a tool that creates, or why it cannot.
std::string CreateHint(const TZemMap& Map, const char* First, const char* Next) {
    if (!Map.Doc.HasOption(moEditable))
        return "Редактирование запрещено";
    return Map.Edit.Creating ? Next : First;
}

} // namespace

void TZemCreateTool::Deactivate(TZemMap& Map) const {
    Map.DropNewObject();
}

// ---- tLine, tPolygon, tBezier, tPic ----

void TZemPointListTool::EditPress(TZemMap& Map, const TZemPress& P) const {
    if (!Map.Edit.Creating) {
        Map.StartNewObject(FKind, true);
        NewColours(Map, FPenColor, FBrushColor);
    }
    AddPress(Map, P.World, FRepeat);
}

void TZemPointListTool::Complete(TZemMap& Map, const TXYPoint& P) const {
    const std::int32_t PaintsBefore = Map.View.PaintCounter;
    if (FKind == otBmp) {
        // A picture is a box: its right press adds the three corners from point 0 and the pointer.
        if (!Map.AddBoxCorners())
            return;
    } else {
        const std::array<TXYPoint, 3> Same{P, P, P};
        Map.NewObject.AddPoints(std::span<const TXYPoint>(Same.data(), static_cast<size_t>(FRepeat)));
    }
    Map.NewObject.Kind = FKind;
    Map.CompleteNewObject(PaintsBefore);
}

std::string TZemPointListTool::Hint(const TZemMap& Map) const {
    if (FKind == otBmp)
        return CreateHint(Map, "Щелчок — первый угол рисунка",
                          "Правый щелчок — противоположный угол; Esc — отмена");
    // Points are set by clicks: a user who drags, as in other editors, learns it here.
    return CreateHint(Map, "Щелчок — первая точка (точки ставятся щелчками)",
                      "Щелчок — ещё точка; правый щелчок — последняя точка и готово; Esc — отмена");
}

// ---- tRectangle, tEllipse, tText ----

void TZemBoxTool::EditPress(TZemMap& Map, const TZemPress& P) const {
    // The anchor corner; the other comes from the pointer at the right press.
    if (Map.Edit.Creating)
        return;
    Map.StartNewObject(FKind, true);
    // A text is drawn in its pen's colour: it takes the chosen line colour, as lines do.
    NewColours(Map, true, FKind != otText);
    AddPress(Map, P.World, 1);
}

void TZemBoxTool::Complete(TZemMap& Map, const TXYPoint&) const {
    const std::int32_t PaintsBefore = Map.View.PaintCounter;
    switch (FKind) {
    case otRectangle:
        if (!Map.AddBoxCorners())
            return;
        Map.NewObject.Kind = otPolygon; // a rectangle is stored as the polygon of its four corners
        break;
    case otEllipse:
        Map.NewObject.AddPoint(Map.View.CursorPos);
        Map.NewObject.SetAngle(0.0f);
        break;
    default:
        Map.CompleteText();
        return;
    }
    Map.CompleteNewObject(PaintsBefore);
}

std::string TZemBoxTool::Hint(const TZemMap& Map) const {
    return CreateHint(Map, FKind == otText ? "Щелчок — первый угол надписи" : "Щелчок — первый угол",
                      FKind == otText ? "Правый щелчок — второй угол и ввод текста; Esc — отмена"
                                      : "Правый щелчок — второй угол; Esc — отмена");
}

// ---- tIco, tRoadCross ----

void TZemOnePressTool::EditPress(TZemMap& Map, const TZemPress& P) const {
    if (Map.Edit.Creating)
        return;
    const bool Junction = FKind == otRoadCross;
    Map.StartNewObject(FKind, !Junction); // a junction keeps the template's style
    Map.NewObject.AddPoint(P.World);
    if (Junction)
        Map.NewObject.SetPlane(kJunctionPlane);
    Map.CompleteNewObject(P.PaintsBefore);
}

std::string TZemOnePressTool::Hint(const TZemMap& Map) const {
    return CreateHint(
        Map, FKind == otRoadCross ? "Щелчок — поставить узловую точку" : "Щелчок — поставить иконку", "");
}

// ---- tRoadCrossLine ----

void TZemSegmentTool::EditPress(TZemMap& Map, const TZemPress& P) const {
    TZemObject& S = Map.NewObject;
    if (!Map.Edit.Creating) {
        Map.StartNewObject(otRoadCrossLine, false);
        NewColours(Map, true, true);
    }
    if (S.PointCount() > 0) {
        AddPress(Map, P.World, 1); // an intermediate vertex
        return;
    }
    // A segment starts on a junction, exactly at its point; a press beside every junction adds nothing
    // and the user can press again.
    const std::int32_t Start = Map.JunctionAt(P.World);
    if (Start == -1)
        return;
    S.StartCrossID = Start;
    S.SetDirection(Map.Net.ConnectionKind);
    S.AddPoint(Map.ObjectByID(Start).Point(0));
    Map.Redraw();
}

void TZemSegmentTool::Complete(TZemMap& Map, const TXYPoint& P) const {
    TZemObject& S = Map.NewObject;
    // Without its start junction a segment would join nothing: it waits for a first press on one.
    if (S.PointCount() == 0)
        return;
    const std::int32_t PaintsBefore = Map.View.PaintCounter;
    const std::int32_t End = Map.JunctionAt(P);
    if (End == -1)
        return;
    S.EndCrossID = End;
    S.SetDirection(Map.Net.ConnectionKind);
    S.AddPoint(Map.ObjectByID(End).Point(0));
    S.SetPlane(kSegmentPlane);
    Map.CompleteNewObject(PaintsBefore);
}

std::string TZemSegmentTool::Hint(const TZemMap& Map) const {
    if (!Map.Doc.HasOption(moEditable))
        return "Редактирование запрещено";
    if (Map.Edit.Creating && Map.NewObject.PointCount() > 0)
        return "Щелчок — точка излома; правый щелчок на узловой точке — конец отрезка; Esc — отмена";
    return "Щелчок на узловой точке — начало отрезка";
}

} // namespace zem
