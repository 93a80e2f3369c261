// The directory editor's logic: page texts, the sort, matching old lines to new ones, and applying.
#include "address/ZemDirectories.h"

#include "editing/ZemQuietDrawing.h"
#include "base/ZemErrors.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>
#include <unordered_map>

namespace zem {

namespace {

constexpr TZemDirectory TZemDocument::*kPageDirectories[kDirectoryPages] = {
    &TZemDocument::Streets, &TZemDocument::ObjectTypes, &TZemDocument::Areas,
    &TZemDocument::Indexes, &TZemDocument::Cities,      &TZemDocument::TransportTypes,
};

// The weight of a byte in the sort: upper case, with Ё (0xA8) just after Е (0xC5) as the alphabet has it.
std::uint16_t SortWeight(unsigned char UpperByte) {
    constexpr unsigned char kYo = 0xA8, kYe = 0xC5;
    return UpperByte == kYo ? static_cast<std::uint16_t>(kYe * 2 + 1)
                            : static_cast<std::uint16_t>(UpperByte * 2);
}

// Positions of New by text, ascending; each list is consumed from its front as lines pair up.
class TLineQueues {
public:
    template <class Key> TLineQueues(const TZemDirectory& New, const std::vector<bool>& Taken, Key KeyOf) {
        for (std::size_t j = 0; j < New.size(); ++j)
            if (!Taken[j])
                FQueues[KeyOf(New[j])].Positions.push_back(static_cast<std::int32_t>(j));
    }
    // The next untaken position of this text, or -1.
    std::int32_t Take(const ZemString& Key) {
        auto It = FQueues.find(Key);
        if (It == FQueues.end() || It->second.Next >= It->second.Positions.size())
            return -1;
        return It->second.Positions[It->second.Next++];
    }

private:
    struct TQueue {
        std::vector<std::int32_t> Positions;
        std::size_t Next = 0;
    };
    std::unordered_map<ZemString, TQueue> FQueues;
};

// What the sort compares: the weights of a line's upper-case bytes.
std::u16string SortKey(const ZemString& S) {
    std::u16string Key;
    Key.reserve(S.size());
    for (char C : UpperCase(S))
        Key.push_back(static_cast<char16_t>(SortWeight(static_cast<unsigned char>(C))));
    return Key;
}

// Positions of Lines in sorted order, each key computed once; equal keys keep their order.
std::vector<std::size_t> SortOrder(const TZemDirectory& Lines) {
    std::vector<std::u16string> Keys;
    Keys.reserve(Lines.size());
    for (const ZemString& L : Lines)
        Keys.push_back(SortKey(L));
    std::vector<std::size_t> Order(Lines.size());
    std::iota(Order.begin(), Order.end(), std::size_t{0});
    std::stable_sort(Order.begin(), Order.end(),
                     [&Keys](std::size_t A, std::size_t B) { return Keys[A] < Keys[B]; });
    return Order;
}

ZemString SameKey(const ZemString& S) {
    return S;
}

// Pairs the old lines still unmatched with untaken new lines of the same key, in order.
template <class Key>
void PairByText(const TZemDirectory& Old, const TZemDirectory& New, std::vector<std::int32_t>& Result,
                std::vector<bool>& Taken, Key KeyOf) {
    TLineQueues Queues(New, Taken, KeyOf);
    for (std::size_t i = 0; i < Old.size(); ++i) {
        if (Result[i] != -1)
            continue;
        const std::int32_t j = Queues.Take(KeyOf(Old[i]));
        if (j >= 0) {
            Result[i] = j;
            Taken[static_cast<std::size_t>(j)] = true;
        }
    }
}

// The longest common subsequence of two lines of numbers, as old -> new positions (-1 where a line is not
// in it). Among equally long ones it keeps the pairs near the diagonal, so that of two equal lines the one
// in the same place is taken. The table covers the part between the common head and tail; past
// kMaxCells, the longest ascending run of the lines paired by text stands in for it.
constexpr std::size_t kMaxCells = std::size_t{4} << 20;

void LongestRunOfPairs(const std::vector<std::int32_t>& A, const std::vector<std::int32_t>& B,
                       std::size_t From, std::size_t ToA, std::size_t ToB,
                       std::vector<std::int32_t>& Anchor) {
    std::unordered_map<std::int32_t, std::vector<std::int32_t>> Where;
    for (std::size_t j = ToB; j-- > From;)
        Where[B[j]].push_back(static_cast<std::int32_t>(j));  // last first: popped in ascending order
    std::vector<std::pair<std::int32_t, std::int32_t>> Pairs; // old, new
    for (std::size_t i = From; i < ToA; ++i)
        if (auto It = Where.find(A[i]); It != Where.end() && !It->second.empty()) {
            Pairs.emplace_back(static_cast<std::int32_t>(i), It->second.back());
            It->second.pop_back();
        }
    // Patience: Tails[k] ends the best run of length k + 1; Prev links each pair to its predecessor.
    std::vector<std::size_t> Tails, Prev(Pairs.size());
    for (std::size_t k = 0; k < Pairs.size(); ++k) {
        auto It = std::lower_bound(Tails.begin(), Tails.end(), Pairs[k].second,
                                   [&Pairs](std::size_t T, std::int32_t V) { return Pairs[T].second < V; });
        Prev[k] = It == Tails.begin() ? k : *(It - 1);
        if (It == Tails.end())
            Tails.push_back(k);
        else
            *It = k;
    }
    if (Tails.empty())
        return;
    for (std::size_t k = Tails.back();; k = Prev[k]) {
        Anchor[static_cast<std::size_t>(Pairs[k].first)] = Pairs[k].second;
        if (Prev[k] == k)
            break;
    }
}

std::vector<std::int32_t> CommonLines(const std::vector<std::int32_t>& A,
                                      const std::vector<std::int32_t>& B) {
    std::vector<std::int32_t> Anchor(A.size(), -1);
    std::size_t Head = 0;
    while (Head < A.size() && Head < B.size() && A[Head] == B[Head]) {
        Anchor[Head] = static_cast<std::int32_t>(Head);
        ++Head;
    }
    std::size_t EndA = A.size(), EndB = B.size();
    while (EndA > Head && EndB > Head && A[EndA - 1] == B[EndB - 1])
        Anchor[--EndA] = static_cast<std::int32_t>(--EndB);
    const std::size_t N = EndA - Head, M = EndB - Head;
    if (N == 0 || M == 0)
        return Anchor;
    if ((N + 1) * (M + 1) > kMaxCells) {
        LongestRunOfPairs(A, B, Head, EndA, EndB, Anchor);
        return Anchor;
    }
    // L[i][j]: the common length of A[Head + i ..) and B[Head + j ..) within the middle part.
    std::vector<std::uint32_t> L((N + 1) * (M + 1), 0);
    auto At = [M](std::size_t i, std::size_t j) { return i * (M + 1) + j; };
    for (std::size_t i = N; i-- > 0;)
        for (std::size_t j = M; j-- > 0;)
            L[At(i, j)] = A[Head + i] == B[Head + j] ? L[At(i + 1, j + 1)] + 1
                                                     : std::max(L[At(i + 1, j)], L[At(i, j + 1)]);
    for (std::size_t i = 0, j = 0; i < N && j < M;) {
        if (A[Head + i] == B[Head + j]) {
            Anchor[Head + i] = static_cast<std::int32_t>(Head + j);
            ++i, ++j;
        } else if (L[At(i + 1, j)] > L[At(i, j + 1)] || (L[At(i + 1, j)] == L[At(i, j + 1)] && i <= j)) {
            ++i;
        } else {
            ++j;
        }
    }
    return Anchor;
}

// Pairs, in order, the old and new lines still unmatched that stand between the same two common lines:
// lines edited in place.
void PairInPlace(const std::vector<std::int32_t>& Anchor, std::size_t NewCount,
                 std::vector<std::int32_t>& Result, std::vector<bool>& Taken) {
    std::vector<bool> Common(NewCount, false);
    std::vector<std::vector<std::int32_t>> OldAfter(NewCount + 1);
    std::int32_t Slot = 0;
    for (std::size_t i = 0; i < Anchor.size(); ++i) {
        if (Anchor[i] >= 0) {
            Slot = Anchor[i] + 1;
            Common[static_cast<std::size_t>(Anchor[i])] = true;
        } else if (Result[i] == -1) {
            OldAfter[static_cast<std::size_t>(Slot)].push_back(static_cast<std::int32_t>(i));
        }
    }
    std::size_t Next = 0; // of the current slot's old lines
    Slot = 0;
    for (std::size_t j = 0; j < NewCount; ++j) {
        if (Common[j]) {
            Slot = static_cast<std::int32_t>(j) + 1;
            Next = 0;
            continue;
        }
        const auto& Olds = OldAfter[static_cast<std::size_t>(Slot)];
        if (!Taken[j] && Next < Olds.size()) {
            Result[static_cast<std::size_t>(Olds[Next++])] = static_cast<std::int32_t>(j);
            Taken[j] = true;
        }
    }
}

// The lines still unmatched go to the first new line of their text (exact, then ignoring case).
void MergeLeftOvers(const TZemDirectory& Old, const TZemDirectory& New, std::vector<std::int32_t>& Result) {
    std::unordered_map<ZemString, std::int32_t> Exact, Folded;
    for (std::size_t j = New.size(); j-- > 0;) {
        Exact[New[j]] = static_cast<std::int32_t>(j);
        Folded[UpperCase(New[j])] = static_cast<std::int32_t>(j);
    }
    for (std::size_t i = 0; i < Old.size(); ++i) {
        if (Result[i] != -1)
            continue;
        if (auto It = Exact.find(Old[i]); It != Exact.end())
            Result[i] = It->second;
        else if (auto F = Folded.find(UpperCase(Old[i])); F != Folded.end())
            Result[i] = F->second;
    }
}

std::int32_t Remapped(std::int32_t Ref, const std::vector<std::int32_t>& Map) {
    if (Ref < 0)
        return Ref; // refers to nothing, and still does
    // A position beyond the old end showed nothing; kept, it could name one of the new lines.
    return static_cast<std::size_t>(Ref) < Map.size() ? Map[static_cast<std::size_t>(Ref)] : -1;
}

// A directory left as it was keeps every reference as it is, dangling ones included.
std::int32_t Remapped(std::int32_t Ref, const std::optional<std::vector<std::int32_t>>& Map) {
    return Map ? Remapped(Ref, *Map) : Ref;
}

} // namespace

TZemDirectory& DirectoryOf(TZemDocument& Doc, TZemDirectoryPage Page) {
    return Doc.*kPageDirectories[Page];
}

const TZemDirectory& DirectoryOf(const TZemDocument& Doc, TZemDirectoryPage Page) {
    return Doc.*kPageDirectories[Page];
}

TZemDirectory DirectoryLines(std::string_view Text) {
    TZemDirectory Lines;
    std::size_t Start = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '\n' && Text[i] != '\r')
            continue;
        Lines.emplace_back(Text.substr(Start, i - Start));
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
            ++i;
        Start = i + 1;
    }
    if (Start < Text.size())
        Lines.emplace_back(Text.substr(Start));
    return Lines;
}

