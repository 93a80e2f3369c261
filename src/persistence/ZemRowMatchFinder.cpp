#include "persistence/ZemRowMatchFinder.h"

#include <algorithm>
#include <bit>
#include <cassert>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {

namespace codec {

namespace {

// Insertion asks for the rows of the position this many places on, so that they are in the cache in time.
constexpr std::uint32_t kPrefetchAhead = 16;

inline std::uint64_t RotateRight(std::uint64_t Bits, unsigned By, unsigned Width) {
    if (Width == 64)
        return std::rotr(Bits, static_cast<int>(By));
    const std::uint64_t Mask = (std::uint64_t{1} << Width) - 1;
    return By == 0 ? Bits : ((Bits >> By) | (Bits << (Width - By))) & Mask;
}

} // namespace

bool TRowMatchFinder::Suits(const TLevelParams& Params) {
    return Params.ChainLimit >= 1 && Params.ChainLimit <= 64 &&
           std::has_single_bit(static_cast<unsigned>(Params.ChainLimit)) &&
           Params.Window <= (1 << (kMaxPositionBits - 1));
}

TRowMatchFinder::TRowMatchFinder(const std::uint8_t* AData, std::uint32_t ASize, const TLevelParams& AParams,
                                 int PositionBits)
    : FData(AData), FSize(ASize), FParams(AParams),
      FHashMask(static_cast<std::uint32_t>(AParams.HashEntries - 1)),
      FWidth(static_cast<unsigned>(AParams.ChainLimit)),
      FAllAges(FWidth == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << FWidth) - 1),
      FPositionMask((1u << PositionBits) - 1), FStep(1u << (PositionBits - 1)) {
    assert(Suits(FParams) && PositionBits <= kMaxPositionBits &&
           FStep >= static_cast<std::uint32_t>(FParams.Window));
    const auto Rows = static_cast<std::size_t>(FParams.HashEntries);
    FNext = TPageTable<std::uint8_t>(Rows);
    FSlots = TPageTable<std::uint32_t>(Rows * FWidth);
}

inline std::uint32_t TRowMatchFinder::Hash3(std::uint32_t Pos) const {
    return HashOfThree(FData + Pos, FParams.HashShift, FHashMask);
}

// Any hash of the four bytes will do: equal bytes give equal tags, and every tag that agrees is checked
// against the data. A position without a fourth byte can never start a four-byte match.
inline std::uint8_t TRowMatchFinder::Tag(std::uint32_t Pos) const {
    if (Pos + 4 > FSize)
        return 0;
    return static_cast<std::uint8_t>((LoadLE32(FData + Pos) * 2654435761u) >> 24);
}

void TRowMatchFinder::InsertBefore(std::uint32_t Pos) {
    const std::uint32_t Hashable = FSize >= 2 ? FSize - 2 : 0;
    FInserted = std::max(FInserted, std::min(Pos, Hashable));
    // The newest position stays out of the rows: the next search is there, and a row holds only the
    // candidates of a search, not the position itself.
    if (FWritten + 1 >= FInserted)
        return;
    // In locals: a store to a byte-sized ring head could otherwise alias any member.
    const std::uint8_t* const D = FData;
    std::uint32_t* const Row = FSlots.Get();
    std::uint8_t* const Head = FNext.Get();
    const unsigned W = FWidth;
    const int Shift = FParams.HashShift;
    const std::uint32_t Mask = FHashMask, Window = static_cast<std::uint32_t>(FParams.Window);
    const std::uint32_t End = FInserted - 1;
    // Positions below this one have a position kPrefetchAhead on with three bytes to hash.
    const std::uint32_t Ahead = FSize > kPrefetchAhead + 2 ? FSize - kPrefetchAhead - 2 : 0;
    for (std::uint32_t I = FWritten; I < End; ++I) {
        if (I + Window - FBase > FPositionMask)
            Rebase();
        const std::uint32_t Bias = Window - FBase;
        if (I < Ahead) {
            const std::uint32_t H = HashOfThree(D + I + kPrefetchAhead, Shift, Mask);
            for (unsigned k = 0; k < W; k += 16) // the whole row: the search there reads it all
                __builtin_prefetch(Row + std::size_t{H} * W + k, 1);
            __builtin_prefetch(Head + H, 1);
        }
        const std::uint32_t H = HashOfThree(D + I, Shift, Mask);
        const unsigned Slot = Head[H];
        Row[std::size_t{H} * W + Slot] = static_cast<std::uint32_t>(Tag(I)) << kTagShift | (I + Bias);
        Head[H] = static_cast<std::uint8_t>((Slot - 1) & (W - 1));
    }
    FWritten = End;
}

// Moves the origin of the stored positions on by FStep, dropping those at FBase + FStep - Window or before.
// None of them can be a candidate any more: insertion gets here at FBase + 2^PositionBits - Window, every
// search from now on is at least that far on, and FStep is no more than 2^PositionBits - Window.
void TRowMatchFinder::Rebase() {
    std::uint32_t* const Row = FSlots.Get();
    const std::size_t Count = static_cast<std::size_t>(FParams.HashEntries) * FWidth;
    const std::uint32_t Mask = FPositionMask, By = FStep;
    for (std::size_t k = 0; k < Count; ++k) {
        const std::uint32_t V = Row[k];
        Row[k] = (V & Mask) > By ? V - By : 0;
    }
    FBase += FStep;
}

