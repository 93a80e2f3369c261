#pragma once
// TZemMap: the hub of the program, at once the document, the view and the editor of one map.
// Its state is grouped in plain structs by the subsystem that owns it; its operations are defined in the
// folder of that subsystem (model/ the document, persistence/ the files, view/ the viewport and rendering,
// transport/ the network and the route search). The structs are open for reading; write through the
// operations, which keep the update discipline: after a change, rebuild the visible list, redraw, then
// update the mini-map frame.
// The route search, the timers and the libraries are held by pointer, so that this header does not
// pull in their subsystems and a change in one of them rebuilds only its users.
#include "base/ZemLists.h"
#include "base/ZemText.h"
#include "base/ZemXYArray.h"
#include "images/ZemLibraryEntries.h"
#include "model/ZemObject.h"
#include "platform/ZemTransportEvents.h"
#include "view/ZemRaster.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace zem {

class TBinaryReader;
struct TAddress;
class TBmpList;
class TIconList;
class TZemHistory;
class TZemHost;
class TZemMiniMap;
class TZemSpatialIndex;
class TZemTimer;
class TZemTool;
class TZemToolState;
class TZemTransportTask;

// Bit numbers of the map's option byte.
enum TZemMapOption : std::uint8_t {
    moShow3D = 0,
    moShowAddress = 1,
    moEditable = 2,
    moShowBackground = 4,
    moHideObjects = 5,
};

enum TObjectTool : std::uint8_t {
    tNone,
    tMapMove,
    tZoomIn,
    tZoomOut,
    tSelectObject,
    tChoiseColor,
    tMeasure,
    tPolygon,
    tRectangle,
    tLine,
    tEllipse,
    tBezier,
    tRoadCross,
    tRoadCrossLine,
    tSelectRect,
    tPixel,
    tBezierFill,
    tText,
    tPic,
    tIco,
    tRoadPoint,
    tNote,
};
// One more than the last tool: the size of a table with a place for every tool.
inline constexpr std::size_t kToolCount = tNote + 1;

enum TStage : std::uint8_t { sStarting, sRunning, sEnding };

// Buttons of a pointer message.
enum class TZemMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier and button state of a pointer or key message: a set of these bits.
enum TZemShiftBit : std::uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TZemShiftState = std::uint8_t;

// The virtual key numbers the map understands; front ends translate their own key codes to these.
namespace vk {
constexpr std::int32_t Tab = 9;
constexpr std::int32_t Escape = 27;
constexpr std::int32_t Space = 32;
constexpr std::int32_t Left = 37;
constexpr std::int32_t Up = 38;
constexpr std::int32_t Right = 39;
constexpr std::int32_t Down = 40;
constexpr std::int32_t Delete = 46;
constexpr std::int32_t KeyY = 89;
constexpr std::int32_t KeyZ = 90;
constexpr std::int32_t Add = 107;      // numeric pad plus
constexpr std::int32_t Subtract = 109; // numeric pad minus
} // namespace vk

// Cursor numbers the map asks its host for: the tools' own (1 ... 17) and the standard size cursors.
enum TZemCursor : std::int32_t {
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crEdgeTopLeft = 1,
    crEdgeTop = 2,
    crEdgeTopRight = 3,
    crEdgeRight = 4,
    crEdgeBottomRight = 5,
    crEdgeBottom = 6,
    crEdgeBottomLeft = 7,
    crEdgeLeft = 8,
    crHand = 9,
    crZoomIn = 10,
    crZoomOut = 11,
    crRotate = 12,
    crChoiseColor = 13,
    crMovePoint = 14,
    crStandard = 15,
    crMeasure = 16,
    crHandClosed = 17,
};

using TZemDirectory = std::vector<ZemString>;

// The context menus of the map: none, the object commands, the vertex commands.
enum class TZemMenuKind : std::uint8_t { mkNone, mkObject, mkVertex };

// The display switches of the transport network's menu.
struct TZemNetworkDisplay {
    bool ShowNet = false;
    bool Directions = true;
    bool Crosses = true;
    bool OnlyNet = false;
};

// The document settings that the map file stores and an undo step puts back. Fields are declared here
// and their defaults given; model/ZemSettings.h lists every stored setting once for the file, the history,
// the text export and the command-line dump.
struct TZemDocumentSettings {
    bool ShowGrid = false;
    TColor BackColor = RGBColor(0, 128, 0);
    TColor DirectLineColor = RGBColor(192, 192, 192);
    std::int32_t DirectLineY = 50;
    std::int32_t DirectLineX = 50;
    ZemString DocumentName = "Untitled map"; // at most 255 characters
    ZemString MeasureStr = "\xEC";           // "м"; at most 255 characters
    float MinScaleAddress = 100.0f;
    std::int32_t MinObjectView = 3;
    float Pseudo3DAngle = 4.712389f;
    std::uint8_t Option =
        (1 << moShow3D) | (1 << moShowAddress) | (1 << moEditable) | (1 << moShowBackground);
    float MeasureScale = 100.0f;
    std::uint8_t Compression = 3;
};

