// TBinaryWriter, TBinaryReader, the frame and Adler-32.
#include "base/ZemLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/ZemErrors.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemMemory.h"

using namespace zem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kPastEnd = "Попытка прочитать данные за пределами бинарного потока.";
const std::string kDamaged = "Данные в бинарном потоке испорчены и не могут быть прочитаны.";
const std::string kWrongLength = "Неправильная длина указана при создании бинарного потока.";

std::uint32_t U32(const Bytes& B, std::size_t At) {
    return B[At] | B[At + 1] << 8 | B[At + 2] << 16 | static_cast<std::uint32_t>(B[At + 3]) << 24;
}

Bytes Frame(const TBinaryWriter& W, int Mode) {
    Bytes S;
    EXPECT_TRUE(W.SaveToStream(S, Mode));
    return S;
}

template <typename F> std::string ErrorOf(F&& Call) {
    try {
        Call();
        return "";
    } catch (const EZemError& E) {
        return E.what();
    }
}

// Bytes of a string written alone.
Bytes StringBytes(std::size_t N) {
    TBinaryWriter W;
    W.WriteString(ZemString(N, 'x'));
    return Bytes(W.Buffer(), W.Buffer() + W.Length());
}

} // namespace

TEST(Adler32, KnownValues) {
    EXPECT_EQ(zem::Adler32(nullptr, 0), 1u);
    EXPECT_EQ(zem::Adler32("Wikipedia", 9), 0x11E60398u);
    const Bytes Zeros(4, 0);
    EXPECT_EQ(zem::Adler32(Zeros.data(), 4), 262145u);
}

TEST(Adler32, LongBlocksAgreeWithTheSumsTakenByteByByte) {
    std::mt19937 R(1);
    for (std::size_t N : {5551u, 5552u, 5553u, 100000u, 1000000u}) {
        Bytes B(N);
        for (auto& X : B)
            X = static_cast<std::uint8_t>(N == 1000000u ? 0xFF : R());
        std::uint32_t A = 1, S = 0;
        for (std::uint8_t X : B) {
            A = (A + X) % 65521;
            S = (S + A) % 65521;
        }
        EXPECT_EQ(zem::Adler32(B.data(), N), S << 16 | A) << N;
        // In two pieces.
        EXPECT_EQ(zem::Adler32(B.data() + N / 3, N - N / 3, zem::Adler32(B.data(), N / 3)), S << 16 | A) << N;
    }
}

// Every length up to a few runs, at every alignment, from random starting sums: the 16-byte steps and the
// bytes left over must give the byte-by-byte result.
TEST(Adler32, ShortAndUnalignedPiecesAgreeWithTheSumsTakenByteByByte) {
    std::mt19937 R(2);
    Bytes B(3 * 5552 + 40);
    for (auto& X : B)
        X = static_cast<std::uint8_t>(R() % 3 == 0 ? 0xFF : R());
    for (int Case = 0; Case < 400; ++Case) {
        const std::size_t From = R() % 16;
        const std::size_t N = Case < 100 ? static_cast<std::size_t>(Case) : R() % (B.size() - From);
        std::uint32_t A = R() % 65521, S = R() % 65521;
        const std::uint32_t Start = S << 16 | A;
        for (std::size_t k = From; k < From + N; ++k) {
            A = (A + B[k]) % 65521;
            S = (S + A) % 65521;
        }
        EXPECT_EQ(zem::Adler32(B.data() + From, N, Start), S << 16 | A) << N << " from " << From;
    }
}

