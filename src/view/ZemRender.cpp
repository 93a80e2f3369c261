// The render pipeline: which objects are drawn (the visible list) and the one pass that composes a frame.
#include "base/ZemGeometry.h"
#include "base/ZemNumberText.h"
#include "base/ZemRound.h"
#include "images/ZemImageFile.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "view/ZemRasterColor.h"
#include "view/ZemSmooth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zem {

void TZemMap::RenderView() {
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    // Nested redraw requests from inside the frame do nothing; the flag comes back whatever happens.
    struct TAutoUpdateOff {
        bool& Flag;
        bool Saved;
        explicit TAutoUpdateOff(bool& F) : Flag(F), Saved(F) { Flag = false; }
        ~TAutoUpdateOff() { Flag = Saved; }
    } Off(View.AutoUpdate);
    struct TUpdate {
        TBitmap32& B;
        explicit TUpdate(TBitmap32& Buffer) : B(Buffer) { B.BeginUpdate(); }
        ~TUpdate() { B.EndUpdate(); }
    };
    {
        TUpdate Update(BackBuffer);
        PaintBackground();
        if (OnPaintBackground)
            OnPaintBackground(*this, BackBuffer);
        if (Doc.ShowGrid)
            PaintGrid();
        if (!Doc.HasOption(moHideObjects))
            PaintVisible();
        PaintOverlays();
        if (View.AntiAlias)
            SmoothFrame(BackBuffer);
    }
    // The page of a print is composed from frames the window must not show.
    if (!View.Printing)
        FHost.Present(BackBuffer);
    ++View.PaintCounter;
    ++View.DrawCounter;
}

void TZemMap::PaintVisible() {
    const TIntegerList& List = View.VisibleList;
    const std::int32_t N = List.Count();
    // Objects live apart on the heap and a whole-map frame draws tens of thousands: each painter would
    // wait for its object and then for its points. Both are asked for ahead.
    constexpr std::int32_t kObjectAhead = 8, kPointsAhead = 4;
    for (std::int32_t i = 0; i < N; ++i) {
        if (i + kObjectAhead < N)
            if (const auto* Slot = Doc.Objects.Find(List[i + kObjectAhead]))
                __builtin_prefetch(Slot->get());
        if (i + kPointsAhead < N)
            if (const auto* Slot = Doc.Objects.Find(List[i + kPointsAhead]))
                __builtin_prefetch((*Slot)->Points().Data());
        PaintObject(List[i]);
    }
}

void TZemMap::PaintBackground() {
    TBitmap32& B = BackBuffer;
    const TBitmap32& Tile = BackgroundPattern;
    if (Tile.Empty() || !Doc.HasOption(moShowBackground)) {
        B.Clear(ToColor32(static_cast<std::uint32_t>(Doc.BackColor)));
        return;
    }
    for (std::int64_t Y = 0; Y < B.Height(); Y += Tile.Height())
        for (std::int64_t X = 0; X < B.Width(); X += Tile.Width())
            B.Draw(static_cast<int>(X), static_cast<int>(Y), Tile);
}

namespace {

// A grid label: the world coordinate with two decimals.
ZemString GridLabel(float V) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.2f", static_cast<double>(V));
    ZemString S = Buf;
    const char Sep = LocaleDecimalSeparator();
    for (char& C : S)
        if (C == '.')
            C = Sep;
    return S;
}

// Lines closer than this many pixels would only paint the window over in the grid's colour, and a very
// small step at a small scale would take seconds a frame: such a grid is not drawn.
constexpr long double kMinGridPixels = 2;

} // namespace

void TZemMap::PaintGrid() {
    TBitmap32& B = BackBuffer;
    B.LineColor = ToColor32(static_cast<std::uint32_t>(Doc.DirectLineColor));
    B.LineStyle = 2;
    B.LineWidth = 1;
    B.Font.Name = "Arial";
    B.Font.Size = 7;
    B.Font.Style = 0;
    const std::int32_t W = Width(), H = Height();
    if (B.Empty() || W <= 0 || H <= 0)
        return;
    const TXYPoint T = ScreenToWorld(0, 0), Bottom = ScreenToWorld(W, H);
    const long double PixelsX = static_cast<long double>(W) / View.ViewWidthHeight.X;
    const long double PixelsY = static_cast<long double>(H) / View.ViewWidthHeight.Y;

    // Lines are counted by an index and capped by the window: far from the origin a step may be lost
    // in the rounding of the world value, and the loop must end all the same.
    const auto MaxLinesX = static_cast<std::int64_t>(W / kMinGridPixels) + 2,
               MaxLinesY = static_cast<std::int64_t>(H / kMinGridPixels) + 2;
    auto GridLines = [](long double From, long double To, std::int32_t Step, std::int64_t MaxLines,
                        auto&& Line) {
        const long double First = std::nearbyintl(From / Step);
        if (!std::isfinite(First) || !std::isfinite(To))
            return;
        for (std::int64_t i = 0; i < MaxLines; ++i) {
            const long double World = (First + i) * Step;
            if (!(World <= To) || !(std::fabs(World) <= std::numeric_limits<float>::max()))
                return;
            Line(static_cast<float>(World));
        }
    };
    const std::int32_t SY = Doc.DirectLineY;
    if (SY > 0 && SY * PixelsY >= kMinGridPixels)
        GridLines(T.Y, Bottom.Y, SY, MaxLinesY, [&](float y) {
            B.ResetDash();
            const std::int32_t v = WorldToScreen(0.0f, y).Y;
            B.LineStyled(0, v, W - 1, v, false, false, 2);
            B.OutputTextRotated(0, v, false, 0, GridLabel(ScreenToWorld(0, v).Y));
        });
    const std::int32_t SX = Doc.DirectLineX;
    if (SX > 0 && SX * PixelsX >= kMinGridPixels)
        GridLines(T.X, Bottom.X, SX, MaxLinesX, [&](float x) {
            B.ResetDash();
            const std::int32_t u = WorldToScreen(x, 0.0f).X;
            B.LineStyled(u, 0, u, H - 1, false, false, 2);
            B.OutputTextRotated(u, 0, false, 0, GridLabel(ScreenToWorld(u, 0).X));
        });
}

void TZemMap::PaintOverlays() {
    // A printed page shows the map, not the editing: no rubber bands, selection, handles, construction
    // or measuring line. The route and its search points are the map's content and stay.
    const bool Editing = !View.Printing;
    if (Editing)
        PaintToolDrag();
    if (Editing && Edit.CurrentObject != -1 && ObjectExists(Edit.CurrentObject)) {
        BackBuffer.LineWidth = 1;
        PaintSelection(Edit.CurrentObject);
    }
    if (Editing && Edit.Creating)
        PaintConstruction();
    if (Editing)
        PaintToolsKept();
    if (Net.RouteHighlight.Count() > 0)
        PaintRoute();
    if (!Net.RoutePoints.Empty())
        PaintRoutePoints();
}

void TZemMap::Paint() {
    Redraw();
}

void TZemMap::ExportBmp(const std::string& FileName) const {
    SaveImageFile(FileName, BackBuffer.View());
}

} // namespace zem
