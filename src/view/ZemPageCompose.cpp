#include "view/ZemPageCompose.h"

#include "base/ZemErrors.h"
#include "base/ZemRound.h"
#include "model/ZemMap.h"
#include "view/ZemPageLayout.h"

#include <algorithm>
#include <cmath>

namespace zem {

TZemPageView CurrentPageView(const TZemMap& Map) {
    return {Map.View.LeftTop, Map.View.ViewWidthHeight, Map.View.Scale};
}

double PrintFactor(double Dpi, std::int32_t Width, std::int32_t Height) {
    if (!std::isfinite(Dpi))
        Dpi = 300;
    double Factor = std::clamp(Dpi, 300.0, 600.0) / kScreenDpi;
    const double Pixels = static_cast<double>(std::max(Width, 1)) * std::max(Height, 1);
    const double Limit = std::sqrt(static_cast<double>(kMaxPagePixels) / Pixels);
    return std::max(1.0, std::min(Factor, Limit));
}

namespace {

// Everything the composition changes, put back however it ends.
class TViewKeeper {
public:
    explicit TViewKeeper(TZemMap& Map)
        : FMap(Map), FView(CurrentPageView(Map)), FAutoUpdate(Map.View.AutoUpdate),
          FMinObjectView(Map.Doc.MinObjectView), FMinIconView(Map.Doc.MinIconView),
          FMinScaleAddress(Map.Doc.MinScaleAddress) {
        Map.View.AutoUpdate = false;
        // Lets UpdateVisibleList run with AutoUpdate off, keeps blinking objects steady and keeps the
        // frames off the window.
        Map.View.Printing = true;
    }
    ~TViewKeeper() {
        TZemMap& M = FMap;
        M.View.Printing = false;
        M.View.LeftTop = FView.LeftTop;
        M.View.ViewWidthHeight = FView.ViewWidthHeight;
        M.View.Scale = FView.Scale;
        M.Doc.MinObjectView = FMinObjectView;
        M.Doc.MinIconView = FMinIconView;
        M.Doc.MinScaleAddress = FMinScaleAddress;
        // The frame the window shows is the view's again; when updates were off, the caller redraws. The
        // document did not change, so the mini-map keeps its content and only its frame is drawn again.
        M.View.AutoUpdate = FAutoUpdate;
        if (FAutoUpdate) {
            M.UpdateVisibleList();
            M.Redraw();
            M.UpdateMiniMapFrame();
        }
    }
    TViewKeeper(const TViewKeeper&) = delete;
    TViewKeeper& operator=(const TViewKeeper&) = delete;

private:
    TZemMap& FMap;
    TZemPageView FView;
    bool FAutoUpdate;
    std::int32_t FMinObjectView;
    float FMinIconView, FMinScaleAddress;
};

} // namespace

void ComposeMapImage(TZemMap& Map, const TZemPageView& View, double Factor, TBitmap32& Image) {
    if (Image.Empty())
        return;
    if (!(Factor > 0) || !std::isfinite(Factor))
        Factor = 1.0;
    const std::int32_t TileW = Map.Width(), TileH = Map.Height();
    if (TileW <= 0 || TileH <= 0 || !(View.Scale > 0) || !(View.ViewWidthHeight.X > 0) ||
        !(View.ViewWidthHeight.Y > 0))
        throw EZemError("Карту нельзя напечатать: окно карты не имеет размера.");
    TViewKeeper Keep(Map);
    // At a finer factor every size taken from the scale grows with it, so the thresholds that compare
    // with the scale or count screen pixels grow too: the page hides what the screen hides.
    Map.Doc.MinObjectView = static_cast<std::int32_t>(std::lround(Map.Doc.MinObjectView * Factor));
    Map.Doc.MinIconView = static_cast<float>(Map.Doc.MinIconView * Factor);
    Map.Doc.MinScaleAddress = static_cast<float>(Map.Doc.MinScaleAddress * Factor);
    Map.View.Scale = static_cast<float>(View.Scale * Factor);
    // One tile covers what the control covers at the factor's scale.
    const long double StepX = static_cast<long double>(View.ViewWidthHeight.X) / Factor;
    const long double StepY = static_cast<long double>(View.ViewWidthHeight.Y) / Factor;
    Map.View.ViewWidthHeight = TXYPoint{static_cast<float>(StepX), static_cast<float>(StepY)};
    for (std::int64_t Row = 0, R = 0; R < Image.Height(); ++Row, R += TileH)
        for (std::int64_t Column = 0, T = 0; T < Image.Width(); ++Column, T += TileW) {
            Map.View.LeftTop = TXYPoint{static_cast<float>(View.LeftTop.X + Column * StepX),
                                        static_cast<float>(View.LeftTop.Y + Row * StepY)};
            Map.UpdateVisibleList();
            Map.RenderView();
            const std::int32_t X = static_cast<std::int32_t>(T), Y = static_cast<std::int32_t>(R);
            Image.CopyFromDevice(TRasterRect{X, Y, X + TileW, Y + TileH}, TRasterRect{0, 0, TileW, TileH},
                                 Map.BackBuffer);
        }
}

} // namespace zem
