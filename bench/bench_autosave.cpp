// The recovery copy on a generated town of about 100,000 objects. (a) The pause on the window thread:
// starting a copy, which forks the child process that writes it; the goal is at most 20 ms. (b) The pause
// where fork fails and the content is gathered on the window thread instead, (c) what the writer then does
// (packing and the atomic write), and (d) a whole save, for comparison.
#include "CityGen.h"
#include "editing/ZemHistory.h"
#include "persistence/ZemAutosave.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemMapContent.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

using namespace zem;

namespace {

struct TCity {
    HeadlessHost Host;
    TZemMap Map{Host};
    TCity() {
        citygen::BuildCity(Map, 100, 100);
        Map.View.AutoUpdate = true;
    }
};

TCity& City() {
    static TCity C; // built once per run: the town takes a while
    return C;
}

std::string Folder() {
    return (std::filesystem::temp_directory_path() / ("zem-bench-recovery-" + std::to_string(::getpid())))
        .string();
}

void BM_CopyPause(benchmark::State& State) {
    TZemMap& Map = City().Map;
    Map.History().MarkUnsaved();
    TZemAutosave Autosave(Map, TZemRecoveryFolder(Folder()), TZemAutosave::kDefaultInterval);
    for (auto _ : State) {
        if (!Autosave.WriteNow())
            State.SkipWithError("no copy started");
        State.PauseTiming();
        Autosave.Wait(); // the child's work, not the window's
        State.ResumeTiming();
    }
    State.counters["objects"] = Map.Count();
    State.counters["copies"] = Autosave.Writes();
    rusage U{};
    getrusage(RUSAGE_SELF, &U);
    State.counters["peak_RSS_MB"] = static_cast<double>(U.ru_maxrss) / 1024;
}

void BM_CopyPauseWithoutFork(benchmark::State& State) {
    TZemMap& Map = City().Map;
    // The autosave sizes the buffer from its previous copy.
    const std::int32_t Hint = SaveMapContent(Map, false)->Length() * 9 / 8;
    std::int64_t Bytes = 0;
    for (auto _ : State) {
        auto Content = SaveMapContent(Map, false, Hint);
        Bytes = Content->Length();
        benchmark::DoNotOptimize(Content->Buffer());
        State.PauseTiming();
        Content.reset(); // releasing the buffer is the writer thread's work
        State.ResumeTiming();
    }
    State.counters["objects"] = Map.Count();
    State.counters["content_MB"] = static_cast<double>(Bytes) / 1e6;
}

void BM_CopyWriterThread(benchmark::State& State) {
    TZemMap& Map = City().Map;
    const auto Content = SaveMapContent(Map, false);
    TZemRecoveryFolder Recovery(Folder());
    for (auto _ : State) {
        const auto File = PackMapFile(*Content, 1);
        Recovery.Write("/tmp/Карта.mp", 0, File);
    }
    Recovery.RemoveOwn();
    std::filesystem::remove_all(Recovery.Folder());
    State.SetBytesProcessed(State.iterations() * Content->Length());
}

void BM_WholeSave(benchmark::State& State) {
    TZemMap& Map = City().Map;
    for (auto _ : State)
        benchmark::DoNotOptimize(Map.SaveToBytes());
}

} // namespace

// A fixed count: each copy waits for its child, which takes far longer than the pause measured.
BENCHMARK(BM_CopyPause)->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPauseWithoutFork)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyWriterThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeSave)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
