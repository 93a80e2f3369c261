#include "import/ZemOsmGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace zem {

namespace {

double Dist2(const TXYPoint& A, const TXYPoint& B) {
    const double Dx = double{A.X} - B.X, Dy = double{A.Y} - B.Y;
    return Dx * Dx + Dy * Dy;
}

// Squared distance from P to the segment AB.
double SegDist2(const TXYPoint& P, const TXYPoint& A, const TXYPoint& B) {
    const double Vx = double{B.X} - A.X, Vy = double{B.Y} - A.Y;
    const double L2 = Vx * Vx + Vy * Vy;
    double T = L2 > 0 ? ((double{P.X} - A.X) * Vx + (double{P.Y} - A.Y) * Vy) / L2 : 0;
    T = std::clamp(T, 0.0, 1.0);
    const double Dx = A.X + T * Vx - P.X, Dy = A.Y + T * Vy - P.Y;
    return Dx * Dx + Dy * Dy;
}

// Above this many point pairs a hole's bridge starts at the hole's first point, not at its nearest one.
constexpr std::size_t kBridgeSearchLimit = 1u << 20;

} // namespace

void DropRepeats(TZemPath& P, bool Ring) {
    P.erase(std::unique(P.begin(), P.end()), P.end());
    if (Ring && P.size() > 1 && P.front() == P.back())
        P.pop_back();
}

TZemPath KeyholeRing(TZemPath Outer, std::span<const TZemPath> Inners) {
    DropRepeats(Outer, true);
    for (const TZemPath& Hole : Inners) {
        TZemPath H = Hole;
        DropRepeats(H, true);
        if (H.size() < 3 || Outer.size() < 3)
            continue;
        std::size_t BestO = 0, BestH = 0;
        double Best = std::numeric_limits<double>::infinity();
        const bool Full = Outer.size() * H.size() <= kBridgeSearchLimit;
        for (std::size_t j = 0; j < (Full ? H.size() : 1); ++j)
            for (std::size_t i = 0; i < Outer.size(); ++i)
                if (const double D = Dist2(Outer[i], H[j]); D < Best) {
                    Best = D;
                    BestO = i;
                    BestH = j;
                }
        TZemPath R;
        R.reserve(Outer.size() + H.size() + 2);
        R.insert(R.end(), Outer.begin(), Outer.begin() + static_cast<std::ptrdiff_t>(BestO) + 1);
        for (std::size_t k = 0; k <= H.size(); ++k)
            R.push_back(H[(BestH + k) % H.size()]);
        R.insert(R.end(), Outer.begin() + static_cast<std::ptrdiff_t>(BestO), Outer.end());
        Outer = std::move(R);
    }
    return Outer;
}

bool PointInRing(const TXYPoint& P, std::span<const TXYPoint> Ring) {
    bool In = false;
    const std::size_t N = Ring.size();
    for (std::size_t i = 0, j = N - 1; i < N; j = i++) {
        const TXYPoint& A = Ring[i];
        const TXYPoint& B = Ring[j];
        if ((A.Y > P.Y) != (B.Y > P.Y) &&
            P.X < (double{B.X} - A.X) * (double{P.Y} - A.Y) / (double{B.Y} - A.Y) + A.X)
            In = !In;
    }
    return In;
}

TZemPath ChainWays(std::span<const TZemPath> Ways) {
    TZemPath Path;
    bool First = true;
    for (const TZemPath& W : Ways) {
        if (W.empty())
            continue;
        if (First) {
            Path = W;
            First = false;
            continue;
        }
        const TXYPoint End = Path.back();
        // Was the first way given backwards? Only while the path is that one way.
        if (Path.size() == Ways.front().size() && !(W.front() == End) && !(W.back() == End) &&
            (W.front() == Path.front() || W.back() == Path.front()))
            std::reverse(Path.begin(), Path.end());
        const TXYPoint E = Path.back();
        const bool Backwards =
            W.back() == E || (!(W.front() == E) && Dist2(W.back(), E) < Dist2(W.front(), E));
        if (Backwards)
            Path.insert(Path.end(), W.rbegin() + (W.back() == E ? 1 : 0), W.rend());
        else
            Path.insert(Path.end(), W.begin() + (W.front() == E ? 1 : 0), W.end());
    }
    return Path;
}