// The document: objects, order, settings and directories. Persisted by the map file.
struct TZemDocument : TZemDocumentSettings {
    TZemDocument(); // model/ZemMap.cpp, where the libraries are complete
    ~TZemDocument();
    TZemDocument(const TZemDocument&) = delete;
    TZemDocument& operator=(const TZemDocument&) = delete;

    TIntegerAssociationList<std::unique_ptr<TZemObject>> Objects; // ID -> object, owned
    TIntegerList Order;                                           // drawing order, back to front
    std::int32_t Count = 0;
    std::int32_t MaxID = 0; // next ID candidate

    std::int32_t MaxPenWidth = 50;
    float MinIconView = 100.0f;

    TZemDirectory Streets, Indexes, ObjectTypes, Cities, Areas, TransportTypes;

    // Never null (images/ZemIcoList.h, images/ZemBmpList.h).
    std::unique_ptr<TIconList> Icons;  // icons of otIco objects, by IconIndex
    std::unique_ptr<TBmpList> Bitmaps; // pictures of otBmp objects, by BitmapIndex

    bool HasOption(TZemMapOption O) const { return (Option >> O) & 1; }
};

// The network's display switches that the map file stores and an undo step puts back.
struct TZemNetworkSettings {
    bool ShowTransportNet = false;
    bool ShowTransportDirections = true;
    bool ShowUndefinedRoutes = true;
};

// The transport network's display switches and the route search's inputs and results.
struct TZemNetworkState : TZemNetworkSettings {
    std::uint8_t ConnectionKind = 2;
    bool ShowTransportCrosses = true;
    bool ShowOnlyTransportNet = false;
    TIntegerList VisibleTransportTypes;
    bool RouteNameFilterOn = false;
    ZemString RouteNameFilter;
    TZemXYArray RoutePoints;
    TIntegerList RouteHighlight;
    // The way the last route search looked (the user's last choice; the map keeps it while it lives).
    TZemRouteMethod RouteMethod = TZemRouteMethod::rmGenetic;
};

// The window onto the world plane.
struct TZemViewState {
    float Scale = 100.0f;
    float MaxScale = 10000.0f;
    TXYPoint LeftTop{0.0f, 0.0f};
    TXYPoint ViewWidthHeight{400.0f, 400.0f};
    TXYPoint GlobalLeftTop{0.0f, 0.0f};
    TXYPoint GlobalWidthHeight{400.0f, 400.0f};
    float ScaleStep = 20.0f;
    bool AutoUpdate = true;
    TXYPoint CursorPos{0.0f, 0.0f};
    TPoint PressPoint;
    TPoint DragPoint;
    TIntegerList VisibleList; // IDs in view, in plane order
    bool Printing = false;
    bool AntiAlias = false;
    std::int32_t DrawCounter = 0;             // frames since the last OnDrawCount
    std::int32_t PaintCounter = 0;            // frames drawn in all
    TIntegerHashtable<std::int32_t> BlinkSet; // IDs that blink
    bool BlinkFlashed = false;                // the blink set is drawn in complemented colours
};

// What each tool keeps of its own on one map (the state classes are in editing/ZemTools.h), made by the
// tools themselves when the map is made (editing/ZemToolRegistry.cpp).
class TZemToolStates {
public:
    TZemToolStates();
    ~TZemToolStates();
    TZemToolStates(const TZemToolStates&) = delete;
    TZemToolStates& operator=(const TZemToolStates&) = delete;
    // Null for a tool that keeps nothing.
    TZemToolState* operator[](TObjectTool Tool) const {
        return Tool < kToolCount ? FStates[Tool].get() : nullptr;
    }
    // What the tools keep of a document that is cleared away.
    void Clear();

private:
    std::array<std::unique_ptr<TZemToolState>, kToolCount> FStates;
};

// What the pointer and the tools are doing.
struct TZemEditState {
    explicit TZemEditState(TZemToolStates& Tools); // editing/ZemToolRegistry.cpp

