// Creation of objects by the drawing tools: the left press builds the map's template NewObject, the
// right press completes it and hands it to AddObject, which stores a copy under a new ID.
#include "model/ZemMap.h"
#include "model/ZemRound.h"
#include "platform/ZemHost.h"

#include <algorithm>
#include <array>
#include <numbers>

namespace zem {

namespace {

constexpr std::int8_t kJunctionPlane = 127;
constexpr std::int8_t kSegmentPlane = 126;
constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 150;

} // namespace

void TZemMap::StartNewObject(TObjectKind Kind, bool DefaultStyle) {
    Edit.Creating = true;
    NewObject.ClearPoints();
    NewObject.Kind = Kind;
    // The template is reused from one object to the next: what an earlier one left in it (a junction's
    // plane, a text and its angle, a segment's junctions) must not pass to an object of another kind.
    NewObject.SetPlane(0);
    NewObject.SetAngle(0.0f);
    NewObject.SetText(ZemString());
    NewObject.StartCrossID = -1;
    NewObject.EndCrossID = -1;
    NewObject.SetDirection(255);
    NewObject.SetTransportType(-1);
    if (DefaultStyle)
        NewObject.ApplyDefaultStyle();
}

std::int32_t TZemMap::JunctionAt(const TXYPoint& P) {
    return VisibleHit(P, false, true);
}

void TZemMap::CreateStep(const TXYPoint& P) {
    const std::int32_t PaintsBefore = View.PaintCounter;
    auto Add = [&](std::int32_t Times) {
        const std::array<TXYPoint, 3> Same{P, P, P};
        NewObject.AddPoints(std::span<const TXYPoint>(Same.data(), static_cast<size_t>(Times)));
        Redraw();
    };
    auto Colours = [&](bool Brush) {
        NewObject.Pen.Color = Edit.NewPenColor;
        if (Brush)
            NewObject.Brush.Color = Edit.NewBrushColor;
    };
    auto Complete = [&] {
        Edit.Creating = false;
        AddObject(NewObject);
        RedrawOnce(PaintsBefore);
    };

    switch (Edit.CurrentTool) {
    case tLine:
    case tPolygon:
        if (!Edit.Creating) {
            StartNewObject(Edit.CurrentTool == tLine ? otLine : otPolygon, true);
            Colours(Edit.CurrentTool == tPolygon);
        }
        Add(1);
        break;
    case tRectangle:
    case tEllipse:
        // The anchor corner; the other comes from the pointer at the right press.
        if (!Edit.Creating) {
            StartNewObject(Edit.CurrentTool == tRectangle ? otRectangle : otEllipse, true);
            Colours(true);
            Add(1);
        }
        break;
    case tBezier:
        if (!Edit.Creating)
            StartNewObject(otBezier, true);
        Add(3);
        break;
    case tText:
        if (!Edit.Creating) {
            StartNewObject(otText, true);
            Add(1);
        }
        break;
    case tPic:
        if (!Edit.Creating)
            StartNewObject(otBmp, true);
        Add(1);
        break;
    case tIco:
        StartNewObject(otIco, true);
        NewObject.AddPoint(P);
        Complete();
        break;
    case tRoadCross:
        if (!Edit.Creating) {
            StartNewObject(otRoadCross, false);
            NewObject.AddPoint(P);
            NewObject.SetPlane(kJunctionPlane);
            Complete();
        }
        break;
    case tRoadCrossLine:
        if (!Edit.Creating) {
            StartNewObject(otRoadCrossLine, false);
            Colours(true);
        }
        if (NewObject.PointCount() == 0) {
            // A segment starts on a junction, exactly at its point; a press beside every junction adds
            // nothing and the user can press again.
            const std::int32_t Start = JunctionAt(P);
            if (Start != -1) {
                NewObject.StartCrossID = Start;
                NewObject.SetDirection(Net.ConnectionKind);
                NewObject.AddPoint(ObjectByID(Start).Point(0));
                Redraw();
            }
        } else {
            Add(1);
        }
        break;
    default:
        break;
    }
}

void TZemMap::CompleteStep(const TXYPoint& P) {
    const std::int32_t PaintsBefore = View.PaintCounter;
    auto Complete = [&] {
        Edit.Creating = false;
        AddObject(NewObject);
        RedrawOnce(PaintsBefore);
    };
    // The three further corners of the box spanned by point 0 and the pointer.
    auto AddCorners = [&] {
        if (NewObject.PointCount() == 0)
            return false;
        const TXYPoint A = NewObject.Point(0), C = View.CursorPos;
        const std::array<TXYPoint, 3> Corners{TXYPoint{C.X, A.Y}, C, TXYPoint{A.X, C.Y}};
        NewObject.AddPoints(Corners);
        return true;
    };

    switch (Edit.CurrentTool) {
    case tLine:
    case tPolygon:
        NewObject.AddPoint(P);
        Complete();
        break;
    case tRectangle:
        if (AddCorners()) {
            NewObject.Kind = otPolygon;
            Complete();
        }
        break;
    case tEllipse:
        NewObject.AddPoint(View.CursorPos);
        NewObject.SetAngle(0.0f);
        Complete();
        break;
    case tBezier: {
        const std::array<TXYPoint, 3> Same{P, P, P};
        NewObject.AddPoints(Same);
        Complete();
        break;
    }
    case tText:
        CompleteText();
        break;
    case tPic:
        if (AddCorners()) {
            NewObject.Kind = otBmp;
            Complete();
        }
        break;
    case tRoadCrossLine: {
        // Without its start junction a segment would join nothing: it waits for a first press on one.
        if (NewObject.PointCount() == 0)
            break;
        const std::int32_t End = JunctionAt(P);
        if (End == -1)
            break;
        NewObject.EndCrossID = End;
        NewObject.SetDirection(Net.ConnectionKind);
        NewObject.AddPoint(ObjectByID(End).Point(0));
        NewObject.SetPlane(kSegmentPlane);
        Complete();
        break;
    }
    default:
        break;
    }
}

void TZemMap::CompleteText() {
    if (NewObject.PointCount() == 0) {
        Edit.Creating = false;
        return;
    }
    // The box is complete while the dialog is up, so that the text under construction can be drawn in it.
    const TXYPoint A = NewObject.Point(0), C = View.CursorPos;
    const std::array<TXYPoint, 3> Corners{TXYPoint{C.X, A.Y}, C, TXYPoint{A.X, C.Y}};
    NewObject.AddPoints(Corners);

    auto Apply = [this](const TZemTextAnswer& A) {
        NewObject.SetText(FromUtf8(A.Text));
        NewObject.SetAngle(static_cast<float>(A.AngleTenths * std::numbers::pi_v<long double> / 1800));
        NewObject.Font.Name = FromUtf8(A.FontName);
        const std::int32_t Size = std::clamp(A.Size, kMinFontSize, kMaxFontSize);
        NewObject.Font.Size = Round(static_cast<long double>(Size) * View.Scale / 100);
        NewObject.Font.Style = A.Style;
    };
    TZemTextAnswer Answer;
    const bool Ok = FHost.AskText(Answer, [&](const TZemTextAnswer& Live) {
        Apply(Live);
        Redraw();
    });
    Edit.Creating = false;
    if (!Ok) {
        NewObject.ClearPoints();
        Redraw();
        return;
    }
    Apply(Answer);
    AddObject(NewObject); // which also redraws
    RecalcGlobalExtent();
    UpdateVisibleList();
}

} // namespace zem