TEST(CapacityRules, RoundingAndGrowth) {
    EXPECT_EQ(zem::RoundCapacity64(0), 16);
    EXPECT_EQ(zem::RoundCapacity64(16), 16);
    EXPECT_EQ(zem::RoundCapacity64(17), 64);
    EXPECT_EQ(zem::RoundCapacity64(65), 256);
    EXPECT_EQ(zem::RoundCapacity64(257), 1024);
    EXPECT_EQ(zem::RoundCapacity64(1024), 1024);
    EXPECT_EQ(zem::RoundCapacity64(1025), 2048);
    EXPECT_EQ(zem::RoundCapacity64(4096), 4096);
    EXPECT_EQ(zem::GrowCapacity64(0), 16);
    EXPECT_EQ(zem::GrowCapacity64(5), 16);
    EXPECT_EQ(zem::GrowCapacity64(6), 64);
    EXPECT_EQ(zem::GrowCapacity64(53), 64);
    EXPECT_EQ(zem::GrowCapacity64(54), 256);
    EXPECT_EQ(zem::GrowCapacity64(245), 256);
    EXPECT_EQ(zem::GrowCapacity64(246), 1024);
    EXPECT_EQ(zem::GrowCapacity64(1013), 1024);
    EXPECT_EQ(zem::GrowCapacity64(1014), 2048); // greater than 1024
    EXPECT_EQ(zem::GrowCapacity64(1024), 2048);
    EXPECT_EQ(zem::GrowCapacity64(2038), 4096);
    EXPECT_EQ(zem::GrowCapacity64(2037), 2048);
    // The writer's sizes go past what a 32-bit count holds only to be refused by the writer itself.
    EXPECT_EQ(zem::RoundCapacity64(0x80000001LL), 0x100000000LL);
}

TEST(BinaryWriter, CapacityStartsRoundedAndGrowsByTheRule) {
    EXPECT_EQ(TBinaryWriter().Capacity(), 16);
    EXPECT_EQ(TBinaryWriter(100).Capacity(), 256);
    EXPECT_EQ(TBinaryWriter(1025).Capacity(), 2048);
    TBinaryWriter W;
    std::vector<std::int32_t> Seen;
    for (int i = 0; i < 1100; ++i) {
        W.WriteByte(static_cast<std::uint8_t>(i));
        if (Seen.empty() || Seen.back() != W.Capacity())
            Seen.push_back(W.Capacity());
    }
    EXPECT_EQ(Seen, (std::vector<std::int32_t>{16, 64, 256, 1024, 2048}));
    TBinaryWriter Big;
    const Bytes Block(5000, 1);
    Big.WriteBytes(Block.data(), 5000); // the growth rule gives 64: too small, so 5000 rounded up
    EXPECT_EQ(Big.Capacity(), 8192);
    EXPECT_EQ(Big.Length(), 5000);
}

TEST(BinaryWriter, PrimitivesAreLittleEndian) {
    TBinaryWriter W;
    W.WriteByte(0xAB);
    W.WriteBoolean(true);
    W.WriteBoolean(0);
    W.WriteSmallInt(-2);
    W.WriteInteger(-5);
    W.WriteSingle(1.0f);
    const std::uint8_t Raw[3] = {7, 8, 9};
    W.WriteBytes(Raw, 3);
    W.WriteBytes(Raw, 0);
    W.WriteBytes(Raw, -4);
    W.WriteString("ab");
    W.WriteString("");
    EXPECT_EQ(
        Bytes(W.Buffer(), W.Buffer() + W.Length()),
        (Bytes{0xAB, 1, 0, 0xFE, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F, 7, 8, 9, 2, 'a', 'b', 0}));
}

