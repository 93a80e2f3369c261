// Route search on generated city-like networks of 100, 1,000 and 10,000 junctions: grid streets walked
// both ways, bus, trolleybus and fixed-route taxi lines along some of them, and a few diagonal links.
//   BM_GeneticLeg:  legs per second of the genetic search with the default parameters (population 100,
//                   stop after 400 stagnant generations), diagnostic files included: the program writes
//                   them to the current folder, here a fresh folder under TMPDIR.
//   BM_ExactQuery:  queries per second of the exact search.
//   BM_Quality:     genetic cost / exact cost over 100 legs (10 on the largest network, whose legs take
//                   many seconds each): median, 95th percentile, share optimal.
// Fixed seeds throughout, so two runs on one machine compare as a ratio.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "transport/ZemExactRoute.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace zem;

namespace {

// The search's diagnostic files go to the current folder: give the benchmark one of its own.
class TScratchFolder {
public:
    TScratchFolder() : FOld(std::filesystem::current_path()) {
        std::string Pattern = (std::filesystem::temp_directory_path() / "zembench-XXXXXX").string();
        FDir = mkdtemp(Pattern.data());
        std::filesystem::current_path(FDir);
    }
    ~TScratchFolder() {
        std::filesystem::current_path(FOld);
        std::error_code Ec;
        std::filesystem::remove_all(FDir, Ec);
    }

private:
    std::filesystem::path FOld, FDir;
};

struct TCity {
    HeadlessHost Host;
    TZemMap Map{Host};
    std::vector<std::int32_t> Junctions;

    explicit TCity(int Side) {
        Map.SetAutoUpdate(false);
        for (const char* Name : {"Пешком", "Автобус", "Троллейбус", "Маршрутное такси", "Свой транспорт"})
            Map.Doc.TransportTypes.push_back(zem::FromUtf8(Name));
        std::mt19937 R(20261207u + static_cast<unsigned>(Side));
        const float Step = 100.0f;
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                TZemObject J;
                J.Kind = otRoadCross;
                // Streets are not ruler-straight.
                J.AddPoint(x * Step + static_cast<float>(R() % 21) - 10,
                           y * Step + static_cast<float>(R() % 21) - 10);
                Map.AddObject(J);
                Junctions.push_back(Map.Doc.MaxID - 1);
            }
        auto At = [&](int x, int y) { return Junctions[static_cast<size_t>(y) * Side + x]; };
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                if (x + 1 < Side)
                    Link(At(x, y), At(x + 1, y), 0, "");
                if (y + 1 < Side)
                    Link(At(x, y), At(x, y + 1), 0, "");
                if (x + 1 < Side && y + 1 < Side && R() % 10 == 0)
                    Link(At(x, y), At(x + 1, y + 1), 0, ""); // a path across a block
            }
        // Lines: buses along every fourth row, trolleybuses along every fifth column, taxis along every
        // seventh row; each line runs over a stretch of its street, named by its number.
        int Number = 1;
        for (int y = 1; y < Side; y += 4, ++Number)
            Line(
                Side, R, [&](int i) { return At(i, y); }, 1, Number);
        for (int x = 2; x < Side; x += 5, ++Number)
            Line(
                Side, R, [&](int i) { return At(x, i); }, 2, Number);
        for (int y = 3; y < Side; y += 7, ++Number)
            Line(
                Side, R, [&](int i) { return At(i, y); }, 3, Number);
        Map.Net.RoutePoints.Add({0, 0});
        Map.Net.RoutePoints.Add({Step, Step});
    }

    void Link(std::int32_t A, std::int32_t B, std::int32_t Type, const std::string& Name) {
        TZemObject S;
        S.Kind = otRoadCrossLine;
        S.StartCrossID = A;
        S.EndCrossID = B;
        S.SetDirection(2);
        S.SetTransportType(Type);
        S.AddPoint(Map.ObjectByID(A).Point(0));
        S.AddPoint(Map.ObjectByID(B).Point(0));
        Map.AddObject(S);
        Map.ObjectByID(Map.Doc.MaxID - 1).SetText(Name);
    }

    template <class F> void Line(int Side, std::mt19937& R, F Stop, std::int32_t Type, int Number) {
        const int From = static_cast<int>(R() % static_cast<unsigned>(Side / 3 + 1));
        const int To = Side - 1 - static_cast<int>(R() % static_cast<unsigned>(Side / 3 + 1));
        for (int i = From; i < To; ++i)
            Link(Stop(i), Stop(i + 1), Type, std::to_string(Number));
    }

    // Graph and penalty table as a search prepares them.
    void Prepare() {
        if (!Map.PrepareTransportSearch())
            std::abort();
    }

    std::pair<std::int32_t, std::int32_t> RandomLeg(std::mt19937& R) const {
        const size_t n = Junctions.size();
        const size_t a = R() % n;
        return {Junctions[a], Junctions[(a + 1 + R() % (n - 1)) % n]};
    }
};