    TObjectTool CurrentTool = tSelectObject;
    bool Creating = false;
    bool Dragging = false;
    std::int32_t CurrentObject = -1;
    // Handles of the current object: 0 frame (eight size handles), 1 points, 2 rotation.
    std::int32_t EditMode = 0;
    // The handle under the pointer, and the one the current press grabbed; -1 none.
    std::int32_t HoverSizeHandle = -1;
    std::int32_t HoverVertex = -1;
    std::int32_t HoverRotate = -1;
    std::int32_t DragSizeHandle = -1;
    std::int32_t DragVertex = -1;
    std::int32_t DragRotate = -1;
    TXYPoint MoveAnchor{0.0f, 0.0f}; // world position of the last drag step
    bool SelectPress = false;        // a press of tSelectObject, until its release
    bool CtrlDown = false;
    bool SpaceHand = false; // Space is held: the next press pans
    TObjectTool SavedTool = tSelectObject;
    bool SpaceSwitched = false; // a press switched to tMapMove for Space; its release restores SavedTool
    std::int32_t Cursor = crStandard; // the cursor number last chosen
    TPoint MenuPoint;                 // where the pointer last stood on a vertex handle (screen)
    // Colours of new lines, polygons, rectangles, ellipses and road segments.
    TColor NewPenColor = 0;
    TColor NewBrushColor = 0;
    // Kept by their tools (editing/ZemTools.h), and reached here too by these names.
    TZemXYArray& MeasurePoints; // the measuring line (world)
    TRect& SelectionRect;       // normalised screen rectangle of the tSelectRect rubber band
    TColor& PickedColor;        // the colour tChoiseColor took
};

class TZemMap {
public:
    explicit TZemMap(TZemHost& Host);
    ~TZemMap();
    TZemMap(const TZemMap&) = delete;
    TZemMap& operator=(const TZemMap&) = delete;

    TZemHost& Host() { return FHost; }

private:
    // Made before Edit, which refers into it.
    TZemToolStates FToolStates;

public:
    TZemDocument Doc;
    TZemNetworkState Net;
    TZemViewState View;
    TZemEditState Edit;
    TBitmap32 BackBuffer;
    // The template that drawing tools fill and AddObject copies.
    TZemObject NewObject;

    // ---- Events (called only when set; the map is the sender) ----
    std::function<void(TZemMap&, float Scale)> OnScale;
    std::function<void(TZemMap&, float Total, float Current)> OnMeasure;
    std::function<void(TZemMap&, TObjectTool Tool)> OnChangeCurrentTool;
    std::function<void(TZemMap&, TBitmap32& Bitmap)> OnPaintBackground;
    std::function<void(TZemMap&, std::int32_t ID)> OnChangeCurrentObject;
    std::function<void(TZemMap&, std::int32_t PercentDone, TStage Stage, const std::string& Msg)>
        OnMapProgress;
    std::function<void(TZemMap&, const std::string& S)> OnDebug;
    std::function<void(TZemMap&, std::int32_t Visible, std::int32_t Count)> OnVisibleCount;
    std::function<void(TZemMap&, std::int32_t Frames)> OnDrawCount;
    // The control's own pointer events. OnMouseMove and OnMouseUp are raised before the map's handling,
    // OnMouseDown after it (so that a listener sees the new current object).
    std::function<void(TZemMap&, TZemMouseButton, TZemShiftState, std::int32_t X, std::int32_t Y)>
        OnMouseDown;
    std::function<void(TZemMap&, TZemShiftState, std::int32_t X, std::int32_t Y)> OnMouseMove;
    std::function<void(TZemMap&, TZemMouseButton, TZemShiftState, std::int32_t X, std::int32_t Y)> OnMouseUp;
    std::function<void(TZemMap&)> OnClick;
    std::function<void(TZemMap&)> OnDblClick;
    // The document came to differ from what was last loaded or saved, or came back to it.
    std::function<void(TZemMap&, bool Modified)> OnModifiedChange;
    // Something was done, undone or redone: what CanUndo and CanRedo answer may have changed.
    std::function<void(TZemMap&)> OnHistoryChange;

    // ---- Document (model/ZemMap.cpp) ----
    std::int32_t Count() const { return Doc.Count; }
    std::int32_t CurrentObject() const { return Edit.CurrentObject; }
    bool ObjectExists(std::int32_t ID) const { return Doc.Objects.Contains(ID); }
    // The stored object; raises for an ID that is not stored.
    TZemObject& ObjectByID(std::int32_t ID);
    const TZemObject& ObjectByID(std::int32_t ID) const;

    void AddObject(const TZemObject& Template);
    void DeleteObject(std::int32_t ID);
    bool DuplicateObject(std::int32_t ID);
    void Clear();
    // Stores an object exactly as given, ID included (the loader's path); no update.
    void StoreObject(std::unique_ptr<TZemObject> Object);

    void BringToFront(std::int32_t ID);
    void SendToBack(std::int32_t ID);

    void SetBackColor(TColor Value);
    void SetDirectLineColor(TColor Value);
    void SetShowGrid(bool Value);
    void SetDirectLineX(std::int32_t Value);
    void SetDirectLineY(std::int32_t Value);
    void SetShowTransportNet(bool Value);
    void SetShowTransportDirections(bool Value);
    void SetConnectionKind(std::uint8_t Value);
    void SetShowTransportCrosses(bool Value);
    void SetShowOnlyTransportNet(bool Value);
    void SetShowUndefinedRoutes(bool Value);
    void SetCompression(std::uint8_t Value);
    void SetMinScaleAddress(float Value);
    void SetPseudo3DAngle(float Value);
    void SetOption(std::uint8_t Value);
    void SetMinIconView(float Value);
    void SetMinObjectView(std::int32_t Value);
    void SetMeasureScale(float Value);

