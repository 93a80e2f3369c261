#pragma once
// Little-endian integers in byte buffers: every multi-byte value of the map files is stored this way.
#include <bit>
#include <cstdint>
#include <cstring>

namespace zem {

inline std::uint32_t LoadLE32(const std::uint8_t* P) {
    return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
           static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

// Eight bytes in one unaligned load.
inline std::uint64_t LoadLE64(const std::uint8_t* P) {
    std::uint64_t V;
    std::memcpy(&V, P, 8);
    if constexpr (std::endian::native == std::endian::big)
        V = __builtin_bswap64(V);
    return V;
}

// Eight bytes in one unaligned store.
inline void StoreLE64(std::uint8_t* P, std::uint64_t V) {
    if constexpr (std::endian::native == std::endian::big)
        V = __builtin_bswap64(V);
    std::memcpy(P, &V, 8);
}

inline void StoreLE32(std::uint8_t* P, std::uint32_t V) {
    P[0] = static_cast<std::uint8_t>(V);
    P[1] = static_cast<std::uint8_t>(V >> 8);
    P[2] = static_cast<std::uint8_t>(V >> 16);
    P[3] = static_cast<std::uint8_t>(V >> 24);
}

} // namespace zem
