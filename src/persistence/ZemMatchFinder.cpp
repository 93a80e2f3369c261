#include "persistence/ZemMatchFinder.h"

#include <algorithm>
#include <bit>

namespace zem {

namespace codec {

namespace {

// Insertion into the large tables asks for the buckets this many positions on.
constexpr std::uint32_t kPrefetchAhead = 8;
// Four-byte chain entries with other bytes (hash collisions) passed over before a search goes back to
// the three-byte chain.
constexpr int kMaxStrangers = 16;
// Levels with at least this chain limit use the four-byte chains.
constexpr int kKeyChainsFrom = 32;

} // namespace

bool TakeLongerMatch(int Gain, std::uint32_t NewDistance, std::uint32_t CurrentDistance) {
    if (Gain >= 3)
        return true;
    if (Gain == 2) {
        if (NewDistance <= kGainTwoFreeDistance)
            return true;
        if (NewDistance <= kGainTwoMidDistance)
            return CurrentDistance >= kGainTwoMidMinCurrent;
        return CurrentDistance >= kGainTwoFarMinCurrent;
    }
    if (Gain == 1) {
        if (NewDistance <= kGainOneFreeDistance)
            return true;
        for (const TGainRow& Row : kGainOneRows)
            if (NewDistance <= static_cast<std::uint32_t>(Row.MaxNewDistance))
                return CurrentDistance >= static_cast<std::uint32_t>(Row.MinCurrentDistance);
    }
    return false;
}

TMatchFinder::TMatchFinder(const std::uint8_t* AData, std::uint32_t ASize, const TLevelParams& AParams,
                           TSearch Search, int Hash4Bits)
    : FData(AData), FSize(ASize), FParams(AParams),
      FHashMask(static_cast<std::uint32_t>(AParams.HashEntries - 1)),
      // A slot per position of the window, or of the whole input when that is shorter.
      FWindowMask(std::min(static_cast<std::uint32_t>(AParams.Window), std::bit_ceil(std::max(ASize, 1u))) -
                  1),
      FKeyChains(Search == TSearch::Auto ? AParams.ChainLimit >= kKeyChainsFrom
                                         : Search == TSearch::WithFourByteChains),
      FHash4Shift(32 - (Hash4Bits != 0
                            ? Hash4Bits
                            : std::clamp(static_cast<int>(std::bit_width(ASize)), 10, kHash4Bits))),
      FBuckets(static_cast<std::size_t>(AParams.HashEntries)), FChain(std::size_t{FWindowMask} + 1) {
    // Chains start empty: heads at -Window end every walk at once. Chain slots are only read after their
    // position has been inserted.
    std::fill(FBuckets.Get(), FBuckets.Get() + FParams.HashEntries, TBucket{-FParams.Window, 0});
    if (FKeyChains) {
        const std::size_t Heads = std::size_t{1} << (32 - FHash4Shift);
        FHead4 = TPageTable<std::int32_t>(Heads);
        FLinks4 = TPageTable<TLink4>(std::size_t{FWindowMask} + 1);
        std::fill(FHead4.Get(), FHead4.Get() + Heads, -FParams.Window);
    }
}

inline std::uint32_t TMatchFinder::Hash3(std::uint32_t Pos) const {
    return HashOfThree(FData + Pos, FParams.HashShift, FHashMask);
}

// Any hash of the four bytes will do: it only groups candidates, each is compared before it counts. The
// top bits index the heads; bits 4..11, below them, go with each link as a tag, to pass over most
// strangers without reading their bytes.
inline std::uint32_t TMatchFinder::Hash4(std::uint32_t Pos) const {
    return LoadLE32(FData + Pos) * 2654435761u;
}
constexpr std::uint32_t Tag4(std::uint32_t Hash) {
    return (Hash >> 4) << 24;
}

void TMatchFinder::InsertWithKeys(std::uint32_t End) {
    const std::uint32_t Hashable = FSize >= 2 ? FSize - 2 : 0;
    for (; FNextInsert < End; ++FNextInsert) {
        const std::uint32_t I = FNextInsert;
        // The large tables: ask for the buckets a few positions on, so that they are in the cache in time.
        if (I + kPrefetchAhead + 1 < Hashable) {
            __builtin_prefetch(&FBuckets[Hash3(I + kPrefetchAhead)], 1);
            __builtin_prefetch(&FHead4[Hash4(I + kPrefetchAhead) >> FHash4Shift], 1);
        }
        TBucket& B = FBuckets[Hash3(I)];
        FChain[I & FWindowMask] = B.Head;
        B.Head = static_cast<std::int32_t>(I);
        const std::uint32_t Rank = B.Count++ & kRankMask;
        if (I + 4 <= FSize) {
            const std::uint32_t H = Hash4(I);
            std::int32_t& H4 = FHead4[H >> FHash4Shift];
            FLinks4[I & FWindowMask] = {H4, Rank | Tag4(H)};
            H4 = static_cast<std::int32_t>(I);
        }
    }
}

inline TMatchFinder::TKeyWalk::TKeyWalk(const TMatchFinder& AFinder, std::uint32_t Pos)
    : FFinder(AFinder), FOldest(static_cast<std::int64_t>(Pos) - AFinder.FParams.Window),
      FKey(LoadLE32(AFinder.FData + Pos)) {
    const TLink4 Start = FFinder.FLinks4[Pos & FFinder.FWindowMask];
    FRank0 = Start.RankAndTag;
    FTag = Start.RankAndTag & ~kRankMask;
    FNext4 = Start.Next;
}

[[gnu::always_inline]] inline bool TMatchFinder::TKeyWalk::Next(std::int64_t Below, std::uint32_t& Candidate,
                                                                std::uint32_t& Step) {
    while (FNext4 > FOldest) {
        const auto P = static_cast<std::uint32_t>(FNext4);
        const TLink4 Link = FFinder.FLinks4[P & FFinder.FWindowMask];
        FNext4 = Link.Next;
        // The next candidate's bytes, while these are compared.
        __builtin_prefetch(FFinder.FData + (FNext4 > FOldest ? static_cast<std::uint32_t>(FNext4) : P));
        if ((Link.RankAndTag & ~kRankMask) != FTag || LoadLE32(FFinder.FData + P) != FKey) {
            if (++FStrangers > kMaxStrangers) {
                Overrun = true;
                return false;
            }
            continue;
        }
        if (P > Below)
            continue; // looked at already
        Step = Steps(FRank0, Link.RankAndTag);
        if (Step > static_cast<std::uint32_t>(FFinder.FParams.ChainLimit))
            return false; // beyond the chain budget, and so are the older ones
        Candidate = P;
        return true;
    }
    return false;
}

void TMatchFinder::ImproveWithKeys(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                                   TMatch& Current) const {
    if (Budget == 0 || Candidate <= static_cast<std::int64_t>(Pos) - FParams.Window ||
        Current.Length >= Limit)
        return;
    // Only candidates with the four bytes of Pos can agree over Current.Length + 1 >= 4 bytes: the rest of
    // the way goes along the four-byte chain, from Candidate down.
    TKeyWalk Walk(*this, Pos);
    std::uint32_t P, Step;
    while (Walk.Next(Candidate, P, Step)) {
        Candidate = FChain[P & FWindowMask];
        Budget = FParams.ChainLimit - static_cast<int>(Step);
        const std::uint32_t Tail = Current.Length - 3; // the last four bytes of a longer match first
        if (LoadLE32(FData + P + Tail) != LoadLE32(FData + Pos + Tail))
            continue;
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length > Current.Length &&
            TakeLongerMatch(static_cast<int>(Length - Current.Length), Pos - P, Current.Distance)) {
            Current = {Length, Pos - P};
            if (Current.Length >= Limit)
                return;
        }
    }
    if (Walk.Overrun) // too many strangers: on along the three-byte chain from where it had got
        ImproveAlongChain(Pos, Candidate, Budget, Limit, Current);
}

TMatch TMatchFinder::FindAlongKeyChains(std::uint32_t Pos, std::uint32_t Limit) const {
    // Along the three-byte chain over the near candidates, where three agreeing bytes can be enough.
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - FParams.Window;
    int Budget = FParams.ChainLimit;
    std::int32_t Candidate = FChain[Pos & FWindowMask];
    while (Budget > 0 && Candidate > Oldest) {
        const auto P = static_cast<std::uint32_t>(Candidate);
        if (Pos - P > kThreeByteMatchMaxDistance)
            break;
        --Budget;
        Candidate = FChain[P & FWindowMask];
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length >= kMinMatch) {
            TMatch Match{Length, Pos - P};
            Improve(Pos, Candidate, Budget, Limit, Match);
            return Match;
        }
    }
    if (Budget == 0 || Candidate <= Oldest || Limit < 4)
        return {};
    // Farther on only four agreeing bytes can qualify (up to 65536 bytes back) or five (at any distance):
    // the first such candidate within the budget, along the four-byte chain from Candidate down.
    TKeyWalk Walk(*this, Pos);
    std::uint32_t P, Step;
    while (Walk.Next(Candidate, P, Step)) {
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length >= 5 || Pos - P <= kFourByteMatchMaxDistance) {
            TMatch Match{Length, Pos - P};
            Improve(Pos, FChain[P & FWindowMask], FParams.ChainLimit - static_cast<int>(Step), Limit, Match);
            return Match;
        }
    }
    if (Walk.Overrun) // too many strangers: the plain walk from where it stopped
        return FindAlongChain(Pos, Candidate, Budget, Limit);
    return {};
}

} // namespace codec

} // namespace zem
