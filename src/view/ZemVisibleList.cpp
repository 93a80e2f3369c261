// The visible list: which objects a frame draws, in which order. The spatial index narrows the store to
// the objects near the window; each of them then takes the same test a walk of the whole drawing order
// would give it, and the result is ordered as that walk would order it, so both ways agree exactly.
#include "model/ZemGeometry.h"
#include "model/ZemMap.h"
#include "model/ZemSpatialIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zem {

namespace {

TXYRect BoxOf(const TZemObject& O) {
    return TXYRect{O.LeftTop.X, O.LeftTop.Y, O.RightBottom.X, O.RightBottom.Y};
}

struct TEntry {
    std::int8_t Plane;
    std::int32_t Rank;
    std::int32_t ID;
};

// The objects whose box may reach R. Float tests near the edges may round either way by a few units in
// the last place of the largest coordinate in play: the search reaches that much further.
void Near(TZemSpatialIndex& Index, const TXYRect& R, std::vector<TZemObject*>& Found) {
    const double Magnitude =
        std::max({Index.Magnitude(), std::fabs(double{R.Left}), std::fabs(double{R.Right}),
                  std::fabs(double{R.Top}), std::fabs(double{R.Bottom})});
    const double Slack = Magnitude * 0x1p-20 + 1e-3;
    Index.Query(TZemIndexBox{R.Left - Slack, R.Top - Slack, R.Right + Slack, R.Bottom + Slack}, Found);
}

} // namespace

bool TZemMap::Listed(const TZemObject& O, const TXYRect& V) const {
    // Box in view and, on screen, more than MinObjectView pixels wide or high.
    auto BigEnoughInView = [&](const TZemObject& O) {
        if (!XYRectsIntersect(BoxOf(O), V))
            return false;
        const TPoint a = WorldToScreen(O.LeftTop), b = WorldToScreen(O.RightBottom);
        const std::int32_t MinView = Doc.MinObjectView;
        return std::llabs(static_cast<long long>(b.X) - a.X) > MinView ||
               std::llabs(static_cast<long long>(b.Y) - a.Y) > MinView;
    };
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
                const std::int32_t HalfPen = O.Pen.Width / 2; // whole units, as the bounds are kept
                const float w = static_cast<float>(HalfPen);
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
    return Add;
}

void TZemMap::ScanVisibleList(TIntegerList& Result) const {
    const TXYRect V{View.LeftTop.X, View.LeftTop.Y, View.LeftTop.X + View.ViewWidthHeight.X,
                    View.LeftTop.Y + View.ViewWidthHeight.Y};
    std::vector<TEntry> List;
    for (std::int32_t ID : Doc.Order) {
        const TZemObject& O = ObjectByID(ID);
        if (Listed(O, V))
            List.push_back(TEntry{O.Plane(), 0, ID});
    }
    // Lower planes first; within a plane the drawing order stays.
    std::stable_sort(List.begin(), List.end(),
                     [](const TEntry& a, const TEntry& b) { return a.Plane < b.Plane; });
    Result.Clear();
    for (const TEntry& E : List)
        Result.Add(E.ID);
}

bool TZemMap::RankObjects() {
    TZemSpatialIndex& Index = *FIndex;
    if (Index.RankedStamp == Doc.Order.Stamp())
        return Index.RanksValid;
    Index.ClearRanks();
    Index.RanksValid = true;
    // The drawing order mostly follows the IDs, and the store is sorted by ID: try the entry after the
    // last one found before searching.
    std::int32_t Next = 0;
    for (std::int32_t i = 0; i < Doc.Order.Count(); ++i) {
        const std::int32_t ID = Doc.Order[i];
        const std::int32_t Found =
            Next < Doc.Objects.Count() && Doc.Objects.Keys(Next) == ID ? Next : Doc.Objects.IndexOf(ID);
        if (Found < 0)
            ObjectByID(ID); // raises, as drawing an order that names a missing object does
        Next = Found + 1;
        if (!Index.SetRank(*Doc.Objects.Values(Found), i))
            Index.RanksValid = false;
    }
    Index.RankedStamp = Doc.Order.Stamp();
    return Index.RanksValid;
}

void TZemMap::ObjectsNear(const TXYRect& R, std::vector<std::int32_t>& IDs) {
    std::vector<TZemObject*> Found;
    Near(*FIndex, R, Found);
    IDs.clear();
    IDs.reserve(Found.size());
    for (const TZemObject* O : Found)
        IDs.push_back(O->ID);
}

void TZemMap::UpdateVisibleList() {
    if (!View.AutoUpdate && !View.Printing)
        return;
    const TXYRect V{View.LeftTop.X, View.LeftTop.Y, View.LeftTop.X + View.ViewWidthHeight.X,
                    View.LeftTop.Y + View.ViewWidthHeight.Y};
    if (!RankObjects()) {
        ScanVisibleList(View.VisibleList);
    } else {
        std::vector<TZemObject*> Found;
        Near(*FIndex, V, Found);
        std::vector<TEntry> List;
        List.reserve(Found.size());
        for (const TZemObject* O : Found) {
            const std::int32_t Rank = FIndex->Rank(*O);
            if (Rank >= 0 && Listed(*O, V))
                List.push_back(TEntry{O->Plane(), Rank, O->ID});
        }
        // Lower planes first; within a plane the drawing order.
        std::sort(List.begin(), List.end(), [](const TEntry& a, const TEntry& b) {
            return a.Plane != b.Plane ? a.Plane < b.Plane : a.Rank < b.Rank;
        });
        View.VisibleList.Clear();
        for (const TEntry& E : List)
            View.VisibleList.Add(E.ID);
    }
    if (OnVisibleCount)
        OnVisibleCount(*this, View.VisibleList.Count(), Doc.Count);
}

} // namespace zem
