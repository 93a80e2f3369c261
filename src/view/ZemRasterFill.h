#pragma once
// The fill stages of the raster surface, each usable and testable alone:
//   1. a path, already flattened to closed contours of TPointF, is turned into edges;
//   2. the scanline filler turns the edges into horizontal spans, row by row, clipped to a box,
//      by the even-odd rule (the window system's default polygon mode) or the non-zero rule;
//   3. a span writer turns spans into pixels: solid, hatched, inverted or blended.
// A pixel (x, y) belongs to a shape when its centre (x + 0.5, y + 0.5) lies inside, so a polygon
// with integer vertices covers the same pixels as the window system's polygon fill.
#include "view/ZemRasterColor.h"
#include "view/ZemRasterTypes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

namespace raster {

enum class TFillRule { frEvenOdd, frNonZero };

// Where spans may fall: rows Top ... Bottom - 1, columns Left ... Right - 1.
struct TClipBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

class TScanlineFiller {
public:
    void Reset() {
        FEdges.clear();
        FMinY = INFINITY;
        FMaxY = -INFINITY;
    }
    // Adds the edge from A to B of a closed contour.
    void AddEdge(TPointF A, TPointF B);
    // Adds one closed contour (the closing edge from the last point back to the first is implied).
    template <class TPt> void AddContour(const TPt* Points, int Count) {
        for (int i = 0; Count >= 2 && i < Count; ++i) {
            const TPt& A = Points[i];
            const TPt& B = Points[i + 1 < Count ? i + 1 : 0];
            AddEdge({double(A.X), double(A.Y)}, {double(B.X), double(B.Y)});
        }
    }