    // The editing state, as the document's operations reset it (model/ZemMap.cpp).
    void LockAll();
    void ResetEditState();
    // Drops what the current tool was building (used when editing is refused).
    void DropPendingEdit();

    // ---- Hit testing and selection (editing/ZemHitTest.cpp) ----
    // Each first resets its hover field; HitSizeHandle returns the size cursor of the handle, or -1.
    std::int32_t HitSizeHandle(const TXYPoint& P);
    void HitPointHandle(const TXYPoint& P);
    void HitRotateHandle(const TXYPoint& P);
    // The selection step of a left press with tSelectObject at a screen point.
    void SelectAt(const TPoint& Press);

    // ---- Tools, pointer and keyboard (editing/ZemPointer.cpp, editing/ZemKeyboard.cpp) ----
    // The host forwards its control's messages here; coordinates are client pixels.
    void MouseDown(TZemMouseButton Button, TZemShiftState Shift, std::int32_t X, std::int32_t Y);
    void MouseMove(TZemShiftState Shift, std::int32_t X, std::int32_t Y);
    void MouseUp(TZemMouseButton Button, TZemShiftState Shift, std::int32_t X, std::int32_t Y);
    // The second press of a double click (instead of its MouseDown).
    void DblClick(TZemShiftState Shift, std::int32_t X, std::int32_t Y);
    void KeyDown(std::int32_t Key, TZemShiftState Shift);
    void KeyUp(std::int32_t Key, TZemShiftState Shift);
    void SetCurrentTool(TObjectTool Tool);
    TObjectTool CurrentTool() const { return Edit.CurrentTool; }
    // The cursor for a pointer at (X, Y) now: edge zones, then the tool, then the hovered handle.
    std::int32_t ChooseCursor(std::int32_t X, std::int32_t Y, std::int32_t SizeCursor) const;

    // ---- Creation and pointer editing (editing/ZemObjectEdit.cpp) ----
    // "Добавить точку" and "Удалить точку" at Edit.MenuPoint; false when no vertex square holds it.
    bool AddVertexAtMenuPoint();
    bool DeleteVertexAtMenuPoint();

    // ---- Commands on one object and on the display (editing/ZemObjectCommands.cpp) ----
    // Each is one undo step and refreshes the view once. An ID that names no object raises, except
    // where a false answer is documented.
    // The drawing plane; false (nothing changed) for junctions and segments, which keep kJunctionPlane
    // and kSegmentPlane, and for an ID that names no object.
    bool SetObjectPlane(std::int32_t ID, std::int8_t Plane);
    // Turns the object to Angle (radians); Shown is the angle its control showed before, from which kinds
    // without an angle of their own turn (TZemObject::TurnTo).
    void SetObjectAngle(std::int32_t ID, float Angle, float Shown);
    // Locks or unlocks the object; returns the new state.
    bool ToggleLock(std::int32_t ID);
    // Pen, brush, font and address of Source into Target, the house numbers emptied; false (nothing
    // changed) when either is not stored.
    bool PasteStyle(std::int32_t Source, std::int32_t Target);
    // The four display switches of the transport network, drawn once.
    void SetNetworkDisplay(const TZemNetworkDisplay& Display);
    // The context menu a right press at (X, Y) opens now; over a vertex handle it also remembers the
    // point for the vertex commands (Edit.MenuPoint).
    TZemMenuKind MenuAt(std::int32_t X, std::int32_t Y);

    // What the next left and right press of the current tool do, for the status bar (UTF-8).
    std::string ToolHint() const;