TCity& City(int Side) {
    // Built once per size: the benchmarks only read them.
    static std::vector<std::pair<int, std::unique_ptr<TCity>>> Cities;
    for (auto& [S, C] : Cities)
        if (S == Side)
            return *C;
    Cities.emplace_back(Side, std::make_unique<TCity>(Side));
    return *Cities.back().second;
}

int SideOf(std::int64_t Junctions) {
    return static_cast<int>(std::lround(std::sqrt(static_cast<double>(Junctions))));
}

void BM_GeneticLeg(benchmark::State& State) {
    TScratchFolder Folder;
    TCity& C = City(SideOf(State.range(0)));
    C.Prepare();
    TZemTransportTask& Task = C.Map.TransportTask();
    Task.SetRandom(std::make_unique<TZemRandom>(1));
    std::mt19937 R(7);
    std::int64_t Generations = 0;
    for (auto _ : State) {
        const auto [Start, End] = C.RandomLeg(R);
        Task.ClearPopulation();
        Task.SetStartCross(Start);
        Task.SetEndCross(End);
        Task.Execute();
        Generations += Task.Generations();
        benchmark::DoNotOptimize(Task.BestFitness());
    }
    State.counters["legs/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["generations/leg"] =
        benchmark::Counter(static_cast<double>(Generations) / static_cast<double>(State.iterations()));
}

void BM_ExactQuery(benchmark::State& State) {
    TScratchFolder Folder;
    TCity& C = City(SideOf(State.range(0)));
    C.Prepare();
    TZemExactRoute Exact(C.Map.TransportTask());
    std::mt19937 R(7);
    for (auto _ : State) {
        const auto [Start, End] = C.RandomLeg(R);
        TZemExactLeg Leg = Exact.Find(Start, End);
        benchmark::DoNotOptimize(Leg.Cost);
    }
    State.counters["queries/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}

// Genetic against exact over range(1) legs.
void BM_Quality(benchmark::State& State) {
    TScratchFolder Folder;
    TCity& C = City(SideOf(State.range(0)));
    C.Prepare();
    TZemTransportTask& Task = C.Map.TransportTask();
    TZemExactRoute Exact(Task);
    std::vector<double> Ratios;
    for (auto _ : State) {
        Task.SetRandom(std::make_unique<TZemRandom>(3));
        std::mt19937 R(11);
        Ratios.clear();
        for (std::int64_t i = 0; i < State.range(1); ++i) {
            const auto [Start, End] = C.RandomLeg(R);
            Task.ClearPopulation();
            Task.SetStartCross(Start);
            Task.SetEndCross(End);
            Task.Execute();
            const TZemExactLeg Best = Exact.Find(Start, End);
            if (!Best.Found)
                std::abort();
            Ratios.push_back(static_cast<double>(Task.BestFitness() / Best.Cost));
        }
    }
    std::sort(Ratios.begin(), Ratios.end());
    const double Optimal = static_cast<double>(std::count_if(Ratios.begin(), Ratios.end(),
                                                             [](double x) { return x <= 1.0 + 1e-9; })) /
                           static_cast<double>(Ratios.size());
    State.counters["ratio_median"] = Ratios[Ratios.size() / 2];
    State.counters["ratio_p95"] = Ratios[std::min(Ratios.size() - 1, Ratios.size() * 95 / 100)];
    State.counters["ratio_min"] = Ratios.front();
    State.counters["share_optimal"] = Optimal;
}

} // namespace

BENCHMARK(BM_GeneticLeg)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneticLeg)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_GeneticLeg)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExactQuery)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Quality)
    ->Args({100, 100})
    ->Args({1000, 100})
    ->Args({10000, 10})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

BENCHMARK_MAIN();
