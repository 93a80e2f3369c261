#pragma once
// Page geometry of the print preview: how pages of one size lie on the grey desk at a zoom, which page
// and which point of it a desk position falls on, and where the desk must be scrolled so that the point
// the user last clicked stays where it was when the zoom changes. No window system here: the Qt control
// feeds it sizes and pointer positions and draws what it computes.
#include <cstdint>

namespace zem {

// Pixels of the page's own coordinates: the screen's, at 96 per inch.
constexpr double kScreenDpi = 96.0;
// Gap between pages and around the desk's edge, in screen pixels.
constexpr std::int32_t kDeskGap = 30;
// Zoom is accepted only strictly between these.
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 5.0;
// What the printer's queries fall back to when they fail: 360 dots per inch, an 8.5 x 11 inch page.
constexpr double kFallbackDpi = 360.0;
constexpr double kFallbackDotsWidth = 3060.0;
constexpr double kFallbackDotsHeight = 3960.0;

enum class TZemZoomMode : std::uint8_t {
    zmFitWidth = 0,
    zmActualSize = 1,
    zmWholePage = 2,
    zmTwoPages = 3,
    zmFourPages = 4,
    zmFree = 5,
};

enum class TZemPreviewMouse : std::uint8_t { pmNone = 0, pmHand = 1, pmZoomIn = 2, pmZoomOut = 3 };

enum class TZemPageOrientation : std::uint8_t { poPortrait, poLandscape };

struct TZemPageSize {
    std::int32_t Width = 816;
    std::int32_t Height = 1056;
    friend bool operator==(const TZemPageSize&, const TZemPageSize&) = default;
};

// The page in screen pixels for a printer's resolution and physical page (portrait dots); any query that
// failed (not a positive, finite number) takes the fallback of all four.
TZemPageSize PageSizeFromPrinter(double DpiX, double DpiY, double DotsWidth, double DotsHeight,
                                 TZemPageOrientation Orientation);

struct TZemDeskRect {
    std::int64_t Left = 0, Top = 0, Width = 0, Height = 0;
};

class TZemPageLayout {
public:
    // ---- What the control tells the layout ----
    void SetPageSize(TZemPageSize Size);
    void SetPageCount(std::int32_t Count);
    // The viewport (client area less the scroll bars) and the scroll bar thickness the zoom commands
    // leave room for.
    void SetClient(std::int32_t Width, std::int32_t Height, std::int32_t ScrollBarWidth,
                   std::int32_t ScrollBarHeight);

    // ---- Zoom ----
    // False, and nothing changes, unless kMinZoom < Z < kMaxZoom and Z differs from the zoom. Without an
    // anchor, the current page's top centre becomes one, so that the page in view stays in view.
    bool SetZoom(double Z);
    // A zoom command: the zoom follows the mode now and at every relayout (free keeps the zoom).
    void SetZoomMode(TZemZoomMode Mode);
    // One click of the zoom-in or zoom-out pointer: 0.1 up or down, refused at the limits.
    bool ZoomStep(bool In);
    double Zoom() const { return FZoom; }
    TZemZoomMode ZoomMode() const { return FMode; }

    // ---- Layout, after any change of the above ----
    std::int32_t Columns() const { return FColumns; }
    std::int32_t Rows() const { return FRows; }
    std::int32_t PageCount() const { return FPageCount; }
    TZemPageSize PageSize() const { return FPage; }
    // The page on screen: Round(page size x zoom).
    std::int32_t ScaledWidth() const { return FW; }
    std::int32_t ScaledHeight() const { return FH; }
    std::int64_t DeskWidth() const { return FDeskWidth; }
    std::int64_t DeskHeight() const { return FDeskHeight; }
    // Where page Index lies on the desk.
    TZemDeskRect PageRect(std::int32_t Index) const;
    // Where the desk's left edge stands in the viewport when it is narrower than the viewport (centred).
    std::int64_t DeskOffsetX() const;
    std::int64_t DeskOffsetY() const;
    // The part of the client the desk shows in: less the scroll bars the desk needs.
    std::int64_t ViewWidth() const;
    std::int64_t ViewHeight() const;
    std::int64_t MaxScrollX() const;
    std::int64_t MaxScrollY() const;

    // ---- Pointer ----
    // The page under a viewport point (scroll position included) and the point on it in page pixels;
    // -1 when the point lies in a gap or beyond the pages.
    std::int32_t PageAt(std::int64_t X, std::int64_t Y, double& PageX, double& PageY) const;
    // The left press: the point under the pointer becomes the anchor and its page the current page (true
    // when the current page changed), or the anchor is cleared when the pointer is off the pages.
    bool Press(std::int64_t X, std::int64_t Y);
    // The point under a viewport point becomes the anchor (or none, off the pages); its page, or -1.
    std::int32_t AnchorAt(std::int64_t X, std::int64_t Y);

    // ---- Scrolling ----
    std::int64_t ScrollX() const { return FScrollX; }
    std::int64_t ScrollY() const { return FScrollY; }
    // The user scrolls (a scroll bar, the hand): the anchored point moves with the desk.
    void SetScroll(std::int64_t X, std::int64_t Y);

    std::int32_t CurrentPage() const { return FCurrent; }
    void SetCurrentPage(std::int32_t Index);
    // The page a status line names: the current page, or before any click the first page in view (the
    // first page when none is); -1 without pages.
    std::int32_t PageOnScreen() const;
    bool HasAnchor() const { return FAnchorPage >= 0; }
    std::int32_t AnchorPage() const { return FAnchorPage; }

private:
    void Relayout();
    double ModeZoom() const;
    void KeepAnchor();
    void ClampScroll(std::int64_t X, std::int64_t Y);

    TZemPageSize FPage;
    std::int32_t FPageCount = 0;
    std::int32_t FClientW = 200, FClientH = 200, FBarW = 0, FBarH = 0;
    double FZoom = 1.0;
    TZemZoomMode FMode = TZemZoomMode::zmActualSize;
    std::int32_t FW = 816, FH = 1056;
    std::int32_t FColumns = 1, FRows = 0;
    std::int64_t FDeskWidth = 0, FDeskHeight = 0;
    std::int64_t FScrollX = 0, FScrollY = 0;
    std::int32_t FCurrent = -1;
    // The anchor: a page, a point on it (page pixels) and where in the viewport it stood.
    std::int32_t FAnchorPage = -1;
    double FAnchorX = 0, FAnchorY = 0;
    double FAnchorViewX = 0, FAnchorViewY = 0;
};

} // namespace zem
