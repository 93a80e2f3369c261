// Which object lies under the pointer, which handle of the current object, and the selection step of a
// press with the selection tool.
#include "base/ZemGeometry.h"
#include "base/ZemRound.h"
#include "model/ZemMap.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

// The fixed tolerance of the open shapes drawn without a pen-width rule, in world units.
constexpr double kFixedTolerance = 3.0;
// A zero-width pen is hit within this many pixels at any scale.
constexpr double kHairlineTolerance = 3.0;
// Half the side of a handle's square, in pixels.
constexpr std::int32_t kHandleHalf = 3;
// The side of the icon square, in world units.
constexpr float kIconSize = 32.0f;

struct TSegment {
    double x1, y1, x2, y2;
};

TSegment Segment(const TXYPoint& A, const TXYPoint& B) {
    return TSegment{A.X, A.Y, B.X, B.Y};
}

bool InRange(double v, double a, double b, double h) {
    return v >= std::min(a, b) - h && v <= std::max(a, b) + h;
}

// Distance of (px, py) from the infinite line through the segment; NaN for a degenerate segment.
double LineDistance(const TSegment& s, double px, double py) {
    const double A = s.y2 - s.y1, B = s.x1 - s.x2;
    const double C = s.y1 * (s.x2 - s.x1) - (s.y2 - s.y1) * s.x1;
    return std::fabs(A * px + B * py + C) / std::sqrt(A * A + B * B);
}

// The pen-width rule: a wide pen is hit within half its width of the centre line whatever the scale,
// a zero-width pen within a few pixels.
bool HitPenRule(const TSegment& s, double px, double py, double Scale, std::int32_t Width) {
    const double h = Width / 2.0;
    double d = -1.0;
    if (s.x1 == s.x2 && InRange(py, s.y1, s.y2, h))
        d = std::fabs(px - s.x1);
    else if (s.y1 == s.y2 && InRange(px, s.x1, s.x2, h))
        d = std::fabs(py - s.y1);
    else if (InRange(px, s.x1, s.x2, h) && InRange(py, s.y1, s.y2, h))
        d = LineDistance(s, px, py);
    const double T = Width != 0 ? (Scale * Width / 100.0) / 2.0 : kHairlineTolerance;
    return d >= 0.0 && Scale * d / 100.0 <= T;
}

// The fixed rule, in world units and without widening the segment's box.
bool HitFixedRule(const TSegment& s, double px, double py) {
    if (s.x1 == s.x2 && std::fabs(px - s.x1) < kFixedTolerance && InRange(py, s.y1, s.y2, 0.0))
        return true;
    if (s.y1 == s.y2 && std::fabs(py - s.y1) < kFixedTolerance && InRange(px, s.x1, s.x2, 0.0))
        return true;
    return InRange(px, s.x1, s.x2, 0.0) && InRange(py, s.y1, s.y2, 0.0) &&
           LineDistance(s, px, py) < kFixedTolerance;
}

TPoint RoundPoint(float X, float Y) {
    return TPoint{Round(X), Round(Y)};
}

bool InsidePoints(const TZemXYArray& Points, float X, float Y) {
    TArrayPoint P;
    P.reserve(static_cast<size_t>(Points.Count()));
    for (std::int32_t i = 0; i < Points.Count(); ++i)
        P.push_back(RoundPoint(Points[i].X, Points[i].Y));
    return PointInPolygon(P, RoundPoint(X, Y));
}

bool InsideIcon(const TXYPoint& At, float X, float Y) {
    const std::int32_t x0 = Round(At.X - kIconSize / 2), y0 = Round(At.Y - kIconSize / 2);
    const std::int32_t s = static_cast<std::int32_t>(kIconSize);
    const TArrayPoint Square{{x0, y0}, {x0 + s, y0}, {x0 + s, y0 + s}, {x0, y0 + s}};
    return PointInPolygon(Square, RoundPoint(X, Y));
}

// A junction is caught within this many pixels of its point, whatever the zoom.
constexpr double kJunctionReach = 4.0;

bool NearJunction(const TXYPoint& J, double px, double py, double Scale) {
    const double h = kJunctionReach * 100.0 / Scale;
    return std::fabs(px - J.X) <= h && std::fabs(py - J.Y) <= h;
}

// Ellipses keep their box with LeftTop.Y as the larger Y.
bool InsideUpsideBox(const TZemObject& O, float X, float Y) {
    return O.LeftTop.X <= X && X <= O.RightBottom.X && O.RightBottom.Y <= Y && Y <= O.LeftTop.Y;
}

