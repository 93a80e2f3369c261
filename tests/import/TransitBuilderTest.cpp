// The network builder: shared junctions, one segment per leg and direction, the types directory, and the
// walking links against a count of every pair.
#include "import/ZemTransitBuilder.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zem {
namespace {

struct TTransitFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};
    TZemImportTarget Target{Map};

    std::int32_t CountKind(TObjectKind K, std::int32_t Type = -2) {
        std::int32_t N = 0;
        for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
            const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
            N += O.Kind == K && (Type == -2 || O.TransportType() == Type);
        }
        return N;
    }
};

TEST_F(TTransitFixture, StopsShareJunctionsAndLegsFollowTheirBends) {
    TZemTransitBuilder B(Target);
    ASSERT_EQ(Map.Doc.TransportTypes.size(), 5u);
    EXPECT_EQ(Map.Doc.TransportTypes[0], FromUtf8("Пешком"));
    const std::int32_t Tram = B.TransportType("Трамвай");
    EXPECT_EQ(Tram, 5);
    EXPECT_EQ(B.TransportType("автобус"), 1); // letter case ignored
    EXPECT_EQ(B.TransportType("Метро"), 6);

    const std::int32_t A = B.AddStop({10, 10}), C = B.AddStop({500, 10});
    EXPECT_EQ(B.AddStop({10, 10}), A);
    const std::vector<TXYPoint> Bends{{250, 40}};
    const std::int32_t S = B.AddLeg(A, C, Tram, FromUtf8("А"), RGBColor(200, 0, 0), Bends);
    ASSERT_GE(S, 0);
    const TZemObject& Seg = Map.ObjectByID(S);
    EXPECT_EQ(Seg.Kind, otRoadCrossLine);
    EXPECT_EQ(Seg.Direction(), 0);
    EXPECT_EQ(Seg.StartCrossID, A);
    EXPECT_EQ(Seg.EndCrossID, C);
    EXPECT_EQ(Seg.Plane(), kSegmentPlane);
    ASSERT_EQ(Seg.PointCount(), 3);
    EXPECT_EQ(Seg.Points()[1], (TXYPoint{250, 40}));
    EXPECT_EQ(Seg.Points()[2], (TXYPoint{500, 10}));
    EXPECT_EQ(B.AddLeg(A, C, Tram, FromUtf8("А"), 0), -1); // a repeated trip
    EXPECT_GE(B.AddLeg(C, A, Tram, FromUtf8("А"), 0), 0);  // the other direction is its own segment
    EXPECT_EQ(B.AddLeg(A, A, Tram, FromUtf8("А"), 0), -1);
    EXPECT_EQ(B.Counts().Segments, 2);
    EXPECT_EQ(B.Counts().RepeatedLegs, 1);
    EXPECT_EQ(B.Counts().Junctions, 2);

    // A second builder on the same map (a second import) reuses the junction at the same place.
    TZemTransitBuilder B2(Target);
    EXPECT_EQ(B2.AddStop({500, 10}), C);
    EXPECT_EQ(Map.Doc.TransportTypes.size(), 7u);
}

TEST_F(TTransitFixture, WalkingJoinsExactlyThePairsWithinReachOnce) {
    std::mt19937 Rng(7);
    std::uniform_real_distribution<float> Coord(0, 3000);
    TZemTransitBuilder B(Target);
    std::vector<TXYPoint> Stops;
    for (int i = 0; i < 400; ++i) {
        Stops.push_back({Coord(Rng), Coord(Rng)});
        B.AddStop(Stops.back());
    }
    std::int32_t Expected = 0;
    for (std::size_t i = 0; i < Stops.size(); ++i)
        for (std::size_t j = i + 1; j < Stops.size(); ++j)
            Expected += std::hypot(double{Stops[i].X} - Stops[j].X, double{Stops[i].Y} - Stops[j].Y) <= 300;
    B.AddWalking();
    EXPECT_EQ(B.Counts().WalkingSegments, Expected);
    EXPECT_EQ(CountKind(otRoadCrossLine, 0), Expected);
    B.AddWalking(); // again: nothing new
    EXPECT_EQ(CountKind(otRoadCrossLine, 0), Expected);
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        if (O.Kind != otRoadCrossLine)
            continue;
        EXPECT_EQ(O.Direction(), 2);
        const TXYPoint P = Map.ObjectByID(O.StartCrossID).Points()[0],
                       Q = Map.ObjectByID(O.EndCrossID).Points()[0];
        EXPECT_LE(std::hypot(double{P.X} - Q.X, double{P.Y} - Q.Y), 300.0);
    }
    // A later builder links only its own stops to the others.
    TZemTransitBuilder Later(Target);
    Later.AddStop({Stops[0].X + 1, Stops[0].Y});
    Later.AddWalking();
    std::int32_t Near = 0;
    for (const TXYPoint& P : Stops)
        Near += std::hypot(double{P.X} - (Stops[0].X + 1), double{P.Y} - Stops[0].Y) <= 300;
    EXPECT_EQ(Later.Counts().WalkingSegments, Near);
}

} // namespace
} // namespace zem
