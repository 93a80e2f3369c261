#include "view/ZemMiniMap.h"

#include "base/ZemRound.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "view/ZemRasterColor.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zem {

using ld = long double;

TZemMiniMap::TZemMiniMap(TZemDrawHost& Host) : FHost(Host) {
    Composed.SetSize(Width(), Height());
    Content.SetSize(Width(), Height());
}

TZemMiniMap::~TZemMiniMap() {
    if (FMap && FMap->MiniMap() == this)
        FMap->SetMiniMap(nullptr);
}

std::int32_t TZemMiniMap::Width() const {
    return FHost.ClientWidth();
}
std::int32_t TZemMiniMap::Height() const {
    return FHost.ClientHeight();
}

void TZemMiniMap::Link(TZemMap& Map, std::function<void()> Update) {
    FMap = &Map;
    FUpdate = std::move(Update);
}

void TZemMiniMap::Detach() {
    FMap = nullptr;
    FUpdate = nullptr;
}

void TZemMiniMap::RunUpdate() {
    if (FUpdate)
        FUpdate();
}

void TZemMiniMap::SetBorderColor(TColor Value) {
    BorderColor = Value;
    RunUpdate();
}

void TZemMiniMap::SetBorderPainterColor(TColor Value) {
    BorderPainterColor = Value;
    RunUpdate();
}

void TZemMiniMap::SetShowDashLine(bool Value) {
    ShowDashLine = Value;
    RunUpdate();
}

bool TZemMiniMap::ComputeFittedArea(std::int32_t W, std::int32_t H, float GW, float GH, TRect& Area) {
    if (GW == 0.0f || GH == 0.0f)
        return false;
    if (static_cast<ld>(H) <= static_cast<ld>(W) * GH / GW) {
        const std::int32_t w = Round(static_cast<ld>(H) * GW / GH);
        Area = TRect{W / 2 - w / 2, 0, W / 2 + w / 2, H};
    } else {
        const std::int32_t h = Round(static_cast<ld>(W) * GH / GW);
        Area = TRect{0, H / 2 - h / 2, W, H / 2 + h / 2};
    }
    return true;
}

void TZemMiniMap::Present() {
    FHost.Present(Composed);
}

void TZemMiniMap::Paint() {
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (Composed.Width() != Width() || Composed.Height() != Height()) {
        Composed.SetSize(Width(), Height());
        Content.SetSize(Width(), Height());
        if (FMap)
            RunUpdate();
        else
            Composed.Clear(0xFFF0F0F0); // the button face of the window system
    }
    Present();
}

void TZemMiniMap::MouseDown(const TPoint& P) {
    LastPoint = P;
    JumpRequested = true;
    DragActive = true;
}

void TZemMiniMap::MouseMove(const TPoint& P) {
    if (!DragActive)
        return;
    LastPoint = P;
    RunUpdate();
    Paint();
    JumpRequested = true;
    DragActive = true;
}

void TZemMiniMap::MouseUp(const TPoint& P) {
    LastPoint = P;
    RunUpdate();
    Paint();
    DragActive = false;
}

void TZemMiniMap::MouseLeave() {
    JumpRequested = false;
    DragActive = false;
}

// ---- the map's side of the link ----

void TZemMap::SetMiniMap(TZemMiniMap* MiniMap) {
    if (FMiniMap && FMiniMap != MiniMap)
        FMiniMap->Detach();
    FMiniMap = MiniMap;
    if (MiniMap)
        MiniMap->Link(*this, [this] { UpdateMiniMapFrame(); });
}

