#pragma once
// The packed-block format of the map files and the packer's constants, in one place. Every map file
// depends on these numbers byte for byte; the packer and the unpacker both take them from here.
//
// Packed block: a signed 32-bit little-endian header H, then either a bit stream (H > 0, H bytes when
// unpacked) or -H raw bytes (H <= 0). The bit stream is read from the least significant bit of each
// byte upwards; plain n-bit values are assembled least significant bit first, Huffman codes most
// significant bit first. It is a sequence of blocks and ends as soon as H bytes have been produced.
//
// Block header: 1 = dynamic; 0,1 = fixed; 0,0 = stored. A stored block holds min(8192 + v, bytes still
// missing) bytes, v read as 8 bits, the bytes read as 8-bit values without alignment. A fixed or dynamic
// block carries exactly 8192 symbols (the last one stops when the output is complete); there is no
// end-of-block symbol.
#include <array>
#include <cstdint>

namespace zem {

namespace codec {

// ---- Packed block -------------------------------------------------------------------------------

inline constexpr int kHeaderBytes = 4; // H

// ---- Blocks -------------------------------------------------------------------------------------

inline constexpr int kBlockSymbols = 8192; // symbols of a fixed or dynamic block
inline constexpr int kStoredBase = 8192;   // a stored block holds kStoredBase + v bytes
inline constexpr int kStoredCountBits = 8; // width of v
inline constexpr int kMaxStoredBlock = kStoredBase + (1 << kStoredCountBits) - 1; // 8447
inline constexpr int kStoredHeaderBits = 2 + kStoredCountBits;                    // 0,0 and v

// Block headers as values of the bits written (first bit read = least significant bit).
inline constexpr std::uint32_t kDynamicHeader = 1; // 1 bit: 1
inline constexpr std::uint32_t kFixedHeader = 2;   // 2 bits: 0 then 1
inline constexpr std::uint32_t kStoredHeader = 0;  // 2 bits: 0 then 0

// ---- Literal/length alphabet --------------------------------------------------------------------

inline constexpr int kLitLenSymbols = 287;     // 0..286
inline constexpr int kFirstLengthSymbol = 256; // 256..269: lengths 3..16 without extra bits
inline constexpr int kFirstExtraLengthSymbol = 270;
inline constexpr int kLongMatchSymbol = 286;
inline constexpr int kMinMatch = 3;
inline constexpr int kShortLengthBias = 253; // length = symbol - 253 for 256..269

// Symbols 270..285: extra bits and base lengths.
inline constexpr std::array<std::uint8_t, 16> kLengthExtraBits = {1, 1, 1, 1, 1, 1, 1, 1,
                                                                  2, 2, 2, 2, 3, 3, 4, 6};
inline constexpr std::array<std::uint16_t, 16> kLengthBase = {17, 19, 21, 23, 25, 27, 29, 31,
                                                              33, 37, 41, 45, 49, 57, 65, 81};
inline constexpr int kMaxTableLength = 81 + (1 << 6) - 1; // 144, the longest length of 270..285

// Symbol 286, the long match: groups g1 (8 bits), g2 (8 bits), g3 (7 bits) of 7 value bits each;
// bit 7 of g1 or g2 set means "no further group". length = 145 + v.
inline constexpr int kLongMatchBase = 145;
inline constexpr int kLongGroupBits = 8;
inline constexpr int kLongLastGroupBits = 7;
inline constexpr std::uint32_t kLongGroupStop = 0x80;
inline constexpr int kMaxMatch = kLongMatchBase + 127 + 127 * 128 + 127 * 16384; // 2,097,296

// The most output a stream can get out of its bits: a longest match coded with a 1-bit code for symbol
// 286, the three groups (8 + 8 + 7 bits) and a 1-bit distance code for distance 1 gives kMaxMatch bytes
// for 25 bits; nothing gives more per bit. So H can never exceed (bits of data) * kMaxMatch / 25.
inline constexpr int kMinBitsOfLongestMatch = 1 + 8 + 8 + 7 + 1;

// ---- Distances ----------------------------------------------------------------------------------

inline constexpr int kDistanceSymbols = 64;
inline constexpr int kFixedDistanceBits = 6; // a fixed block sends the distance code as 6 plain bits
inline constexpr int kMaxDistance = 262144;

// Codes 0..7 have no extra bits; from code 8 on, groups of four with 1..13 extra bits; then 60, 61 with
// 15 and 62, 63 with 16.
constexpr std::array<std::uint8_t, kDistanceSymbols> MakeDistanceExtraBits() {
    std::array<std::uint8_t, kDistanceSymbols> Extra{};
    for (int k = 8; k < 60; ++k)
        Extra[k] = static_cast<std::uint8_t>(1 + (k - 8) / 4);
    Extra[60] = Extra[61] = 15;
    Extra[62] = Extra[63] = 16;
    return Extra;
}
inline constexpr std::array<std::uint8_t, kDistanceSymbols> kDistanceExtraBits = MakeDistanceExtraBits();

// Base distance of code k: 1..8 for codes 0..7, then the base of k - 1 plus 2 to the extra bits of k - 1.
constexpr std::array<std::uint32_t, kDistanceSymbols> MakeDistanceBase() {
    std::array<std::uint32_t, kDistanceSymbols> Base{};
    for (int k = 0; k < 8; ++k)
        Base[k] = static_cast<std::uint32_t>(k + 1);
    for (int k = 8; k < kDistanceSymbols; ++k)
        Base[k] = Base[k - 1] + (1u << kDistanceExtraBits[k - 1]);
    return Base;
}
inline constexpr std::array<std::uint32_t, kDistanceSymbols> kDistanceBase = MakeDistanceBase();
static_assert(kDistanceBase[60] == 65537 && kDistanceBase[63] == 196609);
static_assert(kDistanceBase[63] + (1u << kDistanceExtraBits[63]) - 1 == kMaxDistance);

// ---- Huffman codes ------------------------------------------------------------------------------

inline constexpr int kMaxCodeBits = 14;      // literal/length and distance codes
inline constexpr int kMaxCodeLengthBits = 7; // the code-length code

// ---- Dynamic block descriptions -----------------------------------------------------------------

inline constexpr int kCodeLengthSymbols = 20;
inline constexpr std::array<std::uint8_t, kCodeLengthSymbols> kCodeLengthOrder = {
    9, 10, 8, 15, 7, 11, 0, 6, 16, 5, 12, 4, 17, 13, 3, 18, 19, 2, 1, 14};
inline constexpr int kCodeLengthCountBits = 4; // a: 5 + a code-length code lengths follow
inline constexpr int kMinCodeLengthCount = 5;
inline constexpr int kCodeLengthLengthBits = 3; // each of them
inline constexpr int kLitLenCountBits = 5;      // b: 256 + b literal/length code lengths
inline constexpr int kMinLitLenCount = 256;
inline constexpr int kDistanceCountBits = 6; // e: e + 1 distance code lengths
inline constexpr int kInitialPreviousLength = 7;

// Code-length symbols 0..14 are lengths; 15..19 repeat the previous length.
inline constexpr int kFirstRepeatSymbol = 15;
inline constexpr std::array<std::uint8_t, 5> kRepeatExtraBits = {0, 1, 2, 3, 7};
inline constexpr std::array<std::uint8_t, 5> kRepeatBase = {2, 3, 5, 9, 17};
inline constexpr int kMaxRepeat = 17 + 127; // 144

// Fixed literal/length code: symbol 0: 7 bits; 1..142: 8; 143..254: 9; 255: 8; 256..279: 7; 280..286: 8.
constexpr int FixedLitLenLength(int Symbol) {
    if (Symbol == 0)
        return 7;
    if (Symbol <= 142)
        return 8;
    if (Symbol <= 254)
        return 9;
    if (Symbol == 255)
        return 8;
    if (Symbol <= 279)
        return 7;
    return 8;
}

// ---- The packer ---------------------------------------------------------------------------------

struct TLevelParams {
    int HashEntries; // a power of two; the hash covers three bytes with HashShift bits each
    int Window;      // a power of two; candidates lie less than Window bytes back
    int ChainLimit;  // candidates looked at per search
    int HashShift;
};

inline constexpr int kMaxLevel = 4;
inline constexpr std::array<TLevelParams, kMaxLevel + 1> kLevels = {{
    {0, 0, 0, 0},            // 0: stored
    {4096, 8192, 2, 4},      // 1: "Очень быстрое сжатие"
    {32768, 65536, 8, 5},    // 2: "Быстрое сжатие"
    {262144, 262144, 32, 6}, // 3: "Нормальное сжатие"
    {262144, 262144, 64, 6}, // 4: "Максимальное сжатие"
}};

// First match: exactly three agreeing bytes count within this distance, exactly four within the next.
inline constexpr int kThreeByteMatchMaxDistance = 4096;
inline constexpr int kFourByteMatchMaxDistance = 65536;

// The lazy step is tried while the current match is shorter than this.
inline constexpr int kLazyMatchBelow = 32;

// A longer match that is one byte longer is taken at a distance up to kGainOneFreeDistance; beyond,
// only when the current distance is at least the threshold of the first row whose bound is not
// exceeded (the last row has no bound).
inline constexpr int kGainOneFreeDistance = 1024;
struct TGainRow {
    int MaxNewDistance;
    int MinCurrentDistance;
};
inline constexpr std::array<TGainRow, 8> kGainOneRows = {{
    {2048, 9},
    {4096, 17},
    {8192, 33},
    {16384, 65},
    {32768, 129},
    {65536, 257},
    {131072, 1025},
    {kMaxDistance, 2049},
}};
// Two bytes longer: free up to 65536; up to 131072 when the current distance exceeds 16; beyond,
// when it exceeds 32.
inline constexpr int kGainTwoFreeDistance = 65536;
inline constexpr int kGainTwoMidDistance = 131072;
inline constexpr int kGainTwoMidMinCurrent = 17;
inline constexpr int kGainTwoFarMinCurrent = 33;

} // namespace codec

} // namespace zem
