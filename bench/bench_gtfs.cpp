// Transit feeds in: reading a generated feed whose stop_times.txt is about 1 GB (ZEM_FEED_MB sets the
// size), and the route search on a network imported from a feed of ~15,000 stops.
//   BM_ReadFeed:         MB/s of stop_times.txt read into the feed model, processor time of this thread;
//                        peak_MB is the process's peak resident memory over the reading.
//   BM_AssembleFeed:     the 15,000-stop feed made into a map's network.
//   BM_ExactLeg:         one leg of the exact search between random stops.
//   BM_GeneticFirstRoute: from the start of a leg of the genetic search to its first route shown.
// The feeds are written to a fresh folder under TMPDIR and removed at the end.
#include "BenchClock.h"
#include "FeedGen.h"

#include "import/ZemGtfsAssemble.h"
#include "import/ZemImportTarget.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "transport/ZemExactRoute.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

using namespace zem;

namespace {

class TScratch {
public:
    TScratch() : FOld(std::filesystem::current_path()) {
        std::string Pattern = (std::filesystem::temp_directory_path() / "zemfeed-XXXXXX").string();
        FDir = mkdtemp(Pattern.data());
        std::filesystem::current_path(FDir); // the route search writes its diagnostic files here
    }
    ~TScratch() {
        std::filesystem::current_path(FOld);
        std::error_code Ec;
        std::filesystem::remove_all(FDir, Ec);
    }
    const std::filesystem::path& Dir() const { return FDir; }

private:
    std::filesystem::path FOld, FDir;
};

TScratch& Scratch() {
    static TScratch S;
    return S;
}

// Peak resident memory in MB since the last reset.
double PeakMB() {
    std::ifstream In("/proc/self/status");
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind("VmHWM:", 0) == 0)
            return std::stod(Line.substr(6)) / 1024.0;
    return 0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ReadFeed(benchmark::State& State) {
    const char* Env = std::getenv("ZEM_FEED_MB");
    const std::uint64_t Want = (Env ? std::strtoull(Env, nullptr, 10) : 1000) << 20;
    bench::TFeedGen Gen;
    Gen.TripsPerPattern = Gen.TripsFor(Want);
    const std::filesystem::path Dir = Scratch().Dir() / "big";
    Gen.Write(Dir);
    double Peak = 0, Base = 0;
    std::uint64_t Patterns = 0;
    for (auto _ : State) {
        ResetPeak();
        Base = PeakMB();
        TGtfsFeed Feed;
        const double Seconds = bench::TimeOf([&] { Feed = ReadGtfsFeed(Dir.string()); });
        State.SetIterationTime(Seconds);
        Peak = std::max(Peak, PeakMB());
        Patterns = Feed.Patterns.size();
        if (Feed.StopTimes != Gen.StopTimeRows)
            State.SkipWithError("rows lost");
    }
    std::filesystem::remove_all(Dir);
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Gen.StopTimeBytes));
    State.counters["stop_times_MB"] = double(Gen.StopTimeBytes) / (1 << 20);
    State.counters["rows"] = double(Gen.StopTimeRows);
    State.counters["peak_MB"] = Peak;
    State.counters["before_MB"] = Base;
    State.counters["patterns"] = double(Patterns);
}
BENCHMARK(BM_ReadFeed)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

// The 15,000-stop network, imported once.
struct TCityNet {
    HeadlessHost Host;
    TZemMap Map{Host};
    TGtfsFeed Feed;
    std::vector<std::int32_t> Junctions;
    double AssembleSeconds = 0;

    TCityNet() {
        bench::TFeedGen Gen;
        const std::filesystem::path Dir = Scratch().Dir() / "city";
        Gen.Write(Dir);
        Feed = ReadGtfsFeed(Dir.string());
        std::filesystem::remove_all(Dir);
        Map.SetAutoUpdate(false);
        AssembleSeconds = bench::TimeOf([&] {
            TZemImportTarget Target(Map);
            AssembleGtfsFeed(Feed, Target, GeorefFor(Map, GtfsBox(Feed)));
        });
        for (std::int32_t I = 0; I < Map.Doc.Order.Count(); ++I)
            if (Map.ObjectByID(Map.Doc.Order[I]).Kind == otRoadCross)
                Junctions.push_back(Map.Doc.Order[I]);
        // The graph and penalty table as a search prepares them (it wants two search points).
        Map.Net.RoutePoints.Add(Map.ObjectByID(Junctions.front()).Points()[0]);
        Map.Net.RoutePoints.Add(Map.ObjectByID(Junctions.back()).Points()[0]);
        if (!Map.PrepareTransportSearch())
            std::abort();
    }
    std::pair<std::int32_t, std::int32_t> RandomLeg(std::mt19937& R) const {
        const std::size_t N = Junctions.size(), A = R() % N;
        return {Junctions[A], Junctions[(A + 1 + R() % (N - 1)) % N]};
    }
};

TCityNet& City() {
    static TCityNet C;
    return C;
}

void BM_AssembleFeed(benchmark::State& State) {
    TCityNet& C = City();
    for (auto _ : State)
        State.SetIterationTime(C.AssembleSeconds);
    State.counters["junctions"] = double(C.Junctions.size());
    State.counters["objects"] = double(C.Map.Doc.Order.Count());
}
BENCHMARK(BM_AssembleFeed)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExactLeg(benchmark::State& State) {
    TCityNet& C = City();
    TZemExactRoute Exact(C.Map.TransportTask());
    std::mt19937 R(7);
    int Found = 0;
    for (auto _ : State) {
        const auto [Start, End] = C.RandomLeg(R);
        Found += Exact.Find(Start, End).Found;
    }
    State.counters["found"] = double(Found) / double(State.iterations());
}
BENCHMARK(BM_ExactLeg)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_GeneticFirstRoute(benchmark::State& State) {
    TCityNet& C = City();
    TZemTransportTask& Task = C.Map.TransportTask();
    std::mt19937 R(7);
    double Start = 0, First = 0;
    Task.SetOnFindTransportPath([&](auto&&...) {
        if (First == 0)
            First = bench::ThreadSeconds() - Start;
        Task.Stop();
    });
    for (auto _ : State) {
        const auto [A, B] = C.RandomLeg(R);
        First = 0;
        Start = bench::ThreadSeconds();
        Task.ClearPopulation();
        Task.SetStartCross(A);
        Task.SetEndCross(B);
        Task.Execute();
        State.SetIterationTime(First);
    }
}
BENCHMARK(BM_GeneticFirstRoute)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
