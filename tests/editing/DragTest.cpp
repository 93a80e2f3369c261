#include "PointerFixture.h"

using namespace zem;
using namespace zem::pointertest;

namespace {

struct DragTest : PointerFixture {
    TZemObject& Current(std::int32_t ID, std::int32_t Mode) {
        Map.Edit.CurrentObject = ID;
        Map.Edit.EditMode = Mode;
        return Map.ObjectByID(ID);
    }
};

TEST_F(DragTest, SizeHandleStretchesProportionallyWithOneFramePerMove) {
    TZemObject& O = Current(Add(otLine, {{100, 100}, {150, 125}, {200, 150}}), 0);
    Move(200, 150);
    EXPECT_EQ(Host.Cursor, crSizeNWSE);
    Press(200, 150);
    const int Frames = Map.View.PaintCounter;
    Move(250, 170);
    Move(300, 200);
    EXPECT_EQ(Map.View.PaintCounter, Frames + 2);
    Release(300, 200);
    EXPECT_EQ(Points(O), (Pts{{100, 100}, {200, 150}, {300, 200}}));
}

TEST_F(DragTest, RotationHandleTurnsByOneStepPerMessage) {
    TZemObject& O = Current(Add(otEllipse, {{100, 100}, {200, 160}}), 2);
    const TPoint a = Map.WorldToScreen(O.LeftTop), b = Map.WorldToScreen(O.RightBottom);
    const int X = (a.X + b.X) / 2, Y = (a.Y + b.Y) / 2;
    Drag({{X, Y}, {X, Y - 1}, {X, Y - 2}, {X, Y - 3}}); // up: counter-clockwise
    EXPECT_FLOAT_EQ(O.Angle(), 3 * 0.06283186f);
    Drag({{X, Y}, {X + 40, Y}}); // sideways counts as down
    EXPECT_FLOAT_EQ(O.Angle(), 2 * 0.06283186f);
}

TEST_F(DragTest, TextVertexDragKeepsTheBoxRectangular) {
    TZemObject& O = Current(Add(otText, {{100, 100}, {200, 100}, {200, 150}, {100, 150}}), 1);
    Drag({{200, 150}, {220, 170}});
    EXPECT_EQ(Points(O), (Pts{{100, 100}, {220, 100}, {220, 170}, {100, 170}}));
}

TEST_F(DragTest, PressAndDragMovesUnlessLockedAndCtrlMovesEvenByAHandle) {
    TZemObject& O = Current(Add(otLine, {{100, 100}, {200, 100}}), 1);
    Drag({{150, 100}, {160, 105}, {170, 110}}); // on the line, away from its vertex handles
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