    // ---- What the tools share (editing/ZemPointer.cpp, editing/ZemCreate.cpp) ----
    // The current tool's class (editing/ZemTools.h).
    const TZemTool& Tool() const;
    // What a tool keeps of its own on this map; null for a tool that keeps nothing.
    TZemToolState* ToolState(TObjectTool Tool) { return FToolStates[Tool]; }
    const TZemToolState* ToolState(TObjectTool Tool) const { return FToolStates[Tool]; }
    // Redraws unless a frame was already drawn since PaintsBefore (View.PaintCounter): one frame a message.
    void RedrawOnce(std::int32_t PaintsBefore);
    // Records the object for undo in the open gesture (opening one if needed), once per gesture.
    void TouchDragged(std::int32_t ID);
    // Starts building NewObject as Kind: points cleared, the fields of an earlier object reset.
    void StartNewObject(TObjectKind Kind, bool DefaultStyle);
    // Hands NewObject to AddObject and ends the creation, with one frame for the message.
    void CompleteNewObject(std::int32_t PaintsBefore);
    // Adds the three further corners of the box spanned by point 0 and CursorPos; false without point 0.
    bool AddBoxCorners();
    // The right press of the text tool: asks for the text, then completes or drops the text.
    void CompleteText();
    // The first visible junction hit at P, or -1.
    std::int32_t JunctionAt(const TXYPoint& P);
    // Ends the object under construction without adding it, and redraws when one was on show (a creating
    // tool's deactivate hook).
    void DropNewObject();

private:
    // ---- Pointer gesture internals (editing/ZemPointer.cpp) ----
    void LeftPress(TZemShiftState Shift, std::int32_t X, std::int32_t Y);
    void LeftRelease(std::int32_t X, std::int32_t Y);
    void RightPress(std::int32_t X, std::int32_t Y);
    void EdgeScrollTick();
    // One gesture is one undo step: opened at a left press, closed at its release or when a tool change,
    // Escape or undo cuts it short (which also drops the drag in progress).
    void BeginGesture();
    void EndGesture();
    void CancelDrag();
    // The current tool is left: the drag is cut short and the tool's deactivate hook runs (also the hook
    // of the user's own tool while Space has lent the hand).
    void LeaveTool();
    // The object of the visible list the point hits: the last listed one (Topmost) or the first; only
    // junctions with points when JunctionsOnly. -1 for none.
    std::int32_t VisibleHit(const TXYPoint& P, bool Topmost, bool JunctionsOnly);

    bool FGestureOpen = false;
    bool FGestureChanged = false; // the gesture changed the document: the mini-map content is rebuilt
    std::int32_t FTouchedID = -1; // the object the open gesture has recorded for undo
    bool FLeftPressed = false;    // a left press waits for its release (OnClick)

public:
    // ---- Undo and redo (editing/ZemHistory.cpp) ----
    // One gesture or command is one step. Steps nest: the outermost EndChange records what the Touch calls
    // in between saw changed. Operations that change the document call the matching Touch before they
    // change anything; a step that changed nothing is not recorded. Name (UTF-8, static) is what the menu
    // calls the step ("перемещение объекта"): the first name given while it is open stays.
    void BeginChange(const char* Name = nullptr);
    void EndChange();
    void TouchObject(std::int32_t ID); // before changing, deleting or adding (an ID not stored) an object
    void TouchDirectories();           // before changing any of the six directories
    void TouchSettings();              // before changing the document's settings
    void TouchRoutePoints();           // before changing the search points
    // Changes one object in a step of its own, recomputes its box and refreshes the view once; the
    // inspector's way in (editing/ZemObjectCommands.cpp).
    // A MergeKey (the field's name) lets consecutive changes of that field of that object become one step
    // (typing in a field); EndMerge ends the run. Name names the step; without one it is named after the
    // field of the MergeKey, or "изменение объекта".
    void ChangeObject(std::int32_t ID, const std::function<void(TZemObject&)>& Change,
                      const std::string& MergeKey = {}, const char* Name = nullptr);
    void EndMerge();
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // Loading, "Новый" and opening another map start a new history; saving marks the clean state.
    void ClearHistory();
    void MarkSaved();
    bool Modified() const;
    // The steps themselves: their count, memory and budget (editing/ZemHistory.h).
    TZemHistory& History() { return *FHistory; }
    void TouchPictures(); // before changing the picture library
    void TouchIcons();    // before changing the icon library
    // ---- The picture and icon libraries (editing/ZemLibraryCommands.cpp) ----
    // Each is one undo step (or part of the open one) and redraws: objects show entries by position.
    // The library becomes these entries.
    void SetPictureEntries(TZemPictureEntries Entries);
    void SetIconEntries(TZemIconEntries Entries);
    // "Загрузить рисунок": the picture object ID shows picture Index, its frame the picture's size from
    // point 0; then no object is current. "Загрузить иконку": the icon object ID shows icon Index. False,
    // nothing changed, for an object of another kind or not stored, or an index outside the library.
    bool AssignPicture(std::int32_t ID, std::int32_t Index);
    bool AssignIcon(std::int32_t ID, std::int32_t Index);
    // The two stored texts that have no setter of their own elsewhere; each change is a step.
    static constexpr std::size_t kMaxMeasureStr = 255; // longer units are cut
    void SetMeasureStr(const ZemString& Value);
    void SetDocumentName(const ZemString& Value);

