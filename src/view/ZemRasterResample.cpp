// Resampling of a rectangle of one surface onto a rectangle of another: nearest-neighbour stretch, a
// plain copy when both rectangles have the same size, otherwise separable filtering with the linear or
// cubic B-spline kernel (weights per destination column and row, normalised to a sum of one).
#include "base/ZemErrors.h"
#include "view/ZemRaster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zem {

namespace {

double Kernel(TStretchFilter Filter, double X) {
    double A = std::fabs(X);
    switch (Filter) {
    case TStretchFilter::sfLinear:
        return A < 1 ? 1 - A : 0;
    case TStretchFilter::sfSpline:
        if (A < 1)
            return 0.5 * A * A * A - A * A + 2.0 / 3.0;
        if (A < 2)
            return (2 - A) * (2 - A) * (2 - A) / 6;
        return 0;
    default:
        return X > -0.5 && X <= 0.5 ? 1 : 0;
    }
}

double Support(TStretchFilter Filter) {
    switch (Filter) {
    case TStretchFilter::sfLinear:
        return 1;
    case TStretchFilter::sfSpline:
        return 1.5;
    default:
        return 0.5;
    }
}

struct TWeight {
    int Index;
    float W;
};

// For each destination index First ... Last (0 = the rectangle's first) the source indexes 0 ... S-1 and
// their weights.
std::vector<std::vector<TWeight>> Contributors(int D, int S, int First, int Last, TStretchFilter Filter) {
    double Scale = double(D) / S;
    double Width = Support(Filter), Arg = 1;
    if (Scale < 1) { // shrinking: the kernel widens to cover every source pixel
        Width /= Scale;
        Arg = Scale;
    }
    std::vector<std::vector<TWeight>> Result(static_cast<std::size_t>(Last - First + 1));
    for (int i = First; i <= Last; ++i) {
        auto& List = Result[i - First];
        double Centre = (i + 0.5) / Scale - 0.5;
        double Sum = 0;
        for (int j = int(std::floor(Centre - Width)); j <= int(std::ceil(Centre + Width)); ++j) {
            double W = Kernel(Filter, (j - Centre) * Arg);
            if (W == 0)
                continue;
            int Index = std::clamp(j, 0, S - 1);
            auto It = std::find_if(List.begin(), List.end(),
                                   [Index](const TWeight& T) { return T.Index == Index; });
            if (It != List.end())
                It->W += float(W);
            else
                List.push_back({Index, float(W)});
            Sum += W;
        }
        if (Sum == 0) {
            List.assign(1, {std::clamp(int(std::lround(Centre)), 0, S - 1), 1.0f});
        } else {
            for (TWeight& T : List)
                T.W = float(T.W / Sum);
        }
    }
    return Result;
}

std::uint32_t Channel(float V) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(V), 0L, 255L));
}

} // namespace

void Resample(TBitmap32& Dst, const TRasterRect& DstRect, const TBitmap32& Src, const TRasterRect& SrcRect,
              int Combine, TStretchFilter Filter) {
    bool Nearest = Filter == TStretchFilter::sfNearest;
    if (!Nearest && Src.Empty())
        throw ETransformError("Source bitmap is nil or empty");
    if (!Nearest && Dst.Empty())
        throw ETransformError("Destination bitmap is nil or empty");
    if (Src.Empty() || Dst.Empty())
        return;
    if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src.Width() || SrcRect.Bottom > Src.Height())
        throw ETransformError("Source rectangle is invalid");
    if (SrcRect.Empty() || DstRect.Empty())
        return;
    int X1 = std::max(DstRect.Left, 0), X2 = std::min(DstRect.Right, Dst.Width());
    int Y1 = std::max(DstRect.Top, 0), Y2 = std::min(DstRect.Bottom, Dst.Height());
    if (X1 >= X2 || Y1 >= Y2)
        return;
    auto Put = [Combine](TColor32& D, TColor32 S) { D = Combine == 1 ? BlendReg(S, D) : S; };
    const int DW = DstRect.Width(), DH = DstRect.Height(), SW = SrcRect.Width(), SH = SrcRect.Height();

    if (Nearest || (DW == SW && DH == SH)) {
        for (int Y = Y1; Y < Y2; ++Y) {
            int SY = SrcRect.Top + static_cast<int>((static_cast<std::int64_t>(Y - DstRect.Top) * SH) / DH);
            const TColor32* S = Src.ScanLine(SY);
            TColor32* D = Dst.ScanLine(Y);
            for (int X = X1; X < X2; ++X)
                Put(D[X], S[SrcRect.Left +
                            static_cast<int>((static_cast<std::int64_t>(X - DstRect.Left) * SW) / DW)]);
        }
        return;
    }

    // Horizontal pass into floating rows for the source rows the vertical pass needs, then vertical.
    auto Cols = Contributors(DW, SW, X1 - DstRect.Left, X2 - 1 - DstRect.Left, Filter);
    auto Rows = Contributors(DH, SH, Y1 - DstRect.Top, Y2 - 1 - DstRect.Top, Filter);
    int RowLo = SH, RowHi = -1;
    for (auto& R : Rows)
        for (TWeight& T : R)
            RowLo = std::min(RowLo, T.Index), RowHi = std::max(RowHi, T.Index);
    const int CW = X2 - X1;
    std::vector<float> Mid(static_cast<std::size_t>(RowHi - RowLo + 1) * CW * 4);
    for (int R = RowLo; R <= RowHi; ++R) {
        const TColor32* S = Src.ScanLine(SrcRect.Top + R) + SrcRect.Left;
        float* M = Mid.data() + static_cast<std::size_t>(R - RowLo) * CW * 4;
        for (std::ptrdiff_t X = 0; X < CW; ++X) {
            float A = 0, Rd = 0, G = 0, B = 0;
            for (const TWeight& T : Cols[X]) {
                TColor32 P = S[T.Index];
                A += T.W * float(P >> 24);
                Rd += T.W * float((P >> 16) & 0xFF);
                G += T.W * float((P >> 8) & 0xFF);
                B += T.W * float(P & 0xFF);
            }
            M[4 * X] = A, M[4 * X + 1] = Rd, M[4 * X + 2] = G, M[4 * X + 3] = B;
        }
    }
    for (int Y = Y1; Y < Y2; ++Y) {
        TColor32* D = Dst.ScanLine(Y);
        const auto& Ws = Rows[Y - Y1];
        for (int X = 0; X < CW; ++X) {
            float C[4] = {0, 0, 0, 0};
            for (const TWeight& T : Ws) {
                const float* M = Mid.data() + (static_cast<std::size_t>(T.Index - RowLo) * CW + X) * 4;
                for (int k = 0; k < 4; ++k)
                    C[k] += T.W * M[k];
            }
            Put(D[X1 + X], Channel(C[0]) << 24 | Channel(C[1]) << 16 | Channel(C[2]) << 8 | Channel(C[3]));
        }
    }
}

} // namespace zem
