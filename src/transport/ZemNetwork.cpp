// The map's route search: the transport choice, the penalty table, the graph and the legs.
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "transport/ZemExactRoute.h"
#include "transport/ZemGeneticSearch.h"
#include "transport/ZemGraphFromMap.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace zem {

namespace {

const char* const kMsgTooFewPoints = "Недостаточно точек для поиска";

// A leg without a path, told in plain words that name its two search points (counted from 1).
[[noreturn]] void ThrowNotConnected(std::size_t Leg) {
    throw ETransportTaskError("Точки " + std::to_string(Leg + 1) + " и " + std::to_string(Leg + 2) +
                              " не связаны транспортной сетью");
}

// Weights of the named routes by kind: index 0 is walking (its unnamed segments weigh 100, see below),
// buses weigh 3, trolleybuses 1, fixed-route taxis 2; every other pair weighs 1 at lookup.
constexpr struct {
    std::int32_t Type;
    float Weight;
} RouteWeights[] = {{1, 3.0f}, {2, 1.0f}, {3, 2.0f}};

} // namespace

std::int32_t TZemMap::NearestJunction(const TIntegerList& Vertices, const TXYPoint& P) const {
    std::int32_t Best = -1;
    long double BestDistance = 0.0L;
    for (std::int32_t ID : Vertices) {
        const auto* Slot = Doc.Objects.Find(ID);
        if (!Slot || (*Slot)->PointCount() == 0)
            continue;
        const TXYPoint Q = (*Slot)->Point(0);
        const long double dx = static_cast<long double>(Q.X) - P.X;
        const long double dy = static_cast<long double>(Q.Y) - P.Y;
        const long double Distance = dx * dx + dy * dy;
        if (Best == -1 || Distance < BestDistance) {
            Best = ID;
            BestDistance = Distance;
        }
    }
    return Best;
}

bool TZemMap::PrepareTransportSearch() {
    if (TransportTask().Running())
        throw ETransportTaskError(kMsgSearchRunning);
    if (Net.RoutePoints.Count() < 2)
        throw ETransportTaskError(kMsgTooFewPoints);

    const std::int32_t KindCount = static_cast<std::int32_t>(Doc.TransportTypes.size());
    std::vector<std::string> Names;
    std::vector<int> Checked;
    for (std::int32_t i = 0; i < KindCount; ++i) {
        Names.push_back(ToUtf8(Doc.TransportTypes[static_cast<size_t>(i)]));
        Checked.push_back(i); // every kind starts checked
    }
    TZemRouteMethod Method = Net.RouteMethod;
    const bool Ok = FHost.AskRouteSearch("Выбор", Names, Checked, Method);
    std::sort(Checked.begin(), Checked.end());
    Checked.erase(std::unique(Checked.begin(), Checked.end()), Checked.end());
    std::erase_if(Checked, [KindCount](int i) { return i < 0 || i >= KindCount; });
    if (!Ok || KindCount == 0)
        return false;
    Net.RouteMethod = Method; // the next search offers the same
    // Confirmed with every kind unchecked: say why nothing happens rather than ending silently.
    if (Checked.empty()) {
        FHost.ShowMessage("Выберите транспорт!", "ZemMap", TZemMsgButtons::mbOk);
        return false;
    }

    TZemTransportTask& Task = TransportTask();
    Task.Clear();
    // Forwarders, so that handlers set on the map later still hear the search.
    Task.SetOnFindTransportPath([this](TZemTransportTask& Sender, std::int32_t Index1, std::int32_t Index2,
                                       const TIntegerList& Arr, const TIntegerList& AnswereCurrent) {
        if (OnFindTransportPath)
            OnFindTransportPath(Sender, Index1, Index2, Arr, AnswereCurrent);
    });
    Task.SetOnGenerations([this](TZemTransportTask& Sender, std::int32_t TotalCount, std::int32_t ToStopGen) {
        if (OnGenerations)
            OnGenerations(Sender, TotalCount, ToStopGen);
    });
    Task.Host = &FHost;
    Task.SegmentLookup = MapSegmentLookup(*this);
    Task.Route.Clear();
    Task.RouteCost = 0.0L;

    Task.AddPenalty(0, "", 100.0f);
    for (const auto& [Type, Weight] : RouteWeights)
        for (std::int32_t ID : Doc.Order) {
            const TZemObject& S = ObjectByID(ID);
            if (S.Kind == otRoadCrossLine && S.TransportType() == Type && !Task.HasPenalty(Type, S.Text()))
                Task.AddPenalty(Type, S.Text(), Weight);
        }

    for (int i : Checked)
        Task.SelectedTransports.Add(i);
    DeriveGraph(Task, *this);
    Task.DumpGraph();
    return true;
}

