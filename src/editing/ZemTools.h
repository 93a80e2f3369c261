#pragma once
// The tools of the map control: one class per tool, or per family of tools that behave alike. The
// pointer state machine (ZemPointer.cpp) does what all tools share -- the order of a message's steps,
// edge scrolling, Space panning, the handle tests and the undo bracket of a gesture -- and forwards
// the rest to the current tool, which it finds in one table by Edit.CurrentTool (ToolOf). Tools keep no
// state of their own: what they do lives in the map's Edit and View state, which the window, the files
// and the tests read.
#include "model/ZemMap.h"

#include <string>

namespace zem {

// One left press as a tool sees it.
struct TZemPress {
    TPoint Screen;             // client pixels
    TXYPoint World;            // the same point in the world
    std::int32_t PaintsBefore; // View.PaintCounter when the message came: one frame a message
};

class TZemTool {
public:
    virtual ~TZemTool() = default;
    // The part of a left press that runs even while editing is refused (panning, zooming, measuring).
    // Unless a tool says otherwise, a press ends the measurement on show.
    virtual void Press(TZemMap& Map, const TZemPress& P) const;
    // Editing is refused: what Press started is put back.
    virtual void PressRefused(TZemMap&) const {}
    // The part of a left press that needs editing: selecting, creating.
    virtual void EditPress(TZemMap&, const TZemPress&) const {}
    // A right press; while creating, Complete runs after it (editing allowed, one undo step).
    virtual void RightPress(TZemMap&, const TXYPoint&) const {}
    virtual void Complete(TZemMap&, const TXYPoint&) const {}
    // A pointer move, after the cursor is chosen.
    virtual void Move(TZemMap&, const TPoint&, std::int32_t) const {}
    // The release of the left button, before the state every tool shares is reset.
    virtual void Release(TZemMap&, const TPoint&) const {}
    // The second press of a double click acts as a press (otherwise it does nothing).
    virtual bool DoublePress() const { return false; }
    // The handles of the current object are tested under the pointer.
    virtual bool TestsHandles() const { return false; }
    // The cursor away from the edge zones; -1 leaves it to the hovered handle.
    virtual std::int32_t Cursor() const { return -1; }
    // What the next left and right press do, in a few Russian words (UTF-8) for the status bar.
    virtual std::string Hint(const TZemMap& Map) const = 0;
};

// ---- The navigation tools (ZemToolsView.cpp) ----

class TZemIdleTool : public TZemTool { // tNone, tPixel, tBezierFill, tNote
public:
    std::string Hint(const TZemMap&) const override { return {}; }
};

class TZemPanTool : public TZemTool { // tMapMove
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    std::int32_t Cursor() const override { return crHand; }
    std::string Hint(const TZemMap& Map) const override;
};

class TZemZoomInTool : public TZemTool { // tZoomIn: a click or a dragged rectangle
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void PressRefused(TZemMap& Map) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    void Release(TZemMap& Map, const TPoint& At) const override;
    std::int32_t Cursor() const override { return crZoomIn; }
    std::string Hint(const TZemMap& Map) const override;
};

class TZemZoomOutTool : public TZemTool { // tZoomOut
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    std::int32_t Cursor() const override { return crZoomOut; }
    std::string Hint(const TZemMap& Map) const override;
};

class TZemPickColorTool : public TZemTool { // tChoiseColor
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    std::int32_t Cursor() const override { return crChoiseColor; }
    std::string Hint(const TZemMap& Map) const override;
};

class TZemSelectRectTool : public TZemTool { // tSelectRect: a grey rubber band
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    void Release(TZemMap& Map, const TPoint& At) const override;
    std::string Hint(const TZemMap& Map) const override;
};

// ---- Measuring and the search points (ZemToolsView.cpp) ----

class TZemMeasureTool : public TZemTool { // tMeasure
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void RightPress(TZemMap& Map, const TXYPoint& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    std::int32_t Cursor() const override { return crMeasure; }
    std::string Hint(const TZemMap& Map) const override;
};

class TZemSearchPointTool : public TZemTool { // tRoadPoint
public:
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void RightPress(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

// ---- The selection tool (ZemToolSelect.cpp) ----

class TZemSelectTool : public TZemTool { // tSelectObject: select, move, stretch, drag vertices, rotate
public:
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    // The drag editing of the current object, one step per message.
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    bool DoublePress() const override { return true; }
    bool TestsHandles() const override { return true; }
    std::string Hint(const TZemMap& Map) const override;
};

// ---- The creating tools (ZemToolsCreate.cpp) ----

// Creators whose every press adds a vertex: tLine, tPolygon, tBezier (each press three times), tPic
// (whose right press adds the three further corners of a box).
class TZemPointListTool : public TZemTool {
public:
    TZemPointListTool(TObjectKind Kind, std::int32_t Repeat, bool PenColor, bool BrushColor)
        : FKind(Kind), FRepeat(Repeat), FPenColor(PenColor), FBrushColor(BrushColor) {}
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    void Complete(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;

private:
    TObjectKind FKind;
    std::int32_t FRepeat;
    bool FPenColor, FBrushColor;
};

// Creators of a box spanned by the first press and the pointer at the right press: tRectangle (stored as
// otPolygon), tEllipse, tText (whose right press asks for the text).
class TZemBoxTool : public TZemTool {
public:
    explicit TZemBoxTool(TObjectKind Kind) : FKind(Kind) {}
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    void Complete(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;

private:
    TObjectKind FKind;
};

// Creators that complete within their press: tIco, tRoadCross (a junction, on its fixed plane).
class TZemOnePressTool : public TZemTool {
public:
    explicit TZemOnePressTool(TObjectKind Kind) : FKind(Kind) {}
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    std::string Hint(const TZemMap& Map) const override;

private:
    TObjectKind FKind;
};

// tRoadCrossLine: a segment of the transport network from one junction to another.
class TZemSegmentTool : public TZemTool {
public:
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    void Complete(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

// The tool of each TObjectTool value (ZemToolTable.cpp).
const TZemTool& ToolOf(TObjectTool Tool);

} // namespace zem