    // ---- Files (persistence/ZemMapFile.cpp, persistence/ZemTextExport.cpp) ----
    // Writes the map file: the whole file is built in memory, written beside the target and renamed
    // over it. Raises EZemError when it cannot be written; the target is then untouched.
    void SaveToFile(const std::string& FileName);
    // Reads a map file. Any failure shows "Файл поврежден или не является файлом карты!" through the
    // host and returns false; what was read before the failure stays in the map. Running out of memory
    // shows "Недостаточно памяти для загрузки карты." instead and leaves the map without objects,
    // directories and libraries. A file that is not a regular file, or larger than a map file can be (its
    // frame holds at most kMaxFrameContent bytes, 1 GiB), raises EZemError before anything is read.
    bool LoadFromFile(const std::string& FileName);
    // The same on a whole file held in memory.
    bool LoadFromBytes(std::span<const std::uint8_t> Bytes);
    // The whole map file as SaveToFile writes it.
    std::vector<std::uint8_t> SaveToBytes();
    // The text export into Folder (created when missing, one level): Objects.txt and the directory dumps.
    // Numbers are written with DecimalSeparator, the user's one, which the program reads at its start.
    void ExportText(const std::string& Folder, char DecimalSeparator);
    // The lines of Objects.txt, with the given decimal separator.
    std::string ObjectsText(char DecimalSeparator);

    // ---- View (view/ZemViewport.cpp) ----
    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    // Round((W - LeftTop) * pixels / extent) in extended precision; most points take a double shortcut
    // that gives the same result.
    TPoint WorldToScreen(const TXYPoint& W) const;
    TPoint WorldToScreen(float X, float Y) const { return WorldToScreen(TXYPoint{X, Y}); }
    // The same, always in extended precision.
    TPoint ExactWorldToScreen(const TXYPoint& W) const;
    TXYPoint ScreenToWorld(const TPoint& S) const;
    // Whether Listed surely refuses an object of this kind and these stored bounds (its other fields
    // unseen); the visible list's filter in the index asks it before the object itself is read.
    bool SurelyUnlisted(std::uint8_t Kind, const TXYPoint& LeftTop, const TXYPoint& RightBottom,
                        const TXYRect& V) const;
    TXYPoint ScreenToWorld(std::int32_t X, std::int32_t Y) const { return ScreenToWorld(TPoint{X, Y}); }
    void SetScale(float S);
    // Centres the window on a world point at the given scale (percent), for the current size: the extent
    // is the size at that scale. Raises OnScale as SetScale does; ignores a scale that is not positive.
    void SetView(const TXYPoint& Centre, float S);
    // The pointer's last world position, which a wheel zoom keeps in place. Pointer handling keeps it
    // current; a front end without a pointer sets it before zooming.
    void SetCursorPos(const TXYPoint& P) { View.CursorPos = P; }
    void ZoomToRect(const TPoint& P, const TPoint& Q);
    void ZoomOutClick(const TPoint& P);
    // Wheel message: one scale step per message, about CursorPos.
    void WheelZoom(std::int32_t Delta);
    // Virtual keys 107 (numeric plus) and 109 (numeric minus); other keys are ignored.
    void KeypadZoom(std::int32_t Key);
    void PanBy(const TPoint& P, const TPoint& Q);
    // Whether a window from L to R (world) stays within the area panning and edge scrolling may reach:
    // one global extent beyond the map on every side.
    bool InsideScrollArea(const TXYPoint& L, const TXYPoint& R) const;
    // The control's new size; the window grows or shrinks at the right and bottom.
    void Resize(std::int32_t NewWidth, std::int32_t NewHeight);
    // Keeps Scale and LeftTop and takes the extent from the control's size at that scale, so that both
    // axes show Scale / 100 pixels per world unit. Loading, Clear and Resize call it. A control without
    // width or height keeps the extent it has.
    void FitExtentToSize();
    void RecalcGlobalExtent();
    void SetAutoUpdate(bool Value);
    bool AutoUpdate() const { return View.AutoUpdate; }
    void Redraw();
    void Refresh();

    // ---- Visible list (view/ZemVisibleList.cpp) ----
    // Rebuilds the visible list from the objects the spatial index finds near the window.
    void UpdateVisibleList();
    // The same list found by testing every object in drawing order: what the index must agree with.
    void ScanVisibleList(TIntegerList& List) const;
    // The IDs of the stored objects whose box may reach R (a superset, in no particular order): the start
    // of any search by place.
    void ObjectsNear(const TXYRect& R, std::vector<std::int32_t>& IDs);
    // The index of object boxes, kept in step by the store and by the objects themselves.
    TZemSpatialIndex& SpatialIndex() { return *FIndex; }

    // ---- Rendering (view/ZemRender.cpp) ----
    void RenderView();
    void Paint();
    // The stages of RenderView.
    void PaintVisible(); // the visible list, object by object
    void PaintBackground();
    void PaintGrid();
    void PaintOverlays();
    // Tiled under the map instead of BackColor while moShowBackground is set; empty by default.
    TBitmap32 BackgroundPattern;
    // The last rendered frame as a picture file (BMP, or PNG when the name ends in ".png").
    void ExportBmp(const std::string& FileName) const;

