// What is drawn over the objects: house numbers, the marks of the current object, the object under
// construction with its rubber pieces. The tools draw their own (editing/ZemTools.h).
#include "base/ZemRound.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "view/ZemPaintersUtil.h"
#include "view/ZemRasterColor.h"

#include <cmath>

namespace zem {

using ld = long double;
using namespace paint;

namespace {

// House numbers are written in one dark colour: the brush colour would vanish on the block it labels.
constexpr std::uint32_t kHouseNumberColor = 0x202020;
constexpr TColor32 kHandleBlue = 0xFF0000FF;

// An inverted square of +-3 pixels (one pixel wide) about P.
void InvertedSquare(TBitmap32& B, TRasterPoint P) {
    B.XorFrameThick(Nudge(P.X, -3), Nudge(P.Y, -3), 1, Nudge(P.X, 3), Nudge(P.Y, 3));
}

void BlueSquare(TBitmap32& B, TRasterPoint P) {
    B.FillRectClipped(Nudge(P.X, -3), Nudge(P.Y, -3), Nudge(P.X, 3), Nudge(P.Y, 3), kHandleBlue);
}

} // namespace

void TZemMap::PaintHouseNumber(std::int32_t ID) {
    if (!(View.Scale >= Doc.MinScaleAddress) || !Doc.HasOption(moShowAddress))
        return;
    const auto* Slot = Doc.Objects.Find(ID);
    if (!Slot)
        return;
    const TZemObject& O = **Slot;
    const TZemAddress& A = O.Address();
    if (A.Number.empty() && A.Number2.empty())
        return;
    const ZemString Text = A.Number2.empty() ? A.Number : A.Number + "/" + A.Number2;
    TBitmap32& B = BackBuffer;
    SetFont(B, "Arial", 8, 0, kHouseNumberColor);
    const TRasterSize S = B.TextSize(Text);
    const TPoint c =
        WorldToScreen(TXYPoint{static_cast<float>((static_cast<ld>(O.LeftTop.X) + O.RightBottom.X) / 2),
                               static_cast<float>((static_cast<ld>(O.LeftTop.Y) + O.RightBottom.Y) / 2)});
    std::int32_t X = Nudge(c.X, -(S.cx / 2)), Y = Nudge(c.Y, -(S.cy / 2));
    // On the roof of a block drawn in 3D; a block drawn flat keeps its number on itself.
    if (O.Ctl3D() && O.Height3D() != 0 && Doc.HasOption(moShow3D)) {
        const ld r = Round(static_cast<ld>(O.Height3D()) * View.Scale / 100);
        X = Round(X - r * std::cos(static_cast<ld>(Doc.Pseudo3DAngle)));
        Y = Round(r * std::sin(static_cast<ld>(Doc.Pseudo3DAngle)) + Y);
    }
    B.OutputText(X, Y, Text);
}

void TZemMap::PaintSelection(std::int32_t ID) {
    const auto* Slot = Doc.Objects.Find(ID);
    if (!Slot)
        return;
    const TZemObject& O = **Slot;
    TBitmap32& B = BackBuffer;
    B.LineWidth = 1;
    const TRasterPoint B1 = ToRaster(WorldToScreen(O.LeftTop)), B2 = ToRaster(WorldToScreen(O.RightBottom));
    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    const std::int32_t Mode = Edit.EditMode;

    switch (O.Kind) {
    case otText:
        for (int i = 0; i + 1 < P.Count(); ++i)
            B.MarchingLine(P[i].X, P[i].Y, P[i + 1].X, P[i + 1].Y);
        if (P.Count() > 1)
            B.MarchingLine(P[P.Last()].X, P[P.Last()].Y, P[0].X, P[0].Y);
        if (O.Lock)
            return;
        if (Mode == 2) {
            B.CrossMark(B1, B2);
        } else {
            for (int i = 0; i < P.Count(); ++i)
                B.Disc(P[i].X, P[i].Y, clBlack32, clWhite32, 3);
        }
        return;
    case otBezier:
        B.XorFrame(B1, B2);
        if (O.Lock)
            return;
        if (Mode == 0) {
            B.HandleMarks(B1, B2);
        } else if (Mode == 2) {
            B.CrossMark(B1, B2);
        } else if (Mode == 1) {
            // Triples of incoming handle, anchor, outgoing handle.
            for (int i = 0; i < P.Count(); ++i) {
                const int Anchor = i - i % 3 + 1;
                if (i % 3 == 1) {
                    InvertedSquare(B, P[i]);
                    continue;
                }
                BlueSquare(B, P[i]);
                if (Anchor < P.Count()) {
                    B.LineWidth = 1;
                    B.MarchingLine(P[i].X, P[i].Y, P[Anchor].X, P[Anchor].Y);
                }
            }
        }
        return;
    case otIco:
    case otRoadCross:
        return;
    default:
        B.XorFrame(B1, B2);
        if (O.Lock)
            return;
        if (Mode == 0)
            B.HandleMarks(B1, B2);
        else if (Mode == 1)
            for (int i = 0; i < P.Count(); ++i)
                InvertedSquare(B, P[i]);
        else if (Mode == 2)
            B.CrossMark(B1, B2);
        return;
    }
}

void TZemMap::PaintConstruction() {
    const TZemObject& O = NewObject;
    TBitmap32& B = BackBuffer;
    B.LineColor = ToColor32(static_cast<std::uint32_t>(O.Pen.Color));
    B.LineWidth = 1;
    B.LineStyle = O.Pen.Style;
    TScreenPoints P;
    ObjectToScreen(*this, O, P);
    const TRasterPoint M = ToRaster(WorldToScreen(View.CursorPos));
    const bool Caps = O.Pen.Flags != 0;
    B.ResetDash();

    // The placed points joined, a rubber piece to the mouse and, for a polygon, one back to the start.
    auto Rubber = [&](bool Invert, bool Close) {
        for (int i = 0; i + 1 < P.Count(); ++i)
            B.LineStyled(P[i].X, P[i].Y, P[i + 1].X, P[i + 1].Y, Caps, Invert, B.LineStyle);
        if (P.Count() > 0) {
            B.LineStyled(P[P.Last()].X, P[P.Last()].Y, M.X, M.Y, Caps, Invert, B.LineStyle);
            if (Close)
                B.LineStyled(M.X, M.Y, P[0].X, P[0].Y, Caps, Invert, B.LineStyle);
        }
        const std::uint8_t Style = B.LineStyle;
        for (int i = 0; i < P.Count(); ++i)
            InvertedSquare(B, P[i]);
        InvertedSquare(B, M);
        B.LineStyle = Style; // the squares leave the pen solid
        B.LineWidth = 1;
    };
    // The rectangle spanned by two points, with a square at each corner.
    auto Box = [&](TRasterPoint A, TRasterPoint C, bool Invert, bool Dashed) {
        const TRasterPoint R[4] = {A, {C.X, A.Y}, C, {A.X, C.Y}};
        const int Style = Dashed ? 1 : B.LineStyle;
        B.ResetDash();
        for (int i = 0; i < 4; ++i)
            B.LineStyled(R[i].X, R[i].Y, R[(i + 1) % 4].X, R[(i + 1) % 4].Y, false, Invert, Style);
        for (const TRasterPoint& Q : R)
            InvertedSquare(B, Q);
    };

    switch (O.Kind) {
    case otLine:
        Rubber(false, false);
        break;
    case otPolygon:
        Rubber(false, true);
        break;
    case otRoadCrossLine:
        Rubber(true, false);
        break;
    case otRectangle:
        if (P.Count() > 0)
            Box(P[0], M, false, false);
        break;
    case otText:
        if (P.Count() > 0)
            Box(P[0], M, true, false);
        // While the text dialog is open its values are already on the object: show the text as it
        // will be placed.
        if (!O.Text().empty()) {
            PaintTextOf(O, false);
            B.LineWidth = 1;
        }
        break;
    case otEllipse:
        if (P.Count() > 0) {
            B.LineColor = clWhite32;
            B.BrushStyle = 1;
            const TRasterPoint C{static_cast<std::int32_t>((std::int64_t(P[0].X) + M.X) / 2),
                                 static_cast<std::int32_t>((std::int64_t(P[0].Y) + M.Y) / 2)};
            B.EllipseRotated(C, 0, static_cast<int>(std::llabs(std::int64_t(M.X) - P[0].X) / 2),
                             static_cast<int>(std::llabs(std::int64_t(M.Y) - P[0].Y) / 2));
        }
        break;
    case otBezier: {
        TScreenPoints Q;
        for (int i = 0; i < P.Count(); ++i)
            Q.Add(P[i]);
        for (int i = 0; i < 3; ++i)
            Q.Add(M);
        B.PolyBezier(Q.Data(), Q.Last());
        for (int i = 0; i < Q.Count(); ++i)
            BlueSquare(B, Q[i]);
        break;
    }
    case otBmp:
        if (P.Count() > 0) {
            const std::int32_t Index = O.IconIndex();
            const TZemIcon* Icon = Index >= 0 && Index < Doc.Icons->Count() ? Doc.Icons->Get(Index) : nullptr;
            if (Icon && !Icon->Image().Empty()) {
                BlitAlpha(B, P[0].X, P[0].Y, Icon->Image(), 32, 32);
            } else {
                B.ResetDash();
                const TRasterPoint F[4] = {
                    P[0], {P[0].X + 32, P[0].Y}, {P[0].X + 32, P[0].Y + 32}, {P[0].X, P[0].Y + 32}};
                for (int i = 0; i < 4; ++i)
                    B.LineStyled(F[i].X, F[i].Y, F[(i + 1) % 4].X, F[(i + 1) % 4].Y, false, false, 0);
            }
            Box(P[0], M, false, true);
        }
        break;
    default:
        break;
    }
}

} // namespace zem
