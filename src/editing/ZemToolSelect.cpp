// The selection tool: a press selects the object under the pointer (or grabs a handle of the current
// one), and each pointer move while the button is held is one step of editing it -- moving it,
// stretching it by its eight size handles, dragging a vertex or rotating it. One pointer message is one
// step and draws one frame: the object's change notification already renders, so a frame is added only
// where none was drawn. The mini-map shows only the moving view frame meanwhile; its content is rebuilt
// at the release.
#include "editing/ZemTools.h"
#include "model/ZemMap.h"

namespace zem {

using ld = long double;

namespace {

// 2 pi / 100 radians (3.6 degrees) per pointer message, whatever the distance moved.
constexpr float kRotateStep = 0.06283186f;

// The box after dragging size handle H (0 top-left, clockwise) to C; false for no handle.
bool StretchedBox(std::int32_t H, const TXYPoint& C, TXYPoint& NL, TXYPoint& NR) {
    switch (H) {
    case 0:
        NL = C;
        return true;
    case 1:
        NL.Y = C.Y;
        return true;
    case 2:
        NL.Y = C.Y;
        NR.X = C.X;
        return true;
    case 3:
        NR.X = C.X;
        return true;
    case 4:
        NR = C;
        return true;
    case 5:
        NR.Y = C.Y;
        return true;
    case 6:
        NL.X = C.X;
        NR.Y = C.Y;
        return true;
    case 7:
        NL.X = C.X;
        return true;
    default:
        return false;
    }
}

// The object follows the pointer's world movement since the last step; false when it did not move.
bool MoveStep(TZemMap& Map, TZemObject& O, const TXYPoint& C) {
    if (C == Map.Edit.MoveAnchor)
        return false;
    Map.TouchDragged(O.ID);
    const TXYPoint LT = O.LeftTop, A = Map.Edit.MoveAnchor;
    O.MoveTo(TXYPoint{static_cast<float>(static_cast<ld>(C.X) - (static_cast<ld>(A.X) - LT.X)),
                      static_cast<float>(static_cast<ld>(C.Y) - (static_cast<ld>(A.Y) - LT.Y))});
    Map.Edit.MoveAnchor = C;
    return true;
}

bool StretchStep(TZemMap& Map, TZemObject& O, const TXYPoint& C) {
    const TXYPoint LT = O.LeftTop, RB = O.RightBottom;
    TXYPoint NL = LT, NR = RB;
    if (!StretchedBox(Map.Edit.DragSizeHandle, C, NL, NR) || (NL == LT && NR == RB))
        return false;
    Map.TouchDragged(O.ID);
    O.StretchToBox(NL, NR);
    return true;
}

bool VertexStep(TZemMap& Map, TZemObject& O, const TXYPoint& C) {
    const std::int32_t m = Map.Edit.DragVertex, n = O.PointCount();
    if (m >= n || O.Point(m) == C)
        return false;
    Map.TouchDragged(O.ID);
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
    Map.AttachSegmentEnds(O.ID); // a segment's ends stay on their junctions
    return true;
}

void RotateStep(TZemMap& Map, TZemObject& O, std::int32_t Y) {
    Map.TouchDragged(O.ID);
    O.Rotate(Y < Map.View.PressPoint.Y ? kRotateStep : -kRotateStep);
    Map.View.PressPoint.Y = Y;
}

} // namespace

void TZemSelectTool::EditPress(TZemMap& Map, const TZemPress& P) const {
    TZemEditState& E = Map.Edit;
    Map.Net.RouteHighlight.Clear();
    E.SelectPress = true;
    if (E.HoverSizeHandle == -1 && E.HoverVertex == -1 && E.HoverRotate == -1) {
        Map.SelectAt(P.Screen);
        if (E.CtrlDown)
            E.Dragging = true;
    } else {
        if (E.HoverSizeHandle != -1)
            E.DragSizeHandle = E.HoverSizeHandle;
        else if (E.HoverVertex != -1)
            E.DragVertex = E.HoverVertex;
        else {
            E.DragRotate = E.HoverRotate;
            Map.View.PressPoint = P.Screen;
        }
        E.Dragging = true;
    }
    Map.RedrawOnce(P.PaintsBefore);
}

void TZemSelectTool::Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const {
    const TZemEditState& E = Map.Edit;
    if (E.CurrentObject == -1)
        return;
    auto* Slot = Map.Doc.Objects.Find(E.CurrentObject);
    if (!Slot || (*Slot)->Lock)
        return;
    TZemObject& O = **Slot;
    const TXYPoint C = Map.View.CursorPos;
    const bool NoHandle = E.DragSizeHandle == -1 && E.DragVertex == -1 && E.DragRotate == -1;

    bool Changed = false;
    if ((E.SelectPress && NoHandle) || (E.CtrlDown && E.Dragging))
        Changed = MoveStep(Map, O, C);
    else if (!E.Dragging)
        return;
    else if (E.DragSizeHandle != -1)
        Changed = StretchStep(Map, O, C);
    else if (E.DragVertex != -1)
        Changed = VertexStep(Map, O, C);
    else if (E.DragRotate != -1) {
        RotateStep(Map, O, Pointer.Y);
        Changed = true;
    }
    if (!Changed)
        return;
    Map.RedrawOnce(PaintsBefore);
    Map.UpdateMiniMapFrame();
}

std::string TZemSelectTool::Hint(const TZemMap& Map) const {
    if (!Map.Doc.HasOption(moEditable))
        return "Редактирование запрещено";
    if (Map.Edit.Dragging || (Map.Edit.SelectPress && Map.Edit.CurrentObject != -1))
        return "Отпустите кнопку — закончить изменение; Ctrl+Z — отменить";
    if (Map.Edit.HoverSizeHandle != -1)
        return "Перетаскивание — изменить размер";
    if (Map.Edit.HoverVertex != -1)
        return "Перетаскивание — сдвинуть точку; правый щелчок — добавить или удалить точку";
    if (Map.Edit.HoverRotate != -1)
        return "Перетаскивание вверх или вниз — повернуть";
    if (Map.Edit.CurrentObject != -1)
        return "Щелчок — сменить маркеры; перетаскивание — сдвинуть; правый щелчок — меню объекта";
    return "Щелчок — выбрать объект";
}

} // namespace zem
