#include "NetworkFixture.h"

#include "transport/ZemNetworkGraph.h"

#include <limits>

using namespace zem;

using namespace zemtest;

namespace {

struct GraphTest : NetworkFixture {
    TZemTransportTask& Task = Map.TransportTask();
    const TZemEdgeTables& EdgesOf(std::int32_t ID) {
        const TZemEdgeTables* E = Task.Graph.Edges(ID);
        EXPECT_NE(E, nullptr);
        static const TZemEdgeTables None;
        return E ? *E : None;
    }
};

} // namespace

TEST_F(GraphTest, DirectionsGiveEdgesOneWayOrBoth) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0), D = Junction(30, 0);
    const auto SAB = Segment(A, B, 1, "5", 0); // start -> end only
    const auto SBC = Segment(B, C, 1, "5", 1); // end -> start only
    const auto SCD = Segment(C, D, 1, "5", 2); // both ways
    Segment(A, D, 1, "5", 7);                  // no edge at all
    DeriveGraph(Task, Map);

    EXPECT_EQ(Items(Task.Graph.Vertices), (std::vector<std::int32_t>{A, B, C, D}));
    EXPECT_EQ(Items(EdgesOf(A).Neighbours), (std::vector<std::int32_t>{B}));
    EXPECT_EQ(Items(EdgesOf(A).Segments), (std::vector<std::int32_t>{SAB}));
    EXPECT_EQ(Items(EdgesOf(B).Neighbours), (std::vector<std::int32_t>{}));
    EXPECT_EQ(Items(EdgesOf(C).Neighbours), (std::vector<std::int32_t>{B, D}));
    EXPECT_EQ(Items(EdgesOf(C).Segments), (std::vector<std::int32_t>{SBC, SCD}));
    EXPECT_EQ(Items(EdgesOf(D).Neighbours), (std::vector<std::int32_t>{C}));
    EXPECT_EQ(Items(EdgesOf(D).Segments), (std::vector<std::int32_t>{SCD}));
}

TEST_F(GraphTest, ParallelSegmentsAreSeparateEntriesInDrawingOrder) {
    const auto A = Junction(0, 0), B = Junction(30, 40);
    const auto Bus = Segment(A, B, 1, "12");
    const auto Trolley = Segment(A, B, 2, "3", 2, {{0, 40}});
    DeriveGraph(Task, Map);
    const TZemEdgeTables& E = EdgesOf(A);
    EXPECT_EQ(Items(E.Neighbours), (std::vector<std::int32_t>{B, B}));
    EXPECT_EQ(Items(E.Segments), (std::vector<std::int32_t>{Bus, Trolley}));
    EXPECT_EQ(Items(E.SegmentTypes), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(E.SegmentNames, (std::vector<ZemString>{"12", "3"}));
    EXPECT_FLOAT_EQ(E.SegmentLengths.Get(0), 50.0f);
    EXPECT_FLOAT_EQ(E.SegmentLengths.Get(1), 70.0f); // through the bend: 40 + 30
}

TEST_F(GraphTest, SegmentLengthSumsThePolylineAndIsZeroBelowTwoPoints) {
    TZemObject S;
    S.Kind = otRoadCrossLine;
    EXPECT_EQ(zem::SegmentLength(S), 0.0L);
    S.AddPoint(0, 0);
    EXPECT_EQ(zem::SegmentLength(S), 0.0L);
    S.AddPoint(3, 4);
    S.AddPoint(3, 10);
    EXPECT_DOUBLE_EQ(static_cast<double>(zem::SegmentLength(S)), 11.0);
}

TEST_F(GraphTest, SegmentWithAMissingJunctionIsLeftOut) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0);
    const auto AB = Segment(A, B, 0, "");
    Segment(B, C, 0, "");
    Map.DeleteObject(C);
    TZemObject Loose; // drawn but never finished: no end junction
    Loose.Kind = otRoadCrossLine;
    Loose.StartCrossID = A;
    Loose.SetDirection(2);
    Loose.AddPoint(0, 0);
    Loose.AddPoint(5, 5);
    Map.AddObject(Loose);
    DeriveGraph(Task, Map);
    EXPECT_EQ(Items(EdgesOf(A).Segments), (std::vector<std::int32_t>{AB}));
    EXPECT_EQ(Items(EdgesOf(B).Segments), (std::vector<std::int32_t>{AB}));
    EXPECT_EQ(Task.Graph.Edges(C), nullptr);
}

TEST_F(GraphTest, UncheckedKindsAreLeftOutOfTheGraph) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Segment(A, B, 1, "12");
    const auto Walk = Segment(A, B, 0, "");
    const auto Undefined = Segment(A, B, -1, "");
    Task.SelectedTransports.Add(0);
    DeriveGraph(Task, Map);
    EXPECT_EQ(Items(EdgesOf(A).Segments), (std::vector<std::int32_t>{Walk, Undefined}));
}

