// The packer: its output against the format description (a slow decoder and the literal parse of
// CodecTestFormat.h), its edge cases, and round trips over many sizes and contents at every level.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "base/ZemErrors.h"
#include "persistence/CodecTestFormat.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemCodec.h"
#include "persistence/ZemHuffman.h"
#include "persistence/ZemMatchFinder.h"
#include "persistence/ZemRowMatchFinder.h"

using namespace zem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Packed(const Bytes& Data, int Level) {
    zem::TPackedBlock B = zem::G_Deflate(Data, Level);
    EXPECT_EQ(B.Memory.size(), B.PackedLength);
    return B.Memory;
}

std::int32_t HeaderOf(const Bytes& P) {
    return static_cast<std::int32_t>(P[0] | P[1] << 8 | P[2] << 16 | static_cast<std::uint32_t>(P[3]) << 24);
}

Bytes RandomBytes(std::size_t N, std::uint32_t Seed, int Alphabet = 256) {
    std::mt19937 R(Seed);
    Bytes B(N);
    for (auto& X : B)
        X = static_cast<std::uint8_t>(R() % static_cast<unsigned>(Alphabet));
    return B;
}

// Words of a Windows-1251 text, spaces between.
Bytes Text(std::size_t N, std::uint32_t Seed) {
    static const char* Words[] = {"\xf3\xeb\xe8\xf6\xe0",
                                  "\xcb\xe5\xed\xe8\xed\xe0",
                                  "\xe4\xee\xec",
                                  "17",
                                  "\xef\xf0\xee\xf1\xef\xe5\xea\xf2",
                                  "\xca\xf0\xe0\xf1\xed\xe0\xff",
                                  "\xc0\xf0\xe1\xe0\xf2",
                                  "\xea\xee\xf0\xef\xf3\xf1 2",
                                  "\xcc\xee\xf1\xea\xe2\xe0"};
    std::mt19937 R(Seed);
    Bytes B;
    while (B.size() < N) {
        const char* W = Words[R() % 9];
        B.insert(B.end(), W, W + std::strlen(W));
        B.push_back(R() % 5 == 0 ? ',' : ' ');
    }
    B.resize(N);
    return B;
}

// Object records as the map file writes them: integers, singles and repeated strings.
Bytes Records(std::size_t N, std::uint32_t Seed) {
    std::mt19937 R(Seed);
    TBinaryWriter W;
    for (int Id = 1; W.Length() < static_cast<std::int32_t>(N); ++Id) {
        W.WriteInteger(Id);
        W.WriteByte(static_cast<std::uint8_t>(R() % 11));
        const int Points = 2 + static_cast<int>(R() % 6);
        W.WriteInteger(Points);
        for (int p = 0; p < Points; ++p) {
            W.WriteSingle(static_cast<float>(R() % 5000) + 0.5f);
            W.WriteSingle(static_cast<float>(R() % 9000) * 0.25f);
        }
        W.WriteString(R() % 2 ? "\xf3\xeb\xe8\xf6\xe0 \xc0\xf0\xe1\xe0\xf2"
                              : "\xcb\xe5\xed\xe8\xed\xf1\xea\xe8\xe9");
        W.WriteInteger(-1);
        W.WriteBoolean(1);
    }
    return Bytes(W.Buffer(), W.Buffer() + N);
}

// Random stretches, runs and repeats of earlier data mixed.
Bytes Mixed(std::size_t N, std::uint32_t Seed) {
    std::mt19937 R(Seed);
    Bytes B;
    while (B.size() < N) {
        switch (R() % 4) {
        case 0:
            for (int k = 0, n = static_cast<int>(R() % 300); k < n; ++k)
                B.push_back(static_cast<std::uint8_t>(R()));
            break;
        case 1:
            B.insert(B.end(), R() % 2000, static_cast<std::uint8_t>(R()));
            break;
        default:
            if (!B.empty()) {
                const std::size_t From = R() % B.size(), Len = 3 + R() % 400;
                for (std::size_t k = 0; k < Len; ++k)
                    B.push_back(B[From + k % (B.size() - From)]);
            }
        }
    }
    B.resize(N);
    return B;
}

