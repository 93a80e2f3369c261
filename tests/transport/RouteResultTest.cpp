// The result of a route search: the tree of stretches built from a route, the stretch a node stands for,
// and the exact search chosen in the search dialog.
#include "NetworkFixture.h"

#include "transport/ZemExactRoute.h"
#include "transport/ZemRouteAnswer.h"

#include <random>

using namespace zem;
using namespace zemtest;

namespace {

struct RouteResultTest : NetworkFixture {
    TAnswere Answere;
    std::vector<ZemString> Nodes;

    std::vector<std::string> Texts() const {
        std::vector<std::string> T;
        for (const ZemString& N : Nodes)
            T.push_back(ToUtf8(N));
        return T;
    }
};

} // namespace

TEST_F(RouteResultTest, OneRouteFromStartToEndIsOneNodeWithoutTheEndJunctions) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0), D = Junction(30, 0);
    const auto AB = Segment(A, B, 1, "12"), BC = Segment(B, C, 1, "12"), CD = Segment(C, D, 1, "12");
    // A search's route holds no last junction.
    BuildAnswere(Map, Path({A, AB, B, BC, C, CD}), Answere, Nodes);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Автобус 12"}));
    EXPECT_EQ(Items(StretchIDs(Answere, 0)), (std::vector<std::int32_t>{AB, B, BC, C, CD}));
    EXPECT_EQ(Answere.Get(0).NodeIndex, -1);
    TIntegerList Segments;
    AppendRouteSegments(Path({A, AB, B, BC, C, CD}), Segments);
    EXPECT_EQ(Items(Segments), (std::vector<std::int32_t>{AB, BC, CD}));
}

TEST_F(RouteResultTest, EmptyNamesShowTheKindAloneAndUnknownKindsDoNotFail) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0), D = Junction(30, 0),
               E = Junction(40, 0), F = Junction(50, 0);
    const auto AB = Segment(A, B, 0, ""), BC = Segment(B, C, 1, ""), CD = Segment(C, D, -1, ""),
               DE = Segment(D, E, 42, "7"), EF = Segment(E, F, 1, "");
    BuildAnswere(Map, Path({A, AB, B, BC, C, CD, D, DE, E, EF}), Answere, Nodes);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Пешком", "Автобус", "Не задан", "Не задан 7", "Автобус"}));
    EXPECT_EQ(Items(StretchIDs(Answere, 2)), (std::vector<std::int32_t>{CD, D}));
    EXPECT_EQ(Items(StretchIDs(Answere, 4)), (std::vector<std::int32_t>{EF}));
}

// Over many random routes: a node starts exactly where kind or name changes from the segment before, each
// element belongs to the node of the last segment at or before it, and a node's text is its kind's name
// with the route name.
TEST_F(RouteResultTest, NodesFollowEveryChangeOfKindOrNameOnRandomRoutes) {
    const std::vector<std::pair<std::int32_t, std::string>> Routes = {{0, ""},   {1, "12"}, {1, "5"}, {1, ""},
                                                                      {2, "12"}, {-1, ""},  {-1, "x"}};
    std::mt19937 Random(20);
    for (int Round = 0; Round < 60; ++Round) {
        const int Length = 1 + static_cast<int>(Random() % 9);
        TIntegerList Route;
        std::vector<size_t> Kinds;
        std::int32_t Previous = Junction(0, static_cast<float>(Round));
        Route.Add(Previous);
        for (int i = 0; i < Length; ++i) {
            const size_t k = Random() % Routes.size();
            const std::int32_t Next = Junction(static_cast<float>(i + 1) * 10, static_cast<float>(Round));
            Route.Add(Segment(Previous, Next, Routes[k].first, Routes[k].second));
            Kinds.push_back(k);
            if (i + 1 < Length || Random() % 2)
                Route.Add(Next); // a route may or may not end with its last junction
            Previous = Next;
        }
        BuildAnswere(Map, Route, Answere, Nodes);
        ASSERT_EQ(Answere.Count(), Route.Count());
        std::int32_t Node = -1;
        for (int i = 0; i < Length; ++i) {
            const auto& [Type, Name] = Routes[Kinds[static_cast<size_t>(i)]];
            if (i == 0 ||
                Routes[Kinds[static_cast<size_t>(i - 1)]] != Routes[Kinds[static_cast<size_t>(i)]]) {
                ++Node;
                const std::string Kind = Type == 0   ? "Пешком"
                                         : Type == 1 ? "Автобус"
                                         : Type == 2 ? "Троллейбус"
                                                     : "Не задан";
                ASSERT_LT(static_cast<size_t>(Node), Nodes.size());
                EXPECT_EQ(ToUtf8(Nodes[static_cast<size_t>(Node)]), Name.empty() ? Kind : Kind + " " + Name);
            }
            EXPECT_EQ(Answere.Get(2 * i + 1).NodeIndex, Node);
            EXPECT_EQ(Answere.Get(2 * i + 1).TransportType, Type);
            if (2 * i + 2 < Answere.Count()) {
                EXPECT_EQ(Answere.Get(2 * i + 2).NodeIndex, Node);
            }
        }
        EXPECT_EQ(static_cast<std::int32_t>(Nodes.size()), Node + 1);
        EXPECT_EQ(Answere.Get(0).NodeIndex, -1);
    }
}

