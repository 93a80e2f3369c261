#pragma once
// The packer's dictionary: the hash chains over the input and the match searches of the parse. It decides
// which earlier bytes a position may copy; the block writer (ZemBlockWriter.h) decides how to code that.
// TRowMatchFinder (ZemRowMatchFinder.h) makes the same searches over rows of candidates, which is faster
// where its larger tables pay off; the packer picks one or the other.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "base/ZemLittleEndian.h"
#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemMemory.h"

namespace zem {

namespace codec {

struct TMatch {
    std::uint32_t Length = 0; // 0: no match
    std::uint32_t Distance = 0;
    explicit operator bool() const { return Length != 0; }
};

// The searches are defined over hash chains: inserting position i makes it the head of the chain of the
// hash of its three bytes, and a search at i walks that chain from the newest older position down,
// looking at no more than the level's chain limit of candidates and stopping at the first one a window or
// more behind i.
//
// Walking a chain costs a dependent load per candidate, and most candidates cannot give a longer match:
// that needs at least four agreeing bytes. So each position also records its rank in its chain (how many
// positions went into that chain before it), and sits on a second chain of positions with the same four
// bytes. A search walks the three-byte chain over the near candidates, where three agreeing bytes can be
// enough, and the four-byte chain for the rest; a candidate's rank tells how many steps down the
// three-byte chain it lies, so the chain limit is applied exactly as a walk of that chain would apply it. The
// results are the same candidates in the same order as the plain walk gives. The levels with short chain
// limits walk the three-byte chain alone.
class TMatchFinder {
public:
    // Auto: the four-byte chains from a chain limit of 32 on. The other choices, and the width of the
    // four-byte hash (0: by the size of the data, up to kHash4Bits), are there for tests that hold the two
    // ways of searching against each other.
    enum class TSearch { Auto, ThreeByteChainOnly, WithFourByteChains };
    static constexpr int kHash4Bits = 20;

    // Data must stay valid for the finder's life; Size is below 2^31.
    TMatchFinder(const std::uint8_t* Data, std::uint32_t Size, const TLevelParams& Params,
                 TSearch Search = TSearch::Auto, int Hash4Bits = 0);

    // Inserts, in order, every position below Pos that has not been inserted yet and has the three bytes
    // the hash covers. Every position is inserted exactly once.
    void InsertBefore(std::uint32_t Pos);

    // The match at Pos (already inserted): the first qualifying candidate down the chain, then longer ones
    // with the rest of the chain budget. No match when no candidate qualifies.
    TMatch Find(std::uint32_t Pos) const;

    // The lazy step's search at Pos (already inserted) with a fresh budget: a match longer than Current
    // under the same rules as the search for longer matches of Find, or no match.
    TMatch FindLonger(std::uint32_t Pos, TMatch Current) const;

    // (The plain walk, which the short-chain level runs once or twice per input byte, is defined below
    // in this header, so that the packer's loop compiles it in place.)

private:
    struct TBucket {
        std::int32_t Head;   // newest position with this hash; -Window when none
        std::uint32_t Count; // positions inserted with this hash so far
    };

    std::uint32_t Hash3(std::uint32_t Pos) const;
    std::uint32_t Hash4(std::uint32_t Pos) const;
    // A position's place on the four-byte chain, with its rank in the three-byte chain (low 24 bits) and
    // 8 more bits of its four-byte hash.
    struct TLink4 {
        std::int32_t Next; // the older position with the same four-byte hash
        std::uint32_t RankAndTag;
    };
    static constexpr std::uint32_t kRankMask = 0xFFFFFF;

    // Steps down the three-byte chain of a position of rank Rank0 to a candidate of rank Rank on it. A
    // candidate inside the window is fewer than 2^24 steps away, so 24 bits of rank are enough.
    static std::uint32_t Steps(std::uint32_t Rank0, std::uint32_t Rank) { return (Rank0 - Rank) & kRankMask; }
    // The candidates of Pos on its four-byte chain that have its four bytes, newest first, with their steps
    // down the three-byte chain, up to the chain limit. Other bytes with the same hash are passed over;
    // after too many of them the walk gives up and sets Overrun.
    class TKeyWalk {
    public:
        TKeyWalk(const TMatchFinder& Finder, std::uint32_t Pos);
        // The next such candidate not newer than Below; false when there is none.
        bool Next(std::int64_t Below, std::uint32_t& Candidate, std::uint32_t& Step);
        bool Overrun = false;

    private:
        const TMatchFinder& FFinder;
        std::int64_t FOldest;
        std::uint32_t FKey, FRank0 = 0, FTag = 0;
        std::int32_t FNext4 = 0;
        int FStrangers = 0;
    };

    void InsertWithKeys(std::uint32_t End);
    // The plain search along the three-byte chain, from Candidate with Budget candidates left.
    TMatch FindAlongChain(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit) const;
    // The search with the four-byte chains.
    TMatch FindAlongKeyChains(std::uint32_t Pos, std::uint32_t Limit) const;
    // Takes longer matches from the candidates of Pos from Candidate down its three-byte chain, with
    // Budget candidates left.
    void ImproveWithKeys(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                         TMatch& Current) const;
    void Improve(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                 TMatch& Current) const;
    // The same by walking the three-byte chain alone.
    void ImproveAlongChain(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                           TMatch& Current) const;

