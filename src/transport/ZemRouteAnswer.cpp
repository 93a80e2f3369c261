#include "transport/ZemRouteAnswer.h"

#include "model/ZemMap.h"

#include <string>

namespace zem {

void TAnswere::Add(std::int32_t ID, std::int32_t TransportType, std::int32_t NodeIndex,
                   const ZemString& Name) {
    Records.push_back(TAnRec{ID, TransportType, Name, NodeIndex});
    IDs.Add(ID);
}

TAnRec TAnswere::Get(std::int32_t Index) const {
    if (Index < 0 || Index >= Count())
        throw EZemError(kMsgBadIndex);
    return Records[static_cast<size_t>(Index)];
}

void TAnswere::Clear() {
    Records.clear();
    IDs.Clear();
}

void BuildAnswere(const TZemMap& Map, const TIntegerList& Route, TAnswere& Answere,
                  std::vector<ZemString>& Nodes) {
    Answere.Clear();
    Nodes.clear();
    const TZemDirectory& Kinds = Map.Doc.TransportTypes;
    std::int32_t PreviousType = -1;
    ZemString PreviousName = "---";
    for (std::int32_t ID : Route) {
        const auto* Slot = Map.Doc.Objects.Find(ID);
        if (!Slot) {
            Answere.Add(ID, -1, static_cast<std::int32_t>(Nodes.size()) - 1, "");
            continue;
        }
        const TZemObject& O = **Slot;
        if (O.Kind == otRoadCrossLine && (O.TransportType() != PreviousType || O.Text() != PreviousName)) {
            PreviousType = O.TransportType();
            PreviousName = O.Text();
            const bool Known = PreviousType >= 0 && PreviousType < static_cast<std::int32_t>(Kinds.size());
            ZemString Node = Known ? Kinds[static_cast<size_t>(PreviousType)] : FromUtf8("Не задан");
            if (!PreviousName.empty())
                Node += " " + PreviousName;
            Nodes.push_back(Node);
        }
        Answere.Add(ID, O.TransportType(), static_cast<std::int32_t>(Nodes.size()) - 1, O.Text());
    }
}

void AppendRouteSegments(const TIntegerList& Route, TIntegerList& IDs) {
    for (std::int32_t i = 1; i < Route.Count(); i += 2)
        IDs.Add(Route[i]);
}

TIntegerList StretchIDs(const TAnswere& Answere, std::int32_t NodeIndex) {
    TIntegerList IDs;
    for (const TAnRec& R : Answere.Records)
        if (R.NodeIndex == NodeIndex)
            IDs.Add(R.ID);
    return IDs;
}

} // namespace zem
