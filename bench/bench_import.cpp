// The OpenStreetMap import of a city of about a million objects, side by side with `osmium export -f
// geojsonseq` of the same file. The city is the Kitay-gorod extract tiled 22 x 22 times with shifted ids
// and coordinates, written as PBF with libosmium. Both run pinned to one core (the process pins itself;
// osmium inherits it) and libosmium's pools get one thread; times are wall seconds. The import's phases:
// read (relations, then everything with the areas assembled as they come), map, network, save at the
// default level.
#include "import/ZemImport.h"
#include "platform/ZemHeadlessHost.h"

#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/osm.hpp>
#pragma GCC diagnostic pop

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sched.h>
#include <sys/resource.h>

using namespace zem;

namespace {

constexpr int kTiles = 22;
const std::string kSource = std::string(ZEM_SOURCE_DIR) + "/tests/data/osm/moscow-kitay-gorod.osm.pbf";

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Writes the tiled city: every node of every tile, then every way, then every relation, as PBF wants.
void MakeCity(const std::string& Path) {
    osmium::io::Reader Reader{kSource};
    osmium::io::Header Header = Reader.header();
    osmium::memory::Buffer Source = osmium::io::read_file(kSource);
    Reader.close();
    const osmium::Box Box = Header.box();
    const double StepX = Box.right() - Box.left(), StepY = Box.top() - Box.bottom();
    osmium::object_id_type MaxID = 0;
    for (const auto& O : Source.select<osmium::OSMObject>())
        MaxID = std::max(MaxID, static_cast<osmium::object_id_type>(O.positive_id()));
    osmium::io::Header Out;
    Out.set("generator", "bench_import");
    osmium::io::Writer Writer{osmium::io::File{Path, "pbf"}, Out, osmium::io::overwrite::allow};
    for (const osmium::item_type Type :
         {osmium::item_type::node, osmium::item_type::way, osmium::item_type::relation})
        for (int T = 0; T < kTiles * kTiles; ++T) {
            const osmium::object_id_type Shift = (MaxID + 1) * T;
            const double Dx = StepX * (T % kTiles), Dy = StepY * (T / kTiles);
            osmium::memory::Buffer Buf{1 << 20, osmium::memory::Buffer::auto_grow::yes};
            for (const auto& O : Source.select<osmium::OSMObject>()) {
                if (O.type() != Type)
                    continue;
                auto& C = Buf.add_item(O);
                Buf.commit();
                C.set_id(O.id() + Shift);
                if (Type == osmium::item_type::node) {
                    auto& N = static_cast<osmium::Node&>(C);
                    if (N.location().valid())
                        N.set_location(osmium::Location(N.location().lon() + Dx, N.location().lat() + Dy));
                } else if (Type == osmium::item_type::way) {
                    for (auto& R : static_cast<osmium::Way&>(C).nodes())
                        R.set_ref(R.ref() + Shift);
                } else {
                    for (auto& M : static_cast<osmium::Relation&>(C).members())
                        M.set_ref(M.ref() + Shift);
                }
            }
            Writer(std::move(Buf));
        }
    Writer.close();
}

struct TCity {
    std::string Path = (std::filesystem::temp_directory_path() / "zem-import-city.osm.pbf").string();
    TCity() { MakeCity(Path); }
    ~TCity() { std::filesystem::remove(Path); }
};

void BM_ImportCity(benchmark::State& State) {
    static TCity City;
    const std::string Geo = City.Path + ".geojsonseq", Out = City.Path + ".mp";
    for (auto _ : State) {
        const double T0 = Now();
        const std::string Cmd = "OSMIUM_POOL_THREADS=1 osmium export -f geojsonseq --overwrite -o '" + Geo +
                                "' '" + City.Path + "' >/dev/null 2>&1";
        const int Rc = std::system(Cmd.c_str());
        const double Osmium = Now() - T0;
        std::map<std::string, double> Phase;
        std::string Current;
        double Mark = Now();
        TZemImportProgress Progress;
        Progress.OnProgress = [&](const std::string& P, std::int32_t) {
            if (P == Current)
                return;
            const double T = Now();
            if (!Current.empty())
                Phase[Current] += T - Mark;
            Current = P;
            Mark = T;
        };
        const double T1 = Now();
        HeadlessHost Host(1920, 1080);
        TZemMap Map(Host);
        Map.SetAutoUpdate(false);
        const std::filesystem::path In = City.Path;
        ImportInto(Map, std::span(&In, 1), {}, Progress, 1920, 1080);
        Phase[Current] += Now() - Mark;
        const double T2 = Now();
        Map.SaveToFile(Out); // at the map's default level, 3
        const double T3 = Now();
        State.counters["objects"] = Map.Count();
        State.counters["osmium export s"] = Rc == 0 ? Osmium : -1;
        State.counters["import+save s"] = T3 - T1;
        State.counters["ratio"] = Rc == 0 ? (T3 - T1) / Osmium : -1;
        State.counters["ratio goal"] = 2;
        State.counters["read s"] = Phase["Чтение отношений"] + Phase["Чтение данных"];
        State.counters["map s"] =
            Phase["Перенос на карту"] + (T2 - T1 - Phase["Чтение отношений"] - Phase["Чтение данных"] -
                                         Phase["Перенос на карту"] - Phase["Транспортная сеть"]);
        State.counters["network s"] = Phase["Транспортная сеть"];
        State.counters["save s"] = T3 - T2;
        rusage U{};
        getrusage(RUSAGE_SELF, &U);
        State.counters["peak MB"] = static_cast<double>(U.ru_maxrss) / 1024;
        State.counters["peak MB goal"] = 2048;
        State.counters["file MB"] = static_cast<double>(std::filesystem::file_size(City.Path)) / (1 << 20);
    }
    std::filesystem::remove(Geo);
    std::filesystem::remove(Out);
}
BENCHMARK(BM_ImportCity)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // One core for the import and for osmium, which inherits the mask.
    cpu_set_t One;
    CPU_ZERO(&One);
    CPU_SET(sched_getcpu() >= 0 ? sched_getcpu() : 0, &One);
    sched_setaffinity(0, sizeof One, &One);
    setenv("OSMIUM_POOL_THREADS", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
