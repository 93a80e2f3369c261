// Lines of the raster surface: the clipped one-pixel line, thick segments, and the styled walkers
// (solid, dashed, dotted, striped) whose step counters run on from one segment to the next.
//
// Every line is the pixel sequence of Bresenham's algorithm from its first to its second point, and
// clipping never changes that sequence: after the Cohen-Sutherland outcodes reject or accept the easy
// cases, the range of steps whose pixels fall inside is solved exactly in integers and the walk starts
// at the first of them. A line clipped by the surface therefore shows exactly the pixels the same line
// shows on a larger surface, however far outside its ends lie, and walking it costs only its visible
// part. The styled walkers do the same, advancing their counters over the invisible steps arithmetically.
#include "base/ZemRound.h"
#include "view/ZemRaster.h"
#include "view/ZemRasterFill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace zem {

using namespace raster;

namespace {

using i64 = std::int64_t;
using i128 = __int128;

i128 CeilDiv(i128 A, i128 B) { // B > 0
    i128 Q = A / B;
    if (A % B != 0 && A > 0)
        ++Q;
    return Q;
}

// The pixels of the line from (X1, Y1) to (X2, Y2) in Bresenham's order, addressable by step k = 0 ... N.
// With N the length along the major axis and A along the minor one, pixel k lies k steps along the major
// axis and floor((2kA + N) / 2N) along the minor one (the nearest pixel, halves rounded forward).
struct TLineSteps {
    i64 X0, Y0, N, A;
    int SMaj, SMin;
    bool XMajor;
    i64 K = 0, Min = 0, R = 0; // current step, its minor offset, remainder of 2kA + N modulo 2N

    TLineSteps(i64 X1, i64 Y1, i64 X2, i64 Y2) : X0(X1), Y0(Y1) {
        i64 DX = X2 - X1, DY = Y2 - Y1;
        i64 ADX = std::llabs(DX), ADY = std::llabs(DY);
        XMajor = ADX >= ADY;
        N = XMajor ? ADX : ADY;
        A = XMajor ? ADY : ADX;
        SMaj = (XMajor ? DX : DY) < 0 ? -1 : 1;
        SMin = (XMajor ? DY : DX) < 0 ? -1 : 1;
    }
    void Seek(i64 Step) {
        K = Step;
        if (N == 0) {
            Min = R = 0;
            return;
        }
        i128 U = static_cast<i128>(2) * Step * A + N;
        Min = static_cast<i64>(U / (2 * static_cast<i128>(N)));
        R = static_cast<i64>(U % (2 * static_cast<i128>(N)));
    }
    void Next() {
        ++K;
        R += 2 * A;
        if (R >= 2 * N) {
            R -= 2 * N;
            ++Min;
        }
    }
    i64 X() const { return XMajor ? X0 + SMaj * K : X0 + SMin * Min; }
    i64 Y() const { return XMajor ? Y0 + SMin * Min : Y0 + SMaj * K; }

