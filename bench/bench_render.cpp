// Frames per second of RenderView at 1920 x 1080 (the frame's block copy to the host included), on the
// sample city of the repository and on a generated city of about 100,000 objects, for the whole map and
// for a street-level view at 400 %, with and without anti-aliasing; and the time of UpdateVisibleList
// alone for the same views.
#include "BenchClock.h"
#include "CityGen.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace zem;

namespace {

constexpr int FrameWidth = 1920, FrameHeight = 1080;

struct TCity {
    HeadlessHost Host{FrameWidth, FrameHeight};
    TZemMap Map{Host};
    TXYPoint Street; // the middle of a street-level view
    // Blocks = 0: the sample city; otherwise a generated town of Blocks x Blocks blocks.
    explicit TCity(int Blocks) {
        Map.View.AutoUpdate = false;
        Map.Resize(FrameWidth, FrameHeight);
        if (Blocks == 0) {
            if (!Map.LoadFromFile(ZEM_SOURCE_DIR "/samples/Карта города.mp"))
                throw std::runtime_error("the sample city cannot be read");
            Map.Resize(FrameWidth, FrameHeight);
            // Where the map's own view looks: the old town.
            Street = {Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2,
                      Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2};
        } else {
            citygen::BuildCity(Map, Blocks, Blocks);
            // The middle of the town: blocks, streets, a river and a junction in view.
            const float Mid = Map.View.GlobalWidthHeight.X / 2;
            Street = {Mid + 10, Mid + 30};
        }
    }
};

// Built once per program run: the large city takes a while.
TCity& City(int Blocks) {
    static TCity Sample(0);
    static TCity Large(100);
    return Blocks == 0 ? Sample : Large;
}

enum TView { vWhole, vStreet };

void Show(TCity& C, TView View) {
    if (View == vWhole)
        citygen::ShowWhole(C.Map);
    else
        citygen::ShowAt(C.Map, 400, C.Street.X, C.Street.Y);
}

void BM_RenderView(benchmark::State& State) {
    TCity& C = City(static_cast<int>(State.range(0)));
    TZemMap& Map = C.Map;
    Map.Net.ShowTransportNet = true;
    Show(C, static_cast<TView>(State.range(1)));
    Map.View.AntiAlias = State.range(2) != 0;
    for (auto _ : State)
        Map.RenderView();
    State.counters["fps"] =
        benchmark::Counter(static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
    State.counters["objects"] = Map.Count();
    State.counters["drawn"] = Map.View.VisibleList.Count();
    Map.View.AntiAlias = false;
}

void BM_UpdateVisibleList(benchmark::State& State) {
    TCity& C = City(static_cast<int>(State.range(0)));
    TZemMap& Map = C.Map;
    Map.Net.ShowTransportNet = true;
    Show(C, static_cast<TView>(State.range(1)));
    for (auto _ : State)
        Map.UpdateVisibleList();
    State.counters["objects"] = Map.Count();
    State.counters["listed"] = Map.View.VisibleList.Count();
}

// The visible list's share of the work, measured interleaved in one run so that a busy machine moves
// both sides alike: the street-level list against the whole-map list (goal at most 2 %), and the
// whole-map list against drawing that frame (goal at most half). The full scan of every object, which
// the list used before the spatial index, is timed beside them for reference.
void BM_VisibleListShare(benchmark::State& State) {
    TCity& C = City(100);
    TZemMap& Map = C.Map;
    Map.Net.ShowTransportNet = true;
    auto Time = [](auto&& Work) { return bench::TimeOf(Work); };
    double Street = 0, Whole = 0, Frame = 0, Scan = 0;
    TIntegerList Scanned;
    for (auto _ : State) {
        Show(C, vStreet);
        Street += Time([&] { Map.UpdateVisibleList(); });
        Show(C, vWhole);
        Whole += Time([&] { Map.UpdateVisibleList(); });
        Scan += Time([&] { Map.ScanVisibleList(Scanned); });
        // The frame's drawing without its list: RenderView does not rebuild it.
        Frame += Time([&] { Map.RenderView(); });
    }
    State.counters["street/whole %"] = 100 * Street / Whole;
    State.counters["street/whole goal %"] = 2;
    State.counters["whole list/frame"] = Whole / Frame;
    State.counters["whole list/frame goal"] = 0.5;
    State.counters["scan/frame"] = Scan / Frame;
    State.counters["whole list ms"] = 1000 * Whole / static_cast<double>(State.iterations());
    State.counters["frame ms"] = 1000 * Frame / static_cast<double>(State.iterations());
}

// Arguments: blocks per side (0: the sample city, 100: about 100,000 objects), view (0 whole, 1 street
// level at 400 %), anti-aliasing.
void RenderArgs(benchmark::internal::Benchmark* B) {
    B->ArgNames({"blocks", "street", "aa"});
    for (int Blocks : {0, 100})
        for (int View : {0, 1})
            for (int AA : {0, 1})
                B->Args({Blocks, View, AA});
    B->Unit(benchmark::kMillisecond);
}

void ListArgs(benchmark::internal::Benchmark* B) {
    B->ArgNames({"blocks", "street"});
    for (int Blocks : {0, 100})
        for (int View : {0, 1})
            B->Args({Blocks, View});
    B->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_RenderView)->Apply(RenderArgs);
BENCHMARK(BM_UpdateVisibleList)->Apply(ListArgs);
BENCHMARK(BM_VisibleListShare)->Unit(benchmark::kMillisecond)->Iterations(8);

BENCHMARK_MAIN();
