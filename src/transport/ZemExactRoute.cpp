#include "transport/ZemExactRoute.h"

#include <cstdint>
#include <queue>
#include <unordered_map>

namespace zem {

TZemExactRoute::TZemExactRoute(TZemTransportTask& Task) : FTask(Task) {
    const TZemNetworkGraph& G = Task.Graph;
    const std::int32_t n = G.VertexCount();
    FFirst.assign(static_cast<size_t>(n) + 1, 0);
    for (std::int32_t v = 0; v < n; ++v) {
        FFirst[static_cast<size_t>(v)] = static_cast<std::int32_t>(FEdges.size());
        const TZemEdgeTables& E = G.Tables.Values(v);
        for (std::int32_t k = 0; k < E.Neighbours.Count(); ++k) {
            const TZemSegmentInfo& S = Task.SegmentInfo(E.Segments[k]);
            const long double Weight = Task.PenaltyWeight(S.TransportType, S.Name);
            FEdges.push_back(TEdge{E.NeighbourIndex[static_cast<size_t>(k)], -1, E.Segments[k], S.RouteKey,
                                   S.Length * Weight, S.Length, S.TransportType == 0 ? S.Length : 0.0L});
        }
    }
    FFirst[static_cast<size_t>(n)] = static_cast<std::int32_t>(FEdges.size());
    // One state per junction and route arriving there.
    std::unordered_map<std::uint64_t, std::int32_t> States;
    for (TEdge& Ed : FEdges) {
        const std::uint64_t Key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(Ed.To)) << 32) |
                                  static_cast<std::uint32_t>(Ed.Route);
        Ed.State = States.try_emplace(Key, static_cast<std::int32_t>(States.size())).first->second;
    }
    FStateCount = static_cast<std::int32_t>(States.size());
}

TZemExactLeg TZemExactRoute::Find(std::int32_t Start, std::int32_t End) {
    TZemExactLeg Leg;
    if (Start == End && Start != -1) {
        Leg.Found = true; // the junction alone, at no cost
        Leg.Path.Add(Start);
        return Leg;
    }
    const std::int32_t s = FTask.Graph.IndexOf(Start);
    const std::int32_t e = FTask.Graph.IndexOf(End);
    if (s < 0 || e < 0)
        return Leg;

    struct TLabel {
        std::int32_t Vertex;
        std::int32_t State;
        std::int32_t Route;
        std::int32_t Changes;
        std::int32_t Parent; // label index, -1 after the first segment
        std::int32_t Edge;   // edge index that led here
        long double Cost;
    };
    std::vector<TLabel> Labels;
    using TEntry = std::pair<long double, std::int32_t>; // cost, label
    std::priority_queue<TEntry, std::vector<TEntry>, std::greater<TEntry>> Queue;
    auto Push = [&](const TLabel& L) {
        Labels.push_back(L);
        Queue.emplace(L.Cost, static_cast<std::int32_t>(Labels.size() - 1));
    };

    // The first segment adds only its walking; alone (it reaches the end) it costs its bare length too.
    for (std::int32_t i = FFirst[static_cast<size_t>(s)]; i < FFirst[static_cast<size_t>(s) + 1]; ++i) {
        const TEdge& Ed = FEdges[static_cast<size_t>(i)];
        if (Ed.To == s)
            continue;
        Push(TLabel{Ed.To, Ed.State, Ed.Route, 0, -1, i, Ed.To == e ? Ed.Bare + Ed.Walk : Ed.Walk});
    }

    // Fewest changes settled so far per state (junction, route).
    constexpr std::int32_t None = INT32_MAX;
    FSettled.assign(static_cast<size_t>(FStateCount), None);
    struct TPending {
        long double Cost = 0.0L;
        std::int32_t Changes = None;
    };
    std::vector<TPending> Pending(static_cast<size_t>(FStateCount));
    std::int32_t Final = -1;
    while (!Queue.empty()) {
        const std::int32_t Index = Queue.top().second;
        Queue.pop();
        const TLabel L = Labels[static_cast<size_t>(Index)];
        if (L.Vertex == e) {
            Final = Index; // the first arrival at the end ends the walk
            break;
        }
        std::int32_t& Settled = FSettled[static_cast<size_t>(L.State)];
        if (Settled <= L.Changes)
            continue; // dominated: no cheaper, no fewer changes
        Settled = L.Changes;
        for (std::int32_t i = FFirst[static_cast<size_t>(L.Vertex)];
             i < FFirst[static_cast<size_t>(L.Vertex) + 1]; ++i) {
            const TEdge& Ed = FEdges[static_cast<size_t>(i)];
            if (Ed.To == s)
                continue;
            const bool Same = Ed.Route == L.Route;
            const std::int32_t Changes = Same ? L.Changes : L.Changes + 1;
            // A state settled with no more changes is already as good: whatever is pushed now costs more.
            if (FSettled[static_cast<size_t>(Ed.State)] <= Changes)
                continue;
            const long double Cost = L.Cost + (Same ? Ed.Weighted : Ed.Weighted * (L.Changes + 2)) + Ed.Walk;
            // So is the cheapest label waiting there, when it has made no more changes.
            TPending& P = Pending[static_cast<size_t>(Ed.State)];
            if (P.Changes <= Changes && P.Cost <= Cost)
                continue;
            if (P.Changes == None || Cost < P.Cost) {
                P.Cost = Cost;
                P.Changes = Changes;
            }
            Push(TLabel{Ed.To, Ed.State, Ed.Route, Changes, Index, i, Cost});
        }
    }
    if (Final < 0)
        return Leg;

    std::vector<std::int32_t> Reversed; // junction, segment pairs from the end back
    for (std::int32_t i = Final; i >= 0; i = Labels[static_cast<size_t>(i)].Parent) {
        const TEdge& Ed = FEdges[static_cast<size_t>(Labels[static_cast<size_t>(i)].Edge)];
        Reversed.push_back(FTask.Graph.Tables.Keys(Ed.To));
        Reversed.push_back(Ed.Segment);
    }
    Leg.Path.Add(Start);
    for (auto It = Reversed.rbegin(); It != Reversed.rend(); ++It)
        Leg.Path.Add(*It);
    Leg.Found = true;
    Leg.Cost = FTask.Fitness(Leg.Path); // the cost exactly as the genetic search computes it
    return Leg;
}

TZemExactRouteResult
TZemExactRoute::FindLegs(const std::vector<std::pair<std::int32_t, std::int32_t>>& Legs) {
    TZemExactRouteResult R;
    for (const auto& [Start, End] : Legs) {
        TZemExactLeg Leg = Find(Start, End);
        if (!Leg.Found) {
            TZemExactRouteResult None;
            return None;
        }
        for (std::int32_t i = 0; i + 1 < Leg.Path.Count(); ++i)
            R.Route.Add(Leg.Path[i]);
        R.Cost += Leg.Cost;
    }
    R.Found = true;
    return R;
}

} // namespace zem
