// The unpacker. Why it is fast: the bit reader keeps up to 64 bits in a register and refills it with one
// unaligned 8-byte load that tops it up to at least 56 bits, so a whole literal, or a length with its
// extra bits, is decoded without looking at the input again; Huffman symbols are decoded by table, the
// next 11 (distances: 9) bits giving the symbol's kind, value, code length and extra-bit count in one
// 32-bit entry, with a small second-level table for the rare longer codes; and matches are copied eight
// bytes at a time (a run of one byte is a memset, short periods repeat an 8-byte pattern), falling back to
// single bytes only at the very end of the output.
//
// Every check of the untrusted packed data goes through CheckInput (ZemInputCheck.h).
#include "persistence/ZemCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemHuffman.h"
#include "persistence/ZemInputCheck.h"

namespace zem {
namespace {

using namespace codec;

// ---- Decode tables -------------------------------------------------------------------------------
//
// Entry (32 bits): bits 0..3 the code bits this entry consumes (for a link: the primary index bits),
// bits 4..8 the extra bits that follow the code (for a link: the index bits of its second-level table),
// bits 9..11 the kind, bits 12..31 the value (literal byte, base length, base distance, code-length
// symbol, or the start of the second-level table).

enum : std::uint32_t { ekLiteral = 0, ekLength = 1, ekLongMatch = 2, ekDistance = 3, ekLink = 4, ekInvalid = 5 };

constexpr std::uint32_t MakeEntry(std::uint32_t CodeBits, std::uint32_t Extra, std::uint32_t Kind,
                                  std::uint32_t Value) {
    return CodeBits | (Extra << 4) | (Kind << 9) | (Value << 12);
}
constexpr std::uint32_t EntryCodeBits(std::uint32_t E) { return E & 15; }
constexpr std::uint32_t EntryExtra(std::uint32_t E) { return (E >> 4) & 31; }
constexpr std::uint32_t EntryKind(std::uint32_t E) { return (E >> 9) & 7; }
constexpr std::uint32_t EntryValue(std::uint32_t E) { return E >> 12; }

constexpr std::uint32_t kInvalidEntry = MakeEntry(0, 0, ekInvalid, 0);

constexpr int kLitPrimaryBits = 11;
constexpr int kDistPrimaryBits = 9;
constexpr int kCodeLengthPrimaryBits = kMaxCodeLengthBits; // one level: codes are at most 7 bits

// Room for a primary table and the second-level tables: at most one per symbol, each of at most
// 2^(15 - primary bits) entries.
constexpr int TableRoom(int PrimaryBits, int Symbols) { return (1 << PrimaryBits) + Symbols * (1 << (15 - PrimaryBits)); }

// What each symbol decodes to, without its code bits.
constexpr std::array<std::uint32_t, kLitLenSymbols> MakeLitLenEntries() {
    std::array<std::uint32_t, kLitLenSymbols> E{};
    for (int s = 0; s < kFirstLengthSymbol; ++s)
        E[s] = MakeEntry(0, 0, ekLiteral, static_cast<std::uint32_t>(s));
    for (int s = kFirstLengthSymbol; s < kFirstExtraLengthSymbol; ++s)
        E[s] = MakeEntry(0, 0, ekLength, static_cast<std::uint32_t>(s - kShortLengthBias));
    for (int s = kFirstExtraLengthSymbol; s < kLongMatchSymbol; ++s)
        E[s] = MakeEntry(0, kLengthExtraBits[s - kFirstExtraLengthSymbol], ekLength,
                         kLengthBase[s - kFirstExtraLengthSymbol]);
    E[kLongMatchSymbol] = MakeEntry(0, 0, ekLongMatch, 0);
    return E;
}
constexpr std::array<std::uint32_t, kDistanceSymbols> MakeDistanceEntries() {
    std::array<std::uint32_t, kDistanceSymbols> E{};
    for (int k = 0; k < kDistanceSymbols; ++k)
        E[k] = MakeEntry(0, kDistanceExtraBits[k], ekDistance, kDistanceBase[k]);
    return E;
}
constexpr std::array<std::uint32_t, kCodeLengthSymbols> MakeCodeLengthEntries() {
    std::array<std::uint32_t, kCodeLengthSymbols> E{};
    for (int s = 0; s < kCodeLengthSymbols; ++s)
        E[s] = MakeEntry(0, 0, ekLiteral, static_cast<std::uint32_t>(s));
    return E;
}
constexpr auto kLitLenEntries = MakeLitLenEntries();
constexpr auto kDistanceEntries = MakeDistanceEntries();
constexpr auto kCodeLengthEntries = MakeCodeLengthEntries();

// A decode table in use: its entries and the width of its primary index.
struct TCode {
    const std::uint32_t* Table;
    unsigned PrimaryBits;
};

// Builds the decode table of a canonical code from its lengths (each at most 15). An over-subscribed set
// of lengths is damage; an incomplete one is accepted, its unused bit patterns decode as invalid.
void BuildDecodeTable(const std::uint8_t* Lengths, int Count, const std::uint32_t* SymbolEntries,
                      int PrimaryBits, std::uint32_t* Table) {
    std::array<int, 16> LengthCount{};
    for (int s = 0; s < Count; ++s)
        ++LengthCount[Lengths[s]];
    int Left = 1, MaxLength = 0;
    for (int L = 1; L < 16; ++L) {
        Left = 2 * Left - LengthCount[L];
        CheckInput(Left >= 0, TInputFault::Damaged); // over-subscribed
        if (LengthCount[L] != 0)
            MaxLength = L;
    }
    std::array<std::uint16_t, kLitLenSymbols> Codes;
    ReversedCanonicalCodes(Lengths, Count, Codes.data());

    const std::uint32_t PrimarySize = 1u << PrimaryBits;
    std::fill(Table, Table + PrimarySize, kInvalidEntry);
    const unsigned SubBits = MaxLength > PrimaryBits ? static_cast<unsigned>(MaxLength - PrimaryBits) : 0;
    std::uint32_t Used = PrimarySize;
    for (int s = 0; s < Count; ++s) {
        const unsigned L = Lengths[s];
        if (L == 0)
            continue;
        const std::uint32_t Code = Codes[s];
        if (L <= static_cast<unsigned>(PrimaryBits)) {
            const std::uint32_t E = SymbolEntries[s] | L;
            for (std::uint32_t i = Code; i < PrimarySize; i += 1u << L)
                Table[i] = E;
            continue;
        }
        std::uint32_t& Link = Table[Code & (PrimarySize - 1)];
        if (EntryKind(Link) != ekLink) {
            Link = MakeEntry(static_cast<std::uint32_t>(PrimaryBits), SubBits, ekLink, Used);
            std::fill(Table + Used, Table + Used + (1u << SubBits), kInvalidEntry);
            Used += 1u << SubBits;
        }
        std::uint32_t* Sub = Table + EntryValue(Link);
        const unsigned SubLength = L - static_cast<unsigned>(PrimaryBits);
        const std::uint32_t E = SymbolEntries[s] | SubLength;
        for (std::uint32_t i = Code >> PrimaryBits; i < (1u << SubBits); i += 1u << SubLength)
            Sub[i] = E;
    }
}

struct TFixedTables {
    std::array<std::uint32_t, 1 << kLitPrimaryBits> LitLen;
    std::array<std::uint32_t, 1 << kFixedDistanceBits> Distance;
};

// The fixed block's tables, built once and only read afterwards.
const TFixedTables& FixedTables() {
    static const TFixedTables Tables = [] {
        TFixedTables T;
        std::array<std::uint8_t, kLitLenSymbols> Lengths;
        for (int s = 0; s < kLitLenSymbols; ++s)
            Lengths[s] = static_cast<std::uint8_t>(FixedLitLenLength(s));
        BuildDecodeTable(Lengths.data(), kLitLenSymbols, kLitLenEntries.data(), kLitPrimaryBits, T.LitLen.data());
        // The distance code of a fixed block is a plain 6-bit value, not a Huffman code.
        for (int k = 0; k < kDistanceSymbols; ++k)
            T.Distance[k] = kDistanceEntries[k] | kFixedDistanceBits;
        return T;
    }();
    return Tables;
}

inline std::uint64_t Load64(const std::uint8_t* P) {
    std::uint64_t V;
    std::memcpy(&V, P, 8);
    if constexpr (std::endian::native == std::endian::big)
        V = __builtin_bswap64(V);
    return V;
}

inline std::int32_t Load32(const std::uint8_t* P) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
                                     static_cast<std::uint32_t>(P[2]) << 16 |
                                     static_cast<std::uint32_t>(P[3]) << 24);
}

