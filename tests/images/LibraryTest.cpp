#include "base/ZemErrors.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoFile.h"
#include "images/ZemIcoList.h"
#include "images/ZemPngFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace zem;

namespace {

zem::TZemImage Picture(int W, int H, TColor32 C) {
    return {W, H, std::vector<TColor32>(static_cast<std::size_t>(W) * H, C)};
}

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back((x >> (8 * i)) & 0xFF);
}

// An ICO file of one W x W 32-bit image without alpha; the AND mask makes the left half transparent.
std::vector<std::uint8_t> MakeIco(int W, std::uint32_t Colour) {
    std::vector<std::uint8_t> Dib;
    Put32(Dib, 40);
    Put32(Dib, W);
    Put32(Dib, 2 * W);
    Put16(Dib, 1);
    Put16(Dib, 32);
    for (int i = 0; i < 6; ++i)
        Put32(Dib, 0);
    for (int i = 0; i < W * W; ++i)
        Put32(Dib, Colour & 0x00FFFFFF);
    const int AndStride = ((W + 31) / 32) * 4;
    for (int y = 0; y < W; ++y)
        for (int b = 0; b < AndStride; ++b) {
            std::uint8_t Byte = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (b * 8 + bit < W / 2)
                    Byte |= 0x80 >> bit;
            Dib.push_back(Byte);
        }
    std::vector<std::uint8_t> F;
    Put16(F, 0);
    Put16(F, 1);
    Put16(F, 1);
    F.push_back(static_cast<std::uint8_t>(W));
    F.push_back(static_cast<std::uint8_t>(W));
    F.push_back(0);
    F.push_back(0);
    Put16(F, 1);
    Put16(F, 32);
    Put32(F, static_cast<std::uint32_t>(Dib.size()));
    Put32(F, 22);
    F.insert(F.end(), Dib.begin(), Dib.end());
    return F;
}

} // namespace

