// A city of a million objects at 1920 x 1080, built without undo steps: saving and loading it at
// level 3, the resident memory with it open, a whole-map frame and a street-level pan step (each with
// its visible list), and a drag step at street level. And the undo history's memory: resident memory
// with the history full after building a city object by object, and after ClearHistory.
// Each figure is printed next to its goal.
#include "BenchClock.h"
#include "CityGen.h"
#include "editing/ZemHistory.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace zem;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kBlocks = 325; // about 9.5 objects a block: just over a million

double ResidentMb() {
    long Pages = 0, Resident = 0;
    if (FILE* F = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(F, "%ld %ld", &Pages, &Resident) != 2)
            Resident = 0;
        std::fclose(F);
    }
    return static_cast<double>(Resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

std::string FilePath() {
    return (std::filesystem::temp_directory_path() / ("zem-million-" + std::to_string(getpid()) + ".mp"))
        .string();
}

struct TMillion {
    HeadlessHost Host{kWidth, kHeight};
    std::unique_ptr<TZemMap> Map;
    std::string Path = FilePath();
    double BaseMb = ResidentMb();

    TMillion() {
        TZemMap Built(Host);
        Built.View.AutoUpdate = false;
        Built.Resize(kWidth, kHeight);
        citygen::BuildCity(Built, kBlocks, kBlocks);
        Built.Doc.Compression = 3;
        Built.SaveToFile(Path);
    }
    ~TMillion() { std::filesystem::remove(Path); }

    TZemMap& Open() {
        if (!Map) {
            Map = std::make_unique<TZemMap>(Host);
            Map->Resize(kWidth, kHeight);
            Map->LoadFromFile(Path);
            Map->Net.ShowTransportNet = true;
        }
        return *Map;
    }
};

TMillion& Million() {
    static TMillion M;
    return M;
}

void BM_MillionLoad(benchmark::State& State) {
    TMillion& M = Million();
    M.Map.reset();
    double Seconds = 0; // this thread's processor time, as the goal is set in
    for (auto _ : State) {
        State.PauseTiming();
        M.Map.reset();
        State.ResumeTiming();
        Seconds += bench::TimeOf([&] { M.Open(); });
    }
    State.counters["objects"] = M.Map->Count();
    State.counters["load s"] = Seconds / static_cast<double>(State.iterations());
    State.counters["load s goal"] = 1;
    State.counters["resident MB"] = ResidentMb();
    State.counters["map MB"] = ResidentMb() - M.BaseMb;
    State.counters["resident MB goal"] = 1024;
}

void BM_MillionSave(benchmark::State& State) {
    TMillion& M = Million();
    TZemMap& Map = M.Open();
    const std::string Path = M.Path + ".saved";
    double Seconds = 0;
    for (auto _ : State)
        Seconds += bench::TimeOf([&] { Map.SaveToFile(Path); });
    State.counters["file MB"] = static_cast<double>(std::filesystem::file_size(Path)) / (1 << 20);
    State.counters["save s"] = Seconds / static_cast<double>(State.iterations());
    State.counters["save s goal"] = 3;
    std::filesystem::remove(Path);
}

void BM_MillionWholeFrame(benchmark::State& State) {
    TZemMap& Map = Million().Open();
    citygen::ShowWhole(Map);
    for (auto _ : State) {
        Map.UpdateVisibleList();
        Map.RenderView();
    }
    State.counters["fps"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["fps goal"] = 10;
    State.counters["drawn"] = Map.View.VisibleList.Count();
}

void BM_MillionStreetPan(benchmark::State& State) {
    TZemMap& Map = Million().Open();
    const float Mid = Map.View.GlobalWidthHeight.X / 2;
    citygen::ShowAt(Map, 400, Mid + 10, Mid + 30);
    int Step = 0;
    for (auto _ : State) {
        const int d = (++Step & 1) ? 3 : -3; // back and forth, so the view stays in the town
        Map.PanBy(TPoint{960, 540}, TPoint{960 + d, 540 + d});
    }
    State.counters["fps"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["fps goal"] = 60;
    State.counters["drawn"] = Map.View.VisibleList.Count();
}

void BM_MillionDragStep(benchmark::State& State) {
    TZemMap& Map = Million().Open();
    const float Mid = Map.View.GlobalWidthHeight.X / 2;
    citygen::ShowAt(Map, 400, Mid + 10, Mid + 30);
    const std::int32_t Best = citygen::LargestPolygonInWindow(Map, 100);
    if (Best == -1) {
        State.SkipWithError("no polygon in view");
        return;
    }
    const TZemObject& O = Map.ObjectByID(Best);
    const TPoint a = Map.WorldToScreen(O.LeftTop), b = Map.WorldToScreen(O.RightBottom);
    const TPoint Inside{a.X + (b.X - a.X) / 3, a.Y + (b.Y - a.Y) / 3};
    Map.SetCurrentTool(tSelectObject);
    Map.Edit.CurrentObject = Best;
    Map.Edit.EditMode = 0;
    Map.MouseMove(0, Inside.X, Inside.Y);
    Map.MouseDown(TZemMouseButton::mbLeft, 0, Inside.X, Inside.Y);
    Map.Edit.CurrentObject = Best;
    int Step = 0;
    for (auto _ : State)
        Map.MouseMove(0, Inside.X + (++Step & 1), Inside.Y);
    Map.MouseUp(TZemMouseButton::mbLeft, 0, Inside.X + (Step & 1), Inside.Y);
    State.counters["ms goal"] = 8;
}

// The history filled to its budget by a city built object by object, then cleared: the resident memory
// before and after, and what ClearHistory gave back of what the history held. Run first, so the
// million-object city built for the others (and freed pages of its building) do not blur the figure.
void BM_HistoryMemory(benchmark::State& State) {
    for (auto _ : State) {
        HeadlessHost Host{kWidth, kHeight};
        TZemMap Map(Host);
        Map.View.AutoUpdate = false;
        TZemObject O;
        O.Kind = otPolygon;
        const std::size_t Budget = Map.History().Budget();
        for (int i = 0; Map.History().Bytes() + (64 << 10) < Budget; ++i) {
            const float X = static_cast<float>(i % 500) * 70, Y = static_cast<float>(i / 500) * 70;
            citygen::Rect(O, X, Y, 50, 40);
            Map.AddObject(O);
        }
        const double Full = ResidentMb();
        const double HistoryMb = static_cast<double>(Map.History().Bytes()) / (1 << 20);
        State.counters["objects"] = Map.Count();
        Map.ClearHistory();
        const double Cleared = ResidentMb();
        State.counters["history MB"] = HistoryMb;
        State.counters["resident full MB"] = Full;
        State.counters["resident cleared MB"] = Cleared;
        State.counters["returned MB"] = Full - Cleared;
        State.counters["returned MB goal"] = HistoryMb;
    }
}

} // namespace

BENCHMARK(BM_HistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MillionLoad)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MillionSave)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MillionWholeFrame)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_MillionStreetPan)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_MillionDragStep)->Unit(benchmark::kMillisecond)->Iterations(30);

BENCHMARK_MAIN();
