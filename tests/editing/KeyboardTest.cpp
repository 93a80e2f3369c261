#include "PointerFixture.h"

using namespace zem;
using namespace zem::pointertest;

namespace {

using KeyboardTest = PointerFixture;

TEST_F(KeyboardTest, EscapeMidPolygonSelectsAndDropsThePartialPolygon) {
    TObjectTool Told = tNone;
    Map.OnChangeCurrentTool = [&](TZemMap&, TObjectTool T) { Told = T; };
    Map.SetCurrentTool(tPolygon);
    Click(100, 100);
    Click(200, 100);
    const std::int32_t Frames = Map.View.PaintCounter;
    Map.KeyDown(vk::Escape, 0);
    EXPECT_EQ(Told, tSelectObject);
    EXPECT_EQ(Map.CurrentTool(), tSelectObject);
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
    EXPECT_GT(Map.View.PaintCounter, Frames); // the rubber pieces are gone from the view at once
    Right(250, 150);
    EXPECT_EQ(Map.Count(), 0);
    // Under the Space hand the user's own tool is the one left.
    Map.SetCurrentTool(tLine);
    Click(100, 100);
    Map.KeyDown(vk::Space, 0);
    Press(150, 150);
    Map.KeyDown(vk::Escape, 0);
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
}

TEST_F(KeyboardTest, SpacePansWithTheHandAndGivesTheToolBackOnlyAfterAPress) {
    Add(otLine, {{-1000, -1000}, {2000, 2000}});
    Map.SetCurrentTool(tPolygon);
    Map.KeyDown(vk::Space, 0);
    Drag({{200, 200}, {250, 220}});
    Map.KeyUp(vk::Space, 0);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-50, -20}));
    EXPECT_EQ(Map.CurrentTool(), tPolygon);
    EXPECT_FALSE(Map.Edit.Creating); // the pan press built nothing
    Map.KeyDown(vk::Space, 0);
    Map.SetCurrentTool(tLine);
    Map.KeyUp(vk::Space, 0);
    EXPECT_EQ(Map.CurrentTool(), tLine);
}

TEST_F(KeyboardTest, CtrlTabWalksExistingIdsDeleteRemovesKeypadZooms) {
    const std::int32_t A = Add(otLine, {{1, 1}, {9, 9}}), B = Add(otLine, {{2, 2}, {8, 8}});
    const std::int32_t C = Add(otLine, {{3, 3}, {7, 7}});
    Map.Edit.CurrentObject = A;
    Map.KeyDown(vk::Delete, 0);
    EXPECT_FALSE(Map.ObjectExists(A));
    Map.Edit.CurrentObject = B;
    Map.KeyDown(vk::Tab, ssCtrl);
    EXPECT_EQ(Map.CurrentObject(), C);
    Map.KeyDown(vk::Tab, ssCtrl); // wraps past the gap where A was
    EXPECT_EQ(Map.CurrentObject(), B);
    Map.KeyDown(vk::Add, 0);
    EXPECT_EQ(Map.View.Scale, 120.0f);
}

} // namespace
