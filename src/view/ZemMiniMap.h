#pragma once
// TZemMiniMap: a small second view of the whole document with a frame around the part the main view
// shows; clicking or dragging in it moves the main view there.
#include "base/ZemXYArray.h"
#include "model/ZemObject.h"
#include "view/ZemRaster.h"

#include <functional>
#include <mutex>

namespace zem {

class TZemDrawHost;
class TZemMap;

class TZemMiniMap {
public:
    // Host is the mini-map's own control.
    explicit TZemMiniMap(TZemDrawHost& Host);
    ~TZemMiniMap();
    TZemMiniMap(const TZemMiniMap&) = delete;
    TZemMiniMap& operator=(const TZemMiniMap&) = delete;

    TBitmap32 Composed;                   // what is shown
    TBitmap32 Content;                    // the document drawn small, rebuilt on demand
    TColor BorderColor = 0xFFFF00;        // aqua
    TColor BorderPainterColor = 0x0000FF; // red
    bool ShowDashLine = true;

    bool JumpRequested = false;
    bool DragActive = false;
    TPoint LastPoint;
    TRect FittedArea; // document area in mini-map pixels

    // What the content was last drawn for. A frame is only ever composed over a content drawn for the
    // control's present size and the present global extent: over any other it would show the document
    // twice, at two places and scales.
    struct TContentKey {
        std::int32_t Width = -1, Height = -1;
        TXYPoint GlobalLeftTop, GlobalWidthHeight;
        friend bool operator==(const TContentKey&, const TContentKey&) = default;
    };
    TContentKey ContentKey;

    TZemMap* Map() const { return FMap; }
    // Called by the map when it links itself (SetMiniMap) or goes away.
    void Link(TZemMap& Map, std::function<void()> Update);
    void Detach();

    void SetBorderColor(TColor Value);
    void SetBorderPainterColor(TColor Value);
    void SetShowDashLine(bool Value);

    std::int32_t Width() const;
    std::int32_t Height() const;

    // Fits the global extent (GW x GH) into W x H; false when either extent side is zero.
    static bool ComputeFittedArea(std::int32_t W, std::int32_t H, float GW, float GH, TRect& Area);

    // Control handlers.
    void Paint();
    void MouseDown(const TPoint& P);
    void MouseMove(const TPoint& P);
    void MouseUp(const TPoint& P);
    void MouseLeave();

    // Shows the composed buffer on the control.
    void Present();

private:
    void RunUpdate();

    TZemDrawHost& FHost;
    TZemMap* FMap = nullptr;
    std::function<void()> FUpdate;
    std::recursive_mutex FLock;
};

} // namespace zem
