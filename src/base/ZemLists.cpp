#include "base/ZemLists.h"

#include <bit>
#include <limits>

namespace zem {

const char* const kMsgSortedInsert = "Недопустима вставка элементов в массив при (MaintainSorted = True).";
const char* const kMsgBadIndex = "Попытка обратиться к несуществующему элементу списка или очереди.";
const char* const kMsgDuplicateKey = "Нарушение уникальности ключа в наборе %s.";

std::string DuplicateKeyMessage(const char* ContainerName) {
    const std::string Pattern = kMsgDuplicateKey;
    const size_t At = Pattern.find("%s");
    return Pattern.substr(0, At) + ContainerName + Pattern.substr(At + 2);
}

namespace {
std::int32_t Checked32(std::int64_t n) {
    if (n > std::numeric_limits<std::int32_t>::max())
        throw EIntOverflow();
    return static_cast<std::int32_t>(n);
}
} // namespace

std::int64_t GrowCapacity64(std::int64_t k) {
    if (k <= 5)
        return 16;
    if (k <= 53)
        return 64;
    if (k <= 245)
        return 256;
    if (k <= 1013)
        return 1024;
    return static_cast<std::int64_t>(std::bit_floor(static_cast<std::uint64_t>(k + 10)) << 1);
}

std::int64_t RoundCapacity64(std::int64_t n) {
    if (n <= 16)
        return 16;
    if (n <= 64)
        return 64;
    if (n <= 256)
        return 256;
    if (n <= 1024)
        return 1024;
    return static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(n)));
}

std::int32_t GrowCapacity(std::int32_t k) {
    return Checked32(GrowCapacity64(k));
}

std::int32_t RoundCapacity(std::int32_t n) {
    return Checked32(RoundCapacity64(n));
}

std::int32_t HashtablePrimeAbove(std::int64_t n) {
    static constexpr std::int32_t Primes[] = {
        17,      37,       79,       163,      331,      673,       1361,      2729,      5471,
        10949,   21911,    43853,    87719,    175447,   350899,    701819,    1403641,   2807303,
        5614657, 11229331, 22458671, 44917381, 89834777, 179669557, 359339171, 718678369, 1437356741};
    for (std::int32_t p : Primes)
        if (p > n)
            return p;
    throw EIntOverflow();
}

TIntegerList::TIntegerList(std::int32_t InitialCapacity) {
    FItems.resize(static_cast<size_t>(std::max(InitialCapacity, 0)));
}

void TIntegerList::EnsureRoom() {
    if (FCount == Capacity())
        FItems.resize(static_cast<size_t>(GrowCapacity(Capacity())));
}

void TIntegerList::Add(std::int32_t Value) {
    ++FStamp;
    if (MaintainSorted) {
        std::int32_t Pos = static_cast<std::int32_t>(
            std::lower_bound(FItems.begin(), FItems.begin() + FCount, Value) - FItems.begin());
        EnsureRoom();
        FItems.insert(FItems.begin() + Pos, Value);
        FItems.pop_back();
        ++FCount;
        return;
    }
    EnsureRoom();
    FItems[static_cast<size_t>(FCount++)] = Value;
    FIsSorted = false;
}

void TIntegerList::Insert(std::int32_t Index, std::int32_t Value) {
    ++FStamp;
    if (MaintainSorted)
        throw EZemError(kMsgSortedInsert);
    if (Index < 0 || Index > FCount)
        throw EZemError(kMsgBadIndex);
    EnsureRoom();
    for (std::int32_t i = FCount; i > Index; --i)
        FItems[static_cast<size_t>(i)] = FItems[static_cast<size_t>(i - 1)];
    FItems[static_cast<size_t>(Index)] = Value;
    ++FCount;
    FIsSorted = false;
}

std::int32_t TIntegerList::IndexOf(std::int32_t Value) const {
    if (FIsSorted) {
        auto It = std::lower_bound(FItems.begin(), FItems.begin() + FCount, Value);
        return It != FItems.begin() + FCount && *It == Value ? static_cast<std::int32_t>(It - FItems.begin())
                                                             : -1;
    }
    for (std::int32_t i = 0; i < FCount; ++i)
        if (FItems[static_cast<size_t>(i)] == Value)
            return i;
    return -1;
}

void TIntegerList::Remove(std::int32_t Value) {
    ++FStamp;
    auto First = FItems.begin();
    auto Last = FItems.begin() + FCount;
    if (FIsSorted) {
        auto Range = std::equal_range(First, Last, Value);
        std::int32_t n = static_cast<std::int32_t>(Range.second - Range.first);
        if (n == 0)
            return;
        std::copy(Range.second, Last, Range.first);
        FCount -= n;
        return;
    }
    auto NewLast = std::remove(First, Last, Value);
    FCount = static_cast<std::int32_t>(NewLast - First);
}

void TIntegerList::RemoveAt(std::int32_t Index) {
    ++FStamp;
    if (Index < 0 || Index >= FCount)
        throw EZemError(kMsgBadIndex);
    std::copy(FItems.begin() + Index + 1, FItems.begin() + FCount, FItems.begin() + Index);
    --FCount;
}

void TIntegerList::RemoveRange(std::int32_t Index, std::int32_t N) {
    ++FStamp;
    if (Index < 0 || Index > FCount)
        throw EZemError(kMsgBadIndex);
    if (static_cast<std::int64_t>(Index) + N >= FCount) {
        FCount = Index;
        return;
    }
    if (N <= 0)
        return;
    std::copy(FItems.begin() + Index + N, FItems.begin() + FCount, FItems.begin() + Index);
    FCount -= N;
}

void TIntegerList::TrimCapacity() {
    if (Capacity() > FCount) {
        FItems.resize(static_cast<size_t>(FCount));
        FItems.shrink_to_fit();
    }
}

TIntegerList& TIntegerList::operator=(const TIntegerList& Source) {
    if (&Source != this) {
        const std::uint64_t Next = std::max(FStamp, Source.FStamp) + 1;
        FItems = Source.FItems;
        FCount = Source.FCount;
        FIsSorted = Source.FIsSorted;
        MaintainSorted = Source.MaintainSorted;
        FStamp = Next;
    }
    return *this;
}

TIntegerList& TIntegerList::operator=(TIntegerList&& Source) noexcept {
    if (&Source != this) {
        const std::uint64_t Next = std::max(FStamp, Source.FStamp) + 1;
        FItems = std::move(Source.FItems);
        FCount = Source.FCount;
        FIsSorted = Source.FIsSorted;
        MaintainSorted = Source.MaintainSorted;
        FStamp = Next;
        Source.FCount = 0;
        ++Source.FStamp;
    }
    return *this;
}

void TIntegerList::Assign(const TIntegerList& Source) {
    if (&Source == this)
        return;
    ++FStamp;
    std::vector<std::int32_t> Items(static_cast<size_t>(RoundCapacity(Source.FCount)));
    std::copy(Source.FItems.begin(), Source.FItems.begin() + Source.FCount, Items.begin());
    FItems.swap(Items);
    FCount = Source.FCount;
    FIsSorted = Source.FIsSorted;
    if (MaintainSorted)
        Sort();
}

void TIntegerList::Sort() {
    ++FStamp;
    std::sort(FItems.begin(), FItems.begin() + FCount);
    FIsSorted = true;
}

} // namespace zem
