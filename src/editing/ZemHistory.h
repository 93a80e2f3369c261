#pragma once
// The undo history of a map. A step holds the before and after states of only what it touched: copies
// of the touched objects with their places in the drawing order, and, when touched, the document
// settings, the six directories, the search points and the two libraries. Undo puts the before states back,
// Redo the after states; the rest of the document is left alone, so a step costs what it changed, not a copy
// of the map. The history also knows which position matches the file last loaded or saved: the modified flag.
#include "editing/ZemHistoryMemory.h"
#include "model/ZemMap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace zem {

// The document settings an undo step puts back: the stored settings of TZemDocumentSettings and
// TZemNetworkSettings (model/ZemSettings.h); the view's scale and position are not among them.
struct TZemSettingsState : TZemDocumentSettings, TZemNetworkSettings {
    static TZemSettingsState Of(const TZemMap& Map);
    void ApplyTo(TZemMap& Map) const;
    bool Same(const TZemSettingsState& Other) const;
};

// Streets, Indexes, Cities, Areas, ObjectTypes and TransportTypes, in the order of the map file.
using TZemDirectories = std::array<TZemDirectory, 6>;

// One touched object on one side of a step.
struct TZemObjectState {
    std::unique_ptr<TZemObject> Object; // null: no object under this ID
    std::int32_t Position = -1;         // index in the drawing order; -1 when not stored
};

// What a step restores on one side, before or after.
struct TZemDocumentState {
    std::vector<TZemObjectState> Objects; // parallel to the step's IDs
    std::optional<TZemSettingsState> Settings;
    std::optional<TZemDirectories> Directories;
    // The transport types the view shows are positions in one of them: they go back with it.
    std::optional<TIntegerList> VisibleTypes;
    std::optional<TZemXYArray> RoutePoints;
    // The libraries' entries, shared with the library and with the other side of the step.
    std::optional<TZemPictureEntries> Pictures;
    std::optional<TZemIconEntries> Icons;
    std::int32_t Count = 0;
    std::int32_t MaxID = 0;
    // The world extent is saved with the map: it goes back with the objects so the file does too.
    TXYPoint GlobalLeftTop;
    TXYPoint GlobalWidthHeight;
};

// Helpers the history's files share (editing/ZemHistoryState.cpp).
TZemDirectories DirectoriesOf(const TZemDocument& Doc);
void ApplyDirectories(const TZemDirectories& Dirs, TZemDocument& Doc);
// Memory of the library entries one side holds that the other does not: those only the history may keep
// alive once the document moves on. Entries on both sides cost a pointer each.
std::size_t LibraryBytes(const TZemDocumentState& Before, const TZemDocumentState& After);

struct TZemHistoryStep {
    const char* Name = nullptr; // what the menu calls it (UTF-8, static); null: no name
    std::vector<std::int32_t> IDs;
    TZemDocumentState Before;
    TZemDocumentState After;
};

// A step as one byte image and back (editing/ZemHistoryPack.cpp): how the history keeps its steps.
void PackStep(const TZemHistoryStep& Step, std::vector<std::byte>& Out);
TZemHistoryStep UnpackStep(std::span<const std::byte> Image);

class TZemHistory {
public:
    // Memory the kept steps may take together; the newest step is kept whatever its size. Typical
    // steps (a few objects) take well under a kilobyte, so the budget holds many thousands of them.
    static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

    explicit TZemHistory(TZemMap& Map);
    TZemHistory(const TZemHistory&) = delete;
    TZemHistory& operator=(const TZemHistory&) = delete;

    // Name (UTF-8, static storage) names the step; the first name given while it is open stays.
    void Begin(const char* Name = nullptr);
    void End();
    // Names the open step unless it has a name already.
    void NameStep(const char* Name);
    // The names of the step Undo and Redo would take; empty when there is none or it has no name.
    std::string UndoName() const;
    std::string RedoName() const;
    bool StepOpen() const { return FDepth > 0; }
    void TouchObject(std::int32_t ID);
    void TouchDirectories();
    void TouchSettings();
    void TouchRoutePoints();
    void TouchPictures();
    void TouchIcons();
    // The open step joins the last one when both carry this key (one field of one object, typed or
    // stepped by keyboard) and they touched the same objects, with nothing recorded, undone or saved in
    // between. EndMerge ends such a run (the field lost the focus).
    void MergeKey(const std::string& Key);
    void EndMerge() { FLastKey.clear(); }

