// The window onto the world plane: the two conversions, zooming, panning, resizing, the global extent.
// Every intermediate value is computed in extended precision and stored back as a single; rounding is
// to nearest with ties to even, so the same world point lands on the same pixel everywhere.
#include "base/ZemRound.h"
#include "model/ZemMap.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace zem {

using ld = long double;

namespace {

// Round((W - L) * Pixels / Extent) as the extended-precision conversion computes it, taken from the
// double value when that lies clearly off a half (the two differ by far less than the margin), so that
// most conversions skip the slower extended arithmetic. False when only the exact way will do.
bool QuickScreen(float W, float L, std::int32_t Pixels, float Extent, std::int32_t& Out) {
    const double v = (static_cast<double>(W) - L) * Pixels / Extent;
    if (!(std::fabs(v) < 0x1p30))
        return false;
    const double r = std::rint(v);
    if (!(std::fabs(std::fabs(v - r) - 0.5) > std::fabs(v) * 0x1p-40 + 0x1p-30))
        return false;
    Out = static_cast<std::int32_t>(r);
    return true;
}

} // namespace

TPoint TZemMap::WorldToScreen(const TXYPoint& W) const {
    TPoint P;
    if (QuickScreen(W.X, View.LeftTop.X, FWidth, View.ViewWidthHeight.X, P.X) &&
        QuickScreen(W.Y, View.LeftTop.Y, FHeight, View.ViewWidthHeight.Y, P.Y))
        return P;
    return ExactWorldToScreen(W);
}

TPoint TZemMap::ExactWorldToScreen(const TXYPoint& W) const {
    return TPoint{Round((static_cast<ld>(W.X) - View.LeftTop.X) * FWidth / View.ViewWidthHeight.X),
                  Round((static_cast<ld>(W.Y) - View.LeftTop.Y) * FHeight / View.ViewWidthHeight.Y)};
}

TXYPoint TZemMap::ScreenToWorld(const TPoint& S) const {
    return TXYPoint{
        static_cast<float>(static_cast<ld>(S.X) * View.ViewWidthHeight.X / FWidth + View.LeftTop.X),
        static_cast<float>(static_cast<ld>(S.Y) * View.ViewWidthHeight.Y / FHeight + View.LeftTop.Y)};
}

void TZemMap::SetScale(float S) {
    if (!(S > 0.0f))
        return;
    const TXYPoint m{static_cast<float>(View.LeftTop.X + static_cast<ld>(View.ViewWidthHeight.X) / 2),
                     static_cast<float>(View.LeftTop.Y + static_cast<ld>(View.ViewWidthHeight.Y) / 2)};
    const ld w = static_cast<ld>(View.Scale) * View.ViewWidthHeight.X / S;
    const ld h = static_cast<ld>(View.Scale) * View.ViewWidthHeight.Y / S;
    View.LeftTop.X = static_cast<float>(m.X - w / 2);
    View.ViewWidthHeight.X = static_cast<float>(w);
    View.LeftTop.Y = static_cast<float>(m.Y - h / 2);
    View.ViewWidthHeight.Y = static_cast<float>(h);
    View.Scale = S;
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapFrame();
    if (OnScale)
        OnScale(*this, View.Scale);
}

void TZemMap::SetView(const TXYPoint& Centre, float S) {
    if (!(S > 0.0f))
        return;
    View.Scale = S;
    View.ViewWidthHeight =
        TXYPoint{static_cast<float>(FWidth * 100.0L / S), static_cast<float>(FHeight * 100.0L / S)};
    View.LeftTop = TXYPoint{Centre.X - View.ViewWidthHeight.X / 2, Centre.Y - View.ViewWidthHeight.Y / 2};
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapFrame();
    if (OnScale)
        OnScale(*this, View.Scale);
}

namespace {
std::string ShortestFloat(float V) {
    char Buf[32];
    auto R = std::to_chars(Buf, Buf + sizeof Buf, V);
    return std::string(Buf, R.ptr);
}
} // namespace

void TZemMap::ZoomToRect(const TPoint& P, const TPoint& Q) {
    ld e, f;
    TXYPoint NewLeftTop;
    if (P.X == Q.X || P.Y == Q.Y) {
        // A click: twice the scale, centred on the clicked world point.
        e = static_cast<ld>(View.ViewWidthHeight.X) / 2;
        f = static_cast<ld>(View.ViewWidthHeight.Y) / 2;
        const TXYPoint c = ScreenToWorld(Q);
        NewLeftTop = TXYPoint{static_cast<float>(c.X - e / 2), static_cast<float>(c.Y - f / 2)};
    } else {
        const TXYPoint a = ScreenToWorld(P), b = ScreenToWorld(Q);
        e = std::fabs(static_cast<ld>(a.X) - b.X);
        f = std::fabs(static_cast<ld>(a.Y) - b.Y);
        if (e >= f)
            f = e * View.ViewWidthHeight.Y / View.ViewWidthHeight.X;
        else
            e = f * View.ViewWidthHeight.X / View.ViewWidthHeight.Y;
        NewLeftTop = TXYPoint{std::min(a.X, b.X), std::min(a.Y, b.Y)};
    }
    const ld n = static_cast<ld>(View.Scale) * View.ViewWidthHeight.X / e;
    if (!(n <= View.MaxScale)) {
        // Also taken for a rectangle too small to measure in singles (n infinite).
        SetScale(View.MaxScale);
    } else {
        View.Scale = static_cast<float>(n);
        View.LeftTop = NewLeftTop;
        View.ViewWidthHeight = TXYPoint{static_cast<float>(e), static_cast<float>(f)};
        if (OnDebug)
            OnDebug(*this,
                    ShortestFloat(View.ViewWidthHeight.X) + ";" + ShortestFloat(View.ViewWidthHeight.Y));
        RecalcGlobalExtent();
    }
    if (OnScale)
        OnScale(*this, View.Scale);
}