ZemString DirectoryText(const TZemDirectory& Lines) {
    ZemString Text;
    for (const ZemString& L : Lines) {
        Text += L;
        Text += '\n';
    }
    return Text;
}

bool DirectoryLess(const ZemString& A, const ZemString& B) {
    return SortKey(A) < SortKey(B);
}

void SortDirectoryLines(TZemDirectory& Lines) {
    TZemDirectory Sorted;
    Sorted.reserve(Lines.size());
    for (std::size_t i : SortOrder(Lines))
        Sorted.push_back(std::move(Lines[i]));
    Lines = std::move(Sorted);
}

std::vector<std::int32_t> MatchDirectoryLines(const TZemDirectory& Old, const TZemDirectory& New) {
    // Lines as numbers, equal for equal texts, so the table compares integers.
    std::unordered_map<ZemString, std::int32_t> Numbers;
    auto NumbersOf = [&Numbers](const TZemDirectory& D) {
        std::vector<std::int32_t> V;
        V.reserve(D.size());
        for (const ZemString& S : D)
            V.push_back(Numbers.emplace(S, static_cast<std::int32_t>(Numbers.size())).first->second);
        return V;
    };
    const std::vector<std::int32_t> A = NumbersOf(Old), B = NumbersOf(New);
    const std::vector<std::int32_t> Anchor = CommonLines(A, B);
    std::vector<std::int32_t> Result = Anchor;
    std::vector<bool> Taken(New.size(), false);
    for (std::int32_t j : Anchor)
        if (j >= 0)
            Taken[static_cast<std::size_t>(j)] = true;
    // Lines moved elsewhere, then lines whose letter case changed.
    PairByText(Old, New, Result, Taken, SameKey);
    PairByText(Old, New, Result, Taken, UpperCase);
    PairInPlace(Anchor, New.size(), Result, Taken);
    MergeLeftOvers(Old, New, Result);
    return Result;
}

