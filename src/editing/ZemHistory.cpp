// Undo and redo: recording steps, moving along them, the memory bound and the modified flag; and the
// map's operations that lead here.
#include "editing/ZemHistory.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"

#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <unordered_set>

namespace zem {

namespace {

// Below this many touched objects a linear search of the drawing order is cheaper than an index.
constexpr std::size_t kIndexFrom = 16;

std::int32_t IndexIn(const std::vector<std::int32_t>& Order, std::int32_t ID) {
    auto It = std::find(Order.begin(), Order.end(), ID);
    return It == Order.end() ? -1 : static_cast<std::int32_t>(It - Order.begin());
}

// IDs are unique in the order, and the ones a step looks for were mostly just added at its end.
std::int32_t LastIndexIn(const TIntegerList& Order, std::int32_t ID) {
    for (std::int32_t i = Order.Count() - 1; i >= 0; --i)
        if (Order[i] == ID)
            return i;
    return -1;
}

bool SameObjectState(const TZemObjectState& A, const TZemObjectState& B) {
    if (!A.Object || !B.Object)
        return !A.Object && !B.Object;
    return A.Position == B.Position && A.Object->SameState(*B.Object);
}

} // namespace

TZemHistory::TZemHistory(TZemMap& Map) : FMap(Map) {}

void TZemHistory::StartOpenStep() {
    FOpen = TZemHistoryStep{};
    FTouched.clear();
    FOrderTaken = false;
    FOrderAtStart.clear();
    FOrderIndex.clear();
    TZemDocumentState& B = FOpen.Before;
    B.Count = FMap.Doc.Count;
    B.MaxID = FMap.Doc.MaxID;
    B.GlobalLeftTop = FMap.View.GlobalLeftTop;
    B.GlobalWidthHeight = FMap.View.GlobalWidthHeight;
}

void TZemHistory::Begin(const char* Name) {
    if (FDepth++ == 0)
        StartOpenStep();
    NameStep(Name);
}

void TZemHistory::NameStep(const char* Name) {
    if (FDepth > 0 && !FOpen.Name && Name && *Name)
        FOpen.Name = Name;
}

std::string TZemHistory::UndoName() const {
    const char* Name = CanUndo() ? FKept[FHead + FPos - 1].Name : nullptr;
    return Name ? Name : "";
}

std::string TZemHistory::RedoName() const {
    const char* Name = CanRedo() ? FKept[FHead + FPos].Name : nullptr;
    return Name ? Name : "";
}

void TZemHistory::End() {
    if (FDepth == 0)
        return; // a step that Undo, Redo or a new history already closed
    if (--FDepth > 0)
        return;
    const bool Recorded = CloseOpenStep();
    Notify(Recorded);
}

// Positions are taken in the order as it was when the step began: later Touch calls of the same step
// may come after objects were added, deleted or moved, and their places must all refer to one sequence.
// That order is copied when the step first touches a stored object. Until then only new IDs were
// touched, and no stored object moved without being touched, so leaving the new IDs out of the order as
// it is now gives the order at the start; a step that only adds never copies it.
std::int32_t TZemHistory::PositionAtStart(std::int32_t ID) {
    if (!FOrderTaken) {
        FOrderAtStart.clear();
        FOrderAtStart.reserve(static_cast<std::size_t>(FMap.Doc.Order.Count()));
        for (std::int32_t Stored : FMap.Doc.Order) {
            auto It = FTouched.find(Stored);
            if (It == FTouched.end() || FOpen.Before.Objects[It->second].Object)
                FOrderAtStart.push_back(Stored);
        }
        FOrderTaken = true;
    }
    if (FOrderIndex.empty() && FOpen.IDs.size() >= kIndexFrom)
        for (std::size_t i = 0; i < FOrderAtStart.size(); ++i)
            FOrderIndex.emplace(FOrderAtStart[i], static_cast<std::int32_t>(i));
    if (!FOrderIndex.empty()) {
        auto It = FOrderIndex.find(ID);
        return It == FOrderIndex.end() ? -1 : It->second;
    }
    return IndexIn(FOrderAtStart, ID);
}

void TZemHistory::TouchObject(std::int32_t ID) {
    if (FDepth == 0) {
        LoseSavedState();
        return;
    }
    if (FTouched.contains(ID))
        return;
    TZemObjectState State;
    if (auto* Slot = FMap.Doc.Objects.Find(ID)) {
        State.Object = (*Slot)->Clone();
        State.Position = PositionAtStart(ID);
    }
    FTouched.emplace(ID, FOpen.IDs.size());
    FOpen.IDs.push_back(ID);
    FOpen.Before.Objects.push_back(std::move(State));
}

void TZemHistory::TouchDirectories() {
    if (FDepth == 0)
        LoseSavedState();
    else if (!FOpen.Before.Directories) {
        FOpen.Before.Directories = DirectoriesOf(FMap.Doc);
        FOpen.Before.VisibleTypes = FMap.Net.VisibleTransportTypes;
    }
}

void TZemHistory::TouchSettings() {
    if (FDepth == 0)
        LoseSavedState();
    else if (!FOpen.Before.Settings)
        FOpen.Before.Settings = TZemSettingsState::Of(FMap);
}

void TZemHistory::TouchRoutePoints() {
    if (FDepth == 0)
        LoseSavedState();
    else if (!FOpen.Before.RoutePoints)
        FOpen.Before.RoutePoints = FMap.Net.RoutePoints;
}

void TZemHistory::TouchPictures() {
    if (FDepth == 0)
        LoseSavedState();
    else if (!FOpen.Before.Pictures)
        FOpen.Before.Pictures = FMap.Doc.Bitmaps->Snapshot();
}

void TZemHistory::TouchIcons() {
    if (FDepth == 0)
        LoseSavedState();
    else if (!FOpen.Before.Icons)
        FOpen.Before.Icons = FMap.Doc.Icons->Snapshot();
}

void TZemHistory::MergeKey(const std::string& Key) {
    if (FDepth > 0)
        FOpenKey = Key;
}

bool TZemHistory::LastMayJoin() const {
    return FPos > 0 && FPos == StepCount() && FSaved != static_cast<std::int64_t>(FDropped + FPos);
}

bool TZemHistory::JoinsLast(const TZemHistoryStep& Last, const TZemHistoryStep& Step) {
    auto OnlyObjects = [](const TZemDocumentState& S) {
        return !S.Settings && !S.Directories && !S.VisibleTypes && !S.RoutePoints && !S.Pictures && !S.Icons;
    };
    return Last.IDs == Step.IDs && OnlyObjects(Last.Before) && OnlyObjects(Step.Before);
}

bool TZemHistory::CloseOpenStep() {
    FDepth = 0;
    const std::string Key = std::move(FOpenKey);
    FOpenKey.clear();
    TZemHistoryStep Step = std::move(FOpen);
    FOpen = TZemHistoryStep{};
    FTouched.clear();
    FOrderIndex.clear();
    TZemDocumentState& B = Step.Before;
    TZemDocumentState& A = Step.After;
    const TZemDocument& Doc = FMap.Doc;

    // The after states, with places in the order as it is now: one pass over it when many were touched.
    std::unordered_map<std::int32_t, std::int32_t> Now;
    if (Step.IDs.size() >= kIndexFrom) {
        std::unordered_set<std::int32_t> Wanted(Step.IDs.begin(), Step.IDs.end());
        for (std::int32_t i = 0; i < Doc.Order.Count(); ++i)
            if (Wanted.contains(Doc.Order[i]))
                Now.emplace(Doc.Order[i], i);
    }
    for (std::int32_t ID : Step.IDs) {
        TZemObjectState State;
        if (const auto* Slot = Doc.Objects.Find(ID)) {
            State.Object = (*Slot)->Clone();
            if (Step.IDs.size() >= kIndexFrom) {
                auto It = Now.find(ID);
                State.Position = It == Now.end() ? -1 : It->second;
            } else {
                State.Position = LastIndexIn(Doc.Order, ID);
            }
        }
        A.Objects.push_back(std::move(State));
    }

    // Keep only what changed. While the order as a whole stayed the same, an unchanged object can go;
    // once it moved, only IDs that are absent on both sides can, since the others hold their places.
    const bool OrderSame = !FOrderTaken || std::equal(FOrderAtStart.begin(), FOrderAtStart.end(),
                                                      Doc.Order.begin(), Doc.Order.end());
    FOrderAtStart.clear();
    FOrderTaken = false;
    std::size_t Kept = 0;
    for (std::size_t i = 0; i < Step.IDs.size(); ++i) {
        const bool Absent = !B.Objects[i].Object && !A.Objects[i].Object;
        if (Absent || (OrderSame && SameObjectState(B.Objects[i], A.Objects[i])))
            continue;
        Step.IDs[Kept] = Step.IDs[i];
        B.Objects[Kept] = std::move(B.Objects[i]);
        A.Objects[Kept] = std::move(A.Objects[i]);
        ++Kept;
    }
    Step.IDs.resize(Kept);
    B.Objects.resize(Kept);
    A.Objects.resize(Kept);

    if (B.Settings) {
        A.Settings = TZemSettingsState::Of(FMap);
        if (A.Settings->Same(*B.Settings))
            A.Settings.reset(), B.Settings.reset();
    }
    if (B.Directories) {
        A.Directories = DirectoriesOf(Doc);
        if (*A.Directories == *B.Directories)
            A.Directories.reset(), B.Directories.reset();
        // Kept only when changed, so undoing a step that merely grew a directory leaves the display alone.
        const TIntegerList& Shown = FMap.Net.VisibleTransportTypes;
        if (std::equal(Shown.begin(), Shown.end(), B.VisibleTypes->begin(), B.VisibleTypes->end()))
            B.VisibleTypes.reset();
        else
            A.VisibleTypes = Shown;
    }
    if (B.RoutePoints) {
        A.RoutePoints = FMap.Net.RoutePoints;
        if (*A.RoutePoints == *B.RoutePoints)
            A.RoutePoints.reset(), B.RoutePoints.reset();
    }
    if (B.Pictures) {
        if (Doc.Bitmaps->Holds(*B.Pictures))
            B.Pictures.reset();
        else
            A.Pictures = Doc.Bitmaps->Snapshot();
    }
    if (B.Icons) {
        if (Doc.Icons->Holds(*B.Icons))
            B.Icons.reset();
        else
            A.Icons = Doc.Icons->Snapshot();
    }
    A.Count = Doc.Count;
    A.MaxID = Doc.MaxID;
    A.GlobalLeftTop = FMap.View.GlobalLeftTop;
    A.GlobalWidthHeight = FMap.View.GlobalWidthHeight;

    const bool Changed = Kept > 0 || B.Settings || B.Directories || B.VisibleTypes || B.RoutePoints ||
                         B.Pictures || B.Icons || A.Count != B.Count || A.MaxID != B.MaxID;
    if (!Changed)
        return false;
    ++FRecorded;
    if (!Key.empty() && Key == FLastKey && LastMayJoin()) {
        // Keystrokes in one field are one step: the newest keeps its before state and takes this after.
        TZemHistoryStep Last = StepAt(FPos - 1);
        if (JoinsLast(Last, Step)) {
            Last.After = std::move(Step.After);
            DropLast();
            Keep(Last);
            return true;
        }
    }
    Record(std::move(Step));
    FLastKey = Key;
    return true;
}

void TZemHistory::Record(TZemHistoryStep&& Step) {
    // A new step after undos: the undone branch is gone, and with it a saved state that lay there.
    while (StepCount() > FPos)
        DropLast();
    if (FSaved > static_cast<std::int64_t>(FDropped + FPos))
        FSaved = -1;
    Keep(Step);
    ++FPos;
    Trim();
}

void TZemHistory::Keep(const TZemHistoryStep& Step) {
    PackStep(Step, FImage);
    TKeptStep K{FLog.Append(FImage),
                Step.Name,
                0,
                {Step.Before.Pictures, Step.Before.Icons},
                {Step.After.Pictures, Step.After.Icons}};
    K.Bytes = sizeof(TKeptStep) + K.Image.Size + LibraryBytes(Step.Before, Step.After);
    FBytes += K.Bytes;
    FKept.push_back(K);
    if (FImage.capacity() > TZemByteLog::kChunk)
        std::vector<std::byte>().swap(FImage); // a huge step's scratch is not kept around
}

TZemHistoryStep TZemHistory::StepAt(std::size_t Index) const {
    const TKeptStep& K = FKept[FHead + Index];
    TZemHistoryStep Step = UnpackStep(FLog.View(K.Image));
    Step.Name = K.Name;
    Step.Before.Pictures = K.Before.Pictures;
    Step.Before.Icons = K.Before.Icons;
    Step.After.Pictures = K.After.Pictures;
    Step.After.Icons = K.After.Icons;
    return Step;
}

void TZemHistory::DropLast() {
    FBytes -= FKept.back().Bytes;
    FLog.Release(FKept.back().Image);
    FKept.pop_back();
    if (FKept.size() == FHead) {
        FKept.clear();
        FHead = 0;
    }
}

void TZemHistory::DropFirst() {
    FBytes -= FKept[FHead].Bytes;
    FReleased += FKept[FHead].Bytes;
    FLog.Release(FKept[FHead].Image);
    // The list is moved down now and then rather than for every step dropped.
    if (++FHead >= 1024 && FHead * 2 >= FKept.size()) {
        FKept.erase(FKept.begin(), FKept.begin() + static_cast<std::ptrdiff_t>(FHead));
        FHead = 0;
    }
}

void TZemHistory::Trim() {
    while (FBytes > FBudget && StepCount() > 1 && FPos > 0) {
        DropFirst();
        ++FDropped;
        --FPos;
    }
    if (FSaved >= 0 && FSaved < static_cast<std::int64_t>(FDropped))
        FSaved = -1;
    ReturnMemory();
}

void TZemHistory::ReturnMemory() {
    // The steps' images leave with their chunks; what remains on the heap is the list of steps and the
    // copies a step makes while it is open, whose free pages the heap keeps unless asked. Asked only
    // after megabytes, since it walks the heap.
    if (FReleased < kReturnAfter)
        return;
    FReleased = 0;
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void TZemHistory::SetBudget(std::size_t Bytes) {
    FBudget = Bytes;
    Trim();
    Notify(true);
}

void TZemHistory::Undo() {
    bool Closed = false;
    if (FDepth > 0) {
        // Whatever the open step changed so far is recorded first, so this undo takes exactly that back.
        FMap.DropPendingEdit();
        Closed = CloseOpenStep();
    }
    FLastKey.clear();
    if (FPos == 0) {
        Notify(Closed);
        return;
    }
    --FPos;
    Restore(StepAt(FPos), false);
    Notify(true);
}

void TZemHistory::Redo() {
    bool Closed = false;
    if (FDepth > 0) {
        FMap.DropPendingEdit();
        Closed = CloseOpenStep();
    }
    FLastKey.clear();
    if (FPos == StepCount()) {
        Notify(Closed);
        return;
    }
    Restore(StepAt(FPos), true);
    ++FPos;
    Notify(true);
}

void TZemHistory::Clear() {
    FReleased += FBytes;
    FLastKey.clear();
    while (StepCount() > 0)
        DropLast();
    std::vector<TKeptStep>().swap(FKept);
    std::vector<std::byte>().swap(FImage);
    ReturnMemory();
    FPos = 0;
    FDropped = 0;
    FSaved = 0;
    FBytes = 0;
    // A step still open goes on, measured from the new document.
    if (FDepth > 0)
        StartOpenStep();
    Notify(true);
}

void TZemHistory::MarkSaved() {
    FSaved = static_cast<std::int64_t>(FDropped + FPos);
    Notify(false);
}

bool TZemHistory::Modified() const {
    return FSaved != static_cast<std::int64_t>(FDropped + FPos);
}

void TZemHistory::LoseSavedState() {
    FSaved = -1;
    Notify(false);
}

void TZemHistory::Notify(bool HistoryChanged) {
    const bool Now = Modified();
    if (Now != FLastModified) {
        FLastModified = Now;
        if (FMap.OnModifiedChange)
            FMap.OnModifiedChange(FMap, Now);
    }
    if (HistoryChanged && FMap.OnHistoryChange)
        FMap.OnHistoryChange(FMap);
}

// ---- The map's operations ----

void TZemMap::BeginChange(const char* Name) {
    FHistory->Begin(Name);
}

void TZemMap::EndChange() {
    FHistory->End();
}

void TZemMap::TouchObject(std::int32_t ID) {
    FHistory->TouchObject(ID);
}

// A step that names itself keeps its name; these name the ones that did not, after what they touch.
void TZemMap::TouchDirectories() {
    FHistory->NameStep("справочники");
    FHistory->TouchDirectories();
}

void TZemMap::TouchSettings() {
    FHistory->NameStep("настройки карты");
    FHistory->TouchSettings();
}

void TZemMap::TouchRoutePoints() {
    FHistory->NameStep("точки поиска");
    FHistory->TouchRoutePoints();
}

void TZemMap::TouchPictures() {
    FHistory->TouchPictures();
}

void TZemMap::TouchIcons() {
    FHistory->TouchIcons();
}

bool TZemMap::CanUndo() const {
    return FHistory->CanUndo();
}

bool TZemMap::CanRedo() const {
    return FHistory->CanRedo();
}

// Whoever asks (a key of the map, a menu item, a button), a press still held ends here: its changes so
// far become their own step, and the moves that follow change nothing until the next press.
void TZemMap::Undo() {
    CancelDrag();
    FHistory->Undo();
}

void TZemMap::Redo() {
    CancelDrag();
    FHistory->Redo();
}

void TZemMap::ClearHistory() {
    FHistory->Clear();
}

void TZemMap::MarkSaved() {
    FHistory->MarkSaved();
}

bool TZemMap::Modified() const {
    return FHistory->Modified();
}

} // namespace zem
