// The visible list: which objects a frame draws, in which order. The spatial index narrows the store to
// the objects near the window; each of them then takes the same test a walk of the whole drawing order
// would give it, and the result is ordered as that walk would order it, so both ways agree exactly.
#include "base/ZemGeometry.h"
#include "model/ZemMap.h"
#include "model/ZemSpatialIndex.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace zem {

namespace {

struct TEntry {
    std::int8_t Plane;
    std::int32_t Rank;
    std::int32_t ID;
};

// The objects whose box may reach R. Float tests near the edges may round either way by a few units in
// the last place of the largest coordinate in play: the search reaches that much further.
void Near(TZemSpatialIndex& Index, const TXYRect& R, std::vector<TZemIndexHit>& Found,
          const TZemIndexFilter* Filter = nullptr) {
    const double Magnitude =
        std::max({Index.Magnitude(), std::fabs(double{R.Left}), std::fabs(double{R.Right}),
                  std::fabs(double{R.Top}), std::fabs(double{R.Bottom})});
    const double Slack = Magnitude * 0x1p-20 + 1e-3;
    Index.Query(TZemIndexBox{R.Left - Slack, R.Top - Slack, R.Right + Slack, R.Bottom + Slack}, Found,
                Filter);
}

// Lower planes first; within a plane the drawing order (ranks are places in Order).
void OrderByPlane(std::vector<TEntry>& List, const TIntegerList& Order, TIntegerList& Out) {
    Out.Clear();
    const std::int32_t n = Order.Count();
    if (List.size() * 32 < static_cast<std::size_t>(n)) {
        std::sort(List.begin(), List.end(), [](const TEntry& a, const TEntry& b) {
            return a.Plane != b.Plane ? a.Plane < b.Plane : a.Rank < b.Rank;
        });
        for (const TEntry& E : List)
            Out.Add(E.ID);
        return;
    }
    // A large part of the map: place by counting, walking the drawing order once.
    constexpr std::int16_t kAbsent = INT16_MIN;
    std::vector<std::int16_t> PlaneAt(static_cast<std::size_t>(n), kAbsent);
    std::array<std::int32_t, 257> Start{};
    for (const TEntry& E : List) {
        PlaneAt[static_cast<std::size_t>(E.Rank)] = E.Plane;
        ++Start[static_cast<std::size_t>(E.Plane + 128 + 1)];
    }
    for (std::size_t p = 1; p < Start.size(); ++p)
        Start[p] += Start[p - 1];
    std::vector<std::int32_t> Placed(List.size());
    for (std::int32_t r = 0; r < n; ++r)
        if (PlaneAt[static_cast<std::size_t>(r)] != kAbsent)
            Placed[static_cast<std::size_t>(
                Start[static_cast<std::size_t>(PlaneAt[static_cast<std::size_t>(r)] + 128)]++)] = Order[r];
    for (std::int32_t ID : Placed)
        Out.Add(ID);
}

} // namespace

bool TZemMap::BigEnoughInView(const TXYPoint& LeftTop, const TXYPoint& RightBottom, const TXYRect& V) const {
    if (!XYRectsIntersect(TXYRect{LeftTop.X, LeftTop.Y, RightBottom.X, RightBottom.Y}, V))
        return false;
    const TPoint a = WorldToScreen(LeftTop), b = WorldToScreen(RightBottom);
    const std::int32_t MinView = Doc.MinObjectView;
    return std::llabs(static_cast<long long>(b.X) - a.X) > MinView ||
           std::llabs(static_cast<long long>(b.Y) - a.Y) > MinView;
}

// Follows Listed: the kinds it tests by size alone, or refuses whatever their fields.
bool TZemMap::SurelyUnlisted(std::uint8_t Kind, const TXYPoint& LeftTop, const TXYPoint& RightBottom,
                             const TXYRect& V) const {
    switch (Kind) {
    case otLine:
    case otPolygon:
    case otText:
    case otBezier:
    case otBmp:
        return Net.ShowOnlyTransportNet || !BigEnoughInView(LeftTop, RightBottom, V);
    case otRoadCrossLine:
        return !Net.ShowTransportNet || !BigEnoughInView(LeftTop, RightBottom, V);
    case otEllipse:
    case otIco:
    case otRoadCross:
        return false; // tested by their points
    default:
        return true; // never listed
    }
}

