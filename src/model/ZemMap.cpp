// The document side of the map: construction, the object store, IDs, drawing order and settings.
#include "model/ZemMap.h"

#include "base/ZemRound.h"
#include "editing/ZemHistory.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemSpatialIndex.h"
#include "platform/ZemHost.h"
#include "platform/ZemTimer.h"
#include "transport/ZemGeneticSearch.h"
#include "view/ZemMiniMap.h"

#include <cstdint>
#include <string>

namespace zem {

namespace {
const char* const kMsgNoFreeID = "Нельзя добавить объект: все идентификаторы объектов уже заняты.";

// A stored setting changes in a step of its own (nothing is recorded when the value stays the same).
template <class T, class V> void ChangeSetting(TZemMap& Map, T& Field, const V& Value) {
    TZemChange Step(Map, "настройки карты");
    Map.TouchSettings();
    Field = Value;
}
} // namespace

TZemDocument::TZemDocument() : Icons(std::make_unique<TIconList>()), Bitmaps(std::make_unique<TBmpList>()) {}

TZemDocument::~TZemDocument() = default;

TZemMap::TZemMap(TZemHost& Host)
    : Edit(FToolStates), FHost(Host), FIndex(std::make_unique<TZemSpatialIndex>()),
      FBlinkTimer(std::make_unique<TZemTimer>(Host, 700)),
      FDrawCountTimer(std::make_unique<TZemTimer>(Host, 1000)),
      FEdgeScrollTimer(std::make_unique<TZemTimer>(Host, 25)),
      FTransportTask(std::make_unique<TZemTransportTask>()), FHistory(std::make_unique<TZemHistory>(*this)) {
    View.GlobalLeftTop = View.LeftTop;
    View.GlobalWidthHeight = View.ViewWidthHeight;
    NewObject.Owner = this;
    FBlinkTimer->OnTimer = [this](TZemTimer&) { BlinkTick(); };
    // Nothing enables this timer; a host that wants the frame rate in its status bar may.
    FDrawCountTimer->OnTimer = [this](TZemTimer&) {
        std::int32_t Frames = View.DrawCounter;
        View.DrawCounter = 0;
        if (OnDrawCount)
            OnDrawCount(*this, Frames);
    };
    BackBuffer.SetSize(FWidth, FHeight);
    Net.RouteNameFilterOn = false;
    Net.RouteNameFilter.clear();
    Redraw();
}

TZemMap::~TZemMap() {
    if (FMiniMap)
        FMiniMap->Detach();
    FMiniMap = nullptr;
    // Nobody is called back while the map goes away: listeners may already be gone.
    OnScale = nullptr;
    OnMeasure = nullptr;
    OnChangeCurrentTool = nullptr;
    OnPaintBackground = nullptr;
    OnChangeCurrentObject = nullptr;
    OnMapProgress = nullptr;
    OnDebug = nullptr;
    OnVisibleCount = nullptr;
    OnDrawCount = nullptr;
    OnFindTransportPath = nullptr;
    OnGenerations = nullptr;
    OnOptimalTransportPath = nullptr;
    OnModifiedChange = nullptr;
    OnHistoryChange = nullptr;
    View.AutoUpdate = false; // and nothing is drawn
    View.Printing = false;
    Edit.CurrentObject = -1;
    Clear();
}

TZemObject& TZemMap::ObjectByID(std::int32_t ID) {
    auto* Slot = Doc.Objects.Find(ID);
    if (!Slot)
        throw EZemError("Объект с номером " + std::to_string(ID) + " не существует.");
    return **Slot;
}

const TZemObject& TZemMap::ObjectByID(std::int32_t ID) const {
    return const_cast<TZemMap*>(this)->ObjectByID(ID);
}

void TZemMap::Adopt(TZemObject& Object, bool Measure) {
    Object.Owner = this;
    Object.OnObjectChange = [this](std::int32_t ID) { ObjectChanged(ID); };
    if (Measure)
        FIndex->InsertMeasured(Object);
    else
        FIndex->Insert(Object);
}

void TZemMap::ObjectChanged(std::int32_t ID) {
    SyncBlink(ID); // also while drawing is off, and for an ID that undo has just taken away
    AttachSegmentEnds(ID);
    if (!View.AutoUpdate)
        return;
    FLastChangedID = ID;
    RenderView();
}

void TZemMap::DropPendingEdit() {
    Edit.Creating = false;
    Edit.Dragging = false;
}

void TZemMap::AddObject(const TZemObject& Template) {
    if (!Doc.HasOption(moEditable)) {
        Edit.CurrentObject = -1;
        DropPendingEdit();
        return;
    }
    // IDs only grow: once the top of the range is taken there is no ID left to give, and wrapping round
    // would hand out negative IDs.
    while (Doc.Objects.Contains(Doc.MaxID)) {
        if (Doc.MaxID == INT32_MAX)
            throw EZemError(kMsgNoFreeID);
        ++Doc.MaxID;
    }
    TZemChange Step(*this, "добавление объекта");
    TouchObject(Doc.MaxID);
    auto Object = std::make_unique<TZemObject>();
    Object->ID = Doc.MaxID;
    Object->Assign(Template);
    Adopt(*Object);
    const std::int32_t ID = Object->ID;
    Doc.Objects.Add(ID, std::move(Object));
    Doc.Order.Add(ID);
    SyncBlink(ID);
    if (Doc.MaxID < INT32_MAX) // at the top it stays, taken, and the next add refuses
        ++Doc.MaxID;
    ++Doc.Count;
    if (View.AutoUpdate) {
        UpdateVisibleList();
        RecalcGlobalExtent();
        UpdateMiniMapContent();
        Redraw();
    }
}

void TZemMap::StoreObject(std::unique_ptr<TZemObject> Object) {
    const std::int32_t ID = Object->ID;
    Adopt(*Object);
    Doc.Objects.Add(ID, std::move(Object)); // raises on a duplicate ID, storing nothing
    Doc.Order.Add(ID);
    SyncBlink(ID);
    ++Doc.Count;
    if (Doc.MaxID <= ID && ID < INT32_MAX)
        Doc.MaxID = ID + 1;
}

void TZemMap::DeleteObject(std::int32_t ID) {
    if (!Doc.HasOption(moEditable)) {
        Edit.CurrentObject = -1;
        Edit.Creating = false;
        Redraw();
        return;
    }
    if (ID == -1)
        return;
    ObjectByID(ID); // the ID must exist: raise before anything changes
    TZemChange Step(*this, "удаление объекта");
    TouchObject(ID);
    Edit.CurrentObject = -1;
    Doc.Objects.Remove(ID); // destroys the object
    SyncBlink(ID);
    Doc.Order.Remove(ID);
    View.VisibleList.Remove(ID);
    --Doc.Count;
    RecalcGlobalExtent();
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapContent();
}

bool TZemMap::DuplicateObject(std::int32_t ID) {
    if (!ObjectExists(ID))
        return false;
    TZemChange Step(*this, "дублирование объекта"); // the copy and its shift are one step
    const std::int32_t Before = Doc.Count;
    AddObject(ObjectByID(ID));
    if (Doc.Count == Before)
        return true; // editing is not allowed: nothing stored, nothing moved
    TZemObject& Copy = ObjectByID(Doc.Order[Doc.Order.Count() - 1]); // AddObject appends the copy
    if (Copy.Kind != otText && Copy.Kind != otEllipse) {
        const float d =
            static_cast<float>(Round((static_cast<long double>(Copy.RightBottom.X) - Copy.LeftTop.X) / 3));
        for (std::int32_t i = 0; i < Copy.PointCount(); ++i) {
            TXYPoint P = Copy.Point(i);
            Copy.SetPoint(i, TXYPoint{P.X + d, P.Y + d});
        }
    }
    // A copied segment joins the junctions of its source, a second route beside it: its bends move with
    // the shift and its ends stay on the junctions, in this step.
    AttachSegmentEnds(Copy.ID);
    Copy.UpdateBounds();
    Redraw();
    return true;
}

void TZemMap::Clear() {
    NewObject.ClearPoints();
    FToolStates.Clear();
    Net.RouteHighlight.Clear();
    Edit.CurrentObject = -1;

    FIndex->Reset();     // at once, rather than object by object
    Doc.Objects.Clear(); // destroys every object
    Doc.Order.Clear();
    Doc.Objects.TrimCapacity();
    Doc.Order.TrimCapacity();
    Doc.Count = 0;
    Doc.MaxID = 0;

    View.VisibleList.Clear();
    View.BlinkSet.Clear();
    UpdateBlinkTimer();
    Net.RoutePoints.Clear();
    FTransportTask->Clear();
    Net.VisibleTransportTypes.Clear();

    FitExtentToSize(); // "Новый" keeps the scale and LeftTop, shown undistorted in this control
    RecalcGlobalExtent();
    UpdateVisibleList();
    Redraw();
    UpdateMiniMapContent();
    ClearHistory();
}

void TZemMap::BringToFront(std::int32_t ID) {
    if (Doc.Order.IndexOf(ID) < 0)
        return;
    {
        TZemChange Step(*this, "на передний план");
        TouchObject(ID);
        Doc.Order.Remove(ID);
        Doc.Order.Add(ID);
    }
    Refresh();
}

void TZemMap::SendToBack(std::int32_t ID) {
    if (Doc.Order.IndexOf(ID) < 0)
        return;
    {
        TZemChange Step(*this, "на задний план");
        TouchObject(ID);
        Doc.Order.Remove(ID);
        Doc.Order.Insert(0, ID);
    }
    Refresh();
}

void TZemMap::SetBackColor(TColor Value) {
    ChangeSetting(*this, Doc.BackColor, Value);
    Redraw();
}

void TZemMap::SetDirectLineColor(TColor Value) {
    ChangeSetting(*this, Doc.DirectLineColor, Value);
    Redraw();
}

void TZemMap::SetShowGrid(bool Value) {
    ChangeSetting(*this, Doc.ShowGrid, Value);
    Redraw();
}

void TZemMap::SetDirectLineX(std::int32_t Value) {
    ChangeSetting(*this, Doc.DirectLineX, Value);
    Redraw();
}

void TZemMap::SetDirectLineY(std::int32_t Value) {
    ChangeSetting(*this, Doc.DirectLineY, Value);
    Redraw();
}

void TZemMap::SetShowTransportNet(bool Value) {
    ChangeSetting(*this, Net.ShowTransportNet, Value);
    Redraw();
}

void TZemMap::SetShowTransportDirections(bool Value) {
    ChangeSetting(*this, Net.ShowTransportDirections, Value);
    Redraw();
}

void TZemMap::SetConnectionKind(std::uint8_t Value) {
    Net.ConnectionKind = Value;
    Redraw();
}

void TZemMap::SetShowTransportCrosses(bool Value) {
    Net.ShowTransportCrosses = Value;
    Redraw();
}

void TZemMap::SetShowOnlyTransportNet(bool Value) {
    Net.ShowOnlyTransportNet = Value;
    Refresh();
}

void TZemMap::SetShowUndefinedRoutes(bool Value) {
    ChangeSetting(*this, Net.ShowUndefinedRoutes, Value);
    Refresh();
}

void TZemMap::SetMinIconView(float Value) {
    ChangeSetting(*this, Doc.MinIconView, Value);
}

void TZemMap::SetMinObjectView(std::int32_t Value) {
    ChangeSetting(*this, Doc.MinObjectView, Value);
    Redraw();
}

void TZemMap::SetMeasureScale(float Value) {
    ChangeSetting(*this, Doc.MeasureScale, Value);
    Redraw();
}

void TZemMap::SetCompression(std::uint8_t Value) {
    ChangeSetting(*this, Doc.Compression, Value);
}

void TZemMap::SetMinScaleAddress(float Value) {
    ChangeSetting(*this, Doc.MinScaleAddress, Value);
}

void TZemMap::SetPseudo3DAngle(float Value) {
    ChangeSetting(*this, Doc.Pseudo3DAngle, Value);
}

void TZemMap::SetOption(std::uint8_t Value) {
    ChangeSetting(*this, Doc.Option, Value);
}

void TZemMap::SetMeasureStr(const ZemString& Value) {
    ChangeSetting(*this, Doc.MeasureStr, Value.substr(0, 255));
}

void TZemMap::SetDocumentName(const ZemString& Value) {
    ChangeSetting(*this, Doc.DocumentName, Value.substr(0, 255));
}

void TZemMap::LockAll() {
    TZemChange Step(*this, "все только для чтения");
    for (std::int32_t ID : Doc.Order) {
        TZemObject& O = ObjectByID(ID);
        if (!O.Lock) {
            TouchObject(ID);
            O.Lock = true;
        }
    }
}

void TZemMap::ResetEditState() {
    // The template keeps its points: only the edit in progress on the map is dropped.
    DropPendingEdit();
    Edit.CurrentObject = -1;
    Edit.EditMode = 0;
    Redraw();
}

} // namespace zem
