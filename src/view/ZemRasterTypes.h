#pragma once
// Integer screen geometry of the raster surface. Rectangles follow the window system's convention:
// Right and Bottom are outside the rectangle.
#include <cstdint>

namespace zem {

struct TRasterPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TRasterPoint&, const TRasterPoint&) = default;
};

struct TRasterRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRasterRect&, const TRasterRect&) = default;
};

struct TRasterSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const TRasterSize&, const TRasterSize&) = default;
};

// A point with fractional coordinates, for flattened paths.
struct TPointF {
    double X = 0;
    double Y = 0;
};

} // namespace zem
