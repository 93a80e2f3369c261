#pragma once
// Adler-32 (RFC 1950): two sums modulo 65521, the first starting at 1. The checksum of a frame.
#include <cstddef>
#include <cstdint>

namespace zem {

// The Adler-32 of Size bytes at Data, continuing from Adler (1 for a fresh checksum; an empty block
// gives 1).
std::uint32_t Adler32(const void* Data, std::size_t Size, std::uint32_t Adler = 1);

} // namespace zem
