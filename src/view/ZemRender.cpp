// The render pipeline: which objects are drawn (the visible list) and the one pass that composes a frame.
#include "model/ZemMain.h"
#include "model/ZemTools.h"
#include "platform/ZemHost.h"
#include "view/ZemRasterColor.h"

#include <algorithm>
#include <cstdlib>

namespace {

TXYRect BoxOf(const TZemObject& O) {
    return TXYRect{O.LeftTop.X, O.LeftTop.Y, O.RightBottom.X, O.RightBottom.Y};
}

} // namespace

void TZemMap::UpdateVisibleList() {
    if (!View.AutoUpdate && !View.Printing)
        return;
    const TXYRect V{View.LeftTop.X, View.LeftTop.Y, View.LeftTop.X + View.ViewWidthHeight.X,
                    View.LeftTop.Y + View.ViewWidthHeight.Y};
    const std::int32_t MinView = Doc.MinObjectView;

    // Box in view and, on screen, more than MinObjectView pixels wide or high.
    auto BigEnoughInView = [&](const TZemObject& O) {
        if (!XYRectsIntersect(BoxOf(O), V))
            return false;
        const TPoint a = WorldToScreen(O.LeftTop), b = WorldToScreen(O.RightBottom);
        return std::llabs(static_cast<long long>(b.X) - a.X) > MinView ||
               std::llabs(static_cast<long long>(b.Y) - a.Y) > MinView;
    };

    struct TEntry {
        std::int8_t Plane;
        std::int32_t ID;
    };
    std::vector<TEntry> List;
    List.reserve(static_cast<size_t>(Doc.Count));

    for (std::int32_t ID : Doc.Order) {
        const TZemObject& O = ObjectByID(ID);
        bool Add = false;
        if (!Net.ShowOnlyTransportNet) {
            switch (O.Kind) {
            case otLine:
            case otPolygon:
            case otText:
            case otBezier:
            case otBmp:
                Add = BigEnoughInView(O);
                break;
            case otEllipse:
                if (O.PointCount() > 0) {
                    TXYPoint Lo{}, Hi{};
                    O.Points().MinPoint(Lo);
                    O.Points().MaxPoint(Hi);
                    const float w = static_cast<float>(O.Pen.Width / 2);
                    Add = XYRectsIntersect(TXYRect{Lo.X - w, Lo.Y - w, Hi.X + w, Hi.Y + w}, V);
                }
                break;
            case otIco:
                if (View.Scale >= Doc.MinIconView && O.PointCount() > 0) {
                    const TXYPoint p = O.Point(0);
                    Add = XYRectsIntersect(TXYRect{p.X, p.Y, p.X + 32, p.Y + 32}, V);
                }
                break;
            default:
                break;
            }
        }
        if (Net.ShowTransportNet) {
            if (O.Kind == otRoadCrossLine) {
                const bool TypeShown = (O.TransportType() == -1 && Net.ShowUndefinedRoutes) ||
                                       Net.VisibleTransportTypes.Contains(O.TransportType());
                const bool NameShown = !Net.RouteNameFilterOn || O.Text() == Net.RouteNameFilter;
                Add = TypeShown && NameShown && BigEnoughInView(O);
            } else if (O.Kind == otRoadCross && O.PointCount() > 0) {
                const TXYPoint p = O.Point(0);
                Add = p.X >= V.Left && p.X <= V.Right && p.Y >= V.Top && p.Y <= V.Bottom;
            }
        }
        if (Add)
            List.push_back(TEntry{O.Plane(), ID});
    }

    // Lower planes first; within a plane the drawing order stays.
    std::stable_sort(List.begin(), List.end(),
                     [](const TEntry& a, const TEntry& b) { return a.Plane < b.Plane; });

    View.VisibleList.Clear();
    for (const TEntry& E : List)
        View.VisibleList.Add(E.ID);
    if (OnVisibleCount)
        OnVisibleCount(*this, View.VisibleList.Count(), Doc.Count);
}

void TZemMap::RenderView() {
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    // Nested redraw requests from inside the frame do nothing; the flag comes back whatever happens.
    struct TAutoUpdateOff {
        bool& Flag;
        bool Saved;
        explicit TAutoUpdateOff(bool& F) : Flag(F), Saved(F) { Flag = false; }
        ~TAutoUpdateOff() { Flag = Saved; }
    } Off(View.AutoUpdate);

    BackBuffer.BeginUpdate();
    BackBuffer.Clear(ToColor32(static_cast<std::uint32_t>(Doc.BackColor)));
    if (OnPaintBackground)
        OnPaintBackground(*this, BackBuffer);
    BackBuffer.EndUpdate();

    FHost.Present(BackBuffer);
    ++View.PaintCounter;
    ++View.DrawCounter;
}

void TZemMap::Paint() {
    Redraw();
}
