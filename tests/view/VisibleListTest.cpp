#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "view/ZemMiniMap.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {

struct VisibleFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t Add(TObjectKind Kind, std::initializer_list<TXYPoint> Pts, std::int8_t Plane = 0) {
        TZemObject O;
        O.Kind = Kind;
        for (auto& P : Pts)
            O.AddPoint(P);
        O.SetPlane(Plane);
        Map.AddObject(O);
        return Map.Doc.MaxID - 1;
    }
    std::int32_t Box(float X, float Y, float S, std::int8_t Plane = 0) {
        return Add(otPolygon, {{X, Y}, {X + S, Y}, {X + S, Y + S}, {X, Y + S}}, Plane);
    }
    std::vector<int> Visible() const {
        return std::vector<int>(Map.View.VisibleList.begin(), Map.View.VisibleList.end());
    }
};

} // namespace

TEST_F(VisibleFixture, OrderedByPlaneAndStableWithinAPlane) {
    std::int32_t a = Box(0, 0, 10, 2);
    std::int32_t b = Box(20, 0, 10, 1);
    std::int32_t c = Box(40, 0, 10, 2);
    std::int32_t d = Box(60, 0, 10, -3);
    std::int32_t e = Box(80, 0, 10, 1);
    Map.UpdateVisibleList();
    EXPECT_EQ(Visible(), (std::vector<int>{d, b, e, a, c}));
}

TEST_F(VisibleFixture, CulledByWindowAndByScreenSize) {
    std::int32_t In = Box(10, 10, 20);
    Box(500, 500, 20);                                         // outside
    std::int32_t Touching = Box(400, 100, 20);                 // touches the right edge
    Box(100, 100, 3);                                          // 3 x 3 pixels: not more than MinObjectView
    std::int32_t Thin = Add(otLine, {{100, 200}, {104, 200}}); // 4 x 0 pixels
    Map.UpdateVisibleList();
    EXPECT_EQ(Visible(), (std::vector<int>{In, Touching, Thin}));
    Map.SetScale(50); // Thin becomes 2 pixels wide
    EXPECT_EQ(Map.View.VisibleList.IndexOf(Thin), -1);
}

TEST_F(VisibleFixture, EllipsesAreNotSizeTestedAndIconsNeedTheirScale) {
    std::int32_t E = Add(otEllipse, {{10, 10}, {11, 11}});
    std::int32_t I = Add(otIco, {{390, 390}});
    Map.UpdateVisibleList();
    EXPECT_EQ(Visible(), (std::vector<int>{E, I}));
    Map.SetMinIconView(100);
    Map.SetScale(99);
    EXPECT_EQ(Map.View.VisibleList.IndexOf(I), -1);
    EXPECT_NE(Map.View.VisibleList.IndexOf(E), -1);
}

TEST_F(VisibleFixture, NetworkObjectsOnlyWhileTheNetworkIsShown) {
    std::int32_t J = Add(otRoadCross, {{1000, 1000}});
    std::int32_t J2 = Add(otRoadCross, {{50, 50}});
    std::int32_t S = Add(otRoadCrossLine, {{10, 10}, {100, 10}});
    std::int32_t P = Box(0, 0, 50);
    Map.UpdateVisibleList();
    EXPECT_EQ(Visible(), (std::vector<int>{P}));
    Map.SetShowTransportNet(true);
    Map.Refresh();
    // Plane order: polygon (0), segment (126), junction (127); J lies outside the window.
    EXPECT_EQ(Visible(), (std::vector<int>{P, S, J2}));
    (void)J;
    Map.SetShowOnlyTransportNet(true);
    EXPECT_EQ(Visible(), (std::vector<int>{S, J2}));
}