TEST_F(GraphTest, NearestJunctionTakesTheFirstOfEquallyNearOnes) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(4, 0);
    DeriveGraph(Task, Map);
    const TIntegerList& V = Task.Graph.Vertices;
    EXPECT_EQ(Map.NearestJunction(V, {5, 0}), C);
    EXPECT_EQ(Map.NearestJunction(V, {7, 0}), B);
    Map.SendToBack(
        B); // B is now before A in drawing order, and both are 5 away from (5, 0) ... but C is nearer
    Map.DeleteObject(C);
    DeriveGraph(Task, Map);
    EXPECT_EQ(Map.NearestJunction(Task.Graph.Vertices, {5, 0}), B);
    Map.SendToBack(A);
    DeriveGraph(Task, Map);
    EXPECT_EQ(Map.NearestJunction(Task.Graph.Vertices, {5, 0}), A);
    TIntegerList Empty;
    EXPECT_EQ(Map.NearestJunction(Empty, {5, 0}), -1);
}

TEST_F(GraphTest, PenaltyTableStartsWithWalkingAndWeighsNamedRoutesByKind) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Segment(A, B, 3, "45");
    Segment(A, B, 1, "12");
    Segment(A, B, 2, "7");
    Segment(A, B, 1, "12");
    Segment(A, B, 1, "");
    Segment(A, B, 0, "tropa");
    Segment(A, B, 4, "car");
    Map.Net.RoutePoints.Add({0, 0});
    Map.Net.RoutePoints.Add({10, 0});
    ASSERT_TRUE(Map.PrepareTransportSearch());
    ASSERT_EQ(Task.Penalties.size(), 5u);
    EXPECT_EQ(Task.Penalties[0].TransportType, 0);
    EXPECT_EQ(Task.Penalties[0].Name, "");
    EXPECT_EQ(Task.Penalties[0].Weight, 100.0f);
    EXPECT_EQ(Task.Penalties[1].Name, "12");
    EXPECT_EQ(Task.Penalties[1].Weight, 3.0f);
    EXPECT_EQ(Task.Penalties[2].TransportType, 1);
    EXPECT_EQ(Task.Penalties[2].Name, "");
    EXPECT_EQ(Task.Penalties[3].TransportType, 2);
    EXPECT_EQ(Task.Penalties[3].Weight, 1.0f);
    EXPECT_EQ(Task.Penalties[4].TransportType, 3);
    EXPECT_EQ(Task.Penalties[4].Weight, 2.0f);
    EXPECT_EQ(Task.PenaltyWeight(0, "tropa"), 1.0f);
    EXPECT_EQ(Task.PenaltyWeight(4, "car"), 1.0f);
    EXPECT_TRUE(Task.HasPenalty(1, "12"));
    EXPECT_FALSE(Task.HasPenalty(1, "13"));
}

TEST_F(GraphTest, FormatFloatIsGeneralWithFifteenDigits) {
    EXPECT_EQ(zem::FormatFloat(100.0L), "100");
    EXPECT_EQ(zem::FormatFloat(2160.0L), "2160");
    EXPECT_EQ(zem::FormatFloat(0.5L), "0.5");
    EXPECT_EQ(zem::FormatFloat(-1.0L), "-1");
    EXPECT_EQ(zem::FormatFloat(1.0L / 3), "0.333333333333333");
    EXPECT_EQ(zem::FormatFloat(0.1f), "0.100000001490116");
    EXPECT_EQ(zem::FormatFloat(1e20L), "1E20");
    EXPECT_EQ(zem::FormatFloat(1.5e-7L), "1.5E-7");
}

TEST_F(GraphTest, GraphDumpsHaveOneLinePerVertex) {
    TTempCurrentDir Dir;
    const auto A = Junction(0, 0), B = Junction(3, 4), C = Junction(3, 14);
    const auto AB = Segment(A, B, 1, "12");
    const auto BC = Segment(B, C, 0, "", 0);
    Map.Net.RoutePoints.Add({0, 0});
    Map.Net.RoutePoints.Add({3, 14});
    ASSERT_TRUE(Map.PrepareTransportSearch());
    const std::string a = std::to_string(A), b = std::to_string(B), c = std::to_string(C);
    const std::string ab = std::to_string(AB), bc = std::to_string(BC);
    EXPECT_EQ(ReadFile("_Vertexs.txt"),
              a + "| " + b + ", \r\n" + b + "| " + a + ", " + c + ", \r\n" + c + "| \r\n");
    EXPECT_EQ(ReadFile("_Edges.txt"),
              a + "| " + ab + ", \r\n" + b + "| " + ab + ", " + bc + ", \r\n" + c + "| \r\n");
    EXPECT_EQ(ReadFile("_Transport.txt"), a + "| 1, \r\n" + b + "| 1, 0, \r\n" + c + "| \r\n");
    EXPECT_EQ(ReadFile("_TransportName.txt"), a + "| 12, \r\n" + b + "| 12, , \r\n" + c + "| \r\n");
    EXPECT_EQ(ReadFile("_EdgesLens.txt"), a + "| 5, \r\n" + b + "| 5, 10, \r\n" + c + "| \r\n");
    EXPECT_EQ(ReadFile("_Penalty.txt"), "0; ; 100\r\n1; 12; 3\r\n");
}

TEST_F(GraphTest, SegmentWithADamagedPointIsLeftOut) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    const auto Good = Segment(A, B, 0, "");
    const auto Bad = Segment(A, B, 0, "", 2, {{std::numeric_limits<float>::quiet_NaN(), 0}});
    DeriveGraph(Task, Map);
    EXPECT_EQ(Items(EdgesOf(A).Segments), (std::vector<std::int32_t>{Good}));
    Task.SegmentLookup = MapSegmentLookup(Map);
    EXPECT_THROW(Task.SegmentInfo(Bad), ETransportTaskError);
}