namespace {

// World to mini-map pixels through the fitted area A of the global extent.
struct TMiniTransform {
    TXYPoint G; // GlobalLeftTop
    ld GW, GH;  // GlobalWidthHeight
    TRect A;
    TRasterPoint operator()(const TXYPoint& P) const {
        return TRasterPoint{A.Left + Round((static_cast<ld>(P.X) - G.X) * (A.Right - A.Left) / GW),
                            A.Top + Round((static_cast<ld>(P.Y) - G.Y) * (A.Bottom - A.Top) / GH)};
    }
};

// The document drawn small: lines, polygons and ellipses with one-pixel pens, solid brushes only.
void DrawContent(TBitmap32& C, const TZemDocument& Doc, const TMiniTransform& T) {
    std::vector<TRasterPoint> P;
    for (std::int32_t ID : Doc.Order) {
        const auto* Slot = Doc.Objects.Find(ID);
        if (!Slot)
            continue;
        const TZemObject& O = **Slot;
        if (O.Kind != otLine && O.Kind != otPolygon && O.Kind != otRectangle && O.Kind != otEllipse)
            continue;
        const TRasterPoint a = T(O.LeftTop), b = T(O.RightBottom);
        if (std::llabs(std::int64_t(b.X) - a.X) < Doc.MinObjectView &&
            std::llabs(std::int64_t(b.Y) - a.Y) < Doc.MinObjectView)
            continue;
        C.LineColor = ToColor32(static_cast<std::uint32_t>(O.Pen.Color));
        C.BrushColor = ToColor32(static_cast<std::uint32_t>(O.Brush.Color));
        C.BrushStyle = O.Brush.Style == 0 ? 0 : 1; // hatches are not drawn small
        P.clear();
        for (std::int32_t i = 0; i < O.PointCount(); ++i)
            P.push_back(T(O.Point(i)));
        switch (O.Kind) {
        case otLine:
            C.PolylineStyled(P, O.Pen.Flags != 0);
            break;
        case otEllipse:
            if (P.size() >= 2)
                C.EllipseRotated(TRasterPoint{static_cast<std::int32_t>((std::int64_t(P[0].X) + P[1].X) / 2),
                                              static_cast<std::int32_t>((std::int64_t(P[0].Y) + P[1].Y) / 2)},
                                 O.Angle(), static_cast<int>(std::llabs(std::int64_t(P[1].X) - P[0].X) / 2),
                                 static_cast<int>(std::llabs(std::int64_t(P[1].Y) - P[0].Y) / 2));
            break;
        default:
            C.PolygonFilled(P, true);
            break;
        }
    }
}

// Rebuilds the content buffer at the control's size for the present global extent.
void DrawMiniContent(TZemMiniMap& M, const TZemDocument& Doc, const TZemViewState& View) {
    TBitmap32& C = M.Content;
    C.SetSize(M.Width(), M.Height());
    C.BeginUpdate();
    struct TEnd {
        TBitmap32& B;
        ~TEnd() { B.EndUpdate(); }
    } End{C};
    const TColor32 Back = ToColor32(static_cast<std::uint32_t>(Doc.BackColor));
    C.Clear(Back);
    M.ContentKey = {C.Width(), C.Height(), View.GlobalLeftTop, View.GlobalWidthHeight};
    TRect Area;
    if (!TZemMiniMap::ComputeFittedArea(C.Width(), C.Height(), View.GlobalWidthHeight.X,
                                        View.GlobalWidthHeight.Y, Area))
        return;
    C.LineColor = ToColor32(static_cast<std::uint32_t>(M.BorderPainterColor));
    C.LineWidth = 1;
    C.LineStyle = 0;
    C.BrushColor = Back;
    C.BrushStyle = 0;
    if (!M.JumpRequested) {
        const TRasterPoint R[4] = {{Area.Left, Area.Top},
                                   {Area.Right, Area.Top},
                                   {Area.Right, Area.Bottom},
                                   {Area.Left, Area.Bottom}};
        C.PolygonFilled(R, 3, false);
    }
    M.FittedArea = Area;
    DrawContent(C, Doc,
                TMiniTransform{View.GlobalLeftTop, View.GlobalWidthHeight.X, View.GlobalWidthHeight.Y, Area});
}

} // namespace

void TZemMap::UpdateMiniMapContent() {
    if (!View.AutoUpdate || !FMiniMap)
        return;
    DrawMiniContent(*FMiniMap, Doc, View);
    UpdateMiniMapFrame();
}

