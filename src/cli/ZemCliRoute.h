#pragma once
// `zemmap-cli route`: options, the search over a loaded map's search points with every kind of transport
// chosen (genetic, or exact with --exact), and the route printed as the result tree shows it, one line per
// stretch, then "cost: X".
#include "cli/ZemCliCommands.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zem {

class TZemMap;

struct TRouteOptions {
    std::string File;
    std::optional<std::uint64_t> Seed;
    std::optional<std::int32_t> PopulationSize;
    std::optional<std::int32_t> StopGenerations;
    bool Exact = false;
    bool Help = false;
};

extern const char* const kRouteUsage;

// The arguments after "route". False, with the reason in Error, on wrong usage.
bool ParseRouteArgs(const std::vector<std::string>& Args, TRouteOptions& Options, std::string& Error);

// Runs the search on Map and prints the route to Out. Returns the exit code: 0, or 1 with the message on
// Err. The map's host answers the transport choice; the diagnostic files go to the current folder.
int RunRouteCommand(TZemMap& Map, const TRouteOptions& Options, std::ostream& Out, std::ostream& Err);

// The whole command but reading the map file, which the caller hands in as Load (it raises on a file it
// cannot read). Returns the exit code: 0, 1 on a failure, 2 on wrong usage.

} // namespace zem
