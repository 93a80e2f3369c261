#pragma once
// The unpacker's decode tables: what one table entry holds, and how the tables of a canonical code are
// built. ZemInflate.cpp reads them.
#include <array>
#include <cstdint>

#include "persistence/ZemCodecFormat.h"

namespace zem {

namespace codec {

// Entry (32 bits), everything one symbol needs after a single look-up: bits 0..7 the bits the entry
// consumes in all, its code bits plus the extra bits that follow (for a link: the primary index bits),
// bits 8..11 the code bits alone (for a link: the index bits of its second-level table), bits 12..29 the
// value (literal byte, base length, base distance, code-length symbol, or the start of the second-level
// table). Bit 31 marks a literal, so that the commonest test is a sign test; bit 30 marks what is
// neither a literal nor a plain length or distance: a link (its value is not 0), the long match and bits
// of no code (value 0). The fast loop takes a code and its extra bits with one shift and reads the extra
// bits from the buffer as it was before.

inline constexpr std::uint32_t kLiteralFlag = 1u << 31;
inline constexpr std::uint32_t kExceptionalFlag = 1u << 30;
inline constexpr int kCodeBitsShift = 8;
inline constexpr int kValueShift = 12;

constexpr std::uint32_t MakeEntry(std::uint32_t Extra, std::uint32_t Value, std::uint32_t Flags = 0) {
    return Extra | (Value << kValueShift) | Flags;
}
// The entry of a symbol whose code has CodeBits bits (Symbol as made above, with its extra bits).
constexpr std::uint32_t WithCode(std::uint32_t Symbol, std::uint32_t CodeBits) {
    return Symbol + CodeBits + (CodeBits << kCodeBitsShift);
}
// Bits the entry consumes; below 64, so the low byte is the count itself.
constexpr unsigned EntryBits(std::uint32_t E) {
    return E & 63;
}
constexpr unsigned EntryCodeBits(std::uint32_t E) {
    return (E >> kCodeBitsShift) & 15;
}
constexpr unsigned EntryExtra(std::uint32_t E) {
    return EntryBits(E) - EntryCodeBits(E);
}
constexpr std::uint32_t EntryValue(std::uint32_t E) {
    return (E >> kValueShift) & 0x3FFFF;
}
constexpr bool IsLiteral(std::uint32_t E) {
    return static_cast<std::int32_t>(E) < 0;
}
constexpr bool IsExceptional(std::uint32_t E) {
    return (E & kExceptionalFlag) != 0;
}
// Of the exceptional entries.
constexpr bool IsLink(std::uint32_t E) {
    return EntryValue(E) != 0;
}

inline constexpr std::uint32_t kInvalidEntry = kExceptionalFlag;

inline constexpr int kLitPrimaryBits = 11;
inline constexpr int kDistPrimaryBits = 9;
inline constexpr int kCodeLengthPrimaryBits = kMaxCodeLengthBits; // one level: codes are at most 7 bits

// Room for a primary table and the second-level tables: at most one per symbol, each of at most
// 2^(15 - primary bits) entries.
constexpr int TableRoom(int PrimaryBits, int Symbols) {
    return (1 << PrimaryBits) + Symbols * (1 << (15 - PrimaryBits));
}

// What each symbol decodes to, without its code bits.
constexpr std::array<std::uint32_t, kLitLenSymbols> MakeLitLenEntries() {
    std::array<std::uint32_t, kLitLenSymbols> E{};
    for (int s = 0; s < kFirstLengthSymbol; ++s)
        E[s] = MakeEntry(0, static_cast<std::uint32_t>(s), kLiteralFlag);
    for (int s = kFirstLengthSymbol; s < kFirstExtraLengthSymbol; ++s)
        E[s] = MakeEntry(0, static_cast<std::uint32_t>(s - kShortLengthBias));
    for (int s = kFirstExtraLengthSymbol; s < kLongMatchSymbol; ++s)
        E[s] = MakeEntry(kLengthExtraBits[s - kFirstExtraLengthSymbol],
                         kLengthBase[s - kFirstExtraLengthSymbol]);
    E[kLongMatchSymbol] = MakeEntry(0, 0, kExceptionalFlag);
    return E;
}
constexpr std::array<std::uint32_t, kDistanceSymbols> MakeDistanceEntries() {
    std::array<std::uint32_t, kDistanceSymbols> E{};
    for (int k = 0; k < kDistanceSymbols; ++k)
        E[k] = MakeEntry(kDistanceExtraBits[k], kDistanceBase[k]);
    return E;
}
constexpr std::array<std::uint32_t, kCodeLengthSymbols> MakeCodeLengthEntries() {
    std::array<std::uint32_t, kCodeLengthSymbols> E{};
    for (int s = 0; s < kCodeLengthSymbols; ++s)
        E[s] = MakeEntry(0, static_cast<std::uint32_t>(s), kLiteralFlag);
    return E;
}
inline constexpr auto kLitLenEntries = MakeLitLenEntries();
inline constexpr auto kDistanceEntries = MakeDistanceEntries();
inline constexpr auto kCodeLengthEntries = MakeCodeLengthEntries();

// A decode table in use: its entries and the width of its primary index.
struct TCode {
    const std::uint32_t* Table;
    unsigned PrimaryBits;
};

// Builds the decode table of a canonical code from its lengths (each at most 15). An over-subscribed set
// of lengths is damage; an incomplete one is accepted, its unused bit patterns decode as invalid.
//
// Blocks are short (8192 symbols), so this runs often and touches only the symbols in use: they are
// sorted by length (canonical order), and the primary table grows by doubling, each length's codes
// written once into a table as wide as that length, which the next doubling replicates. Entries that
// no code reaches keep the invalid entry the table starts from.
void BuildDecodeTable(const std::uint8_t* Lengths, int Count, const std::uint32_t* SymbolEntries,
                      int PrimaryBits, std::uint32_t* Table);

struct TFixedTables {
    std::array<std::uint32_t, 1 << kLitPrimaryBits> LitLen;
    std::array<std::uint32_t, 1 << kDistPrimaryBits> Distance;
};

// The fixed block's tables, built once and only read afterwards.
const TFixedTables& FixedTables();

} // namespace codec

} // namespace zem