    // The steps whose pixels lie in the box; false when there are none. The pixels move monotonically
    // on both axes, so those steps form one range.
    bool Range(i64 XMin, i64 YMin, i64 XMax, i64 YMax, i64& K0, i64& K1) const {
        i64 MajLo = XMajor ? XMin : YMin, MajHi = XMajor ? XMax : YMax;
        i64 MinLo = XMajor ? YMin : XMin, MinHi = XMajor ? YMax : XMax;
        i64 M0 = XMajor ? X0 : Y0, N0 = XMajor ? Y0 : X0;
        i128 Lo = 0, Hi = N;
        if (SMaj > 0) {
            Lo = std::max<i128>(Lo, static_cast<i128>(MajLo) - M0);
            Hi = std::min<i128>(Hi, static_cast<i128>(MajHi) - M0);
        } else {
            Lo = std::max<i128>(Lo, static_cast<i128>(M0) - MajHi);
            Hi = std::min<i128>(Hi, static_cast<i128>(M0) - MajLo);
        }
        i128 TLo = SMin > 0 ? static_cast<i128>(MinLo) - N0 : static_cast<i128>(N0) - MinHi;
        i128 THi = SMin > 0 ? static_cast<i128>(MinHi) - N0 : static_cast<i128>(N0) - MinLo;
        if (A == 0) {
            if (TLo > 0 || THi < 0)
                return false;
        } else {
            // minor(k) >= t  <=>  k >= ceil((2t - 1) N / 2A);  minor(k) <= t  <=>  k <= ceil((2t + 1) N / 2A)
            // - 1
            Lo = std::max(Lo, CeilDiv((2 * TLo - 1) * N, 2 * static_cast<i128>(A)));
            Hi = std::min(Hi, CeilDiv((2 * THi + 1) * N, 2 * static_cast<i128>(A)) - 1);
        }
        if (Lo > Hi)
            return false;
        K0 = static_cast<i64>(Lo);
        K1 = static_cast<i64>(Hi);
        return true;
    }
};

// Cohen-Sutherland outcode of a point against the box 0 ... W-1, 0 ... H-1.
int OutCode(i64 X, i64 Y, int W, int H) {
    return (X < 0 ? 1 : 0) | (X >= W ? 2 : 0) | (Y < 0 ? 4 : 0) | (Y >= H ? 8 : 0);
}

// Steps of a line worth walking for a pattern: those whose pixels lie within Margin of the surface,
// widened by Extra steps on both sides so that a pattern piece reaching in from outside is whole.
bool WalkRange(const TLineSteps& L, int W, int H, i64 Margin, i64 Extra, i64& KA, i64& KB) {
    i64 K0, K1;
    if (!L.Range(-Margin, -Margin, W - 1 + Margin, H - 1 + Margin, K0, K1))
        return false;
    KA = std::max<i64>(0, K0 - Extra);
    KB = std::min<i64>(L.N, K1 + Extra);
    return true;
}

i64 Modulo(i64 V, i64 M) {
    V %= M;
    return V < 0 ? V + M : V;
}

TPointF PointAt(const TLineSteps& L, i64 Step) {
    TLineSteps S = L;
    S.Seek(Step);
    return {static_cast<double>(S.X()), static_cast<double>(S.Y())};
}

} // namespace

void TBitmap32::PlotLine(i64 X1, i64 Y1, i64 X2, i64 Y2, bool Invert, TColor32 Color) {
    if (Empty())
        return;
    int C1 = OutCode(X1, Y1, FWidth, FHeight), C2 = OutCode(X2, Y2, FWidth, FHeight);
    if (C1 & C2)
        return; // both ends beyond the same side
    TLineSteps L(X1, Y1, X2, Y2);
    i64 K0 = 0, K1 = L.N;
    if ((C1 | C2) && !L.Range(0, 0, FWidth - 1, FHeight - 1, K0, K1))
        return;
    L.Seek(K0);
    // Walk by index: a major step moves along a row or a column, a minor step across.
    const std::ptrdiff_t Row = FWidth;
    const std::ptrdiff_t MajStep = L.XMajor ? L.SMaj : L.SMaj * Row,
                         MinStep = L.XMajor ? L.SMin * Row : L.SMin;
    std::ptrdiff_t Index = static_cast<std::ptrdiff_t>(L.Y()) * Row + static_cast<std::ptrdiff_t>(L.X());
    const i64 TwoA = 2 * L.A, TwoN = 2 * L.N;
    i64 R = L.R;
    TColor32* Bits = FBits.data();
    for (i64 K = K0;; ++K) {
        Bits[Index] = Invert ? Bits[Index] ^ kInvertMask32 : Color;
        if (K == K1)
            break;
        Index += MajStep;
        R += TwoA;
        if (R >= TwoN) {
            R -= TwoN;
            Index += MinStep;
        }
    }
}

void TBitmap32::LineClipped(int X1, int Y1, int X2, int Y2, TColor32 Color) {
    PlotLine(X1, Y1, X2, Y2, false, Color);
}

void TBitmap32::LineToClipped(int X, int Y) {
    LineClipped(PenPosition.X, PenPosition.Y, X, Y, LineColor);
    PenPosition = {X, Y};
}

