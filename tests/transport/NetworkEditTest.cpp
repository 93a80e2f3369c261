#include "NetworkFixture.h"

using namespace zem;

using namespace zemtest;

namespace {

struct NetworkEditTest : NetworkFixture {
    std::int32_t Line(std::initializer_list<TXYPoint> Points) {
        TZemObject T;
        T.Kind = otLine;
        for (const TXYPoint& P : Points)
            T.AddPoint(P);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }
    std::vector<std::int32_t> JunctionsAt(const TXYPoint& P) {
        std::vector<std::int32_t> R;
        for (std::int32_t ID : Map.Doc.Order) {
            const TZemObject& O = Map.ObjectByID(ID);
            if (O.Kind == otRoadCross && O.Point(0) == P)
                R.push_back(ID);
        }
        return R;
    }
    int JunctionCount() {
        int n = 0;
        for (std::int32_t ID : Map.Doc.Order)
            n += Map.ObjectByID(ID).Kind == otRoadCross;
        return n;
    }
};

} // namespace

TEST_F(NetworkEditTest, ConvertUndefinedRoutesGivesKindAndOptionallyAName) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    const auto U1 = Segment(A, B, -1, "old"), U2 = Segment(A, B, -1, ""), Defined = Segment(A, B, 2, "7");
    Map.ConvertUndefinedRoutes(-1, "x"); // no kind chosen
    EXPECT_EQ(Map.ObjectByID(U1).TransportType(), -1);
    Map.ConvertUndefinedRoutes(1, "");
    EXPECT_EQ(Map.ObjectByID(U1).TransportType(), 1);
    EXPECT_EQ(Map.ObjectByID(U1).Text(), "old");
    EXPECT_EQ(Map.ObjectByID(U2).TransportType(), 1);
    EXPECT_EQ(Map.ObjectByID(Defined).TransportType(), 2);
    Map.ObjectByID(U2).SetTransportType(-1);
    Map.ConvertUndefinedRoutes(3, "45");
    EXPECT_EQ(Map.ObjectByID(U2).TransportType(), 3);
    EXPECT_EQ(Map.ObjectByID(U2).Text(), "45");
    EXPECT_EQ(Map.ObjectByID(U1).Text(), "old");
    EXPECT_EQ(Map.ObjectByID(Defined).Text(), "7");
    EXPECT_TRUE(Map.AutoUpdate());
}

TEST_F(NetworkEditTest, SetRouteColorByKindAndName) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    const auto Bus12 = Segment(A, B, 1, "12"), Bus5 = Segment(A, B, 1, "5"), Trolley = Segment(A, B, 2, "12");
    Map.SetRouteColor(1, "12", RGBColor(255, 0, 0));
    EXPECT_EQ(Map.ObjectByID(Bus12).Pen.Color, RGBColor(255, 0, 0));
    EXPECT_EQ(Map.ObjectByID(Bus5).Pen.Color, RGBColor(255, 255, 255));
    EXPECT_EQ(Map.ObjectByID(Trolley).Pen.Color, RGBColor(255, 255, 255));
    Map.SetRouteColor(1, "", RGBColor(0, 0, 255));
    EXPECT_EQ(Map.ObjectByID(Bus5).Pen.Color, RGBColor(0, 0, 255));
    EXPECT_EQ(Map.ObjectByID(Bus12).Pen.Color, RGBColor(0, 0, 255));
    EXPECT_TRUE(Host.Messages.empty());
    Map.SetRouteColor(-1, "", RGBColor(0, 255, 0));
    EXPECT_EQ(Host.Messages, (std::vector<std::string>{"Выберите транспорт!"}));
    EXPECT_EQ(Map.ObjectByID(Trolley).Pen.Color, RGBColor(255, 255, 255));
}

TEST_F(NetworkEditTest, CheckNetworkDeletesSelfLoopsAndMakesEverySegmentTwoWay) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    const auto Loop1 = Segment(A, A, 1, "1", 0, {{5, 5}});
    const auto Kept = Segment(A, B, 1, "1", 0);
    const auto Loop2 = Segment(B, B, 0, "", 1, {{15, 5}});
    const auto Back = Segment(B, A, 0, "", 1);
    Map.CheckNetwork();
    EXPECT_EQ(Host.Messages, (std::vector<std::string>{"Удалено 2 записей!"}));
    EXPECT_FALSE(Map.ObjectExists(Loop1));
    EXPECT_FALSE(Map.ObjectExists(Loop2));
    EXPECT_EQ(Map.ObjectByID(Kept).Direction(), 2);
    EXPECT_EQ(Map.ObjectByID(Back).Direction(), 2);
    EXPECT_EQ(Map.ObjectByID(A).Direction(), 255); // junctions untouched
    Map.CheckNetwork();
    EXPECT_EQ(Host.Messages.back(), "Удалено 0 записей!");
}