void ExpectRoundTrip(const Bytes& Data, int Level, const std::string& What) {
    const zem::TPackedBlock P = zem::G_Deflate(Data, Level);
    const Bytes Out = zem::G_Inflate(std::span<const std::uint8_t>(P.Memory.data(), P.PackedLength));
    ASSERT_TRUE(Out == Data) << What << ", " << Data.size() << " bytes, level " << Level;
    if (!Data.empty()) {
        EXPECT_LE(P.PackedLength, Data.size() + 4) << What;
    }
}

} // namespace

TEST(CodecPack, EmptyInputPacksToTheHeaderAlone) {
    for (int Level = 0; Level <= 4; ++Level) {
        EXPECT_EQ(Packed({}, Level), (Bytes{0, 0, 0, 0}));
        EXPECT_TRUE(zem::G_Inflate(Bytes{0, 0, 0, 0}).empty());
    }
}

TEST(CodecPack, OneToThreeBytesAndLevelZeroAreStored) {
    for (std::size_t N = 1; N <= 3; ++N)
        for (int Level = 0; Level <= 4; ++Level) {
            const Bytes Data(N, 'q');
            const Bytes P = Packed(Data, Level);
            EXPECT_EQ(HeaderOf(P), -static_cast<std::int32_t>(N));
            EXPECT_EQ(Bytes(P.begin() + 4, P.end()), Data);
        }
    const Bytes Text100 = Text(100000, 1);
    const Bytes P = Packed(Text100, 0);
    EXPECT_EQ(HeaderOf(P), -100000);
    EXPECT_EQ(Bytes(P.begin() + 4, P.end()), Text100);
}

TEST(CodecPack, LevelsOutsideZeroToFourAreClamped) {
    const Bytes Data = Text(5000, 2);
    EXPECT_EQ(Packed(Data, -3), Packed(Data, 0));
    EXPECT_EQ(Packed(Data, 9), Packed(Data, 4));
}

TEST(CodecPack, SpareRoomBeforeAndAfterIsZero) {
    const Bytes Data = Text(3000, 3);
    const zem::TPackedBlock B = zem::G_Deflate(Data.data(), Data.size(), 3, 4, 7);
    ASSERT_EQ(B.Memory.size(), 4 + B.PackedLength + 7);
    EXPECT_EQ(Bytes(B.Memory.begin(), B.Memory.begin() + 4), Bytes(4, 0));
    EXPECT_EQ(Bytes(B.Memory.end() - 7, B.Memory.end()), Bytes(7, 0));
    EXPECT_EQ(Bytes(B.Memory.begin() + 4, B.Memory.end() - 7), Packed(Data, 3));
}

TEST(CodecPack, AMissingSourceIsRefused) {
    try {
        zem::G_Deflate(nullptr, 10, 3);
        FAIL();
    } catch (const EZemError& E) {
        EXPECT_STREQ(
            E.what(),
            "Параметр \"SourceBytes\", передаваемый в функцию \"G_Deflate\", не может быть равен nil.");
    }
    try {
        zem::G_Inflate(nullptr, 10);
        FAIL();
    } catch (const EZemError& E) {
        EXPECT_STREQ(
            E.what(),
            "Параметр \"SourceBytes\", передаваемый в функцию \"G_Inflate\", не может быть равен nil.");
    }
}

TEST(CodecPack, ARunPacksAsALiteralAndALongMatchAtDistanceOne) {
    // 'a' x 1000: fixed block, literal 'a', symbol 286 with v = 854 in two groups, distance code 0.
    codectest::TBits B;
    const std::vector<std::uint32_t> Codes = codectest::Canonical(codectest::FixedLengths());
    B.Bit(0);
    B.Bit(1);
    B.Code(Codes['a'], 8);
    B.Code(Codes[286], 8);
    B.Value(854 & 127, 8);
    B.Value((854 >> 7) | 0x80, 8);
    B.Value(0, 6);
    for (int Level = 1; Level <= 4; ++Level)
        EXPECT_EQ(Packed(Bytes(1000, 'a'), Level), B.Packed(1000)) << "level " << Level;
}

TEST(CodecPack, RunsLongerThanTheLongestMatchAreSplit) {
    const Bytes Run(2 * 2097296 + 1000, 0x5C);
    for (int Level : {1, 4}) {
        const Bytes P = Packed(Run, Level);
        const codectest::TDecoded D = codectest::SlowDecode(P);
        EXPECT_TRUE(D.Output == Run);
        ASSERT_EQ(D.Symbols.size(), 4u);
        EXPECT_EQ(D.Symbols[1], (codectest::TSym{2097296, 1, 0}));
        EXPECT_EQ(D.Symbols[2], (codectest::TSym{2097296, 1, 0}));
        EXPECT_EQ(D.Symbols[3], (codectest::TSym{999, 1, 0}));
    }
}

