#pragma once
// The cheapest walk between two junctions under exactly the cost of TZemTransportTask::Fitness, found by a
// label-setting search (Dijkstra) over states (junction, current route, changes so far). It is the
// reference the genetic search is measured against.
//
// The walks searched are those the genetic search can produce: they never come back through the start
// junction and end at the first arrival at the end junction; other junctions may repeat. Repeats matter:
// a short out-and-back on a new route can take the change of route, with its growing factor, on a short
// segment instead of a long one.
//
// Labels of one (junction, route) are settled in cost order; a later label there is kept only when it has
// made fewer changes, since every future segment costs at least as much after more changes. So each state
// is settled at most once per number of changes.
#include "base/ZemLists.h"
#include "transport/ZemGeneticSearch.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace zem {

struct TZemExactLeg {
    bool Found = false;
    TIntegerList Path;       // junction, segment, ..., junction
    long double Cost = 0.0L; // Fitness of Path
};

struct TZemExactRouteResult {
    bool Found = false;
    TIntegerList Route;      // each leg's walk without its last junction, as the map's search builds it
    long double Cost = 0.0L; // sum of the legs' costs
};

class TZemExactRoute {
public:
    // Takes the task's graph and cost data as they are (after DeriveGraph and the penalty table).
    explicit TZemExactRoute(TZemTransportTask& Task);

    TZemExactLeg Find(std::int32_t Start, std::int32_t End);
    // Legs one after another; not found as soon as one leg has no walk.
    TZemExactRouteResult FindLegs(const std::vector<std::pair<std::int32_t, std::int32_t>>& Legs);

private:
    struct TEdge {
        std::int32_t To;      // dense vertex index
        std::int32_t State;   // dense index of the state (To, Route)
        std::int32_t Segment; // segment ID
        std::int32_t Route;   // route key: equal for equal kind and name
        long double Weighted; // length x weight
        long double Bare;     // length
        long double Walk;     // length when walking, else 0
    };

    TZemTransportTask& FTask;
    std::vector<std::int32_t> FFirst; // edges of vertex v: FEdges[FFirst[v] .. FFirst[v + 1])
    std::vector<TEdge> FEdges;
    std::int32_t FStateCount = 0;
    // Per query: fewest changes settled per state, and the labels.
    std::vector<std::int32_t> FSettled;
};

} // namespace zem
