#include "persistence/ZemMatchFinder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zem::codec {

namespace {

constexpr std::uint32_t kPrefetchAhead = 8;

inline std::uint64_t Load64(const std::uint8_t* P) {
    std::uint64_t V;
    std::memcpy(&V, P, 8);
    return V;
}

inline std::uint32_t Load32(const std::uint8_t* P) {
    std::uint32_t V;
    std::memcpy(&V, P, 4);
    return V;
}

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

TMatchFinder::TMatchFinder(const std::uint8_t* AData, std::uint32_t ASize, const TLevelParams& AParams)
    : Data(AData), Size(ASize), Params(AParams), HashMask(static_cast<std::uint32_t>(AParams.HashEntries - 1)),
      WindowMask(static_cast<std::uint32_t>(AParams.Window - 1)),
      Head(std::make_unique_for_overwrite<std::int32_t[]>(static_cast<std::size_t>(AParams.HashEntries))),
      Chain(std::make_unique_for_overwrite<std::int32_t[]>(static_cast<std::size_t>(AParams.Window))) {
    // Heads start at -Window, so an empty chain ends at once. Chain slots are only read after their
    // position has been inserted.
    std::fill(Head.get(), Head.get() + Params.HashEntries, -Params.Window);
}

// Three bytes, each shifted in by HashShift bits; the same value the rolling form
// h = ((h << s) xor byte[i + 2]) and (entries - 1) reaches, since older bytes leave through the mask.
inline std::uint32_t TMatchFinder::Hash(std::uint32_t Pos) const {
    const int S = Params.HashShift;
    return ((static_cast<std::uint32_t>(Data[Pos]) << (2 * S)) ^ (static_cast<std::uint32_t>(Data[Pos + 1]) << S) ^
            Data[Pos + 2]) &
           HashMask;
}

void TMatchFinder::InsertBefore(std::uint32_t Pos) {
    const std::uint32_t End = std::min(Pos, Size >= 2 ? Size - 2 : 0);
    for (; NextInsert < End; ++NextInsert) {
        // The head a few positions on is most likely not in the cache yet: ask for it now.
        if (NextInsert + kPrefetchAhead < Size - 2)
            __builtin_prefetch(&Head[Hash(NextInsert + kPrefetchAhead)], 1);
        const std::uint32_t H = Hash(NextInsert);
        Chain[NextInsert & WindowMask] = Head[H];
        Head[H] = static_cast<std::int32_t>(NextInsert);
    }
}

// Bytes that agree at Candidate and Pos, up to Limit; eight at a time while eight remain.
inline std::uint32_t TMatchFinder::MatchLength(std::uint32_t Candidate, std::uint32_t Pos, std::uint32_t Limit) const {
    const std::uint8_t* A = Data + Candidate;
    const std::uint8_t* B = Data + Pos;
    std::uint32_t K = 0;
    while (K + 8 <= Limit) {
        const std::uint64_t X = Load64(A + K) ^ Load64(B + K);
        if (X != 0) {
            if constexpr (std::endian::native == std::endian::little)
                return K + static_cast<std::uint32_t>(std::countr_zero(X)) / 8;
            else
                return K + static_cast<std::uint32_t>(std::countl_zero(X)) / 8;
        }
        K += 8;
    }
    while (K < Limit && A[K] == B[K])
        ++K;
    return K;
}

void TMatchFinder::Improve(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit,
                           TMatch& Current) const {
    const std::int32_t Oldest = static_cast<std::int32_t>(Pos) - Params.Window; // candidates lie above it
    const std::uint8_t* Here = Data + Pos;
    while (Budget > 0 && Candidate > Oldest && Current.Length < Limit) {
        --Budget;
        const auto P = static_cast<std::uint32_t>(Candidate);
        // The next candidate is fetched first, so that its load overlaps the comparison below.
        Candidate = Chain[P & WindowMask];
        // A longer match agrees over Current.Length + 1 bytes: test the last four of them first.
        const std::uint32_t Tail = Current.Length - 3;
        if (Load32(Data + P + Tail) == Load32(Here + Tail)) {
            const std::uint32_t Length = MatchLength(P, Pos, Limit);
            if (Length > Current.Length &&
                TakeLongerMatch(static_cast<int>(Length - Current.Length), Pos - P, Current.Distance))
                Current = {Length, Pos - P};
        }
    }
}

TMatch TMatchFinder::Find(std::uint32_t Pos) const {
    const std::uint32_t Limit = std::min<std::uint32_t>(Size - Pos, kMaxMatch);
    const std::int32_t Oldest = static_cast<std::int32_t>(Pos) - Params.Window;
    int Budget = Params.ChainLimit;
    std::int32_t Candidate = Chain[Pos & WindowMask]; // Pos itself is the head: start below it
    while (Budget > 0 && Candidate > Oldest) {
        --Budget;
        const auto P = static_cast<std::uint32_t>(Candidate);
        Candidate = Chain[P & WindowMask];
        const std::uint32_t Length = MatchLength(P, Pos, Limit);
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

TMatch TMatchFinder::FindLonger(std::uint32_t Pos, TMatch Current) const {
    const std::uint32_t Limit = std::min<std::uint32_t>(Size - Pos, kMaxMatch);
    TMatch Best = Current;
    Improve(Pos, Chain[Pos & WindowMask], Params.ChainLimit, Limit, Best);
    return Best.Length > Current.Length ? Best : TMatch{};
}

} // namespace zem::codec
