// Frames per second of the raster surface at 1920 x 1080: a clear, 10,000 random lines of width 1 and
// of width 5 with round ends, 2,000 filled polygons of 20 vertices with outline, 1,000 rotated labels
// of 12 characters. Each figure is one frame's work; the "fps" counter is frames per second.
#include "BenchClock.h"
#include "base/ZemText.h"
#include "view/ZemRaster.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

using namespace zem;

namespace {

constexpr int W = 1920, H = 1080;

void Fps(benchmark::State& State) {
    State.counters["fps"] = benchmark::Counter(double(State.iterations()), benchmark::Counter::kIsRate);
}

struct TLine {
    int X1, Y1, X2, Y2;
    TColor32 Color;
};

std::vector<TLine> RandomLines(int N) {
    std::mt19937 Rng(1);
    std::uniform_int_distribution<int> X(0, W - 1), Y(0, H - 1);
    std::vector<TLine> L(N);
    for (TLine& Li : L)
        Li = {X(Rng), Y(Rng), X(Rng), Y(Rng), 0xFF000000u | static_cast<TColor32>(Rng())};
    return L;
}

void BM_Clear(benchmark::State& State) {
    TBitmap32 B(W, H);
    TColor32 C = 0xFF203040;
    for (auto _ : State) {
        B.Clear(C++);
        benchmark::ClobberMemory();
    }
    Fps(State);
    State.SetBytesProcessed(State.iterations() * std::int64_t(W) * H * 4);
}
BENCHMARK(BM_Clear)->Unit(benchmark::kMicrosecond);

// A full clear against memset of the same bytes, interleaved in one run: the goal is at most 1.2.
void BM_ClearVersusMemset(benchmark::State& State) {
    TBitmap32 B(W, H);
    std::vector<std::uint8_t> Bytes(std::size_t(W) * H * 4);
    double Clear = 0, Memset = 0;
    TColor32 C = 0xFF203040;
    for (auto _ : State) {
        const double T0 = bench::ThreadSeconds();
        B.Clear(C++);
        benchmark::ClobberMemory();
        const double T1 = bench::ThreadSeconds();
        std::memset(Bytes.data(), static_cast<int>(C & 0xFF), Bytes.size());
        benchmark::ClobberMemory();
        const double T2 = bench::ThreadSeconds();
        Clear += T1 - T0;
        Memset += T2 - T1;
    }
    State.counters["clear/memset"] = Clear / Memset;
    State.counters["clear/memset goal"] = 1.2;
}
BENCHMARK(BM_ClearVersusMemset)->Unit(benchmark::kMicrosecond)->Iterations(400);

void BM_Lines(benchmark::State& State) {
    const int Width = static_cast<int>(State.range(0));
    std::vector<TLine> Lines = RandomLines(10000);
    TBitmap32 B(W, H);
    B.LineWidth = Width;
    for (auto _ : State) {
        for (const TLine& L : Lines) {
            B.LineColor = L.Color;
            B.LineStyled(L.X1, L.Y1, L.X2, L.Y2, Width > 1, false, 0);
        }
        benchmark::ClobberMemory();
    }
    Fps(State);
}
BENCHMARK(BM_Lines)->Arg(1)->Arg(5)->ArgName("width")->Unit(benchmark::kMillisecond);

void BM_Polygons(benchmark::State& State) {
    std::mt19937 Rng(2);
    std::uniform_int_distribution<int> X(0, W - 1), Y(0, H - 1), R(10, 60);
    std::uniform_real_distribution<double> Jitter(0.5, 1.0);
    std::vector<std::vector<TRasterPoint>> Polygons(2000);
    std::vector<TColor32> Colors(2000);
    for (std::size_t k = 0; k < Polygons.size(); ++k) {
        int CX = X(Rng), CY = Y(Rng), Radius = R(Rng);
        for (int i = 0; i < 20; ++i) {
            double A = i * 2 * std::numbers::pi / 20, Rr = Radius * Jitter(Rng);
            Polygons[k].push_back({CX + int(Rr * std::cos(A)), CY + int(Rr * std::sin(A))});
        }
        Colors[k] = 0xFF000000u | static_cast<TColor32>(Rng());
    }
    TBitmap32 B(W, H);
    B.LineColor = 0xFF000000;
    for (auto _ : State) {
        for (std::size_t k = 0; k < Polygons.size(); ++k) {
            B.BrushColor = Colors[k];
            B.PolygonFilled(Polygons[k], true);
        }
        benchmark::ClobberMemory();
    }
    Fps(State);
}
BENCHMARK(BM_Polygons)->Unit(benchmark::kMillisecond);

// Labels keep their angles from frame to frame, as map labels do; the "cold" variant starts every
// frame with an empty glyph cache.
void BM_Labels(benchmark::State& State) {
    const bool Cold = State.range(0) != 0;
    std::mt19937 Rng(3);
    std::uniform_int_distribution<int> X(0, W - 1), Y(0, H - 1), Letter(0xC0, 0xFF);
    std::uniform_real_distribution<double> Angle(0, 2 * std::numbers::pi);
    struct TLabel {
        int X, Y;
        double Angle;
        ZemString Text;
    };
    std::vector<TLabel> Labels(1000);
    for (TLabel& L : Labels) {
        L = {X(Rng), Y(Rng), Angle(Rng), ""};
        for (int i = 0; i < 12; ++i)
            L.Text += static_cast<char>(Letter(Rng));
    }
    TBitmap32 B(W, H);
    B.Font.Name = "Arial";
    B.Font.Size = 10;
    B.LineColor = 0xFF000000;
    for (auto _ : State) {
        if (Cold)
            B.SetTextEngine(std::make_shared<TZemTextEngine>());
        for (const TLabel& L : Labels)
            B.OutputTextRotated(L.X, L.Y, false, L.Angle, L.Text);
        benchmark::ClobberMemory();
    }
    Fps(State);
}
BENCHMARK(BM_Labels)->Arg(0)->Arg(1)->ArgName("cold")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
