#include "view/ZemBackgroundImage.h"

#include "base/ZemRound.h"
#include "model/ZemMap.h"
#include "view/ZemRasterColor.h"

#include <algorithm>
#include <cstdint>

namespace zem {

using ld = long double;

void PaintBackgroundImage(const TZemMap& Map, const TZemBackgroundImage& B, TBitmap32& Target) {
    const TZemImage& Img = B.Image;
    const int W = Map.Width(), H = Map.Height();
    const ld S = Map.View.Scale, s = B.Scale;
    if (Target.Empty() || W <= 0 || H <= 0 || !(S > 0) || !(s > 0) || Img.Width <= 0 || Img.Height <= 0)
        return;
    const TXYPoint LT = Map.View.LeftTop, VW = Map.View.ViewWidthHeight;
    // The window in picture pixels: x0 ... x1, y0 ... y1.
    auto Column = [&](ld WorldX) { return Round64(Round((WorldX - B.Origin.X) * W / VW.X) * s / S); };
    auto Row = [&](ld WorldY) { return Round64(Round((WorldY - B.Origin.Y) * H / VW.Y) * s / S); };
    const std::int64_t x0 = Column(LT.X), x1 = Column(static_cast<ld>(LT.X) + VW.X);
    const std::int64_t y0 = Row(LT.Y), y1 = Row(static_cast<ld>(LT.Y) + VW.Y);
    Target.Clear(ToColor32(static_cast<std::uint32_t>(Map.Doc.BackColor)));
    const std::int64_t tw = x1 - x0, th = y1 - y0;
    if (tw <= 0 || th <= 0)
        return;
    // Window column c holds picture column x0 + c (0 <= it < width); window row r holds the picture row
    // y0 + r counted from 1 at the top (1 <= it <= height).
    const std::int64_t c0 = std::max<std::int64_t>(0, -x0), c1 = std::min<std::int64_t>(tw, Img.Width - x0);
    const std::int64_t r0 = std::max<std::int64_t>(0, 1 - y0),
                       r1 = std::min<std::int64_t>(th, Img.Height + 1 - y0);
    if (c0 >= c1 || r0 >= r1)
        return;
    // Where that part falls on the target.
    const TRasterRect Dst{static_cast<int>(c0 * W / tw), static_cast<int>(r0 * H / th),
                          static_cast<int>((c1 * W + tw - 1) / tw), static_cast<int>((r1 * H + th - 1) / th)};
    if (Dst.Empty())
        return;
    TBitmap32 Part(static_cast<int>(c1 - c0), static_cast<int>(r1 - r0));
    for (std::int64_t r = r0; r < r1; ++r) {
        TColor32* Line = Part.ScanLine(static_cast<int>(r - r0));
        const std::int64_t j = y0 + r; // 1 ... height, from the top
        for (std::int64_t c = c0; c < c1; ++c)
            Line[c - c0] = Img.PixelAt(static_cast<int>(x0 + c), static_cast<int>(Img.Height - j));
    }
    Resample(Target, Dst, Part, TRasterRect{0, 0, Part.Width(), Part.Height()}, 0, B.Filter);
}

} // namespace zem
