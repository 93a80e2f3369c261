// The pointer state machine of the map control: what every tool shares -- the order of the steps of a
// press, move, release, double click and right press, the cursor of the edge zones, Space panning, the
// handle tests, the gesture that makes one undo step, and the automatic scrolling at the window edges.
// What a tool does itself is in its class (ZemTools.h), found by its row in the registry
// (ZemToolRegistry.h); the keyboard is in ZemKeyboard.cpp.
#include "editing/ZemHistory.h"
#include "editing/ZemToolRegistry.h"
#include "editing/ZemTools.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "platform/ZemTimer.h"

namespace zem {

namespace {

constexpr std::int32_t kEdgeZone = 20; // pixels of the edge-scroll zones
constexpr std::int32_t kEdgeStep = 20; // pixels the view moves per edge-scroll tick

bool IsEdgeCursor(std::int32_t C) {
    return C >= crEdgeTopLeft && C <= crEdgeLeft;
}

// Screen offset of one edge-scroll tick for each edge cursor 1 ... 8.
TPoint EdgeDirection(std::int32_t C) {
    static constexpr TPoint kDirs[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
    const TPoint D = kDirs[C - 1];
    return TPoint{D.X * kEdgeStep, D.Y * kEdgeStep};
}

} // namespace

// ---- tools and cursors ----

void TZemMap::SetCurrentTool(TObjectTool Tool) {
    LeaveTool();
    // Whichever tool was building it, a tool choice leaves no object under construction.
    Edit.Creating = false;
    NewObject.ClearPoints();
    Edit.CurrentTool = Tool;
    Edit.SpaceSwitched = false; // an explicit choice is not undone by releasing Space
    this->Tool().Activate(*this);
    if (OnChangeCurrentTool)
        OnChangeCurrentTool(*this, Tool);
}

void TZemMap::LeaveTool() {
    CancelDrag(); // a drag does not carry over into another tool
    if (Edit.SpaceSwitched)
        ToolOf(Edit.SavedTool).Deactivate(*this);
    Tool().Deactivate(*this);
}

std::int32_t TZemMap::ChooseCursor(std::int32_t X, std::int32_t Y, std::int32_t SizeCursor) const {
    const std::int32_t W = FWidth, H = FHeight, W3 = W / 3, H3 = H / 3;
    const std::int32_t Z = kEdgeZone;
    if ((X < Z && Y < H3) || (Y < Z && X < W3))
        return crEdgeTopLeft;
    if ((X < Z && Y > H - H3) || (X < W3 && Y > H - Z))
        return crEdgeBottomLeft;
    if (X < Z)
        return crEdgeLeft;
    if ((X > W - W3 && Y < Z) || (Y < H3 && X > W - Z))
        return crEdgeTopRight;
    if (Y < Z)
        return crEdgeTop;
    if ((X > W - Z && Y > H - H3) || (X > W - W3 && Y > H - Z))
        return crEdgeBottomRight;
    if (X > W - Z)
        return crEdgeRight;
    if (Y > H - Z)
        return crEdgeBottom;

    if (Edit.SpaceHand)
        return crHand;
    if (const std::int32_t Own = ToolRow(Edit.CurrentTool).Cursor; Own != -1)
        return Own;
    if (Edit.HoverVertex != -1)
        return crMovePoint;
    if (Edit.HoverRotate != -1)
        return crRotate;
    if (SizeCursor != -1)
        return SizeCursor;
    return crStandard;
}

// ---- gestures and undo ----

void TZemMap::BeginGesture() {
    EndGesture(); // a press whose release never came
    BeginChange();
    FGestureOpen = true;
    FGestureChanged = false;
    FTouchedID = -1;
}

void TZemMap::EndGesture() {
    if (!FGestureOpen)
        return;
    FGestureOpen = false;
    FTouchedID = -1;
    EndChange();
    if (FGestureChanged) {
        FGestureChanged = false;
        UpdateMiniMapContent();
    }
}

void TZemMap::TouchDragged(std::int32_t ID) {
    if (!FGestureOpen)
        BeginGesture();
    if (FTouchedID != ID) {
        TouchObject(ID);
        FTouchedID = ID;
    }
    History().NameStep(Edit.DragVertex >= 0       ? "перемещение точки"
                       : Edit.DragSizeHandle >= 0 ? "изменение размера"
                       : Edit.DragRotate >= 0     ? "поворот"
                                                  : "перемещение объекта");
    FGestureChanged = true;
}

void TZemMap::CancelDrag() {
    Edit.SelectPress = false;
    Edit.DragSizeHandle = Edit.DragVertex = Edit.DragRotate = -1;
    if (Edit.Dragging)
        Tool().AbandonDrag(*this);
    Edit.Dragging = false;
    if (EdgeScrollTimer().Enabled())
        EdgeScrollTimer().SetEnabled(false);
    EndGesture();
}

void TZemMap::RedrawOnce(std::int32_t PaintsBefore) {
    if (View.PaintCounter == PaintsBefore)
        Redraw();
}

// ---- pointer messages ----

const TZemTool& TZemMap::Tool() const {
    return ToolOf(Edit.CurrentTool);
}

std::string TZemMap::ToolHint() const {
    return Tool().Hint(*this);
}

void TZemMap::PaintToolDrag() {
    Tool().PaintDrag(*this);
}

void TZemMap::PaintToolsKept() {
    for (const TZemToolRow& R : ToolRows())
        R.Tool->PaintKept(*this, R.Key() == Edit.CurrentTool);
}

void TZemMap::MouseDown(TZemMouseButton Button, TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    if (Shift & ssCtrl)
        Edit.CtrlDown = true;
    switch (Button) {
    case TZemMouseButton::mbLeft:
        FLeftPressed = true;
        LeftPress(Shift, X, Y);
        return;
    case TZemMouseButton::mbRight:
        RightPress(X, Y);
        break;
    case TZemMouseButton::mbMiddle:
        break;
    }
    if (OnMouseDown)
        OnMouseDown(*this, Button, Shift, X, Y);
}

void TZemMap::DblClick(TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    if (OnDblClick)
        OnDblClick(*this);
    Shift |= ssDouble;
    // Only a tool that asks for it repeats the press (selection advances the edit mode); a fast second
    // click of a drawing tool must not add a vertex.
    if (Tool().DoublePress()) {
        LeftPress(Shift, X, Y);
        return;
    }
    if (OnMouseDown)
        OnMouseDown(*this, TZemMouseButton::mbLeft, Shift, X, Y);
}

void TZemMap::LeftPress(TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    const TZemPress Press{TPoint{X, Y}, ScreenToWorld(TPoint{X, Y}), View.PaintCounter};
    auto Done = [&] {
        if (OnMouseDown)
            OnMouseDown(*this, TZemMouseButton::mbLeft, Shift, X, Y);
    };
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return Done();
    if (IsEdgeCursor(Edit.Cursor)) {
        EdgeScrollTimer().OnTimer = [this](TZemTimer&) { EdgeScrollTick(); };
        EdgeScrollTimer().SetEnabled(true);
        return Done();
    }
    BeginGesture();
    if (Edit.SpaceHand && Edit.CurrentTool != tMapMove) {
        Edit.SavedTool = Edit.CurrentTool;
        Edit.CurrentTool = tMapMove;
        Edit.SpaceSwitched = true;
    }
    Edit.MoveAnchor = Press.World;
    const TZemTool& T = Tool();
    T.Press(*this, Press);
    if (!Doc.HasOption(moEditable)) {
        Edit.CurrentObject = -1;
        Edit.Creating = false;
        T.PressRefused(*this);
        Redraw();
        return Done();
    }
    T.EditPress(*this, Press);
    Done();
}

void TZemMap::MouseMove(TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    if (OnMouseMove)
        OnMouseMove(*this, Shift, X, Y);
    const std::int32_t PaintsBefore = View.PaintCounter;
    const TPoint Pointer{X, Y};
    View.CursorPos = ScreenToWorld(Pointer);
    const TZemTool& T = Tool();

    std::int32_t SizeCursor = -1;
    bool Tested = false;
    if (T.TestsHandles()) {
        const auto* Slot = Edit.CurrentObject != -1 ? Doc.Objects.Find(Edit.CurrentObject) : nullptr;
        if (!Slot || !(*Slot)->Lock || (*Slot)->Kind == otRoadCross) {
            HitRotateHandle(View.CursorPos);
            SizeCursor = HitSizeHandle(View.CursorPos);
            HitPointHandle(View.CursorPos);
            Tested = true;
        }
    }
    if (!Tested) // handles found by an earlier move (another tool, an unlocked object) no longer count
        Edit.HoverSizeHandle = Edit.HoverVertex = Edit.HoverRotate = -1;
    else if (Edit.HoverSizeHandle == -1)
        SizeCursor = -1;

    const std::int32_t Cursor = ChooseCursor(X, Y, SizeCursor);
    if (Cursor != Edit.Cursor) {
        Edit.Cursor = Cursor;
        FHost.SetCursor(Cursor);
    }
    if (Cursor == crMovePoint)
        Edit.MenuPoint = Pointer;

    T.Move(*this, Pointer, PaintsBefore);
    if (Edit.Creating) // the rubber segment to the pointer
        RedrawOnce(PaintsBefore);
}

void TZemMap::MouseUp(TZemMouseButton Button, TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    const bool Click = Button == TZemMouseButton::mbLeft && FLeftPressed;
    if (Button == TZemMouseButton::mbLeft)
        FLeftPressed = false;
    // As the window system does it: the click of a press released over the control comes first.
    if (Click && X >= 0 && Y >= 0 && X < FWidth && Y < FHeight && OnClick)
        OnClick(*this);
    if (OnMouseUp)
        OnMouseUp(*this, Button, Shift, X, Y);
    if (Button == TZemMouseButton::mbLeft)
        LeftRelease(X, Y);
}

void TZemMap::LeftRelease(std::int32_t X, std::int32_t Y) {
    FHost.SetFocus();
    Tool().Release(*this, TPoint{X, Y});
    Edit.SelectPress = false;
    Edit.HoverSizeHandle = Edit.DragSizeHandle = -1;
    Edit.HoverVertex = Edit.DragVertex = -1;
    Edit.HoverRotate = Edit.DragRotate = -1;
    Edit.Dragging = false;
    UpdateVisibleList();
    RecalcGlobalExtent();
    if (EdgeScrollTimer().Enabled())
        EdgeScrollTimer().SetEnabled(false);
    Redraw();
    // The mini-map's content is rebuilt once here (by EndGesture), not at every step of a drag.
    const bool Rebuilt = FGestureOpen && FGestureChanged;
    EndGesture();
    if (!Rebuilt)
        UpdateMiniMapFrame();
}

void TZemMap::RightPress(std::int32_t X, std::int32_t Y) {
    const TXYPoint P = ScreenToWorld(TPoint{X, Y});
    const TZemTool& T = Tool();
    T.RightPress(*this, P);
    if (Edit.Creating && Doc.HasOption(moEditable)) {
        TZemChange Step(*this);
        T.Complete(*this, P);
    }
}

// ---- edge scrolling ----

void TZemMap::EdgeScrollTick() {
    if (!IsEdgeCursor(Edit.Cursor)) {
        EdgeScrollTimer().SetEnabled(false);
        return;
    }
    const TPoint D = EdgeDirection(Edit.Cursor);
    const TXYPoint L = ScreenToWorld(TPoint{D.X, D.Y});
    const TXYPoint R = ScreenToWorld(TPoint{FWidth + D.X, FHeight + D.Y});
    if (!InsideScrollArea(L, R))
        return;
    View.LeftTop = L;
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapFrame();
}

} // namespace zem