    const std::uint8_t* FData;
    std::uint32_t FSize;
    TLevelParams FParams;
    std::uint32_t FHashMask, FWindowMask;
    bool FKeyChains;
    int FHash4Shift;
    TPageTable<TBucket> FBuckets; // by three-byte hash
    // The older position with the same three-byte hash, by position mod the window (or the input, if
    // shorter).
    TPageTable<std::int32_t> FChain;
    TPageTable<std::int32_t> FHead4; // newest position with the same four-byte hash; -Window when none
    TPageTable<TLink4> FLinks4;      // by position, as FChain
    std::uint32_t FNextInsert = 0;
};

// The hash of the three bytes at P, each shifted in by Shift bits: the value the rolling form
// h = ((h << s) xor byte[i + 2]) and (entries - 1) reaches at i, since older bytes leave through the mask.
inline std::uint32_t HashOfThree(const std::uint8_t* P, int Shift, std::uint32_t Mask) {
    return ((static_cast<std::uint32_t>(P[0]) << (2 * Shift)) ^ (static_cast<std::uint32_t>(P[1]) << Shift) ^
            P[2]) &
           Mask;
}

// Bytes that agree at A and B, up to Limit; eight at a time while eight remain.
inline std::uint32_t MatchLength(const std::uint8_t* A, const std::uint8_t* B, std::uint32_t Limit) {
    std::uint32_t K = 0;
    while (K + 8 <= Limit) {
        const std::uint64_t X = LoadLE64(A + K) ^ LoadLE64(B + K);
        if (X != 0)
            return K + static_cast<std::uint32_t>(std::countr_zero(X)) / 8;
        K += 8;
    }
    while (K < Limit && A[K] == B[K])
        ++K;
    return K;
}

// Whether a match Gain bytes longer at NewDistance replaces the current one at CurrentDistance.
bool TakeLongerMatch(int Gain, std::uint32_t NewDistance, std::uint32_t CurrentDistance);

inline void TMatchFinder::InsertBefore(std::uint32_t Pos) {
    const std::uint32_t Hashable = FSize >= 2 ? FSize - 2 : 0; // positions with three bytes
    const std::uint32_t End = std::min(Pos, Hashable);
    if (FKeyChains) {
        InsertWithKeys(End);
        return;
    }
    // In locals: the stores into the tables could otherwise alias the members.
    const std::uint8_t* const D = FData;
    TBucket* const Buckets = FBuckets.Get();
    std::int32_t* const Chain = FChain.Get();
    const int Shift = FParams.HashShift;
    const std::uint32_t Mask = FHashMask, WindowMask = FWindowMask;
    std::uint32_t I = FNextInsert;
    for (; I < End; ++I) {
        TBucket& B = Buckets[HashOfThree(D + I, Shift, Mask)];
        Chain[I & WindowMask] = B.Head;
        B.Head = static_cast<std::int32_t>(I);
    }
    FNextInsert = I;
}

inline void TMatchFinder::ImproveAlongChain(std::uint32_t Pos, std::int32_t Candidate, int Budget,
                                            std::uint32_t Limit, TMatch& Current) const {
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - FParams.Window;
    const std::uint8_t* Here = FData + Pos;
    while (Budget > 0 && Candidate > Oldest && Current.Length < Limit) {
        --Budget;
        const auto P = static_cast<std::uint32_t>(Candidate);
        Candidate = FChain[P & FWindowMask];
        // A longer match agrees over Current.Length + 1 bytes: test the last four of them first.
        const std::uint32_t Tail = Current.Length - 3;
        if (LoadLE32(FData + P + Tail) != LoadLE32(Here + Tail))
            continue;
        const std::uint32_t Length = MatchLength(FData + P, Here, Limit);
        if (Length > Current.Length &&
            TakeLongerMatch(static_cast<int>(Length - Current.Length), Pos - P, Current.Distance))
            Current = {Length, Pos - P};
    }
}

inline void TMatchFinder::Improve(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                                  TMatch& Current) const {
    if (FKeyChains)
        ImproveWithKeys(Pos, Candidate, Budget, Limit, Current);
    else
        ImproveAlongChain(Pos, Candidate, Budget, Limit, Current);
}

// The plain search: the first qualifying candidate down the three-byte chain, then longer ones.
inline TMatch TMatchFinder::FindAlongChain(std::uint32_t Pos, std::int32_t Candidate, int Budget,
                                           std::uint32_t Limit) const {
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - FParams.Window;
    while (Budget > 0 && Candidate > Oldest) {
        --Budget;
        const auto P = static_cast<std::uint32_t>(Candidate);
        Candidate = FChain[P & FWindowMask];
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length < kMinMatch)
            continue;
        const std::uint32_t Distance = Pos - P;
        // Five or more agreeing bytes are taken at any distance, exactly four up to 65536, three up to 4096.
        if (Length >= 5 || (Length == 4 && Distance <= kFourByteMatchMaxDistance) ||
            (Length == 3 && Distance <= kThreeByteMatchMaxDistance)) {
            TMatch Match{Length, Distance};
            Improve(Pos, Candidate, Budget, Limit, Match);
            return Match;
        }
    }
    return {};
}

inline TMatch TMatchFinder::Find(std::uint32_t Pos) const {
    const std::uint32_t Limit = std::min<std::uint32_t>(FSize - Pos, kMaxMatch);
    if (FKeyChains)
        return FindAlongKeyChains(Pos, Limit);
    return FindAlongChain(Pos, FChain[Pos & FWindowMask], FParams.ChainLimit, Limit);
}

inline TMatch TMatchFinder::FindLonger(std::uint32_t Pos, TMatch Current) const {
    const std::uint32_t Limit = std::min<std::uint32_t>(FSize - Pos, kMaxMatch);
    TMatch Best = Current;
    Improve(Pos, FChain[Pos & FWindowMask], FParams.ChainLimit, Limit, Best);
    return Best.Length > Current.Length ? Best : TMatch{};
}

} // namespace codec

} // namespace zem
