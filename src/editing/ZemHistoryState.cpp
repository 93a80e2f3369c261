// The parts of the document a history step copies, and putting a step's side back into the map.
#include "editing/ZemHistory.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemSettings.h"

#include <algorithm>
#include <bit>
#include <type_traits>
#include <unordered_set>
#include <utility>

namespace zem {

namespace {

constexpr TZemDirectory TZemDocument::*kDirectories[] = {
    &TZemDocument::Streets, &TZemDocument::Indexes,     &TZemDocument::Cities,
    &TZemDocument::Areas,   &TZemDocument::ObjectTypes, &TZemDocument::TransportTypes,
};

std::size_t EntryBytes(const TZemImage& Picture) {
    return sizeof(TZemImage) + Picture.Pixels.size() * sizeof(TColor32);
}

std::size_t EntryBytes(const TZemIcon& Icon) {
    return sizeof(TZemIcon) + Icon.FileBytes().size() + Icon.Image().Pixels.size() * sizeof(TColor32);
}

// Entries of A that B does not hold.
template <class TEntry>
std::size_t OwnBytes(const std::optional<TZemLibraryEntries<TEntry>>& A,
                     const std::optional<TZemLibraryEntries<TEntry>>& B) {
    if (!A)
        return 0;
    std::unordered_set<const TEntry*> Other;
    if (B)
        for (const auto& E : *B)
            Other.insert(E.get());
    std::size_t n = A->size() * sizeof(std::shared_ptr<const TEntry>);
    std::unordered_set<const TEntry*> Counted;
    for (const auto& E : *A)
        if (E && !Other.contains(E.get()) && Counted.insert(E.get()).second)
            n += EntryBytes(*E);
    return n;
}

} // namespace

std::size_t LibraryBytes(const TZemDocumentState& Before, const TZemDocumentState& After) {
    return OwnBytes(Before.Pictures, After.Pictures) + OwnBytes(After.Pictures, Before.Pictures) +
           OwnBytes(Before.Icons, After.Icons) + OwnBytes(After.Icons, Before.Icons);
}

TZemSettingsState TZemSettingsState::Of(const TZemMap& Map) {
    TZemSettingsState S;
    ForEachUndoneSetting([&](const auto& Row) { S.*Row.Field = Row.In(Map); });
    return S;
}

void TZemSettingsState::ApplyTo(TZemMap& Map) const {
    ForEachUndoneSetting([&](const auto& Row) { Row.In(Map) = this->*Row.Field; });
}

bool TZemSettingsState::Same(const TZemSettingsState& O) const {
    bool Result = true;
    ForEachUndoneSetting([&](const auto& Row) {
        using T = TZemSettingType<decltype(Row)>;
        if constexpr (std::is_floating_point_v<T>)
            Result = Result && SameBits(this->*Row.Field, O.*Row.Field);
        else
            Result = Result && this->*Row.Field == O.*Row.Field;
    });
    return Result;
}

TZemDirectories DirectoriesOf(const TZemDocument& Doc) {
    TZemDirectories Result;
    for (std::size_t i = 0; i < Result.size(); ++i)
        Result[i] = Doc.*kDirectories[i];
    return Result;
}

void ApplyDirectories(const TZemDirectories& Dirs, TZemDocument& Doc) {
    for (std::size_t i = 0; i < Dirs.size(); ++i)
        Doc.*kDirectories[i] = Dirs[i];
}

void TZemHistory::Restore(TZemHistoryStep Step, bool After) {
    TZemMap& M = FMap;
    TZemDocumentState& S = After ? Step.After : Step.Before;

    // The objects: each touched ID gets its recorded state (the step is a copy of the kept one), or goes.
    for (std::size_t i = 0; i < Step.IDs.size(); ++i) {
        const std::int32_t ID = Step.IDs[i];
        auto* Slot = M.Doc.Objects.Find(ID);
        if (S.Objects[i].Object) {
            std::unique_ptr<TZemObject> Copy = std::move(S.Objects[i].Object);
            M.Adopt(*Copy);
            if (Slot)
                *Slot = std::move(Copy);
            else
                M.Doc.Objects.Add(ID, std::move(Copy));
        } else if (Slot) {
            M.Doc.Objects.Remove(ID);
        }
    }

    // The drawing order: the untouched IDs keep their sequence, and the present touched ones go back to
    // their recorded places, taken in ascending order so each lands where it was.
    if (!Step.IDs.empty()) {
        std::unordered_set<std::int32_t> Touched(Step.IDs.begin(), Step.IDs.end());
        std::vector<std::pair<std::int32_t, std::int32_t>> Placed; // position, ID
        for (std::size_t i = 0; i < Step.IDs.size(); ++i)
            if (M.Doc.Objects.Find(Step.IDs[i])) // stored now exactly when the recorded side has it
                Placed.emplace_back(S.Objects[i].Position, Step.IDs[i]);
        std::sort(Placed.begin(), Placed.end());
        TIntegerList Order;
        auto Next = Placed.begin();
        for (std::int32_t ID : M.Doc.Order) {
            if (Touched.contains(ID))
                continue;
            while (Next != Placed.end() && Next->first <= Order.Count())
                Order.Add((Next++)->second);
            Order.Add(ID);
        }
        while (Next != Placed.end())
            Order.Add((Next++)->second);
        M.Doc.Order.Assign(Order);
    }

    if (S.Settings)
        S.Settings->ApplyTo(M);
    if (S.Directories)
        ApplyDirectories(*S.Directories, M.Doc);
    if (S.VisibleTypes)
        M.Net.VisibleTransportTypes = *S.VisibleTypes;
    if (S.RoutePoints)
        M.Net.RoutePoints = *S.RoutePoints;
    if (S.Pictures)
        M.Doc.Bitmaps->Restore(*S.Pictures);
    if (S.Icons)
        M.Doc.Icons->Restore(*S.Icons);
    M.Doc.Count = S.Count;
    M.Doc.MaxID = S.MaxID;
    M.View.GlobalLeftTop = S.GlobalLeftTop;
    M.View.GlobalWidthHeight = S.GlobalWidthHeight;

    if (M.Edit.CurrentObject != -1 && !M.ObjectExists(M.Edit.CurrentObject))
        M.Edit.CurrentObject = -1;

    // Everyone who follows objects through the change handler (the blink set) hears of each restored or
    // removed one; the view is then rebuilt and drawn once.
    const bool Auto = M.View.AutoUpdate;
    M.View.AutoUpdate = false;
    for (std::int32_t ID : Step.IDs)
        M.ObjectChanged(ID);
    M.View.AutoUpdate = Auto;
    // The extent goes back to the value recorded with these objects rather than being recomputed: it
    // only ever grows with them, and the file stores it, so a recomputed one could differ from the file.
    M.UpdateVisibleList();
    M.UpdateMiniMapContent();
    M.Redraw();
}

} // namespace zem
