#include "view/ZemPageLayout.h"

#include "base/ZemRound.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

bool Usable(double V) {
    return std::isfinite(V) && V > 0;
}

} // namespace

TZemPageSize PageSizeFromPrinter(double DpiX, double DpiY, double DotsWidth, double DotsHeight,
                                 TZemPageOrientation Orientation) {
    if (!Usable(DpiX) || !Usable(DpiY) || !Usable(DotsWidth) || !Usable(DotsHeight)) {
        DpiX = DpiY = kFallbackDpi;
        DotsWidth = kFallbackDotsWidth;
        DotsHeight = kFallbackDotsHeight;
    }
    // A page of more than 100 inches is no printer's; keep the desk's arithmetic in range.
    auto Side = [](double Dots, double Dpi) {
        return std::clamp<std::int32_t>(Round(Dots / Dpi * kScreenDpi), 1, 9600);
    };
    TZemPageSize Size{Side(DotsWidth, DpiX), Side(DotsHeight, DpiY)};
    if (Orientation == TZemPageOrientation::poLandscape)
        std::swap(Size.Width, Size.Height);
    return Size;
}

void TZemPageLayout::SetPageSize(TZemPageSize Size) {
    FPage = TZemPageSize{std::max(Size.Width, 1), std::max(Size.Height, 1)};
    Relayout();
}

void TZemPageLayout::SetPageCount(std::int32_t Count) {
    FPageCount = std::max(Count, 0);
    if (FCurrent >= FPageCount)
        FCurrent = FPageCount - 1;
    if (FAnchorPage >= FPageCount)
        FAnchorPage = -1;
    Relayout();
}

void TZemPageLayout::SetClient(std::int32_t Width, std::int32_t Height, std::int32_t ScrollBarWidth,
                               std::int32_t ScrollBarHeight) {
    FClientW = std::max(Width, 0);
    FClientH = std::max(Height, 0);
    FBarW = std::max(ScrollBarWidth, 0);
    FBarH = std::max(ScrollBarHeight, 0);
    Relayout();
}

double TZemPageLayout::ModeZoom() const {
    const double Width = FClientW - FBarW, Height = FClientH - FBarH;
    const double FitWidth = (Width - 2 * kDeskGap) / FPage.Width;
    switch (FMode) {
    case TZemZoomMode::zmFitWidth:
        return FitWidth;
    case TZemZoomMode::zmActualSize:
        return 1.0;
    case TZemZoomMode::zmWholePage:
        return std::min(FitWidth, (Height - 2 * kDeskGap) / FPage.Height);
    case TZemZoomMode::zmTwoPages:
        return (Width - 3 * kDeskGap) / 2 / FPage.Width;
    case TZemZoomMode::zmFourPages:
        return (Width - 5 * kDeskGap) / 4 / FPage.Width;
    case TZemZoomMode::zmFree:
        break;
    }
    return FZoom;
}

bool TZemPageLayout::SetZoom(double Z) {
    if (!(Z > kMinZoom && Z < kMaxZoom) || Z == FZoom)
        return false;
    if (FAnchorPage < 0 && FPageCount > 0) {
        // No click to keep: keep the current page's top centre where it stands, or, when that is out of
        // view, the point of the page in the viewport's middle.
        const std::int32_t Page = std::max(FCurrent, 0);
        const TZemDeskRect R = PageRect(Page);
        double VX = static_cast<double>(DeskOffsetX() + R.Left - FScrollX) + R.Width / 2.0;
        double VY = static_cast<double>(DeskOffsetY() + R.Top - FScrollY);
        FAnchorPage = Page;
        FAnchorX = FPage.Width / 2.0;
        FAnchorY = 0;
        if (VY < 0 || VY > FClientH) {
            VY = FClientH / 2.0;
            FAnchorY = std::clamp((VY - static_cast<double>(DeskOffsetY() + R.Top - FScrollY)) / FZoom, 0.0,
                                  static_cast<double>(FPage.Height));
        }
        FAnchorViewX = std::clamp(VX, 0.0, static_cast<double>(FClientW));
        FAnchorViewY = VY;
    }
    FZoom = Z;
    Relayout();
    return true;
}

