#include "PointerFixture.h"

#include "platform/ZemTimer.h"

#include <string>

using namespace zem;
using namespace zem::pointertest;

namespace {

using PointerTest = PointerFixture;

TEST_F(PointerTest, CursorFollowsEdgeZonesToolsAndHandles) {
    Map.Resize(600, 300);
    const struct {
        int X, Y, Cursor;
    } Cases[] = {{5, 5, 1},   {300, 5, 2}, {595, 150, 4}, {150, 295, 7},
                 {5, 150, 8}, {595, 5, 3}, {300, 150, 15}};
    for (const auto& C : Cases) {
        Move(C.X, C.Y);
        EXPECT_EQ(Map.Edit.Cursor, C.Cursor) << C.X << "," << C.Y;
        EXPECT_EQ(Host.Cursor, C.Cursor);
    }
    for (auto [Tool, Cursor] : {std::pair{tZoomIn, 10}, {tZoomOut, 11}, {tChoiseColor, 13}, {tMeasure, 16}}) {
        Map.SetCurrentTool(Tool);
        Move(300, 150);
        EXPECT_EQ(Host.Cursor, Cursor);
    }
    // Over a vertex handle of the current polyline: the vertex cursor, and the menu point is remembered.
    Map.SetCurrentTool(tSelectObject);
    Map.Edit.CurrentObject = Add(otLine, {{100, 100}, {200, 120}});
    Map.Edit.EditMode = 1;
    Move(201, 121);
    EXPECT_EQ(Host.Cursor, crMovePoint);
    EXPECT_EQ(Map.Edit.MenuPoint, (TPoint{201, 121}));
    Map.ObjectByID(Map.Edit.CurrentObject).Lock = true; // a locked object shows no handles
    Move(200, 120);
    EXPECT_EQ(Host.Cursor, crStandard);
}

TEST_F(PointerTest, EventsComeAroundTheMapsOwnHandlingInOrder) {
    std::vector<std::string> Log;
    Map.OnMouseMove = [&](TZemMap& M, TZemShiftState, int, int) {
        Log.push_back("move@" + std::to_string(static_cast<int>(M.View.CursorPos.X)));
    };
    Map.OnMouseDown = [&](TZemMap& M, TZemMouseButton, TZemShiftState S, int, int) {
        Log.push_back("down" + std::string(S & ssDouble ? "2" : "") + "/" +
                      std::to_string(M.NewObject.PointCount()));
        Host.Focused = false;
    };
    Map.OnMouseUp = [&](TZemMap&, TZemMouseButton, TZemShiftState, int, int) {
        Log.push_back(Host.Focused ? "up-late" : "up"); // the map's release takes the focus afterwards
    };
    Map.OnClick = [&](TZemMap&) { Log.push_back("click"); };
    Map.OnDblClick = [&](TZemMap&) { Log.push_back("dbl"); };
    Map.SetCurrentTool(tLine);
    Move(100, 100);
    Move(150, 100);
    Press(150, 100);
    Release(150, 100);
    Map.DblClick(0, 150, 100);
    Release(150, 100);
    EXPECT_EQ(Log, (std::vector<std::string>{"move@0", "move@100", "down/1", "click", "up", "dbl", "down2/1",
                                             "up"}));
    EXPECT_TRUE(Host.Focused);
}

TEST_F(PointerTest, EdgeScrollingShiftsTheViewPerTickUntilReleasedOrLeft) {
    Add(otLine, {{-1000, -1000}, {2000, 2000}}); // room to scroll into
    Move(200, 5);
    Press(200, 5);
    ASSERT_TRUE(Map.EdgeScrollTimer().Enabled());
    Host.AdvanceTime(25);
    Host.AdvanceTime(25);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, -40}));
    Release(200, 5);
    EXPECT_FALSE(Map.EdgeScrollTimer().Enabled());
    Move(395, 395);
    Press(395, 395);
    Move(200, 200); // out of the zones: the next tick stops the timer
    Host.AdvanceTime(25);
    EXPECT_FALSE(Map.EdgeScrollTimer().Enabled());
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, -40}));
    Release(200, 200);
    // The view may go one extent (3000) beyond the map's left edge (-1000), no farther.
    Map.View.LeftTop = {-3990, 0};
    Move(5, 200);
    Press(5, 200);
    Host.AdvanceTime(25);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-3990, 0}));
    Release(5, 200);
}

TEST_F(PointerTest, MeasuringReportsTotalAndCurrentAndRightPressClears) {
    Map.SetMeasureScale(200);
    float Total = 0, Current = 0;
    Map.OnMeasure = [&](TZemMap&, float T, float C) {
        Total = T;
        Current = C;
    };
    Map.SetCurrentTool(tMeasure);
    Click(100, 100);
    Click(130, 140); // 50 world units at a measure scale of 200
    Move(130, 180);
    EXPECT_FLOAT_EQ(Total, 180.0f);
    EXPECT_FLOAT_EQ(Current, 80.0f);
    RightClick(300, 300);
    EXPECT_FLOAT_EQ(Total, -1.0f);
    EXPECT_FLOAT_EQ(Current, -1.0f);
    EXPECT_TRUE(Map.Edit.MeasurePoints.Empty());
}

TEST_F(PointerTest, ZoomToolsPanningAndRubberBand) {
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

    Map.SetCurrentTool(tSelectRect);
    Move(300, 300);
    Press(300, 300);
    Move(250, 320);
    EXPECT_TRUE(Host.Captured);
    EXPECT_EQ(Map.Edit.SelectionRect, (TRect{250, 300, 300, 320}));
    Release(250, 320);
    EXPECT_FALSE(Host.Captured);
}

TEST_F(PointerTest, ColourPickTakesTheFramesPixel) {
    Map.SetCurrentTool(tChoiseColor);
    Click(200, 200);
    EXPECT_EQ(Map.Edit.PickedColor, Map.Doc.BackColor);
}

} // namespace