TEST(CodecPack, IncompressibleDataFallsBackToTheStoredForm) {
    const Bytes Data = RandomBytes(20000, 4);
    for (int Level = 1; Level <= 4; ++Level) {
        const Bytes P = Packed(Data, Level);
        EXPECT_EQ(HeaderOf(P), -20000);
        EXPECT_EQ(P.size(), 20004u);
    }
}

TEST(CodecPack, AnIncompressibleBlockIsStoredWith8192PlusVBytes) {
    // Random bytes with a 3-byte repeat from 2000 bytes back every 600 bytes: a block of 8192 symbols then
    // covers more than 8192 bytes and still costs more than its bytes, so it is stored with v > 0; zeros
    // after it keep the whole stream smaller than the input.
    std::mt19937 R(5);
    Bytes Data;
    while (Data.size() < 20000) {
        if (Data.size() % 600 == 599 && Data.size() > 2000) {
            for (int k = 0; k < 3; ++k)
                Data.push_back(Data[Data.size() - 2000]);
            Data.push_back(static_cast<std::uint8_t>(Data[Data.size() - 2000] ^ 0x55));
        } else {
            Data.push_back(static_cast<std::uint8_t>(R()));
        }
    }
    Data.insert(Data.end(), 100000, 0);
    for (int Level = 1; Level <= 4; ++Level) {
        const Bytes P = Packed(Data, Level);
        ASSERT_GT(HeaderOf(P), 0);
        // The first block header: bits 0, 0, then v.
        EXPECT_EQ(P[4] & 3, 0) << "level " << Level;
        const unsigned V = (P[4] >> 2) | (P[5] & 3) << 6;
        EXPECT_GT(V, 0u) << "level " << Level;
        const codectest::TDecoded D = codectest::SlowDecode(P);
        EXPECT_GE(D.Stored, 1);
        EXPECT_TRUE(D.Output == Data);
        zem::TInflateStats Stats;
        Bytes Out(Data.size());
        zem::G_Inflate(P.data(), P.size(), Out.data(), &Stats);
        EXPECT_TRUE(Out == Data);
        EXPECT_EQ(Stats.StoredBlocks, D.Stored);
    }
}

TEST(CodecPack, SmallInputsUseTheFixedCodeAndLargeTextsTheDynamicOne) {
    const codectest::TDecoded Small = codectest::SlowDecode(Packed(Text(60, 6), 3));
    EXPECT_EQ(Small.Fixed, 1);
    EXPECT_EQ(Small.Dynamic, 0);
    const codectest::TDecoded Large = codectest::SlowDecode(Packed(Text(100000, 6), 3));
    EXPECT_GT(Large.Dynamic, 0);
    EXPECT_EQ(Large.Stored, 0);
}

TEST(CodecPack, TheParseFollowsTheDescriptionAtEveryLevel) {
    struct {
        const char* Name;
        Bytes Data;
    } const Cases[] = {{"text", Text(150000, 7)},
                       {"records", Records(120000, 8)},
                       {"mixed", Mixed(200000, 9)},
                       {"skewed", RandomBytes(60000, 10, 3)},
                       {"pairs", RandomBytes(30000, 11, 2)},
                       {"large records", Records(600000, 12)}}; // large enough for rows of candidates
    for (const auto& C : Cases)
        for (int Level = 1; Level <= 4; ++Level) {
            const Bytes P = Packed(C.Data, Level);
            ASSERT_GT(HeaderOf(P), 0) << C.Name;
            const codectest::TDecoded D = codectest::SlowDecode(P);
            ASSERT_TRUE(D.Output == C.Data) << C.Name << " level " << Level;
            if (D.Stored != 0)
                continue; // a stored block hides its symbols
            const std::vector<codectest::TSym> Expected = codectest::ReferenceParse(C.Data, Level);
            ASSERT_EQ(D.Symbols.size(), Expected.size()) << C.Name << " level " << Level;
            for (std::size_t k = 0; k < Expected.size(); ++k)
                ASSERT_EQ(D.Symbols[k], Expected[k]) << C.Name << " level " << Level << " symbol " << k
                                                     << ": " << codectest::Describe(D.Symbols[k])
                                                     << " instead of " << codectest::Describe(Expected[k]);
        }
}

