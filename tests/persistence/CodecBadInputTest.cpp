// Damaged and hostile packed blocks end in an error with a fault code that says what is wrong, never in a
// crash, a hang or an allocation the data could not justify.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/ZemErrors.h"
#include "base/ZemInputCheck.h"
#include "persistence/CodecTestFormat.h"
#include "persistence/MemoryLimit.h"
#include "persistence/ZemCodec.h"

using namespace zem;

using codectest::Fixed;
using codectest::FixedHeader;
using codectest::TBits;

namespace {

using zem::TInputFault;
constexpr TInputFault kPastEnd = TInputFault::PastEnd;
constexpr TInputFault kDamaged = TInputFault::Damaged;
constexpr std::nullopt_t kUnpacks = std::nullopt;

// The fault G_Inflate reports, or none when it unpacks the block.
std::optional<TInputFault> InflateError(const std::vector<std::uint8_t>& Packed) {
    try {
        zem::G_Inflate(Packed);
        return std::nullopt;
    } catch (const zem::EInputFault& E) {
        return E.Fault();
    }
}

// What the test's own slow decoder finds wrong, or "".
std::string SlowError(const std::vector<std::uint8_t>& Packed) {
    try {
        codectest::SlowDecode(Packed);
        return "";
    } catch (const std::runtime_error& E) {
        return E.what();
    }
}

// A dynamic block header whose code-length code gives every symbol in Symbols 5 bits (at most 32 of
// them: the code may be incomplete), in the permuted order up to the last one used.
std::vector<int> CodeLengthCode(TBits& B, const std::vector<int>& Symbols, int Bits = 5) {
    std::vector<int> CL(20, 0);
    for (int S : Symbols)
        CL[S] = Bits;
    int Count = 5;
    for (int i = 0; i < 20; ++i)
        if (CL[codectest::kCodeLengthOrder[i]] != 0)
            Count = std::max(Count, i + 1);
    B.Bit(1);
    B.Value(static_cast<std::uint32_t>(Count - 5), 4);
    for (int i = 0; i < Count; ++i)
        B.Value(static_cast<std::uint32_t>(CL[codectest::kCodeLengthOrder[i]]), 3);
    return CL;
}

} // namespace

TEST(CodecBadInput, ShortOrMissingHeaders) {
    EXPECT_EQ(InflateError({}), kPastEnd);
    EXPECT_EQ(InflateError({1, 0, 0}), kPastEnd);
    EXPECT_EQ(InflateError({0xFB, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}), kPastEnd); // stored 5, only 4 follow
    EXPECT_EQ(InflateError({0, 0, 0, 0x80}), kPastEnd);                      // stored 2^31
    EXPECT_EQ(InflateError({0xFC, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}), kUnpacks);
    EXPECT_EQ(InflateError({1, 0, 0, 0}), kPastEnd); // one byte to make from nothing
}

TEST(CodecBadInput, ALengthTheDataCouldNotProduceIsRefusedBeforeAnyAllocation) {
    // 25 bits make at most one longest match (2,097,296 bytes): H is bounded by bits * 2097296 / 25.
    std::vector<std::uint8_t> Packed = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0};
    try {
        zem::G_Inflate(Packed.data(), Packed.size());
        FAIL();
    } catch (const zem::EInputFault& E) {
        EXPECT_EQ(E.Fault(), kPastEnd);
    }
    const std::uint32_t Bound = 48ull * 2097296 / 25; // six bytes of data
    for (std::uint32_t H : {Bound, Bound + 1}) {
        for (int k = 0; k < 4; ++k)
            Packed[k] = static_cast<std::uint8_t>(H >> (8 * k));
        if (H == Bound)
            EXPECT_EQ(zem::G_Inflate(Packed.data(), Packed.size()), Bound);
        else
            EXPECT_THROW(zem::G_Inflate(Packed.data(), Packed.size()), zem::EInputFault);
    }
}

