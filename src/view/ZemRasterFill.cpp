#include "view/ZemRasterFill.h"

namespace zem {

namespace raster {
namespace {

// Rows beyond this never meet a surface; clamping keeps the conversion to int defined for any input.
constexpr double kRowLimit = 1e9;

int RowOf(double V) {
    return static_cast<int>(std::clamp(V, -kRowLimit, kRowLimit));
}

} // namespace

void TScanlineFiller::AddEdge(TPointF A, TPointF B) {
    if (!std::isfinite(A.X) || !std::isfinite(A.Y) || !std::isfinite(B.X) || !std::isfinite(B.Y))
        return;
    if (A.Y == B.Y)
        return; // horizontal edges add no crossings
    int Dir = 1;
    if (A.Y > B.Y) {
        std::swap(A, B);
        Dir = -1;
    }
    int FirstRow = RowOf(std::ceil(A.Y - 0.5));
    int LastRow = RowOf(std::ceil(B.Y - 0.5) - 1);
    if (FirstRow > LastRow)
        return; // passes between two row centres
    FEdges.push_back({A.X, A.Y, (B.X - A.X) / (B.Y - A.Y), FirstRow, LastRow, Dir});
    FMinY = std::min(FMinY, A.Y);
    FMaxY = std::max(FMaxY, B.Y);
}

} // namespace raster

} // namespace zem
