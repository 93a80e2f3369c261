#include "persistence/ZemRowMatchFinder.h"

#include <algorithm>
#include <bit>
#include <cassert>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem::codec {

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
    : Data(AData), Size(ASize), Params(AParams),
      HashMask(static_cast<std::uint32_t>(AParams.HashEntries - 1)),
      Width(static_cast<unsigned>(AParams.ChainLimit)),
      AllAges(Width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << Width) - 1),
      PositionMask((1u << PositionBits) - 1), Step(1u << (PositionBits - 1)) {
    assert(Suits(Params) && PositionBits <= kMaxPositionBits &&
           Step >= static_cast<std::uint32_t>(Params.Window));
    const auto Rows = static_cast<std::size_t>(Params.HashEntries);
    Next = TPageTable<std::uint8_t>(Rows);
    Slots = TPageTable<std::uint32_t>(Rows * Width);
}

inline std::uint32_t TRowMatchFinder::Hash3(std::uint32_t Pos) const {
    return HashOfThree(Data + Pos, Params.HashShift, HashMask);
}

// Any hash of the four bytes will do: equal bytes give equal tags, and every tag that agrees is checked
// against the data. A position without a fourth byte can never start a four-byte match.
inline std::uint8_t TRowMatchFinder::Tag(std::uint32_t Pos) const {
    if (Pos + 4 > Size)
        return 0;
    return static_cast<std::uint8_t>((LoadLE32(Data + Pos) * 2654435761u) >> 24);
}

void TRowMatchFinder::InsertBefore(std::uint32_t Pos) {
    const std::uint32_t Hashable = Size >= 2 ? Size - 2 : 0;
    Inserted = std::max(Inserted, std::min(Pos, Hashable));
    // The newest position stays out of the rows: the next search is there, and a row holds only the
    // candidates of a search, not the position itself.
    if (Written + 1 >= Inserted)
        return;
    // In locals: a store to a byte-sized ring head could otherwise alias any member.
    const std::uint8_t* const D = Data;
    std::uint32_t* const Row = Slots.Get();
    std::uint8_t* const Head = Next.Get();
    const unsigned W = Width;
    const int Shift = Params.HashShift;
    const std::uint32_t Mask = HashMask, Window = static_cast<std::uint32_t>(Params.Window);
    const std::uint32_t End = Inserted - 1;
    // Positions below this one have a position kPrefetchAhead on with three bytes to hash.
    const std::uint32_t Ahead = Size > kPrefetchAhead + 2 ? Size - kPrefetchAhead - 2 : 0;
    for (std::uint32_t I = Written; I < End; ++I) {
        if (I + Window - Base > PositionMask)
            Rebase();
        const std::uint32_t Bias = Window - Base;
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
    Written = End;
}

// Moves the origin of the stored positions on by Step, dropping those at Base + Step - Window or before.
// None of them can be a candidate any more: insertion gets here at Base + 2^PositionBits - Window, every
// search from now on is at least that far on, and Step is no more than 2^PositionBits - Window.
void TRowMatchFinder::Rebase() {
    std::uint32_t* const Row = Slots.Get();
    const std::size_t Count = static_cast<std::size_t>(Params.HashEntries) * Width;
    const std::uint32_t Mask = PositionMask, By = Step;
    for (std::size_t k = 0; k < Count; ++k) {
        const std::uint32_t V = Row[k];
        Row[k] = (V & Mask) > By ? V - By : 0;
    }
    Base += Step;
}

inline TRowMatchFinder::TRow TRowMatchFinder::RowOf(std::uint32_t Pos) const {
    const std::uint32_t H = Hash3(Pos);
    return {&Slots[std::size_t{H} * Width], (Next[H] + 1u) & (Width - 1)};
}

inline std::int64_t TRowMatchFinder::Candidate(const TRow& Row, unsigned Age) const {
    return static_cast<std::int64_t>(Row.Slots[(Row.Newest + Age) & (Width - 1)] & PositionMask) + Base -
           Params.Window;
}

inline std::uint64_t TRowMatchFinder::AgesWithTag(const TRow& Row, std::uint8_t T) const {
    std::uint64_t Found = 0;
#if defined(__SSE2__)
    if (Width % 8 == 0) {
        const __m128i Key = _mm_set1_epi8(static_cast<char>(T));
        const auto* Chunk = reinterpret_cast<const __m128i*>(Row.Slots);
        for (unsigned k = 0; k < Width; k += 8, Chunk += 2) {
            // The tags of eight slots, narrowed to bytes in slot order.
            const __m128i A = _mm_srli_epi32(_mm_loadu_si128(Chunk), kTagShift);
            const __m128i B = _mm_srli_epi32(_mm_loadu_si128(Chunk + 1), kTagShift);
            const __m128i Bytes = _mm_packus_epi16(_mm_packs_epi32(A, B), _mm_setzero_si128());
            Found |= static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Bytes, Key)) & 0xFF) << k;
        }
    } else