void TBitmap32::ThickSegment(TPointF P, TPointF Q, int W, bool RoundCaps, bool Piece, bool Invert,
                             TColor32 Color, bool StartCap) {
    if (Empty())
        return;
    if (W <= 1) {
        PlotLine(static_cast<i64>(std::llround(P.X)), static_cast<i64>(std::llround(P.Y)),
                 static_cast<i64>(std::llround(Q.X)), static_cast<i64>(std::llround(Q.Y)), Invert, Color);
        return;
    }
    // The geometry is worked out relative to an integer origin near P, so that the same segment gives
    // the same pixels wherever it lies (and however it is clipped).
    const double Far = 1 << 29;
    int OX = std::fabs(P.X) < Far ? static_cast<int>(std::floor(P.X)) : 0;
    int OY = std::fabs(P.Y) < Far ? static_cast<int>(std::floor(P.Y)) : 0;
    P = {P.X - OX, P.Y - OY};
    Q = {Q.X - OX, Q.Y - OY};
    double DX = Q.X - P.X, DY = Q.Y - P.Y;
    double Len = std::hypot(DX, DY);
    if (Piece && RoundCaps) {
        // A rounded piece keeps its length: its ends move in by the caps' radius.
        double H = W / 2.0;
        if (Len > W) {
            P = {P.X + DX / Len * H, P.Y + DY / Len * H};
            Q = {Q.X - DX / Len * H, Q.Y - DY / Len * H};
        } else {
            P = Q = {(P.X + Q.X) / 2, (P.Y + Q.Y) / 2};
        }
        DX = Q.X - P.X;
        DY = Q.Y - P.Y;
        Len = std::hypot(DX, DY);
    }
    const int CW = FWidth - OX, CH = FHeight - OY; // the surface in local coordinates: -OX ... CW - 1
    TClipBox Clip{-OX, -OY, CW, CH};
    auto Spans = [&](auto&& Out) {
        auto Span = [&](int Y, int X1, int X2) { Out(Y + OY, X1 + OX, X2 + OX); };
        if (Len > 0) {
            int Lo = W / 2;
            if (DY == 0 && P.Y == std::floor(P.Y)) { // horizontal: a rectangle
                double Y0 = P.Y - Lo;
                double X1 = std::max(std::ceil(std::min(P.X, Q.X)), double(-OX));
                double X2 = std::min(std::floor(std::max(P.X, Q.X)), CW - 1.0);
                double YA = std::max(Y0, double(-OY)), YB = std::min(Y0 + W - 1, CH - 1.0);
                if (X1 <= X2)
                    for (double Y = YA; Y <= YB; ++Y)
                        Span(static_cast<int>(Y), static_cast<int>(X1), static_cast<int>(X2));
            } else if (DX == 0 && P.X == std::floor(P.X)) { // vertical: a rectangle
                double X0 = P.X - Lo;
                double Y1 = std::max(std::ceil(std::min(P.Y, Q.Y)), double(-OY));
                double Y2 = std::min(std::floor(std::max(P.Y, Q.Y)), CH - 1.0);
                double XA = std::max(X0, double(-OX)), XB = std::min(X0 + W - 1, CW - 1.0);
                if (XA <= XB)
                    for (double Y = Y1; Y <= Y2; ++Y)
                        Span(static_cast<int>(Y), static_cast<int>(XA), static_cast<int>(XB));
            } else { // the quadrilateral of half-width W/2 about PQ, through pixel centres
                double NX = -DY / Len * W / 2, NY = DX / Len * W / 2;
                TPointF Quad[4] = {{P.X + NX + 0.5, P.Y + NY + 0.5},
                                   {Q.X + NX + 0.5, Q.Y + NY + 0.5},
                                   {Q.X - NX + 0.5, Q.Y - NY + 0.5},
                                   {P.X - NX + 0.5, P.Y - NY + 0.5}};
                FillConvex(Quad, 4, Clip, Span);
            }
        }
        if (RoundCaps) {
            if (StartCap)
                CapSpans(P.X, P.Y, W, Clip, Span);
            if (Len > 0)
                CapSpans(Q.X, Q.Y, W, Clip, Span);
        }
    };
    if (Invert) {
        TSpanUnion& U = Union();
        Spans([&U](int Y, int X1, int X2) { U.Add(Y, X1, X2); });
        U.Flush(TInvertSpan{FBits.data(), FWidth});
    } else {
        Spans(TSolidSpan{FBits.data(), FWidth, Color});
    }
}

void TBitmap32::LineStyled(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert, int Style) {
    if (X1 == X2 && Y1 == Y2)
        return;
    switch (Style) {
    case 1:
        DashedLine(X1, Y1, X2, Y2, RoundCaps, Invert);
        break;
    case 2:
        DottedLine(X1, Y1, X2, Y2, Invert);
        break;
    case 3:
        StripedLine(X1, Y1, X2, Y2, RoundCaps, Invert);
        break;
    default:
        ThickSegment({double(X1), double(Y1)}, {double(X2), double(Y2)}, std::max(LineWidth, 1), RoundCaps,
                     false, Invert, LineColor);
    }
}