    // ---- Painters (view/ZemPaintersShapes.cpp, ZemPaintersOverlays.cpp, ZemPaintersNetwork.cpp) ----
    // One painter per kind of object: each sets the back buffer's pen, brush and font from the object's
    // own records, converts its points with WorldToScreen and draws. Sizes taken from records scale
    // with Scale / 100; sizes given in pixels do not.
    void PaintObject(std::int32_t ID); // the painter of the object's kind, then its house number
    void PaintLine(std::int32_t ID);
    void PaintPolygon(std::int32_t ID);
    void PaintEllipse(std::int32_t ID);
    void PaintText(std::int32_t ID, bool Selected);
    void PaintTextOf(const TZemObject& O, bool Selected); // also the text under construction
    void PaintBezier(std::int32_t ID);
    void PaintBitmapObject(std::int32_t ID);
    void PaintIcon(std::int32_t ID);
    void PaintJunction(std::int32_t ID);
    void PaintSegment(std::int32_t ID);
    // Overlays, drawn over the objects in this order by RenderView.
    void PaintHouseNumber(std::int32_t ID);
    // The current tool's drag (a rubber band), under the current object's marks (editing/ZemPointer.cpp).
    void PaintToolDrag();
    void PaintSelection(std::int32_t ID);
    void PaintConstruction();
    // What the tools keep on show whether current or not (a measurement), over the object under
    // construction (editing/ZemPointer.cpp).
    void PaintToolsKept();
    void PaintRoute();
    void PaintRoutePoints();
    // Pen width in pixels of an object's pen at the current scale, never below 1.
    std::int32_t ScaledPenWidth(const TZemObject& Object) const;
    // ---- end of Painters ----

    // ---- Mini-map link (view/ZemMiniMap.cpp) ----
    void SetMiniMap(TZemMiniMap* MiniMap);
    TZemMiniMap* MiniMap() const { return FMiniMap; }
    void UpdateMiniMapContent();
    void UpdateMiniMapFrame();

    // ---- Timers (platform/ZemTimer.h; made in model/ZemMap.cpp) ----
    TZemTimer& BlinkTimer() { return *FBlinkTimer; }
    TZemTimer& DrawCountTimer() { return *FDrawCountTimer; }
    TZemTimer& EdgeScrollTimer() { return *FEdgeScrollTimer; }

    // ---- Transport network (transport/ZemNetwork.cpp, transport/ZemNetworkEdit.cpp) ----
    // The route search (transport/ZemGeneticSearch.h), reused by every search; cleared with the map.
    TZemTransportTask& TransportTask() { return *FTransportTask; }
    const TZemTransportTask& TransportTask() const { return *FTransportTask; }
    // Handed to the task at every search (the task is their sender).
    TOnFindTransportPath OnFindTransportPath;
    TOnGenerations OnGenerations;
    // After a whole search, with the combined route (the task's Route).
    std::function<void(TZemMap&, const TIntegerList& Answere)> OnOptimalTransportPath;

    // "Поиск кратчайшего пути": one leg of the task per consecutive pair of search points. Raises
    // ETransportTaskError; refused while a search runs.
    void FindTransportPath();
    // Steps before the legs: the transport choice, the penalty table, the graph and its dumps. False
    // when the user chose nothing or cancelled.
    bool PrepareTransportSearch();
    // The legs by the exact search (Net.RouteMethod rmExact), reported like the genetic search's.
    void FindExactRoute(const std::vector<std::pair<std::int32_t, std::int32_t>>& Legs);
    // The objects drawn as the found route, replacing those drawn before; refreshes the view.
    void ShowRouteHighlight(const TIntegerList& IDs);
    // The junction pairs of the legs, after PrepareTransportSearch.
    std::vector<std::pair<std::int32_t, std::int32_t>> TransportLegs() const;
    // The junction of Vertices nearest to P (the first of equally near ones); -1 when there is none.
    std::int32_t NearestJunction(const TIntegerList& Vertices, const TXYPoint& P) const;

    void ConvertUndefinedRoutes(std::int32_t TransportType, const ZemString& Name);
    void SetRouteColor(std::int32_t TransportType, const ZemString& Name, TColor Color);
    // "Проверка": deletes self-loop segments, reports the count and makes every segment two-way.
    void CheckNetwork();
    // Distinct route names (letter case ignored) of the segments of the visible kinds, in drawing order.
    void RouteNames(std::vector<ZemString>& List) const;
    void SetRouteNameFilter(const ZemString& Name);
    void ClearRouteNameFilter();

    // After object ID changed: when it is a junction, the ends of the segments it joins go onto its point;
    // when it is a segment, its own ends go onto the points of its junctions. Each segment moved is
    // touched first, so the ends move in the undo step that moved the junction, and drawing finds them in
    // place. The map's change handler calls it for every stored object that changes. Only while an undo
    // step is open: undo and redo give back what was recorded and move nothing.
    void AttachSegmentEnds(std::int32_t ID);