#endif
        for (unsigned k = 0; k < Width; ++k)
            Found |= static_cast<std::uint64_t>((Row.Slots[k] >> kTagShift) == T) << k;
    // Slot s holds age s - Newest.
    return RotateRight(Found, Row.Newest, Width);
}

// Longer matches among the candidates of Ages (their tags agree with Pos), oldest last.
void TRowMatchFinder::Improve(std::uint32_t Pos, const TRow& Row, std::uint64_t Ages, std::uint32_t Limit,
                              TMatch& Current) const {
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - Params.Window;
    const std::uint8_t* Here = Data + Pos;
    for (; Ages != 0 && Current.Length < Limit; Ages &= Ages - 1) {
        const std::int64_t C = Candidate(Row, static_cast<unsigned>(std::countr_zero(Ages)));
        if (C <= Oldest)
            return; // the older ones are farther still
        const auto P = static_cast<std::uint32_t>(C);
        // A longer match agrees over Current.Length + 1 bytes: test the last four of them first.
        const std::uint32_t Tail = Current.Length - 3;
        if (LoadLE32(Data + P + Tail) != LoadLE32(Here + Tail))
            continue;
        const std::uint32_t Length = MatchLength(Data + P, Here, Limit);
        if (Length > Current.Length &&
            TakeLongerMatch(static_cast<int>(Length - Current.Length), Pos - P, Current.Distance))
            Current = {Length, Pos - P};
    }
}

TMatch TRowMatchFinder::Find(std::uint32_t Pos) const {
    assert(Written == Pos);
    const std::uint32_t Limit = std::min<std::uint32_t>(Size - Pos, kMaxMatch);
    const std::int64_t Oldest = static_cast<std::int64_t>(Pos) - Params.Window;
    const TRow Row = RowOf(Pos);
    // The near candidates, where three agreeing bytes are enough: their bytes are close by in the cache.
    unsigned Age = 0;
    for (; Age < Width; ++Age) {
        const std::int64_t C = Candidate(Row, Age);
        if (C <= Oldest)
            return {};
        const auto P = static_cast<std::uint32_t>(C);
        if (Pos - P > kThreeByteMatchMaxDistance)
            break;
        const std::uint32_t Length = MatchLength(Data + P, Data + Pos, Limit);
        if (Length >= kMinMatch) {
            TMatch Match{Length, Pos - P};
            if (Limit >= 4) // else no longer match fits
                Improve(Pos, Row, AgesWithTag(Row, Tag(Pos)) & (AllAges << Age << 1), Limit, Match);
            return Match;
        }
    }
    if (Age == Width || Limit < 4)
        return {};
    // Farther on it takes four agreeing bytes (up to 65536 bytes back) or five (at any distance).
    std::uint64_t Ages = AgesWithTag(Row, Tag(Pos)) & (AllAges << Age);
    for (; Ages != 0; Ages &= Ages - 1) {
        const std::int64_t C = Candidate(Row, static_cast<unsigned>(std::countr_zero(Ages)));
        if (C <= Oldest)
            return {};
        const auto P = static_cast<std::uint32_t>(C);
        const std::uint32_t Length = MatchLength(Data + P, Data + Pos, Limit);
        if (Length >= 5 || (Length == 4 && Pos - P <= kFourByteMatchMaxDistance)) {
            TMatch Match{Length, Pos - P};
            Improve(Pos, Row, Ages & (Ages - 1), Limit, Match);
            return Match;
        }
    }
    return {};
}

TMatch TRowMatchFinder::FindLonger(std::uint32_t Pos, TMatch Current) const {
    assert(Written == Pos);
    const std::uint32_t Limit = std::min<std::uint32_t>(Size - Pos, kMaxMatch);
    if (Current.Length >= Limit)
        return {};
    const TRow Row = RowOf(Pos);
    TMatch Best = Current;
    Improve(Pos, Row, AgesWithTag(Row, Tag(Pos)), Limit, Best);
    return Best.Length > Current.Length ? Best : TMatch{};
}

} // namespace zem::codec
