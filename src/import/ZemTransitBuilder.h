#pragma once
// Builds a public-transport network on a map from what an importer read: stops become junctions (one
// per stop position, shared by every route that stops there), each leg of a route between consecutive
// stops becomes a segment passable in its own direction, and stops close to each other are joined by
// walking segments. Shared by the importers of OpenStreetMap routes and of timetables.
#include "import/ZemImportTarget.h"

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <unordered_map>
#include <vector>

namespace zem {

// The transport-types directory as the route search expects it when a map gets its first network.
// "Пешком" (walking) must stay at position 0: the search gives that position its own weight.
inline constexpr const char* kConventionalTransportTypes[] = {"Пешком", "Автобус", "Троллейбус",
                                                              "Маршрутное такси", "Свой транспорт"};

// Walking segments join junctions at most this far apart (world metres).
constexpr double kWalkingDistance = 300.0;

struct TZemTransitCounts {
    std::int32_t Junctions = 0;       // made
    std::int32_t Segments = 0;        // route segments made
    std::int32_t WalkingSegments = 0; // made
    std::int32_t RepeatedLegs = 0;    // legs given again for the same route, stored once
    std::int32_t RoutesWithSegments = 0;
};

class TZemTransitBuilder {
public:
    // Starts the transport-types directory with the conventional names when it is empty. Junctions the
    // map already has take part: a stop at the position of one shares it, and walking reaches them.
    explicit TZemTransitBuilder(TZemImportTarget& Target);

    // Junction of a stop at world position P: stops at the same position share one. Returns its ID.
    std::int32_t AddStop(const TXYPoint& P);

    // Position of the transport type Name (UTF-8, e.g. "Трамвай") in the directory, appended when missing.
    std::int32_t TransportType(const std::string& NameUtf8);

    // One segment from junction From to junction To, passable that way only (Direction 0), through Bends
    // (the points between the two stops, may be empty). Text = route name, pen colour = Color. A leg given
    // again with the same ends, type and name is not stored twice (timetables repeat their trips).
    // Returns the segment's ID, or -1 when it was a repeat or From equals To.
    std::int32_t AddLeg(std::int32_t From, std::int32_t To, std::int32_t Type, const ZemString& RouteName,
                        TColor Color, std::span<const TXYPoint> Bends = {});

    // Walking segments (type 0, both ways, straight) between every two junctions at most Distance apart,
    // at least one of them made by this builder, that are not yet joined by walking. Uses a grid of
    // Distance-sized cells, so the work grows with the number of near pairs, not with the square of the
    // stops.
    void AddWalking(double Distance = kWalkingDistance);

    const TZemTransitCounts& Counts() const { return FCounts; }

    // The style of what this builder makes; importers may change them before adding.
    TZemPen WalkingPen{2, RGBColor(120, 120, 120), 0, 1}; // dotted grey
    std::int32_t SegmentPenWidth = 3;

private:
    struct TLegKey {
        std::int32_t From, To, Type;
        ZemString Name;
        friend auto operator<=>(const TLegKey&, const TLegKey&) = default;
    };

    TZemImportTarget& FTarget;
    TZemDirectoryIndex FTypes;
    struct TJunction {
        std::int32_t ID;
        TXYPoint P;
        bool Made; // by this builder
    };
    std::unordered_map<std::uint64_t, std::int32_t> FJunctionAt; // position bits -> index in FJunctions
    std::vector<TJunction> FJunctions;
    std::map<TLegKey, std::int32_t> FLegs;
    std::set<std::pair<std::int32_t, std::int32_t>> FWalked; // junction ID pairs, smaller first
    std::set<std::pair<std::int32_t, ZemString>> FRoutes;    // (type, name) with a segment
    TZemTransitCounts FCounts;
};

} // namespace zem
