#include "NetworkFixture.h"

using namespace zem;

using namespace zemtest;

namespace {

struct FitnessTest : NetworkFixture {
    TZemTransportTask& Task = Map.TransportTask();

    // Penalties and graph as a search prepares them.
    void Prepare() {
        Map.Net.RoutePoints.Add({0, 0});
        Map.Net.RoutePoints.Add({1, 1});
        ASSERT_TRUE(Map.PrepareTransportSearch());
    }
    double Cost(std::initializer_list<std::int32_t> P) { return static_cast<double>(Task.Fitness(Path(P))); }
};

} // namespace

TEST_F(FitnessTest, WorkedExampleCosts2160) {
    const auto J0 = Junction(0, 0), J1 = Junction(100, 0), J2 = Junction(150, 0), J3 = Junction(160, 0);
    const auto S1 = Segment(J0, J1, 1, "12"), S2 = Segment(J1, J2, 1, "12"), S3 = Segment(J2, J3, 0, "");
    Prepare();
    // 50 x 3 (same route; the first segment adds nothing) + 10 x 100 x 2 (first change) + 10 (walking).
    EXPECT_DOUBLE_EQ(Cost({J0, S1, J1, S2, J2, S3, J3}), 2160.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(Task.RouteLength(Path({J0, S1, J1, S2, J2, S3, J3}))), 160.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(Task.WalkLength(Path({J0, S1, J1, S2, J2, S3, J3}))), 10.0);
}

TEST_F(FitnessTest, SingleSegmentCostsItsBareLengthAndWalkingOnceMore) {
    const auto A = Junction(0, 0), B = Junction(30, 40), C = Junction(30, 0);
    const auto Bus = Segment(A, B, 1, "12"), Walk = Segment(A, C, 0, "");
    Prepare();
    EXPECT_DOUBLE_EQ(Cost({A, Bus, B}), 50.0); // not weighted by 3
    EXPECT_DOUBLE_EQ(Cost({A, Walk, C}), 60.0);
}

TEST_F(FitnessTest, EachChangeOfRouteWeighsMoreThanTheLast) {
    const auto J0 = Junction(0, 0), J1 = Junction(10, 0), J2 = Junction(20, 0), J3 = Junction(30, 0),
               J4 = Junction(40, 0);
    const auto A = Segment(J0, J1, 2, "1"), B = Segment(J1, J2, 2, "2"), C = Segment(J2, J3, 2, "3"),
               D = Segment(J3, J4, 2, "3");
    Prepare();
    // Trolleybuses weigh 1: the first change doubles, the second triples, staying on a route adds 1x.
    EXPECT_DOUBLE_EQ(Cost({J0, A, J1, B, J2}), 20.0);
    EXPECT_DOUBLE_EQ(Cost({J0, A, J1, B, J2, C, J3}), 20.0 + 30.0);
    EXPECT_DOUBLE_EQ(Cost({J0, A, J1, B, J2, C, J3, D, J4}), 20.0 + 30.0 + 10.0);
}

TEST_F(FitnessTest, SameKindWithAnotherNameIsAChange) {
    const auto J0 = Junction(0, 0), J1 = Junction(10, 0), J2 = Junction(20, 0);
    const auto A = Segment(J0, J1, 1, "12"), B = Segment(J1, J2, 1, "12a"), B2 = Segment(J1, J2, 1, "12");
    Prepare();
    EXPECT_DOUBLE_EQ(Cost({J0, A, J1, B, J2}), 10.0 * 3 * 2);
    EXPECT_DOUBLE_EQ(Cost({J0, A, J1, B2, J2}), 10.0 * 3);
}

TEST_F(FitnessTest, OnlyUnnamedWalkingWeighs100ButAllWalkingCountsAgain) {
    const auto J0 = Junction(0, 0), J1 = Junction(10, 0), J2 = Junction(20, 0);
    const auto Start = Segment(J0, J1, 2, "1");
    const auto Unnamed = Segment(J1, J2, 0, ""), Named = Segment(J1, J2, 0, "tropa");
    Prepare();
    EXPECT_DOUBLE_EQ(Cost({J0, Start, J1, Unnamed, J2}), 10.0 * 100 * 2 + 10.0);
    EXPECT_DOUBLE_EQ(Cost({J0, Start, J1, Named, J2}), 10.0 * 1 * 2 + 10.0);
}

TEST_F(FitnessTest, WalkWithoutASegmentCostsNothing) {
    const auto A = Junction(0, 0);
    Prepare();
    EXPECT_EQ(Task.Fitness(Path({A})), 0.0L);
    EXPECT_EQ(Task.RouteLength(Path({A})), 0.0L);
}

TEST_F(FitnessTest, SegmentKnownToNoOneIsAClearError) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Prepare();
    EXPECT_THROW(Task.Fitness(Path({A, 999, B})), ETransportTaskError);
    EXPECT_THROW(Task.Fitness(Path({A, B, A})), ETransportTaskError); // a junction is no segment
}

TEST_F(FitnessTest, CostDataIsTakenWhenTheGraphIsDerived) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0);
    const auto S1 = Segment(A, B, 2, "1"), S2 = Segment(B, C, 2, "2");
    Prepare();
    Map.DeleteObject(S2); // as the user might while a search runs
    EXPECT_DOUBLE_EQ(Cost({A, S1, B, S2, C}), 20.0);
    // A segment added afterwards is read from the map.
    const auto S3 = Segment(B, C, 0, "");
    EXPECT_DOUBLE_EQ(Cost({A, S1, B, S3, C}), 10.0 * 100 * 2 + 10.0);
}

TEST(TaskWithoutMap, SegmentsOutsideTheGraphComeFromTheLookup) {
    TZemTransportTask Task; // no map anywhere: the task is given only what it asks for
    EXPECT_THROW(Task.SegmentInfo(7), ETransportTaskError);
    Task.AddSegment(3, 10.0L, 1, "12");
    Task.SegmentLookup = [](std::int32_t ID) -> std::optional<TZemSegmentInfo> {
        if (ID == 7)
            return TZemSegmentInfo{25.0L, 1, "12", -1};
        return std::nullopt;
    };
    EXPECT_EQ(Task.SegmentInfo(7).Length, 25.0L);
    EXPECT_EQ(Task.SegmentInfo(7).RouteKey, Task.SegmentInfo(3).RouteKey); // same kind and name
    EXPECT_THROW(Task.SegmentInfo(8), ETransportTaskError);
}