TEST(CodecBadInput, AClaimedLengthIsNotAllocatedBeforeTheDataProducesIt) {
    // H = 2^31 - 1 passes the bound with these 3,400 bytes, which make about 20 KB: a literal, then zero
    // bits, each 13 a fixed-block match of 3 bytes at distance 1, until the data ends.
    TBits B;
    FixedHeader(B);
    Fixed(B, 0);
    std::vector<std::uint8_t> Packed = B.Packed(INT32_MAX);
    Packed.resize(Packed.size() + 3400, 0);
    ASSERT_EQ(zem::G_Inflate(Packed.data(), Packed.size()), std::size_t{INT32_MAX});
    memtest::ExpectWithin(256 << 20, [&] { return InflateError(Packed) == kPastEnd; });
}

TEST(CodecBadInput, ALengthAboveTheCallersCeilingIsRefusedFirst) {
    TBits B;
    FixedHeader(B);
    Fixed(B, 'x');
    try {
        zem::G_Inflate(B.Packed(2), 1);
        FAIL();
    } catch (const zem::EInputFault& E) {
        EXPECT_EQ(E.Fault(), TInputFault::TooLarge);
    }
    EXPECT_EQ(InflateError(B.Packed(1)), kUnpacks);
}

TEST(CodecBadInput, TheLongestMatchesReachTheBound) {
    // A dynamic block whose only literal/length symbols are 'a' and 286 (1 bit each) and whose only
    // distance code is 0 (1 bit, incomplete): each longest match takes exactly 25 bits.
    TBits B;
    const std::vector<int> CL = CodeLengthCode(B, {0, 1, 19});
    const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
    auto Symbol = [&](int S) { B.Code(Codes[S], CL[S]); };
    B.Value(31, 5); // 287 lengths: 97 zeros, 1, 188 zeros, 1
    Symbol(0);
    Symbol(19);
    B.Value(96 - 17, 7); // 97 zeros: 0 then 96 repeats
    Symbol(1);           // 'a'
    Symbol(0);
    Symbol(19);
    B.Value(127, 7); // 144
    Symbol(19);
    B.Value(43 - 17, 7); // 43: 188 zeros in all
    Symbol(1);           // 286
    B.Value(0, 6);       // 1 distance length
    Symbol(1);
    B.Code(0, 1); // 'a' (code 0), then 286 (code 1)
    const int Matches = 20;
    for (int k = 0; k < Matches; ++k) {
        B.Code(1, 1);
        B.Value(127, 8);
        B.Value(127, 8);
        B.Value(127, 7);
        B.Code(0, 1);
    }
    const std::int64_t H = 1 + std::int64_t{Matches} * 2097296;
    const std::vector<std::uint8_t> Packed = B.Packed(static_cast<std::int32_t>(H));
    EXPECT_LE(H * 25, static_cast<std::int64_t>(Packed.size() - 4) * 8 * 2097296);
    const std::vector<std::uint8_t> Out = zem::G_Inflate(Packed);
    ASSERT_EQ(Out.size(), static_cast<std::size_t>(H));
    EXPECT_EQ(std::count(Out.begin(), Out.end(), 'a'), H);
}

