#pragma once
// TZemTransportTask: the route search of one leg, a steady-state genetic algorithm over random walks of
// the network graph. A population of walks from StartCross to EndCross is built by randomised depth-first
// walks; every generation two children are bred by one-point crossover at a shared junction, mutated now
// and then, and put in place of the worst walk when they beat it; a population that has become uniform is
// partly rebuilt. The leg ends when the best cost has not changed for StopGenerations generations or when
// Stop is called (from the window, which stays live: the host's message pump runs once per generation).
//
// The cost of a walk (Fitness) counts the weighted length of every segment but the first, makes the n-th
// change of route multiply its segment by n + 1, and counts walking once more. The map fills the graph and
// the penalty table (FindTransportPath) and runs the task once per leg. The task knows nothing of the map:
// it is given the host, whose message pump it runs, and a lookup for segments outside its graph.
#include "base/ZemErrors.h"
#include "base/ZemLists.h"
#include "base/ZemText.h"
#include "platform/ZemTransportEvents.h"
#include "transport/ZemNetworkGraph.h"
#include "transport/ZemRandom.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zem {

class TZemDialogHost;

extern const char* const kMsgNoStartCross;
extern const char* const kMsgNoEndCross;
extern const char* const kMsgRouteNotFound;
extern const char* const kMsgSearchRunning;
extern const char* const kMsgSearchCleared;

struct TZemChromosome {
    TIntegerList Path; // junction, segment, junction, ..., junction
    long double Fitness = 0.0L;
};

struct TPenalty {
    std::int32_t TransportType = 0;
    ZemString Name;
    float Weight = 1.0f;
};

// What the cost of a segment needs, taken from the map when the graph is derived: the search then never
// touches an object the user may delete while the window is live.
struct TZemSegmentInfo {
    long double Length = 0.0L;
    std::int32_t TransportType = -1;
    ZemString Name;
    std::int32_t RouteKey = -1; // equal for equal (TransportType, Name)
};

// Junctions already entered by a walk, by dense vertex index.
class TZemVisited {
public:
    explicit TZemVisited(std::int32_t VertexCount = 0) : FMarks(static_cast<size_t>(VertexCount), 0) {}
    bool Has(std::int32_t Index) const { return Index >= 0 && FMarks[static_cast<size_t>(Index)]; }
    void Mark(std::int32_t Index) {
        if (Index >= 0)
            FMarks[static_cast<size_t>(Index)] = 1;
    }

private:
    std::vector<std::uint8_t> FMarks;
};

class TZemTransportTask {
public:
    TZemTransportTask();
    TZemTransportTask(const TZemTransportTask&) = delete;
    TZemTransportTask& operator=(const TZemTransportTask&) = delete;

    std::vector<TZemChromosome> Population;
    std::uint8_t MutationPercent = 40;
    TIntegerList SelectedTransports; // kinds chosen in the search dialog, ascending
    TOnFindTransportPath OnFindTransportPath;
    TOnGenerations OnGenerations;
    TZemNetworkGraph Graph;
    TZemDialogHost* Host = nullptr; // not owned; its message pump runs once per generation when set
    TIntegerList Route;           // the legs' best walks, each without its last junction (filled by the map)
    long double RouteCost = 0.0L; // sum of the legs' best costs (filled by the map)
    std::vector<TPenalty> Penalties;

    std::int32_t StartCross() const { return FStartCross; }
    std::int32_t EndCross() const { return FEndCross; }
    bool Running() const { return FRunning; }
    std::int32_t PopulationSize() const { return FPopulationSize; }
    std::int32_t StopGenerations() const { return FStopGenerations; }
    long double BestFitness() const { return FBestFitness; }
    std::int32_t BestIndex() const { return FBestIndex; }
    std::int32_t Generations() const { return FGenerations; }
    std::int32_t StagnantGenerations() const { return FStagnantGenerations; }

    // Empties population, graph, penalties and SelectedTransports; StartCross and EndCross become -1.
    // During a search it only stops it: the running leg then ends with an error (the map it searched
    // has gone), and the clearing is done then.
    void Clear();
    void ClearPopulation();

    void AddPenalty(std::int32_t TransportType, const ZemString& Name, float Weight);
    bool HasPenalty(std::int32_t TransportType, const ZemString& Name) const;
    float PenaltyWeight(std::int32_t TransportType, const ZemString& Name) const;