namespace {

// The walk shared by the dashed, striped and marching lines. A counter runs over the line's pixels in
// periods of Period: the first On pixels of each period form a piece, the rest a gap. Counter is the
// count before the first pixel and is left as it stands after the last one, so a pattern can run on
// into the next segment. Pixel(x, y, n) is called for each pixel of a piece and Piece(from, to, n) once
// for each piece (at its last pixel, or at the line's end for an unfinished one), n counting the
// pieces begun since the line's first pixel. Only the steps near the surface are walked; a pen wider
// than one pixel wants only the pieces, which are found without walking their pixels.
template <class TPixelFn, class TPieceFn>
void WalkPattern(const TLineSteps& Line, int SurfaceW, int SurfaceH, i64 W, i64& Counter, i64 Period, i64 On,
                 TPixelFn&& Pixel, TPieceFn&& Piece) {
    TLineSteps L = Line;
    i64 C0 = Modulo(Counter, Period);
    Counter = (C0 + L.N + 1) % Period;
    i64 KA, KB;
    if (!WalkRange(L, SurfaceW, SurfaceH, W + 2, Period + 1, KA, KB))
        return;
    i64 C = (C0 + KA) % Period;
    i64 N = (C0 + KA) / Period; // pieces begun before step KA
    if (W > 1) {
        // Wide pens draw whole pieces only: jump from piece to piece, so the cost is the pieces near the
        // surface, not the pixels of a line whose margin (its pen) may be billions of pixels wide.
        for (i64 K = KA; K <= KB;) {
            if (C < On) {
                const i64 From = std::max<i64>(0, K - C), To = K + (On - 1 - C);
                Piece(PointAt(L, From), PointAt(L, std::min(To, KB)), N);
                if (To >= KB)
                    return;
                K = To + 1;
                C = On;
            }
            K += Period - C;
            C = 0;
            ++N;
        }
        return;
    }
    TPointF Start = PointAt(L, std::max<i64>(0, KA - C)), Cur;
    L.Seek(KA);
    for (i64 K = KA; K <= KB; ++K, L.Next()) {
        Cur = {double(L.X()), double(L.Y())};
        if (C == 0)
            Start = Cur;
        if (C < On)
            Pixel(L.X(), L.Y(), N);
        ++C;
        if (C == On)
            Piece(Start, Cur, N);
        if (C == Period) {
            C = 0;
            ++N;
        }
    }
    if (C > 0 && C < On)
        Piece(Start, Cur, N);
}

} // namespace

// Dashes: of each 4W pixels the first 3W are drawn (as one piece when the 3W-th is reached), then the
// next pixel starts a new dash; an unfinished dash is drawn to the line's end. Width 1: three on, one
// off.
void TBitmap32::DashedLine(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert) {
    const i64 W = std::max(LineWidth, 1);
    i64 Counter = DashCounters[0];
    WalkPattern(
        TLineSteps(X1, Y1, X2, Y2), FWidth, FHeight, W, Counter, 4 * W, 3 * W,
        [&](i64 X, i64 Y, i64) {
            if (W == 1)
                Invert ? InvertPixel(int(X), int(Y)) : SetPixel(int(X), int(Y), LineColor);
        },
        [&](TPointF From, TPointF To, i64) {
            if (W > 1)
                ThickSegment(From, To, int(W), RoundCaps, true, Invert, LineColor);
        });
    DashCounters[0] = static_cast<std::int32_t>(Counter);
}

// Dots: a disc of radius Round(W/2) where the counter is 0, which then counts 1 ... 2W and returns to
// 0, so dots fall on the first pixel and every 2W + 1 pixels after it.
void TBitmap32::DottedLine(int X1, int Y1, int X2, int Y2, bool Invert) {
    const i64 W = std::max(LineWidth, 1), Period = 2 * W + 1;
    const int Radius = Round(W / 2.0L);
    TLineSteps L(X1, Y1, X2, Y2);
    i64 C = Modulo(DashCounters[1], Period);
    DashCounters[1] = static_cast<std::int32_t>((C + L.N + 1) % Period);
    i64 KA, KB;
    if (Empty() || !WalkRange(L, FWidth, FHeight, Radius + 2, 0, KA, KB))
        return;
    for (i64 K = KA + (Period - (C + KA) % Period) % Period; K <= KB; K += Period) {
        L.Seek(K);
        if (Invert)
            InvertedDisc(int(L.X()), int(L.Y()), Radius);
        else
            Disc(int(L.X()), int(L.Y()), LineColor, LineColor, Radius);
    }
}

