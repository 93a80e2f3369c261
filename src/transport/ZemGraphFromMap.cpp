// Deriving the search graph and the segments' cost data from the map's network objects.
#include "transport/ZemGraphFromMap.h"

#include "model/ZemMap.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

void AppendEdge(TZemEdgeTables& E, std::int32_t Neighbour, std::int32_t NeighbourIndex, const TZemObject& S,
                float Length) {
    E.Neighbours.Add(Neighbour);
    E.Segments.Add(S.ID);
    E.SegmentTypes.Add(S.TransportType());
    E.SegmentNames.push_back(S.Text());
    E.SegmentLengths.Add(Length);
    E.NeighbourIndex.push_back(NeighbourIndex);
}

} // namespace

void DeriveGraph(TZemTransportTask& Task, const TZemMap& Map) {
    Task.ClearGraph();
    TZemNetworkGraph& Graph = Task.Graph;
    const TIntegerList& SelectedTransports = Task.SelectedTransports;
    const TZemDocument& Doc = Map.Doc;

    std::vector<std::int32_t> Sorted;
    for (std::int32_t ID : Doc.Order) {
        const auto* Object = Doc.Objects.Find(ID);
        if (Object && (*Object)->Kind == otRoadCross) {
            Graph.Vertices.Add(ID);
            Sorted.push_back(ID);
        }
    }
    // Added in key order, the association list only ever appends.
    std::sort(Sorted.begin(), Sorted.end());
    Sorted.erase(std::unique(Sorted.begin(), Sorted.end()), Sorted.end());
    for (std::int32_t ID : Sorted)
        Graph.Tables.Add(ID, TZemEdgeTables{});

    const std::int32_t KindCount = static_cast<std::int32_t>(Doc.TransportTypes.size());
    for (std::int32_t ID : Doc.Order) {
        const auto* Slot = Doc.Objects.Find(ID);
        if (!Slot || (*Slot)->Kind != otRoadCrossLine)
            continue;
        const TZemObject& S = **Slot;
        const std::int32_t Type = S.TransportType();
        // A kind the user left unchecked in the search dialog is not travelled on.
        if (SelectedTransports.Count() > 0 && Type >= 0 && Type < KindCount &&
            !SelectedTransports.Contains(Type))
            continue;
        // A segment whose junction was deleted (or never set) leads nowhere.
        TZemEdgeTables* From = Graph.Tables.Find(S.StartCrossID);
        TZemEdgeTables* To = Graph.Tables.Find(S.EndCrossID);
        if (!From || !To)
            continue;
        const std::uint8_t Direction = S.Direction();
        if (Direction > 2)
            continue;
        const long double Length = SegmentLength(S);
        if (!std::isfinite(Length))
            continue; // a damaged point: no cost could be compared, and the search would never settle
        Task.AddSegment(ID, Length, Type, S.Text());
        if (Direction == 0 || Direction == 2)
            AppendEdge(*From, S.EndCrossID, Graph.IndexOf(S.EndCrossID), S, static_cast<float>(Length));
        if (Direction == 1 || Direction == 2)
            AppendEdge(*To, S.StartCrossID, Graph.IndexOf(S.StartCrossID), S, static_cast<float>(Length));
    }
}

TZemTransportTask::TSegmentLookup MapSegmentLookup(const TZemMap& Map) {
    return [&Map](std::int32_t SegmentID) -> std::optional<TZemSegmentInfo> {
        if (!Map.ObjectExists(SegmentID))
            return std::nullopt;
        const TZemObject& S = Map.ObjectByID(SegmentID);
        if (S.Kind != otRoadCrossLine || !std::isfinite(SegmentLength(S)))
            return std::nullopt;
        return TZemSegmentInfo{SegmentLength(S), S.TransportType(), S.Text(), -1};
    };
}

} // namespace zem