TEST(BinaryWriter, StringPrefixesOfOneThreeAndSevenBytes) {
    const Bytes S254 = StringBytes(254), S255 = StringBytes(255), S65789 = StringBytes(65789);
    EXPECT_EQ(Bytes(S254.begin(), S254.begin() + 1), (Bytes{254}));
    EXPECT_EQ(S254.size(), 255u);
    EXPECT_EQ(Bytes(S255.begin(), S255.begin() + 3), (Bytes{255, 0, 0}));
    EXPECT_EQ(S255.size(), 258u);
    EXPECT_EQ(Bytes(S65789.begin(), S65789.begin() + 3), (Bytes{255, 254, 255}));
    const Bytes Long = StringBytes(65790);
    EXPECT_EQ(Bytes(Long.begin(), Long.begin() + 7), (Bytes{255, 255, 255, 0xFE, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Long.size(), 65797u);
}

TEST(BinaryStream, AnEmptyWriterSavesTheSmallestFrame) {
    TBinaryWriter W;
    const Bytes S = Frame(W, 3);
    EXPECT_EQ(S, (Bytes{8, 0, 0, 0, 0x01, 0x00, 0x04, 0x00, 0, 0, 0, 0}));
    EXPECT_EQ(U32(S, 4), 262145u);
    TBinaryReader R;
    EXPECT_TRUE(R.LoadFromStream(S));
    EXPECT_EQ(R.Size(), 0);
    EXPECT_EQ(ErrorOf([&] { R.ReadByte(); }), kPastEnd);
}

TEST(BinaryStream, EveryValueComesBackAtEveryMode) {
    std::mt19937 Rnd(2);
    for (int Mode = 0; Mode <= 4; ++Mode) {
        TBinaryWriter W;
        for (int Round = 0; Round < 300; ++Round) {
            W.WriteByte(static_cast<std::uint8_t>(Round));
            W.WriteBoolean(static_cast<std::uint8_t>(Round % 3));
            W.WriteSmallInt(static_cast<std::int16_t>(-Round * 97));
            W.WriteInteger(Round * -123457);
            W.WriteSingle(static_cast<float>(Round) / 7.0f);
            W.WriteString(
                ZemString(static_cast<std::size_t>(Round % 40), static_cast<char>('\xE0' + Round % 32)));
            const Bytes Raw(static_cast<std::size_t>(Round % 9), static_cast<std::uint8_t>(Rnd()));
            W.WriteBytes(Raw.data(), static_cast<std::int32_t>(Raw.size()));
        }
        W.WriteString(ZemString(70000, 'z'));
        const Bytes S = Frame(W, Mode);
        TBinaryReader R;
        ASSERT_TRUE(R.LoadFromStream(S));
        ASSERT_EQ(R.Size(), W.Length());
        std::mt19937 Rnd2(2);
        for (int Pass = 0; Pass < 2; ++Pass) {
            R.Reset();
            Rnd2.seed(2);
            if (Pass == 0)
                Rnd.seed(2);
            for (int Round = 0; Round < 300; ++Round) {
                ASSERT_EQ(R.ReadByte(), static_cast<std::uint8_t>(Round));
                ASSERT_EQ(R.ReadBoolean(), Round % 3);
                ASSERT_EQ(R.ReadSmallInt(), static_cast<std::uint16_t>(-Round * 97));
                ASSERT_EQ(R.ReadInteger(), Round * -123457);
                ASSERT_EQ(R.ReadSingle(), static_cast<float>(Round) / 7.0f);
                ASSERT_EQ(R.ReadString(), ZemString(static_cast<std::size_t>(Round % 40),
                                                    static_cast<char>('\xE0' + Round % 32)));
                Bytes Raw(static_cast<std::size_t>(Round % 9));
                R.ReadBytes(Raw.data(), static_cast<std::int32_t>(Raw.size()));
                ASSERT_EQ(Raw, Bytes(Raw.size(), static_cast<std::uint8_t>(Rnd2())));
            }
            EXPECT_EQ(R.ReadString(), ZemString(70000, 'z'));
            EXPECT_EQ(R.Position(), R.Size());
        }
    }
}

TEST(BinaryStream, ModeZeroStoresAndOtherModesCompressText) {
    TBinaryWriter W;
    for (int i = 0; i < 200; ++i)
        W.WriteString("\xf3\xeb\xe8\xf6\xe0 \xc0\xf0\xe1\xe0\xf2");
    const Bytes Stored = Frame(W, 0);
    EXPECT_EQ(static_cast<std::int32_t>(U32(Stored, 8)), -W.Length());
    EXPECT_EQ(U32(Stored, 0), static_cast<std::uint32_t>(W.Length() + 8));
    EXPECT_EQ(Bytes(Stored.begin() + 12, Stored.end()), Bytes(W.Buffer(), W.Buffer() + W.Length()));
    const Bytes Packed = Frame(W, 3);
    EXPECT_EQ(static_cast<std::int32_t>(U32(Packed, 8)), W.Length());
    EXPECT_LT(Packed.size(), Stored.size() / 10);
    EXPECT_EQ(U32(Packed, 4), zem::Adler32(Packed.data() + 8, Packed.size() - 8));
}

TEST(BinaryStream, ChangingAnyByteAfterTheFirstEightFailsTheChecksum) {
    TBinaryWriter W;
    for (int i = 0; i < 50; ++i)
        W.WriteInteger(i * i);
    for (int Mode : {0, 3}) {
        const Bytes S = Frame(W, Mode);
        for (std::size_t At = 8; At < S.size(); ++At) {
            Bytes Bad = S;
            Bad[At] ^= 0x10;
            TBinaryReader R;
            EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(Bad); }), kDamaged) << "mode " << Mode << " byte " << At;
        }
        Bytes Bad = S;
        Bad[5] ^= 1; // the checksum itself
        TBinaryReader R;
        EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(Bad); }), kDamaged);
    }
}

