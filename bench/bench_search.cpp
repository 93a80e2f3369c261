// "Поиск объекта" on the generated city of about 100,000 objects, whose buildings are given addresses on
// 200 streets and whose street lines and labels carry names: one query of each kind the window sends while
// a person types. The goal is an answer within 50 ms; the time per query is the figure to read.
#include "CityGen.h"
#include "address/ZemObjectSearch.h"
#include "platform/ZemHeadlessHost.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace zem;

namespace {

struct TCity {
    HeadlessHost Host{1600, 1000};
    TZemMap Map{Host};
    TCity() {
        citygen::BuildCity(Map, 100, 100);
        const char* Roots[] = {"Покровка", "Маросейка", "Мясницкая", "Сретенка", "Солянка",
                               "Ильинка",  "Варварка",  "Таганская", "Садовая",  "Лесная"};
        const char* Types[] = {"улица", "переулок", "бульвар", "проспект"};
        for (const char* Root : Roots)
            for (const char* Type : Types)
                for (int n = 1; n <= 5; ++n)
                    Map.Doc.Streets.push_back(FromUtf8(std::to_string(n) + "-я " + Root + " " + Type));
        Map.Doc.ObjectTypes = {FromUtf8("Улица"), FromUtf8("Здание"), FromUtf8("Надпись")};
        Map.View.AutoUpdate = false;
        std::int32_t Street = 0;
        for (std::int32_t i = 0; i < Map.Doc.Objects.Count(); ++i) {
            TZemObject& O = *Map.Doc.Objects.Values(i);
            if (O.Kind == otPolygon && !O.Address().Empty) {
                TZemAddress A = O.Address();
                A.Street = Street++ / 40 % static_cast<std::int32_t>(Map.Doc.Streets.size());
                O.SetAddress(A);
                O.SetCategory(1);
            } else if (O.Kind == otText) {
                O.SetCategory(2);
            }
        }
        Map.View.AutoUpdate = true;
    }
};

TCity& City() {
    static const std::unique_ptr<TCity> Built = std::make_unique<TCity>();
    return *Built;
}

void BM_Search(benchmark::State& State, const char* Query, TSearchKind Kind) {
    TCity& C = City();
    const ZemString Q = FromUtf8(Query);
    std::size_t Total = 0;
    for (auto _ : State) {
        const TSearchResult R = FindObjects(C.Map, Q, Kind);
        Total = R.Total;
        benchmark::DoNotOptimize(R.Items.data());
    }
    State.counters["objects"] = C.Map.Count();
    State.counters["found"] = static_cast<double>(Total);
}

// A house: few hits.
BENCHMARK_CAPTURE(BM_Search, house_all, "Покровка улица 15", TSearchKind::skAll)
    ->Unit(benchmark::kMillisecond);
// A street's name: every house on ten streets, sorted by street and number.
BENCHMARK_CAPTURE(BM_Search, street_all, "Покровка", TSearchKind::skAll)->Unit(benchmark::kMillisecond);
// A label's text.
BENCHMARK_CAPTURE(BM_Search, text, "ul. 57-ya", TSearchKind::skText)->Unit(benchmark::kMillisecond);
// A type that most objects have: the worst case of sorting.
BENCHMARK_CAPTURE(BM_Search, type_buildings, "здание", TSearchKind::skType)->Unit(benchmark::kMillisecond);
// One letter in every way at once: nearly everything matches somehow.
BENCHMARK_CAPTURE(BM_Search, one_letter_all, "а", TSearchKind::skAll)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, id, "54321", TSearchKind::skAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
