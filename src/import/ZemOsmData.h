#pragma once
// What the OpenStreetMap reader keeps of an extract, in WGS84 (libosmium's fixed-point locations), for the
// writer to place on the map once the georeference of the whole import is known.
#include "import/ZemGeoref.h"
#include "import/ZemOsmTags.h"

#include <osmium/osm/location.hpp>
#include <osmium/osm/types.hpp>

#include <string>
#include <unordered_map>
#include <vector>

namespace zem {

using TOsmPoints = std::vector<osmium::Location>;

inline TZemGeoPoint GeoOf(const osmium::Location& L) {
    return TZemGeoPoint{L.lon_without_check(), L.lat_without_check()};
}

struct TOsmLine {
    TOsmClass Class = TOsmClass::None;
    std::string Name; // UTF-8
    TOsmPoints Points;
};

struct TOsmArea {
    TOsmClass Class = TOsmClass::None;
    std::string Name;
    TOsmAddress Address;
    float Levels = 0; // building:levels, 0 when absent
    // Outer rings, each followed by its inner rings: Rings[i] is inner when Inner[i].
    std::vector<TOsmPoints> Rings;
    std::vector<bool> Inner;
};

struct TOsmAddressNode {
    osmium::Location Where;
    TOsmAddress Address;
};

// A member of a route relation, as far as the network needs it.
struct TOsmRouteMember {
    enum TRole : std::uint8_t { Stop, Platform, Path } Role;
    bool IsWay = false;
    osmium::object_id_type Ref = 0;
};

struct TOsmRoute {
    osmium::object_id_type ID = 0;
    const char* TransportName = nullptr; // directory name (UTF-8), a static string
    std::string Ref, Name, Colour;
    bool OneWay = false; // one direction of travel (public_transport:version=2)
    std::vector<TOsmRouteMember> Members;
};

struct TOsmCounts {
    std::int64_t Nodes = 0, Ways = 0, Relations = 0;
    std::int64_t BadLocations = 0; // nodes with coordinates outside the valid range
    std::int64_t ShortWays = 0;    // lines with fewer than two usable points
    std::int64_t MultipolygonsTried = 0;
    std::int64_t MultipolygonsMade = 0;
    std::int64_t OutsideBox = 0;      // left out by --bbox
    std::int64_t UnusedRelations = 0; // relations that are neither routes nor multipolygons
    std::int64_t OtherRoutes = 0;     // routes of kinds not imported (road, train, hiking ...)
};

struct TOsmData {
    std::vector<TOsmLine> Lines;
    std::vector<TOsmArea> Areas;
    std::vector<TOsmAddressNode> AddressNodes;
    std::vector<TOsmRoute> Routes;
    std::unordered_map<osmium::object_id_type, osmium::Location> StopNodes; // node members of routes
    std::unordered_map<osmium::object_id_type, TOsmPoints> RouteWays;       // way members of routes
    TOsmCounts Counts;
    TZemGeoBox Box; // of what was kept
};

} // namespace zem
