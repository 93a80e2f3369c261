#include "PointerFixture.h"

#include <numbers>

using namespace zem;
using namespace zem::pointertest;

namespace {

using CreateTest = PointerFixture;
using Pts = std::vector<TXYPoint>;

TEST_F(CreateTest, PolygonTakesEveryPressAndTheRightPressButNotADoubleClick) {
    Map.Edit.NewPenColor = RGBColor(1, 2, 3);
    Map.Edit.NewBrushColor = RGBColor(4, 5, 6);
    Map.SetCurrentTool(tPolygon);
    Click(110, 110);
    Click(150, 110);
    Map.DblClick(0, 150, 110); // the fast second click of the last press
    Release(150, 110);
    Click(150, 140);
    EXPECT_EQ(Map.Count(), 0);
    EXPECT_TRUE(Map.Edit.Creating);
    RightClick(110, 140);
    ASSERT_EQ(Map.Count(), 1);
    EXPECT_EQ(Last().Kind, otPolygon);
    EXPECT_EQ(Points(Last()), (Pts{{110, 110}, {150, 110}, {150, 140}, {110, 140}}));
    EXPECT_EQ(Last().Pen.Color, RGBColor(1, 2, 3));
    EXPECT_EQ(Last().Brush.Color, RGBColor(4, 5, 6));
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.CurrentObject(), -1);
    EXPECT_EQ(Map.NewObject.PointCount(), 4); // kept until the next creation
}

TEST_F(CreateTest, RectangleEllipseAndBezierTakeTheirCornersAndTriples) {
    Map.SetCurrentTool(tRectangle);
    Click(110, 110);
    Click(190, 190); // later presses do nothing
    Move(150, 130);
    Map.MouseDown(TZemMouseButton::mbRight, 0, 200, 200); // the corner is where the pointer last moved
    EXPECT_EQ(Last().Kind, otPolygon);
    EXPECT_EQ(Points(Last()), (Pts{{110, 110}, {150, 110}, {150, 130}, {110, 130}}));

    Map.SetCurrentTool(tEllipse);
    Click(120, 120);
    Move(160, 180);
    Map.MouseDown(TZemMouseButton::mbRight, 0, 300, 300);
    EXPECT_EQ(Last().Kind, otEllipse);
    EXPECT_EQ(Points(Last()), (Pts{{120, 120}, {160, 180}}));

    Map.SetCurrentTool(tBezier);
    Click(101, 102);
    Click(103, 104);
    RightClick(105, 106);
    EXPECT_EQ(Points(Last()), (Pts{{101, 102},
                                   {101, 102},
                                   {101, 102},
                                   {103, 104},
                                   {103, 104},
                                   {103, 104},
                                   {105, 106},
                                   {105, 106},
                                   {105, 106}}));
    EXPECT_EQ(Map.Count(), 3);
}

TEST_F(CreateTest, TextTakesTheDialogsValuesScaledAndShowsThemWhileEdited) {
    Map.SetScale(50);
    const TXYPoint A = Map.ScreenToWorld(100, 100), C = Map.ScreenToWorld(200, 150);
    Map.SetCurrentTool(tText);
    Click(100, 100);
    Move(200, 150);
    Host.TextAnswers.push_back(TZemTextAnswer{"Дом", 900, "Arial", 20, 3});
    const int Frames = Map.View.PaintCounter;
    RightClick(200, 150);
    EXPECT_GT(Map.View.PaintCounter, Frames + 1); // the dialog's live change drew a frame
    ASSERT_EQ(Map.Count(), 1);
    const TZemObject& T = Last();
    EXPECT_EQ(T.Kind, otText);
    EXPECT_EQ(Points(T), (Pts{A, {C.X, A.Y}, C, {A.X, C.Y}}));
    EXPECT_EQ(T.Text(), FromUtf8("Дом"));
    EXPECT_EQ(T.Font.Size, 10);
    EXPECT_EQ(T.Font.Style, 3);
    EXPECT_FLOAT_EQ(T.Angle(), std::numbers::pi_v<float> / 2);

    Click(110, 110); // cancelled: nothing stored, the box is dropped
    RightClick(130, 130);
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
    EXPECT_FALSE(Map.Edit.Creating);
}

TEST_F(CreateTest, JunctionsIconsAndLaterObjectsStartFromACleanTemplate) {
    Map.SetCurrentTool(tRoadCross);
    Click(130, 140);
    EXPECT_EQ(Last().Kind, otRoadCross);
    EXPECT_EQ(Last().Plane(), 127);
    EXPECT_EQ(Points(Last()), (Pts{{130, 140}}));
    Map.SetCurrentTool(tIco);
    Click(170, 180);
    EXPECT_EQ(Last().Kind, otIco);
    EXPECT_EQ(Last().Plane(), 0); // not the junction's plane
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.Count(), 2);
}

TEST_F(CreateTest, SegmentRunsFromJunctionToJunctionAndWaitsOnMisses) {
    Map.Net.ShowTransportNet = true;
    Map.SetConnectionKind(1);
    Map.SetCurrentTool(tRoadCross);
    Click(100, 100);
    Click(300, 200);
    const std::int32_t J1 = Map.Doc.Order[0], J2 = Map.Doc.Order[1];
    const TXYPoint P1 = Map.ObjectByID(J1).Point(0), P2 = Map.ObjectByID(J2).Point(0);
    Map.SetCurrentTool(tRoadCrossLine);
    Click(200, 300); // beside every junction
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
    RightClick(301, 199); // no start yet: nothing to finish
    Click(101, 102);      // on the first junction: its own point, not the press
    Click(200, 100);      // a bend
    RightClick(250, 250); // beside every junction: the segment stays open
    EXPECT_EQ(Map.Count(), 2);
    RightClick(301, 199);
    ASSERT_EQ(Map.Count(), 3);
    const TZemObject& S = Last();
    EXPECT_EQ(S.Kind, otRoadCrossLine);
    EXPECT_EQ(Points(S), (Pts{P1, {200, 100}, P2}));
    EXPECT_EQ(S.StartCrossID, J1);
    EXPECT_EQ(S.EndCrossID, J2);
    EXPECT_EQ(S.Direction(), 1);
    EXPECT_EQ(S.Plane(), 126);
}

TEST_F(CreateTest, RoutePointsAreAddedAndClearedAndNothingIsCreatedWhileEditingIsOff) {
    Map.SetCurrentTool(tRoadPoint);
    Click(110, 120);
    Click(130, 140);
    EXPECT_EQ(Map.Net.RoutePoints.Count(), 2);
    EXPECT_EQ(Map.Net.RoutePoints[1], (TXYPoint{130, 140}));
    RightClick(105, 105);
    EXPECT_TRUE(Map.Net.RoutePoints.Empty());

    Map.SetOption(Map.Doc.Option & ~(1 << moEditable));
    Map.SetCurrentTool(tLine);
    Click(110, 110);
    RightClick(120, 120);
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.Count(), 0);
}

} // namespace
