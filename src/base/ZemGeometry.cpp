#include "base/ZemGeometry.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace zem {

TXYPoint XYPoint(float X, float Y) {
    return TXYPoint{X, Y};
}

TXYRect XYRect(float Left, float Top, float Right, float Bottom) {
    return TXYRect{Left, Top, Right, Bottom};
}

bool PointInRect(const TPoint& P, const TRect& R) {
    return R.Left <= P.X && P.X <= R.Right && R.Top <= P.Y && P.Y <= R.Bottom;
}

TRect PointsToRect(const TPoint& P1, const TPoint& P2) {
    return TRect{P1.X, P1.Y, P2.X, P2.Y};
}

float PointDistance(const TPoint& P1, const TPoint& P2) {
    // 64-bit differences: screen points far off the window must not overflow.
    std::int64_t dX = static_cast<std::int64_t>(P2.X) - P1.X;
    std::int64_t dY = static_cast<std::int64_t>(P2.Y) - P1.Y;
    if (dX == 0)
        return static_cast<float>(std::llabs(dY));
    if (dY == 0)
        return static_cast<float>(std::llabs(dX));
    return static_cast<float>(std::sqrt(static_cast<double>(dX * dX + dY * dY)));
}

bool IsXYRectEmpty(const TXYRect& R) {
    return !(R.Right >= R.Left && R.Bottom >= R.Top);
}

bool UnionXYRect(TXYRect& U, const TXYRect& A, const TXYRect& B) {
    TXYRect R = A;
    if (!IsXYRectEmpty(B)) {
        if (B.Left < A.Left)
            R.Left = B.Left;
        if (B.Top < A.Top)
            R.Top = B.Top;
        if (B.Right > A.Right)
            R.Right = B.Right;
        if (B.Bottom > A.Bottom)
            R.Bottom = B.Bottom;
    }
    if (IsXYRectEmpty(R)) {
        U = TXYRect{};
        return false;
    }
    U = R;
    return true;
}

bool XYRectsIntersect(const TXYRect& A, const TXYRect& B) {
    TXYRect U;
    if (!UnionXYRect(U, A, B))
        return false;
    return (A.Right - A.Left) + (B.Right - B.Left) >= (U.Right - U.Left) &&
           (A.Bottom - A.Top) + (B.Bottom - B.Top) >= (U.Bottom - U.Top);
}

namespace {

void CountCrossing(const TPoint& S, const TPoint& E, const TPoint& P, std::uint8_t& Left,
                   std::uint8_t& Right) {
    if (!((P.Y >= S.Y && P.Y < E.Y) || (P.Y < S.Y && P.Y >= E.Y)))
        return;
    double Xc = static_cast<double>(static_cast<std::int64_t>(E.X) - S.X) /
                    static_cast<double>(static_cast<std::int64_t>(E.Y) - S.Y) *
                    static_cast<double>(static_cast<std::int64_t>(P.Y) - S.Y) +
                S.X;
    // The counters are bytes: only their parity matters, and it survives the wrap.
    if (P.X > Xc)
        ++Left;
    else if (P.X < Xc)
        ++Right;
}

} // namespace

bool PointInPolygon(const TArrayPoint& Points, const TPoint& P) {
    std::uint8_t Left = 0, Right = 0;
    const size_t n = Points.size();
    if (n == 0)
        return false;
    for (size_t i = 0; i + 1 < n; ++i)
        CountCrossing(Points[i], Points[i + 1], P, Left, Right);
    if (!(Points[n - 1] == Points[0]))
        CountCrossing(Points[n - 1], Points[0], P, Left, Right);
    return (Left & 1) && (Right & 1);
}

} // namespace zem
