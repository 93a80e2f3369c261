#pragma once
// Buffer rules of the persistence layer: zeroing of buffers that held map data, and the capacity rules
// the binary writer shares with the integer containers.
#include <cstddef>
#include <cstdint>

namespace zem {

// Overwrites Size bytes at Data with zeros in a way the compiler may not drop, even right before the
// memory is released.
void SecureZero(void* Data, std::size_t Size);

// The rounding rule of a requested size n: n <= 16 -> 16, <= 64 -> 64, <= 256 -> 256, <= 1024 -> 1024,
// larger -> the smallest power of two >= n.
std::int64_t RoundCapacity(std::int64_t N);

// The growth rule applied to a full capacity k: 0..5 -> 16, 6..53 -> 64, 54..245 -> 256, 246..1013 -> 1024,
// 1014 and more -> the smallest power of two greater than k + 10.
std::int64_t GrowCapacity(std::int64_t K);

} // namespace zem