TZemDirectoryTrail::TZemDirectoryTrail(const TZemDirectory& Shown)
    : FShown(Shown), FLines(Shown), FOrigin(Shown.size()) {
    std::iota(FOrigin.begin(), FOrigin.end(), 0);
}

void TZemDirectoryTrail::Sort(TZemDirectory& Box) {
    // Where the shown lines stand in the box now, then where the sort takes them.
    const std::vector<std::int32_t> ToBox = MatchDirectoryLines(FLines, Box);
    const std::vector<std::size_t> Order = SortOrder(Box);
    std::vector<std::int32_t> Sorted(Box.size());
    TZemDirectory Lines(Box.size());
    for (std::size_t k = 0; k < Order.size(); ++k) {
        Sorted[Order[k]] = static_cast<std::int32_t>(k);
        Lines[k] = std::move(Box[Order[k]]);
    }
    for (std::int32_t& Where : FOrigin)
        Where = Where < 0 ? -1 : Remapped(ToBox[static_cast<std::size_t>(Where)], Sorted);
    FLines = Lines;
    Box = std::move(Lines);
}

std::vector<std::int32_t> TZemDirectoryTrail::Remap(const TZemDirectory& Final) const {
    const std::vector<std::int32_t> ToFinal = MatchDirectoryLines(FLines, Final);
    std::vector<std::int32_t> Followed(FShown.size(), -1);
    for (std::size_t s = 0; s < FShown.size(); ++s)
        if (FOrigin[s] >= 0)
            Followed[s] = ToFinal[static_cast<std::size_t>(FOrigin[s])];
    // Text comes first, as it does without a sort in between: a shown line whose name is still there
    // keeps it, even where the way through the sorts took it (through double entries, or a line dropped
    // and typed again) to another line.
    std::vector<std::int32_t> Result(FShown.size(), -1);
    std::vector<bool> Taken(Final.size(), false);
    for (std::size_t s = 0; s < FShown.size(); ++s)
        if (const std::int32_t j = Followed[s]; j >= 0 && Final[static_cast<std::size_t>(j)] == FShown[s]) {
            Result[s] = j;
            Taken[static_cast<std::size_t>(j)] = true;
        }
    PairByText(FShown, Final, Result, Taken, SameKey);
    for (std::size_t s = 0; s < FShown.size(); ++s)
        if (Result[s] == -1)
            Result[s] = Followed[s];
    MergeLeftOvers(FShown, Final, Result);
    return Result;
}