void TZemPageLayout::SetZoomMode(TZemZoomMode Mode) {
    FMode = Mode;
    if (!SetZoom(ModeZoom()))
        Relayout();
}

bool TZemPageLayout::ZoomStep(bool In) {
    FMode = TZemZoomMode::zmFree;
    // A step past a limit lands on the limit, which SetZoom refuses: the zoom never reaches it.
    return SetZoom(In ? std::min(FZoom + 0.1, kMaxZoom) : std::max(FZoom - 0.1, kMinZoom));
}

void TZemPageLayout::Relayout() {
    if (FMode != TZemZoomMode::zmFree) {
        const double Z = ModeZoom();
        if (Z > kMinZoom && Z < kMaxZoom)
            FZoom = Z;
    }
    FW = std::max<std::int32_t>(Round(FPage.Width * FZoom), 1);
    FH = std::max<std::int32_t>(Round(FPage.Height * FZoom), 1);
    FColumns = 1;
    std::int64_t Room = static_cast<std::int64_t>(FClientW) - FW - 2 * kDeskGap;
    while (FW + kDeskGap < Room) {
        ++FColumns;
        Room -= FW + kDeskGap;
    }
    // Columns beyond the last page would only push the pages off the desk's centre.
    if (FMode == TZemZoomMode::zmWholePage)
        FColumns = 1;
    FColumns = std::clamp(FColumns, 1, std::max(FPageCount, 1));
    FRows = (FPageCount + FColumns - 1) / FColumns;
    FDeskWidth = static_cast<std::int64_t>(FColumns) * (FW + kDeskGap) + kDeskGap;
    FDeskHeight = static_cast<std::int64_t>(FRows) * (FH + kDeskGap) + kDeskGap;
    KeepAnchor();
}

void TZemPageLayout::KeepAnchor() {
    if (FAnchorPage >= 0) {
        const TZemDeskRect R = PageRect(FAnchorPage);
        ClampScroll(std::llround(DeskOffsetX() + R.Left + FAnchorX * FZoom - FAnchorViewX),
                    std::llround(DeskOffsetY() + R.Top + FAnchorY * FZoom - FAnchorViewY));
    } else {
        ClampScroll(FScrollX, FScrollY);
    }
}

TZemDeskRect TZemPageLayout::PageRect(std::int32_t Index) const {
    const std::int32_t Column = Index % FColumns, Row = Index / FColumns;
    return {static_cast<std::int64_t>(Column) * (FW + kDeskGap) + kDeskGap,
            static_cast<std::int64_t>(Row) * (FH + kDeskGap) + kDeskGap, FW, FH};
}

namespace {

// Which scroll bars the desk needs in a client of this size: each one takes room from the other side.
void BarsNeeded(std::int64_t DeskW, std::int64_t DeskH, std::int32_t ClientW, std::int32_t ClientH,
                std::int32_t BarW, std::int32_t BarH, bool& Vertical, bool& Horizontal) {
    Vertical = DeskH > ClientH;
    Horizontal = DeskW > ClientW - (Vertical ? BarW : 0);
    if (Horizontal && !Vertical)
        Vertical = DeskH > ClientH - BarH;
}

} // namespace

std::int64_t TZemPageLayout::ViewWidth() const {
    bool V = false, H = false;
    BarsNeeded(FDeskWidth, FDeskHeight, FClientW, FClientH, FBarW, FBarH, V, H);
    return FClientW - (V ? FBarW : 0);
}

std::int64_t TZemPageLayout::ViewHeight() const {
    bool V = false, H = false;
    BarsNeeded(FDeskWidth, FDeskHeight, FClientW, FClientH, FBarW, FBarH, V, H);
    return FClientH - (H ? FBarH : 0);
}

