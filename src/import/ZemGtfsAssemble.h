#pragma once
// A read feed becomes the map's transport network: a junction per stop that trips halt at (its name as
// the junction's text), a segment per distinct (from, to, route) following the trip's shape, walking
// links between stops of one station, along transfers and between stops within 300 m.
#include "import/ZemGeoref.h"
#include "import/ZemGtfsFeed.h"

#include <cstdint>

namespace zem {

class TZemImportTarget;

// The transport-types directory name (UTF-8) of a route_type, basic or extended (by its hundreds);
// nullptr for a code that names no kind of transport.
const char* GtfsKindName(int RouteType);

// The box of the stops trips halt at and of the shapes they follow.
TZemGeoBox GtfsBox(const TGtfsFeed& Feed);

// A stop farther than this from its trip's shape gets straight segments: the shape is not its route's.
constexpr double kShapeFarFromStop = 100.0;

struct TGtfsAssembled {
    std::int32_t Junctions = 0;       // made (stops at one position share one)
    std::int32_t Routes = 0;          // routes that got a segment
    std::int32_t Segments = 0;        // route segments made
    std::int32_t ShapedSegments = 0;  // of them following a shape
    std::int32_t WalkingSegments = 0; // made: within 300 m, within a station, along transfers
};

// Writes the feed's network into Target's map on the plane of Georef. Causes of what was left out are
// added to Feed.Skipped. Progress as for reading (fraction of trips done).
TGtfsAssembled AssembleGtfsFeed(TGtfsFeed& Feed, TZemImportTarget& Target, const TZemGeoref& Georef,
                                const TGtfsProgress& Progress = {});

} // namespace zem