TEST(CodecBadInput, TheWidestSymbolsAtTheEndOfAnExactBufferAreNotReadPast) {
    // A dynamic block of 14-bit codes only: 'a', 'b' and 286 for literal/length, distance codes 0 and 62
    // (16 extra bits). After a first long match fills 131,217 bytes, each step of two literals, a
    // three-group long match and a far distance takes 95 bits; a few literals follow, so that some wide
    // step starts at every bit position near the end. The block ends at the last byte of an exact-size
    // heap buffer, where AddressSanitizer sees any read past it.
    for (int Case = 0; Case < 64; ++Case) {
        const int Steps = 16 + Case % 8, Tail = Case / 8;
        SCOPED_TRACE(Case);
        TBits B;
        const std::vector<int> CL = CodeLengthCode(B, {0, 14}, 1);
        const std::vector<std::uint32_t> CLCodes = codectest::Canonical(CL);
        std::vector<int> LitLen(287, 0), Dist(63, 0);
        LitLen['a'] = LitLen['b'] = LitLen[286] = 14;
        Dist[0] = Dist[62] = 14;
        B.Value(31, 5);
        for (int L : LitLen)
            B.Code(CLCodes[L], CL[L]);
        B.Value(62, 6);
        for (int L : Dist)
            B.Code(CLCodes[L], CL[L]);
        const std::vector<std::uint32_t> LitCodes = codectest::Canonical(LitLen),
                                         DistCodes = codectest::Canonical(Dist);
        auto LongMatch = [&](std::uint32_t Last, int DistCode) {
            B.Code(LitCodes[286], 14);
            B.Value(0, 8);
            B.Value(0, 8);
            B.Value(Last, 7);
            B.Code(DistCodes[DistCode], 14);
            B.Value(0, codectest::DistanceExtra(DistCode));
        };
        B.Code(LitCodes['a'], 14);
        LongMatch(8, 0); // 145 + 8 x 16384 bytes at distance 1
        std::int64_t H = 1 + 145 + 8 * 16384;
        for (int k = 0; k < Steps; ++k) {
            B.Code(LitCodes['a'], 14);
            B.Code(LitCodes['b'], 14);
            LongMatch(0, 62); // 145 bytes at distance 131,073
            H += 2 + 145;
        }
        for (int k = 0; k < Tail; ++k)
            B.Code(LitCodes['a'], 14);
        H += Tail;
        const std::vector<std::uint8_t> Packed = B.Packed(static_cast<std::int32_t>(H));
        const auto Exact = std::make_unique_for_overwrite<std::uint8_t[]>(Packed.size());
        std::copy(Packed.begin(), Packed.end(), Exact.get());
        std::vector<std::uint8_t> Out(static_cast<std::size_t>(H));
        ASSERT_EQ(zem::G_Inflate(Exact.get(), Packed.size(), Out.data()), Out.size());
        EXPECT_EQ(Out[static_cast<std::size_t>(H) - 146 - Tail], 'b');
    }
}

TEST(CodecBadInput, EveryTruncationOfAValidBlockReadsPastTheEnd) {
    std::mt19937 R(3);
    std::vector<std::uint8_t> Data;
    while (Data.size() < 30000)
        Data.push_back(R() % 3 == 0 ? static_cast<std::uint8_t>(R())
                                    : static_cast<std::uint8_t>('a' + Data.size() % 7));
    for (int Level = 1; Level <= 4; ++Level) {
        const zem::TPackedBlock P = zem::G_Deflate(Data, Level);
        ASSERT_EQ(P.Memory[3] & 0x80, 0); // compressed
        for (std::size_t Cut = 0; Cut < P.PackedLength; Cut += Cut < 64 ? 1 : 97) {
            const std::vector<std::uint8_t> Short(P.Memory.begin(),
                                                  P.Memory.begin() + static_cast<std::ptrdiff_t>(Cut));
            EXPECT_EQ(InflateError(Short), kPastEnd) << "level " << Level << " cut at " << Cut;
        }
    }
}

TEST(CodecBadInput, OverSubscribedCodeLengthCode) {
    TBits B;
    B.Bit(1);
    B.Value(15, 4); // 20 code-length code lengths, all 1
    for (int i = 0; i < 20; ++i)
        B.Value(1, 3);
    B.Value(0, 32);
    EXPECT_EQ(InflateError(B.Packed(10)), kDamaged);
}

TEST(CodecBadInput, OverSubscribedLiteralLengthCode) {
    TBits B;
    const std::vector<int> CL = CodeLengthCode(B, {1, 19});
    const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
    B.Value(0, 5); // 256 lengths of 1
    B.Code(Codes[1], CL[1]);
    B.Code(Codes[19], CL[19]);
    B.Value(127, 7);
    B.Code(Codes[19], CL[19]);
    B.Value(111 - 17, 7);
    B.Value(0, 6);
    B.Code(Codes[1], CL[1]);
    B.Value(0, 32);
    EXPECT_EQ(InflateError(B.Packed(10)), kDamaged);
}

