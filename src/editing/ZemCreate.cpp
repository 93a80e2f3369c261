// What the creating tools (ZemToolsCreate.cpp) share: the left press builds the map's template
// NewObject, the right press completes it and hands it to AddObject, which stores a copy under a new ID.
#include "base/ZemRound.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"

#include <algorithm>
#include <array>
#include <numbers>

namespace zem {

namespace {

constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 150;
// A text made far zoomed out: big enough for any zoom a user works at, small enough for the painter.
constexpr std::int32_t kMaxStoredFontSize = 30000;

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

void TZemMap::DropNewObject() {
    const bool Shown = Edit.Creating;
    Edit.Creating = false;
    NewObject.ClearPoints();
    if (Shown) // its rubber pieces leave the map now, not at the next pointer move
        Redraw();
}

std::int32_t TZemMap::JunctionAt(const TXYPoint& P) {
    return VisibleHit(P, false, true);
}

void TZemMap::CompleteNewObject(std::int32_t PaintsBefore) {
    Edit.Creating = false;
    AddObject(NewObject);
    RedrawOnce(PaintsBefore);
}

bool TZemMap::AddBoxCorners() {
    if (NewObject.PointCount() == 0)
        return false;
    const TXYPoint A = NewObject.Point(0), C = View.CursorPos;
    const std::array<TXYPoint, 3> Corners{TXYPoint{C.X, A.Y}, C, TXYPoint{A.X, C.Y}};
    NewObject.AddPoints(Corners);
    return true;
}

void TZemMap::CompleteText() {
    // The box is complete while the dialog is up, so that the text under construction can be drawn in it.
    if (!AddBoxCorners()) {
        Edit.Creating = false;
        return;
    }

    auto Apply = [this](const TZemTextAnswer& A) {
        NewObject.SetText(FromUtf8(A.Text));
        NewObject.SetAngle(static_cast<float>(A.AngleTenths * std::numbers::pi_v<long double> / 1800));
        NewObject.Font.Name = FromUtf8(A.FontName);
        // The dialog's size is the size on screen now; the painter scales the stored size by the zoom.
        const std::int32_t Size = std::clamp(A.Size, kMinFontSize, kMaxFontSize);
        const long double Stored = static_cast<long double>(Size) * 100 / View.Scale;
        NewObject.Font.Size = Round(std::clamp<long double>(Stored, 1, kMaxStoredFontSize));
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
