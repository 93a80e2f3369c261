#include "PointerFixture.h"

#include <numbers>

using namespace zem;
using namespace zem::pointertest;

namespace {

using CreateTest = PointerFixture;

TEST_F(CreateTest, PolygonTakesEveryPressAndTheRightPressButNotADoubleClick) {
    Map.Edit.NewBrushColor = RGBColor(4, 5, 6);
    Map.SetCurrentTool(tPolygon);
    Click(110, 110);
    Click(150, 110);
    Map.DblClick(0, 150, 110); // the fast second click of the last press
    Click(150, 140);
    Right(110, 140);
    ASSERT_EQ(Map.Count(), 1);
    EXPECT_EQ(Points(Last()), (Pts{{110, 110}, {150, 110}, {150, 140}, {110, 140}}));
    EXPECT_EQ(Last().Brush.Color, RGBColor(4, 5, 6));
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.CurrentObject(), -1);
}

TEST_F(CreateTest, RectangleEllipseAndBezierTakeTheirCornersAndTriples) {
    Map.SetCurrentTool(tRectangle);
    Click(110, 110);
    Click(190, 190); // later presses do nothing
    Move(150, 130);
    Right(300, 300); // the far corner is where the pointer last moved
    EXPECT_EQ(Last().Kind, otPolygon);
    EXPECT_EQ(Points(Last()), (Pts{{110, 110}, {150, 110}, {150, 130}, {110, 130}}));
    Map.SetCurrentTool(tEllipse);
    Click(120, 120);
    Move(160, 180);
    Right(300, 300);
    EXPECT_EQ(Points(Last()), (Pts{{120, 120}, {160, 180}}));
    Map.SetCurrentTool(tBezier);
    Click(101, 102);
    Click(103, 104);
    Right(105, 106);
    EXPECT_EQ(Points(Last()), (Pts{{101, 102},
                                   {101, 102},
                                   {101, 102},
                                   {103, 104},
                                   {103, 104},
                                   {103, 104},
                                   {105, 106},
                                   {105, 106},
                                   {105, 106}}));
}

TEST_F(CreateTest, TextTakesTheDialogsValuesAtTheScaleAndCancelDropsIt) {
    Map.SetScale(50);
    const TXYPoint A = Map.ScreenToWorld(100, 100), C = Map.ScreenToWorld(200, 150);
    Map.SetCurrentTool(tText);
    Click(100, 100);
    Move(200, 150);
    Host.TextAnswers.push_back(TZemTextAnswer{"Дом", 900, "Arial", 20, 3});
    Right(200, 150);
    ASSERT_EQ(Map.Count(), 1);
    const TZemObject& T = Last();
    EXPECT_EQ(Points(T), (Pts{A, {C.X, A.Y}, C, {A.X, C.Y}}));
    EXPECT_EQ(T.Text(), FromUtf8("Дом"));
    EXPECT_EQ(T.Font.Size, 40); // 20 on screen at 50 %
    EXPECT_FLOAT_EQ(T.Angle(), std::numbers::pi_v<float> / 2);
    Click(110, 110);
    Right(130, 130); // no answer scripted: cancelled
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
}

// The pixels of a text "WWW" of size 20 made with the dialog at Scale, as drawn at that scale.
std::int32_t InkOfText(float Scale, std::int32_t& StoredSize) {
    HeadlessHost Host;
    TZemMap Map{Host};
    Map.SetScale(Scale);
    Map.SetCurrentTool(tText);
    Map.MouseMove(0, 60, 60);
    Map.MouseDown(TZemMouseButton::mbLeft, 0, 60, 60);
    Map.MouseUp(TZemMouseButton::mbLeft, 0, 60, 60);
    Map.MouseMove(0, 360, 200);
    Host.TextAnswers.push_back(TZemTextAnswer{"WWW", 0, "Arial", 20, 0});
    Map.MouseDown(TZemMouseButton::mbRight, 0, 360, 200);
    StoredSize = Map.ObjectByID(Map.Doc.Order[0]).Font.Size;
    Map.Refresh();
    const TColor32 Back = Map.BackBuffer.ScanLine(5)[5];
    std::int32_t Ink = 0;
    for (int Y = 62; Y < 198; ++Y)
        for (int X = 62; X < 358; ++X)
            Ink += Map.BackBuffer.ScanLine(Y)[X] != Back;
    return Ink;
}

TEST(CreateTextSize, TheDialogsSizeIsTheSizeOnScreenAtAnyZoom) {
    std::int32_t At25 = 0, At100 = 0;
    const std::int32_t Ink25 = InkOfText(25, At25), Ink100 = InkOfText(100, At100);
    EXPECT_EQ(At25, 80);
    EXPECT_EQ(At100, 20);
    // Drawn at 20 either way: the same glyphs cover about the same pixels.
    EXPECT_GT(Ink25, 100);
    EXPECT_NEAR(Ink25, Ink100, Ink100 / 5);
}

TEST_F(CreateTest, SegmentRunsFromJunctionToJunctionAndWaitsOnMisses) {
    Map.Net.ShowTransportNet = true;
    Map.SetConnectionKind(1);
    Map.SetCurrentTool(tRoadCross);
    Click(100, 100);
    Click(300, 200);
    EXPECT_EQ(Last().Plane(), 127);
    const std::int32_t J1 = Map.Doc.Order[0], J2 = Map.Doc.Order[1];
    Map.SetCurrentTool(tRoadCrossLine);
    Click(200, 300); // beside every junction: nothing
    Right(301, 199); // no start yet: nothing to finish
    Click(101, 102); // the junction's own point, not the press
    Click(200, 100);
    Right(250, 250); // beside every junction: the segment stays open
    EXPECT_EQ(Map.Count(), 2);
    Right(301, 199);
    const TZemObject& S = Last();
    EXPECT_EQ(Points(S), (Pts{{100, 100}, {200, 100}, {300, 200}}));
    EXPECT_EQ(S.StartCrossID, J1);
    EXPECT_EQ(S.EndCrossID, J2);
    EXPECT_EQ(S.Direction(), 1);
    EXPECT_EQ(S.Plane(), 126);
    Map.SetCurrentTool(tIco);
    Click(170, 180);
    EXPECT_EQ(Last().Plane(), 0); // a fresh template, not the segment's plane
}

TEST_F(CreateTest, RoutePointsAreAddedAndClearedAndNothingIsBuiltWhileEditingIsOff) {
    Map.SetCurrentTool(tRoadPoint);
    Click(110, 120);
    Click(130, 140);
    EXPECT_EQ(Map.Net.RoutePoints.Count(), 2);
    Right(105, 105);
    EXPECT_TRUE(Map.Net.RoutePoints.Empty());
    Map.SetOption(Map.Doc.Option & ~(1 << moEditable));
    Map.SetCurrentTool(tLine);
    Click(110, 110);
    Right(120, 120);
    EXPECT_EQ(Map.Count(), 0);
}

} // namespace