bool InHandle(const TPoint& Pointer, std::int32_t hx, std::int32_t hy) {
    const std::int64_t dx = static_cast<std::int64_t>(Pointer.X) - hx;
    const std::int64_t dy = static_cast<std::int64_t>(Pointer.Y) - hy;
    return dx >= -kHandleHalf && dx <= kHandleHalf && dy >= -kHandleHalf && dy <= kHandleHalf;
}

} // namespace

bool TZemObject::HitTest(float X, float Y, float Scale) const {
    const std::int32_t n = FPoints.Count();
    const double px = X, py = Y;
    if (Kind == otIco)
        return n > 0 && InsideIcon(FPoints[0], X, Y);
    if (Kind == otBmp)
        return InsidePoints(FPoints, X, Y);
    if ((Kind == otRoadCrossLine || Kind == otLine) && n >= 2) {
        for (std::int32_t i = 0; i + 1 < n; ++i)
            if (HitPenRule(Segment(FPoints[i], FPoints[i + 1]), px, py, Scale, Pen.Width))
                return true;
        return false;
    }
    if (Kind == otText || (Kind == otPolygon && n >= 3)) {
        if (InsidePoints(FPoints, X, Y))
            return true;
        // The outline catches a click on the boundary, where the crossing count may say outside.
        for (std::int32_t i = 0; i < n; ++i)
            if (HitPenRule(Segment(FPoints[i], FPoints[(i + 1) % n]), px, py, Scale, Pen.Width))
                return true;
        return false;
    }
    if (Kind == otRoadCross)
        return n > 0 && NearJunction(FPoints[0], px, py, Scale);
    if (Kind == otEllipse)
        return InsideUpsideBox(*this, X, Y);
    if (n < 2)
        return false;
    if (Kind == otPolygon) // exactly two points
        return HitFixedRule(Segment(FPoints[0], FPoints[1]), px, py) ||
               HitFixedRule(Segment(FPoints[1], FPoints[0]), px, py);
    if (Kind == otBezier) {
        // The control polygon stands for the drawn curve.
        for (std::int32_t i = 0; i + 1 < n; ++i)
            if (HitFixedRule(Segment(FPoints[i], FPoints[i + 1]), px, py))
                return true;
    }
    return false; // rectangles and filled curves exist only while being created
}

namespace {

// The current object when it shows handles the pointer can take: not an icon or a junction, and not
// locked (a locked object is selectable but cannot be changed by the pointer).
const TZemObject* HandleOwner(TZemDocument& Doc, const TZemEditState& Edit, std::int32_t Mode) {
    if (Edit.CurrentObject == -1 || Edit.EditMode != Mode)
        return nullptr;
    auto* Slot = Doc.Objects.Find(Edit.CurrentObject);
    if (!Slot)
        return nullptr;
    const TZemObject& O = **Slot;
    if (O.Kind == otIco || O.Kind == otRoadCross || O.Lock)
        return nullptr;
    return &O;
}

} // namespace

std::int32_t TZemMap::HitSizeHandle(const TXYPoint& P) {
    Edit.HoverSizeHandle = -1;
    const TZemObject* O = HandleOwner(Doc, Edit, 0);
    if (!O)
        return -1;
    const TPoint Pointer = WorldToScreen(P);
    const TPoint a = WorldToScreen(O->LeftTop), b = WorldToScreen(O->RightBottom);
    // The frame stands off the box by half the pen width, taken in pixels.
    const std::int32_t k = static_cast<std::uint8_t>(O->Pen.Width / 2);
    const std::int32_t L = a.X - k, T = a.Y - k, R = b.X + k, B = b.Y + k;
    const std::int32_t MX = static_cast<std::int32_t>((static_cast<std::int64_t>(L) + R) / 2);
    const std::int32_t MY = static_cast<std::int32_t>((static_cast<std::int64_t>(T) + B) / 2);
    struct THandle {
        std::int32_t Index, X, Y, Cursor;
    };
    // Corners first, so that on a small object the corners win over the edge middles.
    const THandle Handles[] = {{0, L, T, crSizeNWSE}, {4, R, B, crSizeNWSE}, {2, R, T, crSizeNESW},
                               {6, L, B, crSizeNESW}, {5, MX, B, crSizeNS},  {1, MX, T, crSizeNS},
                               {3, R, MY, crSizeWE},  {7, L, MY, crSizeWE}};
    for (const THandle& H : Handles)
        if (InHandle(Pointer, H.X, H.Y)) {
            Edit.HoverSizeHandle = H.Index;
            return H.Cursor;
        }
    return -1;
}

