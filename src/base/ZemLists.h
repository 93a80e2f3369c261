#pragma once
// The integer-keyed containers of the map model. They share one capacity rule, so the object store of a
// large map grows in few steps, and they report misuse with Russian messages, leaving the container as it
// was. None of them is safe for concurrent use.
//
// Ownership is carried by the value type: a container of std::unique_ptr destroys what it removes, a
// container of plain pointers does not.
#include "base/ZemErrors.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zem {

extern const char* const kMsgSortedInsert;
extern const char* const kMsgBadIndex;
extern const char* const kMsgDuplicateKey; // contains %s

// New capacity when an add finds the list full (old capacity k): 0..5 -> 16, 6..53 -> 64, 54..245 -> 256,
// 246..1013 -> 1024, then the smallest power of two greater than k + 10.
std::int64_t GrowCapacity64(std::int64_t k);
// Capacity for a requested size n: 16, 64, 256, 1024, then the smallest power of two >= n. The binary
// writer sizes its buffer by the same two rules.
std::int64_t RoundCapacity64(std::int64_t n);
// The same for the containers' 32-bit counts; a result past 2^31 - 1 raises EIntOverflow.
std::int32_t GrowCapacity(std::int32_t k);
std::int32_t RoundCapacity(std::int32_t n);
// The duplicate-key message with the container's name in place of %s.
std::string DuplicateKeyMessage(const char* ContainerName);

class TIntegerList {
public:
    explicit TIntegerList(std::int32_t InitialCapacity = 0);
    TIntegerList(const TIntegerList&) = default;
    TIntegerList(TIntegerList&&) = default;
    // An assigned list counts as changed: its stamp moves past both lists' stamps.
    TIntegerList& operator=(const TIntegerList& Source);
    TIntegerList& operator=(TIntegerList&& Source) noexcept;

    bool MaintainSorted = false;
    // Moves on every change of the content, so a reader can tell that a list it indexed has changed.
    std::uint64_t Stamp() const { return FStamp; }

