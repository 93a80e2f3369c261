// Load and save of a generated 100,000-object map at levels 0 and 3: MB/s of file, objects/s, and how
// much of a load is unpacking the frame against building the objects.
#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <random>
#include <sys/resource.h>

using namespace zem;

namespace {

constexpr int Objects = 100000;

void Fill(TZemMap& Map) {
    std::mt19937 Rng(42);
    std::uniform_real_distribution<float> Coord(0, 20000);
    for (int i = 0; i < 60; ++i)
        Map.Doc.Streets.push_back("\xD3\xEB\xE8\xF6\xE0 " + std::to_string(i));
    Map.Doc.Cities = {"\xCC\xEE\xF1\xEA\xE2\xE0"};
    Map.View.AutoUpdate = false;
    for (int i = 0; i < Objects; ++i) {
        TZemObject T;
        const int Kind = i % 10;
        T.Kind = Kind < 5 ? otPolygon : Kind < 8 ? otLine : Kind == 8 ? otText : otEllipse;
        const float x = Coord(Rng), y = Coord(Rng);
        const int n = T.Kind == otEllipse ? 2 : T.Kind == otText ? 4 : 3 + static_cast<int>(Rng() % 5);
        for (int p = 0; p < n; ++p)
            T.AddPoint(x + static_cast<float>(Rng() % 50), y + static_cast<float>(Rng() % 50));
        T.Pen.Width = 1 + i % 3;
        T.Brush.Style = static_cast<std::uint8_t>(i % 2);
        if (T.Kind == otPolygon) {
            TZemAddress A;
            A.Empty = false;
            A.City = 0;
            A.Street = i % 60;
            A.Number = std::to_string(i % 200);
            T.SetAddress(A);
        }
        if (T.Kind == otText)
            T.SetText("\xCD\xE0\xE4\xEF\xE8\xF1\xFC");
        Map.AddObject(T);
    }
    Map.View.AutoUpdate = true;
}

const std::vector<std::uint8_t>& FileAt(int Level) {
    static std::vector<std::uint8_t> Files[5];
    if (Files[Level].empty()) {
        HeadlessHost Host;
        TZemMap Map(Host);
        Fill(Map);
        Map.Doc.Compression = static_cast<std::uint8_t>(Level);
        Files[Level] = Map.SaveToBytes();
    }
    return Files[Level];
}

long PeakRssMb() {
    rusage U{};
    getrusage(RUSAGE_SELF, &U);
    return U.ru_maxrss / 1024;
}

void BM_Save(benchmark::State& State) {
    const int Level = static_cast<int>(State.range(0));
    HeadlessHost Host;
    TZemMap Map(Host);
    Fill(Map);
    Map.Doc.Compression = static_cast<std::uint8_t>(Level);
    size_t Bytes = 0;
    for (auto _ : State) {
        auto F = Map.SaveToBytes();
        Bytes = F.size();
        benchmark::DoNotOptimize(F.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Bytes));
    State.counters["objects/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()) * Objects, benchmark::Counter::kIsRate);
    State.counters["file_MB"] = static_cast<double>(Bytes) / 1e6;
    State.counters["peak_RSS_MB"] = static_cast<double>(PeakRssMb());
}

void BM_Load(benchmark::State& State) {
    const auto& F = FileAt(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        HeadlessHost Host;
        TZemMap Map(Host);
        if (!Map.LoadFromBytes(F))
            State.SkipWithError("load failed");
        benchmark::DoNotOptimize(Map.Count());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size()));
    State.counters["objects/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()) * Objects, benchmark::Counter::kIsRate);
    State.counters["peak_RSS_MB"] = static_cast<double>(PeakRssMb());
}

// The unpacking part of a load alone: checksum and inflate of the frame.
void BM_LoadUnpackOnly(benchmark::State& State) {
    const auto& F = FileAt(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        TBinaryReader R;
        R.LoadFromStream(std::span(F).subspan(64));
        benchmark::DoNotOptimize(R.Size());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size()));
}

} // namespace

BENCHMARK(BM_Save)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadUnpackOnly)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
