#include "view/ZemMiniMap.h"

#include "model/ZemMain.h"
#include "model/ZemRound.h"
#include "platform/ZemHost.h"
#include "view/ZemRasterColor.h"

#include <algorithm>

using ld = long double;

TZemMiniMap::TZemMiniMap(TZemHost& Host) : FHost(Host) {
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
        const std::int32_t w = zem::Round(static_cast<ld>(H) * GW / GH);
        Area = TRect{W / 2 - w / 2, 0, W / 2 + w / 2, H};
    } else {
        const std::int32_t h = zem::Round(static_cast<ld>(W) * GH / GW);
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

void TZemMap::UpdateMiniMapContent() {
    if (!View.AutoUpdate || !FMiniMap)
        return;
    TBitmap32& C = FMiniMap->Content;
    C.SetSize(FMiniMap->Width(), FMiniMap->Height());
    C.BeginUpdate();
    C.Clear(ToColor32(static_cast<std::uint32_t>(Doc.BackColor)));
    TRect Area;
    if (TZemMiniMap::ComputeFittedArea(C.Width(), C.Height(), View.GlobalWidthHeight.X,
                                       View.GlobalWidthHeight.Y, Area))
        FMiniMap->FittedArea = Area;
    C.EndUpdate();
    UpdateMiniMapFrame();
}

void TZemMap::UpdateMiniMapFrame() {
    if (!View.AutoUpdate || !FMiniMap)
        return;
    TZemMiniMap& M = *FMiniMap;
    M.Composed.SetSize(M.Width(), M.Height());
    M.Composed.BeginUpdate();
    struct TEnd {
        TBitmap32& B;
        ~TEnd() { B.EndUpdate(); }
    } End{M.Composed};
    if (M.Content.Width() == M.Composed.Width() && M.Content.Height() == M.Composed.Height() &&
        !M.Content.Empty())
        std::copy(M.Content.Bits(),
                  M.Content.Bits() + static_cast<size_t>(M.Content.Width()) * M.Content.Height(),
                  M.Composed.Bits());

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
    M.Present();
}
