#include "NetworkFixture.h"

using namespace zem;

using namespace zemtest;

namespace {

struct SearchTest : NetworkFixture {
    TZemTransportTask& Task = Map.TransportTask();
    TTempCurrentDir Dir;
    std::vector<std::int32_t> J;
    std::vector<std::pair<std::int32_t, std::int32_t>> Generations; // (TotalCount, ToStopGen)
    std::vector<std::int32_t> ImprovedAt;                           // generation count at each improvement
    int Optimal = 0;
    std::vector<std::int32_t> Answere;

    SearchTest() {
        Map.OnGenerations = [this](TZemTransportTask&, std::int32_t Total, std::int32_t ToStop) {
            Generations.emplace_back(Total, ToStop);
        };
        Map.OnFindTransportPath = [this](TZemTransportTask& T, std::int32_t, std::int32_t,
                                         const TIntegerList&,
                                         const TIntegerList&) { ImprovedAt.push_back(T.Generations()); };
        Map.OnOptimalTransportPath = [this](TZemMap&, const TIntegerList& A) {
            ++Optimal;
            Answere = Items(A);
        };
        Task.SetRandom(std::make_unique<TZemRandom>(7));
        Task.SetStopGenerations(40);
    }
    void Points(std::initializer_list<TXYPoint> P) {
        for (const TXYPoint& Q : P)
            Map.Net.RoutePoints.Add(Q);
    }
};

} // namespace

TEST_F(SearchTest, AsksForTheKindsWithEveryKindChecked) {
    J = Grid(3, 3);
    Points({{0, 0}, {200, 200}});
    Map.FindTransportPath();
    EXPECT_EQ(Host.AskCount, 1);
    EXPECT_EQ(Host.LastCaption, "Выбор");
    EXPECT_EQ(Host.LastNames.size(), 5u);
    EXPECT_EQ(Host.LastNames[1], "Автобус");
    EXPECT_EQ(Host.InitialChecked, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Items(Task.SelectedTransports), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Optimal, 1);
    EXPECT_FALSE(Task.Running());
}

TEST_F(SearchTest, CancelOrAnEmptyDirectoryOrNoKindStartsNoSearch) {
    J = Grid(2, 2);
    Points({{0, 0}, {100, 100}});
    Host.TransportAnswers.push_back({});
    Map.FindTransportPath(); // OK with nothing checked: told why, and no search
    EXPECT_EQ(Optimal, 0);
    EXPECT_EQ(Host.Messages, (std::vector<std::string>{"Выберите транспорт!"}));
    Map.Doc.TransportTypes.clear();
    Map.FindTransportPath();
    EXPECT_EQ(Optimal, 0);
    EXPECT_EQ(Host.Messages.size(), 1u); // no kinds at all: the dialog could not be confirmed
    EXPECT_TRUE(Generations.empty());
    EXPECT_FALSE(std::filesystem::exists("_Vertexs.txt"));
}

TEST_F(SearchTest, TooFewPointsOrNoJunctionRaise) {
    Points({{0, 0}});
    try {
        Map.FindTransportPath();
        FAIL();
    } catch (const ETransportTaskError& E) {
        EXPECT_STREQ(E.what(), "Недостаточно точек для поиска");
    }
    EXPECT_EQ(Host.AskCount, 0);
    Points({{10, 10}});
    try {
        Map.FindTransportPath();
        FAIL();
    } catch (const ETransportTaskError& E) {
        EXPECT_STREQ(E.what(), "Не задана или не найдена начальная точка поиска");
    }
    EXPECT_FALSE(Task.Running());
}

TEST_F(SearchTest, TaskChecksItsEndsAndClearsRunningOnEveryError) {
    J = Grid(2, 2);
    Task.SetEndCross(J[3]);
    EXPECT_THROW(Task.Execute(), ETransportTaskError);
    EXPECT_FALSE(Task.Running());
    Task.SetStartCross(J[0]);
    Task.SetEndCross(-1);
    try {
        Task.Execute();
        FAIL();
    } catch (const ETransportTaskError& E) {
        EXPECT_STREQ(E.what(), "Не задана или не найдена конечная точка поиска");
    }
    EXPECT_FALSE(Task.Running());
}

