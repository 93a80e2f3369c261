#include "persistence/ZemBlockWriter.h"

#include <algorithm>
#include <bit>

#include "persistence/ZemHuffman.h"
#include "persistence/ZemMemory.h"

namespace zem {

namespace codec {

namespace {

struct TLengthCode {
    std::uint16_t Symbol;
    std::uint8_t ExtraBits;
    std::uint8_t Base;
};

// Symbol, extra bits and base of every length 3..144.
constexpr std::array<TLengthCode, kMaxTableLength + 1> MakeLengthCodes() {
    std::array<TLengthCode, kMaxTableLength + 1> Codes{};
    for (int L = kMinMatch; L < kLengthBase[0]; ++L)
        Codes[L] = {static_cast<std::uint16_t>(L + kShortLengthBias), 0, static_cast<std::uint8_t>(L)};
    for (int k = 0; k < 16; ++k)
        for (int L = kLengthBase[k]; L < kLengthBase[k] + (1 << kLengthExtraBits[k]); ++L)
            Codes[L] = {static_cast<std::uint16_t>(kFirstExtraLengthSymbol + k), kLengthExtraBits[k],
                        static_cast<std::uint8_t>(kLengthBase[k])};
    return Codes;
}
constexpr auto kLengthCodes = MakeLengthCodes();

// The distance code of a distance 1..262144.
inline unsigned DistanceCode(std::uint32_t Distance) {
    const std::uint32_t X = Distance - 1;
    if (X < 8)
        return X;
    if (X < 65536) {
        // Codes 8..59: groups of four with N = 1..13 extra bits, group N covering X in [2^(N+2), 2^(N+3)).
        const unsigned N = static_cast<unsigned>(std::bit_width(X)) - 3;
        return 8 + 4 * (N - 1) + ((X >> N) & 3);
    }
    if (X < 131072)
        return 60 + ((X - 65536) >> 15);
    return 62 + ((X - 131072) >> 16);
}

// The fixed code, ready to write.
struct TFixedCode {
    std::array<std::uint8_t, kLitLenSymbols> LitLenLengths;
    std::array<std::uint16_t, kLitLenSymbols> LitLenCodes;
    // A fixed block sends the distance code itself as 6 plain bits.
    std::array<std::uint8_t, kDistanceSymbols> DistanceLengths;
    std::array<std::uint16_t, kDistanceSymbols> DistanceCodes;
};

const TFixedCode& FixedCode() {
    static const TFixedCode Code = [] {
        TFixedCode C;
        for (int s = 0; s < kLitLenSymbols; ++s)
            C.LitLenLengths[s] = static_cast<std::uint8_t>(FixedLitLenLength(s));
        ReversedCanonicalCodes(C.LitLenLengths.data(), kLitLenSymbols, C.LitLenCodes.data());
        for (int k = 0; k < kDistanceSymbols; ++k) {
            C.DistanceLengths[k] = kFixedDistanceBits;
            C.DistanceCodes[k] = static_cast<std::uint16_t>(k);
        }
        return C;
    }();
    return Code;
}

} // namespace

TBlockWriter::TBlockWriter(const std::uint8_t* ASource, std::uint8_t* Out, std::size_t ALimit)
    : FSource(ASource), FLimit(ALimit), FBits(Out),
      FSymbols(std::make_unique_for_overwrite<TSymbol[]>(kBlockSymbols)) {}

TBlockWriter::~TBlockWriter() {
    SecureZero(FSymbols.get(), sizeof(TSymbol) * kBlockSymbols);
} // literals

void TBlockWriter::AddMatch(std::uint32_t Length, std::uint32_t Distance) {
    TSymbol& S = FSymbols[FCount++];
    if (Length <= static_cast<std::uint32_t>(kMaxTableLength)) {
        const TLengthCode& C = kLengthCodes[Length];
        S.LitLen = C.Symbol;
        S.LengthBits = C.ExtraBits;
        S.LengthExtra = Length - C.Base;
    } else {
        // Symbol 286: v = Length - 145 in groups of 7 bits, the last of the first two groups marked by bit 7.
        const std::uint32_t V = Length - kLongMatchBase;
        S.LitLen = kLongMatchSymbol;
        if (V < (1u << 7)) {
            S.LengthExtra = V | kLongGroupStop;
            S.LengthBits = kLongGroupBits;
        } else if (V < (1u << 14)) {
            S.LengthExtra = (V & 0x7F) | (((V >> 7) | kLongGroupStop) << 8);
            S.LengthBits = 2 * kLongGroupBits;
        } else {
            S.LengthExtra = (V & 0x7F) | (((V >> 7) & 0x7F) << 8) | ((V >> 14) << 16);
            S.LengthBits = 2 * kLongGroupBits + kLongLastGroupBits;
        }
    }
    const unsigned Code = DistanceCode(Distance);
    S.DistanceCode = static_cast<std::uint8_t>(Code);
    S.DistanceExtra = Distance - kDistanceBase[Code];
    ++FLitLenFreq[S.LitLen];
    ++FDistanceFreq[Code];
    FExtraBits += S.LengthBits + kDistanceExtraBits[Code];
    ++FMatches;
}

void TBlockWriter::Reset() {
    FCount = 0;
    FExtraBits = 0;
    FMatches = 0;
    FLitLenFreq.fill(0);
    FDistanceFreq.fill(0);
}

// Code lengths as code-length symbols: a run repeats the previous length (7 at the start), is at least
// 2 long and takes one symbol (2: 15, 3..4: 16, 5..8: 17, 9..16: 18, 17..144: 19); runs never pass the
// end of the sequence. Returns the number of symbols.
int TBlockWriter::RunLengthCode(const std::uint8_t* Lengths, int N, TRun* Runs) {
    int Out = 0;
    std::uint8_t Previous = kInitialPreviousLength;
    for (int i = 0; i < N;) {
        int Run = 0;
        while (i + Run < N && Lengths[i + Run] == Previous && Run < kMaxRepeat)
            ++Run;
        if (Run >= 2) {
            int k = 4;
            while (Run < kRepeatBase[k])
                --k;
            Runs[Out++] = {static_cast<std::uint8_t>(kFirstRepeatSymbol + k),
                           static_cast<std::uint8_t>(Run - kRepeatBase[k])};
            i += Run;
            continue;
        }
        Previous = Lengths[i++];
        Runs[Out++] = {Previous, 0};
    }
    return Out;
}

bool TBlockWriter::Flush(std::uint32_t BlockEnd) {
    if (FCount == 0)
        return true;
    const std::uint32_t Size = BlockEnd - FBlockStart;

    // The dynamic code and its description.
    std::array<std::uint8_t, kLitLenSymbols> LitLenLengths;
    std::array<std::uint8_t, kDistanceSymbols> DistanceLengths;
    BuildCodeLengths(FLitLenFreq.data(), kLitLenSymbols, kMaxCodeBits, LitLenLengths.data());
    BuildCodeLengths(FDistanceFreq.data(), kDistanceSymbols, kMaxCodeBits, DistanceLengths.data());
    int LitLenCount = kMinLitLenCount;
    for (int s = kLitLenSymbols - 1; s >= kMinLitLenCount; --s)
        if (LitLenLengths[s] != 0) {
            LitLenCount = s + 1;
            break;
        }
    int DistanceCount = 1;
    for (int k = kDistanceSymbols - 1; k > 0; --k)
        if (DistanceLengths[k] != 0) {
            DistanceCount = k + 1;
            break;
        }
    std::array<TRun, kLitLenSymbols + kDistanceSymbols> Runs;
    const int LitLenRuns = RunLengthCode(LitLenLengths.data(), LitLenCount, Runs.data());
    const int AllRuns =
        LitLenRuns + RunLengthCode(DistanceLengths.data(), DistanceCount, Runs.data() + LitLenRuns);
    std::array<std::uint32_t, kCodeLengthSymbols> CodeLengthFreq{};
    for (int r = 0; r < AllRuns; ++r)
        ++CodeLengthFreq[Runs[r].Symbol];
    std::array<std::uint8_t, kCodeLengthSymbols> CodeLengthLengths;
    BuildCodeLengths(CodeLengthFreq.data(), kCodeLengthSymbols, kMaxCodeLengthBits, CodeLengthLengths.data());
    // The code-length code's lengths go in the permuted order up to the last non-zero one, at least 6.
    int CodeLengthCount = kMinCodeLengthCount + 1;
    for (int k = kCodeLengthSymbols - 1; k >= CodeLengthCount; --k)
        if (CodeLengthLengths[kCodeLengthOrder[k]] != 0) {
            CodeLengthCount = k + 1;
            break;
        }

    // Sizes in bits without the extra bits of lengths and distances, which both forms share.
    std::uint64_t Dynamic = 1 + kCodeLengthCountBits + kCodeLengthLengthBits * CodeLengthCount +
                            kLitLenCountBits + kDistanceCountBits;
    for (int r = 0; r < AllRuns; ++r) {
        const int S = Runs[r].Symbol;
        Dynamic +=
            CodeLengthLengths[S] + (S >= kFirstRepeatSymbol ? kRepeatExtraBits[S - kFirstRepeatSymbol] : 0);
    }
    std::uint64_t Fixed = 2 + static_cast<std::uint64_t>(kFixedDistanceBits) * FMatches;
    for (int s = 0; s < kLitLenSymbols; ++s) {
        Dynamic += static_cast<std::uint64_t>(FLitLenFreq[s]) * LitLenLengths[s];
        Fixed += static_cast<std::uint64_t>(FLitLenFreq[s]) * FixedLitLenLength(s);
    }
    for (int k = 0; k < kDistanceSymbols; ++k)
        Dynamic += static_cast<std::uint64_t>(FDistanceFreq[k]) * DistanceLengths[k];

    const std::uint64_t StoredBits = 8ull * Size + kStoredHeaderBits;
    const bool Stored = Size <= static_cast<std::uint32_t>(kMaxStoredBlock) &&
                        std::min(Dynamic, Fixed) + FExtraBits >= StoredBits;
    const std::uint64_t BlockBits = Stored ? StoredBits : std::min(Dynamic, Fixed) + FExtraBits;
    if (FBits.BitCount() + BlockBits > 8ull * FLimit)
        return false;

    if (Stored) {
        WriteStored(Size);
    } else if (Fixed <= Dynamic) {
        const TFixedCode& Code = FixedCode();
        FBits.Put(kFixedHeader, 2);
        WriteSymbols(Code.LitLenLengths.data(), Code.LitLenCodes.data(), Code.DistanceLengths.data(),
                     Code.DistanceCodes.data());
    } else {
        std::array<std::uint16_t, kCodeLengthSymbols> CodeLengthCodes;
        ReversedCanonicalCodes(CodeLengthLengths.data(), kCodeLengthSymbols, CodeLengthCodes.data());
        std::array<std::uint16_t, kLitLenSymbols> LitLenCodes;
        ReversedCanonicalCodes(LitLenLengths.data(), kLitLenSymbols, LitLenCodes.data());
        std::array<std::uint16_t, kDistanceSymbols> DistanceCodes;
        ReversedCanonicalCodes(DistanceLengths.data(), kDistanceSymbols, DistanceCodes.data());

        FBits.Put(kDynamicHeader, 1);
        FBits.Put(static_cast<std::uint32_t>(CodeLengthCount - kMinCodeLengthCount), kCodeLengthCountBits);
        for (int k = 0; k < CodeLengthCount; ++k)
            FBits.Put(CodeLengthLengths[kCodeLengthOrder[k]], kCodeLengthLengthBits);
        auto PutRuns = [&](int From, int To) {
            for (int r = From; r < To; ++r) {
                const int S = Runs[r].Symbol;
                FBits.Put(CodeLengthCodes[S], CodeLengthLengths[S]);
                if (S >= kFirstRepeatSymbol)
                    FBits.Put(Runs[r].Extra, kRepeatExtraBits[S - kFirstRepeatSymbol]);
            }
        };
        FBits.Put(static_cast<std::uint32_t>(LitLenCount - kMinLitLenCount), kLitLenCountBits);
        PutRuns(0, LitLenRuns);
        FBits.Put(static_cast<std::uint32_t>(DistanceCount - 1), kDistanceCountBits);
        PutRuns(LitLenRuns, AllRuns);
        WriteSymbols(LitLenLengths.data(), LitLenCodes.data(), DistanceLengths.data(), DistanceCodes.data());
    }
    FBlockStart = BlockEnd;
    Reset();
    return true;
}

// Stored block: 0, 0, then v = size - 8192 (0 for a shorter last block) and the bytes, unaligned.
void TBlockWriter::WriteStored(std::uint32_t Size) {
    FBits.Put(kStoredHeader, 2);
    FBits.Put(Size > static_cast<std::uint32_t>(kStoredBase) ? Size - kStoredBase : 0, kStoredCountBits);
    const std::uint8_t* P = FSource + FBlockStart;
    std::uint32_t k = 0;
    for (; k + 4 <= Size; k += 4)
        FBits.Put(static_cast<std::uint32_t>(P[k]) | static_cast<std::uint32_t>(P[k + 1]) << 8 |
                      static_cast<std::uint32_t>(P[k + 2]) << 16 | static_cast<std::uint32_t>(P[k + 3]) << 24,
                  32);
    for (; k < Size; ++k)
        FBits.Put(P[k], 8);
}

void TBlockWriter::WriteSymbols(const std::uint8_t* LitLenLengths, const std::uint16_t* LitLenCodes,
                                const std::uint8_t* DistanceLengths, const std::uint16_t* DistanceCodes) {
    // A length symbol and its extra bits go in one put (at most 14 + 23 bits), a distance code and its
    // extra bits in another (at most 14 + 16).
    for (int i = 0; i < FCount; ++i) {
        const TSymbol& S = FSymbols[i];
        const unsigned LitLenLength = LitLenLengths[S.LitLen];
        if (S.LitLen < kFirstLengthSymbol) {
            FBits.Put(LitLenCodes[S.LitLen], LitLenLength);
            continue;
        }
        FBits.Put(LitLenCodes[S.LitLen] | static_cast<std::uint64_t>(S.LengthExtra) << LitLenLength,
                  LitLenLength + S.LengthBits);
        const unsigned Code = S.DistanceCode;
        FBits.Put(DistanceCodes[Code] | static_cast<std::uint64_t>(S.DistanceExtra) << DistanceLengths[Code],
                  DistanceLengths[Code] + kDistanceExtraBits[Code]);
    }
}

} // namespace codec

} // namespace zem