// ---- The bit stream -----------------------------------------------------------------------------

// Decodes the bit stream In..InEnd into Out..OutEnd, which it fills exactly.
//
// Past the end of the input the reader appends zero bytes and counts their bits in Phantom; they sit
// above the real bits in the buffer, so the stream has read past its end exactly when Count < Phantom,
// which is checked after every symbol and every header field before anything read is acted upon.
void InflateBits(const std::uint8_t* In, const std::uint8_t* const InEnd, std::uint8_t* Out,
                 std::uint8_t* const OutEnd, TInflateStats* Stats) {
    std::uint8_t* const OutBegin = Out;
    std::uint64_t Bits = 0;
    unsigned Count = 0;
    unsigned Phantom = 0;

    // Tops the buffer up to at least 56 bits.
    auto Refill = [&]() {
        if (InEnd - In >= 8) [[likely]] {
            Bits |= Load64(In) << Count;
            In += (63 - Count) >> 3;
            Count |= 56;
        } else {
            while (Count < 56) {
                if (In < InEnd)
                    Bits |= static_cast<std::uint64_t>(*In++) << Count;
                else
                    Phantom += 8;
                Count += 8;
            }
        }
    };
    auto Take = [&](unsigned N) -> std::uint32_t {
        std::uint32_t V = static_cast<std::uint32_t>(Bits & ((std::uint64_t{1} << N) - 1));
        Bits >>= N;
        Count -= N;
        return V;
    };
    auto CheckNotPastEnd = [&]() { CheckInput(Count >= Phantom, TInputFault::PastEnd); };
    // Decodes one symbol of Code; at least kMaxCodeBits bits must be in the buffer.
    auto Decode = [&](const TCode& Code) -> std::uint32_t {
        std::uint32_t E = Code.Table[Bits & ((1u << Code.PrimaryBits) - 1)];
        if (EntryKind(E) == ekLink) [[unlikely]] {
            Bits >>= Code.PrimaryBits;
            Count -= Code.PrimaryBits;
            E = Code.Table[EntryValue(E) + (Bits & ((1u << EntryExtra(E)) - 1))];
        }
        if (EntryKind(E) == ekInvalid) [[unlikely]] {
            // No code has these bits. When the data ended before a longest code, the zeros that stand for
            // the missing bits may be the cause.
            CheckInput(static_cast<int>(Count) - static_cast<int>(Phantom) >= kMaxCodeBits, TInputFault::PastEnd);
            CheckInput(false, TInputFault::Damaged);
        }
        const unsigned N = EntryCodeBits(E);
        Bits >>= N;
        Count -= N;
        return E;
    };
    // Reads N code lengths coded with the code-length code; the previous length starts at 7.
    auto ReadLengths = [&](const TCode& CodeLengthCode, std::uint8_t* Lengths, int N) {
        int i = 0;
        std::uint8_t Previous = kInitialPreviousLength;
        while (i < N) {
            Refill();
            const std::uint32_t Symbol = EntryValue(Decode(CodeLengthCode));
            if (Symbol < kFirstRepeatSymbol) {
                CheckNotPastEnd();
                Previous = static_cast<std::uint8_t>(Symbol);
                Lengths[i++] = Previous;
                continue;
            }
            const int Repeat = kRepeatBase[Symbol - kFirstRepeatSymbol] +
                               static_cast<int>(Take(kRepeatExtraBits[Symbol - kFirstRepeatSymbol]));
            CheckNotPastEnd();
            CheckInput(Repeat <= N - i, TInputFault::Damaged); // a run past the end of the sequence
            std::memset(Lengths + i, Previous, static_cast<std::size_t>(Repeat));
            i += Repeat;
        }
    };

    std::array<std::uint32_t, TableRoom(kLitPrimaryBits, kLitLenSymbols)> LitLenTable;
    std::array<std::uint32_t, TableRoom(kDistPrimaryBits, kDistanceSymbols)> DistanceTable;
    std::array<std::uint32_t, 1 << kCodeLengthPrimaryBits> CodeLengthTable;
    const TFixedTables& Fixed = FixedTables();

    while (Out < OutEnd) {
        Refill();
        TCode LitLen, Distance;
        if (Take(1) == 1) {
            // Dynamic block: the code-length code, then the literal/length and distance code lengths.
            std::array<std::uint8_t, kCodeLengthSymbols> CodeLengthLengths{};
            const int CodeLengthCount = kMinCodeLengthCount + static_cast<int>(Take(kCodeLengthCountBits));
            for (int i = 0; i < CodeLengthCount; ++i) {
                Refill();
                CodeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(Take(kCodeLengthLengthBits));
            }
            CheckNotPastEnd();
            BuildDecodeTable(CodeLengthLengths.data(), kCodeLengthSymbols, kCodeLengthEntries.data(),
                             kCodeLengthPrimaryBits, CodeLengthTable.data());
            const TCode CodeLengthCode{CodeLengthTable.data(), kCodeLengthPrimaryBits};

            std::array<std::uint8_t, kLitLenSymbols> LitLenLengths{};
            Refill();
            const int LitLenCount = kMinLitLenCount + static_cast<int>(Take(kLitLenCountBits));
            ReadLengths(CodeLengthCode, LitLenLengths.data(), LitLenCount);

            std::array<std::uint8_t, kDistanceSymbols> DistanceLengths{};
            Refill();
            const int DistanceCount = 1 + static_cast<int>(Take(kDistanceCountBits));
            ReadLengths(CodeLengthCode, DistanceLengths.data(), DistanceCount);
            CheckNotPastEnd();

            BuildDecodeTable(LitLenLengths.data(), kLitLenSymbols, kLitLenEntries.data(), kLitPrimaryBits,
                             LitLenTable.data());
            BuildDecodeTable(DistanceLengths.data(), kDistanceSymbols, kDistanceEntries.data(), kDistPrimaryBits,
                             DistanceTable.data());
            LitLen = {LitLenTable.data(), kLitPrimaryBits};
            Distance = {DistanceTable.data(), kDistPrimaryBits};
            if (Stats)
                ++Stats->DynamicBlocks;
        } else if (Take(1) == 1) {
            LitLen = {Fixed.LitLen.data(), kLitPrimaryBits};
            Distance = {Fixed.Distance.data(), kFixedDistanceBits};
            CheckNotPastEnd();
            if (Stats)
                ++Stats->FixedBlocks;
        } else {
            // Stored block: its bytes follow at whatever bit position the stream has reached.
            const std::size_t Size =
                std::min<std::size_t>(kStoredBase + Take(kStoredCountBits), static_cast<std::size_t>(OutEnd - Out));
            CheckNotPastEnd();
            std::uint8_t* const End = Out + Size;
            while (Out < End) {
                Refill();
                for (int k = 0; k < 7 && Out < End; ++k) {
                    *Out++ = static_cast<std::uint8_t>(Bits);
                    Bits >>= 8;
                    Count -= 8;
                }
            }
            CheckNotPastEnd();
            if (Stats)
                ++Stats->StoredBlocks;
            continue;
        }

        int SymbolsLeft = kBlockSymbols;
        do {
            Refill();
            const std::uint32_t E = Decode(LitLen);
            if (EntryKind(E) == ekLiteral) [[likely]] {
                CheckNotPastEnd();
                *Out++ = static_cast<std::uint8_t>(EntryValue(E));
                continue;
            }
            std::uint32_t Length;
            if (EntryKind(E) == ekLength) {
                Length = EntryValue(E) + Take(EntryExtra(E));
            } else {
                // Symbol 286: groups of 7 bits, bit 7 of the first two marking the last group.
                std::uint32_t G = Take(kLongGroupBits);
                Length = G & 0x7F;
                if ((G & kLongGroupStop) == 0) {
                    G = Take(kLongGroupBits);
                    Length += (G & 0x7F) << 7;
                    if ((G & kLongGroupStop) == 0)
                        Length += Take(kLongLastGroupBits) << 14;
                }
                Length += kLongMatchBase;
            }
            Refill();
            const std::uint32_t D = Decode(Distance);
            const std::uint32_t Dist = EntryValue(D) + Take(EntryExtra(D));
            CheckNotPastEnd();
            CheckInput(Dist <= static_cast<std::size_t>(Out - OutBegin), TInputFault::Damaged);
            CheckInput(Length <= static_cast<std::size_t>(OutEnd - Out), TInputFault::Damaged);

            const std::uint8_t* Src = Out - Dist;
            std::uint8_t* const End = Out + Length;
            if (static_cast<std::size_t>(OutEnd - Out) >= Length + 8) [[likely]] {
                if (Dist >= 8) {
                    do {
                        std::memcpy(Out, Src, 8);
                        Out += 8;
                        Src += 8;
                    } while (Out < End);
                } else if (Dist == 1) {
                    std::memset(Out, *Src, Length);
                } else {
                    // A short period: an 8-byte pattern written every (largest multiple of the period <= 8).
                    std::uint8_t Pattern[8];
                    for (unsigned k = 0; k < 8; ++k)
                        Pattern[k] = Src[k % Dist];
                    const unsigned Step = 8 - 8 % Dist;
                    do {
                        std::memcpy(Out, Pattern, 8);
                        Out += Step;
                    } while (Out < End);
                }
                Out = End;
            } else {
                while (Out < End)
                    *Out++ = *Src++;
            }
        } while (--SymbolsLeft != 0 && Out < OutEnd);
    }
}

} // namespace

