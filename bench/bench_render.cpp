// Frames per second of RenderView at 1920 x 1080 (the frame's block copy to the host included), on a
// sample-sized city (12 x 12 blocks, about 1,400 objects) and on a city of about 100,000 objects, for the
// whole map and for a street-level view at 400 %, with and without anti-aliasing; and the time of
// UpdateVisibleList alone for the same views.
#include "CityGen.h"
#include "platform/HeadlessHost.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int FrameWidth = 1920, FrameHeight = 1080;

struct TCity {
    HeadlessHost Host{FrameWidth, FrameHeight};
    TZemMap Map{Host};
    explicit TCity(int Blocks) {
        Map.View.AutoUpdate = false;
        Map.Resize(FrameWidth, FrameHeight);
        citygen::BuildCity(Map, Blocks, Blocks);
    }
};

// Built once per program run: the large city takes a while.
TCity& City(int Blocks) {
    static TCity Sample(12);
    static TCity Large(100);
    return Blocks == 12 ? Sample : Large;
}

enum TView { vWhole, vStreet };

void Show(TZemMap& Map, TView View) {
    if (View == vWhole) {
        citygen::ShowWhole(Map);
    } else {
        // The middle of the town: blocks, streets, a river and a junction in view.
        const float Mid = Map.View.GlobalWidthHeight.X / 2;
        citygen::ShowAt(Map, 400, Mid + 10, Mid + 30);
    }
}

void BM_RenderView(benchmark::State& State) {
    TCity& C = City(static_cast<int>(State.range(0)));
    TZemMap& Map = C.Map;
    Map.Net.ShowTransportNet = true;
    Show(Map, static_cast<TView>(State.range(1)));
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
    Show(Map, static_cast<TView>(State.range(1)));
    for (auto _ : State)
        Map.UpdateVisibleList();
    State.counters["objects"] = Map.Count();
    State.counters["listed"] = Map.View.VisibleList.Count();
}

// Arguments: blocks per side (12: sample-sized, 100: about 100,000 objects), view (0 whole, 1 street
// level at 400 %), anti-aliasing.
void RenderArgs(benchmark::internal::Benchmark* B) {
    B->ArgNames({"blocks", "street", "aa"});
    for (int Blocks : {12, 100})
        for (int View : {0, 1})
            for (int AA : {0, 1})
                B->Args({Blocks, View, AA});
    B->Unit(benchmark::kMillisecond);
}

void ListArgs(benchmark::internal::Benchmark* B) {
    B->ArgNames({"blocks", "street"});
    for (int Blocks : {12, 100})
        for (int View : {0, 1})
            B->Args({Blocks, View});
    B->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_RenderView)->Apply(RenderArgs);
BENCHMARK(BM_UpdateVisibleList)->Apply(ListArgs);

BENCHMARK_MAIN();
