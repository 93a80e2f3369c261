#pragma once
// Canonical Huffman codes for the codec: length-limited code construction (packer) and the canonical code
// assignment (packer and unpacker).
#include <array>
#include <cstdint>

namespace zem {

namespace codec {

// Code lengths for Count symbols with the frequencies Freq, none longer than MaxBits (Count <= 2^MaxBits).
// Symbols with frequency 0 get length 0. With two or more used symbols the code is complete; a single used
// symbol gets length 1 together with one unused companion symbol (the lowest other one), so that the code
// is complete too; with none, every length is 0.
void BuildCodeLengths(const std::uint32_t* Freq, int Count, int MaxBits, std::uint8_t* Lengths);

// The canonical codes of the lengths (count the codes of each length, next[1] = 0, next[k + 1] =
// (next[k] + count[k]) * 2, then the symbols in ascending order take next[len]++). Each code is returned
// bit-reversed, that is in the order its bits travel: the code's most significant bit first, read or
// written as the least significant bit of a little-endian bit stream. Lengths must be at most 15 and
// not over-subscribed.
void ReversedCanonicalCodes(const std::uint8_t* Lengths, int Count, std::uint16_t* Codes);

// The low Bits (at most 16) bits of Code in reverse order.
inline std::uint32_t ReverseBits(std::uint32_t Code, int Bits) {
    static constexpr auto kReversedBytes = [] {
        std::array<std::uint8_t, 256> T{};
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i)
                T[b] = static_cast<std::uint8_t>(T[b] | ((b >> i) & 1) << (7 - i));
        return T;
    }();
    const std::uint32_t R16 =
        static_cast<std::uint32_t>(kReversedBytes[Code & 0xFF]) << 8 | kReversedBytes[(Code >> 8) & 0xFF];
    return R16 >> (16 - Bits);
}

} // namespace codec

} // namespace zem