std::vector<std::int32_t> StopsAlongPath(std::span<const TXYPoint> Path, std::span<const TXYPoint> Stops,
                                         double MaxOff) {
    std::vector<std::int32_t> At(Stops.size(), -1);
    if (Path.size() < 2)
        return At;
    const double Max2 = MaxOff * MaxOff;
    // A stop far from the path looks no further than this many pieces ahead, so that a damaged route
    // costs time in proportion to its size.
    constexpr std::size_t kLookAhead = 20000;
    std::size_t From = 0;
    for (std::size_t k = 0; k < Stops.size(); ++k) {
        std::size_t Best = SIZE_MAX;
        double BestD = Max2;
        const std::size_t Last = std::min(Path.size() - 1, From + kLookAhead);
        for (std::size_t i = From; i < Last; ++i) {
            const double D = SegDist2(Stops[k], Path[i], Path[i + 1]);
            if (D <= BestD) {
                BestD = D;
                Best = i;
            } else if (Best != SIZE_MAX && D > 4 * Max2) {
                break; // the first near stretch was passed: a loop that comes back later is another visit
            }
        }
        if (Best != SIZE_MAX) {
            At[k] = static_cast<std::int32_t>(Best);
            From = Best;
        }
    }
    return At;
}

std::optional<TLabelPlace> PlaceLabel(std::span<const TXYPoint> Line, double Width, double Height) {
    // The nearly straight stretch of at least Width whose middle lies nearest the middle of the line:
    // a stretch from point i to point j qualifies when its chord is at least kStraight of its length.
    constexpr double kStraight = 0.94;
    constexpr std::size_t kMaxPoints = 4096; // longer lines look at their first points only
    const std::size_t N = std::min(Line.size(), kMaxPoints);
    if (N < 2 || !(Width > 0))
        return std::nullopt;
    std::vector<double> At(N, 0.0); // length along the line
    for (std::size_t i = 1; i < N; ++i)
        At[i] = At[i - 1] + std::sqrt(Dist2(Line[i - 1], Line[i]));
    const double Mid = At[N - 1] / 2;
    std::size_t BestI = 0, BestJ = 0;
    double BestScore = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0, j = 0; i + 1 < N; ++i) {
        j = std::max(j, i + 1);
        while (j + 1 < N && At[j] - At[i] < Width)
            ++j;
        if (At[j] - At[i] < Width)
            break;
        if (std::sqrt(Dist2(Line[i], Line[j])) < kStraight * (At[j] - At[i]))
            continue;
        if (const double Score = std::fabs((At[i] + At[j]) / 2 - Mid); Score < BestScore) {
            BestScore = Score;
            BestI = i;
            BestJ = j;
        }
    }
    if (BestJ == 0)
        return std::nullopt;
    const double X0 = Line[BestI].X, Y0 = Line[BestI].Y, X1 = Line[BestJ].X, Y1 = Line[BestJ].Y;
    double Angle = std::atan2(-(Y1 - Y0), X1 - X0); // counter-clockwise on screen, Y grows downwards
    if (Angle > std::numbers::pi / 2)
        Angle -= std::numbers::pi;
    if (Angle <= -std::numbers::pi / 2)
        Angle += std::numbers::pi;
    const double Ux = std::cos(Angle), Uy = -std::sin(Angle); // along the text
    const double Nx = std::sin(Angle), Ny = std::cos(Angle);  // down the text
    const double Mx = (X0 + X1) / 2, My = (Y0 + Y1) / 2;
    const double Px = Mx - Ux * Width / 2 - Nx * Height / 2, Py = My - Uy * Width / 2 - Ny * Height / 2;
    auto F = [](double X, double Y) { return TXYPoint{static_cast<float>(X), static_cast<float>(Y)}; };
    TLabelPlace L;
    L.Corners[0] = F(Px, Py);
    L.Corners[1] = F(Px + Ux * Width, Py + Uy * Width);
    L.Corners[2] = F(Px + Ux * Width + Nx * Height, Py + Uy * Width + Ny * Height);
    L.Corners[3] = F(Px + Nx * Height, Py + Ny * Height);
    L.Angle = static_cast<float>(Angle);
    L.Middle = F(Mx, My);
    return L;
}

} // namespace zem
