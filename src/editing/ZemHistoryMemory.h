#pragma once
// The memory of the undo history's kept steps. Each step is one byte image appended to a log of large
// chunks mapped for the history alone (TPageBlock). Steps leave the history from its front (trimming) or its
// back (a new step after undos, clearing), so chunks empty out whole and go back to the system at once. Were
// the steps kept as ordinary objects, their many small blocks would lie among the document's own and the heap
// could give back little of them.
#include "persistence/ZemMemory.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

namespace zem {

class TZemByteLog {
public:
    struct TRef {
        std::uint64_t Chunk = 0; // counted from the first chunk the log ever had
        std::size_t Offset = 0;
        std::size_t Size = 0;
    };

    TRef Append(std::span<const std::byte> Bytes);
    std::span<const std::byte> View(const TRef& Ref) const;
    // The bytes are no longer needed. The newest image's space is reused at once; a chunk is unmapped
    // when nothing in it is needed any more.
    void Release(const TRef& Ref);
    // Bytes mapped now.
    std::size_t Mapped() const;

    // A chunk is at least the size the page blocks map rather than take from the heap.
    static constexpr std::size_t kChunk = std::size_t{2} << 20;

private:
    struct TChunk {
        TPageBlock Pages; // none once nothing in the chunk is needed
        std::size_t Size = 0;
        std::size_t Used = 0;
        std::size_t Live = 0;
    };
    TChunk& At(std::uint64_t Chunk) { return FChunks[static_cast<std::size_t>(Chunk - FFirst)]; }
    const TChunk& At(std::uint64_t Chunk) const { return FChunks[static_cast<std::size_t>(Chunk - FFirst)]; }

    std::deque<TChunk> FChunks;
    std::uint64_t FFirst = 0; // number of FChunks.front()
};

} // namespace zem