namespace {

using TRemaps = std::array<std::optional<std::vector<std::int32_t>>, kDirectoryPages>;

// For each page that changes, where each line of its directory goes (-1: deleted).
TRemaps RemapsOf(const TZemMap& Map, const TZemDirectoryPages& Pages, const TZemDirectoryTrails& Trails) {
    TRemaps To;
    for (std::size_t p = 0; p < kDirectoryPages; ++p) {
        const TZemDirectory& Now = DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));
        if (Pages[p] == Now)
            continue;
        To[p] = Trails[p] && Trails[p]->Shown() == Now ? Trails[p]->Remap(Pages[p])
                                                       : MatchDirectoryLines(Now, Pages[p]);
    }
    return To;
}

void CheckTransport(const TZemMap& Map, const TRemaps& To) {
    if (!To[dpTransport])
        return;
    const TZemDirectory& Types = Map.Doc.TransportTypes;
    for (std::size_t i = 0; i < kPlacedTransportTypes && i < Types.size(); ++i)
        if ((*To[dpTransport])[i] != static_cast<std::int32_t>(i))
            throw EZemError("Вид транспорта «" + ToUtf8(Types[i]) +
                            "» нельзя перемещать или удалять: поиск "
                            "маршрута узнаёт первые четыре вида по их месту в списке (первый — пешком), и "
                            "стоимость маршрутов изменилась бы. Переименовать его можно на месте, новые виды "
                            "добавляйте в конец списка.");
}

} // namespace

