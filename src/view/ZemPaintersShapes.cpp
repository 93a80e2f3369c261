// The painters of the drawing objects: lines, polygons and pseudo-3D blocks, ellipses, texts, Bézier
// curves, pictures and icons, and the dispatch by kind.
#include "base/ZemRound.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "view/ZemFlashColours.h"
#include "view/ZemPaintersUtil.h"
#include "view/ZemRasterColor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zem {

using ld = long double;
using namespace paint;

namespace {

TColor32 PenColor(const TZemObject& O) {
    return ToColor32(static_cast<std::uint32_t>(O.Pen.Color));
}

TColor32 BrushColorOf(const TZemObject& O) {
    return ToColor32(static_cast<std::uint32_t>(O.Brush.Color));
}

// A face name for the text engine (UTF-8). Names are nearly always plain ASCII, which needs no
// conversion: a frame writes hundreds of labels.
// The object's pen on the surface; shapes that fill also take its brush.
void UsePen(TBitmap32& B, const TZemObject& O, std::int32_t Width) {
    B.LineColor = PenColor(O);
    B.LineWidth = Width;
    B.LineStyle = O.Pen.Style;
}

void UsePenAndBrush(TBitmap32& B, const TZemObject& O, std::int32_t Width) {
    UsePen(B, O, Width);
    B.BrushColor = BrushColorOf(O);
    B.BrushStyle = O.Brush.Style;
}

std::string FaceName(const ZemString& Name) {
    for (unsigned char C : Name)
        if (C >= 0x80)
            return ToUtf8(Name);
    return Name;
}

} // namespace

std::int32_t TZemMap::ScaledPenWidth(const TZemObject& O) const {
    if (O.Pen.Width == 0)
        return 1;
    // A width that rounds to 0 at a small scale still draws a hairline; so does an absurd one.
    const std::int32_t W = Round(static_cast<ld>(O.Pen.Width) * View.Scale / 100);
    return W < 1 ? 1 : W;
}

void TZemMap::PaintObject(std::int32_t ID) {
    const auto* Slot = Doc.Objects.Find(ID);
    if (!Slot)
        return;
    // Blinking shows in the frame only: the object's stored colours are put back after the paint.
    const TZemFlashColours Flash(**Slot, FlashesNow(ID));
    switch ((*Slot)->Kind) {
    case otLine:
        PaintLine(ID);
        break;
    case otPolygon:
    case otRectangle:
        PaintPolygon(ID);
        break;
    case otEllipse:
        PaintEllipse(ID);
        break;
    case otText:
        PaintText(ID, false);
        break;
    case otBezier:
        PaintBezier(ID);
        break;
    case otBmp:
        PaintBitmapObject(ID);
        break;
    case otIco:
        PaintIcon(ID);
        break;
    case otRoadCross:
        if (Net.ShowTransportCrosses)
            PaintJunction(ID);
        break;
    case otRoadCrossLine:
        PaintSegment(ID);
        break;
    default:
        break; // otFillBezier and unknown kinds draw nothing
    }
    PaintHouseNumber(ID);
}

void TZemMap::PaintLine(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    TBitmap32& B = BackBuffer;
    UsePen(B, O, ScaledPenWidth(O));
    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    B.PolylineStyled(P.Data(), P.Last(), O.Pen.Flags != 0);
}

void TZemMap::PaintPolygon(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    const TPoint a = WorldToScreen(O.LeftTop), b = WorldToScreen(O.RightBottom);
    const std::int64_t MinView = Doc.MinObjectView;
    if (std::llabs(std::int64_t(b.X) - a.X) < MinView && std::llabs(std::int64_t(b.Y) - a.Y) < MinView)
        return;
    TBitmap32& B = BackBuffer;
    UsePenAndBrush(B, O, ScaledPenWidth(O));
    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    if (O.Ctl3D() && Doc.HasOption(moShow3D) && View.Scale >= Doc.MinScaleAddress)
        B.Polygon3D(P.Data(), P.Last(), true, Round(static_cast<ld>(View.Scale) * O.Height3D() / 100),
                    Doc.Pseudo3DAngle);
    else
        B.PolygonFilled(P.Data(), P.Last(), true);
}

void TZemMap::PaintEllipse(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    if (O.PointCount() < 2)
        return;
    TBitmap32& B = BackBuffer;
    UsePenAndBrush(B, O, ScaledPenWidth(O));
    const TPoint p = WorldToScreen(O.Point(0)), q = WorldToScreen(O.Point(1));
    const TRasterPoint C{static_cast<std::int32_t>((std::int64_t(p.X) + q.X) / 2),
                         static_cast<std::int32_t>((std::int64_t(p.Y) + q.Y) / 2)};
    const auto Rx = static_cast<std::int32_t>(std::llabs(std::int64_t(q.X) - p.X) / 2);
    const auto Ry = static_cast<std::int32_t>(std::llabs(std::int64_t(q.Y) - p.Y) / 2);
    B.EllipseRotated(C, O.Angle(), Rx, Ry);
}

void TZemMap::PaintText(std::int32_t ID, bool Selected) {
    PaintTextOf(ObjectByID(ID), Selected);
}