TEST_F(SearchTest, UnreachableEndIsReportedAndKeepsTheSolvedLegs) {
    const auto A = Junction(0, 0), B = Junction(100, 0), Island = Junction(1000, 0);
    Segment(A, B, 0, "");
    Points({{0, 0}, {100, 0}, {1000, 0}});
    try {
        Map.FindTransportPath();
        FAIL();
    } catch (const ETransportTaskError& E) {
        EXPECT_STREQ(E.what(), "Точки 2 и 3 не связаны транспортной сетью"); // the second leg
    }
    EXPECT_FALSE(Task.Running());
    EXPECT_EQ(Task.Route.Count(), 2); // the first leg: A and its segment
    EXPECT_EQ(Optimal, 0);
    (void)Island;
}

TEST_F(SearchTest, GenerationsCountFromOneAndStagnationRestartsAtEachImprovement) {
    J = Grid(4, 4);
    Points({{0, 0}, {300, 300}});
    Task.SetStopGenerations(30);
    Map.FindTransportPath();
    ASSERT_FALSE(Generations.empty());
    ASSERT_FALSE(ImprovedAt.empty());
    for (size_t i = 0; i < Generations.size(); ++i)
        EXPECT_EQ(Generations[i].first, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(Generations[0].second, 0); // the first generation always counts as a change
    for (std::int32_t G : ImprovedAt)
        EXPECT_EQ(Generations[static_cast<size_t>(G)].second, 0); // reported before the count goes up
    for (size_t i = 1; i < Generations.size(); ++i)
        if (Generations[i].second != 0) {
            EXPECT_EQ(Generations[i].second, Generations[i - 1].second + 1);
        }
    EXPECT_EQ(Generations.back().second, 30);
    EXPECT_EQ(Host.ProcessMessagesCount, static_cast<int>(Generations.size()));
}

TEST_F(SearchTest, EscapeFromTheWindowEndsTheSearchAfterTheRunningGeneration) {
    J = Grid(4, 4);
    Points({{0, 0}, {300, 300}, {0, 300}});
    Task.SetStopGenerations(100000);
    int Pumps = 0;
    Host.OnProcessMessages = [&] {
        if (++Pumps % 5 == 0)
            Map.KeyDown(vk::Escape, 0); // as a user stops it from the window
    };
    Map.FindTransportPath();
    EXPECT_EQ(Generations.size(), 5u); // five generations of the first leg; the second is not started
    EXPECT_EQ(Optimal, 1);             // the route found up to the stop is the answer
    EXPECT_FALSE(Task.Running());
    EXPECT_TRUE(Task.Stopped());
    ASSERT_GE(Answere.size(), 3u);
    EXPECT_EQ(Answere.front(), J[0]);
    EXPECT_EQ(Answere.size() % 2, 0u); // the first leg alone, without its last junction
    // The next search runs to its end again.
    Host.OnProcessMessages = nullptr;
    Task.SetStopGenerations(20);
    Map.FindTransportPath();
    EXPECT_FALSE(Task.Stopped());
    EXPECT_EQ(Optimal, 2);
}

TEST_F(SearchTest, ASecondSearchWhileOneRunsIsRefusedAndLeavesTheFirstAlone) {
    J = Grid(3, 3);
    Points({{0, 0}, {200, 200}});
    Task.SetStopGenerations(20);
    std::vector<std::string> Refusals;
    Host.OnProcessMessages = [&] {
        if (!Refusals.empty())
            return;
        try {
            Map.FindTransportPath();
        } catch (const ETransportTaskError& E) {
            Refusals.push_back(E.what());
        }
        try {
            Task.Execute();
        } catch (const ETransportTaskError& E) {
            Refusals.push_back(E.what());
        }
        EXPECT_TRUE(Task.Running());
    };
    Map.FindTransportPath();
    ASSERT_EQ(Refusals.size(), 2u);
    EXPECT_EQ(Refusals[0], "Поиск маршрута уже выполняется");
    EXPECT_EQ(Refusals[1], "Поиск маршрута уже выполняется");
    EXPECT_EQ(Host.AskCount, 1);
    EXPECT_EQ(Optimal, 1);
    EXPECT_FALSE(Task.Running());
}

TEST_F(SearchTest, ClearingTheMapDuringASearchEndsItWithAnError) {
    J = Grid(3, 3);
    Points({{0, 0}, {200, 200}});
    Task.SetStopGenerations(1000);
    Host.OnProcessMessages = [&] {
        if (Host.ProcessMessagesCount == 3)
            Map.Clear(); // "Новый" pressed from the window
    };
    try {
        Map.FindTransportPath();
        FAIL();
    } catch (const ETransportTaskError& E) {
        EXPECT_STREQ(E.what(), "Поиск маршрута прерван: карта очищена");
    }
    EXPECT_EQ(Generations.size(), 3u);
    EXPECT_FALSE(Task.Running());
    EXPECT_EQ(Task.Graph.VertexCount(), 0);
    EXPECT_TRUE(Task.Population.empty());
    EXPECT_EQ(Task.StartCross(), -1);
    EXPECT_EQ(Optimal, 0);
}

TEST_F(SearchTest, LegThatStartsWhereItEndsIsTheJunctionAlone) {
    J = Grid(3, 3);
    Points({{0, 0}, {10, 10}, {200, 0}});
    Map.FindTransportPath();
    ASSERT_EQ(Optimal, 1);
    ASSERT_GE(Answere.size(), 3u);
    EXPECT_EQ(Answere[0], J[0]);
    EXPECT_EQ(ImprovedAt.front(), 0); // the trivial leg reports itself once, with no generation
    // The route is the second leg alone: it starts at J[0] and ends just before J[2].
    const TZemObject& Last = Map.ObjectByID(Answere.back());
    EXPECT_EQ(Last.Kind, otRoadCrossLine);
    EXPECT_TRUE(Last.StartCrossID == J[2] || Last.EndCrossID == J[2]);
}

TEST_F(SearchTest, AFixedSeedGivesTheSameRouteEveryRun) {
    J = Grid(5, 5);
    Points({{0, 0}, {400, 400}, {400, 0}});
    Map.FindTransportPath();
    const auto First = Answere;
    const long double Cost = Task.RouteCost;
    Task.SetRandom(std::make_unique<TZemRandom>(7));
    Map.FindTransportPath();
    EXPECT_EQ(Answere, First);
    EXPECT_EQ(Task.RouteCost, Cost);
    // The route is a walk: consecutive elements are joined in the graph.
    for (size_t i = 0; i + 2 < Answere.size(); i += 2) {
        const TZemObject& S = Map.ObjectByID(Answere[i + 1]);
        EXPECT_TRUE((S.StartCrossID == Answere[i] && S.EndCrossID == Answere[i + 2]) ||
                    (S.EndCrossID == Answere[i] && S.StartCrossID == Answere[i + 2]));
    }
}

TEST_F(SearchTest, ImprovementsOfALaterLegSeeTheLegsAlreadySolved) {
    J = Grid(3, 3);
    Points({{0, 0}, {200, 0}, {200, 200}});
    std::vector<std::pair<std::int32_t, std::int32_t>> Seen; // (leg start, Arr count)
    Map.OnFindTransportPath = [&](TZemTransportTask&, std::int32_t Index1, std::int32_t Index2,
                                  const TIntegerList& Arr, const TIntegerList& Current) {
        Seen.emplace_back(Index1, Arr.Count());
        EXPECT_EQ(Current[0], Index1);
        EXPECT_EQ(Current[Current.Count() - 1], Index2);
    };
    Map.FindTransportPath();
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen.front(), std::make_pair(J[0], 0));
    EXPECT_EQ(Seen.back().first, J[2]);
    EXPECT_GE(Seen.back().second, 2); // the first leg's walk without its last junction
    EXPECT_EQ(Seen.back().second % 2, 0);
}
