// Pointer editing of the current object with tSelectObject: moving it, stretching it by its eight size
// handles, dragging a vertex and rotating it. One pointer message is one step and draws one frame: the
// object's change notification already renders, so a frame is added only where none was drawn. The
// mini-map shows only the moving view frame meanwhile; its content is rebuilt at the release.
#include "model/ZemMap.h"

namespace zem {

using ld = long double;

namespace {

// 2 pi / 100 radians (3.6 degrees) per pointer message, whatever the distance moved.
constexpr float kRotateStep = 0.06283186f;

} // namespace

void TZemMap::TouchDragged(std::int32_t ID) {
    if (!FGestureOpen)
        BeginGesture();
    if (FTouchedID != ID) {
        TouchObject(ID);
        FTouchedID = ID;
    }
    FGestureChanged = true;
}

void TZemMap::DragStep(std::int32_t, std::int32_t Y) {
    auto* Slot = Doc.Objects.Find(Edit.CurrentObject);
    if (!Slot || (*Slot)->Lock)
        return;
    TZemObject& O = **Slot;
    const std::int32_t PaintsBefore = View.PaintCounter;
    const TXYPoint C = View.CursorPos;
    const bool NoHandle = Edit.DragSizeHandle == -1 && Edit.DragVertex == -1 && Edit.DragRotate == -1;

    if ((Edit.SelectPress && NoHandle) || (Edit.CtrlDown && Edit.Dragging)) {
        // The object follows the pointer's world movement since the last step.
        if (C == Edit.MoveAnchor)
            return;
        TouchDragged(O.ID);
        const TXYPoint LT = O.LeftTop, A = Edit.MoveAnchor;
        O.MoveTo(TXYPoint{static_cast<float>(static_cast<ld>(C.X) - (static_cast<ld>(A.X) - LT.X)),
                          static_cast<float>(static_cast<ld>(C.Y) - (static_cast<ld>(A.Y) - LT.Y))});
        Edit.MoveAnchor = C;
        RedrawOnce(PaintsBefore);
        UpdateMiniMapFrame();
        return;
    }
    if (!Edit.Dragging)
        return;

    if (Edit.DragSizeHandle != -1) {
        const TXYPoint LT = O.LeftTop, RB = O.RightBottom;
        TXYPoint NL = LT, NR = RB;
        switch (Edit.DragSizeHandle) {
        case 0:
            NL = C;
            break;
        case 1:
            NL.Y = C.Y;
            break;
        case 2:
            NL.Y = C.Y;
            NR.X = C.X;
            break;
        case 3:
            NR.X = C.X;
            break;
        case 4:
            NR = C;
            break;
        case 5:
            NR.Y = C.Y;
            break;
        case 6:
            NL.X = C.X;
            NR.Y = C.Y;
            break;
        case 7:
            NL.X = C.X;
            break;
        default:
            return;
        }
        if (NL == LT && NR == RB)
            return;
        TouchDragged(O.ID);
        O.StretchToBox(NL, NR);
    } else if (Edit.DragVertex != -1) {
        const std::int32_t m = Edit.DragVertex, n = O.PointCount();
        if (m >= n || O.Point(m) == C)
            return;
        TouchDragged(O.ID);
        if (O.Kind == otText) {
            // The text's box stays a rectangle: the neighbours sharing the vertex's sides follow it.
            const TXYPoint Pm = O.Point(m);
            const std::int32_t Next = (m + 1) % n, Prev = (m + n - 1) % n;
            const TXYPoint Pn = O.Point(Next);
            if (Pn.Y == Pm.Y)
                O.SetPoint(Next, TXYPoint{Pn.X, C.Y});
            const TXYPoint Pp = O.Point(Prev);
            if (Pp.X == Pm.X)
                O.SetPoint(Prev, TXYPoint{C.X, Pp.Y});
        }
        O.SetPoint(m, C);
        O.UpdateBounds();
        AttachSegmentEnds(O.ID); // a segment's ends stay on their junctions
    } else if (Edit.DragRotate != -1) {
        TouchDragged(O.ID);
        O.Rotate(Y < View.PressPoint.Y ? kRotateStep : -kRotateStep);
        View.PressPoint.Y = Y;
    } else {
        return;
    }
    RedrawOnce(PaintsBefore);
    UpdateMiniMapFrame();
}

} // namespace zem
