#pragma once
// The packer's dictionary: hash chains over the input and the match searches of the parse. It decides
// which earlier bytes a position may copy; the block writer (ZemBlockWriter.h) decides how to code that.
#include <cstdint>
#include <memory>

#include "persistence/ZemCodecFormat.h"

namespace zem::codec {

struct TMatch {
    std::uint32_t Length = 0; // 0: no match
    std::uint32_t Distance = 0;
    explicit operator bool() const { return Length != 0; }
};

class TMatchFinder {
public:
    // Data must stay valid for the finder's life; Size is below 2^31.
    TMatchFinder(const std::uint8_t* Data, std::uint32_t Size, const TLevelParams& Params);

    // Inserts, in order, every position below Pos that has not been inserted yet and has the three bytes
    // the hash covers. Every position is inserted exactly once.
    void InsertBefore(std::uint32_t Pos);

    // The match at Pos (already inserted): the first qualifying candidate down the chain, then longer ones
    // with the rest of the chain budget. No match when no candidate qualifies.
    TMatch Find(std::uint32_t Pos) const;

    // The lazy step's search at Pos (already inserted) with a fresh budget: a match longer than Current
    // under the same rules as the search for longer matches of Find, or no match.
    TMatch FindLonger(std::uint32_t Pos, TMatch Current) const;

private:
    std::uint32_t Hash(std::uint32_t Pos) const;
    std::uint32_t MatchLength(std::uint32_t Candidate, std::uint32_t Pos, std::uint32_t Limit) const;
    // Goes on down the chain from Candidate while budget, window and limit allow, taking longer matches.
    void Improve(std::uint32_t Pos, std::int32_t Candidate, int Budget, std::uint32_t Limit, TMatch& Current) const;

    const std::uint8_t* Data;
    std::uint32_t Size;
    TLevelParams Params;
    std::uint32_t HashMask, WindowMask;
    std::unique_ptr<std::int32_t[]> Head;  // newest position of each hash; -Window when none
    std::unique_ptr<std::int32_t[]> Chain; // the older position with the same hash, by position mod Window
    std::uint32_t NextInsert = 0;
};

// Whether a match Gain bytes longer at NewDistance replaces the current one at CurrentDistance.
bool TakeLongerMatch(int Gain, std::uint32_t NewDistance, std::uint32_t CurrentDistance);

} // namespace zem::codec
