#include "cli/ZemCliRoute.h"

#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "transport/ZemExactRoute.h"
#include "transport/ZemGeneticSearch.h"
#include "transport/ZemRouteAnswer.h"

#include <charconv>
#include <iostream>

namespace zem {

const char* const kRouteUsage =
    "Использование: zemmap-cli route ФАЙЛ.mp [--seed N] [--population N] [--stop-generations N] [--exact]\n"
    "  Ищет дешёвый маршрут через точки поиска карты по всем видам транспорта и выводит его по участку\n"
    "  в строке (вид, название маршрута: номера отрезков), а затем \"cost: X\".\n"
    "  --seed N              постоянное начальное число (один и тот же маршрут при каждом запуске);\n"
    "                        по умолчанию берётся от часов\n"
    "  --population N        хромосом в популяции, 2 ... 5000 (по умолчанию 100)\n"
    "  --stop-generations N  остановиться после N поколений без лучшего маршрута, 1 ... 1000000\n"
    "                        (по умолчанию 400)\n"
    "  --exact               точный самый дешёвый маршрут при той же стоимости вместо генетического поиска\n"
    "  Поиск записывает свои диагностические файлы в текущую папку.\n";

namespace {

template <class T> bool ParseNumber(const std::string& Text, T Low, T High, T& Value) {
    auto [End, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Ec == std::errc() && End == Text.data() + Text.size() && Value >= Low && Value <= High;
}

void PrintRoute(const TZemMap& Map, const TIntegerList& Route, long double Cost, std::ostream& Out) {
    TAnswere Answere;
    std::vector<ZemString> Nodes;
    BuildAnswere(Map, Route, Answere, Nodes);
    std::vector<std::string> Lines;
    Lines.reserve(Nodes.size());
    for (const ZemString& Node : Nodes)
        Lines.push_back(ToUtf8(Node) + ":");
    // Segments are at the odd positions of a route.
    for (std::int32_t i = 1; i < Answere.Count(); i += 2) {
        const TAnRec& R = Answere.Records[static_cast<size_t>(i)];
        if (R.NodeIndex < 0)
            continue;
        std::string& Line = Lines[static_cast<size_t>(R.NodeIndex)];
        Line += (Line.back() == ':' ? " " : ", ") + std::to_string(R.ID);
    }
    for (const std::string& Line : Lines)
        Out << Line << '\n';
    Out << "cost: " << FormatFloat(Cost) << '\n';
}

int SearchAndPrint(TZemMap& Map, const TRouteOptions& Options, std::ostream& Out, std::ostream& Err,
                   const char* Prefix) {
    const char* const NoKinds = "на карте нет видов транспорта, маршрут искать не по чему";
    TZemTransportTask& Task = Map.TransportTask();
    try {
        if (Options.Exact) {
            if (!Map.PrepareTransportSearch()) {
                Err << Prefix << NoKinds << '\n';
                return 1;
            }
            const auto Legs = Map.TransportLegs();
            for (const auto& [Start, End] : Legs)
                if (Start == -1)
                    throw ETransportTaskError(kMsgNoStartCross);
            TZemExactRoute Exact(Task);
            const TZemExactRouteResult R = Exact.FindLegs(Legs);
            if (!R.Found)
                throw ETransportTaskError(kMsgRouteNotFound);
            PrintRoute(Map, R.Route, R.Cost, Out);
            return 0;
        }
        bool Done = false;
        auto Previous = Map.OnOptimalTransportPath;
        Map.OnOptimalTransportPath = [&Done](TZemMap&, const TIntegerList&) { Done = true; };
        try {
            Map.FindTransportPath();
        } catch (...) {
            Map.OnOptimalTransportPath = Previous;
            throw;
        }
        Map.OnOptimalTransportPath = Previous;
        if (!Done) {
            Err << Prefix << NoKinds << '\n';
            return 1;
        }
        PrintRoute(Map, Task.Route, Task.RouteCost, Out);
        return 0;
    } catch (const EZemError& E) {
        Err << Prefix << E.what() << '\n';
        return 1;
    }
}

} // namespace

bool ParseRouteArgs(const std::vector<std::string>& Args, TRouteOptions& Options, std::string& Error) {
    Options = TRouteOptions{};
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& A = Args[i];
        auto Value = [&](const char* Name) -> const std::string* {
            if (i + 1 >= Args.size()) {
                Error = "параметру \"" + std::string(Name) + "\" нужно значение";
                return nullptr;
            }
            return &Args[++i];
        };
        if (A == "--help" || A == "-h") {
            Options.Help = true;
        } else if (A == "--exact") {
            Options.Exact = true;
        } else if (A == "--seed") {
            const std::string* V = Value("--seed");
            std::uint64_t Seed = 0;
            if (!V || !ParseNumber<std::uint64_t>(*V, 0, UINT64_MAX, Seed)) {
                if (V)
                    Error = "параметру \"--seed\" нужно целое число, а не \"" + *V + "\"";
                return false;
            }
            Options.Seed = Seed;
        } else if (A == "--population") {
            const std::string* V = Value("--population");
            std::int32_t N = 0;
            if (!V || !ParseNumber<std::int32_t>(*V, 2, 5000, N)) {
                if (V)
                    Error = "параметру \"--population\" нужно число от 2 до 5000, а не \"" + *V + "\"";
                return false;
            }
            Options.PopulationSize = N;
        } else if (A == "--stop-generations") {
            const std::string* V = Value("--stop-generations");
            std::int32_t N = 0;
            if (!V || !ParseNumber<std::int32_t>(*V, 1, 1000000, N)) {
                if (V)
                    Error =
                        "параметру \"--stop-generations\" нужно число от 1 до 1000000, а не \"" + *V + "\"";
                return false;
            }
            Options.StopGenerations = N;
        } else if (!A.empty() && A[0] == '-') {
            Error = "неизвестный параметр \"" + A + "\"";
            return false;
        } else if (Options.File.empty()) {
            Options.File = A;
        } else {
            Error = "лишний аргумент \"" + A + "\": нужен один файл карты";
            return false;
        }
    }
    if (Options.File.empty() && !Options.Help) {
        Error = "не указан файл карты";
        return false;
    }
    return true;
}

int RunRouteCommand(TZemMap& Map, const TRouteOptions& Options, std::ostream& Out, std::ostream& Err) {
    const char* const Prefix = "zemmap-cli route: ";
    TZemTransportTask& Task = Map.TransportTask();
    if (Options.Seed)
        Task.SetRandom(std::make_unique<TZemRandom>(*Options.Seed));
    if (Options.PopulationSize)
        Task.SetPopulationSize(*Options.PopulationSize);
    if (Options.StopGenerations)
        Task.SetStopGenerations(*Options.StopGenerations);
    const int Code = SearchAndPrint(Map, Options, Out, Err, Prefix);
    // Reported after the answer, once per file, rather than once per generation.
    for (const std::string& Warning : Task.DumpWarnings())
        Err << Prefix << "предупреждение: " << Warning << '\n';
    return Code;
}

int CmdRoute(const TCliArgs& Args) {
    TRouteOptions Options;
    std::string Error;
    if (!ParseRouteArgs(Args, Options, Error)) {
        std::cerr << "zemmap-cli route: " << Error << '\n' << kRouteUsage;
        return 2;
    }
    if (Options.Help) {
        std::cout << kRouteUsage;
        return 0;
    }
    HeadlessHost Host; // answers the transport choice with every kind
    TZemMap Map(Host);
    if (!LoadMapFor("route", Map, Host, Options.File))
        return 1;
    return RunRouteCommand(Map, Options, std::cout, std::cerr);
}

} // namespace zem