inline TRowMatchFinder::TRow TRowMatchFinder::RowOf(std::uint32_t Pos) const {
    const std::uint32_t H = Hash3(Pos);
    return {&FSlots[std::size_t{H} * FWidth], (FNext[H] + 1u) & (FWidth - 1)};
}

inline std::int64_t TRowMatchFinder::Candidate(const TRow& Row, unsigned Age) const {
    return static_cast<std::int64_t>(Row.Slots[(Row.Newest + Age) & (FWidth - 1)] & FPositionMask) + FBase -
           FParams.Window;
}

inline std::uint64_t TRowMatchFinder::AgesWithTag(const TRow& Row, std::uint8_t T) const {
    std::uint64_t Found = 0;
#if defined(__SSE2__)
    if (FWidth % 8 == 0) {
        const __m128i Key = _mm_set1_epi8(static_cast<char>(T));
        const auto* Chunk = reinterpret_cast<const __m128i*>(Row.Slots);
        for (unsigned k = 0; k < FWidth; k += 8, Chunk += 2) {
            // The tags of eight slots, narrowed to bytes in slot order.
            const __m128i A = _mm_srli_epi32(_mm_loadu_si128(Chunk), kTagShift);
            const __m128i B = _mm_srli_epi32(_mm_loadu_si128(Chunk + 1), kTagShift);
            const __m128i Bytes = _mm_packus_epi16(_mm_packs_epi32(A, B), _mm_setzero_si128());
            Found |= static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Bytes, Key)) & 0xFF) << k;
        }
    } else
#endif
        for (unsigned k = 0; k < FWidth; ++k)
            Found |= static_cast<std::uint64_t>((Row.Slots[k] >> kTagShift) == T) << k;
    // Slot s holds age s - Newest.
    return RotateRight(Found, Row.Newest, FWidth);
}

// Longer matches among the candidates of Ages (their tags agree with Pos), oldest last.
void TRowMatchFinder::Improve(std::uint32_t Pos, const TRow& Row, std::uint64_t Ages, std::uint32_t Limit,
                              TMatch& Current) const {
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - FParams.Window;
    const std::uint8_t* Here = FData + Pos;
    for (; Ages != 0 && Current.Length < Limit; Ages &= Ages - 1) {
        const std::int64_t C = Candidate(Row, static_cast<unsigned>(std::countr_zero(Ages)));
        if (C <= Oldest)
            return; // the older ones are farther still
        const auto P = static_cast<std::uint32_t>(C);
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

TMatch TRowMatchFinder::Find(std::uint32_t Pos) const {
    assert(FWritten == Pos);
    const std::uint32_t Limit = std::min<std::uint32_t>(FSize - Pos, kMaxMatch);
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - FParams.Window;
    const TRow Row = RowOf(Pos);
    // The near candidates, where three agreeing bytes are enough: their bytes are close by in the cache.
    unsigned Age = 0;
    for (; Age < FWidth; ++Age) {
        const std::int64_t C = Candidate(Row, Age);
        if (C <= Oldest)
            return {};
        const auto P = static_cast<std::uint32_t>(C);
        if (Pos - P > kThreeByteMatchMaxDistance)
            break;
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length >= kMinMatch) {
            TMatch Match{Length, Pos - P};
            if (Limit >= 4) // else no longer match fits
                Improve(Pos, Row, AgesWithTag(Row, Tag(Pos)) & (FAllAges << Age << 1), Limit, Match);
            return Match;
        }
    }
    if (Age == FWidth || Limit < 4)
        return {};
    // Farther on it takes four agreeing bytes (up to 65536 bytes back) or five (at any distance).
    std::uint64_t Ages = AgesWithTag(Row, Tag(Pos)) & (FAllAges << Age);
    for (; Ages != 0; Ages &= Ages - 1) {
        const std::int64_t C = Candidate(Row, static_cast<unsigned>(std::countr_zero(Ages)));
        if (C <= Oldest)
            return {};
        const auto P = static_cast<std::uint32_t>(C);
        const std::uint32_t Length = MatchLength(FData + P, FData + Pos, Limit);
        if (Length >= 5 || (Length == 4 && Pos - P <= kFourByteMatchMaxDistance)) {
            TMatch Match{Length, Pos - P};
            Improve(Pos, Row, Ages & (Ages - 1), Limit, Match);
            return Match;
        }
    }
    return {};
}

TMatch TRowMatchFinder::FindLonger(std::uint32_t Pos, TMatch Current) const {
    assert(FWritten == Pos);
    const std::uint32_t Limit = std::min<std::uint32_t>(FSize - Pos, kMaxMatch);
    if (Current.Length >= Limit)
        return {};
    const TRow Row = RowOf(Pos);
    TMatch Best = Current;
    Improve(Pos, Row, AgesWithTag(Row, Tag(Pos)), Limit, Best);
    return Best.Length > Current.Length ? Best : TMatch{};
}

} // namespace codec

} // namespace zem
