// The pointer state machine of the map control: tools, cursors, presses, moves, releases, double clicks,
// measuring and the automatic scrolling at the window edges. Creation and drag editing hang off it
// (ZemCreate.cpp, ZemDrag.cpp); the keyboard is in ZemKeyboard.cpp.
#include "model/ZemMap.h"
#include "model/ZemRound.h"
#include "platform/ZemHost.h"
#include "platform/ZemTimer.h"

#include <algorithm>
#include <cmath>

namespace zem {

using ld = long double;

namespace {

constexpr std::int32_t kEdgeZone = 20; // pixels of the edge-scroll zones
constexpr std::int32_t kEdgeStep = 20; // pixels the view moves per edge-scroll tick
constexpr TColor32 kAlphaMask = 0xFF000000u;

bool IsEdgeCursor(std::int32_t C) {
    return C >= crEdgeTopLeft && C <= crEdgeLeft;
}

// Screen offset of one edge-scroll tick for each edge cursor 1 ... 8.
TPoint EdgeDirection(std::int32_t C) {
    static constexpr TPoint kDirs[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
    const TPoint D = kDirs[C - 1];
    return TPoint{D.X * kEdgeStep, D.Y * kEdgeStep};
}

TRect Normalised(const TPoint& A, const TPoint& B) {
    return TRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

} // namespace

// ---- tools and cursors ----

void TZemMap::SetCurrentTool(TObjectTool Tool) {
    CancelDrag(); // a drag does not carry over into another tool
    Edit.Creating = false;
    NewObject.ClearPoints();
    Edit.CurrentTool = Tool;
    Edit.SpaceSwitched = false; // an explicit choice is not undone by releasing Space
    if (OnChangeCurrentTool)
        OnChangeCurrentTool(*this, Tool);
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

    if (Edit.CurrentTool == tMapMove || Edit.SpaceHand)
        return crHand;
    switch (Edit.CurrentTool) {
    case tChoiseColor:
        return crChoiseColor;
    case tZoomIn:
        return crZoomIn;
    case tZoomOut:
        return crZoomOut;
    case tMeasure:
        return crMeasure;
    default:
        break;
    }
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

void TZemMap::CancelDrag() {
    Edit.SelectPress = false;
    Edit.DragSizeHandle = Edit.DragVertex = Edit.DragRotate = -1;
    if (Edit.Dragging && Edit.CurrentTool == tSelectRect)
        FHost.SetCapture(false);
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
    // Only selection repeats the press (advancing the edit mode); a fast second click of a drawing tool
    // must not add a vertex.
    if (Edit.CurrentTool == tSelectObject) {
        LeftPress(Shift, X, Y);
        return;
    }
    if (OnMouseDown)
        OnMouseDown(*this, TZemMouseButton::mbLeft, Shift, X, Y);
}

void TZemMap::LeftPress(TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    const std::int32_t PaintsBefore = View.PaintCounter;
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
    const TPoint Press{X, Y};
    const TXYPoint P = ScreenToWorld(Press);
    Edit.MoveAnchor = P;

    switch (Edit.CurrentTool) {
    case tSelectRect:
        if (!Edit.Dragging) {
            FHost.SetCapture(true);
            Edit.Dragging = true;
            View.PressPoint = Press;
            Edit.SelectionRect = TRect{X, Y, X, Y};
        }
        break;
    case tMapMove:
        if (!Edit.Dragging) {
            Edit.Cursor = crHandClosed;
            FHost.SetCursor(crHandClosed);
            Edit.Dragging = true;
            View.PressPoint = Press;
        }
        break;
    case tZoomIn:
        if (Doc.Count > 0 && !Edit.Dragging) {
            View.PressPoint = View.DragPoint = Press;
            Edit.Dragging = true;
        }
        break;
    case tZoomOut:
        ZoomOutClick(Press);
        break;
    case tChoiseColor:
        if (X < BackBuffer.Width() && Y < BackBuffer.Height()) {
            const TColor32 C = BackBuffer.GetPixel(X, Y) & ~kAlphaMask;
            Edit.PickedColor = RGBColor((C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF);
        }
        break;
    case tRoadPoint:
        TouchRoutePoints();
        Net.RoutePoints.Add(P);
        Redraw();
        break;
    case tMeasure:
        MeasurePress(P);
        break;
    default:
        if (!Edit.MeasurePoints.Empty())
            Edit.MeasurePoints.Clear();
        break;
    }

    if (!Doc.HasOption(moEditable)) {
        Edit.CurrentObject = -1;
        Edit.Creating = false;
        if (Edit.CurrentTool == tZoomIn)
            View.DragPoint = View.PressPoint;
        Redraw();
        return Done();
    }

    if (Edit.CurrentTool == tSelectObject) {
        Net.RouteHighlight.Clear();
        Edit.SelectPress = true;
        if (Edit.HoverSizeHandle == -1 && Edit.HoverVertex == -1 && Edit.HoverRotate == -1) {
            SelectAt(Press);
            if (Edit.CtrlDown)
                Edit.Dragging = true;
        } else {
            if (Edit.HoverSizeHandle != -1)
                Edit.DragSizeHandle = Edit.HoverSizeHandle;
            else if (Edit.HoverVertex != -1)
                Edit.DragVertex = Edit.HoverVertex;
            else {
                Edit.DragRotate = Edit.HoverRotate;
                View.PressPoint = Press;
            }
            Edit.Dragging = true;
        }
        RedrawOnce(PaintsBefore);
    } else {
        CreateStep(P);
    }
    Done();
}

void TZemMap::MouseMove(TZemShiftState Shift, std::int32_t X, std::int32_t Y) {
    if (OnMouseMove)
        OnMouseMove(*this, Shift, X, Y);
    const std::int32_t PaintsBefore = View.PaintCounter;
    const TPoint Pointer{X, Y};
    View.CursorPos = ScreenToWorld(Pointer);

    std::int32_t SizeCursor = -1;
    bool Tested = false;
    if (Edit.CurrentTool == tSelectObject) {
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

    switch (Edit.CurrentTool) {
    case tSelectRect:
        if (Edit.Dragging) {
            Edit.SelectionRect = Normalised(View.PressPoint, Pointer);
            Redraw();
        }
        break;
    case tMapMove:
        if (Edit.Dragging)
            PanBy(View.PressPoint, Pointer);
        break;
    case tZoomIn:
        if (Edit.Dragging) {
            View.DragPoint = Pointer;
            Redraw();
            UpdateMiniMapFrame();
        }
        break;
    case tSelectObject:
        if (Edit.CurrentObject != -1)
            DragStep(X, Y);
        break;
    default:
        break;
    }
    if (Edit.CurrentTool == tMeasure || Edit.Creating)
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
    const TPoint Release{X, Y};
    if (Edit.Dragging && Edit.CurrentTool == tSelectRect) {
        Edit.SelectionRect = Normalised(View.PressPoint, Release);
        FHost.SetCapture(false);
    } else if (Edit.Dragging && Edit.CurrentTool == tZoomIn) {
        ZoomToRect(View.PressPoint, Release);
    }
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
    if (Edit.CurrentTool == tRoadPoint) {
        TZemChange Step(*this);
        TouchRoutePoints();
        Net.RoutePoints.Clear();
        Redraw();
    }
    if (Edit.Creating && Doc.HasOption(moEditable)) {
        TZemChange Step(*this);
        CompleteStep(P);
    }
    if (Edit.CurrentTool == tMeasure) {
        Edit.MeasurePoints.Clear();
        if (OnMeasure)
            OnMeasure(*this, -1.0f, -1.0f);
        Redraw();
    }
}

// ---- measuring ----

void TZemMap::MeasurePress(const TXYPoint& P) {
    TZemXYArray& Pts = Edit.MeasurePoints;
    Pts.Add(P);
    const ld Unit = static_cast<ld>(Doc.MeasureScale) / 100;
    auto Length = [&](const TXYPoint& A, const TXYPoint& B) {
        return std::hypot(static_cast<ld>(B.X) - A.X, static_cast<ld>(B.Y) - A.Y) * Unit;
    };
    ld Sum = 0;
    for (std::int32_t i = 1; i < Pts.Count(); ++i)
        Sum += Length(Pts[i - 1], Pts[i]);
    const ld Current = Length(Pts[Pts.Count() - 1], View.CursorPos);
    if (OnMeasure)
        OnMeasure(*this, static_cast<float>(Sum + Current), static_cast<float>(Current));
    Redraw();
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
