#pragma once
// What is kept of a transit (GTFS) feed for the map: stops, routes, the stop pattern of each trip, shapes
// and transfers. Stop times are read as a stream and folded into stop patterns, so the model grows with
// the number of distinct stop sequences, not with the length of the timetable.
#include "import/ZemImport.h" // EZemImportCancelled

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

class TFeedSource;

struct TGtfsStop {
    std::string Id, Name; // UTF-8
    double Lat = 0, Lon = 0;
    int LocationType = 0;     // 0 stop or platform, 1 station, 2 entrance, 3 generic node, 4 boarding area
    std::int32_t Parent = -1; // index of the parent station
    bool Used = false;        // some trip halts here
};

struct TGtfsRoute {
    std::string Id, ShortName, LongName; // UTF-8
    int Type = 3;                        // route_type, basic or extended
    bool HasColor = false;
    std::uint32_t Color = 0; // 0xRRGGBB as written in the feed
};

struct TGtfsShapePoint {
    double Lat, Lon;
};

struct TGtfsShape {
    std::string Id;
    std::vector<TGtfsShapePoint> Points; // in pt_sequence order
};

// One distinct sequence of stops; trips that halt at the same stops in the same order share it.
struct TGtfsPattern {
    std::vector<std::uint32_t> Stops; // stop indexes in stop_sequence order
};

struct TGtfsTrip {
    std::uint32_t Route = 0;
    std::int32_t Shape = -1;   // index into Shapes
    std::int32_t Pattern = -1; // index into Patterns; -1 while the trip has no stop times
};

struct TGtfsTransfer {
    std::uint32_t From = 0, To = 0;
};

// Rows left out, by cause, with the first place each cause was met (for the summary).
struct TGtfsSkip {
    std::uint64_t Count = 0;
    std::string First; // "stops.txt", строка 12, столбец "stop_lat"
};

struct TGtfsFeed {
    std::vector<std::string> Agencies; // agency_name
    std::vector<TGtfsStop> Stops;
    std::vector<TGtfsRoute> Routes;
    std::vector<TGtfsTrip> Trips;
    std::vector<TGtfsShape> Shapes;
    std::vector<TGtfsPattern> Patterns;
    std::vector<TGtfsTransfer> Transfers;
    std::uint64_t StopTimes = 0;              // rows of stop_times.txt used
    std::map<std::string, TGtfsSkip> Skipped; // by cause (Russian)

    void Skip(const std::string& Cause, const std::string& Where);
    std::uint64_t SkippedCount() const;
};

// Upper bounds on what a feed may make us keep; far above any real network (a national feed has some
// 500,000 stops and 50 million shape points), they stop a hostile file from filling memory.
struct TGtfsLimits {
    std::uint64_t Stops = 5'000'000;
    std::uint64_t Routes = 1'000'000;
    std::uint64_t Trips = 20'000'000;
    std::uint64_t ShapePoints = 200'000'000;
    std::uint64_t PatternStops = 100'000'000; // stops over all distinct patterns
    std::uint64_t Transfers = 10'000'000;
};

// Progress of the reading: the fraction done (0 ... 1) and the table at hand; returns false to cancel.
using TGtfsProgress = std::function<bool(double Done, std::string_view Table)>;

// Reads the feed's tables. Raises EZemError with a Russian message naming the table, line and column
// for a feed that cannot be used as a whole; rows that are wrong on their own are skipped and counted in
// Skipped. A cancel raises EZemImportCancelled.
TGtfsFeed ReadGtfsFeed(const TFeedSource& Source, const TGtfsProgress& Progress = {},
                       const TGtfsLimits& Limits = {});
TGtfsFeed ReadGtfsFeed(const std::string& Path, const TGtfsProgress& Progress = {},
                       const TGtfsLimits& Limits = {});

} // namespace zem