std::size_t G_Inflate(const void* SourceBytes, std::size_t PackedLength, void* DestinationBytes,
                      TInflateStats* Stats) {
    if (SourceBytes == nullptr)
        RaiseNilParameter("SourceBytes", "G_Inflate");
    const auto* Source = static_cast<const std::uint8_t*>(SourceBytes);
    CheckInput(PackedLength >= static_cast<std::size_t>(kHeaderBytes), TInputFault::PastEnd);
    const std::int32_t H = Load32(Source);
    const std::size_t DataLength = PackedLength - kHeaderBytes;
    if (H <= 0) {
        const std::size_t Size = static_cast<std::size_t>(-static_cast<std::int64_t>(H));
        CheckInput(Size <= DataLength, TInputFault::PastEnd);
        if (DestinationBytes != nullptr && Size != 0)
            std::memcpy(DestinationBytes, Source + kHeaderBytes, Size);
        return Size;
    }
    // The sound bound on H: no stream gets more than kMaxMatch bytes out of kMinBitsOfLongestMatch bits,
    // so H <= bits * kMaxMatch / kMinBitsOfLongestMatch, or the data must end before H bytes are made.
    const std::uint64_t Size = static_cast<std::uint32_t>(H);
    const std::uint64_t BitsNeeded = (Size * kMinBitsOfLongestMatch + kMaxMatch - 1) / kMaxMatch;
    CheckInput(DataLength >= BitsNeeded / 8 + (BitsNeeded % 8 != 0), TInputFault::PastEnd);
    if (DestinationBytes != nullptr) {
        auto* Out = static_cast<std::uint8_t*>(DestinationBytes);
        InflateBits(Source + kHeaderBytes, Source + PackedLength, Out, Out + Size, Stats);
    }
    return static_cast<std::size_t>(Size);
}

std::vector<std::uint8_t> G_Inflate(std::span<const std::uint8_t> Packed) {
    static const std::uint8_t Empty = 0;
    const std::uint8_t* Source = Packed.empty() ? &Empty : Packed.data();
    std::vector<std::uint8_t> Out(G_Inflate(Source, Packed.size()));
    G_Inflate(Source, Packed.size(), Out.data());
    return Out;
}

} // namespace zem
