// The unpacker against bit streams assembled here from the format description.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "persistence/CodecTestFormat.h"
#include "persistence/ZemCodec.h"

using namespace zem;

using codectest::Fixed;
using codectest::FixedHeader;
using codectest::TBits;

namespace {

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& Packed,
                                  zem::TInflateStats* Stats = nullptr) {
    std::vector<std::uint8_t> Out(zem::G_Inflate(Packed.data(), Packed.size()));
    zem::G_Inflate(Packed.data(), Packed.size(), Out.data(), Stats);
    return Out;
}

// Appends Length bytes copied from Distance back, one at a time.
void Copy(std::vector<std::uint8_t>& Out, std::size_t Distance, std::size_t Length) {
    for (std::size_t i = 0; i < Length; ++i)
        Out.push_back(Out[Out.size() - Distance]);
}

} // namespace

TEST(CodecStream, StoredBlockIsReadWithoutByteAlignment) {
    TBits B;
    B.Bit(0); // stored
    B.Bit(0);
    B.Value(0, 8); // v = 0: min(8192, 5) bytes
    const std::vector<std::uint8_t> Data = {0x01, 0xFF, 0x80, 0x7E, 0x33};
    for (std::uint8_t Byte : Data)
        B.Value(Byte, 8); // from bit 10 on: no byte boundary
    zem::TInflateStats Stats;
    EXPECT_EQ(Inflate(B.Packed(5), &Stats), Data);
    EXPECT_EQ(Stats.StoredBlocks, 1);
}

TEST(CodecStream, StoredBlockOf8192PlusVBytesIsFollowedByTheNextHeader) {
    TBits B;
    B.Bit(0);
    B.Bit(0);
    B.Value(3, 8); // 8195 bytes
    std::vector<std::uint8_t> Expected;
    for (int i = 0; i < 8195; ++i) {
        Expected.push_back(static_cast<std::uint8_t>(i * 7 + 1));
        B.Value(Expected.back(), 8);
    }
    FixedHeader(B);
    Fixed(B, 'x');
    Fixed(B, 'y');
    Expected.push_back('x');
    Expected.push_back('y');
    zem::TInflateStats Stats;
    EXPECT_EQ(Inflate(B.Packed(8197), &Stats), Expected);
    EXPECT_EQ(Stats.StoredBlocks, 1);
    EXPECT_EQ(Stats.FixedBlocks, 1);
}

