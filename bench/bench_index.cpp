// The map's uniform grid against an R-tree, on the boxes of the generated city of about 100,000 objects:
// the time of a street-level query (a 1920 x 1080 window at 400 %, at random places) and of a whole-map
// query, and the cost of keeping each in step. The R-tree here is packed once by sort-tile-recursive
// (its best case for queries); moving an object would need a delete and an insert on top. The two
// queries are timed interleaved in one run, and their ratio is the figure to read.
#include "BenchClock.h"
#include "CityGen.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace zem;

namespace {

struct TBox {
    float L, T, R, B;
    std::int32_t ID; // a leaf's object, or the first child of a node
    std::int32_t N;  // children of a node; 0 for a leaf entry
};

bool Overlap(const TBox& A, const TXYRect& Q) {
    return A.L <= Q.Right && Q.Left <= A.R && A.T <= Q.Bottom && Q.Top <= A.B;
}

// A static R-tree: levels of nodes of up to kFan children, packed bottom-up.
class TPackedRTree {
public:
    static constexpr int kFan = 16;

    explicit TPackedRTree(std::vector<TBox> Leaves) {
        Levels.push_back(std::move(Leaves));
        while (Levels.back().size() > 1)
            Levels.push_back(Pack(Levels.back()));
    }

    void Query(const TXYRect& Q, std::vector<std::int32_t>& Out) const {
        Visit(static_cast<int>(Levels.size()) - 1, 0, 1, Q, Out);
    }

private:
    // Sort-tile-recursive: slices by X, then runs of kFan by Y within each slice.
    std::vector<TBox> Pack(std::vector<TBox>& Level) {
        const size_t n = Level.size();
        const size_t Nodes = (n + kFan - 1) / kFan;
        const size_t Slices = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(Nodes))));
        const size_t PerSlice = Slices * kFan;
        std::sort(Level.begin(), Level.end(),
                  [](const TBox& a, const TBox& b) { return a.L + a.R < b.L + b.R; });
        for (size_t s = 0; s < n; s += PerSlice)
            std::sort(Level.begin() + static_cast<std::ptrdiff_t>(s),
                      Level.begin() + static_cast<std::ptrdiff_t>(std::min(n, s + PerSlice)),
                      [](const TBox& a, const TBox& b) { return a.T + a.B < b.T + b.B; });
        std::vector<TBox> Up;
        for (size_t i = 0; i < n; i += kFan) {
            TBox P{Level[i].L, Level[i].T, Level[i].R, Level[i].B, static_cast<std::int32_t>(i), 0};
            const size_t End = std::min(n, i + kFan);
            for (size_t k = i; k < End; ++k) {
                P.L = std::min(P.L, Level[k].L);
                P.T = std::min(P.T, Level[k].T);
                P.R = std::max(P.R, Level[k].R);
                P.B = std::max(P.B, Level[k].B);
            }
            P.N = static_cast<std::int32_t>(End - i);
            Up.push_back(P);
        }
        return Up;
    }

    void Visit(int Level, std::int32_t First, std::int32_t N, const TXYRect& Q,
               std::vector<std::int32_t>& Out) const {
        const std::vector<TBox>& L = Levels[static_cast<size_t>(Level)];
        for (std::int32_t i = First; i < First + N; ++i) {
            const TBox& B = L[static_cast<size_t>(i)];
            if (!Overlap(B, Q))
                continue;
            if (Level == 0)
                Out.push_back(B.ID);
            else
                Visit(Level - 1, B.ID, B.N, Q, Out);
        }
    }

    std::vector<std::vector<TBox>> Levels;
};

struct TCity {
    HeadlessHost Host{1920, 1080};
    TZemMap Map{Host};
    TCity() {
        Map.View.AutoUpdate = false;
        Map.Resize(1920, 1080);
        citygen::BuildCity(Map, 100, 100);
        // Junctions take their boxes from the frame that draws them: draw the whole map once, as a user
        // would see it. Nothing is drawn after that.
        Map.Net.ShowTransportNet = true;
        citygen::ShowWhole(Map);
        Map.RenderView();
        Map.View.AutoUpdate = false;
    }
};

TCity& City() {
    static TCity C;
    return C;
}

void BM_GridVersusRTree(benchmark::State& State) {
    TZemMap& Map = City().Map;
    std::vector<TBox> Leaves;
    for (std::int32_t ID : Map.Doc.Order) {
        const TZemObject& O = Map.ObjectByID(ID);
        const float h = static_cast<float>(O.Pen.Width / 2 + 1);
        Leaves.push_back(TBox{
            std::min(O.LeftTop.X, O.RightBottom.X) - h, std::min(O.LeftTop.Y, O.RightBottom.Y) - h,
            std::max(O.LeftTop.X, O.RightBottom.X) + h, std::max(O.LeftTop.Y, O.RightBottom.Y) + h, ID, 0});
    }
    std::unique_ptr<TPackedRTree> Tree;
    const double Pack = bench::TimeOf([&] { Tree = std::make_unique<TPackedRTree>(Leaves); });

    const float Size = Map.View.GlobalWidthHeight.X;
    const TXYRect Whole{Map.View.GlobalLeftTop.X, Map.View.GlobalLeftTop.Y, Map.View.GlobalLeftTop.X + Size,
                        Map.View.GlobalLeftTop.Y + Map.View.GlobalWidthHeight.Y};
    std::mt19937 Random(5);
    std::uniform_real_distribution<float> At(0.0f, Size - 480.0f);
    std::vector<std::int32_t> Out;
    double Grid = 0, RTree = 0, GridWhole = 0, RTreeWhole = 0;
    std::size_t Found = 0;
    auto Time = [](auto&& Work) { return bench::TimeOf(Work); };
    for (auto _ : State) {
        for (int q = 0; q < 100; ++q) {
            const float X = At(Random), Y = At(Random);
            const TXYRect Street{X, Y, X + 480.0f, Y + 270.0f};
            Grid += Time([&] { Map.ObjectsNear(Street, Out); });
            Found += Out.size();
            Out.clear();
            RTree += Time([&] { Tree->Query(Street, Out); });
            Out.clear();
        }
        GridWhole += Time([&] { Map.ObjectsNear(Whole, Out); });
        Out.clear();
        RTreeWhole += Time([&] { Tree->Query(Whole, Out); });
        Out.clear();
    }
    const double n = static_cast<double>(State.iterations());
    State.counters["grid street us"] = 1e6 * Grid / (100 * n);
    State.counters["rtree street us"] = 1e6 * RTree / (100 * n);
    State.counters["grid whole ms"] = 1e3 * GridWhole / n;
    State.counters["rtree whole ms"] = 1e3 * RTreeWhole / n;
    State.counters["rtree pack ms"] = 1e3 * Pack;
    State.counters["found per street"] = static_cast<double>(Found) / (100 * n);
}

// Keeping the grid in step: one object moved and the next query made, as a drag step does.
void BM_GridMoveAndQuery(benchmark::State& State) {
    TZemMap& Map = City().Map;
    TZemObject& O = Map.ObjectByID(Map.Doc.Order[Map.Doc.Order.Count() / 2]);
    const TXYPoint Start = O.Point(0);
    std::vector<std::int32_t> Out;
    int Step = 0;
    for (auto _ : State) {
        O.MoveTo(TXYPoint{Start.X + static_cast<float>(++Step & 63), Start.Y});
        Map.ObjectsNear(TXYRect{Start.X - 240, Start.Y - 135, Start.X + 240, Start.Y + 135}, Out);
        Out.clear();
    }
}

} // namespace

BENCHMARK(BM_GridVersusRTree)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_GridMoveAndQuery)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
