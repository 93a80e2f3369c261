#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {

struct ViewFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};
    std::vector<float> Scales;
    std::vector<std::string> Debug;

    void SetUp() override {
        Map.OnScale = [this](TZemMap&, float S) { Scales.push_back(S); };
        Map.OnDebug = [this](TZemMap&, const std::string& S) { Debug.push_back(S); };
    }

    void AddBox(float L, float T, float R, float B) {
        TZemObject O;
        O.Kind = otPolygon;
        O.AddPoint(L, T);
        O.AddPoint(R, T);
        O.AddPoint(R, B);
        O.AddPoint(L, B);
        Map.AddObject(O);
    }
};

} // namespace

TEST_F(ViewFixture, WorldToScreenRoundsHalvesToEven) {
    EXPECT_EQ(Map.WorldToScreen(10.5f, 20.0f), (TPoint{10, 20}));
    EXPECT_EQ(Map.WorldToScreen(11.5f, 0.0f), (TPoint{12, 0}));
    EXPECT_EQ(Map.WorldToScreen(-0.5f, -1.5f), (TPoint{0, -2}));
    EXPECT_EQ(Map.ScreenToWorld(10, 20), (TXYPoint{10, 20}));
}

TEST_F(ViewFixture, ConversionsAreInversesAtOtherScales) {
    Map.SetScale(250);
    for (int x : {0, 1, 137, 399})
        EXPECT_EQ(Map.WorldToScreen(Map.ScreenToWorld(x, x)), (TPoint{x, x}));
}

TEST_F(ViewFixture, SetScaleZoomsAboutTheCentre) {
    Map.SetScale(200);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{100, 100}));
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{200, 200}));
    EXPECT_EQ(Map.ScreenToWorld(200, 200), (TXYPoint{200, 200}));
    EXPECT_EQ(Scales, (std::vector<float>{200}));
    Map.SetScale(0);
    Map.SetScale(-5);
    EXPECT_FLOAT_EQ(Map.View.Scale, 200);
    EXPECT_EQ(Scales.size(), 1u);
    Map.SetScale(50000); // no upper bound here
    EXPECT_FLOAT_EQ(Map.View.Scale, 50000);
}

TEST_F(ViewFixture, ZoomOutClicksHalveWithTiesToEvenAndStopAtOne) {
    std::vector<float> Seen;
    for (int i = 0; i < 9; ++i) {
        Map.ZoomOutClick({0, 0});
        Seen.push_back(Map.View.Scale);
    }
    EXPECT_EQ(Seen, (std::vector<float>{50, 25, 12, 6, 3, 2, 1, 1, 1}));
}

TEST_F(ViewFixture, WheelZoomKeepsThePointUnderThePointer) {
    Map.View.CursorPos = TXYPoint{100, 300};
    const TPoint Before = Map.WorldToScreen(Map.View.CursorPos);
    Map.WheelZoom(120);
    EXPECT_FLOAT_EQ(Map.View.Scale, 120);
    EXPECT_EQ(Map.WorldToScreen(Map.View.CursorPos), Before);
    EXPECT_NEAR(Map.ScreenToWorld(Before).X, 100, 1e-3);
    EXPECT_NEAR(Map.ScreenToWorld(Before).Y, 300, 1e-3);
    EXPECT_TRUE(Map.AutoUpdate());
    // Any size of delta is one step.
    Map.WheelZoom(-1200);
    EXPECT_FLOAT_EQ(Map.View.Scale, 100);
}

TEST_F(ViewFixture, WheelDownAtTwentyIsIgnored) {
    Map.SetScale(20);
    Map.WheelZoom(-120);
    EXPECT_FLOAT_EQ(Map.View.Scale, 20);
    EXPECT_TRUE(Map.AutoUpdate());
}

TEST_F(ViewFixture, KeypadZoomStepsAndIgnoresOtherKeys) {
    Map.KeypadZoom(107);
    EXPECT_FLOAT_EQ(Map.View.Scale, 120);
    Map.KeypadZoom(109);
    Map.KeypadZoom(109);
    EXPECT_FLOAT_EQ(Map.View.Scale, 80);
    Map.KeypadZoom(13);
    EXPECT_FLOAT_EQ(Map.View.Scale, 80);
}

