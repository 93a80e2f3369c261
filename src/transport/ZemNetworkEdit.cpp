// The editing commands of the transport network.
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"

#include <algorithm>
#include <string>

namespace zem {

namespace {

// Switches automatic update off for a bulk change and, if it was on, back on at the end, which rebuilds
// and redraws once instead of once per object.
class TBulkUpdate {
public:
    explicit TBulkUpdate(TZemMap& Map) : FMap(Map), FWasOn(Map.AutoUpdate()) { FMap.SetAutoUpdate(false); }
    ~TBulkUpdate() {
        if (FWasOn)
            FMap.SetAutoUpdate(true);
    }
    TBulkUpdate(const TBulkUpdate&) = delete;
    TBulkUpdate& operator=(const TBulkUpdate&) = delete;

private:
    TZemMap& FMap;
    bool FWasOn;
};

} // namespace

void TZemMap::ConvertUndefinedRoutes(std::int32_t TransportType, const ZemString& Name) {
    if (TransportType < 0)
        return;                                         // no kind chosen
    TZemChange Step(*this, "преобразование маршрутов"); // ends after the bulk update: it sees the view
    TBulkUpdate Bulk(*this);
    for (std::int32_t ID : Doc.Order) {
        TZemObject& S = ObjectByID(ID);
        if (S.Kind != otRoadCrossLine || S.TransportType() != -1)
            continue;
        TouchObject(ID);
        S.SetTransportType(TransportType);
        if (!Name.empty())
            S.SetText(Name);
    }
}

void TZemMap::SetRouteColor(std::int32_t TransportType, const ZemString& Name, TColor Color) {
    if (TransportType < 0) {
        FHost.ShowMessage("Выберите транспорт!", "ZemMap", TZemMsgButtons::mbOk);
        return;
    }
    {
        TZemChange Step(*this, "цвет маршрута");
        for (std::int32_t ID : Doc.Order) {
            TZemObject& S = ObjectByID(ID);
            if (S.Kind == otRoadCrossLine && S.TransportType() == TransportType &&
                (Name.empty() || S.Text() == Name) && S.Pen.Color != Color) {
                TouchObject(ID);
                S.Pen.Color = Color;
            }
        }
    }
    Refresh();
}

void TZemMap::CheckNetwork() {
    if (!Doc.HasOption(moEditable)) {
        // Nothing could be deleted, and a read-only map is not turned two-way either.
        FHost.ShowMessage("Редактирование карты запрещено!", "ZemMap", TZemMsgButtons::mbOk);
        return;
    }
    TZemChange Step(*this, "проверка сети"); // the deletions and the turn to two-way are one step
    std::vector<std::int32_t> Loops;
    for (std::int32_t ID : Doc.Order) {
        const TZemObject& S = ObjectByID(ID);
        if (S.Kind == otRoadCrossLine && S.StartCrossID == S.EndCrossID)
            Loops.push_back(ID);
    }
    std::int32_t Deleted = 0;
    for (std::int32_t ID : Loops) {
        DeleteObject(ID);
        if (!ObjectExists(ID))
            ++Deleted;
    }
    FHost.ShowMessage("Удалено " + std::to_string(Deleted) + " записей!", "ZemMap", TZemMsgButtons::mbOk);
    TBulkUpdate Bulk(*this);
    for (std::int32_t ID : Doc.Order) {
        TZemObject& S = ObjectByID(ID);
        if (S.Kind == otRoadCrossLine && S.Direction() != 2) {
            TouchObject(ID);
            S.SetDirection(2);
        }
    }
}

void TZemMap::RouteNames(std::vector<ZemString>& List) const {
    List.clear();
    for (std::int32_t ID : Doc.Order) {
        const TZemObject& S = ObjectByID(ID);
        if (S.Kind != otRoadCrossLine || !Net.VisibleTransportTypes.Contains(S.TransportType()))
            continue;
        bool Known = false;
        for (const ZemString& Listed : List)
            if (SameText(Listed, S.Text())) {
                Known = true;
                break;
            }
        if (!Known)
            List.push_back(S.Text());
    }
}

void TZemMap::SetRouteNameFilter(const ZemString& Name) {
    Net.RouteNameFilterOn = true;
    Net.RouteNameFilter = Name;
    Refresh();
}

void TZemMap::ClearRouteNameFilter() {
    Net.RouteNameFilterOn = false;
    Net.RouteNameFilter.clear();
    Refresh();
}

namespace {

// Whether an end of segment S that junction JunctionID holds lies off the junction's point P.
bool NeedsEnds(const TZemObject& S, std::int32_t JunctionID, const TXYPoint& P) {
    return S.PointCount() > 0 && ((S.StartCrossID == JunctionID && !(S.Point(0) == P)) ||
                                  (S.EndCrossID == JunctionID && !(S.Point(S.PointCount() - 1) == P)));
}

// Puts those ends onto P; the box follows.
void PutEnds(TZemObject& S, std::int32_t JunctionID, const TXYPoint& P) {
    if (S.StartCrossID == JunctionID)
        S.SetPoint(0, P);
    if (S.EndCrossID == JunctionID)
        S.SetPoint(S.PointCount() - 1, P);
    S.UpdateBounds();
}

} // namespace

void TZemMap::AttachSegmentEnds(std::int32_t ID) {
    // Moving an end changes the document, so it belongs to the step that moved the junction or the
    // segment. Outside a step (undo and redo putting recorded objects back) everything stays as recorded,
    // ends off their junctions too, as a file written elsewhere may have them.
    if (!FHistory->StepOpen())
        return;
    auto* Slot = Doc.Objects.Find(ID);
    if (!Slot)
        return;
    TZemObject& O = **Slot;
    if (O.Kind == otRoadCross && O.PointCount() > 0) {
        const TXYPoint P = O.Point(0);
        for (std::int32_t i = 0; i < Doc.Objects.Count(); ++i) {
            TZemObject& S = *Doc.Objects.Values(i);
            if (S.Kind == otRoadCrossLine && NeedsEnds(S, ID, P)) {
                TouchObject(S.ID);
                PutEnds(S, ID, P);
            }
        }
    } else if (O.Kind == otRoadCrossLine) {
        for (const std::int32_t J : {O.StartCrossID, O.EndCrossID}) {
            const auto* Junction = J == -1 ? nullptr : Doc.Objects.Find(J);
            if (!Junction || (*Junction)->Kind != otRoadCross || (*Junction)->PointCount() < 1)
                continue;
            const TXYPoint P = (*Junction)->Point(0);
            if (NeedsEnds(O, J, P)) {
                TouchObject(ID);
                PutEnds(O, J, P);
            }
        }
    }
}

void TZemMap::PlaceJunctionsOnLines(TJunctionPlacement Where) {
    std::vector<std::int32_t> IDs; // taken first: the adds below change MaxID and the visible list
    switch (Where) {
    case jpAll:
        // In ascending ID order, taken from the objects that exist: a walk over every number below MaxID
        // would take billions of steps on a map whose IDs reach the top of their range.
        IDs.assign(Doc.Order.begin(), Doc.Order.end());
        std::sort(IDs.begin(), IDs.end());
        break;
    case jpVisible:
        IDs.assign(View.VisibleList.begin(), View.VisibleList.end());
        break;
    case jpSelected:
        if (Edit.CurrentObject != -1 && ObjectExists(Edit.CurrentObject))
            IDs.push_back(Edit.CurrentObject);
        break;
    }
    TZemChange Step(*this, "узловые точки"); // every junction placed is one step
    TBulkUpdate Bulk(*this);
    for (std::int32_t ID : IDs) {
        if (!ObjectExists(ID) || ObjectByID(ID).Kind != otLine)
            continue;
        const TZemXYArray Points = ObjectByID(ID).Points();
        for (std::int32_t i = 0; i < Points.Count(); ++i) {
            TZemObject Junction;
            Junction.Kind = otRoadCross;
            Junction.AddPoint(Points[i]);
            AddObject(Junction); // plane 127 is given by the copy
        }
    }
}

} // namespace zem