TEST_F(VisibleFixture, SegmentsFollowTypeAndRouteNameFilters) {
    Map.Doc.TransportTypes = {"A", "B"};
    std::int32_t Undefined = Add(otRoadCrossLine, {{10, 10}, {100, 10}});
    std::int32_t TypeA = Add(otRoadCrossLine, {{10, 20}, {100, 20}});
    Map.ObjectByID(TypeA).SetTransportType(0);
    Map.ObjectByID(TypeA).SetText("7");
    Map.SetShowTransportNet(true);
    Map.Refresh();
    EXPECT_EQ(Visible(), (std::vector<int>{Undefined}));
    Map.Net.VisibleTransportTypes.Add(0);
    Map.SetShowUndefinedRoutes(false);
    EXPECT_EQ(Visible(), (std::vector<int>{TypeA}));
    Map.Net.RouteNameFilterOn = true;
    Map.Net.RouteNameFilter = "7 ";
    Map.Refresh();
    EXPECT_TRUE(Visible().empty());
    Map.Net.RouteNameFilter = "7";
    Map.Refresh();
    EXPECT_EQ(Visible(), (std::vector<int>{TypeA}));
}

TEST_F(VisibleFixture, CountEventAndNoRebuildWithoutAutoUpdate) {
    std::vector<std::pair<int, int>> Counts;
    Map.OnVisibleCount = [&](TZemMap&, int V, int C) { Counts.push_back({V, C}); };
    Box(0, 0, 10);
    Box(900, 900, 10);
    EXPECT_EQ(Counts.back(), (std::pair<int, int>{1, 2}));
    size_t n = Counts.size();
    Map.View.AutoUpdate = false;
    Map.UpdateVisibleList();
    EXPECT_EQ(Counts.size(), n);
    Map.View.Printing = true;
    Map.UpdateVisibleList();
    EXPECT_EQ(Counts.size(), n + 1);
}

TEST_F(VisibleFixture, ViewChangesRebuildThenRedrawThenUpdateTheMiniMap) {
    auto Log = std::make_shared<std::vector<std::string>>();
    HeadlessHost MiniHost(100, 100);
    TZemMiniMap Mini(MiniHost);
    Map.SetMiniMap(&Mini);
    Host.SetTrace(Log, "map");
    MiniHost.SetTrace(Log, "minimap");
    Map.OnVisibleCount = [&](TZemMap&, int, int) { Log->push_back("visible"); };
    Map.OnScale = [&](TZemMap&, float) { Log->push_back("scale"); };
    Map.SetScale(150);
    EXPECT_EQ(*Log, (std::vector<std::string>{"visible", "map.present", "minimap.present", "scale"}));
    Log->clear();
    Map.View.PressPoint = {0, 0};
    Map.PanBy({0, 0}, {10, 10});
    EXPECT_EQ(*Log, (std::vector<std::string>{"visible", "map.present", "minimap.present"}));
    Log->clear();
    Map.Resize(300, 300);
    EXPECT_EQ(*Log, (std::vector<std::string>{"visible", "minimap.present"}));
}

TEST(MiniMap, FittedAreaAndJumpCentreTheView) {
    TRect A;
    ASSERT_TRUE(TZemMiniMap::ComputeFittedArea(100, 100, 1000, 500, A));
    EXPECT_EQ(A, (TRect{0, 25, 100, 75}));
    ASSERT_TRUE(TZemMiniMap::ComputeFittedArea(100, 100, 500, 1000, A));
    EXPECT_EQ(A, (TRect{25, 0, 75, 100}));
    EXPECT_FALSE(TZemMiniMap::ComputeFittedArea(100, 100, 0, 1000, A));

    HeadlessHost Host, MiniHost(100, 100);
    TZemMap Map(Host);
    TZemMiniMap Mini(MiniHost);
    Map.SetMiniMap(&Mini);
    Map.View.GlobalLeftTop = {0, 0};
    Map.View.GlobalWidthHeight = {1000, 500};
    Mini.MouseDown({50, 50});
    Mini.MouseUp({50, 50});
    EXPECT_FALSE(Mini.JumpRequested);
    // The view is centred on the centre of the global extent.
    EXPECT_FLOAT_EQ(Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2, 500);
    EXPECT_FLOAT_EQ(Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2, 250);
}
