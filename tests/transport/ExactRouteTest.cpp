#include "NetworkFixture.h"

#include "transport/ZemExactRoute.h"

#include <cmath>
#include <limits>
#include <random>

using namespace zem;

using namespace zemtest;

namespace {

struct ExactRouteTest : NetworkFixture {
    TZemTransportTask& Task = Map.TransportTask();
    TTempCurrentDir Dir;

    void Prepare() {
        Map.Net.RoutePoints.Clear();
        Map.Net.RoutePoints.Add({0, 0});
        Map.Net.RoutePoints.Add({1, 1});
        ASSERT_TRUE(Map.PrepareTransportSearch());
    }

    // The cheapest walk by brute force: every walk of at most MaxSegments segments that never re-enters
    // Start and stops at its first arrival at End.
    long double Enumerate(std::int32_t Start, std::int32_t End, int MaxSegments) {
        long double Best = std::numeric_limits<long double>::infinity();
        TIntegerList P;
        P.Add(Start);
        Walk(Start, Start, End, MaxSegments, P, Best);
        return Best;
    }
    void Walk(std::int32_t At, std::int32_t Start, std::int32_t End, int Left, TIntegerList& P,
              long double& Best) {
        if (At == End && P.Count() > 1) {
            Best = std::min(Best, Task.Fitness(P));
            return;
        }
        const TZemEdgeTables* E = Task.Graph.Edges(At);
        if (!E || Left == 0)
            return;
        for (std::int32_t k = 0; k < E->Neighbours.Count(); ++k) {
            if (E->Neighbours[k] == Start)
                continue;
            P.Add(E->Segments[k]);
            P.Add(E->Neighbours[k]);
            Walk(E->Neighbours[k], Start, End, Left - 1, P, Best);
            P.RemoveRange(P.Count() - 2, 2);
        }
    }

    void RandomNetwork(std::uint32_t Seed, int Junctions, int Segments) {
        std::mt19937 R(Seed);
        std::vector<std::int32_t> J;
        J.reserve(static_cast<std::size_t>(Junctions));
        for (int i = 0; i < Junctions; ++i)
            J.push_back(Junction(static_cast<float>(R() % 100), static_cast<float>(R() % 100)));
        const char* Names[] = {"", "1", "2"};
        for (int i = 0; i < Segments; ++i) {
            const std::int32_t A = J[R() % J.size()], B = J[R() % J.size()];
            Segment(A, B, static_cast<std::int32_t>(R() % 4), Names[R() % 3],
                    static_cast<std::uint8_t>(R() % 3),
                    {{static_cast<float>(R() % 100), static_cast<float>(R() % 100)}});
        }
    }
};

} // namespace

TEST_F(ExactRouteTest, EqualsTheOptimumFoundByEnumeration) {
    int Compared = 0;
    for (std::uint32_t Seed = 1; Seed <= 12; ++Seed) {
        Map.Clear();
        RandomNetwork(Seed, 6, 11);
        Prepare();
        TZemExactRoute Exact(Task);
        for (std::int32_t Start : Task.Graph.Vertices)
            for (std::int32_t End : Task.Graph.Vertices) {
                if (Start == End)
                    continue;
                const long double Brute = Enumerate(Start, End, 8);
                const TZemExactLeg Leg = Exact.Find(Start, End);
                ASSERT_EQ(Leg.Found, std::isfinite(static_cast<double>(Brute)))
                    << Seed << ": " << Start << "->" << End;
                if (!Leg.Found)
                    continue;
                ++Compared;
                EXPECT_NEAR(static_cast<double>(Leg.Cost), static_cast<double>(Brute),
                            1e-9 * static_cast<double>(Brute))
                    << Seed << ": " << Start << "->" << End;
                EXPECT_EQ(Leg.Path[0], Start);
                EXPECT_EQ(Leg.Path[Leg.Path.Count() - 1], End);
                for (std::int32_t i = 1; i < Leg.Path.Count(); ++i) {
                    EXPECT_NE(Leg.Path[i], Start);
                    if (i + 1 < Leg.Path.Count()) {
                        EXPECT_NE(Leg.Path[i], End);
                    }
                }
            }
    }
    EXPECT_GT(Compared, 100);
}