// Stripes: pieces of 3W pixels, alternately in LineColor and its complement; the colour starts over
// with each line while the counter runs on.
void TBitmap32::StripedLine(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert) {
    const i64 W = std::max(LineWidth, 1);
    i64 Counter = DashCounters[2];
    auto ColorOf = [this](i64 Piece) { return Piece % 2 ? LineColor ^ kInvertMask32 : LineColor; };
    WalkPattern(
        TLineSteps(X1, Y1, X2, Y2), FWidth, FHeight, W, Counter, 3 * W, 3 * W,
        [&](i64 X, i64 Y, i64 Piece) {
            if (W == 1)
                Invert ? InvertPixel(int(X), int(Y)) : SetPixel(int(X), int(Y), ColorOf(Piece));
        },
        [&](TPointF From, TPointF To, i64 Piece) {
            if (W > 1)
                ThickSegment(From, To, int(W), RoundCaps, true, Invert, ColorOf(Piece));
        });
    DashCounters[2] = static_cast<std::int32_t>(Counter);
}

// Segments in the order 1->0, 1->2, 2->3, ..., (last-2)->(last-1), last->(last-1): the two outer ones
// with the given ends, the inner ones round when the pen is solid.
void TBitmap32::PolylineStyled(const TRasterPoint* Points, int Last, bool RoundCaps) {
    ResetDash();
    if (!Points || Last < 1)
        return;
    auto Seg = [&](int A, int B, bool Caps) {
        LineStyled(Points[A].X, Points[A].Y, Points[B].X, Points[B].Y, Caps, false, LineStyle);
    };
    Seg(1, 0, RoundCaps);
    if (Last == 1)
        return;
    bool InnerCaps = LineStyle == 0 ? true : RoundCaps;
    for (int i = 1; i <= Last - 2; ++i)
        Seg(i, i + 1, InnerCaps);
    Seg(Last, Last - 1, RoundCaps);
    if (Last == 2) {
        int R = Round(std::max(LineWidth, 1) / 2.0L);
        Disc(Points[1].X, Points[1].Y, LineColor, LineColor, R);
    }
}

// Inverted dashes of 10W pixels with gaps of 10W pixels, with a pattern of its own.
void TBitmap32::MarchingLine(int X1, int Y1, int X2, int Y2) {
    const i64 W = std::max(LineWidth, 1);
    i64 Counter = 0;
    WalkPattern(
        TLineSteps(X1, Y1, X2, Y2), FWidth, FHeight, W, Counter, 20 * W, 10 * W,
        [&](i64 X, i64 Y, i64) {
            if (W == 1)
                InvertPixel(int(X), int(Y));
        },
        [&](TPointF From, TPointF To, i64) {
            if (W > 1)
                ThickSegment(From, To, int(W), false, true, true, 0);
        });
}

// Two 15-pixel strokes from the tip, at 45 degrees either side of the way back.
namespace {

// The ends of an arrow head's two strokes relative to its tip, for the direction (DX, DY) from the tip
// back along the line.
struct TBarbs {
    int X[2], Y[2];
};

TBarbs BarbsOf(double DX, double DY) {
    const double Back = std::atan2(DY, DX);
    const double Sides[2] = {std::numbers::pi / 4, -std::numbers::pi / 4};
    TBarbs B{};
    for (int i = 0; i < 2; ++i) {
        B.X[i] = Round(15 * std::cos(Back + Sides[i]));
        B.Y[i] = Round(15 * std::sin(Back + Sides[i]));
    }
    return B;
}

// Segments of a zoomed-out network are a few pixels long, so their arrows take few directions: those
// of short ones are worked out once (the same way, so the same pixels).
constexpr int kBarbReach = 24;

const TBarbs& ShortBarbs(int DX, int DY) {
    struct TTable {
        TBarbs Of[2 * kBarbReach + 1][2 * kBarbReach + 1];
        TTable() {
            for (int Y = -kBarbReach; Y <= kBarbReach; ++Y)
                for (int X = -kBarbReach; X <= kBarbReach; ++X)
                    Of[Y + kBarbReach][X + kBarbReach] = BarbsOf(X, Y);
        }
    };
    static const TTable Table;
    return Table.Of[DY + kBarbReach][DX + kBarbReach];
}

} // namespace

void TBitmap32::ArrowHead(TRasterPoint From, TRasterPoint Tip) {
    const i64 DX = i64(From.X) - Tip.X, DY = i64(From.Y) - Tip.Y;
    const TBarbs B = std::abs(DX) <= kBarbReach && std::abs(DY) <= kBarbReach
                         ? ShortBarbs(static_cast<int>(DX), static_cast<int>(DY))
                         : BarbsOf(double(From.X) - Tip.X, double(From.Y) - Tip.Y);
    for (int i = 0; i < 2; ++i)
        PlotLine(Tip.X, Tip.Y, i64(Tip.X) + B.X[i], i64(Tip.Y) + B.Y[i], false, LineColor);
}

} // namespace zem