TEST_F(NetworkEditTest, CheckNetworkOnAReadOnlyMapChangesNothingAndSaysWhy) {
    const auto A = Junction(0, 0);
    const auto Loop = Segment(A, A, 1, "1", 0, {{5, 5}});
    Map.SetOption(static_cast<std::uint8_t>(Map.Doc.Option & ~(1 << moEditable)));
    Map.CheckNetwork(); // must not loop on the loop it cannot delete
    EXPECT_EQ(Host.Messages, (std::vector<std::string>{"Редактирование карты запрещено!"}));
    EXPECT_TRUE(Map.ObjectExists(Loop));
    EXPECT_EQ(Map.ObjectByID(Loop).Direction(), 0);
}

TEST_F(NetworkEditTest, LockAllLocksEveryObject) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Segment(A, B, 1, "1");
    Line({{0, 0}, {5, 5}});
    Map.LockAll();
    for (std::int32_t ID : Map.Doc.Order)
        EXPECT_TRUE(Map.ObjectByID(ID).Lock);
}

TEST_F(NetworkEditTest, RouteNamesOfVisibleKindsOnceEachIgnoringCase) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    Segment(A, B, 1, "12");
    Segment(A, B, 2, "Т5");
    Segment(A, B, 1, "т5"); // Cyrillic, differs only in case
    Segment(A, B, 3, "45");
    Segment(A, B, 1, "12");
    Segment(A, B, -1, "none");
    std::vector<ZemString> Names{"stale"};
    Map.RouteNames(Names);
    EXPECT_TRUE(Names.empty()); // no kind is visible yet
    Map.Net.VisibleTransportTypes.Add(1);
    Map.Net.VisibleTransportTypes.Add(2);
    Map.RouteNames(Names);
    EXPECT_EQ(Names, (std::vector<ZemString>{"12", zem::FromUtf8("Т5")}));
}

TEST_F(NetworkEditTest, RouteNameFilterSetsAndClears) {
    Map.SetRouteNameFilter("12");
    EXPECT_TRUE(Map.Net.RouteNameFilterOn);
    EXPECT_EQ(Map.Net.RouteNameFilter, "12");
    Map.ClearRouteNameFilter();
    EXPECT_FALSE(Map.Net.RouteNameFilterOn);
    EXPECT_EQ(Map.Net.RouteNameFilter, "");
}

TEST_F(NetworkEditTest, JunctionsOnAllLinesAreNotMergedWhereLinesMeet) {
    Line({{0, 0}, {100, 0}});
    Line({{100, 0}, {100, 100}, {200, 100}});
    TZemObject Poly;
    Poly.Kind = otPolygon;
    Poly.AddPoint(500, 500);
    Poly.AddPoint(600, 500);
    Poly.AddPoint(600, 600);
    Map.AddObject(Poly);
    Map.PlaceJunctionsOnLines(TZemMap::jpAll);
    EXPECT_EQ(JunctionCount(), 5);
    const auto Shared = JunctionsAt({100, 0});
    ASSERT_EQ(Shared.size(), 2u);
    EXPECT_EQ(Map.ObjectByID(Shared[0]).Plane(), 127);
    EXPECT_TRUE(JunctionsAt({500, 500}).empty());
    // A segment drawn to one of them does not reach the other.
    const auto Start = JunctionsAt({0, 0})[0];
    const auto S = Segment(Start, Shared[0], 0, "");
    DeriveGraph(Map.TransportTask(), Map);
    EXPECT_EQ(Map.TransportTask().Graph.Edges(Shared[1])->Neighbours.Count(), 0);
    EXPECT_EQ(Map.TransportTask().Graph.Edges(Shared[0])->Segments[0], S);
}

TEST_F(NetworkEditTest, JunctionsOnAllLinesOfAMapWhoseIDsAreNearTheTop) {
    Map.Doc.MaxID = INT32_MAX - 10; // as a loaded map may have them: the walk must follow the objects
    const auto L = Line({{0, 0}, {10, 0}});
    Map.PlaceJunctionsOnLines(TZemMap::jpAll);
    EXPECT_EQ(L, INT32_MAX - 10);
    EXPECT_EQ(JunctionCount(), 2);
}

TEST_F(NetworkEditTest, JunctionsOnTheSelectedOrVisibleLines) {
    const auto L1 = Line({{10, 10}, {50, 10}});
    Line({{5000, 5000}, {5100, 5000}}); // far outside the view
    Map.PlaceJunctionsOnLines(TZemMap::jpSelected);
    EXPECT_EQ(JunctionCount(), 0); // nothing selected
    Map.Edit.CurrentObject = L1;
    Map.PlaceJunctionsOnLines(TZemMap::jpSelected);
    EXPECT_EQ(JunctionCount(), 2);
    Map.Refresh();
    Map.PlaceJunctionsOnLines(TZemMap::jpVisible);
    EXPECT_EQ(JunctionCount(), 4);
    EXPECT_TRUE(JunctionsAt({5000, 5000}).empty());
}
