#include "PointerFixture.h"

using namespace zem;
using namespace zem::pointertest;

namespace {

using KeyboardTest = PointerFixture;

TEST_F(KeyboardTest, EscapeMidPolygonSelectsButKeepsThePartialPolygon) {
    std::vector<TObjectTool> Tools;
    Map.OnChangeCurrentTool = [&](TZemMap&, TObjectTool T) { Tools.push_back(T); };
    Map.SetCurrentTool(tPolygon);
    Click(100, 100);
    Click(200, 100);
    Map.KeyDown(vk::Escape, 0);
    EXPECT_EQ(Map.CurrentTool(), tSelectObject);
    EXPECT_EQ(Tools, (std::vector<TObjectTool>{tPolygon, tSelectObject}));
    EXPECT_TRUE(Map.Edit.Creating);
    EXPECT_EQ(Map.NewObject.PointCount(), 2);
    Map.SetCurrentTool(tLine); // a tool choice ends it
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
}

TEST_F(KeyboardTest, SpacePansWithTheHandAndGivesTheToolBack) {
    Add(otLine, {{-1000, -1000}, {2000, 2000}});
    Map.SetCurrentTool(tPolygon);
    Map.KeyDown(vk::Space, 0);
    Move(200, 200);
    EXPECT_EQ(Host.Cursor, crHand);
    Drag({{200, 200}, {250, 220}});
    Map.KeyUp(vk::Space, 0);
    EXPECT_EQ(Map.View.LeftTop, (TXYPoint{-50, -20}));
    EXPECT_EQ(Map.CurrentTool(), tPolygon);
    EXPECT_FALSE(Map.Edit.Creating); // the pan press built nothing
    Map.KeyDown(vk::Space, 0);       // released without a press: the tool stays as the user chose
    Map.SetCurrentTool(tLine);
    Map.KeyUp(vk::Space, 0);
    EXPECT_EQ(Map.CurrentTool(), tLine);
}

TEST_F(KeyboardTest, CtrlTabWalksExistingIdsAndDeleteRemoves) {
    const std::int32_t A = Add(otLine, {{1, 1}, {9, 9}}), B = Add(otLine, {{2, 2}, {8, 8}});
    const std::int32_t C = Add(otLine, {{3, 3}, {7, 7}});
    Map.Edit.CurrentObject = A;
    Map.KeyDown(vk::Delete, 0);
    EXPECT_FALSE(Map.ObjectExists(A));
    EXPECT_EQ(Map.CurrentObject(), -1);
    Map.KeyDown(vk::Tab, ssCtrl); // nothing current: nothing to walk from
    EXPECT_EQ(Map.CurrentObject(), -1);
    Map.Edit.CurrentObject = B;
    Map.KeyDown(vk::Tab, ssCtrl);
    EXPECT_EQ(Map.CurrentObject(), C);
    Map.KeyDown(vk::Tab, ssCtrl); // wraps
    EXPECT_EQ(Map.CurrentObject(), B);
    Map.KeyDown(vk::Tab, 0); // Tab alone does nothing
    EXPECT_EQ(Map.CurrentObject(), B);
}

TEST_F(KeyboardTest, KeypadZoomsByTheScaleStep) {
    Map.KeyDown(vk::Add, 0);
    EXPECT_EQ(Map.View.Scale, 120.0f);
    Map.KeyDown(vk::Subtract, 0);
    Map.KeyDown(vk::Subtract, 0);
    EXPECT_EQ(Map.View.Scale, 80.0f);
}

} // namespace