void TZemMap::ZoomOutClick(const TPoint&) {
    SetScale(static_cast<float>(Round(static_cast<ld>(View.Scale) / 2)));
}

void TZemMap::WheelZoom(std::int32_t Delta) {
    View.AutoUpdate = false;
    const TPoint a = WorldToScreen(View.CursorPos);
    const TXYPoint w0 = ScreenToWorld(a);
    const int Sign = (Delta > 0) - (Delta < 0);
    SetScale(static_cast<float>(Sign * static_cast<ld>(View.ScaleStep) + View.Scale));
    const TXYPoint w1 = ScreenToWorld(a);
    View.LeftTop.X = static_cast<float>(static_cast<ld>(View.LeftTop.X) + w0.X - w1.X);
    View.LeftTop.Y = static_cast<float>(static_cast<ld>(View.LeftTop.Y) + w0.Y - w1.Y);
    View.AutoUpdate = true;
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapFrame();
}

void TZemMap::KeypadZoom(std::int32_t Key) {
    if (Key != 107 && Key != 109)
        return;
    View.AutoUpdate = false;
    SetScale(Key == 107 ? View.Scale + View.ScaleStep : View.Scale - View.ScaleStep);
    View.AutoUpdate = true;
    UpdateVisibleList();
    UpdateMiniMapContent();
    Redraw();
}

bool TZemMap::InsideScrollArea(const TXYPoint& L, const TXYPoint& R) const {
    const TXYPoint G = View.GlobalLeftTop, S = View.GlobalWidthHeight;
    return L.X > static_cast<ld>(G.X) - S.X && L.Y > static_cast<ld>(G.Y) - S.Y &&
           R.X < static_cast<ld>(G.X) + 2 * static_cast<ld>(S.X) &&
           R.Y < static_cast<ld>(G.Y) + 2 * static_cast<ld>(S.Y);
}

void TZemMap::PanBy(const TPoint& P, const TPoint& Q) {
    const TXYPoint wp = ScreenToWorld(P), wq = ScreenToWorld(Q);
    const TXYPoint L{static_cast<float>(static_cast<ld>(View.LeftTop.X) + wp.X - wq.X),
                     static_cast<float>(static_cast<ld>(View.LeftTop.Y) + wp.Y - wq.Y)};
    const TXYPoint R = ScreenToWorld(
        WorldToScreen(TXYPoint{static_cast<float>(static_cast<ld>(L.X) + View.ViewWidthHeight.X),
                               static_cast<float>(static_cast<ld>(L.Y) + View.ViewWidthHeight.Y)}));
    if (!InsideScrollArea(L, R))
        return;
    View.LeftTop = L;
    View.PressPoint = Q;
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapFrame();
}

void TZemMap::Resize(std::int32_t NewWidth, std::int32_t NewHeight) {
    const std::int32_t OldWidth = BackBuffer.Width(), OldHeight = BackBuffer.Height();
    FWidth = std::max(NewWidth, 0);
    FHeight = std::max(NewHeight, 0);
    if (OldWidth == FWidth && OldHeight == FHeight)
        return;
    // The scale and LeftTop stay: the window grows or shrinks at the right and bottom.
    FitExtentToSize();
    RecalcGlobalExtent();
    BackBuffer.SetSize(FWidth, FHeight);
    UpdateVisibleList();
    UpdateMiniMapFrame();
}

void TZemMap::FitExtentToSize() {
    if (!(View.Scale > 0.0f))
        return;
    // An extent that already agrees up to the rounding of singles stays as it is, so that a map saved
    // from a control of this size loads and saves back the same bytes.
    auto Fit = [this](float& Extent, std::int32_t Pixels) {
        if (Pixels <= 0)
            return; // nothing is shown: the stored extent is all there is to go by
        const ld Want = static_cast<ld>(Pixels) * 100 / View.Scale;
        if (!(Want <= std::numeric_limits<float>::max()))
            return; // a scale too small to give an extent in singles; the view stays as it is
        if (!(std::fabs(Extent - Want) <= Want * 1e-6L))
            Extent = static_cast<float>(Want);
    };
    Fit(View.ViewWidthHeight.X, FWidth);
    Fit(View.ViewWidthHeight.Y, FHeight);
}

void TZemMap::RecalcGlobalExtent() {
    float MaxRight = 0.0f, MaxBottom = 0.0f;
    for (std::int32_t ID : Doc.Order) {
        const TZemObject& O = ObjectByID(ID);
        View.GlobalLeftTop.X = std::min(View.GlobalLeftTop.X, O.LeftTop.X);
        View.GlobalLeftTop.Y = std::min(View.GlobalLeftTop.Y, O.LeftTop.Y);
        MaxRight = std::max(MaxRight, O.RightBottom.X);
        MaxBottom = std::max(MaxBottom, O.RightBottom.Y);
    }
    View.GlobalWidthHeight.X = static_cast<float>(static_cast<ld>(MaxRight) - View.GlobalLeftTop.X);
    View.GlobalWidthHeight.Y = static_cast<float>(static_cast<ld>(MaxBottom) - View.GlobalLeftTop.Y);
}

void TZemMap::SetAutoUpdate(bool Value) {
    View.AutoUpdate = Value;
    if (Value) {
        UpdateVisibleList();
        RecalcGlobalExtent();
        Redraw();
        // Objects the bulk change added or changed are drawn small too, not only the frame moved.
        UpdateMiniMapContent();
    }
}

void TZemMap::Redraw() {
    if (View.AutoUpdate)
        RenderView();
}

void TZemMap::Refresh() {
    UpdateVisibleList();
    Redraw();
}

} // namespace zem