TEST(BmpList, EmptyLibraryIsFourZeroBytes) {
    TBmpList L;
    std::vector<std::uint8_t> Out;
    L.WriteData(Out);
    EXPECT_EQ(Out, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(BmpList, SecondEntryEmptyRoundTripsWithSamePositions) {
    TBmpList L;
    const zem::TZemImage Red = Picture(3, 2, 0xFFFF0000), Blue = Picture(1, 4, 0xFF0000FF);
    L.Add(&Red);
    L.Add(nullptr);
    L.Add(&Blue);
    std::vector<std::uint8_t> Out;
    L.WriteData(Out);
    ASSERT_GE(Out.size(), 12u);
    EXPECT_EQ(Out[0], 3);
    // Count, Size of entry 0, its file, then the Size 0 of entry 1.
    std::uint32_t Size0 = Out[4] | (Out[5] << 8) | (Out[6] << 16) | (Out[7] << 24);
    EXPECT_EQ(std::memcmp(&Out[8 + Size0], "\0\0\0\0", 4), 0);

    TBmpList Back;
    int Changes = 0;
    Back.OnChange = [&](TBmpList&) { ++Changes; };
    Back.ReadData(Out);
    EXPECT_EQ(Changes, 1); // one change for the whole read
    ASSERT_EQ(Back.Count(), 3);
    EXPECT_EQ(Back.Get(1), nullptr);
    ASSERT_NE(Back.Get(2), nullptr);
    EXPECT_EQ(Back.Get(2)->Width, 1);
    EXPECT_EQ(Back.Get(2)->Height, 4);
    EXPECT_EQ(Back.Get(0)->Pixel(2, 1), 0xFFFF0000u);
}

TEST(BmpList, DeleteShiftsPositionsAndBadIndexesRaise) {
    TBmpList L;
    const zem::TZemImage A = Picture(1, 1, 1), B = Picture(2, 2, 2), C = Picture(3, 3, 3);
    L.Add(&A);
    L.Add(&B);
    L.Add(&C);
    L.Delete(0);
    EXPECT_EQ(L.Get(1)->Width, 3); // what an otBmp with BitmapIndex 1 now shows
    EXPECT_THROW(L.Get(2), EZemError);
    EXPECT_THROW(L.Delete(-1), EZemError);
    L.Put(2, &A); // Put at Count appends
    EXPECT_EQ(L.Count(), 3);
    L.Move(2, 0);
    EXPECT_EQ(L.Get(0)->Width, 1);
    L.Exchange(0, 2);
    EXPECT_EQ(L.Get(2)->Width, 1);
    EXPECT_EQ(L.IndexOf(L.Get(1)), 1);
    EXPECT_EQ(L.IndexOf(&A), -1); // the list holds copies
    TBmpList Copy;
    Copy.Assign(&L);
    EXPECT_EQ(Copy.Count(), 3);
    Copy.Assign(static_cast<const TBmpList*>(nullptr));
    EXPECT_EQ(Copy.Count(), 0);
}

TEST(BmpList, DamagedStreamRaisesAndKeepsWhatWasRead) {
    TBmpList L;
    const zem::TZemImage A = Picture(2, 2, 0xFF00FF00);
    L.Add(&A);
    L.Add(&A);
    std::vector<std::uint8_t> Out;
    L.WriteData(Out);
    Out.resize(Out.size() - 10); // the second picture is cut short
    TBmpList Back;
    EXPECT_THROW(Back.ReadData(Out), EZemError);
    EXPECT_EQ(Back.Count(), 1);
    EXPECT_EQ(Back.UpdateCount(), 0);
    // A count far larger than the data allocates nothing and fails at the end of the data.
    std::vector<std::uint8_t> Hostile{0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_THROW(Back.ReadData(Hostile), EZemError);
}

TEST(IcoFile, MaskGivesTransparencyAndFileBytesSaveBackUnchanged) {
    const auto Ico = MakeIco(32, 0x00123456);
    const zem::TZemImage Img = zem::DecodeIco(Ico.data(), Ico.size());
    ASSERT_EQ(Img.Width, 32);
    ASSERT_EQ(Img.Height, 32);
    EXPECT_EQ(Img.Pixels[0] >> 24, 0u);     // left half masked out
    EXPECT_EQ(Img.Pixels[31], 0xFF123456u); // right half opaque

    TIconList L;
    const TZemIcon Icon(Ico);
    L.Add(&Icon);
    L.Add(nullptr);
    std::vector<std::uint8_t> Out;
    L.WriteData(Out);
    TIconList Back;
    Back.ReadData(Out);
    ASSERT_EQ(Back.Count(), 2);
    EXPECT_EQ(Back.Get(0)->FileBytes(), Ico);
    EXPECT_EQ(Back.Get(0)->Image().Width, 32);
    EXPECT_EQ(Back.Get(1), nullptr);
}

TEST(IcoFile, ChoosesTheImageNearestThirtyTwo) {
    // Two images, 16 x 16 and 30 x 30: the second is nearer to 32 x 32.
    auto A = MakeIco(16, 0x000000FF), B = MakeIco(30, 0x0000FF00);
    std::vector<std::uint8_t> F;
    Put16(F, 0);
    Put16(F, 1);
    Put16(F, 2);
    const std::uint32_t OffA = 6 + 32, SizeA = static_cast<std::uint32_t>(A.size() - 22);
    const std::uint32_t OffB = OffA + SizeA, SizeB = static_cast<std::uint32_t>(B.size() - 22);
    F.insert(F.end(), A.begin() + 6, A.begin() + 14);
    Put32(F, SizeA);
    Put32(F, OffA);
    F.insert(F.end(), B.begin() + 6, B.begin() + 14);
    Put32(F, SizeB);
    Put32(F, OffB);
    F.insert(F.end(), A.begin() + 22, A.end());
    F.insert(F.end(), B.begin() + 22, B.end());
    const zem::TZemImage Img = zem::DecodeIco(F.data(), F.size());
    EXPECT_EQ(Img.Width, 30);
}

TEST(IcoFile, LyingFilesRaise) {
    auto Ico = MakeIco(32, 0);
    EXPECT_THROW(zem::DecodeIco(Ico.data(), 5), EZemError);
    auto Bad = Ico;
    Bad[2] = 2; // a cursor, not an icon
    EXPECT_THROW(zem::DecodeIco(Bad.data(), Bad.size()), EZemError);
    Bad = Ico;
    Bad[18] = 0xFF; // image offset far past the end
    EXPECT_THROW(zem::DecodeIco(Bad.data(), Bad.size()), EZemError);
    Bad = Ico;
    Bad[22 + 8] = 0xFF; // absurd height
    Bad[22 + 9] = 0xFF;
    EXPECT_THROW(zem::DecodeIco(Bad.data(), Bad.size()), EZemError);
    Bad = Ico;
    Bad.resize(22 + 40 + 100); // colour rows cut short
    EXPECT_THROW(zem::DecodeIco(Bad.data(), Bad.size()), EZemError);
}

namespace {

// An ICO file whose one image is the PNG file Png.
std::vector<std::uint8_t> IcoOfPng(const std::vector<std::uint8_t>& Png) {
    std::vector<std::uint8_t> F;
    Put16(F, 0);
    Put16(F, 1);
    Put16(F, 1);
    for (int i = 0; i < 4; ++i)
        F.push_back(0);
    Put16(F, 1);
    Put16(F, 32);
    Put32(F, static_cast<std::uint32_t>(Png.size()));
    Put32(F, 22);
    F.insert(F.end(), Png.begin(), Png.end());
    return F;
}

// A PNG of W x H whose header is sound but whose pixel data is all but missing.
std::vector<std::uint8_t> PngHeaderOnly(std::uint32_t W, std::uint32_t H) {
    std::vector<std::uint8_t> P = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto Chunk = [&P](const char* Type, std::vector<std::uint8_t> Data) {
        for (int k = 3; k >= 0; --k)
            P.push_back(static_cast<std::uint8_t>(Data.size() >> (8 * k)));
        Data.insert(Data.begin(), Type, Type + 4);
        std::uint32_t Crc = 0xFFFFFFFF;
        for (std::uint8_t B : Data) {
            Crc ^= B;
            for (int k = 0; k < 8; ++k)
                Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1)));
        }
        Crc = ~Crc;
        P.insert(P.end(), Data.begin(), Data.end());
        for (int k = 3; k >= 0; --k)
            P.push_back(static_cast<std::uint8_t>(Crc >> (8 * k)));
    };
    std::vector<std::uint8_t> Ihdr;
    for (std::uint32_t V : {W, H})
        for (int k = 3; k >= 0; --k)
            Ihdr.push_back(static_cast<std::uint8_t>(V >> (8 * k)));
    Ihdr.insert(Ihdr.end(), {8, 6, 0, 0, 0});
    Chunk("IHDR", Ihdr);
    Chunk("IDAT", {0x78, 0x9C, 0x03, 0x00});
    Chunk("IEND", {});
    return P;
}

} // namespace