TEST(BinaryStream, MissingOrShortFramesLeaveTheReaderEmpty) {
    TBinaryWriter W;
    W.WriteInteger(42);
    const Bytes S = Frame(W, 1);
    for (std::size_t Cut = 0; Cut < S.size(); ++Cut) {
        TBinaryReader R;
        std::size_t Position = 0;
        EXPECT_FALSE(R.LoadFromStream(std::span<const std::uint8_t>(S.data(), Cut), Position)) << Cut;
        EXPECT_EQ(R.Size(), 0);
        EXPECT_EQ(Position, Cut);
        EXPECT_EQ(ErrorOf([&] { R.ReadInteger(); }), kPastEnd);
    }
    for (std::int32_t L : {7, 0, -1}) {
        Bytes Frame7 = {static_cast<std::uint8_t>(L),
                        static_cast<std::uint8_t>(L >> 8),
                        static_cast<std::uint8_t>(L >> 16),
                        static_cast<std::uint8_t>(L >> 24),
                        1,
                        0,
                        0,
                        0,
                        0,
                        0,
                        0};
        TBinaryReader R;
        EXPECT_FALSE(R.LoadFromStream(Frame7));
        EXPECT_EQ(R.Size(), 0);
    }
}

TEST(BinaryStream, AStoredBlockWhoseLengthDisagreesWithTheFrame) {
    // L = 12: checksum, H = -5, but only 4 bytes follow.
    Bytes S = {12, 0, 0, 0, 0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
    const std::uint32_t A = zem::Adler32(S.data() + 8, 8);
    for (int k = 0; k < 4; ++k)
        S[4 + k] = static_cast<std::uint8_t>(A >> (8 * k));
    TBinaryReader R;
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(S); }), kWrongLength);
}

TEST(BinaryStream, ContentAboveTheCeilingIsRefusedBeforeItIsUnpacked) {
    // A frame of a packed block, with its length and checksum.
    auto FrameOf = [](std::int32_t H, std::size_t DataBytes) {
        Bytes S(12 + DataBytes, 0);
        const auto L = static_cast<std::uint32_t>(8 + DataBytes), UH = static_cast<std::uint32_t>(H);
        const std::uint32_t A = [&] {
            for (int k = 0; k < 4; ++k)
                S[8 + k] = static_cast<std::uint8_t>(UH >> (8 * k));
            return zem::Adler32(S.data() + 8, S.size() - 8);
        }();
        for (int k = 0; k < 4; ++k) {
            S[k] = static_cast<std::uint8_t>(L >> (8 * k));
            S[4 + k] = static_cast<std::uint8_t>(A >> (8 * k));
        }
        return S;
    };
    const std::string TooLarge = "Данные в бинарном потоке превышают допустимый размер.";
    TBinaryReader R;
    // Enough zero bits that the data could make the length: only the ceiling stops it.
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(FrameOf(kMaxFrameContent + 1, 4000)); }), TooLarge);
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(FrameOf(-kMaxFrameContent - 1, 0)); }), TooLarge);
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(FrameOf(-5, 0)); }), kWrongLength);
    TBinaryWriter W;
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(Frame(W, 0)); }), "");
}

TEST(BinaryStream, DamagedPackedDataBehindAGoodChecksumIsRefused) {
    TBinaryWriter W;
    for (int i = 0; i < 400; ++i)
        W.WriteString("abcabcabd");
    Bytes S = Frame(W, 2);
    S.resize(S.size() - 3); // the packed data ends early
    const std::uint32_t L = static_cast<std::uint32_t>(S.size() - 4);
    for (int k = 0; k < 4; ++k)
        S[k] = static_cast<std::uint8_t>(L >> (8 * k));
    const std::uint32_t A = zem::Adler32(S.data() + 8, S.size() - 8);
    for (int k = 0; k < 4; ++k)
        S[4 + k] = static_cast<std::uint8_t>(A >> (8 * k));
    TBinaryReader R;
    EXPECT_EQ(ErrorOf([&] { R.LoadFromStream(S); }), kPastEnd);
    EXPECT_EQ(R.Size(), 0);
    EXPECT_EQ(ErrorOf([&] { R.ReadByte(); }), kPastEnd);
}