TEST(CodecBadInput, AnIncompleteCodeDecodesItsCodesAndRefusesTheOthers) {
    // Literal/length code: 'x' and 'y' with 2 bits (codes 00 and 01), nothing else.
    auto Block = [](std::uint32_t Second) {
        TBits B;
        const std::vector<int> CL = CodeLengthCode(B, {0, 2, 19});
        const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
        auto Symbol = [&](int S) { B.Code(Codes[S], CL[S]); };
        B.Value(0, 5); // 256 lengths: 120 zeros, 2, 2, 134 zeros
        Symbol(0);
        Symbol(19);
        B.Value(119 - 17, 7);
        Symbol(2);
        Symbol(2);
        Symbol(0);
        Symbol(19);
        B.Value(133 - 17, 7);
        B.Value(0, 6); // one distance length: 0
        Symbol(0);
        B.Code(0, 2); // 'x'
        B.Code(Second, 2);
        B.Value(0, 32);
        return B.Packed(2);
    };
    EXPECT_EQ(zem::G_Inflate(Block(1)), (std::vector<std::uint8_t>{'x', 'y'}));
    EXPECT_EQ(SlowError(Block(3)), "no such code");
    EXPECT_EQ(InflateError(Block(3)), kDamaged);
}

TEST(CodecBadInput, AMatchWithoutADistanceCodeIsDamage) {
    TBits B;
    const std::vector<int> CL = CodeLengthCode(B, {0, 1, 19});
    const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
    auto Symbol = [&](int S) { B.Code(Codes[S], CL[S]); };
    B.Value(1, 5); // 257 lengths: 'a' and 256 (length 3) with 1 bit
    Symbol(0);
    Symbol(19);
    B.Value(96 - 17, 7);
    Symbol(1);
    Symbol(0);
    Symbol(19);
    B.Value(0, 7); // 17
    Symbol(19);
    B.Value(140 - 17, 7); // 140: 158 zeros in all
    Symbol(1);
    B.Value(0, 6);
    Symbol(0); // no distance code at all
    B.Code(0, 1);
    B.Code(1, 1);
    B.Value(0, 32);
    EXPECT_EQ(SlowError(B.Packed(4)), "no such code");
    EXPECT_EQ(InflateError(B.Packed(4)), kDamaged);
}

TEST(CodecBadInput, ADistanceBeforeTheStartOfTheOutput) {
    TBits B;
    FixedHeader(B);
    Fixed(B, 'a');
    Fixed(B, 256); // length 3
    B.Value(1, 6); // distance 2, one byte written
    B.Value(0, 32);
    EXPECT_EQ(SlowError(B.Packed(4)), "bad match");
    EXPECT_EQ(InflateError(B.Packed(4)), kDamaged);
}

TEST(CodecBadInput, AMatchLongerThanTheOutputStillMissing) {
    TBits B;
    FixedHeader(B);
    Fixed(B, 'a');
    Fixed(B, 260); // length 7, 4 bytes missing
    B.Value(0, 6);
    B.Value(0, 32);
    EXPECT_EQ(SlowError(B.Packed(5)), "bad match");
    EXPECT_EQ(InflateError(B.Packed(5)), kDamaged);
}

TEST(CodecBadInput, ARunPastTheEndOfItsSequence) {
    TBits B;
    const std::vector<int> CL = CodeLengthCode(B, {2, 15, 19});
    const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
    auto Symbol = [&](int S) { B.Code(Codes[S], CL[S]); };
    B.Value(0, 5);
    Symbol(19);
    B.Value(127, 7);
    Symbol(19);
    B.Value(127, 7); // 288 > 256
    B.Value(0, 32);
    EXPECT_EQ(SlowError(B.Packed(4)), "run past the end");
    EXPECT_EQ(InflateError(B.Packed(4)), kDamaged);
}