// Checks the symbols of Data packed at Level against the literal parse (unless it was stored).
void ExpectTheDescribedParse(const Bytes& Data, int Level, const std::string& What) {
    const Bytes P = Packed(Data, Level);
    if (HeaderOf(P) <= 0)
        return; // the stored form: nothing was parsed
    const codectest::TDecoded D = codectest::SlowDecode(P);
    ASSERT_TRUE(D.Output == Data) << What;
    if (D.Stored != 0)
        return; // a stored block hides its symbols
    const std::vector<codectest::TSym> Expected = codectest::ReferenceParse(Data, Level);
    ASSERT_EQ(D.Symbols.size(), Expected.size()) << What;
    for (std::size_t k = 0; k < Expected.size(); ++k)
        ASSERT_EQ(D.Symbols[k], Expected[k])
            << What << " symbol " << k << ": " << codectest::Describe(D.Symbols[k]) << " instead of "
            << codectest::Describe(Expected[k]);
}

// Runs of one byte broken now and then, and short stretches repeated: long chains of one hash.
Bytes RunsAndRepeats(std::size_t N, std::uint32_t Seed) {
    std::mt19937 R(Seed);
    Bytes B;
    while (B.size() < N) {
        if (R() % 3 != 0 || B.size() < 16)
            B.insert(B.end(), 1 + R() % 300, static_cast<std::uint8_t>(R() % 4));
        else
            for (std::size_t k = 0, From = B.size() - 1 - R() % std::min<std::size_t>(B.size() - 1, 70000),
                             Len = 3 + R() % 40;
                 k < Len; ++k)
                B.push_back(B[From + k]);
    }
    B.resize(N);
    return B;
}

// Many seeded inputs of every kind, their lengths around the ends of 8192-symbol blocks and around the
// windows of the levels, against the literal parse at every level. The largest ones reach the size from
// which the long-chain levels search rows of candidates instead of chains.
TEST(CodecPack, TheParseFollowsTheDescriptionOnManySeededInputs) {
    std::mt19937 R(2026);
    const std::size_t Around[] = {100, 8192, 16384, 24576, 65536, 65536 + 8192, 131072};
    for (int Round = 0; Round < 28; ++Round) {
        const auto Seed = static_cast<std::uint32_t>(1000 + Round);
        const std::size_t N = Around[Round % std::size(Around)] + R() % 64 - 32;
        const Bytes Kinds[] = {Text(N, Seed),
                               Records(N, Seed),
                               Mixed(N, Seed),
                               RunsAndRepeats(N, Seed),
                               RandomBytes(N, Seed, 2 + Round % 7),
                               RandomBytes(N, Seed)}; // the last: no matches, stored
        const Bytes& Data = Kinds[Round % std::size(Kinds)];
        for (int Level = 1; Level <= 4; ++Level)
            ExpectTheDescribedParse(Data, Level,
                                    "round " + std::to_string(Round) + ", " + std::to_string(N) +
                                        " bytes, level " + std::to_string(Level));
    }
    // Past the window of the long-chain levels and large enough for their rows.
    for (std::uint32_t Seed : {31u, 32u}) {
        const Bytes Data = Seed % 2 ? Mixed(530000, Seed) : RunsAndRepeats(530000, Seed);
        for (int Level = 1; Level <= 4; ++Level)
            ExpectTheDescribedParse(
                Data, Level, "large, seed " + std::to_string(Seed) + ", level " + std::to_string(Level));
    }
}

