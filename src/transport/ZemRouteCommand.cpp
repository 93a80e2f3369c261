#include "transport/ZemRouteCommand.h"

#include "model/ZemMain.h"
#include "transport/AnswereUnit.h"
#include "transport/ZemExactRoute.h"

#include <charconv>

const char* const RouteUsage =
    "usage: zemmap-cli route FILE.mp [--seed N] [--population N] [--stop-generations N] [--exact]\n"
    "  Searches a cheap route through the map's search points over every kind of transport and prints\n"
    "  it one stretch a line (kind, route name: segment IDs), then \"cost: X\".\n"
    "  --seed N              fixed random seed (the same route on every run); default: the clock\n"
    "  --population N        chromosomes in the population, 2 ... 5000 (default 100)\n"
    "  --stop-generations N  stop after N generations without a better route, 1 ... 1000000 (default 400)\n"
    "  --exact               the exact cheapest route under the same cost instead of the genetic search\n"
    "  The search writes its diagnostic files to the current folder.\n";

namespace {

template <class T> bool ParseNumber(const std::string& Text, T Low, T High, T& Value) {
    auto [End, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Ec == std::errc() && End == Text.data() + Text.size() && Value >= Low && Value <= High;
}

void PrintRoute(const TZemMap& Map, const TIntegerList& Route, long double Cost, std::ostream& Out) {
    TAnswere Answere;
    std::vector<ZemString> Nodes;
    BuildAnswere(Map, Route, Answere, Nodes);
    std::vector<std::string> Lines;
    for (const ZemString& Node : Nodes)
        Lines.push_back(zem::ToUtf8(Node) + ":");
    // Segments are at the odd positions of a route.
    for (std::int32_t i = 1; i < Answere.Count(); i += 2) {
        const TAnRec& R = Answere.Records[static_cast<size_t>(i)];
        if (R.NodeIndex < 0)
            continue;
        std::string& Line = Lines[static_cast<size_t>(R.NodeIndex)];
        Line += (Line.back() == ':' ? " " : ", ") + std::to_string(R.ID);
    }
    for (const std::string& Line : Lines)
        Out << Line << '\n';
    Out << "cost: " << zem::FormatFloat(Cost) << '\n';
}

} // namespace

bool ParseRouteArgs(const std::vector<std::string>& Args, TRouteOptions& Options, std::string& Error) {
    Options = TRouteOptions{};
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& A = Args[i];
        auto Value = [&](const char* Name) -> const std::string* {
            if (i + 1 >= Args.size()) {
                Error = std::string(Name) + " needs a value";
                return nullptr;
            }
            return &Args[++i];
        };
        if (A == "--help" || A == "-h") {
            Options.Help = true;
        } else if (A == "--exact") {
            Options.Exact = true;
        } else if (A == "--seed") {
            const std::string* V = Value("--seed");
            std::uint64_t Seed = 0;
            if (!V || !ParseNumber<std::uint64_t>(*V, 0, UINT64_MAX, Seed)) {
                if (V)
                    Error = "--seed needs a whole number, not '" + *V + "'";
                return false;
            }
            Options.Seed = Seed;
        } else if (A == "--population") {
            const std::string* V = Value("--population");
            std::int32_t N = 0;
            if (!V || !ParseNumber<std::int32_t>(*V, 2, 5000, N)) {
                if (V)
                    Error = "--population needs a number from 2 to 5000, not '" + *V + "'";
                return false;
            }
            Options.PopulationSize = N;
        } else if (A == "--stop-generations") {
            const std::string* V = Value("--stop-generations");
            std::int32_t N = 0;
            if (!V || !ParseNumber<std::int32_t>(*V, 1, 1000000, N)) {
                if (V)
                    Error = "--stop-generations needs a number from 1 to 1000000, not '" + *V + "'";
                return false;
            }
            Options.StopGenerations = N;
        } else if (!A.empty() && A[0] == '-') {
            Error = "unknown option '" + A + "'";
            return false;
        } else if (Options.File.empty()) {
            Options.File = A;
        } else {
            Error = "one map file only ('" + A + "' is a second)";
            return false;
        }
    }
    if (Options.File.empty() && !Options.Help) {
        Error = "the map file is missing";
        return false;
    }
    return true;
}

int RunRouteCommand(TZemMap& Map, const TRouteOptions& Options, std::ostream& Out, std::ostream& Err) {
    const char* const NoKinds = "the map has no transport kinds, so no route can be searched";
    TZemTransportTask& Task = Map.TransportTask;
    if (Options.Seed)
        Task.SetRandom(std::make_unique<TZemRandom>(*Options.Seed));
    if (Options.PopulationSize)
        Task.SetPopulationSize(*Options.PopulationSize);
    if (Options.StopGenerations)
        Task.SetStopGenerations(*Options.StopGenerations);
    try {
        if (Options.Exact) {
            if (!Map.PrepareTransportSearch()) {
                Err << NoKinds << '\n';
                return 1;
            }
            const auto Legs = Map.TransportLegs();
            for (const auto& [Start, End] : Legs)
                if (Start == -1)
                    throw ETransportTaskError(zem::MsgNoStartCross);
            TZemExactRoute Exact(Task);
            const TZemExactRouteResult R = Exact.FindLegs(Legs);
            if (!R.Found)
                throw ETransportTaskError(zem::MsgRouteNotFound);
            PrintRoute(Map, R.Route, R.Cost, Out);
            return 0;
        }
        bool Done = false;
        auto Previous = Map.OnOptimalTransportPath;
        Map.OnOptimalTransportPath = [&Done](TZemMap&, const TIntegerList&) { Done = true; };
        try {
            Map.FindTransportPath();
        } catch (...) {
            Map.OnOptimalTransportPath = Previous;
            throw;
        }
        Map.OnOptimalTransportPath = Previous;
        if (!Done) {
            Err << NoKinds << '\n';
            return 1;
        }
        PrintRoute(Map, Task.Route, Task.RouteCost, Out);
        return 0;
    } catch (const EZemError& E) {
        Err << E.what() << '\n';
        return 1;
    }
}