namespace {

// The visible list's first test in the index. Most objects of a whole-map view are a pixel or two on
// screen. Each end rounds by at most half a pixel, so a box whose width in pixels is below MinObjectView
// spans at most MinObjectView whole pixels: when both its width and height are, with a margin, it is
// refused without the exact conversion.
class TUnlistedFilter final : public TZemIndexFilter {
public:
    TUnlistedFilter(const TZemMap& Map, const TXYRect& V, std::int32_t Width, std::int32_t Height)
        : FMap(Map), FV(V), FKX(static_cast<double>(Width) / Map.View.ViewWidthHeight.X),
          FKY(static_cast<double>(Height) / Map.View.ViewWidthHeight.Y),
          FLimit(static_cast<double>(Map.Doc.MinObjectView) - 0x1p-20) {}

    bool Rejects(std::uint8_t Kind, const TXYPoint& LeftTop, const TXYPoint& RightBottom) const override {
        if (SizeTested(Kind) && Small(LeftTop.X, RightBottom.X, FV.Left, FKX) &&
            Small(LeftTop.Y, RightBottom.Y, FV.Top, FKY))
            return true;
        return FMap.SurelyUnlisted(Kind, LeftTop, RightBottom, FV);
    }

private:
    static bool SizeTested(std::uint8_t Kind) {
        return Kind == otLine || Kind == otPolygon || Kind == otText || Kind == otBezier || Kind == otBmp ||
               Kind == otRoadCrossLine;
    }
    // Both ends well inside the range the rounding handles, and their distance, with a relative margin
    // far above the error of these double operations, under the limit (false for NaN).
    bool Small(float A, float B, float Origin, double K) const {
        const double a = (static_cast<double>(A) - Origin) * K, b = (static_cast<double>(B) - Origin) * K;
        return std::fabs(a) < 0x1p30 && std::fabs(b) < 0x1p30 && std::fabs(b - a) * (1 + 0x1p-30) < FLimit;
    }

    const TZemMap& FMap;
    const TXYRect& FV;
    double FKX, FKY, FLimit;
};

} // namespace

bool TZemMap::Listed(const TZemObject& O, const TXYRect& V) const {
    // Box in view and, on screen, more than MinObjectView pixels wide or high.
    auto BigEnough = [&](const TZemObject& O) { return BigEnoughInView(O.LeftTop, O.RightBottom, V); };
    bool Add = false;
    if (!Net.ShowOnlyTransportNet) {
        switch (O.Kind) {
        case otLine:
        case otPolygon:
        case otText:
        case otBezier:
        case otBmp:
            Add = BigEnough(O);
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
            // The route list takes names that differ only in letter case for one route: so does the filter.
            const bool NameShown = !Net.RouteNameFilterOn || SameText(O.Text(), Net.RouteNameFilter);
            Add = TypeShown && NameShown && BigEnough(O);
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
    std::vector<TZemIndexHit> Found;
    Near(*FIndex, R, Found);
    IDs.clear();
    IDs.reserve(Found.size());
    for (const TZemIndexHit& H : Found)
        IDs.push_back(H.ID);
}

void TZemMap::UpdateVisibleList() {
    if (!View.AutoUpdate && !View.Printing)
        return;
    const TXYRect V{View.LeftTop.X, View.LeftTop.Y, View.LeftTop.X + View.ViewWidthHeight.X,
                    View.LeftTop.Y + View.ViewWidthHeight.Y};
    if (!RankObjects()) {
        ScanVisibleList(View.VisibleList);
    } else {
        const TUnlistedFilter Filter(*this, V, FWidth, FHeight);
        std::vector<TZemIndexHit> Found;
        Near(*FIndex, V, Found, &Filter);
        std::vector<TEntry> List;
        List.reserve(Found.size());
        for (std::size_t i = 0; i < Found.size(); ++i) {
            // Objects live apart on the heap and a whole-map list is memory-bound: ask ahead.
            if (i + 8 < Found.size())
                __builtin_prefetch(Found[i + 8].Object);
            const TZemIndexHit& H = Found[i];
            if (H.Rank >= 0 && Listed(*H.Object, V))
                List.push_back(TEntry{H.Object->Plane(), H.Rank, H.Object->ID});
        }
        OrderByPlane(List, Doc.Order, View.VisibleList);
    }
    if (OnVisibleCount)
        OnVisibleCount(*this, View.VisibleList.Count(), Doc.Count);
}

} // namespace zem