TEST(CodecPack, FirstMatchesObeyTheirDistanceLimits) {
    using zem::codec::kLevels;
    // Agreeing bytes at distance D, then a byte that differs; zeros between, so that no other position
    // shares their hash.
    auto Probe = [](int Level, std::uint32_t D, int Agreeing) {
        Bytes Data(D + 16, 0);
        for (int k = 0; k <= Agreeing; ++k)
            Data[k] = static_cast<std::uint8_t>(11 * (k + 1));
        for (int k = 0; k < Agreeing; ++k)
            Data[D + k] = Data[k];
        Data[D + Agreeing] = static_cast<std::uint8_t>(Data[Agreeing] + 1);
        const auto Size = static_cast<std::uint32_t>(Data.size());
        const auto& Params = kLevels[static_cast<std::size_t>(Level)];
        zem::codec::TMatchFinder F(Data.data(), Size, Params);
        zem::codec::TRowMatchFinder R(Data.data(), Size, Params);
        F.InsertBefore(D + 1);
        R.InsertBefore(D + 1);
        const zem::codec::TMatch A = F.Find(D), B = R.Find(D);
        EXPECT_TRUE(A.Length == B.Length && A.Distance == B.Distance) << Level << " " << D << " " << Agreeing;
        return A;
    };
    EXPECT_EQ(Probe(3, 4096, 3).Length, 3u);
    EXPECT_FALSE(Probe(3, 4097, 3));
    EXPECT_EQ(Probe(3, 65536, 4).Length, 4u);
    EXPECT_FALSE(Probe(3, 65537, 4));
    EXPECT_EQ(Probe(3, 200000, 5).Length, 5u);
    EXPECT_EQ(Probe(3, 200000, 5).Distance, 200000u);
    EXPECT_EQ(Probe(3, 262143, 6).Length, 6u);
    EXPECT_FALSE(Probe(3, 262144, 6)); // a window back: the chain has ended
    EXPECT_FALSE(Probe(1, 8192, 6));
    EXPECT_EQ(Probe(1, 8191, 6).Length, 6u);
}

TEST(CodecPack, LongerMatchesAreTakenByTheirGainAndDistances) {
    using zem::codec::TakeLongerMatch;
    EXPECT_TRUE(TakeLongerMatch(3, 262144, 1));
    EXPECT_TRUE(TakeLongerMatch(2, 65536, 1));
    EXPECT_FALSE(TakeLongerMatch(2, 65537, 16));
    EXPECT_TRUE(TakeLongerMatch(2, 131072, 17));
    EXPECT_FALSE(TakeLongerMatch(2, 131073, 32));
    EXPECT_TRUE(TakeLongerMatch(2, 131073, 33));
    EXPECT_TRUE(TakeLongerMatch(1, 1024, 1));
    const struct {
        std::uint32_t D, Below, AtLeast;
    } Rows[] = {{2048, 8, 9},      {4096, 16, 17},    {8192, 32, 33},       {16384, 64, 65},
                {32768, 128, 129}, {65536, 256, 257}, {131072, 1024, 1025}, {262144, 2048, 2049}};
    for (const auto& Row : Rows) {
        EXPECT_FALSE(TakeLongerMatch(1, Row.D, Row.Below)) << Row.D;
        EXPECT_TRUE(TakeLongerMatch(1, Row.D, Row.AtLeast)) << Row.D;
    }
    EXPECT_FALSE(TakeLongerMatch(0, 1, 100));
}

TEST(CodecPack, RoundTripsEverySmallSizeAtEveryLevel) {
    for (std::size_t N = 0; N <= 300; ++N)
        for (int Level = 0; Level <= 4; ++Level) {
            ExpectRoundTrip(RandomBytes(N, static_cast<std::uint32_t>(N), 4), Level, "4 symbols");
            ExpectRoundTrip(Text(N, static_cast<std::uint32_t>(N)), Level, "text");
        }
}

TEST(CodecPack, RoundTripsManySizesAndContentsAtEveryLevel) {
    std::mt19937 R(13);
    for (int Round = 0; Round < 20; ++Round) {
        const std::size_t N = Round < 8 ? 8000 + R() % 1000 : R() % 200000;
        const auto Seed = static_cast<std::uint32_t>(Round);
        const Bytes Contents[] = {RandomBytes(N, Seed), RandomBytes(N, Seed, 2 + Round % 20),
                                  Text(N, Seed),        Records(N, Seed),
                                  Mixed(N, Seed),       Bytes(N, static_cast<std::uint8_t>(Round))};
        for (const Bytes& Data : Contents)
            for (int Level = 0; Level <= 4; ++Level)
                ExpectRoundTrip(Data, Level, "round " + std::to_string(Round));
    }
}

TEST(CodecPack, PeriodicDataRoundTrips) {
    for (int Period = 1; Period <= 40; ++Period) {
        Bytes Data = RandomBytes(static_cast<std::size_t>(Period), static_cast<std::uint32_t>(Period));
        while (Data.size() < 5000)
            Data.push_back(Data[Data.size() - static_cast<std::size_t>(Period)]);
        for (int Level = 1; Level <= 4; ++Level)
            ExpectRoundTrip(Data, Level, "period " + std::to_string(Period));
    }
}