void TZemMap::HitPointHandle(const TXYPoint& P) {
    Edit.HoverVertex = -1;
    const TZemObject* O = HandleOwner(Doc, Edit, 1);
    if (!O)
        return;
    const TPoint Pointer = WorldToScreen(P);
    for (std::int32_t i = 0; i < O->PointCount(); ++i) {
        const TPoint v = WorldToScreen(O->Point(i));
        if (InHandle(Pointer, v.X, v.Y)) {
            Edit.HoverVertex = i;
            return;
        }
    }
}

void TZemMap::HitRotateHandle(const TXYPoint& P) {
    Edit.HoverRotate = -1;
    const TZemObject* O = HandleOwner(Doc, Edit, 2);
    if (!O)
        return;
    const TPoint Pointer = WorldToScreen(P);
    const TPoint a = WorldToScreen(O->LeftTop), b = WorldToScreen(O->RightBottom);
    const auto cx = static_cast<std::int32_t>((static_cast<std::int64_t>(a.X) + b.X) / 2);
    const auto cy = static_cast<std::int32_t>((static_cast<std::int64_t>(a.Y) + b.Y) / 2);
    if (InHandle(Pointer, cx, cy))
        Edit.HoverRotate = 1;
}

void TZemMap::SelectAt(const TPoint& Press) {
    const std::int32_t Previous = Edit.CurrentObject;
    Edit.CurrentObject = -1;
    const TXYPoint P = ScreenToWorld(Press);
    // The object drawn last is the one the user sees.
    const std::int32_t HitID = VisibleHit(P, true, false);
    TZemObject* Hit = HitID == -1 ? nullptr : &ObjectByID(HitID);
    if (Hit)
        Edit.CurrentObject = Hit->ID;

    if (Edit.CtrlDown) {
        Edit.Dragging = true; // Ctrl drags whatever handle mode the object is in
    } else if (Hit && Hit->ID != Previous) {
        Edit.EditMode = Hit->Kind == otText ? 1 : 0;
    } else if (Hit) {
        if (Hit->Kind == otText) {
            Edit.EditMode = Edit.EditMode == 1 ? 2 : 1; // a text's frame is its points
        } else {
            Edit.EditMode = (Edit.EditMode + 1) % 3;
            // Ellipses and pictures have no vertices worth dragging.
            if (Edit.EditMode == 1 && (Hit->Kind == otEllipse || Hit->Kind == otBmp))
                Edit.EditMode = 2;
        }
    }
    if (Hit)
        Hit->UpdateBounds();
    Redraw();
}

std::int32_t TZemMap::VisibleHit(const TXYPoint& P, bool Topmost, bool JunctionsOnly) {
    // Only objects near the point can hit it: a hairline or a junction is hit a few pixels off, the fixed
    // rule a few units off, and rounding to whole units moves a point by half a unit. Pens and icons are
    // inside the index's boxes.
    const double Reach =
        std::max(kHairlineTolerance, kJunctionReach) * 100.0 / View.Scale + kFixedTolerance + 2.0;
    std::vector<std::int32_t> Near;
    // Far out, rounding to whole units wraps round and may land on any object: there, walk the list.
    constexpr double kNoWrap = 0x1p30;
    if (!(std::fabs(P.X) < kNoWrap && std::fabs(P.Y) < kNoWrap))
        Near.assign(View.VisibleList.begin(), View.VisibleList.end());
    else
        ObjectsNear(TXYRect{static_cast<float>(P.X - Reach), static_cast<float>(P.Y - Reach),
                            static_cast<float>(P.X + Reach), static_cast<float>(P.Y + Reach)},
                    Near);
    std::int32_t Best = -1, BestIndex = -1;
    const TIntegerList& List = View.VisibleList;
    for (std::int32_t ID : Near) {
        const auto* Slot = Doc.Objects.Find(ID);
        if (!Slot)
            continue;
        const TZemObject& O = **Slot;
        if (JunctionsOnly && (O.Kind != otRoadCross || O.PointCount() == 0))
            continue;
        if (!O.HitTest(P.X, P.Y, View.Scale))
            continue;
        // Where the list holds it (the last place or the first, as the walk would meet it).
        std::int32_t Index = -1;
        if (Topmost) {
            for (std::int32_t i = List.Count() - 1; i > BestIndex && Index < 0; --i)
                if (List[i] == ID)
                    Index = i;
        } else {
            const std::int32_t Limit = BestIndex < 0 ? List.Count() : BestIndex;
            for (std::int32_t i = 0; i < Limit && Index < 0; ++i)
                if (List[i] == ID)
                    Index = i;
        }
        if (Index >= 0) {
            Best = ID;
            BestIndex = Index;
        }
    }
    return Best;
}

} // namespace zem
