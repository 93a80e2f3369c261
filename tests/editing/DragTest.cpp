#include "PointerFixture.h"

using namespace zem;
using namespace zem::pointertest;

namespace {

using Pts = std::vector<TXYPoint>;

struct DragTest : PointerFixture {
    // Makes the object current with the given handles and returns it.
    TZemObject& Current(std::int32_t ID, std::int32_t Mode) {
        Map.Edit.CurrentObject = ID;
        Map.Edit.EditMode = Mode;
        return Map.ObjectByID(ID);
    }
    // Moves along a path with the button held, counting the frames each move drew.
    std::vector<int> FramesPerMove(std::initializer_list<TPoint> Path) {
        std::vector<int> Frames;
        for (const TPoint& P : Path) {
            const int Before = Map.View.PaintCounter;
            Move(P.X, P.Y);
            Frames.push_back(Map.View.PaintCounter - Before);
        }
        return Frames;
    }
};

TEST_F(DragTest, SizeHandleStretchesProportionallyWithOneFramePerMove) {
    TZemObject& O = Current(Add(otLine, {{100, 100}, {150, 125}, {200, 150}}), 0);
    Move(200, 150);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, 4);
    EXPECT_EQ(Host.Cursor, crSizeNWSE);
    Press(200, 150);
    EXPECT_EQ(FramesPerMove({{250, 170}, {300, 200}}), (std::vector<int>{1, 1}));
    Release(300, 200);
    EXPECT_EQ(Points(O), (Pts{{100, 100}, {200, 150}, {300, 200}}));
    EXPECT_EQ(Map.Edit.DragSizeHandle, -1);
    EXPECT_FALSE(Map.Edit.Dragging);
}

TEST_F(DragTest, RotationHandleTurnsByOneStepPerMessage) {
    TZemObject& O = Current(Add(otEllipse, {{100, 100}, {200, 160}}), 2);
    const TPoint a = Map.WorldToScreen(O.LeftTop), b = Map.WorldToScreen(O.RightBottom);
    const TPoint c{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
    Move(c.X, c.Y);
    ASSERT_EQ(Host.Cursor, crRotate);
    Press(c.X, c.Y);
    for (int i = 1; i <= 3; ++i)
        Move(c.X, c.Y - i); // up: counter-clockwise
    EXPECT_FLOAT_EQ(O.Angle(), 3 * 0.06283186f);
    Move(c.X + 40, c.Y - 3); // sideways counts as down
    Release(c.X + 40, c.Y - 3);
    EXPECT_FLOAT_EQ(O.Angle(), 2 * 0.06283186f);
}

TEST_F(DragTest, TextVertexDragKeepsTheBoxRectangular) {
    TZemObject& O = Current(Add(otText, {{100, 100}, {200, 100}, {200, 150}, {100, 150}}), 1);
    Drag({{200, 150}, {220, 170}});
    EXPECT_EQ(Points(O), (Pts{{100, 100}, {220, 100}, {220, 170}, {100, 170}}));
    // Another kind has no such rule.
    TZemObject& L = Current(Add(otPolygon, {{100, 100}, {200, 100}, {200, 150}, {100, 150}}), 1);
    Drag({{200, 150}, {220, 170}});
    EXPECT_EQ(Points(L), (Pts{{100, 100}, {200, 100}, {220, 170}, {100, 150}}));
}

TEST_F(DragTest, PressAndDragMovesUnlessLockedAndCtrlMovesEvenByAHandle) {
    TZemObject& O = Current(Add(otLine, {{100, 100}, {200, 100}}), 1);
    Move(150, 100);
    Press(150, 100); // on the line, away from its vertex handles
    EXPECT_EQ(FramesPerMove({{160, 105}, {170, 110}}), (std::vector<int>{1, 1}));
    Release(170, 110);
    EXPECT_EQ(Points(O), (Pts{{120, 110}, {220, 110}}));

    Current(O.ID, 0);
    Drag({{220, 110}, {230, 130}}, ssCtrl); // handle 4 grabbed, but Ctrl moves
    Map.KeyUp(vk::Tab, 0);                  // Ctrl let go
    EXPECT_EQ(Points(O), (Pts{{130, 130}, {230, 130}}));

    O.Lock = true;
    Drag({{180, 130}, {190, 150}});
    EXPECT_EQ(Points(O), (Pts{{130, 130}, {230, 130}}));
}

} // namespace
