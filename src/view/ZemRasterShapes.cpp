// Shapes of the raster surface: filled polygons (brush fill by the scanline filler, then the styled
// outline), pseudo-3D blocks, Bézier chains, rotated ellipses, discs, the inverted marks of the editor
// and rotated bitmaps.
#include "base/ZemRound.h"
#include "view/ZemRaster.h"
#include "view/ZemRasterFill.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace zem {

using namespace raster;

namespace {

// Discs up to this radius follow the midpoint circle exactly; its walk and row table grow with the
// radius, which a stored pen width could otherwise push to gigabytes.
constexpr int kMaxMidpointRadius = 4096;

// Spans and outline of a Disc: radius 1 is one pixel, radius 2 the centre and its four neighbours
// (the neighbours being the outline), larger radii a midpoint circle. Span(y, x1, x2) receives the
// rows of the whole disc, Outline(x, y) the circle's own pixels.
template <class TSpanFn, class TPixelFn>
void DiscShape(int CX, int CY, int Radius, int Width, int Height, TSpanFn&& Span, TPixelFn&& Outline) {
    auto Row = [&](std::int64_t Y, std::int64_t X1, std::int64_t X2) {
        if (Y < 0 || Y >= Height)
            return;
        X1 = std::max<std::int64_t>(X1, 0);
        X2 = std::min<std::int64_t>(X2, Width - 1);
        if (X1 <= X2)
            Span(int(Y), int(X1), int(X2));
    };
    if (Radius <= 1) {
        Row(CY, CX, CX);
        return;
    }
    if (Radius == 2) {
        Row(std::int64_t(CY) - 1, CX, CX);
        Row(CY, std::int64_t(CX) - 1, std::int64_t(CX) + 1);
        Row(std::int64_t(CY) + 1, CX, CX);
        for (auto [DX, DY] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            Outline(std::int64_t(CX) + DX, std::int64_t(CY) + DY);
        return;
    }
    // Only the rows on the surface are visited, so a disc far larger than the surface costs no more
    // than the surface.
    const std::int64_t RowFrom = std::max<std::int64_t>(-Radius, -std::int64_t(CY)),
                       RowTo = std::min<std::int64_t>(Radius, std::int64_t(Height) - 1 - CY);
    if (Radius > kMaxMidpointRadius) {
        // Beyond any pen a map is drawn with: each row's half width straight from the circle, and the
        // outline as the part of a row not covered by the next row outwards.
        const long double R2 = (Radius + 0.5L) * (Radius + 0.5L);
        auto HalfOf = [&](std::int64_t DY) -> std::int64_t {
            if (DY < -Radius || DY > Radius)
                return -1;
            return static_cast<std::int64_t>(std::sqrt(std::max(0.0L, R2 - (long double)DY * DY)));
        };
        for (std::int64_t DY = RowFrom; DY <= RowTo; ++DY) {
            const std::int64_t H = HalfOf(DY), Out = HalfOf(DY < 0 ? DY - 1 : DY + 1);
            const std::int64_t Y = std::int64_t(CY) + DY;
            Row(Y, std::int64_t(CX) - H, std::int64_t(CX) + H);
            for (const std::int64_t Sign : {-1, 1}) {
                std::int64_t A = std::int64_t(CX) + Sign * (Out + 1), Z = std::int64_t(CX) + Sign * H;
                if (A > Z)
                    std::swap(A, Z);
                for (std::int64_t X = std::max<std::int64_t>(A, 0); X <= std::min<std::int64_t>(Z, Width - 1);
                     ++X)
                    Outline(X, Y);
            }
        }
        return;
    }
    // Half widths of the rows 0 ... Radius from the centre, from the midpoint circle.
    std::vector<int> Half(static_cast<std::size_t>(Radius) + 1, 0);
    auto Points = [&](auto&& Visit) {
        int X = 0, Y = Radius, D = 1 - Radius;
        while (X <= Y) {
            Visit(X, Y);
            if (D < 0) {
                D += 2 * X + 3;
            } else {
                D += 2 * (X - Y) + 5;
                --Y;
            }
            ++X;
        }
    };
    Points([&](int X, int Y) {
        Half[Y] = std::max(Half[Y], X);
        Half[X] = std::max(Half[X], Y);
    });
    for (std::int64_t DY = RowFrom; DY <= RowTo; ++DY) {
        int H = Half[static_cast<std::size_t>(std::llabs(DY))];
        Row(std::int64_t(CY) + DY, std::int64_t(CX) - H, std::int64_t(CX) + H);
    }
    Points([&](int X, int Y) {
        for (auto [A, B] : {std::pair{X, Y}, {Y, X}})
            for (int SX : {-1, 1})
                for (int SY : {-1, 1})
                    Outline(std::int64_t(CX) + std::int64_t(SX) * A, std::int64_t(CY) + std::int64_t(SY) * B);
    });
}

} // namespace

// ---- Polygons ----

void TBitmap32::FillBrush(const TRasterPoint* Points, int Count) {
    if (Empty() || Count < 3)
        return;
    TScanlineFiller& F = Filler();
    F.Reset();
    F.AddContour(Points, Count);
    TClipBox Clip{0, 0, FWidth, FHeight};
    // What the window system paints is opaque whatever the alpha of the brush colour.
    TColor32 Color = BrushColor | 0xFF000000u;
    if (BrushStyle >= 2 && BrushStyle <= 7)
        F.Fill(Clip, TFillRule::frEvenOdd, THatchSpan{FBits.data(), FWidth, Color, BrushStyle});
    else
        F.Fill(Clip, TFillRule::frEvenOdd, TSolidSpan{FBits.data(), FWidth, Color});
}

void TBitmap32::PolygonFilled(const TRasterPoint* Points, int Last, bool RoundCaps) {
    ResetDash();
    if (!Points || Last < 0)
        return;
    if (BrushStyle != 1)
        FillBrush(Points, Last + 1);
    for (int i = 0; i < Last; ++i)
        LineStyled(Points[i].X, Points[i].Y, Points[i + 1].X, Points[i + 1].Y, RoundCaps, false, LineStyle);
    if (Last >= 1)
        LineStyled(Points[Last].X, Points[Last].Y, Points[0].X, Points[0].Y, RoundCaps, false, LineStyle);
}

// A pseudo-3D block: the base, the walls that face the viewer (darkened by 20 per cent), the roof.
void TBitmap32::Polygon3D(const TRasterPoint* Points, int Last, bool RoundCaps, int Height, double Angle) {
    if (Height == 0 || !Points || Last < 1) {
        PolygonFilled(Points, Last, RoundCaps);
        return;
    }
    const int Count = Last + 1;
    std::vector<TRasterPoint> Roof(Count);
    double C = std::cos(Angle), S = std::sin(Angle);
    for (int i = 0; i < Count; ++i)
        Roof[i] = {Round(Points[i].X - Height * C), Round(Points[i].Y + Height * S)};
    PolygonFilled(Points, Last, RoundCaps);
    TColor32 SavedBrush = BrushColor, SavedLine = LineColor;
    BrushColor = Darken(BrushColor, 20);
    // The wall on edge A-B faces the viewer when the test point T (the integer third of three
    // consecutive vertices) is not below the foot F of its perpendicular on the edge's line:
    // T.y <= F.y, compared exactly (in 128 bits) as (T.y - A.y) * |AB|^2 <= ((T - A) . AB) * AB.y.
    auto Faces = [](TRasterPoint A, TRasterPoint B, TRasterPoint T) {
        using i128 = __int128;
        i128 DX = i128(B.X) - A.X, DY = i128(B.Y) - A.Y;
        i128 L2 = DX * DX + DY * DY;
        if (L2 == 0)
            return false;
        i128 Dot = (i128(T.X) - A.X) * DX + (i128(T.Y) - A.Y) * DY;
        return (i128(T.Y) - A.Y) * L2 <= Dot * DY;
    };
    auto Wall = [&](int I, int J) {
        TRasterPoint Quad[4] = {Points[I], Points[J], Roof[J], Roof[I]};
        PolygonFilled(Quad, 3, RoundCaps);
    };
    TRasterPoint T{};
    for (int i = 0; i + 1 < Count; ++i) {
        const TRasterPoint &A = Points[i], &B = Points[i + 1], &D = Points[(i + 2) % Count];
        T = {static_cast<std::int32_t>((std::int64_t(A.X) + B.X + D.X) / 3),
             static_cast<std::int32_t>((std::int64_t(A.Y) + B.Y + D.Y) / 3)};
        if (Faces(A, B, T))
            Wall(i, i + 1);
    }
    if (Faces(Points[0], Points[Last], T))
        Wall(0, Last);
    BrushColor = SavedBrush;
    LineColor = SavedLine;
    PolygonFilled(Roof.data(), Last, RoundCaps);
}

// Triples (incoming handle, anchor, outgoing handle); each pair of consecutive triples is one cubic
// curve, flattened into 20 pieces drawn with round ends.
void TBitmap32::PolyBezier(const TRasterPoint* Points, int Last) {
    ResetDash();
    if (!Points)
        return;
    int Triples = (Last + 1) / 3;
    // A solid curve is one colour laid opaquely, so its pixels are the union of its pieces: where a
    // piece starts at the point the last one ended, the round cap there is drawn already and is left
    // out (a wide river is otherwise two discs a piece). With integer centres the cap's pixels do not
    // depend on the origin ThickSegment works from while the coordinates and the pen stay moderate,
    // which bounds this way.
    const int Pen = std::max(LineWidth, 1);
    bool Joined = LineStyle == 0 && Pen > 1 && Pen < 4096;
    for (int i = 0; Joined && i <= Last; ++i)
        Joined = std::abs(static_cast<std::int64_t>(Points[i].X)) < (1 << 20) &&
                 std::abs(static_cast<std::int64_t>(Points[i].Y)) < (1 << 20);
    bool Capped = false;
    TRasterPoint LastCap{};
    for (int k = 0; k + 1 < Triples; ++k) {
        const TRasterPoint &P0 = Points[3 * k + 1], &P1 = Points[3 * k + 2], &P2 = Points[3 * k + 3],
                           &P3 = Points[3 * k + 4];
        TRasterPoint Prev = P0;
        for (int j = 1; j <= 20; ++j) {
            TRasterPoint Cur = P3;
            if (j < 20) {
                double t = j / 20.0, u = 1 - t;
                double B0 = u * u * u, B1 = 3 * u * u * t, B2 = 3 * u * t * t, B3 = t * t * t;
                Cur = {Round(B0 * P0.X + B1 * P1.X + B2 * P2.X + B3 * P3.X),
                       Round(B0 * P0.Y + B1 * P1.Y + B2 * P2.Y + B3 * P3.Y)};
            }
            if (!Joined) {
                LineStyled(Prev.X, Prev.Y, Cur.X, Cur.Y, true, false, LineStyle);
            } else if (Prev.X != Cur.X || Prev.Y != Cur.Y) { // LineStyled draws nothing otherwise
                const bool StartCap = !(Capped && LastCap.X == Prev.X && LastCap.Y == Prev.Y);
                ThickSegment({double(Prev.X), double(Prev.Y)}, {double(Cur.X), double(Cur.Y)}, Pen, true,
                             false, false, LineColor, StartCap);
                Capped = true;
                LastCap = Cur;
            }
            Prev = Cur;
        }
    }
}

// 50 points of the ellipse (the first and the last coincide), rotated about the centre.
void TBitmap32::EllipseRotated(TRasterPoint Centre, double Angle, int Rx, int Ry) {
    ResetDash();
    // The 50 steps round the ellipse are the same for every ellipse: their cosines and sines are worked
    // out once (by the same functions, so every point is what it was when each ellipse took its own).
    struct TSteps {
        double Cos[50], Sin[50];
        TSteps() {
            for (int i = 0; i < 50; ++i) {
                const double T = i * 2 * std::numbers::pi / 49;
                Cos[i] = std::cos(T);
                Sin[i] = std::sin(T);
            }
        }
    };
    static const TSteps Steps;
    TRasterPoint P[50];
    double CA = std::cos(Angle), SA = std::sin(Angle);
    for (int i = 0; i < 50; ++i) {
        double DX = Rx * Steps.Cos[i], DY = Ry * Steps.Sin[i];
        P[i] = {Round(Centre.X + DX * CA - DY * SA), Round(Centre.Y + DX * SA + DY * CA)};
    }
    // A small ellipse repeats its points many times over. A repeated point adds only edges of no length,
    // which neither fill (they are level) nor draw (LineStyled skips them, dash counters untouched), so
    // they are dropped; the fill's rule that fewer than three points fill nothing keeps the full list.
    TRasterPoint Q[50];
    Q[0] = P[0];
    int Kept = 1;
    for (int i = 1; i < 50; ++i)
        if (P[i].X != Q[Kept - 1].X || P[i].Y != Q[Kept - 1].Y)
            Q[Kept++] = P[i];
    if (Kept < 3)
        PolygonFilled(P, 49, true);
    else
        PolygonFilled(Q, Kept - 1, true);
}

void TBitmap32::Disc(int CX, int CY, TColor32 Border, TColor32 Fill, int Radius) {
    if (Empty())
        return;
    DiscShape(CX, CY, Radius, FWidth, FHeight, TSolidSpan{FBits.data(), FWidth, Fill},
              [&](std::int64_t X, std::int64_t Y) {
                  if (X >= 0 && X < FWidth && Y >= 0 && Y < FHeight)
                      FBits[static_cast<std::size_t>(Y) * FWidth + X] = Border;
              });
}

void TBitmap32::InvertedDisc(int CX, int CY, int Radius) {
    if (Empty())
        return;
    DiscShape(CX, CY, Radius, FWidth, FHeight, TInvertSpan{FBits.data(), FWidth},
              [](std::int64_t, std::int64_t) {});
}

// ---- Marks of the editor ----

namespace {

// Inverts the outline of the rectangle X1..X2, Y1..Y2 (sorted, both included), each pixel once.
void InvertFrame(TBitmap32& B, std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    if (B.Empty() || X1 > X2 || Y1 > Y2)
        return;
    auto Row = [&](std::int64_t Y) {
        if (Y < 0 || Y >= B.Height())
            return;
        std::int64_t A = std::max<std::int64_t>(X1, 0), Z = std::min<std::int64_t>(X2, B.Width() - 1);
        if (A <= Z)
            TInvertSpan{B.Bits(), B.Width()}(int(Y), int(A), int(Z));
    };
    auto Column = [&](std::int64_t X) {
        if (X < 0 || X >= B.Width())
            return;
        std::int64_t A = std::max<std::int64_t>(Y1 + 1, 0),
                     Z = std::min<std::int64_t>(Y2 - 1, B.Height() - 1);
        for (std::int64_t Y = A; Y <= Z; ++Y)
            B.InvertPixel(int(X), int(Y));
    };
    Row(Y1);
    if (Y2 != Y1)
        Row(Y2);
    Column(X1);
    if (X2 != X1)
        Column(X2);
}

} // namespace

void TBitmap32::XorFrame(TRasterPoint P1, TRasterPoint P2) {
    std::int64_t H = LineWidth / 2;
    InvertFrame(*this, std::min(P1.X, P2.X) - H, std::min(P1.Y, P2.Y) - H, std::max(P1.X, P2.X) + H,
                std::max(P1.Y, P2.Y) + H);
}

// N nested inverted rectangles, each one pixel inside the previous; the pen is left at width 1, solid.
void TBitmap32::XorFrameThick(int X1, int Y1, int N, int X2, int Y2) {
    LineWidth = 1;
    LineStyle = 0;
    std::int64_t L = std::min(X1, X2), T = std::min(Y1, Y2), R = std::max(X1, X2), B = std::max(Y1, Y2);
    for (int i = 0; i < N && L + i <= R - i && T + i <= B - i; ++i)
        InvertFrame(*this, L + i, T + i, R - i, B - i);
}

// Eight black 6 x 6 squares at the corners and side middles of the widened rectangle.
void TBitmap32::HandleMarks(TRasterPoint P1, TRasterPoint P2) {
    using i64 = std::int64_t;
    i64 H = LineWidth / 2;
    i64 L = std::min(P1.X, P2.X) - H, T = std::min(P1.Y, P2.Y) - H;
    i64 R = std::max(P1.X, P2.X) + H, B = std::max(P1.Y, P2.Y) + H;
    i64 MX = (L + R) / 2, MY = (T + B) / 2;
    const i64 Marks[8][2] = {{L, T}, {MX, T}, {R, T}, {L, MY}, {R, MY}, {L, B}, {MX, B}, {R, B}};
    auto Side = [](i64 V) { return static_cast<int>(std::clamp<i64>(V, -1, INT32_MAX)); };
    for (const auto& M : Marks)
        FillRectClipped(Side(M[0] - 3), Side(M[1] - 3), Side(M[0] + 3), Side(M[1] + 3), clBlack32);
}

// An inverted cross of +-4 pixels at the middle of P1 and P2 (the centre inverted once).
void TBitmap32::CrossMark(TRasterPoint P1, TRasterPoint P2) {
    std::int64_t MX = (std::int64_t(P1.X) + P2.X) / 2, MY = (std::int64_t(P1.Y) + P2.Y) / 2;
    auto Invert = [this](std::int64_t X, std::int64_t Y) {
        if (X >= 0 && X < FWidth && Y >= 0 && Y < FHeight)
            InvertPixel(int(X), int(Y));
    };
    for (int D = -4; D <= 4; ++D) {
        Invert(MX + D, MY);
        if (D != 0)
            Invert(MX, MY + D);
    }
}

// ---- Rotated bitmaps ----

namespace {

// A picture coordinate as an index, clamped so that its conversion stays defined for any geometry.
int ClampedIndex(double V, int Size) {
    return static_cast<int>(std::clamp(std::floor(V), 0.0, Size - 1.0));
}

// The columns First ... Last of the surface, from a range of doubles that may lie anywhere.
bool ClampedRange(double From, double To, int Size, int& First, int& Last) {
    if (!(From <= To) || To < 0 || From > Size - 1)
        return false;
    First = static_cast<int>(std::max(From, 0.0));
    Last = static_cast<int>(std::min(To, Size - 1.0));
    return First <= Last;
}

} // namespace

// Every target pixel of the rotated picture takes the nearest pixel of the picture stretched to W x H,
// mapped back through the rotation, so the picture has no holes at any angle. The stretch is looked up
// rather than built: only the pixels on the surface cost anything, whatever W and H.
void TBitmap32::DrawRotated(const TBitmap32& Source, int X, int Y, double Angle, int H, int W, TColor32 Key) {
    if (Empty() || Source.Empty() || W <= 0 || H <= 0)
        return;
    double CX = W / 2.0, CY = H / 2.0, C = std::cos(Angle), S = std::sin(Angle);
    if (!std::isfinite(C) || !std::isfinite(S))
        return;
    // Bounding box of the rotated picture on the target.
    double MinX = INFINITY, MinY = INFINITY, MaxX = -INFINITY, MaxY = -INFINITY;
    for (auto [PX, PY] : {std::pair{0.0, 0.0}, {double(W), 0.0}, {0.0, double(H)}, {double(W), double(H)}}) {
        double RX = CX + (PX - CX) * C - (PY - CY) * S, RY = CY + (PX - CX) * S + (PY - CY) * C;
        MinX = std::min(MinX, RX), MaxX = std::max(MaxX, RX), MinY = std::min(MinY, RY),
        MaxY = std::max(MaxY, RY);
    }
    int U1, U2, V1, V2;
    if (!ClampedRange(std::floor(X + MinX) - 1, std::ceil(X + MaxX) + 1, FWidth, U1, U2) ||
        !ClampedRange(std::floor(Y + MinY) - 1, std::ceil(Y + MaxY) + 1, FHeight, V1, V2))
        return;
    const std::int64_t SW = Source.Width(), SH = Source.Height();
    for (int V = V1; V <= V2; ++V) {
        TColor32* D = ScanLine(V);
        for (int U = U1; U <= U2; ++U) {
            double OX = double(U) - X - CX, OY = double(V) - Y - CY;
            double SX = CX + OX * C + OY * S, SY = CY - OX * S + OY * C;
            long long I = std::llround(SX), J = std::llround(SY);
            if (I < 0 || J < 0 || I >= W || J >= H)
                continue;
            TColor32 P = Source.GetPixel(static_cast<int>(I * SW / W), static_cast<int>(J * SH / H));
            if (P != Key)
                D[U] = P;
        }
    }
}

// The picture spread over the parallelogram Origin, Origin + AxisX, Origin + AxisX + AxisY,
// Origin + AxisY. A pixel belongs to it when its position p = Origin + s AxisX + t AxisY has
// 0 < s <= 1 and 0 < t <= 1, and shows the picture's pixel at (s, t). Each surface pixel is mapped back
// into the picture, so the cost is bounded by the surface, however large the picture appears.
void TBitmap32::DrawOnFrame(TPixelView Source, TPointF Origin, TPointF AxisX, TPointF AxisY, TColor32 Key) {
    if (Empty() || Source.Empty())
        return;
    const double Det = AxisX.X * AxisY.Y - AxisX.Y * AxisY.X;
    if (!(std::fabs(Det) > 0) || !std::isfinite(Det))
        return;
    double MinX = Origin.X, MaxX = Origin.X, MinY = Origin.Y, MaxY = Origin.Y;
    for (TPointF C :
         {TPointF{Origin.X + AxisX.X, Origin.Y + AxisX.Y}, TPointF{Origin.X + AxisY.X, Origin.Y + AxisY.Y},
          TPointF{Origin.X + AxisX.X + AxisY.X, Origin.Y + AxisX.Y + AxisY.Y}}) {
        MinX = std::min(MinX, C.X), MaxX = std::max(MaxX, C.X);
        MinY = std::min(MinY, C.Y), MaxY = std::max(MaxY, C.Y);
    }
    int U1, U2, V1, V2;
    if (!ClampedRange(std::ceil(MinX), std::floor(MaxX), FWidth, U1, U2) ||
        !ClampedRange(std::ceil(MinY), std::floor(MaxY), FHeight, V1, V2))
        return;
    const int SW = Source.Width, SH = Source.Height;
    for (int V = V1; V <= V2; ++V) {
        TColor32* D = ScanLine(V);
        const double DY = V - Origin.Y;
        for (int U = U1; U <= U2; ++U) {
            const double DX = U - Origin.X;
            const double S = (DX * AxisY.Y - DY * AxisY.X) / Det, T = (AxisX.X * DY - AxisX.Y * DX) / Det;
            if (!(S > 0 && S <= 1 && T > 0 && T <= 1))
                continue;
            // The pixel whose cell (i, i + 1] holds s * width, counted from 0.
            const TColor32 P = Source.Pixel(ClampedIndex(std::ceil(S * SW) - 1, SW),
                                            ClampedIndex(std::ceil(T * SH) - 1, SH));
            if (P != Key)
                D[U] = P;
        }
    }
}

} // namespace zem
