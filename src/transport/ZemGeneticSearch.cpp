// The genetic search of one leg: walks, cost, crossover, mutation, regeneration and the generation loop.
#include "transport/ZemGeneticSearch.h"

#include "platform/ZemHost.h"

#include <algorithm>
#include <limits>

namespace zem {

const char* const kMsgNoStartCross = "Не задана или не найдена начальная точка поиска";
const char* const kMsgNoEndCross = "Не задана или не найдена конечная точка поиска";
const char* const kMsgRouteNotFound =
    "Оптимальный или близкий к оптимальному маршрут не найден! Возможно на карте не задана транспортная "
    "сеть или точки находятся в разных компонентах связности";
const char* const kMsgSearchRunning = "Поиск маршрута уже выполняется";
const char* const kMsgSearchCleared = "Поиск маршрута прерван: карта очищена";

namespace {

// Copies the elements [From, To] of Source onto the end of Dest.
void AppendRange(TIntegerList& Dest, const TIntegerList& Source, std::int32_t From, std::int32_t To) {
    for (std::int32_t i = From; i <= To; ++i)
        Dest.Add(Source[i]);
}

} // namespace

TZemTransportTask::TZemTransportTask() : FRandom(std::make_unique<TZemRandom>()) {}

void TZemTransportTask::SetRandom(std::unique_ptr<TZemRandom> Random) {
    if (Random)
        FRandom = std::move(Random);
}

void TZemTransportTask::ClearPopulation() {
    if (FRunning)
        return; // the running leg owns its population
    Population.clear();
}

void TZemTransportTask::Clear() {
    if (FRunning) {
        // Called from the window while a leg runs (the map is being cleared): the loop stops after this
        // generation and clears then, so nothing it still holds goes away under it.
        FClearPending = true;
        FRunning = false;
        return;
    }
    FinishClear();
}

void TZemTransportTask::FinishClear() {
    FClearPending = false;
    Population.clear();
    Graph.Clear();
    FSegments.clear();
    FRouteKeys.clear();
    FRouteWeights.clear();
    FWeightsDirty = true;
    Penalties.clear();
    SelectedTransports.Clear();
    FStartCross = -1;
    FEndCross = -1;
}

void TZemTransportTask::ClearGraph() {
    Graph.Clear();
    FSegments.clear();
}

void TZemTransportTask::AddSegment(std::int32_t SegmentID, long double Length, std::int32_t TransportType,
                                   const ZemString& Name) {
    FSegments[SegmentID] = TZemSegmentInfo{Length, TransportType, Name, RouteKeyOf(TransportType, Name)};
}

const TZemSegmentInfo& TZemTransportTask::SegmentInfo(std::int32_t SegmentID) {
    auto It = FSegments.find(SegmentID);
    if (It != FSegments.end())
        return It->second;
    if (SegmentLookup)
        if (std::optional<TZemSegmentInfo> Found = SegmentLookup(SegmentID)) {
            Found->RouteKey = RouteKeyOf(Found->TransportType, Found->Name);
            return FSegments[SegmentID] = std::move(*Found);
        }
    throw ETransportTaskError("Отрезок транспортной сети " + std::to_string(SegmentID) +
                              " не найден на карте");
}

void TZemTransportTask::AddPenalty(std::int32_t TransportType, const ZemString& Name, float Weight) {
    Penalties.push_back(TPenalty{TransportType, Name, Weight});
    FWeightsDirty = true;
}

bool TZemTransportTask::HasPenalty(std::int32_t TransportType, const ZemString& Name) const {
    for (const TPenalty& P : Penalties)
        if (P.TransportType == TransportType && P.Name == Name)
            return true;
    return false;
}

float TZemTransportTask::PenaltyWeight(std::int32_t TransportType, const ZemString& Name) const {
    for (const TPenalty& P : Penalties)
        if (P.TransportType == TransportType && P.Name == Name)
            return P.Weight;
    return 1.0f;
}

void TZemTransportTask::SetStartCross(std::int32_t Value) {
    if (!FRunning)
        FStartCross = Value;
}

void TZemTransportTask::SetEndCross(std::int32_t Value) {
    if (!FRunning)
        FEndCross = Value;
}

void TZemTransportTask::SetPopulationSize(std::int32_t Value) {
    FPopulationSize = std::clamp(Value, kMinPopulationSize, kMaxPopulationSize);
}

std::int32_t TZemTransportTask::RouteKeyOf(std::int32_t TransportType, const ZemString& Name) {
    auto [It, Inserted] =
        FRouteKeys.try_emplace({TransportType, Name}, static_cast<std::int32_t>(FRouteKeys.size()));
    if (Inserted)
        FWeightsDirty = true;
    return It->second;
}

float TZemTransportTask::RouteWeight(std::int32_t RouteKey) {
    if (FWeightsDirty) {
        FRouteWeights.assign(FRouteKeys.size(), 1.0f);
        for (const auto& [Route, Key] : FRouteKeys)
            FRouteWeights[static_cast<size_t>(Key)] = PenaltyWeight(Route.first, Route.second);
        FWeightsDirty = false;
    }
    return FRouteWeights[static_cast<size_t>(RouteKey)];
}

long double TZemTransportTask::RouteLength(const TIntegerList& Path) {
    if (Path.Count() < 3)
        return 0.0L;
    long double Sum = 0.0L;
    for (std::int32_t i = 1; i < Path.Count(); i += 2)
        Sum += SegmentInfo(Path[i]).Length;
    return Sum;
}

long double TZemTransportTask::WalkLength(const TIntegerList& Path) {
    if (Path.Count() < 3)
        return 0.0L;
    long double Sum = 0.0L;
    for (std::int32_t i = 1; i < Path.Count(); i += 2) {
        const TZemSegmentInfo& S = SegmentInfo(Path[i]);
        if (S.TransportType == 0)
            Sum += S.Length;
    }
    return Sum;
}

long double TZemTransportTask::Fitness(const TIntegerList& Path) {
    const std::int32_t n = Path.Count();
    if (n < 3)
        return 0.0L;
    long double Cost = 0.0L;
    if (n == 3) {
        Cost = RouteLength(Path); // a single segment costs its bare length
    } else {
        std::int32_t Route = SegmentInfo(Path[1]).RouteKey;
        std::int32_t Change = 2;
        for (std::int32_t i = 3; i < n; i += 2) {
            const TZemSegmentInfo& S = SegmentInfo(Path[i]);
            const long double Weighted = S.Length * static_cast<long double>(RouteWeight(S.RouteKey));
            if (S.RouteKey == Route) {
                Cost += Weighted;
            } else {
                Cost += Weighted * Change;
                ++Change;
                Route = S.RouteKey;
            }
        }
    }
    return Cost + WalkLength(Path);
}

bool TZemTransportTask::BuildPath(std::int32_t Current, TIntegerList& Path, TZemVisited& Visited) {
    if (Path.Count() == 0)
        Path.Add(FStartCross);
    std::vector<std::int32_t> Candidates;
    while (true) {
        if (FRandom->Uniform(5) == 0)
            FRandom->Reseed();
        if (Current == FEndCross)
            return true;
        Visited.Mark(Graph.IndexOf(Current));
        Candidates.clear();
        if (const TZemEdgeTables* E = Graph.Edges(Current))
            for (std::int32_t k = 0; k < E->Neighbours.Count(); ++k)
                if (!Visited.Has(E->NeighbourIndex[static_cast<size_t>(k)]))
                    Candidates.push_back(k);
        if (!Candidates.empty()) {
            const TZemEdgeTables& E = *Graph.Edges(Current);
            const std::int32_t k = Candidates[static_cast<size_t>(
                FRandom->Uniform(static_cast<std::int32_t>(Candidates.size())))];
            Path.Add(E.Segments[k]);
            Path.Add(E.Neighbours[k]);
            Current = E.Neighbours[k];
            continue;
        }
        // Dead end. Back at the start only when it has no untried neighbour left: a start whose first
        // branch is a cul-de-sac still reaches the end through its others.
        if (Path.Count() < 3)
            return false;
        Path.RemoveRange(Path.Count() - 2, 2);
        Current = Path[Path.Count() - 1];
    }
}

bool TZemTransportTask::InitPopulation() {
    FBestFitness = -1.0L;
    Population.clear();
    Population.reserve(static_cast<size_t>(FPopulationSize));
    for (std::int32_t n = 0; n < FPopulationSize; ++n) {
        TZemChromosome C;
        TZemVisited Visited = NewVisited();
        if (!BuildPath(FStartCross, C.Path, Visited))
            return false;
        C.Fitness = Fitness(C.Path);
        Population.push_back(std::move(C));
        const long double F = Population.back().Fitness;
        if (F < FBestFitness || FBestFitness == -1.0L) {
            FBestFitness = F;
            FBestIndex = n;
        }
    }
    return true;
}

void TZemTransportTask::ReplaceWorst(const TZemChromosome& Child) {
    if (Population.empty())
        return;
    size_t Worst = 0;
    for (size_t i = 1; i < Population.size(); ++i)
        if (Population[i].Fitness > Population[Worst].Fitness)
            Worst = i;
    if (Child.Fitness < Population[Worst].Fitness) {
        Population[Worst].Path.Assign(Child.Path);
        Population[Worst].Fitness = Child.Fitness;
    }
    size_t Best = 0;
    for (size_t i = 1; i < Population.size(); ++i)
        if (Population[i].Fitness < Population[Best].Fitness)
            Best = i;
    FBestIndex = static_cast<std::int32_t>(Best);
    FBestFitness = Population[Best].Fitness;
}

bool TZemTransportTask::Crossover(TZemChromosome& Child1, TZemChromosome& Child2) {
    Child1.Path.Clear();
    Child2.Path.Clear();
    const std::int32_t Size = static_cast<std::int32_t>(Population.size());
    if (Size < 2)
        return false;
    const std::int32_t P1 = FRandom->Uniform(Size);
    std::int32_t P2;
    do
        P2 = FRandom->Uniform(Size);
    while (P2 == P1);
    const TIntegerList& A = Population[static_cast<size_t>(P1)].Path;
    const TIntegerList& B = Population[static_cast<size_t>(P2)].Path;
    const std::int32_t m = A.Count() - 1;
    const std::int32_t n = B.Count() - 1;
    std::int32_t i = 2 * FRandom->Uniform(A.Count() / 2);
    const std::int32_t a = 2 * FRandom->Uniform(B.Count() / 2);

    // The inner junctions of B at or after a, by junction and then position: the first match of a
    // junction is then one binary search away instead of a scan of B.
    std::vector<std::pair<std::int32_t, std::int32_t>> Inner;
    for (std::int32_t j = std::max(a, 2); j < n; j += 2)
        Inner.emplace_back(B[j], j);
    std::sort(Inner.begin(), Inner.end());

    for (; i < m; i += 2) {
        if (i == 0)
            continue;
        auto It = std::lower_bound(Inner.begin(), Inner.end(),
                                   std::make_pair(A[i], std::numeric_limits<std::int32_t>::min()));
        if (It == Inner.end() || It->first != A[i])
            continue;
        const std::int32_t j = It->second;
        AppendRange(Child1.Path, A, 0, i);
        AppendRange(Child1.Path, B, j + 1, n);
        AppendRange(Child2.Path, B, 0, j);
        AppendRange(Child2.Path, A, i + 1, m);
        Child1.Fitness = Fitness(Child1.Path);
        Child2.Fitness = Fitness(Child2.Path);
        DumpChromosome("Child1.txt", Child1);
        DumpChromosome("Child2.txt", Child2);
        return true;
    }
    return false;
}

void TZemTransportTask::Mutate(TZemChromosome& Chromosome) {
    if (FRandom->Uniform(101) >= 50)
        return;
    const TIntegerList& P = Chromosome.Path;
    const std::int32_t L = P.Count();
    for (std::int32_t i = 0; i < L; i += 2) {
        const TZemEdgeTables* E = Graph.Edges(P[i]);
        if (!E)
            continue;
        for (std::int32_t j = i + 2; j < L; j += 2) {
            const std::int32_t k = E->Neighbours.IndexOf(P[j]);
            if (k < 0)
                continue;
            TIntegerList Mutant;
            AppendRange(Mutant, P, 0, i);
            Mutant.Add(E->Segments[k]);
            AppendRange(Mutant, P, j, L - 1);
            Chromosome.Path.Assign(Mutant);
            Chromosome.Fitness = Fitness(Chromosome.Path);
            DumpChromosome("Mutation1.txt", Chromosome);
            return;
        }
    }
}

void TZemTransportTask::Regenerate() {
    const std::int32_t Size = static_cast<std::int32_t>(Population.size());
    // The largest number of chromosomes sharing one fitness.
    std::vector<long double> F;
    F.reserve(Population.size());
    for (const TZemChromosome& C : Population)
        F.push_back(C.Fitness);
    std::sort(F.begin(), F.end());
    std::int32_t Most = 0;
    for (size_t i = 0; i < F.size();) {
        size_t k = i;
        while (k < F.size() && F[k] == F[i])
            ++k;
        Most = std::max(Most, static_cast<std::int32_t>(k - i));
        i = k;
    }
    if (Size >= 2 && Most * 100.0 / Size >= 50.0) {
        std::int32_t s, e;
        do {
            s = FRandom->Uniform(Size);
            e = FRandom->Uniform(Size);
        } while (!(e > s && e - s >= Size / 2));
        for (std::int32_t i = s; i <= e; ++i) {
            if (i == FBestIndex)
                continue;
            // A walk that fails leaves the old chromosome in place: a path without a segment is no route.
            TIntegerList Path;
            TZemVisited Visited = NewVisited();
            if (!BuildPath(FStartCross, Path, Visited))
                continue;
            TZemChromosome& C = Population[static_cast<size_t>(i)];
            C.Path.Assign(Path);
            C.Fitness = Fitness(C.Path);
        }
    }
    DumpPopulation("Regeneration.txt");
}

void TZemTransportTask::Execute() {
    if (FRunning)
        throw ETransportTaskError(kMsgSearchRunning); // the running leg is left alone
    FRunning = true;
    FStopped = false;
    struct TRunningGuard {
        TZemTransportTask& Task;
        ~TRunningGuard() {
            Task.FRunning = false;
            if (Task.FClearPending)
                Task.FinishClear();
        }
    } Guard{*this};

    if (FStartCross == -1)
        throw ETransportTaskError(kMsgNoStartCross);
    if (FEndCross == -1)
        throw ETransportTaskError(kMsgNoEndCross);
    FRandom->Reseed();
    if (!InitPopulation())
        throw ETransportTaskError(kMsgRouteNotFound);
    DumpPopulation("_StartPopulation.txt");
    FStagnantGenerations = 0;
    FGenerations = 0;
    if (FStartCross == FEndCross) {
        // Two search points nearest to one junction: the leg is the junction itself, at no cost.
        if (OnFindTransportPath)
            OnFindTransportPath(*this, FStartCross, FEndCross, Route, Population[0].Path);
    } else {
        RunGenerations();
    }
    if (FClearPending)
        throw ETransportTaskError(kMsgSearchCleared);
    DumpPopulation("_EndPopulation.txt");
}

void TZemTransportTask::RunGenerations() {
    TZemChromosome Child1, Child2;
    // Not a number: the first generation always counts as a change, even for a best cost of 0.
    long double Remembered = std::numeric_limits<long double>::quiet_NaN();
    while (FStagnantGenerations < FStopGenerations && FRunning) {
        Regenerate();
        if (Crossover(Child1, Child2)) {
            if (FRandom->Uniform(101) <= MutationPercent)
                Mutate(Child1);
            if (FRandom->Uniform(101) <= MutationPercent)
                Mutate(Child2);
            ReplaceWorst(Child1);
            ReplaceWorst(Child2);
        }
        if (FBestFitness != Remembered) {
            FBestFitness = Population[static_cast<size_t>(FBestIndex)].Fitness;
            Remembered = FBestFitness;
            FStagnantGenerations = 0;
            if (OnFindTransportPath)
                OnFindTransportPath(*this, FStartCross, FEndCross, Route,
                                    Population[static_cast<size_t>(FBestIndex)].Path);
        } else {
            ++FStagnantGenerations;
        }
        ++FGenerations;
        if (OnGenerations)
            OnGenerations(*this, FGenerations, FStagnantGenerations);
        if (Host)
            Host->ProcessMessages();
        if (FClearPending)
            return;
    }
}

} // namespace zem
