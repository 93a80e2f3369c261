// The geometric operations the pointer applies to an object, its default style, and the two vertex
// commands of the context menu.
#include "model/ZemMap.h"

#include <cmath>
#include <cstdlib>

namespace zem {

namespace {

// Half the side of a vertex handle's square, in pixels.
constexpr std::int32_t kHandleHalf = 3;
// A vertex added from the menu lands this many pixels right and below the pointer, so that it does
// not hide under the vertex the menu was opened on.
constexpr std::int32_t kNewVertexOffset = 5;

constexpr std::uint8_t kPenSolid = 0;
constexpr std::uint8_t kBrushClear = 1;
constexpr TColor kDefaultColor = RGBColor(255, 255, 255);
constexpr std::int32_t kDefaultFontSize = 16;

} // namespace

void TZemObject::MoveTo(const TXYPoint& Target) {
    const double dx = static_cast<double>(Target.X) - LeftTop.X;
    const double dy = static_cast<double>(Target.Y) - LeftTop.Y;
    for (std::int32_t i = 0; i < FPoints.Count(); ++i) {
        const TXYPoint p = FPoints[i];
        FPoints.SetPoint(i, TXYPoint{static_cast<float>(p.X + dx), static_cast<float>(p.Y + dy)});
    }
    UpdateBounds();
    Changed();
}

void TZemObject::StretchToBox(const TXYPoint& NewLeftTop, const TXYPoint& NewRightBottom) {
    // The box holds the half pen, so the widened frame is what follows the pointer.
    const double w = static_cast<double>(RightBottom.X) - LeftTop.X;
    const double h = static_cast<double>(RightBottom.Y) - LeftTop.Y;
    if (w == 0.0 || h == 0.0)
        return; // a flat box has no proportions to keep
    const double fx = (static_cast<double>(NewRightBottom.X) - NewLeftTop.X) / w;
    const double fy = (static_cast<double>(NewRightBottom.Y) - NewLeftTop.Y) / h;
    for (std::int32_t i = 0; i < FPoints.Count(); ++i) {
        const TXYPoint p = FPoints[i];
        FPoints.SetPoint(i, TXYPoint{static_cast<float>(NewLeftTop.X + fx * (p.X - LeftTop.X)),
                                     static_cast<float>(NewLeftTop.Y + fy * (p.Y - LeftTop.Y))});
    }
    UpdateBounds();
    Changed();
}

void TZemObject::Rotate(float Angle) {
    if (TracksAngle(Kind))
        FAngle += Angle; // an ellipse turns by its angle alone; a picture's or text's letters with the box
    if (Kind != otEllipse) {
        const double c = std::cos(static_cast<double>(Angle)), s = std::sin(static_cast<double>(Angle));
        const double k = 1.0 / (c * c + s * s);
        const double cx = (static_cast<double>(LeftTop.X) + RightBottom.X) / 2;
        const double cy = (static_cast<double>(LeftTop.Y) + RightBottom.Y) / 2;
        for (std::int32_t i = 0; i < FPoints.Count(); ++i) {
            const double x = FPoints[i].X - cx, y = FPoints[i].Y - cy;
            FPoints.SetPoint(i, TXYPoint{static_cast<float>(cx + k * (x * c + y * s)),
                                         static_cast<float>(cy + k * (y * c - x * s))});
        }
    }
    UpdateBounds();
    Changed();
}

void TZemObject::TurnTo(float Angle, float Shown) {
    Rotate(Angle - (TracksAngle(Kind) ? FAngle : Shown));
}

void TZemObject::ApplyDefaultStyle() {
    Pen = TZemPen{kPenSolid, kDefaultColor, 0, 0};
    Brush = TZemBrush{0, kBrushClear};
    FAddress = TZemAddress{};
    Font = TZemFont{};
    Font.Color = kDefaultColor;
    Font.Size = kDefaultFontSize;
}

namespace {

// The current object and the index of the first vertex whose handle square holds the screen point;
// null when the object has no vertex handles to offer.
TZemObject* VertexAt(TZemMap& Map, const TPoint& At, std::int32_t& Index) {
    Index = -1;
    if (Map.Edit.CurrentObject == -1 || !Map.Doc.HasOption(moEditable))
        return nullptr;
    auto* Slot = Map.Doc.Objects.Find(Map.Edit.CurrentObject);
    if (!Slot)
        return nullptr;
    TZemObject& O = **Slot;
    // Icons and junctions show no vertex handles, and a locked object is not changed by the pointer.
    if (O.Kind == otIco || O.Kind == otRoadCross || O.Lock)
        return nullptr;
    for (std::int32_t i = 0; i < O.PointCount(); ++i) {
        const TPoint v = Map.WorldToScreen(O.Point(i));
        if (std::llabs(static_cast<long long>(At.X) - v.X) <= kHandleHalf &&
            std::llabs(static_cast<long long>(At.Y) - v.Y) <= kHandleHalf) {
            Index = i;
            return &O;
        }
    }
    return nullptr;
}

} // namespace

bool TZemMap::AddVertexAtMenuPoint() {
    std::int32_t i = -1;
    TZemObject* O = VertexAt(*this, Edit.MenuPoint, i);
    if (!O)
        return false;
    const TXYPoint P =
        ScreenToWorld(Edit.MenuPoint.X + kNewVertexOffset, Edit.MenuPoint.Y + kNewVertexOffset);
    {
        TZemChange Step(*this, "добавление точки");
        TouchObject(O->ID);
        O->InsertPoint(i, P);
    }
    Refresh();
    return true;
}

bool TZemMap::DeleteVertexAtMenuPoint() {
    std::int32_t i = -1;
    TZemObject* O = VertexAt(*this, Edit.MenuPoint, i);
    if (!O)
        return false;
    {
        TZemChange Step(*this, "удаление точки");
        TouchObject(O->ID);
        O->DeletePoint(i);
        AttachSegmentEnds(O->ID);
    }
    Refresh();
    return true;
}

} // namespace zem