TEST(CodecHuffman, LengthsAreLimitedAndTheCodeIsComplete) {
    // Fibonacci frequencies give a Huffman tree as deep as there are symbols.
    for (int Limit : {7, 14}) {
        const int Count = Limit == 7 ? 20 : 287;
        std::vector<std::uint32_t> Freq(Count);
        std::uint32_t A = 1, B = 1;
        for (int s = 0; s < Count; ++s) {
            Freq[s] = s < 40 ? A : 1;
            const std::uint32_t C = A + B;
            A = B;
            B = C;
        }
        std::vector<std::uint8_t> Lengths(Count);
        zem::codec::BuildCodeLengths(Freq.data(), Count, Limit, Lengths.data());
        double Kraft = 0;
        for (int s = 0; s < Count; ++s) {
            ASSERT_GE(Lengths[s], 1);
            ASSERT_LE(Lengths[s], Limit);
            Kraft += std::ldexp(1.0, -Lengths[s]);
        }
        EXPECT_DOUBLE_EQ(Kraft, 1.0);
        // More frequent symbols never get longer codes.
        for (int s = 1; s < Count; ++s)
            if (Freq[s] > Freq[s - 1]) {
                EXPECT_LE(Lengths[s], Lengths[s - 1]);
            }
    }
}

// Random frequencies, small and large (the leaves are sorted by frequency, then symbol): the code is
// complete, within its limit, as cheap as Huffman's when no length had to be cut, and equal frequencies
// give the lower symbol the longer code or the same.
TEST(CodecHuffman, RandomFrequenciesGiveACompleteOptimalCodeWithTiesBySymbol) {
    std::mt19937 R(77);
    for (int Round = 0; Round < 400; ++Round) {
        const int Count = 2 + static_cast<int>(R() % 286);
        const std::uint32_t Range = Round % 3 == 0 ? 4 : Round % 3 == 1 ? 9000 : 0x7FFFFFFF / 512;
        std::vector<std::uint32_t> Freq(static_cast<std::size_t>(Count));
        for (auto& F : Freq)
            F = R() % 3 == 0 ? 0 : 1 + R() % Range;
        Freq[R() % Freq.size()] = 1 + R() % Range;
        std::vector<std::uint8_t> Lengths(Freq.size());
        zem::codec::BuildCodeLengths(Freq.data(), Count, 14, Lengths.data());
        double Kraft = 0;
        std::uint64_t Cost = 0;
        std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> Queue;
        for (int s = 0; s < Count; ++s) {
            ASSERT_LE(Lengths[s], 14);
            ASSERT_TRUE(Freq[s] == 0 || Lengths[s] != 0) << s;
            if (Lengths[s] != 0)
                Kraft += std::ldexp(1.0, -Lengths[s]);
            Cost += std::uint64_t{Freq[s]} * Lengths[s];
            if (Freq[s] != 0)
                Queue.push(Freq[s]);
            for (int t = 0; t < s; ++t)
                if (Freq[t] == Freq[s] && Freq[s] != 0) {
                    ASSERT_GE(Lengths[t], Lengths[s]) << t << " " << s;
                }
        }
        EXPECT_DOUBLE_EQ(Kraft, 1.0) << Round;
        const bool Lone = Queue.size() == 1; // coded with one bit, beside a companion
        std::uint64_t Optimal = 0;
        while (Queue.size() > 1) {
            const std::uint64_t A = Queue.top();
            Queue.pop();
            const std::uint64_t B = Queue.top();
            Queue.pop();
            Optimal += A + B;
            Queue.push(A + B);
        }
        if (!Lone && *std::max_element(Lengths.begin(), Lengths.end()) < 14) {
            EXPECT_EQ(Cost, Optimal) << Round; // nothing was cut to the limit
        }
    }
}

TEST(CodecHuffman, OneUsedSymbolGetsACompanionAndNoneGivesNoCode) {
    std::vector<std::uint32_t> Freq(64, 0);
    std::vector<std::uint8_t> Lengths(64);
    zem::codec::BuildCodeLengths(Freq.data(), 64, 14, Lengths.data());
    EXPECT_EQ(Lengths, std::vector<std::uint8_t>(64, 0));
    Freq[9] = 5;
    zem::codec::BuildCodeLengths(Freq.data(), 64, 14, Lengths.data());
    EXPECT_EQ(Lengths[9], 1);
    EXPECT_EQ(Lengths[0], 1);
    Freq[9] = 0;
    Freq[0] = 5;
    zem::codec::BuildCodeLengths(Freq.data(), 64, 14, Lengths.data());
    EXPECT_EQ(Lengths[0], 1);
    EXPECT_EQ(Lengths[1], 1);
}

