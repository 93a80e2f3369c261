// Building the decode tables of canonical codes.
#include "persistence/ZemDecodeTable.h"

#include <algorithm>
#include <cstring>

#include "base/ZemInputCheck.h"
#include "persistence/ZemHuffman.h"

namespace zem {

namespace codec {

// Builds the decode table of a canonical code from its lengths (each at most 15). An over-subscribed set
// of lengths is damage; an incomplete one is accepted, its unused bit patterns decode as invalid.
//
// Blocks are short (8192 symbols), so this runs often and touches only the symbols in use: they are
// sorted by length (canonical order), and the primary table grows by doubling, each length's codes
// written once into a table as wide as that length, which the next doubling replicates. Entries that
// no code reaches keep the invalid entry the table starts from.
void BuildDecodeTable(const std::uint8_t* Lengths, int Count, const std::uint32_t* SymbolEntries,
                      int PrimaryBits, std::uint32_t* Table) {
    // Counted in four interleaved parts: neighbouring symbols mostly share a length, and one count would
    // wait for its own last update at every symbol.
    std::array<std::array<int, 16>, 4> Parts{};
    for (int s = 0; s < Count; ++s)
        ++Parts[s % 4][Lengths[s]];
    std::array<int, 16> LengthCount;
    for (int L = 0; L < 16; ++L)
        LengthCount[L] = Parts[0][L] + Parts[1][L] + Parts[2][L] + Parts[3][L];
    std::array<int, 16> Position{};
    int Left = 1, MaxLength = 0, InUse = 0;
    for (int L = 1; L < 16; ++L) {
        Left = 2 * Left - LengthCount[L];
        CheckInput(Left >= 0, TInputFault::Damaged); // over-subscribed
        if (LengthCount[L] != 0)
            MaxLength = L;
        Position[L] = InUse;
        InUse += LengthCount[L];
    }
    std::array<std::uint16_t, kLitLenSymbols> Sorted;
    for (int s = 0; s < Count; ++s)
        if (Lengths[s] != 0)
            Sorted[static_cast<std::size_t>(Position[Lengths[s]]++)] = static_cast<std::uint16_t>(s);

    int k = 0;              // next symbol of Sorted
    std::uint32_t Code = 0; // its canonical code
    Table[0] = kInvalidEntry;
    for (int L = 1; L <= PrimaryBits; ++L, Code <<= 1) {
        const std::uint32_t Half = 1u << (L - 1);
        if (Half < 4)
            std::copy(Table, Table + Half, Table + Half);
        else
            for (std::uint32_t i = 0; i < Half; i += 4)
                std::memcpy(Table + Half + i, Table + i, 16);
        for (const int End = k + LengthCount[L]; k < End; ++k, ++Code)
            Table[ReverseBits(Code, L)] = WithCode(SymbolEntries[Sorted[k]], static_cast<std::uint32_t>(L));
    }
    if (MaxLength <= PrimaryBits)
        return;
    // Longer codes go to second-level tables, one per primary prefix. In canonical order (by length, then
    // symbol) the codes of a prefix come one after the other.
    const bool Complete = Left == 0;
    const std::uint32_t PrimarySize = 1u << PrimaryBits;
    const unsigned SubBits = static_cast<unsigned>(MaxLength - PrimaryBits);
    std::uint32_t Used = PrimarySize;
    std::uint32_t Prefix = PrimarySize; // none yet
    std::uint32_t* Sub = nullptr;
    for (int L = PrimaryBits + 1; L <= MaxLength; ++L, Code <<= 1)
        for (const int End = k + LengthCount[L]; k < End; ++k, ++Code) {
            const std::uint32_t Reversed = ReverseBits(Code, L);
            if ((Reversed & (PrimarySize - 1)) != Prefix) {
                Prefix = Reversed & (PrimarySize - 1);
                Table[Prefix] = MakeEntry(static_cast<std::uint32_t>(PrimaryBits), Used, kExceptionalFlag) |
                                SubBits << kCodeBitsShift;
                Sub = Table + Used;
                if (!Complete)
                    std::fill(Sub, Sub + (1u << SubBits), kInvalidEntry);
                Used += 1u << SubBits;
            }
            const unsigned SubLength = static_cast<unsigned>(L - PrimaryBits);
            const std::uint32_t E = WithCode(SymbolEntries[Sorted[k]], SubLength);
            for (std::uint32_t i = Reversed >> PrimaryBits; i < (1u << SubBits); i += 1u << SubLength)
                Sub[i] = E;
        }
}

const TFixedTables& FixedTables() {
    static const TFixedTables Tables = [] {
        TFixedTables T;
        std::array<std::uint8_t, kLitLenSymbols> Lengths;
        for (int s = 0; s < kLitLenSymbols; ++s)
            Lengths[s] = static_cast<std::uint8_t>(FixedLitLenLength(s));
        BuildDecodeTable(Lengths.data(), kLitLenSymbols, kLitLenEntries.data(), kLitPrimaryBits,
                         T.LitLen.data());
        // The distance code of a fixed block is a plain 6-bit value, not a Huffman code; its table is
        // as wide as a dynamic block's, so that both are read alike.
        static_assert(kDistPrimaryBits >= kFixedDistanceBits);
        for (int i = 0; i < 1 << kDistPrimaryBits; ++i)
            T.Distance[i] = WithCode(kDistanceEntries[i % kDistanceSymbols], kFixedDistanceBits);
        return T;
    }();
    return Tables;
}

} // namespace codec

} // namespace zem