    std::int32_t Count() const { return FCount; }
    std::int32_t Capacity() const { return static_cast<std::int32_t>(FItems.size()); }
    bool IsSorted() const { return FIsSorted; }
    std::int32_t Items(std::int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    std::int32_t operator[](std::int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    const std::int32_t* begin() const { return FItems.data(); }
    const std::int32_t* end() const { return FItems.data() + FCount; }

    void Add(std::int32_t Value);
    void Insert(std::int32_t Index, std::int32_t Value);
    std::int32_t IndexOf(std::int32_t Value) const;
    bool Contains(std::int32_t Value) const { return IndexOf(Value) >= 0; }
    void Remove(std::int32_t Value);
    void RemoveAt(std::int32_t Index);
    void RemoveRange(std::int32_t Index, std::int32_t N);
    void Clear() {
        FCount = 0;
        ++FStamp;
    }
    void TrimCapacity();
    void Assign(const TIntegerList& Source);
    void Sort();

private:
    void EnsureRoom();
    std::vector<std::int32_t> FItems; // size() is the capacity
    std::int32_t FCount = 0;
    bool FIsSorted = true;
    std::uint64_t FStamp = 0;
};

template <class V> class TIntegerAssociationList {
public:
    explicit TIntegerAssociationList(std::int32_t InitialCapacity = 0) {
        FKeys.resize(static_cast<size_t>(std::max(InitialCapacity, 0)));
        FValues.resize(FKeys.size());
    }

    std::int32_t Count() const { return FCount; }
    std::int32_t Capacity() const { return static_cast<std::int32_t>(FKeys.size()); }
    std::int32_t Keys(std::int32_t Index) const { return FKeys[static_cast<size_t>(Index)]; }
    V& Values(std::int32_t Index) { return FValues[static_cast<size_t>(Index)]; }
    const V& Values(std::int32_t Index) const { return FValues[static_cast<size_t>(Index)]; }

    void Add(std::int32_t Key, V Value) {
        std::int32_t Pos = LowerBound(Key);
        if (Pos < FCount && FKeys[static_cast<size_t>(Pos)] == Key)
            throw EZemError(DuplicateKeyMessage("TIntegerAssociationList"));
        if (FCount == Capacity()) {
            std::int32_t NewCapacity = GrowCapacity(Capacity());
            FKeys.resize(static_cast<size_t>(NewCapacity));
            FValues.resize(static_cast<size_t>(NewCapacity));
        }
        for (std::int32_t i = FCount; i > Pos; --i) {
            FKeys[static_cast<size_t>(i)] = FKeys[static_cast<size_t>(i - 1)];
            FValues[static_cast<size_t>(i)] = std::move(FValues[static_cast<size_t>(i - 1)]);
        }
        FKeys[static_cast<size_t>(Pos)] = Key;
        FValues[static_cast<size_t>(Pos)] = std::move(Value);
        ++FCount;
    }

    // The stored value, or null when the key is absent.
    V* Find(std::int32_t Key) {
        std::int32_t i = IndexOf(Key);
        return i < 0 ? nullptr : &FValues[static_cast<size_t>(i)];
    }
    const V* Find(std::int32_t Key) const {
        std::int32_t i = IndexOf(Key);
        return i < 0 ? nullptr : &FValues[static_cast<size_t>(i)];
    }

    std::int32_t IndexOf(std::int32_t Key) const {
        std::int32_t Pos = LowerBound(Key);
        return Pos < FCount && FKeys[static_cast<size_t>(Pos)] == Key ? Pos : -1;
    }
    bool Contains(std::int32_t Key) const { return IndexOf(Key) >= 0; }

    void Remove(std::int32_t Key) {
        std::int32_t i = IndexOf(Key);
        if (i >= 0)
            RemoveAt(i);
    }

    void RemoveAt(std::int32_t Index) {
        if (Index < 0 || Index >= FCount)
            throw EZemError(kMsgBadIndex);
        for (std::int32_t i = Index; i + 1 < FCount; ++i) {
            FKeys[static_cast<size_t>(i)] = FKeys[static_cast<size_t>(i) + 1];
            FValues[static_cast<size_t>(i)] = std::move(FValues[static_cast<size_t>(i) + 1]);
        }
        --FCount;
        FValues[static_cast<size_t>(FCount)] = V{};
    }

    // KeepObjects leaves owned values alive by handing them to the caller first (nothing to do for
    // non-owning value types).
    void Clear() {
        for (std::int32_t i = 0; i < FCount; ++i)
            FValues[static_cast<size_t>(i)] = V{};
        FCount = 0;
    }

    // Room for N entries in one step (a loader that knows how many follow), by the capacity rule.
    void Reserve(std::int32_t N) {
        if (N > Capacity()) {
            const auto NewCapacity = static_cast<size_t>(RoundCapacity(N));
            FKeys.resize(NewCapacity);
            FValues.resize(NewCapacity);
        }
    }

    void TrimCapacity() {
        if (Capacity() > FCount) {
            FKeys.resize(static_cast<size_t>(FCount));
            FKeys.shrink_to_fit();
            FValues.resize(static_cast<size_t>(FCount));
            FValues.shrink_to_fit();
        }
    }

private:
    std::int32_t LowerBound(std::int32_t Key) const {
        // Keys are unique and ascending, and object IDs mostly run without gaps from the first: try the
        // place the key would have then before searching.
        if (FCount > 0) {
            const std::int64_t Guess = static_cast<std::int64_t>(Key) - FKeys[0];
            if (Guess >= 0 && Guess < FCount && FKeys[static_cast<size_t>(Guess)] == Key)
                return static_cast<std::int32_t>(Guess);
        }
        return static_cast<std::int32_t>(std::lower_bound(FKeys.begin(), FKeys.begin() + FCount, Key) -
                                         FKeys.begin());
    }
    std::vector<std::int32_t> FKeys;
    std::vector<V> FValues;
    std::int32_t FCount = 0;
};

template <class V> class TArrayList {
public:
    std::int32_t Count() const { return FCount; }
    std::int32_t Capacity() const { return static_cast<std::int32_t>(FItems.size()); }
    V& Items(std::int32_t Index) { return FItems[static_cast<size_t>(Index)]; }
    const V& Items(std::int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }

    void Add(V Item) {
        if (FCount == Capacity())
            FItems.resize(static_cast<size_t>(GrowCapacity(Capacity())));
        FItems[static_cast<size_t>(FCount++)] = std::move(Item);
    }
    void Clear() {
        for (std::int32_t i = 0; i < FCount; ++i)
            FItems[static_cast<size_t>(i)] = V{};
        FCount = 0;
    }
    void TrimCapacity() {
        if (Capacity() > FCount) {
            FItems.resize(static_cast<size_t>(FCount));
            FItems.shrink_to_fit();
        }
    }

private:
    std::vector<V> FItems;
    std::int32_t FCount = 0;
};

// Open-addressed table from 32-bit keys to values, sized from a table of primes and probed by double
// hashing. The program only looks up, counts and clears it; Add exists for completeness.
template <class V> class TIntegerHashtable {
public:
    explicit TIntegerHashtable(std::int32_t CapacityHint = 0) { Resize(SlotCountFor(CapacityHint)); }

    std::int32_t Count() const { return FCount; }
    std::int32_t SlotCount() const { return static_cast<std::int32_t>(FSlots.size()); }

    V* Find(std::int32_t Key) {
        std::int32_t i = Probe(Key);
        return i >= 0 && FSlots[static_cast<size_t>(i)].Used ? &FSlots[static_cast<size_t>(i)].Value
                                                             : nullptr;
    }
    bool Contains(std::int32_t Key) { return Find(Key) != nullptr; }

    // Adds or replaces.
    void Add(std::int32_t Key, V Value) {
        if (V* Existing = Find(Key)) {
            *Existing = std::move(Value);
            return;
        }
        if (FCount + 1 > SlotCount() * 5 / 7)
            Grow();
        Place(Key, std::move(Value));
    }

    void Clear() {
        for (auto& S : FSlots)
            S = TSlot{};
        FCount = 0;
    }

    // Keys in slot order, for enumeration.
    std::vector<std::int32_t> KeyList() const {
        std::vector<std::int32_t> R;
        for (const auto& S : FSlots)
            if (S.Used)
                R.push_back(S.Key);
        return R;
    }

private:
    struct TSlot {
        std::int32_t Key = 0;
        bool Used = false;
        V Value{};
    };

    static std::int32_t SlotCountFor(std::int32_t Hint);

    // Index of the slot holding Key, or of the never-used slot that ends the probe; -1 when the table
    // is full without the key.
    std::int32_t Probe(std::int32_t Key) const {
        const std::uint32_t n = static_cast<std::uint32_t>(FSlots.size());
        const std::uint32_t k = static_cast<std::uint32_t>(Key);
        std::uint32_t i = k % n;
        const std::uint32_t Step = ((k / 32) + 1) % (n - 1) + 1;
        for (std::uint32_t Tries = 0; Tries < n; ++Tries) {
            const TSlot& S = FSlots[i];
            if (!S.Used || S.Key == Key)
                return static_cast<std::int32_t>(i);
            i = (i + Step) % n;
        }
        return -1;
    }

    void Place(std::int32_t Key, V Value) {
        std::int32_t i = Probe(Key);
        TSlot& S = FSlots[static_cast<size_t>(i)];
        S.Key = Key;
        S.Used = true;
        S.Value = std::move(Value);
        ++FCount;
    }

    void Resize(std::int32_t N) { FSlots.assign(static_cast<size_t>(N), TSlot{}); }

    void Grow() {
        std::vector<TSlot> Old;
        Old.swap(FSlots);
        Resize(SlotCountFor(static_cast<std::int32_t>(Old.size())));
        FCount = 0;
        for (auto& S : Old)
            if (S.Used)
                Place(S.Key, std::move(S.Value));
    }

    std::vector<TSlot> FSlots;
    std::int32_t FCount = 0;
};

std::int32_t HashtablePrimeAbove(std::int64_t n);

template <class V> std::int32_t TIntegerHashtable<V>::SlotCountFor(std::int32_t Hint) {
    return HashtablePrimeAbove(static_cast<std::int64_t>(std::max(Hint, 0)) * 7 / 5);
}

} // namespace zem