    // "Поставить узловые точки на прямых": a junction at every vertex of the chosen lines.
    enum TJunctionPlacement : std::uint8_t {
        jpAll,      // "На всех"
        jpVisible,  // "На видимых"
        jpSelected, // "На выделенной"
    };
    void PlaceJunctionsOnLines(TJunctionPlacement Where);

    // ---- Addresses (address/ZemAddress.cpp, TAddress in address/ZemAddress.h) ----
    // The text form of the object's address; false for -1 or an ID that names no object.
    bool GetAddress(std::int32_t ID, TAddress& Address) const;
    // Stores a text address on the object, one undo step: each name takes the position of the first
    // directory line equal to it ignoring case, or becomes a new last line. Nothing for an unknown ID.
    void SetAddress(std::int32_t ID, const TAddress& Address);
    // "Применить для видимых": the whole address to object ID (when stored), and its directory parts to
    // every other visible object that lacks them; what an object has stays. One undo step, one refresh;
    // returns how many other objects changed.
    std::int32_t SetAddressForVisible(std::int32_t ID, const TAddress& Address);
    // The object type named Name (looked up in ObjectTypes as an address name is; none for an empty
    // name) to object ID, one undo step; nothing for an unknown ID. The second gives it to every visible
    // object without a type, returning how many changed.
    void SetObjectType(std::int32_t ID, const ZemString& Name);
    std::int32_t SetObjectTypeForVisible(const ZemString& Name);

    // ---- Display choice of the network page (transport/ZemNetworkDisplay.cpp) ----
    // The transport kinds whose segments are drawn, kept in ascending order; refreshes the view.
    void SetVisibleTransportTypes(std::span<const std::int32_t> Types);

private:
    friend class TZemHistory; // restores objects the way the store adopts them

    void ObjectChanged(std::int32_t ID);
    // Whether the visible list takes the object for the window V.
    bool Listed(const TZemObject& O, const TXYRect& V) const;
    // The size test of Listed: a box in V more than MinObjectView pixels wide or high on screen.
    bool BigEnoughInView(const TXYPoint& LeftTop, const TXYPoint& RightBottom, const TXYRect& V) const;
    // Gives the index each object's place in the drawing order when the order changed; false when the
    // order names an object twice, which only a full scan lists faithfully.
    bool RankObjects();
    // ---- Live blinking (editing/ZemBlink.cpp) ----
    // The blink set follows one object's flag (the ID may name no object), or all of them after a load.
    void SyncBlink(std::int32_t ID);
    void FillBlinkSet();
    void UpdateBlinkTimer(); // runs exactly while the set is not empty
    void BlinkTick();
    bool FlashesNow(std::int32_t ID); // drawn in complemented colours in this frame (view/)
    // ---- end of Live blinking ----
    // Measure: the index takes the object's box now (a loader's object, at hand).
    void Adopt(TZemObject& Object, bool Measure = false);
    // Loading: the frame's content after the header, a record stored under its ID, and the drawing
    // order made to agree with the store (true when it had to be changed).
    void ReadMapContent(TBinaryReader& R);
    // After running out of memory: no objects, directories or libraries rather than a half-read map.
    void ClearAfterFailedLoad();
    // Rank: the record's place in the drawing order, or -1 when the order has another ID there.
    void StoreLoaded(std::unique_ptr<TZemObject> Object, std::int32_t Rank);
    bool RepairOrder();

    TZemHost& FHost;
    // Follows the boxes of the stored objects, which tell it about their changes; objects still stored
    // when it goes are told to forget it.
    std::unique_ptr<TZemSpatialIndex> FIndex;
    std::int32_t FWidth = 400;
    std::int32_t FHeight = 400;
    TZemMiniMap* FMiniMap = nullptr;
    std::int32_t FLastChangedID = -1;
    std::recursive_mutex FLock; // taken around each frame
    std::unique_ptr<TZemTimer> FBlinkTimer;
    std::unique_ptr<TZemTimer> FDrawCountTimer;
    std::unique_ptr<TZemTimer> FEdgeScrollTimer;
    std::unique_ptr<TZemTransportTask> FTransportTask;
    std::unique_ptr<TZemHistory> FHistory;
};

// A step of the undo history for as long as it lives.
class TZemChange {
public:
    explicit TZemChange(TZemMap& Map, const char* Name = nullptr) : FMap(Map) { FMap.BeginChange(Name); }
    ~TZemChange() { FMap.EndChange(); }
    TZemChange(const TZemChange&) = delete;
    TZemChange& operator=(const TZemChange&) = delete;

private:
    TZemMap& FMap;
};

} // namespace zem