    bool CanUndo() const { return FPos > 0; }
    bool CanRedo() const { return FPos < StepCount(); }
    void Undo();
    void Redo();
    void Clear();
    void MarkSaved();
    // The document differs from its file though no step says so (a restored recovery copy).
    void MarkUnsaved() { LoseSavedState(); }
    bool Modified() const;

    std::size_t StepCount() const { return FKept.size() - FHead; }
    // Steps recorded or joined to the newest one since the history was made.
    std::uint64_t Recorded() const { return FRecorded; }
    std::size_t Position() const { return FPos; }
    std::size_t Bytes() const { return FBytes; }
    std::size_t Budget() const { return FBudget; }
    // Memory mapped for the kept steps' images.
    std::size_t Mapped() const { return FLog.Mapped(); }
    void SetBudget(std::size_t Bytes);

private:
    // The outermost Begin's view of the document, and what the Touch calls of the open step saw.
    void StartOpenStep();
    std::int32_t PositionAtStart(std::int32_t ID);
    bool CloseOpenStep(); // true when a step was recorded
    void Record(TZemHistoryStep&& Step);
    // The newest step is on top, applied and not the saved state, so a keystroke may still join it.
    bool LastMayJoin() const;
    static bool JoinsLast(const TZemHistoryStep& Last, const TZemHistoryStep& Step);
    void Keep(const TZemHistoryStep& Step);
    TZemHistoryStep StepAt(std::size_t Index) const;
    void DropFirst();
    void DropLast();
    void Trim();
    void ReturnMemory();
    void Restore(TZemHistoryStep Step, bool After);
    // The document changed behind the history's back: the saved state is out of reach.
    void LoseSavedState();
    void Notify(bool HistoryChanged);

    // The libraries' entries are shared and never change, so a step keeps them as they are, beside its
    // byte image, for a pointer per entry.
    struct TKeptLibraries {
        std::optional<TZemPictureEntries> Pictures;
        std::optional<TZemIconEntries> Icons;
    };
    struct TKeptStep {
        TZemByteLog::TRef Image;
        const char* Name = nullptr;
        std::size_t Bytes = 0;
        TKeptLibraries Before;
        TKeptLibraries After;
    };

    TZemMap& FMap;
    TZemByteLog FLog;
    std::vector<TKeptStep> FKept; // the steps are FKept[FHead ...]; dropping the first moves FHead
    std::size_t FHead = 0;
    std::vector<std::byte> FImage; // scratch for packing
    std::size_t FPos = 0;          // steps applied: the first FPos steps are undoable
    std::uint64_t FDropped = 0;    // steps dropped from the front since the history began
    std::int64_t FSaved = 0;       // absolute position (FDropped + FPos) of the saved state; -1 none
    std::size_t FBytes = 0;        // of the kept steps
    std::size_t FBudget = kDefaultBudget;
    // Bytes of steps freed since the heap last gave free pages back (ReturnMemory).
    std::size_t FReleased = 0;
    static constexpr std::size_t kReturnAfter = std::size_t{4} << 20;
    bool FLastModified = false; // as last reported by OnModifiedChange
    std::uint64_t FRecorded = 0;

    std::int32_t FDepth = 0;
    TZemHistoryStep FOpen;
    std::unordered_map<std::int32_t, std::size_t> FTouched; // ID -> index in FOpen.IDs
    std::string FOpenKey;                                   // of the open step; empty: it joins nothing
    std::string FLastKey; // of the newest step while another may still join it
    bool FOrderTaken = false;
    std::vector<std::int32_t> FOrderAtStart;
    std::unordered_map<std::int32_t, std::int32_t> FOrderIndex; // built when many objects are touched
};

} // namespace zem