void TZemMap::UpdateMiniMapFrame() {
    if (!View.AutoUpdate || !FMiniMap)
        return;
    TZemMiniMap& M = *FMiniMap;
    // The control changed size, or the extent moved, since the content was drawn (its resize came while
    // drawing was off, a new pixel ratio, a bulk change): draw it anew first.
    if (!(M.ContentKey ==
          TZemMiniMap::TContentKey{M.Width(), M.Height(), View.GlobalLeftTop, View.GlobalWidthHeight}))
        DrawMiniContent(M, Doc, View);
    M.Composed.SetSize(M.Width(), M.Height());
    M.Composed.BeginUpdate();
    struct TEnd {
        TBitmap32& B;
        ~TEnd() { B.EndUpdate(); }
    } End{M.Composed};
    M.Composed.Draw(0, 0, M.Content);

    const float GW = View.GlobalWidthHeight.X, GH = View.GlobalWidthHeight.Y;
    TRect A;
    const bool HaveArea = TZemMiniMap::ComputeFittedArea(M.Composed.Width(), M.Composed.Height(), GW, GH, A);
    if (HaveArea)
        M.FittedArea = A;
    const std::int32_t AW = A.Right - A.Left, AH = A.Bottom - A.Top;
    if (!HaveArea || AW <= 0 || AH <= 0) {
        // Nothing to frame, but the control must not keep showing a document that is gone.
        M.Present();
        return;
    }

    if (M.JumpRequested) {
        // Centre the main view on the clicked place.
        View.LeftTop.X =
            static_cast<float>(View.GlobalLeftTop.X + static_cast<ld>(GW) * (M.LastPoint.X - A.Left) / AW -
                               static_cast<ld>(View.ViewWidthHeight.X) / 2);
        View.LeftTop.Y =
            static_cast<float>(View.GlobalLeftTop.Y + static_cast<ld>(GH) * (M.LastPoint.Y - A.Top) / AH -
                               static_cast<ld>(View.ViewWidthHeight.Y) / 2);
        UpdateVisibleList();
        Redraw();
        M.JumpRequested = false;
        UpdateMiniMapFrame();
        return;
    }

    const TMiniTransform T{View.GlobalLeftTop, GW, GH, A};
    const TXYPoint LT = View.LeftTop;
    const TXYPoint RB{static_cast<float>(static_cast<ld>(LT.X) + View.ViewWidthHeight.X),
                      static_cast<float>(static_cast<ld>(LT.Y) + View.ViewWidthHeight.Y)};
    const TXYPoint Mid{
        static_cast<float>(static_cast<ld>(LT.X) + static_cast<ld>(View.ViewWidthHeight.X) / 2),
        static_cast<float>(static_cast<ld>(LT.Y) + static_cast<ld>(View.ViewWidthHeight.Y) / 2)};
    const TRasterPoint c = T(Mid), p = T(LT), q = T(RB);
    TBitmap32& B = M.Composed;
    const TColor32 Border = ToColor32(static_cast<std::uint32_t>(M.BorderColor));
    if (M.ShowDashLine) {
        B.LineWidth = 1;
        B.LineColor = Border;
        B.ResetDash();
        B.LineStyled(0, c.Y, B.Width() - 1, c.Y, false, false, 1);
        B.ResetDash();
        B.LineStyled(c.X, 0, c.X, B.Height() - 1, false, false, 1);
    }
    // A three-pixel band in the border colour, a black line inside it and a navy one outside.
    // Insets that would cross over (a view a few mini-map pixels small) are left out.
    auto Inset = [&](int i, TColor32 Color) {
        if (std::int64_t(p.X) + i <= std::int64_t(q.X) - i && std::int64_t(p.Y) + i <= std::int64_t(q.Y) - i)
            B.FrameRectClipped(p.X + i, p.Y + i, q.X - i, q.Y - i, Color);
    };
    for (int i = 0; i < 3; ++i)
        Inset(i, Border);
    Inset(3, clBlack32);
    B.FrameRectClipped(p.X - 1, p.Y - 1, q.X + 1, q.Y + 1, clNavy32);
    M.Present();
}

} // namespace zem
