#pragma once
// The printed page's picture of the map: the view's top-left corner onwards, at the view's scale, composed
// from frames of the control's size rendered one after another with the whole pipeline (background,
// grid, objects, overlays), as the window would show them. The window does not see these frames.
#include "base/ZemGeometry.h"
#include "view/ZemPageLayout.h"
#include "view/ZemRaster.h"

#include <cstdint>

namespace zem {

class TZemMap;

// The part of the world a page starts from: the view when the page was composed.
struct TZemPageView {
    TXYPoint LeftTop{0.0f, 0.0f};
    TXYPoint ViewWidthHeight{400.0f, 400.0f};
    float Scale = 100.0f;
};

TZemPageView CurrentPageView(const TZemMap& Map);

// The largest picture a page is composed into (pixels); a finer one would cost more memory than a page
// is worth. Composition at a finer factor is refused with EZemError.
constexpr std::int64_t kMaxPagePixels = std::int64_t{80} * 1000 * 1000;

// Fills Image (sized by the caller) with the map from View onwards, in frames of the map control's size.
// Factor is output pixels per screen pixel: 1 gives one screen pixel per page pixel; 300 / 96 gives the
// same part of the world at 300 dots per inch, with pens, texts and icons drawn at that resolution and the
// thresholds that hide small objects, icons and house numbers applied as on the screen. The map's view, its
// visible list and its frame are what they were before, also when composing fails.
void ComposeMapImage(TZemMap& Map, const TZemPageView& View, double Factor, TBitmap32& Image);

// Output pixels per screen pixel for a printer or PDF of Dpi dots per inch: at least 300 dpi, at most 600,
// and no more than the page's picture may hold (Width x Height screen pixels).
double PrintFactor(double Dpi, std::int32_t Width, std::int32_t Height);

} // namespace zem
