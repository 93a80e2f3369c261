#pragma once
// TAnswere: the result list behind the route tree. Each element of a found route (junction or segment)
// gets a record naming the tree node of the stretch it belongs to; a stretch is travelled on one route
// (one kind and one name), and a junction belongs to the stretch of the segment before it.
#include "base/ZemLists.h"
#include "base/ZemText.h"

#include <cstdint>
#include <vector>

namespace zem {

class TZemMap;

struct TAnRec {
    std::int32_t ID = -1;
    std::int32_t TransportType = -1;
    ZemString Name;
    std::int32_t NodeIndex = -1; // -1 for the elements before the first stretch
};

class TAnswere {
public:
    std::vector<TAnRec> Records;
    TIntegerList IDs; // the same IDs in the same order

    void Add(std::int32_t ID, std::int32_t TransportType, std::int32_t NodeIndex, const ZemString& Name);
    // Raises for an index outside the list.
    TAnRec Get(std::int32_t Index) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(Records.size()); }
    void Clear();
};

// Fills Answere from a route and Nodes with the texts of the tree's nodes: the kind's directory name, a
// space and the route name, or the kind's name alone for an unnamed route. A kind outside the directory
// (an undefined route) is shown as "Не задан". An ID whose object has gone is recorded without a kind.
void BuildAnswere(const TZemMap& Map, const TIntegerList& Route, TAnswere& Answere,
                  std::vector<ZemString>& Nodes);

// Appends the segments of a route (its elements at the odd positions 1, 3, 5, ...) to IDs.
void AppendRouteSegments(const TIntegerList& Route, TIntegerList& IDs);
// The IDs of the stretch of tree node NodeIndex, in route order: its segments and the junctions after them.
TIntegerList StretchIDs(const TAnswere& Answere, std::int32_t NodeIndex);

} // namespace zem
