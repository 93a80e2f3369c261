// Deriving the search graph and the segments' cost data from the map's network objects.
#include "model/ZemMap.h"
#include "transport/ZemGeneticSearch.h"

#include <algorithm>
#include <cmath>

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

void TZemTransportTask::DeriveGraph(const TZemMap& SourceMap) {
    Graph.Clear();
    FSegments.clear();
    const TZemDocument& Doc = SourceMap.Doc;

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
        const long double Length = zem::SegmentLength(S);
        if (!std::isfinite(Length))
            continue; // a damaged point: no cost could be compared, and the search would never settle
        FSegments[ID] = TZemSegmentInfo{Length, Type, S.Text(), RouteKeyOf(Type, S.Text())};
        if (Direction == 0 || Direction == 2)
            AppendEdge(*From, S.EndCrossID, Graph.IndexOf(S.EndCrossID), S, static_cast<float>(Length));
        if (Direction == 1 || Direction == 2)
            AppendEdge(*To, S.StartCrossID, Graph.IndexOf(S.StartCrossID), S, static_cast<float>(Length));
    }
}

const TZemSegmentInfo& TZemTransportTask::SegmentInfo(std::int32_t SegmentID) {
    auto It = FSegments.find(SegmentID);
    if (It != FSegments.end())
        return It->second;
    // A segment outside the derived graph (a walk handed in by a caller): read it from the map.
    if (Map && Map->ObjectExists(SegmentID)) {
        const TZemObject& S = Map->ObjectByID(SegmentID);
        if (S.Kind == otRoadCrossLine && std::isfinite(zem::SegmentLength(S)))
            return FSegments[SegmentID] = TZemSegmentInfo{zem::SegmentLength(S), S.TransportType(), S.Text(),
                                                          RouteKeyOf(S.TransportType(), S.Text())};
    }
    throw ETransportTaskError("Отрезок транспортной сети " + std::to_string(SegmentID) +
                              " не найден на карте");
}
