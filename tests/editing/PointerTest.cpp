#include "PointerFixture.h"

#include "platform/ZemTimer.h"

#include <string>

using namespace zem;
using namespace zem::pointertest;

namespace {

using PointerTest = PointerFixture;

TEST_F(PointerTest, CursorFollowsEdgeZonesToolsAndHandles) {
    Map.Resize(600, 300);
    for (auto [X, Y, Cursor] :
         {std::tuple{5, 5, 1}, {300, 5, 2}, {595, 150, 4}, {150, 295, 7}, {300, 150, 15}}) {
        Move(X, Y);
        EXPECT_EQ(Host.Cursor, Cursor) << X << "," << Y;
    }
    Map.SetCurrentTool(tZoomOut);
    Move(300, 150);
    EXPECT_EQ(Host.Cursor, crZoomOut);
    Map.SetCurrentTool(tSelectObject);
    Map.Edit.CurrentObject = Add(otLine, {{100, 100}, {200, 120}});
    Map.Edit.EditMode = 1;
    Move(201, 121); // over a vertex handle: the menu point is remembered
    EXPECT_EQ(Host.Cursor, crMovePoint);
    EXPECT_EQ(Map.Edit.MenuPoint, (TPoint{201, 121}));
    Map.ObjectByID(Map.Edit.CurrentObject).Lock = true;
    Move(200, 120);
    EXPECT_EQ(Host.Cursor, crStandard);
}

TEST_F(PointerTest, EventsComeAroundTheMapsOwnHandlingInOrder) {
    std::vector<std::string> Log;
    Map.OnMouseMove = [&](TZemMap& M, TZemShiftState, int, int) {
        Log.push_back("move@" + std::to_string(static_cast<int>(M.View.CursorPos.X)));
    };
    Map.OnMouseDown = [&](TZemMap& M, TZemMouseButton, TZemShiftState S, int, int) {
        Log.push_back((S & ssDouble ? "down2/" : "down/") + std::to_string(M.NewObject.PointCount()));
        Host.Focused = false;
    };
    Map.OnMouseUp = [&](TZemMap&, TZemMouseButton, TZemShiftState, int, int) {
        Log.push_back(Host.Focused ? "up-late" : "up"); // the release takes the focus afterwards
    };
    Map.OnClick = [&](TZemMap&) { Log.push_back("click"); };
    Map.OnDblClick = [&](TZemMap&) { Log.push_back("dbl"); };
    Map.SetCurrentTool(tLine);
    Click(100, 100);
    Map.DblClick(0, 100, 100);
    Release(100, 100);
    EXPECT_EQ(Log, (std::vector<std::string>{"move@0", "down/1", "click", "up", "dbl", "down2/1", "up"}));
}

TEST_F(PointerTest, EdgeScrollingShiftsTheViewPerTickWithinTheAllowedArea) {
    Add(otLine, {{-1000, -1000}, {2000, 2000}});
    Move(200, 5);
    Press(200, 5);
    Host.AdvanceTime(50);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, -40}));
    Move(200, 200); // out of the zones: the next tick stops the timer
    Host.AdvanceTime(25);
    EXPECT_FALSE(Map.EdgeScrollTimer().Enabled());
    Release(200, 200);
    Map.View.LeftTop = {-3990, 0}; // one extent (3000) left of the map is as far as it goes
    Move(5, 200);
    Press(5, 200);
    Host.AdvanceTime(25);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-3990, 0}));
    Release(5, 200);
    EXPECT_FALSE(Map.EdgeScrollTimer().Enabled());
}

TEST_F(PointerTest, MeasuringReportsTotalAndCurrentAndRightPressClears) {
    Map.SetMeasureScale(200);
    float Total = 0, Current = 0;
    Map.OnMeasure = [&](TZemMap&, float T, float C) { Total = T, Current = C; };
    Map.SetCurrentTool(tMeasure);
    Click(100, 100);
    Click(130, 140); // 50 world units at a measure scale of 200
    Move(130, 180);
    EXPECT_FLOAT_EQ(Total, 180.0f);
    EXPECT_FLOAT_EQ(Current, 80.0f);
    Right(300, 300);
    EXPECT_EQ(std::pair(Total, Current), std::pair(-1.0f, -1.0f));
}

TEST_F(PointerTest, ZoomingAndPanning) {
    Add(otLine, {{-1000, -1000}, {2000, 2000}});
    Map.SetScale(75);
    Map.SetCurrentTool(tZoomOut);
    Click(200, 200);
    EXPECT_EQ(Map.View.Scale, 38.0f); // 37.5 rounds to even
    Map.SetView({200, 200}, 100);
    Map.SetCurrentTool(tZoomIn);
    Drag({{100, 100}, {150, 130}, {300, 300}});
    EXPECT_FLOAT_EQ(Map.View.Scale, 200.0f);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{100, 100}));
    Map.SetView({200, 200}, 100);
    Map.SetCurrentTool(tMapMove);
    Drag({{200, 200}, {230, 210}, {250, 240}});
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-50, -40}));
}

} // namespace
