#pragma once
// The tools of the map control: one class per tool, or per family of tools that behave alike. The
// pointer state machine (ZemPointer.cpp) does what all tools share -- the order of a message's steps,
// edge scrolling, Space panning, the handle tests and the undo bracket of a gesture -- and forwards
// the rest to the current tool, which it finds in the registry (ZemToolRegistry.h) by Edit.CurrentTool.
// The tool objects are constants shared by every map; what a tool keeps between messages (a measuring
// line, a rubber band) is its state, one per map, which the map makes from the tool's NewState.
#include "model/ZemMap.h"

#include <memory>
#include <string>

namespace zem {

// One left press as a tool sees it.
struct TZemPress {
    TPoint Screen;             // client pixels
    TXYPoint World;            // the same point in the world
    std::int32_t PaintsBefore; // View.PaintCounter when the message came: one frame a message
};

// What one tool keeps between messages on one map.
class TZemToolState {
public:
    virtual ~TZemToolState() = default;
    // The map's document is cleared away (a new or another map).
    virtual void Clear() {}
};

class TZemTool {
public:
    constexpr explicit TZemTool(TObjectTool Key) : FKey(Key) {}
    // The tool this object is the class of: its row in the registry.
    constexpr TObjectTool Key() const { return FKey; }
    // The state a map keeps for this tool; null for a tool that keeps nothing.
    virtual std::unique_ptr<TZemToolState> NewState() const { return nullptr; }
    // The tool becomes the current one, and stops being it (another tool chosen, Escape). A tool that was
    // building something ends it when it is left.
    virtual void Activate(TZemMap&) const {}
    virtual void Deactivate(TZemMap&) const {}
    // A drag this tool started ends without its release (another tool, Escape, Delete, undo).
    virtual void AbandonDrag(TZemMap&) const {}
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
    // What the next left and right press do, in a few Russian words (UTF-8) for the status bar.
    virtual std::string Hint(const TZemMap& Map) const = 0;
    // Drawn while the tool is current, over the objects and under the current object's marks: the
    // rubber band of a drag.
    virtual void PaintDrag(TZemMap&) const {}
    // Drawn whether the tool is current or not, over the object under construction: what the tool keeps
    // on show (a measurement).
    virtual void PaintKept(TZemMap&, bool /*Current*/) const {}

protected:
    // The tools are constants of the registry and live as long as the program.
    ~TZemTool() = default;

private:
    TObjectTool FKey;
};

// A tool that keeps a TState on every map.
template <class TState> class TZemToolWithState : public TZemTool {
public:
    using TZemTool::TZemTool;
    std::unique_ptr<TZemToolState> NewState() const override { return std::make_unique<TState>(); }
    // The map made the state at this tool's key from NewState above, so it is a TState.
    TState& State(TZemMap& Map) const { return static_cast<TState&>(*Map.ToolState(Key())); }
    const TState& State(const TZemMap& Map) const {
        return static_cast<const TState&>(*Map.ToolState(Key()));
    }
    TState& State(const TZemToolStates& States) const { return static_cast<TState&>(*States[Key()]); }
};

// ---- The navigation tools (ZemToolsView.cpp) ----

class TZemIdleTool final : public TZemTool { // tNone, tPixel, tBezierFill, tNote
public:
    using TZemTool::TZemTool;
    std::string Hint(const TZemMap&) const override { return {}; }
};

class TZemPanTool final : public TZemTool { // tMapMove
public:
    using TZemTool::TZemTool;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    std::string Hint(const TZemMap& Map) const override;
};

class TZemZoomInTool final : public TZemTool { // tZoomIn: a click or a dragged rectangle
public:
    using TZemTool::TZemTool;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void PressRefused(TZemMap& Map) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    void Release(TZemMap& Map, const TPoint& At) const override;
    std::string Hint(const TZemMap& Map) const override;
    // The rectangle from the press to the pointer, inverted.
    void PaintDrag(TZemMap& Map) const override;
};

class TZemZoomOutTool final : public TZemTool { // tZoomOut
public:
    using TZemTool::TZemTool;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

struct TZemPickColorState : TZemToolState {
    TColor Picked = 0; // the window system's RGB value of the pixel taken last
};

class TZemPickColorTool final : public TZemToolWithState<TZemPickColorState> { // tChoiseColor
public:
    using TZemToolWithState::TZemToolWithState;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

struct TZemSelectRectState : TZemToolState {
    TRect Rect; // normalised screen rectangle spanned by the press and the pointer
};

class TZemSelectRectTool final
    : public TZemToolWithState<TZemSelectRectState> { // tSelectRect: a grey rubber band
public:
    using TZemToolWithState::TZemToolWithState;
    void AbandonDrag(TZemMap& Map) const override;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    void Release(TZemMap& Map, const TPoint& At) const override;
    std::string Hint(const TZemMap& Map) const override;
    void PaintDrag(TZemMap& Map) const override;
};

// ---- Measuring and the search points (ZemToolsView.cpp) ----

struct TZemMeasureState : TZemToolState {
    TZemXYArray Points; // the vertices of the measuring line (world)
    void Clear() override { Points.Clear(); }
};

class TZemMeasureTool final : public TZemToolWithState<TZemMeasureState> { // tMeasure
public:
    using TZemToolWithState::TZemToolWithState;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void RightPress(TZemMap& Map, const TXYPoint& P) const override;
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    std::string Hint(const TZemMap& Map) const override;
    // The measuring line stays on show until a press of another tool; while the tool is current it
    // reaches on to the pointer. Reported through OnMeasure as drawn.
    void PaintKept(TZemMap& Map, bool Current) const override;
    // A press of another tool ends the measurement on show.
    static void Forget(TZemMap& Map);
};

class TZemSearchPointTool final : public TZemTool { // tRoadPoint
public:
    using TZemTool::TZemTool;
    void Press(TZemMap& Map, const TZemPress& P) const override;
    void RightPress(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

// ---- The selection tool (ZemToolSelect.cpp) ----

class TZemSelectTool final : public TZemTool { // tSelectObject: select, move, stretch, drag vertices, rotate
public:
    using TZemTool::TZemTool;
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    // The drag editing of the current object, one step per message.
    void Move(TZemMap& Map, const TPoint& Pointer, std::int32_t PaintsBefore) const override;
    bool DoublePress() const override { return true; }
    bool TestsHandles() const override { return true; }
    std::string Hint(const TZemMap& Map) const override;
};

// ---- The creating tools (ZemToolsCreate.cpp) ----

// What every creating tool shares: the object it builds is the map's NewObject, and leaving the tool
// ends an object left unfinished.
class TZemCreateTool : public TZemTool {
public:
    using TZemTool::TZemTool;
    void Deactivate(TZemMap& Map) const override;
};

// Creators whose every press adds a vertex: tLine, tPolygon, tBezier (each press three times), tPic
// (whose right press adds the three further corners of a box).
class TZemPointListTool final : public TZemCreateTool {
public:
    constexpr TZemPointListTool(TObjectTool Key, TObjectKind Kind, std::int32_t Repeat, bool PenColor,
                                bool BrushColor)
        : TZemCreateTool(Key), FKind(Kind), FRepeat(Repeat), FPenColor(PenColor), FBrushColor(BrushColor) {}
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
class TZemBoxTool final : public TZemCreateTool {
public:
    constexpr TZemBoxTool(TObjectTool Key, TObjectKind Kind) : TZemCreateTool(Key), FKind(Kind) {}
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    void Complete(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;

private:
    TObjectKind FKind;
};

// Creators that complete within their press: tIco, tRoadCross (a junction, on its fixed plane).
class TZemOnePressTool final : public TZemCreateTool {
public:
    constexpr TZemOnePressTool(TObjectTool Key, TObjectKind Kind) : TZemCreateTool(Key), FKind(Kind) {}
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    std::string Hint(const TZemMap& Map) const override;

private:
    TObjectKind FKind;
};

// tRoadCrossLine: a segment of the transport network from one junction to another.
class TZemSegmentTool final : public TZemCreateTool {
public:
    using TZemCreateTool::TZemCreateTool;
    void EditPress(TZemMap& Map, const TZemPress& P) const override;
    void Complete(TZemMap& Map, const TXYPoint& P) const override;
    std::string Hint(const TZemMap& Map) const override;
};

// The class of each tool (ZemToolRegistry.cpp); tNone's for a value beyond the last tool.
const TZemTool& ToolOf(TObjectTool Tool);

} // namespace zem
