#pragma once
// The list behind the picture and icon libraries: entries referred to by position, each owning its image
// or empty, with update counting and one change notification per change (or per update). Entries are
// never changed once made, only replaced, so they are shared: a copy of the whole list (the undo
// history's, a dialog's) costs a pointer per entry, not the pictures.
#include "base/ZemErrors.h"
#include "base/ZemLists.h"
#include "images/ZemLibraryEntries.h"
#include "images/ZemLibraryStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace zem {

template <class TEntry, class TSelf> class TZemLibraryList {
public:
    TZemLibraryList() = default;
    TZemLibraryList(const TZemLibraryList&) = delete;
    TZemLibraryList& operator=(const TZemLibraryList&) = delete;

    // Raised with the list after every change, unless an update is in progress.
    std::function<void(TSelf&)> OnChange;

    void BeginUpdate() { ++FUpdateCount; }
    // Back at 0, the list reports one change.
    void EndUpdate() {
        if (FUpdateCount > 0 && --FUpdateCount == 0)
            Change();
    }
    void Change() {
        if (FUpdateCount == 0 && OnChange)
            OnChange(static_cast<TSelf&>(*this));
    }
    std::int32_t UpdateCount() const { return FUpdateCount; }

    std::int32_t Count() const { return static_cast<std::int32_t>(Entries.size()); }
    // The entry at Index, or null for an empty entry. An index outside the list raises.
    const TEntry* Get(std::int32_t Index) const {
        CheckIndex(Index, Count());
        return Entries[static_cast<size_t>(Index)].get();
    }
    // The entries as they are now, sharing them with the list.
    const TZemLibraryEntries<TEntry>& Snapshot() const { return Entries; }
    // Takes these entries as the list's own; one change.
    void Restore(TZemLibraryEntries<TEntry> Source) {
        Entries = std::move(Source);
        Change();
    }
    // Whether the list holds these very entries, in this order.
    bool Holds(const TZemLibraryEntries<TEntry>& Other) const { return Entries == Other; }
    // Replaces the entry at Index with a copy of Item; Index = Count appends.
    void Put(std::int32_t Index, const TEntry* Item) {
        CheckIndex(Index, Count() + 1);
        if (Index == Count())
            Entries.emplace_back();
        Entries[static_cast<size_t>(Index)] = CopyOf(Item);
        Change();
    }
    // Appends a copy (null appends an empty entry) and returns its position.
    std::int32_t Add(const TEntry* Item) {
        Entries.push_back(CopyOf(Item));
        Change();
        return Count() - 1;
    }
    void Insert(std::int32_t Index, const TEntry* Item) {
        CheckIndex(Index, Count() + 1);
        Entries.insert(Entries.begin() + Index, CopyOf(Item));
        Change();
    }
    void Delete(std::int32_t Index) {
        CheckIndex(Index, Count());
        Entries.erase(Entries.begin() + Index);
        Change();
    }
    void Clear() {
        BeginUpdate();
        for (std::int32_t i = Count() - 1; i >= 0; --i)
            Delete(i);
        EndUpdate();
    }
    void Exchange(std::int32_t I, std::int32_t J) {
        CheckIndex(I, Count());
        CheckIndex(J, Count());
        std::swap(Entries[static_cast<size_t>(I)], Entries[static_cast<size_t>(J)]);
        Change();
    }
    void Move(std::int32_t From, std::int32_t To) {
        CheckIndex(From, Count());
        CheckIndex(To, Count());
        auto Entry = std::move(Entries[static_cast<size_t>(From)]);
        Entries.erase(Entries.begin() + From);
        Entries.insert(Entries.begin() + To, std::move(Entry));
        Change();
    }
    // Position of that very entry object, -1 when it is not in the list (the list holds copies).
    std::int32_t IndexOf(const TEntry* Item) const {
        for (std::int32_t i = 0; i < Count(); ++i)
            if (Entries[static_cast<size_t>(i)].get() == Item)
                return i;
        return -1;
    }
    // Null clears; another list: copies of its entries in order; one item: the list becomes its copy.
    void Assign(const TSelf* Source) {
        if (Source == this)
            return;
        BeginUpdate();
        Clear();
        if (Source) {
            Entries = Source->Entries; // entries never change: sharing them is copying them
            Change();
        }
        EndUpdate();
    }
    void Assign(const TEntry& Item) {
        BeginUpdate();
        Clear();
        Add(&Item);
        EndUpdate();
    }

protected:
    // Replaces the entries with those of a library stream (a count, then per entry a size and its bytes;
    // a size of 0 or less is an empty entry). Decode turns an entry's bytes into the entry. Within one
    // update; a size past the end or a Decode that raises ends the read, keeping the entries read so far.
    template <class FDecode> void ReadEntries(std::span<const std::uint8_t> Data, FDecode Decode) {
        BeginUpdate();
        struct TEnd {
            TZemLibraryList& L;
            ~TEnd() { L.EndUpdate(); }
        } End{*this};
        Clear();
        TLibraryReader R(Data);
        const std::int32_t n = R.ReadInt32();
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t Size = R.ReadInt32();
            Entries.push_back(Size <= 0 ? nullptr : Decode(R.ReadBytes(Size)));
            Change();
        }
    }
    TZemLibraryEntries<TEntry> Entries;

private:
    static std::shared_ptr<const TEntry> CopyOf(const TEntry* Item) {
        return Item ? std::make_shared<const TEntry>(*Item) : nullptr;
    }
    void CheckIndex(std::int32_t Index, std::int32_t Limit) const {
        if (Index < 0 || Index >= Limit)
            throw EZemError(kMsgBadIndex);
    }
    std::int32_t FUpdateCount = 0;
};

} // namespace zem