TEST(CodecBadInput, ARepeatBeforeAnyLengthRepeatsTheInitialSeven) {
    // Not an error: the previous length starts at 7. Here symbols 0..3 get 7 bits through a repeat alone,
    // the others 0.
    TBits B;
    const std::vector<int> CL = CodeLengthCode(B, {0, 16, 19});
    const std::vector<std::uint32_t> Codes = codectest::Canonical(CL);
    auto Symbol = [&](int S) { B.Code(Codes[S], CL[S]); };
    B.Value(0, 5);
    Symbol(16); // 4 x 7: symbols 0..3
    B.Value(1, 1);
    Symbol(0);
    Symbol(19);
    B.Value(127, 7);
    Symbol(19);
    B.Value(107 - 17, 7); // 252 zeros in all
    B.Value(0, 6);
    Symbol(0);
    const std::vector<std::uint32_t> Lit = codectest::Canonical({7, 7, 7, 7});
    B.Code(Lit[2], 7);
    B.Code(Lit[0], 7);
    B.Code(Lit[3], 7);
    EXPECT_EQ(zem::G_Inflate(B.Packed(3)), (std::vector<std::uint8_t>{2, 0, 3}));
}

TEST(CodecBadInput, RandomDamageNeverCrashes) {
    std::mt19937 R(17);
    std::vector<std::uint8_t> Data;
    while (Data.size() < 40000)
        Data.push_back(R() % 4 == 0 ? static_cast<std::uint8_t>(R())
                                    : static_cast<std::uint8_t>('k' + Data.size() % 5));
    int Errors = 0;
    for (int Level = 1; Level <= 4; ++Level) {
        const zem::TPackedBlock P = zem::G_Deflate(Data, Level);
        for (int Trial = 0; Trial < 300; ++Trial) {
            std::vector<std::uint8_t> Bad = P.Memory;
            for (int k = 0, n = 1 + static_cast<int>(R() % 4); k < n; ++k)
                Bad[4 + R() % (Bad.size() - 4)] ^= static_cast<std::uint8_t>(1u << (R() % 8));
            const std::optional<TInputFault> E = InflateError(Bad);
            if (E) {
                EXPECT_TRUE(E == kPastEnd || E == kDamaged) << static_cast<int>(*E);
                ++Errors;
            }
        }
    }
    EXPECT_GT(Errors, 0);
}

// Stored blocks at every bit offset: a fixed block of 8192 literals, n of them with 7-bit codes and the
// rest with 8-bit ones, leaves the stream n + 2 bits past a byte boundary; two stored blocks follow, each
// moving the offset on by two bits. The bytes come out whole, into a caller's buffer and a growing one,
// and every cut of the data ends in PastEnd.
TEST(CodecBadInput, StoredBlocksAtEveryBitOffsetAreCopiedAndCutsStopAtTheirEnd) {
    std::mt19937 R(8);
    for (int n = 0; n < 8; ++n) {
        TBits B;
        std::vector<std::uint8_t> Expected;
        FixedHeader(B);
        for (int k = 0; k < 8192; ++k) {
            const int Symbol = k < n ? 0 : 'a';
            Fixed(B, Symbol);
            Expected.push_back(static_cast<std::uint8_t>(Symbol));
        }
        for (int Block = 0; Block < 2; ++Block) {
            const std::uint32_t V = R() % 256;
            B.Bit(0);
            B.Bit(0);
            B.Value(V, 8);
            // The last block stops early, when the output is complete.
            const std::uint32_t Bytes = 8192 + V - (Block == 1 ? R() % 100 : 0);
            for (std::uint32_t k = 0; k < Bytes; ++k) {
                Expected.push_back(static_cast<std::uint8_t>(R()));
                B.Value(Expected.back(), 8);
            }
        }
        const std::vector<std::uint8_t> P = B.Packed(static_cast<std::int32_t>(Expected.size()));
        EXPECT_EQ(zem::G_Inflate(P), Expected) << "offset " << n + 2;
        std::vector<std::uint8_t> Out(Expected.size());
        zem::G_Inflate(P.data(), P.size(), Out.data());
        EXPECT_EQ(Out, Expected) << "offset " << n + 2;
        // Cuts inside the stored bytes, down to the last byte they need.
        for (std::size_t Cut : {P.size() - 1, P.size() - 9, P.size() - 2000, P.size() - 9000})
            EXPECT_EQ(InflateError(
                          std::vector<std::uint8_t>(P.begin(), P.begin() + static_cast<std::ptrdiff_t>(Cut))),
                      kPastEnd)
                << "offset " << n + 2 << " cut at " << Cut;
    }
}
