// The cost of editing on a big city: a generated town of about 100,000 objects in a 1920 x 1080 window
// at street level (400 %). (a) One pointer move with tSelectObject over the current object (the handle
// tests and the cursor) plus a hit-test scan of the whole visible list, as a press would run it: the goal
// is at most 1 ms. (b) One drag step: the current object follows the pointer and the frame is drawn
// again: the goal is at most 8 ms.
#include "CityGen.h"
#include "platform/ZemHeadlessHost.h"
#include "view/ZemMiniMap.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace zem;

namespace {

constexpr int kFrameWidth = 1920, kFrameHeight = 1080;
constexpr int kMargin = 40; // pixels, wider than the edge-scroll zones

struct TCity {
    HeadlessHost Host{kFrameWidth, kFrameHeight};
    HeadlessHost MiniHost{250, 250};
    TZemMiniMap Mini{MiniHost}; // its frame follows every drag step; it outlives the map
    TZemMap Map{Host};
    TPoint Inside; // a screen point inside the current object, away from its handles

    TCity() {
        Map.View.AutoUpdate = false;
        Map.Resize(kFrameWidth, kFrameHeight);
        citygen::BuildCity(Map, 100, 100);
        Map.View.AutoUpdate = true;
        Map.RecalcGlobalExtent();
        Map.SetMiniMap(&Mini);
        Map.UpdateMiniMapContent();
        const float Mid = Map.View.GlobalWidthHeight.X / 2;
        citygen::ShowAt(Map, 400, Mid + 10, Mid + 30);
        // The largest polygon wholly in the window, clear of the edge-scroll zones, becomes current.
        const std::int32_t Best = citygen::LargestPolygonInWindow(Map, kMargin);
        if (Best == -1)
            throw std::runtime_error("no polygon in view");
        const TZemObject& O = Map.ObjectByID(Best);
        Map.SetCurrentTool(tSelectObject);
        Map.Edit.CurrentObject = Best;
        Map.Edit.EditMode = 0;
        const TPoint a = Map.WorldToScreen(O.LeftTop), b = Map.WorldToScreen(O.RightBottom);
        Inside = {a.X + (b.X - a.X) / 3, a.Y + (b.Y - a.Y) / 3};
    }
};

TCity& City() {
    static TCity C; // built once per run: the town takes a while
    return C;
}

void BM_PointerMoveAndHitScan(benchmark::State& State) {
    TCity& C = City();
    TZemMap& Map = C.Map;
    int Step = 0;
    std::int64_t Hits = 0;
    for (auto _ : State) {
        const int X = C.Inside.X + (Step++ & 1);
        Map.MouseMove(0, X, C.Inside.Y);
        // The whole visible list, top first, as a press over an empty place would scan it.
        const TXYPoint P = Map.ScreenToWorld(X, C.Inside.Y);
        const TIntegerList& List = Map.View.VisibleList;
        for (std::int32_t i = List.Count() - 1; i >= 0; --i)
            Hits += Map.ObjectByID(List[i]).HitTest(P.X, P.Y, Map.View.Scale);
    }
    benchmark::DoNotOptimize(Hits);
    State.counters["visible"] = Map.View.VisibleList.Count();
}

void BM_DragStep(benchmark::State& State) {
    TCity& C = City();
    TZemMap& Map = C.Map;
    const std::int32_t ID = Map.Edit.CurrentObject;
    Map.MouseMove(0, C.Inside.X, C.Inside.Y);
    Map.MouseDown(TZemMouseButton::mbLeft, 0, C.Inside.X, C.Inside.Y);
    Map.Edit.CurrentObject = ID; // whatever the press selected, drag the chosen one
    const int Frames = Map.View.PaintCounter;
    int Step = 0;
    for (auto _ : State)
        Map.MouseMove(0, C.Inside.X + (++Step & 1), C.Inside.Y);
    State.counters["frames/step"] = static_cast<double>(Map.View.PaintCounter - Frames) / Step;
    State.counters["ms goal"] = 8;
    Map.MouseUp(TZemMouseButton::mbLeft, 0, C.Inside.X + (Step & 1), C.Inside.Y);
    State.counters["visible"] = Map.View.VisibleList.Count();
}

// For reference: the frame alone, which a drag step draws once.
void BM_Frame(benchmark::State& State) {
    TZemMap& Map = City().Map;
    for (auto _ : State)
        Map.RenderView();
}

} // namespace

BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointerMoveAndHitScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
