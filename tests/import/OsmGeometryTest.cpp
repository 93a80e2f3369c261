// The import's plane geometry: holes cut by keyhole rings (checked point by point against the rings
// themselves), a route's ways chained and its stops found along them, street labels.
#include "import/ZemOsmGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zem {
namespace {

TZemPath Square(float X, float Y, float S, bool Clockwise = true) {
    TZemPath P{{X, Y}, {X + S, Y}, {X + S, Y + S}, {X, Y + S}};
    if (!Clockwise)
        std::reverse(P.begin(), P.end());
    return P;
}

TEST(OsmGeometryTest, KeyholeRingsFillExactlyTheOuterRingLessItsHoles) {
    std::mt19937 Rng(5);
    std::uniform_real_distribution<float> U(0, 1);
    for (int Round = 0; Round < 50; ++Round) {
        const TZemPath Outer = Square(0, 0, 100);
        std::vector<TZemPath> Holes;
        const int N = 1 + Round % 4;
        for (int h = 0; h < N; ++h) // disjoint squares in a row, either orientation
            Holes.push_back(
                Square(5 + 24 * h + U(Rng) * 4, 10 + U(Rng) * 60, 10 + U(Rng) * 8, (Round + h) % 2));
        TZemPath Closed = Outer;
        Closed.push_back(Outer.front()); // the closing point is dropped
        const TZemPath Ring = KeyholeRing(Closed, Holes);
        EXPECT_EQ(Ring.size(), Outer.size() + N * 6);
        for (int k = 0; k < 400; ++k) {
            const TXYPoint P{U(Rng) * 120 - 10, U(Rng) * 120 - 10};
            bool Want = PointInRing(P, Outer);
            for (const TZemPath& H : Holes)
                Want = Want && !PointInRing(P, H);
            EXPECT_EQ(PointInRing(P, Ring), Want) << P.X << "," << P.Y;
        }
    }
}

TEST(OsmGeometryTest, WaysChainWhicheverWayTheyWereGivenAndStopsFindTheirPlace) {
    const std::vector<TZemPath> Ways{{{100, 0}, {0, 0}}, // given backwards
                                     {{100, 0}, {200, 0}},
                                     {{300, 0}, {200, 0}}};
    const TZemPath Path = ChainWays(Ways);
    ASSERT_EQ(Path, (TZemPath{{0, 0}, {100, 0}, {200, 0}, {300, 0}}));
    const std::vector<TXYPoint> Stops{{10, 5}, {150, -3}, {290, 2}, {150, 500}};
    const auto At = StopsAlongPath(Path, Stops);
    EXPECT_EQ(At, (std::vector<std::int32_t>{0, 1, 2, -1}));
    // A loop passes the same place twice: the second visit is found after the first.
    const TZemPath Loop{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 1}, {100, 1}};
    const auto L = StopsAlongPath(Loop, std::vector<TXYPoint>{{50, 0}, {100, 50}, {50, 1}});
    EXPECT_EQ(L, (std::vector<std::int32_t>{0, 1, 4}));
    EXPECT_TRUE(ChainWays({}).empty());
}

TEST(OsmGeometryTest, LabelsSitOnAStraightStretchAndReadUpright) {
    // A street going west: the label must not stand upside down.
    const TZemPath West{{500, 100}, {400, 101}, {300, 100}, {200, 99}, {100, 100}};
    const auto L = PlaceLabel(West, 150, 12);
    ASSERT_TRUE(L);
    EXPECT_LE(std::fabs(L->Angle), 0.05f);
    EXPECT_LT(L->Corners[0].X, L->Corners[1].X); // reads from left to right
    EXPECT_NEAR(L->Middle.X, 300, 60);
    // Too short, or nowhere straight for long enough.
    EXPECT_FALSE(PlaceLabel(West, 500, 12));
    TZemPath Zigzag;
    for (int i = 0; i < 40; ++i)
        Zigzag.push_back({static_cast<float>(i * 10), static_cast<float>(i % 2 * 10)});
    EXPECT_FALSE(PlaceLabel(Zigzag, 100, 12));
}

} // namespace
} // namespace zem