TEST_F(ViewFixture, ZoomRectangleWidensToTheWindowAspect) {
    Map.Resize(800, 400);                   // window aspect 2:1
    Map.ZoomToRect({100, 100}, {200, 150}); // 100 x 50 world units at 100 %
    EXPECT_FLOAT_EQ(Map.View.Scale, 800);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{100, 100}));
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{100, 50}));
    EXPECT_EQ(Debug, (std::vector<std::string>{"100;50"}));

    Map.ZoomToRect({0, 0}, {40, 200}); // taller than wide: the width follows the height
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{50, 25}));
    EXPECT_FLOAT_EQ(Map.View.Scale, 1600);
}

TEST_F(ViewFixture, ZoomRectangleBeyondMaxScaleZoomsToMaxAboutTheCentre) {
    Map.ZoomToRect({10, 10}, {12, 12}); // would be 20000 %
    EXPECT_FLOAT_EQ(Map.View.Scale, 10000);
    EXPECT_NEAR(Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2, 200, 1e-3);
    EXPECT_TRUE(Debug.empty());
    EXPECT_EQ(Scales, (std::vector<float>{10000, 10000})); // SetScale's, then the zoom's own
}

TEST_F(ViewFixture, ZoomClickDoublesCentredOnTheClickedPoint) {
    Map.ZoomToRect({100, 60}, {100, 60});
    EXPECT_FLOAT_EQ(Map.View.Scale, 200);
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{200, 200}));
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, -40}));
    EXPECT_EQ(Debug, (std::vector<std::string>{"200;200"}));
}

TEST_F(ViewFixture, PanIsRefusedOutsideTheAllowedArea) {
    // Global extent (0,0)-(400,400): the window may leave it by one extent on each side.
    Map.View.PressPoint = {200, 200};
    Map.PanBy({200, 200}, {300, 250});
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-100, -50}));
    EXPECT_EQ(Map.View.PressPoint, (TPoint{300, 250}));
    Map.PanBy({300, 250}, {700, 250}); // left edge would reach -500 < -400
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-100, -50}));
    Map.PanBy({300, 250}, {0, 250}); // far edge at 600 < 800: accepted
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{200, -50}));
    Map.PanBy({0, 250}, {-300, 250}); // far edge would reach 900 > 800
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{200, -50}));
}

TEST_F(ViewFixture, ResizeKeepsScaleAndGrowsTheWindowRightAndDown) {
    Map.Resize(800, 400);
    EXPECT_FLOAT_EQ(Map.View.Scale, 100);
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{800, 400}));
    EXPECT_EQ(Map.BackBuffer.Width(), 800);
    Map.Resize(0, 0);
    Map.Resize(200, 100); // after a collapse the extent comes from the scale
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{200, 100}));
}

TEST_F(ViewFixture, GlobalExtentNeverShrinksOnTheLeftAndTop) {
    Map.RecalcGlobalExtent();
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{0, 0}));
    Map.View.GlobalLeftTop = {5, 7};
    Map.RecalcGlobalExtent();
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{-5, -7}));
    AddBox(-10, -20, 100, 50);
    EXPECT_EQ(Map.View.GlobalLeftTop, (TXYPoint{-10, -20}));
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{110, 70}));
    Map.DeleteObject(0);
    EXPECT_EQ(Map.View.GlobalLeftTop, (TXYPoint{-10, -20}));
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{10, 20}));
}

TEST_F(ViewFixture, SetAutoUpdateRebuildsThenRedraws) {
    auto Log = std::make_shared<std::vector<std::string>>();
    Host.SetTrace(Log, "map");
    Map.OnVisibleCount = [&](TZemMap&, int, int) { Log->push_back("visible"); };
    Map.View.AutoUpdate = false;
    AddBox(0, 0, 50, 50);
    Map.Redraw();
    Map.Refresh();
    EXPECT_TRUE(Log->empty());
    Map.SetAutoUpdate(true);
    EXPECT_EQ(*Log, (std::vector<std::string>{"visible", "map.present"}));
}

TEST_F(ViewFixture, SetViewCentresTheWindowAtTheScaleForTheCurrentSize) {
    Map.Resize(300, 200);
    Map.SetView(TXYPoint{1000, 500}, 200);
    EXPECT_FLOAT_EQ(Map.View.Scale, 200);
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{150, 100}));
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{925, 450}));
    EXPECT_EQ(Scales, (std::vector<float>{200}));
    Map.SetView(TXYPoint{0, 0}, 0); // not a scale: nothing changes
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{925, 450}));
}