TEST(IcoFile, APngIconMayNotClaimMorePixelsThanItsBytesOrTheSideCapAllow) {
    for (std::uint32_t Side : {11585u, 1024u, 1025u}) {
        SCOPED_TRACE(Side);
        const auto Ico = IcoOfPng(PngHeaderOnly(Side, Side));
        try {
            zem::DecodeIco(Ico.data(), Ico.size());
            ADD_FAILURE();
        } catch (const EZemError& E) {
            EXPECT_NE(std::string(E.what()).find("слишком велико"), std::string::npos) << E.what();
        }
    }
    // A sound PNG icon of the largest side loads.
    const std::vector<TColor32> White(std::size_t{1024} * 1024, 0xFFFFFFFF);
    const auto Ico = IcoOfPng(zem::EncodePng(White.data(), 1024, 1024));
    EXPECT_EQ(zem::DecodeIco(Ico.data(), Ico.size()).Width, 1024);
}

TEST(IcoList, AllIconsOfALibraryShareAPixelBudget) {
    const std::vector<TColor32> White(std::size_t{1024} * 1024, 0xFFFFFFFF);
    const auto Ico = IcoOfPng(zem::EncodePng(White.data(), 1024, 1024));
    const std::size_t Fit = TIconList::kMaxLibraryPixels / (1024 * 1024);
    std::vector<std::uint8_t> Data;
    Put32(Data, static_cast<std::uint32_t>(Fit + 1));
    for (std::size_t i = 0; i <= Fit; ++i) {
        Put32(Data, static_cast<std::uint32_t>(Ico.size()));
        Data.insert(Data.end(), Ico.begin(), Ico.end());
    }
    TIconList L;
    EXPECT_THROW(L.ReadData(Data), EZemError);
    EXPECT_EQ(static_cast<std::size_t>(L.Count()), Fit);
}