std::int64_t TZemPageLayout::MaxScrollX() const {
    return std::max<std::int64_t>(0, FDeskWidth - ViewWidth());
}

std::int64_t TZemPageLayout::MaxScrollY() const {
    return std::max<std::int64_t>(0, FDeskHeight - ViewHeight());
}

std::int64_t TZemPageLayout::DeskOffsetX() const {
    return std::max<std::int64_t>(0, (ViewWidth() - FDeskWidth) / 2);
}

std::int64_t TZemPageLayout::DeskOffsetY() const {
    return 0;
}

void TZemPageLayout::ClampScroll(std::int64_t X, std::int64_t Y) {
    FScrollX = std::clamp<std::int64_t>(X, 0, MaxScrollX());
    FScrollY = std::clamp<std::int64_t>(Y, 0, MaxScrollY());
}

void TZemPageLayout::SetScroll(std::int64_t X, std::int64_t Y) {
    const std::int64_t OldX = FScrollX, OldY = FScrollY;
    ClampScroll(X, Y);
    // The anchored point moved with the desk; the next zoom keeps it where it is now.
    FAnchorViewX -= static_cast<double>(FScrollX - OldX);
    FAnchorViewY -= static_cast<double>(FScrollY - OldY);
}

std::int32_t TZemPageLayout::PageAt(std::int64_t X, std::int64_t Y, double& PageX, double& PageY) const {
    const std::int64_t DX = X + FScrollX - DeskOffsetX(), DY = Y + FScrollY - DeskOffsetY();
    if (DX < 0 || DY < 0 || FPageCount == 0)
        return -1;
    const std::int64_t Column = DX / (FW + kDeskGap), Row = DY / (FH + kDeskGap);
    if (Column >= FColumns || Row >= FRows)
        return -1;
    const std::int64_t Index = Row * FColumns + Column;
    if (Index >= FPageCount)
        return -1;
    PageX = static_cast<double>(DX - Column * (FW + kDeskGap) - kDeskGap) / FZoom;
    PageY = static_cast<double>(DY - Row * (FH + kDeskGap) - kDeskGap) / FZoom;
    if (PageX < 0 || PageY < 0 || PageX >= FPage.Width || PageY >= FPage.Height)
        return -1;
    return static_cast<std::int32_t>(Index);
}

std::int32_t TZemPageLayout::AnchorAt(std::int64_t X, std::int64_t Y) {
    double PX = 0, PY = 0;
    const std::int32_t Page = PageAt(X, Y, PX, PY);
    FAnchorPage = Page;
    FAnchorX = PX;
    FAnchorY = PY;
    FAnchorViewX = static_cast<double>(X);
    FAnchorViewY = static_cast<double>(Y);
    return Page;
}

bool TZemPageLayout::Press(std::int64_t X, std::int64_t Y) {
    const std::int32_t Page = AnchorAt(X, Y);
    if (Page < 0)
        return false;
    const bool Changed = Page != FCurrent;
    FCurrent = Page;
    return Changed;
}

std::int32_t TZemPageLayout::PageOnScreen() const {
    if (FCurrent >= 0 || FPageCount == 0)
        return FCurrent;
    const std::int64_t Left = FScrollX - DeskOffsetX(), Top = FScrollY - DeskOffsetY();
    for (std::int32_t i = 0; i < FPageCount; ++i) {
        const TZemDeskRect R = PageRect(i);
        if (R.Left < Left + ViewWidth() && R.Left + R.Width > Left && R.Top < Top + ViewHeight() &&
            R.Top + R.Height > Top)
            return i;
    }
    return 0;
}

void TZemPageLayout::SetCurrentPage(std::int32_t Index) {
    FCurrent = std::clamp(Index, -1, FPageCount - 1);
}

} // namespace zem
