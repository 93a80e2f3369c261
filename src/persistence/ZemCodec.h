#pragma once
// The compression codec of the map files: G_Deflate packs a whole buffer into one packed block,
// G_Inflate unpacks a whole packed block. The block format is in ZemCodecFormat.h.
//
// Both calls keep all their working state to themselves (the fixed code tables are built once and only
// read), so they may run on several threads at once without a lock.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zem {

// A packed block with spare room around it: Memory holds SpaceBefore zero bytes, the PackedLength bytes
// of the block (header H and data), then SpaceAfter zero bytes.
struct TPackedBlock {
    std::vector<std::uint8_t> Memory;
    std::size_t PackedLength = 0;
};

// Packs Length bytes at SourceBytes at Level 0 ... 4 (clamped to that range). Level 0, or fewer than 4
// bytes, give the stored form H = -Length followed by the bytes; an empty source gives H = 0 alone.
// When the compressed data would be longer than the source, the stored form is produced instead.
// A null SourceBytes raises EZemError; a Length above 2^31 - 1 raises EIntOverflow.
TPackedBlock G_Deflate(const void* SourceBytes, std::size_t Length, int Level, std::size_t SpaceBefore = 0,
                       std::size_t SpaceAfter = 0);

// Block counts of one unpacking, for tests and diagnostics.
struct TInflateStats {
    int StoredBlocks = 0;
    int FixedBlocks = 0;
    int DynamicBlocks = 0;
};

// Unpacks the packed block of PackedLength bytes at SourceBytes. Returns the unpacked length (H, or -H for
// a stored block). With a null DestinationBytes it only returns that length; otherwise it writes exactly
// that many bytes there, so the caller sizes the destination from the first call.
//
// The length is checked against what the packed data could possibly produce (see ZemInflate.cpp) before
// it is returned. That bound is loose (the longest match makes 2 MB out of 25 bits), so a caller that does
// not know the length to expect should use the whole-buffer form below, whose buffer grows only as the
// data produces bytes. Damaged or hostile data raises EInputFault (ZemInputCheck.h) with the code PastEnd
// when the data ends too early, or Damaged when it cannot be valid; the caller chooses what the user reads.
// A null SourceBytes raises the missing-parameter error.
std::size_t G_Inflate(const void* SourceBytes, std::size_t PackedLength, void* DestinationBytes = nullptr,
                      TInflateStats* Stats = nullptr);

// Whole buffers in, whole buffers out. The unpacked buffer starts at most about 1000 times the size of the
// packed data and grows as the data actually produces bytes, so a length claimed by the header but not
// backed by data fails before it is allocated in full. A length above MaxLength raises EInputFault with
// the code TooLarge before anything is allocated.
TPackedBlock G_Deflate(std::span<const std::uint8_t> Source, int Level);
std::vector<std::uint8_t> G_Inflate(std::span<const std::uint8_t> Packed, std::size_t MaxLength = SIZE_MAX);

} // namespace zem
