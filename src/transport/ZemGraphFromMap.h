#pragma once
// What the route search takes from the map: the graph of its network objects and the cost data of their
// segments. The search itself never sees the map.
#include "transport/ZemGeneticSearch.h"

namespace zem {

class TZemMap;

// Derives Task.Graph from the network objects of Map in drawing order (and the segment data the cost
// needs). Segments of a kind left out of Task.SelectedTransports are skipped when SelectedTransports is not
// empty; so are segments whose ends are not junctions of the map.
void DeriveGraph(TZemTransportTask& Task, const TZemMap& Map);

// A lookup of Map's segments for the task, for walks that reach past its graph. Map must outlive it.
TZemTransportTask::TSegmentLookup MapSegmentLookup(const TZemMap& Map);

} // namespace zem
