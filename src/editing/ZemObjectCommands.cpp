// The commands a front end gives for one object or for the display: each keeps the editing rules
// (the network's fixed planes, the angle of kinds that keep one, what a pasted style carries) and is
// one undo step, so that the window, a script or the command line only call them and show the result.
#include "editing/ZemHistory.h"
#include "editing/ZemQuietDrawing.h"
#include "model/ZemMap.h"

namespace zem {

namespace {

// The step names of the inspector's fields, by their merge keys.
const char* FieldStepName(const std::string& MergeKey) {
    static constexpr std::pair<const char*, const char*> kNames[] = {
        {"PenWidth", "толщина линии"}, {"FontSize", "размер шрифта"}, {"Text", "текст"},
        {"Angle", "поворот"},          {"Height3D", "высота 3D"},
    };
    for (const auto& [Key, Name] : kNames)
        if (MergeKey == Key)
            return Name;
    return "изменение объекта";
}

} // namespace

void TZemMap::ChangeObject(std::int32_t ID, const std::function<void(TZemObject&)>& Change,
                           const std::string& MergeKey, const char* Name) {
    TZemObject& Object = ObjectByID(ID); // raises for an ID not stored, before a step opens
    {
        TZemChange Step(*this, Name ? Name : FieldStepName(MergeKey));
        TouchObject(ID);
        if (!MergeKey.empty())
            History().MergeKey(MergeKey);
        // Each setter would draw a frame of its own; the one refresh below shows them all.
        const TZemQuietDrawing Quiet(*this);
        Change(Object);
        Object.UpdateBounds(); // whatever changed (points, pen, font), the box follows
    }
    Refresh();
}

void TZemMap::EndMerge() {
    History().EndMerge();
}

bool TZemMap::SetObjectPlane(std::int32_t ID, std::int8_t Plane) {
    if (!ObjectExists(ID) || HasFixedPlane(ObjectByID(ID).Kind))
        return false;
    ChangeObject(
        ID, [Plane](TZemObject& O) { O.SetPlane(Plane); }, {}, "плоскость");
    return true;
}

void TZemMap::SetObjectAngle(std::int32_t ID, float Angle, float Shown) {
    ChangeObject(
        ID, [Angle, Shown](TZemObject& O) { O.TurnTo(Angle, Shown); }, {}, "поворот");
}

bool TZemMap::ToggleLock(std::int32_t ID) {
    ChangeObject(
        ID, [](TZemObject& O) { O.Lock = !O.Lock; }, {}, "блокировка");
    return ObjectByID(ID).Lock;
}

bool TZemMap::PasteStyle(std::int32_t Source, std::int32_t Target) {
    // A source deleted since it was remembered is not looked up: the paste is ignored.
    if (!ObjectExists(Source) || !ObjectExists(Target))
        return false;
    const TZemObject& S = ObjectByID(Source);
    const TZemPen Pen = S.Pen;
    const TZemBrush Brush = S.Brush;
    const TZemFont Font = S.Font;
    // Everything of the address but the house numbers, which belong to the target's own place.
    TZemAddress Address = S.Address();
    Address.Number.clear();
    Address.Number2.clear();
    Address.Empty = Address.NoParts();
    ChangeObject(
        Target,
        [&](TZemObject& O) {
            O.Pen = Pen;
            O.Brush = Brush;
            O.Font = Font;
            O.SetAddress(Address);
        },
        {}, "вставка стиля");
    return true;
}

void TZemMap::SetNetworkDisplay(const TZemNetworkDisplay& Display) {
    {
        TZemChange Step(*this, "показ транспортной сети");
        const TZemQuietDrawing Quiet(*this); // one frame for the four switches
        SetShowTransportNet(Display.ShowNet);
        SetShowTransportDirections(Display.Directions);
        SetShowTransportCrosses(Display.Crosses);
        SetShowOnlyTransportNet(Display.OnlyNet);
    }
    Refresh();
}

TZemMenuKind TZemMap::MenuAt(std::int32_t X, std::int32_t Y) {
    if (Edit.CurrentTool != tSelectObject)
        return TZemMenuKind::mkNone;
    const bool HasCurrent = Edit.CurrentObject >= 0 && ObjectExists(Edit.CurrentObject);
    if (Edit.Cursor == crMovePoint) {
        // Over a vertex handle: the vertex commands act where the pointer stands; a junction has no
        // vertices to add or delete and keeps the object menu.
        Edit.MenuPoint = TPoint{X, Y};
        return HasCurrent && ObjectByID(Edit.CurrentObject).Kind == otRoadCross ? TZemMenuKind::mkObject
                                                                                : TZemMenuKind::mkVertex;
    }
    return HasCurrent ? TZemMenuKind::mkObject : TZemMenuKind::mkNone;
}

} // namespace zem