TEST(CodecHuffman, CanonicalCodesFollowTheConstructionAndTravelMostSignificantBitFirst) {
    const std::vector<std::uint8_t> Lengths = {3, 3, 3, 3, 3, 2, 4, 4}; // RFC 1951's example
    std::vector<std::uint16_t> Codes(Lengths.size());
    zem::codec::ReversedCanonicalCodes(Lengths.data(), static_cast<int>(Lengths.size()), Codes.data());
    const std::uint32_t Expected[] = {0b010, 0b011, 0b100, 0b101, 0b110, 0b00, 0b1110, 0b1111};
    for (std::size_t s = 0; s < Lengths.size(); ++s)
        EXPECT_EQ(Codes[s], zem::codec::ReverseBits(Expected[s], Lengths[s])) << s;
}

// Every search of the faster dictionaries against the plain walk of the three-byte chain.
template <class TFinder, class... TArgs>
void ExpectTheSameMatchesAsThePlainWalk(const char* What, const Bytes& Data, int Level, TArgs... Args) {
    using zem::codec::TMatch;
    using zem::codec::TMatchFinder;
    const auto& Params = zem::codec::kLevels[static_cast<std::size_t>(Level)];
    const auto Size = static_cast<std::uint32_t>(Data.size());
    TMatchFinder Plain(Data.data(), Size, Params, TMatchFinder::TSearch::ThreeByteChainOnly);
    TFinder Other(Data.data(), Size, Params, Args...);
    auto Same = [](TMatch A, TMatch B) { return A.Length == B.Length && A.Distance == B.Distance; };
    for (std::uint32_t Pos = 1; Pos + 3 <= Size; Pos += 1 + Pos % 3) {
        Plain.InsertBefore(Pos + 1);
        Other.InsertBefore(Pos + 1);
        const TMatch A = Plain.Find(Pos), B = Other.Find(Pos);
        ASSERT_TRUE(Same(A, B)) << What << " level " << Level << " at " << Pos << ": " << A.Length << "@"
                                << A.Distance << " against " << B.Length << "@" << B.Distance;
        if (A) {
            ASSERT_TRUE(Same(Plain.FindLonger(Pos, A), Other.FindLonger(Pos, B))) << What << " at " << Pos;
            const TMatch Bar{3, 1};
            ASSERT_TRUE(Same(Plain.FindLonger(Pos, Bar), Other.FindLonger(Pos, Bar)))
                << What << " at " << Pos;
        }
    }
}

TEST(CodecPack, FasterSearchesFindWhatThePlainWalkFinds) {
    using zem::codec::TMatchFinder;
    struct {
        const char* Name;
        Bytes Data;
    } const Cases[] = {{"text", Text(40000, 21)},
                       {"records", Records(40000, 22)},
                       {"mixed", Mixed(50000, 23)},
                       {"skewed", RandomBytes(30000, 24, 5)},
                       {"random", RandomBytes(20000, 25)}};
    for (const auto& C : Cases)
        for (int Level : {1, 2, 3, 4}) {
            // Four-byte chains; 2 bits of hash fill them with strangers, which force the fallbacks.
            for (int Hash4Bits : {2, 20})
                ExpectTheSameMatchesAsThePlainWalk<TMatchFinder>(
                    C.Name, C.Data, Level, TMatchFinder::TSearch::WithFourByteChains, Hash4Bits);
            ExpectTheSameMatchesAsThePlainWalk<zem::codec::TRowMatchFinder>(C.Name, C.Data, Level);
            // Rows whose positions run out after two windows, so that their origin moves on and on.
            const int Bits = std::bit_width(static_cast<unsigned>(zem::codec::kLevels[Level].Window));
            ExpectTheSameMatchesAsThePlainWalk<zem::codec::TRowMatchFinder>(C.Name, C.Data, Level, Bits);
        }
    ExpectTheSameMatchesAsThePlainWalk<zem::codec::TRowMatchFinder>("large records", Records(700000, 26), 3,
                                                                    19);
}