void TZemMap::PaintTextOf(const TZemObject& O, bool Selected) {
    if (O.PointCount() < 1)
        return;
    TBitmap32& B = BackBuffer;
    const std::int32_t Size = Round(static_cast<ld>(O.Font.Size) * View.Scale / 100);
    if (Size < Doc.MinObjectView)
        return;
    B.LineColor = PenColor(O); // a text takes its pen's colour, not its font's
    SetFont(B, FaceName(O.Font.Name), Size, O.Font.Style);
    const TPoint p = WorldToScreen(O.Point(0));
    B.OutputTextRotated(p.X, p.Y, Selected, O.Angle(), O.Text());
}

void TZemMap::PaintBezier(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    TBitmap32& B = BackBuffer;
    UsePenAndBrush(B, O, ScaledPenWidth(O));
    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    B.PolyBezier(P.Data(), P.Last());
}

void TZemMap::PaintBitmapObject(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    if (O.PointCount() < 4)
        return;
    TBitmap32& B = BackBuffer;
    UsePen(B, O, ScaledPenWidth(O));
    TScreenPoints P;
    for (std::int32_t i = 0; i < 4; ++i)
        P.Add(ToRaster(WorldToScreen(O.Point(i))));
    P.Add(P[0]);
    B.PolylineStyled(P.Data(), P.Last(), O.Pen.Flags != 0);

    // A picture missing from the library leaves the frame alone.
    if (O.BitmapIndex < 0 || O.BitmapIndex >= Doc.Bitmaps->Count())
        return;
    const TZemImage* Picture = Doc.Bitmaps->Get(O.BitmapIndex);
    if (!Picture || Picture->Empty())
        return;
    // The picture fills its frame as the frame lies on screen: its top edge runs from corner 0 to
    // corner 1, its left edge from corner 0 to corner 3, whatever the angle. Only the pixels of the
    // window are mapped back into the picture, so a picture zoomed far in costs no more than the frame.
    auto F = [](TRasterPoint Q) { return TPointF{double(Q.X), double(Q.Y)}; };
    const TPointF C0 = F(P[0]), C1 = F(P[1]), C3 = F(P[3]);
    B.DrawOnFrame(*Picture, C0, TPointF{C1.X - C0.X, C1.Y - C0.Y}, TPointF{C3.X - C0.X, C3.Y - C0.Y},
                  B.LineColor);
}

void TZemMap::PaintIcon(std::int32_t ID) {
    const TZemObject& O = ObjectByID(ID);
    if (O.PointCount() < 1)
        return;
    TBitmap32& B = BackBuffer;
    const TPoint p = WorldToScreen(O.Point(0));
    const std::int32_t X = Nudge(p.X, -16), Y = Nudge(p.Y, -16);
    const std::int32_t Index = O.IconIndex();
    if (Index != -1 && Index >= 0 && Index < Doc.Icons->Count()) {
        if (const TZemIcon* Icon = Doc.Icons->Get(Index); Icon && !Icon->Image().Empty()) {
            // An icon without a 32 x 32 image is scaled into the cell, as the window system draws it.
            BlitAlpha(B, X, Y, Icon->Image(), 32, 32);
            return;
        }
    }
    // The placeholder: an inverted square outline and "ico" in the middle.
    B.LineWidth = 1;
    const TRasterPoint Corners[5] = {{X, Y}, {X + 32, Y}, {X + 32, Y + 32}, {X, Y + 32}, {X, Y}};
    for (int i = 0; i < 4; ++i)
        B.LineStyled(Corners[i].X, Corners[i].Y, Corners[i + 1].X, Corners[i + 1].Y, false, true, 0);
    SetFont(B, "MS Sans Serif", 8, 0, 0x000100);
    const ZemString Text = "ico";
    const TRasterSize S = B.TextSize(Text);
    B.OutputText(X + 16 - S.cx / 2, Y + 16 - S.cy / 2, Text);
}

namespace paint {

void BlitAlpha(TBitmap32& Target, int X, int Y, const TBitmap32& Image) {
    BlitAlpha(Target, X, Y, Image.View(), Image.Width(), Image.Height());
}

void BlitAlpha(TBitmap32& Target, int X, int Y, TPixelView Image, int W, int H) {
    if (Target.Empty() || Image.Empty() || W <= 0 || H <= 0)
        return;
    using i64 = std::int64_t;
    const int X1 = std::max(X, 0), Y1 = std::max(Y, 0);
    const int X2 = static_cast<int>(std::min<i64>(i64(X) + W, Target.Width()));
    const int Y2 = static_cast<int>(std::min<i64>(i64(Y) + H, Target.Height()));
    const i64 IW = Image.Width, IH = Image.Height;
    for (int y = Y1; y < Y2; ++y) {
        const TColor32* S = Image.ScanLine(static_cast<int>((i64(y) - Y) * IH / H));
        TColor32* D = Target.ScanLine(y) + X1;
        for (int x = X1; x < X2; ++x, ++D)
            *D = BlendReg(S[(i64(x) - X) * IW / W], *D) | 0xFF000000u;
    }
}

} // namespace paint

} // namespace zem
