#pragma once
// The dictionary of the long-chain levels on large inputs: the same searches as TMatchFinder, with each
// hash chain kept as a row of its newest positions instead of a linked list.
//
// A search looks at no more than the chain limit of candidates, newest first, and those are exactly the
// newest positions of the chain: so a row of that many slots per hash, filled as a ring, holds every
// candidate a search may see, in a few adjacent cache lines that can be fetched ahead of time. A walk
// down a linked chain, by contrast, waits for each link before it can ask for the next.
//
// With each position its slot keeps an 8-bit tag hashed from the four bytes there. Every search but the
// first step of the first match needs four agreeing bytes, so comparing the tags of a whole row at once
// picks out the few candidates worth reading. The results are the same candidates in the same order as
// the walk of the chain gives.
//
// The row table is large (HashEntries x ChainLimit slots, 32 MB at level 3) and comes zero-filled from
// the system in large pages, so this pays off on inputs of half a megabyte or more; the packer keeps
// smaller ones on the linked chains.
#include <cstddef>
#include <cstdint>

#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemMatchFinder.h"
#include "persistence/ZemMemory.h"

namespace zem {

namespace codec {

class TRowMatchFinder {
public:
    // Whether rows suit the level: a chain limit that is a power of two up to 64, a window of at most
    // 2^23 bytes.
    static bool Suits(const TLevelParams& Params);
    // The bytes of the row table of a level.
    static std::size_t TableBytes(const TLevelParams& Params) {
        return static_cast<std::size_t>(Params.HashEntries) * static_cast<std::size_t>(Params.ChainLimit) *
               sizeof(std::uint32_t);
    }

    // Data must stay valid for the finder's life; Suits(Params) holds. Throws std::bad_alloc when the
    // tables cannot be had. Fewer position bits (tests) move the origin more often; 2^(PositionBits - 1)
    // must be at least the window.
    static constexpr int kMaxPositionBits = 24;
    TRowMatchFinder(const std::uint8_t* Data, std::uint32_t Size, const TLevelParams& Params,
                    int PositionBits = kMaxPositionBits);

    // As TMatchFinder: inserts every position below Pos not inserted yet that has three bytes.
    void InsertBefore(std::uint32_t Pos);
    // As TMatchFinder; Pos is the newest position inserted.
    TMatch Find(std::uint32_t Pos) const;
    TMatch FindLonger(std::uint32_t Pos, TMatch Current) const;

private:
    std::uint32_t Hash3(std::uint32_t Pos) const;
    std::uint8_t Tag(std::uint32_t Pos) const;
    struct TRow {
        const std::uint32_t* Slots;
        unsigned Newest; // the slot of age 0
    };
    TRow RowOf(std::uint32_t Pos) const;
    // The position of the candidate Age steps down the row (the newest is age 0), or a position at least
    // a window back when there is none.
    std::int64_t Candidate(const TRow& Row, unsigned Age) const;
    // The ages in the row whose tag is Tag, as bits.
    std::uint64_t AgesWithTag(const TRow& Row, std::uint8_t Tag) const;
    void Improve(std::uint32_t Pos, const TRow& Row, std::uint64_t Ages, std::uint32_t Limit,
                 TMatch& Current) const;

    const std::uint8_t* FData;
    std::uint32_t FSize;
    TLevelParams FParams;
    std::uint32_t FHashMask;
    unsigned FWidth;        // slots per row: the chain limit
    std::uint64_t FAllAges; // FWidth bits
    // Per row: the slot the next position goes to. Rows fill downwards, so ages run up the slots.
    TPageTable<std::uint8_t> FNext;
    // FWidth per row: the tag in the top 8 bits, below it position + Window - FBase. 0 (no position) is a
    // window back from FBase.
    static constexpr int kTagShift = kMaxPositionBits;
    TPageTable<std::uint32_t> FSlots;
    // Positions in the slots are kept below 2^PositionBits by moving their origin, FBase, on by FStep
    // whenever insertion gets that far.
    std::uint32_t FPositionMask, FStep, FBase = 0;
    void Rebase();
    std::uint32_t FWritten = 0; // positions in the rows; the newest inserted one waits outside
    std::uint32_t FInserted = 0;
};

} // namespace codec

} // namespace zem