namespace {

struct RouteMethodTest : RouteResultTest {
    TZemTransportTask& Task = Map.TransportTask();
    TTempCurrentDir Dir;
    int Improvements = 0;
    std::vector<std::int32_t> Result;

    RouteMethodTest() {
        Map.OnFindTransportPath = [this](TZemTransportTask&, std::int32_t, std::int32_t, const TIntegerList&,
                                         const TIntegerList&) { ++Improvements; };
        Map.OnOptimalTransportPath = [this](TZemMap&, const TIntegerList& A) { Result = Items(A); };
        Task.SetRandom(std::make_unique<TZemRandom>(3));
        Task.SetStopGenerations(30);
    }
};

} // namespace

TEST_F(RouteMethodTest, ExactChoiceFindsTheCheapestRouteAndIsOfferedAgain) {
    Grid(5, 5);
    for (TXYPoint P : {TXYPoint{0, 0}, TXYPoint{400, 400}, TXYPoint{0, 400}})
        Map.Net.RoutePoints.Add(P);
    EXPECT_EQ(Map.Net.RouteMethod, TZemRouteMethod::rmGenetic); // the first search is the classic one
    Map.FindTransportPath();
    const long double Genetic = Task.RouteCost;
    ASSERT_FALSE(Result.empty());

    Host.MethodAnswers.push_back(TZemRouteMethod::rmExact);
    Improvements = 0;
    Map.FindTransportPath();
    EXPECT_EQ(Map.Net.RouteMethod, TZemRouteMethod::rmExact);
    EXPECT_EQ(Improvements, 2); // one report per leg, as the window shows the genetic search's
    EXPECT_LE(Task.RouteCost, Genetic);
    TZemExactRoute Reference(Task);
    const TZemExactRouteResult R = Reference.FindLegs(Map.TransportLegs());
    ASSERT_TRUE(R.Found);
    EXPECT_EQ(Result, Items(R.Route));
    EXPECT_EQ(Task.RouteCost, R.Cost);

    // Not answered this time: the last choice stands.
    Improvements = 0;
    Map.FindTransportPath();
    EXPECT_EQ(Map.Net.RouteMethod, TZemRouteMethod::rmExact);
    EXPECT_EQ(Improvements, 2);
    EXPECT_EQ(Result, Items(R.Route));
}

TEST_F(RouteMethodTest, ExactChoiceReportsAnUnreachableEnd) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Junction(500, 500);
    Segment(A, B, 1, "12");
    for (TXYPoint P : {TXYPoint{0, 0}, TXYPoint{500, 500}})
        Map.Net.RoutePoints.Add(P);
    Host.MethodAnswers.push_back(TZemRouteMethod::rmExact);
    EXPECT_THROW(Map.FindTransportPath(), ETransportTaskError);
    EXPECT_TRUE(Result.empty());
}