TEST_F(ExactRouteTest, AShortOutAndBackCanBeatTheDirectWalk) {
    const auto S = Junction(0, 0), V = Junction(1, 0), U = Junction(1, 1), E = Junction(1001, 0);
    const auto SV = Segment(S, V, 0, "p"), VU = Segment(V, U, 1, "7"), VE = Segment(V, E, 1, "7");
    Prepare();
    // Direct: 1000 x 3 x 2 + 1 walking = 6001. Out and back: the change is taken on the short segment,
    // 1 x 3 x 2 + 1 x 3 + 1000 x 3 + 1 = 3010.
    EXPECT_DOUBLE_EQ(static_cast<double>(Task.Fitness(Path({S, SV, V, VE, E}))), 6001.0);
    TZemExactRoute Exact(Task);
    const TZemExactLeg Leg = Exact.Find(S, E);
    ASSERT_TRUE(Leg.Found);
    EXPECT_EQ(Items(Leg.Path), (std::vector<std::int32_t>{S, SV, V, VU, U, VU, V, VE, E}));
    EXPECT_DOUBLE_EQ(static_cast<double>(Leg.Cost), 3010.0);
}

TEST_F(ExactRouteTest, SingleSegmentTrivialAndUnreachableLegs) {
    const auto A = Junction(0, 0), B = Junction(30, 40), C = Junction(100, 100);
    const auto AB = Segment(A, B, 1, "12");
    Prepare();
    TZemExactRoute Exact(Task);
    TZemExactLeg Leg = Exact.Find(A, B);
    ASSERT_TRUE(Leg.Found);
    EXPECT_EQ(Items(Leg.Path), (std::vector<std::int32_t>{A, AB, B}));
    EXPECT_DOUBLE_EQ(static_cast<double>(Leg.Cost), 50.0);
    Leg = Exact.Find(A, A);
    EXPECT_TRUE(Leg.Found);
    EXPECT_EQ(Items(Leg.Path), (std::vector<std::int32_t>{A}));
    EXPECT_EQ(Leg.Cost, 0.0L);
    EXPECT_FALSE(Exact.Find(A, C).Found);
    EXPECT_FALSE(Exact.Find(A, 9999).Found);
    EXPECT_FALSE(Exact.Find(-1, B).Found);
    const TZemExactRouteResult R = Exact.FindLegs({{A, B}, {B, A}});
    ASSERT_TRUE(R.Found);
    EXPECT_EQ(Items(R.Route), (std::vector<std::int32_t>{A, AB, B, AB}));
    EXPECT_DOUBLE_EQ(static_cast<double>(R.Cost), 100.0);
    EXPECT_FALSE(Exact.FindLegs({{A, B}, {B, C}}).Found);
}

TEST_F(ExactRouteTest, TheGeneticSearchIsNeverCheaperOnGrids) {
    const auto J = Grid(6, 6);
    Task.SetStopGenerations(60);
    std::mt19937 R(3);
    int Optimal = 0;
    for (int Leg = 0; Leg < 6; ++Leg) {
        const size_t From = R() % J.size();
        const std::int32_t Start = J[From];
        const std::int32_t End = J[(From + 1 + R() % (J.size() - 1)) % J.size()]; // never the start
        Map.Net.RoutePoints.Clear();
        Map.Net.RoutePoints.Add(Map.ObjectByID(Start).Point(0));
        Map.Net.RoutePoints.Add(Map.ObjectByID(End).Point(0));
        Task.SetRandom(std::make_unique<TZemRandom>(100 + Leg));
        Map.FindTransportPath();
        const long double Genetic = Task.RouteCost;
        TZemExactRoute Exact(Task);
        const TZemExactLeg Best = Exact.Find(Start, End);
        ASSERT_TRUE(Best.Found);
        EXPECT_GE(static_cast<double>(Genetic), static_cast<double>(Best.Cost) * (1 - 1e-12)) << Leg;
        Optimal +=
            std::fabs(static_cast<double>(Genetic - Best.Cost)) <= 1e-9 * static_cast<double>(Best.Cost);
    }
    RecordProperty("OptimalLegs", Optimal);
}