TEST(CodecStream, StoredBlockStopsWhenTheOutputIsComplete) {
    TBits B;
    B.Bit(0);
    B.Bit(0);
    B.Value(200, 8); // 8392 bytes announced, 3 missing
    for (int i = 0; i < 3; ++i)
        B.Value(static_cast<std::uint32_t>('a' + i), 8);
    EXPECT_EQ(Inflate(B.Packed(3)), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
}

TEST(CodecStream, FixedBlockWithPlainSixBitDistances) {
    TBits B;
    FixedHeader(B);
    std::vector<std::uint8_t> Expected;
    for (char C : std::string("abc")) {
        Fixed(B, C);
        Expected.push_back(static_cast<std::uint8_t>(C));
    }
    Fixed(B, 259); // length 6
    B.Value(2, 6); // distance code 2: distance 3
    Copy(Expected, 3, 6);
    Fixed(B, 'd');
    Expected.push_back('d');
    Fixed(B, 270); // length 17 + 1 extra bit
    B.Value(1, 1);
    B.Value(8, 6); // distance code 8: base 9, 1 extra bit
    B.Value(1, 1); // distance 10
    Copy(Expected, 10, 18);
    Fixed(B, 285); // length 81 + 6 extra bits
    B.Value(63, 6);
    B.Value(12, 6); // code 12: base 17, 2 extra bits
    B.Value(3, 2);  // distance 20
    Copy(Expected, 20, 144);
    Fixed(B, 0);
    Fixed(B, 255);
    Fixed(B, 143);
    Expected.insert(Expected.end(), {0, 255, 143});
    zem::TInflateStats Stats;
    EXPECT_EQ(Inflate(B.Packed(static_cast<std::int32_t>(Expected.size())), &Stats), Expected);
    EXPECT_EQ(Stats.FixedBlocks, 1);
}

TEST(CodecStream, FarDistanceCodesUseTheirExtraBits) {
    // Distances past 65536 use the 15- and 16-bit codes 60..63.
    std::vector<std::uint8_t> Expected;
    TBits B;
    FixedHeader(B);
    for (int i = 0; i < 200000; ++i) {
        const int Symbol = (i * 37 + i / 256) % 256;
        Fixed(B, Symbol);
        Expected.push_back(static_cast<std::uint8_t>(Symbol));
        if (i % 8192 == 8191) // 8192 symbols a block
            FixedHeader(B);
    }
    // The last block holds 200000 % 8192 = 3392 literals so far; the matches follow in it.
    const struct {
        int Code;
        std::uint32_t Extra;
    } Far[] = {{60, 5}, {61, 32767}, {62, 100}, {63, 3}};
    for (const auto& F : Far) {
        Fixed(B, 256); // length 3
        B.Value(static_cast<std::uint32_t>(F.Code), 6);
        B.Value(F.Extra, codectest::DistanceExtra(F.Code));
        Copy(Expected, codectest::DistanceBase(F.Code) + F.Extra, 3);
    }
    EXPECT_EQ(codectest::DistanceBase(60), 65537u);
    EXPECT_EQ(codectest::DistanceBase(63), 196609u);
    EXPECT_EQ(Inflate(B.Packed(static_cast<std::int32_t>(Expected.size()))), Expected);
}

// Literal/length lengths 0..35: 7 (runs 19, 18, 17, 16, 15 of the initial previous length 7),
// 36..152: 8, 153..286: 9 (a complete code); distance lengths 1, 2, 3, 3.
TEST(CodecStream, DynamicBlockUsingEveryRepeatSymbol) {
    std::vector<int> CL(20, 0);
    CL[19] = 2;
    CL[8] = CL[9] = CL[1] = 3;
    CL[2] = CL[3] = CL[15] = CL[16] = CL[17] = CL[18] = 4;
    const std::vector<std::uint32_t> CLCodes = codectest::Canonical(CL);
    auto Symbol = [&](TBits& B, int S) { B.Code(CLCodes[S], CL[S]); };

    TBits B;
    B.Bit(1);       // dynamic
    B.Value(14, 4); // 19 code-length code lengths
    for (int i = 0; i < 19; ++i)
        B.Value(static_cast<std::uint32_t>(CL[codectest::kCodeLengthOrder[i]]), 3);
    B.Value(31, 5); // 287 literal/length lengths
    Symbol(B, 19);  // 17 x 7: a repeat before any length repeats the initial 7
    B.Value(0, 7);
    Symbol(B, 18); // 9 x 7
    B.Value(0, 3);
    Symbol(B, 17); // 5 x 7
    B.Value(0, 2);
    Symbol(B, 16); // 3 x 7
    B.Value(0, 1);
    Symbol(B, 15); // 2 x 7
    Symbol(B, 8);
    Symbol(B, 19); // 116 x 8
    B.Value(99, 7);
    Symbol(B, 9);
    Symbol(B, 19); // 133 x 9
    B.Value(116, 7);
    B.Value(3, 6); // 4 distance lengths
    Symbol(B, 1);
    Symbol(B, 2);
    Symbol(B, 3);
    Symbol(B, 3);

    std::vector<int> LitLen(287, 0);
    for (int s = 0; s < 287; ++s)
        LitLen[s] = s < 36 ? 7 : s < 153 ? 8 : 9;
    const std::vector<int> Dist = {1, 2, 3, 3};
    const std::vector<std::uint32_t> LitCodes = codectest::Canonical(LitLen),
                                     DistCodes = codectest::Canonical(Dist);
    auto Lit = [&](int S) { B.Code(LitCodes[S], LitLen[S]); };
    auto Distance = [&](int Code) { B.Code(DistCodes[Code], Dist[Code]); };

    std::vector<std::uint8_t> Expected;
    for (int S : {5, 65, 200}) {
        Lit(S);
        Expected.push_back(static_cast<std::uint8_t>(S));
    }
    Lit(256);    // length 3
    Distance(1); // distance 2
    Copy(Expected, 2, 3);
    Lit(286); // long match, one group: v = 0, length 145
    B.Value(0x80, 8);
    Distance(0);
    Copy(Expected, 1, 145);
    Lit(10);
    Expected.push_back(10);
    Lit(285); // 81 + 63 = 144
    B.Value(63, 6);
    Distance(3); // distance 4
    Copy(Expected, 4, 144);
    Lit(278); // 33 + 2 extra bits
    B.Value(2, 2);
    Distance(2); // distance 3
    Copy(Expected, 3, 35);

    zem::TInflateStats Stats;
    EXPECT_EQ(Inflate(B.Packed(static_cast<std::int32_t>(Expected.size())), &Stats), Expected);
    EXPECT_EQ(Stats.DynamicBlocks, 1);
}

TEST(CodecStream, BlockOfExactly8192SymbolsIsFollowedByANewHeader) {
    TBits B;
    std::vector<std::uint8_t> Expected;
    FixedHeader(B);
    for (int i = 0; i < 8192; ++i) {
        const int S = i % 251;
        Fixed(B, S);
        Expected.push_back(static_cast<std::uint8_t>(S));
    }
    // No end-of-block symbol: the next header follows at once, here a stored block, then a fixed one.
    B.Bit(0);
    B.Bit(0);
    B.Value(0, 8);
    for (int i = 0; i < 8192; ++i) {
        Expected.push_back(static_cast<std::uint8_t>(i >> 5));
        B.Value(Expected.back(), 8);
    }
    FixedHeader(B);
    Fixed(B, 'k');
    Expected.push_back('k');
    zem::TInflateStats Stats;
    EXPECT_EQ(Inflate(B.Packed(static_cast<std::int32_t>(Expected.size())), &Stats), Expected);
    EXPECT_EQ(Stats.FixedBlocks, 2);
    EXPECT_EQ(Stats.StoredBlocks, 1);
}

TEST(CodecStream, TheLastBlockStopsWhenTheOutputIsCompleteAndLeftoverBitsAreIgnored) {
    TBits B;
    FixedHeader(B);
    Fixed(B, 'a');
    Fixed(B, 'b');
    B.Value(0x5A5A5A, 24); // whatever follows
    EXPECT_EQ(Inflate(B.Packed(2)), (std::vector<std::uint8_t>{'a', 'b'}));
}

TEST(CodecStream, LongMatchLengthsOfOneTwoAndThreeGroups) {
    struct {
        std::uint32_t Length;
        std::vector<std::pair<std::uint32_t, int>> Groups;
    } const Cases[] = {
        {145 + 10, {{10 | 0x80, 8}}},
        {145 + 1000, {{1000 & 127, 8}, {(1000 >> 7) | 0x80, 8}}},
        {145 + 100000, {{100000 & 127, 8}, {(100000 >> 7) & 127, 8}, {100000 >> 14, 7}}},
        {2097296, {{127, 8}, {127, 8}, {127, 7}}}, // the longest
        {145 + 5, {{5, 8}, {0x80, 8}}},            // a second group adding nothing
    };
    TBits B;
    FixedHeader(B);
    Fixed(B, 'x');
    std::vector<std::uint8_t> Expected = {'x'};
    for (const auto& C : Cases) {
        Fixed(B, 286);
        for (const auto& [Value, Bits] : C.Groups)
            B.Value(Value, Bits);
        B.Value(0, 6); // distance 1
        Expected.insert(Expected.end(), C.Length, 'x');
    }
    Fixed(B, 'y');
    Expected.push_back('y');
    const std::vector<std::uint8_t> Out = Inflate(B.Packed(static_cast<std::int32_t>(Expected.size())));
    ASSERT_EQ(Out.size(), Expected.size());
    EXPECT_TRUE(Out == Expected);
}

TEST(CodecStream, ShortPeriodMatchesRepeatTheirPattern) {
    for (int Period = 1; Period <= 12; ++Period)
        for (int Length : {3, 7, 8, 9, 16, 100}) {
            TBits B;
            FixedHeader(B);
            std::vector<std::uint8_t> Expected;
            for (int i = 0; i < Period; ++i) {
                Fixed(B, 'a' + i);
                Expected.push_back(static_cast<std::uint8_t>('a' + i));
            }
            if (Length <= 16)
                Fixed(B, 253 + Length);
            else {
                Fixed(B, 285); // 81 + 19
                B.Value(19, 6);
            }
            B.Value(static_cast<std::uint32_t>(Period <= 8 ? Period - 1 : 8 + (Period - 9) / 2), 6);
            if (Period > 8)
                B.Value(static_cast<std::uint32_t>((Period - 9) % 2), 1);
            Copy(Expected, static_cast<std::size_t>(Period), static_cast<std::size_t>(Length));
            // With and without room after the match.
            for (int Tail : {0, 1, 20}) {
                TBits T = B;
                std::vector<std::uint8_t> E = Expected;
                for (int i = 0; i < Tail; ++i) {
                    Fixed(T, 'z');
                    E.push_back('z');
                }
                EXPECT_EQ(Inflate(T.Packed(static_cast<std::int32_t>(E.size()))), E)
                    << "period " << Period << " length " << Length << " tail " << Tail;
            }
        }
}