    // Calls Span(y, x1, x2) for every run of inside pixels, x1 <= x2 both included, rows ascending.
    template <class TSpanFn> void Fill(const TClipBox& Clip, TFillRule Rule, TSpanFn&& Span);

private:
    struct TEdge {
        double X0, Y0; // upper end
        double DxDy;   // slope in x per unit of y
        int FirstRow;  // first row whose centre lies on the edge
        int LastRow;   // last such row
        int Dir;       // +1 downwards, -1 upwards in the source contour
    };
    struct TCrossing {
        double X;
        int Dir;
    };
    std::vector<TEdge> FEdges;
    std::vector<int> FActive;
    std::vector<TCrossing> FCrossings;
    double FMinY = INFINITY, FMaxY = -INFINITY;
};

// Rounds a span boundary: pixels whose centre x + 0.5 lies in [XA, XB).
inline bool SpanPixels(double XA, double XB, const TClipBox& Clip, int& X1, int& X2) {
    // Clamped to the clip box first, so the integer ceiling below cannot overflow.
    double A = std::clamp(XA - 0.5, Clip.Left - 1.0, double(Clip.Right)); // NaN never reaches here
    double B = std::clamp(XB - 0.5, Clip.Left - 1.0, double(Clip.Right));
    auto Ceil = [](double V) {
        int I = static_cast<int>(V);
        return I + (V > I);
    };
    X1 = std::max(Ceil(A), Clip.Left);
    X2 = std::min(Ceil(B) - 1, Clip.Right - 1);
    return X1 <= X2;
}

template <class TSpanFn> void TScanlineFiller::Fill(const TClipBox& Clip, TFillRule Rule, TSpanFn&& Span) {
    if (FEdges.empty())
        return;
    double FirstD = std::max(std::ceil(FMinY - 0.5), static_cast<double>(Clip.Top));
    double LastD = std::min(std::ceil(FMaxY - 0.5) - 1, static_cast<double>(Clip.Bottom - 1));
    if (!(FirstD <= LastD))
        return;
    int First = static_cast<int>(FirstD), Last = static_cast<int>(LastD);
    std::sort(FEdges.begin(), FEdges.end(),
              [](const TEdge& A, const TEdge& B) { return A.FirstRow < B.FirstRow; });
    FActive.clear();
    size_t Next = 0;
    for (int Y = First; Y <= Last; ++Y) {
        while (Next < FEdges.size() && FEdges[Next].FirstRow <= Y) {
            if (FEdges[Next].LastRow >= Y)
                FActive.push_back(static_cast<int>(Next));
            ++Next;
        }
        FCrossings.clear();
        double YC = Y + 0.5;
        size_t Kept = 0;
        for (size_t i = 0; i < FActive.size(); ++i) {
            const TEdge& E = FEdges[FActive[i]];
            if (E.LastRow < Y)
                continue;
            FActive[Kept++] = FActive[i];
            FCrossings.push_back({E.X0 + (YC - E.Y0) * E.DxDy, E.Dir});
        }
        FActive.resize(Kept);
        if (FCrossings.size() < 2)
            continue;
        // Few crossings per row: insertion sort beats the library sort here.
        for (size_t i = 1; i < FCrossings.size(); ++i) {
            TCrossing C = FCrossings[i];
            size_t j = i;
            while (j > 0 && FCrossings[j - 1].X > C.X) {
                FCrossings[j] = FCrossings[j - 1];
                --j;
            }
            FCrossings[j] = C;
        }
        int X1, X2;
        if (Rule == TFillRule::frEvenOdd) {
            for (size_t i = 0; i + 1 < FCrossings.size(); i += 2)
                if (SpanPixels(FCrossings[i].X, FCrossings[i + 1].X, Clip, X1, X2))
                    Span(Y, X1, X2);
        } else {
            int Winding = 0;
            for (size_t i = 0; i + 1 < FCrossings.size(); ++i) {
                Winding += FCrossings[i].Dir;
                if (Winding != 0 && SpanPixels(FCrossings[i].X, FCrossings[i + 1].X, Clip, X1, X2))
                    Span(Y, X1, X2);
            }
        }
    }
}

// A convex polygon (up to 8 vertices, either orientation) straight to spans: each row's span is the
// intersection of the half-planes of its edges, with no edge list to sort. Same pixel rule as the filler.
template <class TSpanFn> void FillConvex(const TPointF* P, int N, const TClipBox& Clip, TSpanFn&& Span) {
    if (N < 3 || N > 8)
        return;
    double Area = 0, MinY = INFINITY, MaxY = -INFINITY;
    for (int i = 0; i < N; ++i) {
        const TPointF &A = P[i], &B = P[(i + 1) % N];
        Area += A.X * B.Y - B.X * A.Y;
        MinY = std::min(MinY, A.Y);
        MaxY = std::max(MaxY, A.Y);
    }
    if (!(Area != 0) || !std::isfinite(Area))
        return;
    // Each edge bounds x from the left or from the right: x >= or <= AX + (y - AY) * Slope.
    struct TBound {
        double AX, AY, Slope;
    };
    TBound Left[8], Right[8];
    int NL = 0, NR = 0;
    for (int i = 0; i < N; ++i) {
        const TPointF &A = P[i], &B = P[(i + 1) % N];
        double EY = B.Y - A.Y;
        if (EY == 0)
            continue; // horizontal edges only bound the rows, which MinY and MaxY already do
        TBound Bd{A.X, A.Y, (B.X - A.X) / EY};
        // Inside is where Area * cross(B - A, p - A) >= 0; cross falls as x grows when EY > 0.
        if ((EY > 0) == (Area > 0))
            Right[NR++] = Bd;
        else
            Left[NL++] = Bd;
    }
    double FirstD = std::max(std::ceil(MinY - 0.5), static_cast<double>(Clip.Top));
    double LastD = std::min(std::ceil(MaxY - 0.5) - 1, static_cast<double>(Clip.Bottom - 1));
    if (!(FirstD <= LastD))
        return;
    for (int Y = static_cast<int>(FirstD), Last = static_cast<int>(LastD); Y <= Last; ++Y) {
        double YC = Y + 0.5, XL = -INFINITY, XR = INFINITY;
        for (int i = 0; i < NL; ++i)
            XL = std::max(XL, Left[i].AX + (YC - Left[i].AY) * Left[i].Slope);
        for (int i = 0; i < NR; ++i)
            XR = std::min(XR, Right[i].AX + (YC - Right[i].AY) * Right[i].Slope);
        int X1, X2;
        if (XL < XR && SpanPixels(XL, XR, Clip, X1, X2))
            Span(Y, X1, X2);
    }
}

// Collects spans and hands them on merged, so that overlapping shapes touch each pixel once (needed
// when pixels are inverted rather than painted).
class TSpanUnion {
public:
    void Add(int Y, int X1, int X2) { FSpans.push_back({Y, X1, X2}); }
    template <class TSpanFn> void Flush(TSpanFn&& Span) {
        std::sort(FSpans.begin(), FSpans.end(),
                  [](const TRun& A, const TRun& B) { return A.Y != B.Y ? A.Y < B.Y : A.X1 < B.X1; });
        size_t i = 0;
        while (i < FSpans.size()) {
            TRun R = FSpans[i++];
            while (i < FSpans.size() && FSpans[i].Y == R.Y && FSpans[i].X1 <= R.X2 + 1) {
                R.X2 = std::max(R.X2, FSpans[i].X2);
                ++i;
            }
            Span(R.Y, R.X1, R.X2);
        }
        FSpans.clear();
    }
    bool Empty() const { return FSpans.empty(); }

private:
    struct TRun {
        int Y, X1, X2;
    };
    std::vector<TRun> FSpans;
};

// ---- Span writers: (y, x1, x2) with x1 <= x2 already inside the surface ----

struct TSolidSpan {
    TColor32* Bits;
    int Width;
    TColor32 Color;
    void operator()(int Y, int X1, int X2) const {
        std::fill_n(Bits + static_cast<std::size_t>(Y) * Width + X1, X2 - X1 + 1, Color);
    }
};

struct TInvertSpan {
    TColor32* Bits;
    int Width;
    void operator()(int Y, int X1, int X2) const {
        TColor32* P = Bits + static_cast<std::size_t>(Y) * Width;
        for (int X = X1; X <= X2; ++X)
            P[X] ^= kInvertMask32;
    }
};

struct TBlendSpan {
    TColor32* Bits;
    int Width;
    TColor32 Color;
    void operator()(int Y, int X1, int X2) const {
        TColor32* P = Bits + static_cast<std::size_t>(Y) * Width;
        for (int X = X1; X <= X2; ++X)
            P[X] = BlendReg(Color, P[X]);
    }
};

// Whether pixel (x, y) is on a line of hatch Style (2 horizontal, 3 vertical, 4 forward diagonal "\",
// 5 backward diagonal "/", 6 cross, 7 diagonal cross). Lines repeat every 8 pixels from the surface's
// origin, as a window-system hatch brush does.
inline bool HatchHit(int Style, int X, int Y) {
    switch (Style) {
    case 2:
        return (Y & 7) == 0;
    case 3:
        return (X & 7) == 0;
    case 4:
        return ((X - Y) & 7) == 0;
    case 5:
        return ((X + Y) & 7) == 0;
    case 6:
        return (Y & 7) == 0 || (X & 7) == 0;
    case 7:
        return ((X - Y) & 7) == 0 || ((X + Y) & 7) == 0;
    default:
        return true;
    }
}

// Hatched brush on a transparent background: only the hatch lines are painted.
struct THatchSpan {
    TColor32* Bits;
    int Width;
    TColor32 Color;
    int Style;
    void operator()(int Y, int X1, int X2) const {
        TColor32* P = Bits + static_cast<std::size_t>(Y) * Width;
        if (Style == 2) {
            if ((Y & 7) == 0)
                std::fill_n(P + X1, X2 - X1 + 1, Color);
            return;
        }
        for (int X = X1; X <= X2; ++X)
            if (HatchHit(Style, X, Y))
                P[X] = Color;
    }
};

// Spans of a round pen end: pixels whose centre is within W/2 of (CX, CY) (pixel centres at integer
// coordinates), clipped to Clip.
template <class TSpanFn> void CapSpans(double CX, double CY, int W, const TClipBox& Clip, TSpanFn&& Span) {
    double R2 = double(W) * W / 4.0;
    double R = W / 2.0;
    int Y1 = static_cast<int>(std::max(std::ceil(CY - R), static_cast<double>(Clip.Top)));
    int Y2 = static_cast<int>(std::min(std::floor(CY + R), static_cast<double>(Clip.Bottom - 1)));
    for (int Y = Y1; Y <= Y2; ++Y) {
        double DY = Y - CY;
        double H = std::sqrt(std::max(0.0, R2 - DY * DY));
        double L = std::max(std::ceil(CX - H), static_cast<double>(Clip.Left));
        double Rt = std::min(std::floor(CX + H), static_cast<double>(Clip.Right - 1));
        if (L <= Rt)
            Span(Y, static_cast<int>(L), static_cast<int>(Rt));
    }
}

} // namespace raster

} // namespace zem