    // Ignored while a search runs: the running leg keeps its ends.
    void SetStartCross(std::int32_t Value);
    void SetEndCross(std::int32_t Value);
    // Kept within 2 (a crossover needs two parents) ... 5000 (the parameters dialog's range); a change
    // during a search applies to the next leg.
    static constexpr std::int32_t kMinPopulationSize = 2;
    static constexpr std::int32_t kMaxPopulationSize = 5000;
    void SetPopulationSize(std::int32_t Value);
    void SetStopGenerations(std::int32_t Value) { FStopGenerations = Value; }
    void SetOnFindTransportPath(TOnFindTransportPath Handler) { OnFindTransportPath = std::move(Handler); }
    void SetOnGenerations(TOnGenerations Handler) { OnGenerations = std::move(Handler); }
    // Ends the running leg after its generation; Stopped then tells the map not to start another.
    void Stop() {
        FStopped = FRunning;
        FRunning = false;
    }
    // The last leg was ended by Stop rather than by its stop criterion.
    bool Stopped() const { return FStopped; }

    // The generator of every draw; clock-seeded unless replaced.
    void SetRandom(std::unique_ptr<TZemRandom> Random);
    TZemRandom& Random() { return *FRandom; }

    // The cost data of a segment that is not in the graph (one of a walk handed in by a caller), or none
    // when the ID names no usable segment; RouteKey is left to the task.
    using TSegmentLookup = std::function<std::optional<TZemSegmentInfo>(std::int32_t SegmentID)>;
    TSegmentLookup SegmentLookup;

    // Empties Graph and the segments' cost data, before the graph is derived anew.
    void ClearGraph();
    // Records the cost data of a segment of the graph.
    void AddSegment(std::int32_t SegmentID, long double Length, std::int32_t TransportType,
                    const ZemString& Name);
    // The cost data of a segment of the graph (or of one SegmentLookup finds afterwards); raises when the
    // ID names no segment.
    const TZemSegmentInfo& SegmentInfo(std::int32_t SegmentID);

    // One leg from StartCross to EndCross. Raises ETransportTaskError; Running is clear afterwards.
    void Execute();

    long double RouteLength(const TIntegerList& Path);
    long double WalkLength(const TIntegerList& Path);
    // 0 for a walk without a segment (a leg that starts where it ends).
    long double Fitness(const TIntegerList& Path);

    // The steps of the algorithm, open for tests.
    bool BuildPath(std::int32_t Current, TIntegerList& Path, TZemVisited& Visited);
    TZemVisited NewVisited() const { return TZemVisited(Graph.VertexCount()); }
    bool InitPopulation();
    void ReplaceWorst(const TZemChromosome& Child);
    bool Crossover(TZemChromosome& Child1, TZemChromosome& Child2);
    void Mutate(TZemChromosome& Chromosome);
    void Regenerate();

    // Diagnostic files, written to the current folder. A file that cannot be written, or whose name is a
    // link or not a plain file, is skipped and remembered for DumpWarnings.
    void DumpGraph();
    void DumpPopulation(const std::string& FileName);
    void DumpChromosome(const std::string& FileName, const TZemChromosome& Chromosome);
    // One Russian line per diagnostic file the last search could not write, with the reason.
    std::vector<std::string> DumpWarnings() const;

private:
    std::int32_t RouteKeyOf(std::int32_t TransportType, const ZemString& Name);
    float RouteWeight(std::int32_t RouteKey);
    void RunGenerations();
    void FinishClear();
    void DumpFile(const std::string& FileName, const std::string& Text);

    std::map<std::string, std::string> FDumpFailures; // file name -> why it was not written
    std::int32_t FStartCross = -1;
    std::int32_t FEndCross = -1;
    bool FRunning = false;
    bool FClearPending = false;
    bool FStopped = false;
    std::int32_t FPopulationSize = 100;
    long double FBestFitness = 0.0L;
    std::int32_t FBestIndex = 0;
    std::int32_t FStopGenerations = 400;
    std::int32_t FGenerations = 0;
    std::int32_t FStagnantGenerations = 0;
    std::unique_ptr<TZemRandom> FRandom;

    std::unordered_map<std::int32_t, TZemSegmentInfo> FSegments;
    std::map<std::pair<std::int32_t, ZemString>, std::int32_t> FRouteKeys;
    std::vector<float> FRouteWeights; // by route key; rebuilt after the penalty table changed
    bool FWeightsDirty = true;
};

} // namespace zem