void CheckTransportPage(const TZemMap& Map, const TZemDirectoryPages& Pages,
                        const TZemDirectoryTrails& Trails) {
    CheckTransport(Map, RemapsOf(Map, Pages, Trails));
}

std::vector<TZemLineInUse> DeletedLinesInUse(const TZemMap& Map, const TZemDirectoryPages& Pages,
                                             const TZemDirectoryTrails& Trails) {
    const TRemaps To = RemapsOf(Map, Pages, Trails);
    // Objects per deleted line, each object once per line (a corner house names its street twice).
    std::array<std::vector<std::int32_t>, kDirectoryPages> Uses;
    for (std::size_t p = 0; p < kDirectoryPages; ++p)
        if (To[p])
            Uses[p].assign(To[p]->size(), 0);
    auto Count = [&](TZemDirectoryPage Page, std::int32_t Ref) {
        if (To[Page] && Ref >= 0 && static_cast<std::size_t>(Ref) < To[Page]->size() &&
            (*To[Page])[Ref] == -1)
            ++Uses[Page][static_cast<std::size_t>(Ref)];
    };
    for (std::int32_t ID : Map.Doc.Order) {
        const TZemObject& O = Map.ObjectByID(ID);
        const TZemAddress& A = O.Address();
        Count(dpStreets, A.Street);
        if (A.Street2 != A.Street)
            Count(dpStreets, A.Street2);
        Count(dpAreas, A.Area);
        Count(dpIndexes, A.Index);
        Count(dpCities, A.City);
        Count(dpTypes, O.Category());
        Count(dpTransport, O.TransportType());
    }
    std::vector<TZemLineInUse> Result;
    for (std::size_t p = 0; p < kDirectoryPages; ++p)
        for (std::size_t i = 0; i < Uses[p].size(); ++i)
            if (Uses[p][i] > 0)
                Result.push_back({static_cast<TZemDirectoryPage>(p),
                                  DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p))[i], Uses[p][i]});
    return Result;
}

void ApplyDirectoryPages(TZemMap& Map, const TZemDirectoryPages& Pages, const TZemDirectoryTrails& Trails) {
    const TRemaps To = RemapsOf(Map, Pages, Trails);
    {
        TZemChange Step(Map, "справочники");
        const TZemQuietDrawing Quiet(Map);
        Map.TouchDirectories();
        for (std::int32_t ID : Map.Doc.Order) {
            TZemObject& O = Map.ObjectByID(ID);
            TZemAddress A = O.Address();
            A.Street = Remapped(A.Street, To[dpStreets]);
            A.Street2 = Remapped(A.Street2, To[dpStreets]);
            A.Area = Remapped(A.Area, To[dpAreas]);
            A.Index = Remapped(A.Index, To[dpIndexes]);
            A.City = Remapped(A.City, To[dpCities]);
            A.Empty = A.Empty || (A.NoParts() && A.Number.empty() && A.Number2.empty());
            const std::int32_t Category = Remapped(O.Category(), To[dpTypes]);
            const std::int32_t Transport = Remapped(O.TransportType(), To[dpTransport]);
            if (A == O.Address() && Category == O.Category() && Transport == O.TransportType())
                continue;
            Map.TouchObject(ID);
            O.SetAddress(A);
            O.SetCategory(Category);
            O.SetTransportType(Transport);
        }
        // In the order the directories are replaced in.
        for (TZemDirectoryPage Page : {dpStreets, dpCities, dpIndexes, dpAreas, dpTypes, dpTransport})
            DirectoryOf(Map.Doc, Page) = Pages[Page];
        std::vector<std::int32_t> Shown;
        for (std::int32_t T : Map.Net.VisibleTransportTypes)
            if (const std::int32_t New = Remapped(T, To[dpTransport]); New >= 0)
                Shown.push_back(New);
        std::sort(Shown.begin(), Shown.end());
        Shown.erase(std::unique(Shown.begin(), Shown.end()), Shown.end());
        if (!std::equal(Shown.begin(), Shown.end(), Map.Net.VisibleTransportTypes.begin(),
                        Map.Net.VisibleTransportTypes.end())) {
            Map.Net.VisibleTransportTypes.Clear();
            for (std::int32_t T : Shown)
                Map.Net.VisibleTransportTypes.Add(T);
        }
    }
    Map.Refresh();
}

} // namespace zem