std::vector<std::pair<std::int32_t, std::int32_t>> TZemMap::TransportLegs() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> Legs;
    const TIntegerList& Vertices = TransportTask().Graph.Vertices;
    for (std::int32_t i = 0; i + 1 < Net.RoutePoints.Count(); ++i)
        Legs.emplace_back(NearestJunction(Vertices, Net.RoutePoints[i]),
                          NearestJunction(Vertices, Net.RoutePoints[i + 1]));
    return Legs;
}

void TZemMap::ShowRouteHighlight(const TIntegerList& IDs) {
    Net.RouteHighlight.Assign(IDs);
    Refresh();
}

void TZemMap::FindTransportPath() {
    if (!PrepareTransportSearch())
        return;
    TZemTransportTask& Task = TransportTask();
    // The legs are fixed now: search points changed from the window during the search do not count.
    const auto Legs = TransportLegs();
    if (Net.RouteMethod == TZemRouteMethod::rmExact) {
        FindExactRoute(Legs);
    } else {
        for (std::size_t Leg = 0; Leg < Legs.size(); ++Leg) {
            Task.ClearPopulation();
            Task.SetStartCross(Legs[Leg].first);
            Task.SetEndCross(Legs[Leg].second);
            try {
                Task.Execute();
            } catch (const ETransportTaskError& E) {
                if (std::strcmp(E.what(), kMsgRouteNotFound) == 0)
                    ThrowNotConnected(Leg);
                throw;
            }
            // The leg's last junction is the next leg's first.
            const TZemChromosome& Best = Task.Population[static_cast<size_t>(Task.BestIndex())];
            for (std::int32_t i = 0; i + 1 < Best.Path.Count(); ++i)
                Task.Route.Add(Best.Path[i]);
            Task.RouteCost += Best.Fitness;
            // Escape stops the search, not only its leg: the route found up to here is the answer.
            if (Task.Stopped())
                break;
        }
    }
    if (OnOptimalTransportPath)
        OnOptimalTransportPath(*this, Task.Route);
}

void TZemMap::FindExactRoute(const std::vector<std::pair<std::int32_t, std::int32_t>>& Legs) {
    TZemTransportTask& Task = TransportTask();
    TZemExactRoute Exact(Task);
    for (std::size_t Index = 0; Index < Legs.size(); ++Index) {
        const auto [Start, End] = Legs[Index];
        if (Start == -1)
            throw ETransportTaskError(kMsgNoStartCross);
        if (End == -1)
            throw ETransportTaskError(kMsgNoEndCross);
        const TZemExactLeg Leg = Exact.Find(Start, End);
        if (!Leg.Found)
            ThrowNotConnected(Index);
        // Reported as the genetic search reports an improvement, so the window shows it the same way.
        if (Task.OnFindTransportPath)
            Task.OnFindTransportPath(Task, Start, End, Task.Route, Leg.Path);
        for (std::int32_t i = 0; i + 1 < Leg.Path.Count(); ++i)
            Task.Route.Add(Leg.Path[i]);
        Task.RouteCost += Leg.Cost;
    }
}

} // namespace zem