TEST(BinaryStream, FramesFollowEachOtherInAStream) {
    Bytes S = {'h', 'e', 'a', 'd'};
    TBinaryWriter A, B;
    A.WriteString("first");
    B.WriteInteger(-77);
    A.SaveToStream(S, 2);
    B.SaveToStream(S, 0);
    TBinaryReader R;
    std::size_t Position = 4;
    ASSERT_TRUE(R.LoadFromStream(S, Position));
    EXPECT_EQ(R.ReadString(), "first");
    ASSERT_TRUE(R.LoadFromStream(S, Position));
    EXPECT_EQ(R.Position(), 0);
    EXPECT_EQ(R.ReadInteger(), -77);
    EXPECT_EQ(Position, S.size());
    EXPECT_FALSE(R.LoadFromStream(S, Position));
}

TEST(BinaryReader, AReadBeyondTheDataFailsWithoutMovingThePosition) {
    TBinaryWriter W;
    W.WriteByte(1);
    W.WriteByte(2);
    W.WriteByte(3);
    TBinaryReader R;
    ASSERT_TRUE(R.LoadFromStream(Frame(W, 0)));
    EXPECT_EQ(ErrorOf([&] { R.ReadInteger(); }), kPastEnd);
    EXPECT_EQ(R.Position(), 0);
    EXPECT_EQ(R.ReadSmallInt(), 0x0201);
    EXPECT_EQ(ErrorOf([&] { R.ReadSmallInt(); }), kPastEnd);
    EXPECT_EQ(ErrorOf([&] { R.ReadSingle(); }), kPastEnd);
    std::uint8_t Two[2];
    EXPECT_EQ(ErrorOf([&] { R.ReadBytes(Two, 2); }), kPastEnd);
    EXPECT_EQ(ErrorOf([&] { R.ReadBytes(Two, -1); }), kPastEnd);
    EXPECT_EQ(R.Position(), 2);
    EXPECT_EQ(R.ReadBoolean(), 3); // handed on unchanged
    EXPECT_EQ(ErrorOf([&] { R.ReadByte(); }), kPastEnd);
    R.Clear();
    EXPECT_EQ(R.Size(), 0);
    EXPECT_EQ(R.Position(), 0);
    EXPECT_EQ(R.Data(), nullptr);
}

TEST(BinaryReader, StringLengthsFromTheirPrefixes) {
    auto Read = [](const Bytes& Content) {
        TBinaryWriter W;
        W.WriteBytes(Content.data(), static_cast<std::int32_t>(Content.size()));
        TBinaryReader R;
        Bytes S;
        W.SaveToStream(S, 0);
        R.LoadFromStream(S);
        return R.ReadString();
    };
    EXPECT_EQ(Read({0}), "");
    EXPECT_EQ(Read({2, 'o', 'k'}), "ok");
    EXPECT_EQ(Read({255, 255, 255, 0xFF, 0xFF, 0xFF, 0xFF}), ""); // n = -1
    EXPECT_EQ(Read({255, 255, 255, 0, 0, 0, 0}), "");
    EXPECT_EQ(Read({255, 255, 255, 2, 0, 0, 0, 'h', 'i'}), "hi");  // a long prefix for a short string
    EXPECT_EQ(ErrorOf([&] { Read({255, 1, 0, 'x'}); }), kPastEnd); // 256 bytes announced
    // A position past 2^31 - 1 is an arithmetic overflow.
    EXPECT_EQ(ErrorOf([&] { Read({255, 255, 255, 0xFF, 0xFF, 0xFF, 0x7F}); }), "Переполнение целого");
    EXPECT_EQ(ErrorOf([&] { Read({255, 255, 255, 0xF0, 0xFF, 0xFF, 0x7F}); }), kPastEnd);
}
