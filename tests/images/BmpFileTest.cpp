// BMP and PNG files: every form the reader takes, files written by ImageMagick (an independent
// writer) when it is installed, the snapshot writer, and files whose headers lie.
#include "base/ZemErrors.h"
#include "images/ZemBmpFile.h"
#include "images/ZemImageFile.h"
#include "images/ZemPngFile.h"
#include "view/ZemRaster.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace zem;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put16(Bytes& V, std::uint32_t X) {
    V.push_back(std::uint8_t(X));
    V.push_back(std::uint8_t(X >> 8));
}
void Put32(Bytes& V, std::uint32_t X) {
    Put16(V, X);
    Put16(V, X >> 16);
}

// A BMP file of the given header size (12, 40, 64, 108 or 124) with Extra bytes after the header
// (masks), the palette (B, G, R entries) and the pixel data as given.
Bytes MakeBmp(std::uint32_t HeaderSize, std::int32_t W, std::int32_t H, int Bits, std::uint32_t Compression,
              const std::vector<TColor32>& Palette, const Bytes& Data,
              const std::vector<std::uint32_t>& Masks = {}, std::uint32_t ColorsUsed = 0) {
    Bytes Header;
    if (HeaderSize == 12) {
        Put32(Header, 12);
        Put16(Header, std::uint32_t(W));
        Put16(Header, std::uint32_t(H));
        Put16(Header, 1);
        Put16(Header, std::uint32_t(Bits));
    } else {
        Put32(Header, HeaderSize);
        Put32(Header, std::uint32_t(W));
        Put32(Header, std::uint32_t(H));
        Put16(Header, 1);
        Put16(Header, std::uint32_t(Bits));
        Put32(Header, Compression);
        Put32(Header, std::uint32_t(Data.size()));
        Put32(Header, 2835);
        Put32(Header, 2835);
        Put32(Header, ColorsUsed ? ColorsUsed : std::uint32_t(Palette.size()));
        Put32(Header, 0);
        std::size_t Mask = 0;
        while (Header.size() < HeaderSize) {
            if (HeaderSize >= 52 && Mask < Masks.size())
                Put32(Header, Masks[Mask++]);
            else
                Header.push_back(0);
        }
    }
    Bytes After;
    if (HeaderSize < 52)
        for (std::uint32_t M : Masks)
            Put32(After, M);
    for (TColor32 C : Palette) {
        After.push_back(std::uint8_t(C));
        After.push_back(std::uint8_t(C >> 8));
        After.push_back(std::uint8_t(C >> 16));
        if (HeaderSize != 12)
            After.push_back(0);
    }
    std::uint32_t Off = std::uint32_t(14 + Header.size() + After.size());
    Bytes F = {'B', 'M'};
    Put32(F, std::uint32_t(Off + Data.size()));
    Put32(F, 0);
    Put32(F, Off);
    F.insert(F.end(), Header.begin(), Header.end());
    F.insert(F.end(), After.begin(), After.end());
    F.insert(F.end(), Data.begin(), Data.end());
    return F;
}

zem::TZemImage Decode(const Bytes& F) {
    return zem::DecodeBmp(F.data(), F.size());
}

std::string Failure(const Bytes& F) {
    try {
        Decode(F);
    } catch (const EZemError& E) {
        return E.what();
    }
    return "";
}

const TColor32 Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;

// A picture of N colours (N <= 256), W x H, every colour used.
zem::TZemImage Picture(int W, int H, int N) {
    zem::TZemImage P;
    P.Width = W;
    P.Height = H;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            int I = (X * 7 + Y * 3) % N;
            P.Pixels.push_back(
                ToColor32(std::uint8_t(I * 37), std::uint8_t(255 - I * 11), std::uint8_t(I * 5 + 9)));
        }
    return P;
}

struct TTempDir {
    fs::path Path;
    TTempDir() {
        Path = fs::temp_directory_path() /
               ("zem-bmp-" + std::to_string(::getpid()) + "-" + std::to_string(rand()));
        fs::create_directories(Path);
    }
    ~TTempDir() { fs::remove_all(Path); }
    std::string operator/(const std::string& Name) const { return (Path / Name).string(); }
};

std::string ImageMagick() {
    for (const char* P : {"/usr/bin/convert", "/usr/local/bin/convert"})
        if (fs::exists(P) && std::system((std::string(P) + " -version >/dev/null 2>&1").c_str()) == 0)
            return P;
    return "";
}

Bytes ReadFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

} // namespace

TEST(BmpRead, PalettedDepthsAndBothRowOrders) {
    // 3 x 2, 1 bit: rows bottom-up, each padded to 4 bytes.
    Bytes One = {0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0};
    zem::TZemImage I = Decode(MakeBmp(40, 3, 2, 1, 0, {Red, Blue}, One));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Blue, Red, Blue, Red, Blue, Red}));
    EXPECT_EQ(I.PixelAt(1, 0), Blue); // row 0 is the last line
    // 4 bits, top-down.
    Bytes Four = {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0};
    I = Decode(MakeBmp(40, 3, -2, 4, 0, {Red, Green, Blue}, Four));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Red, Green, Blue, Blue, Blue, Green}));
    // 8 bits with the 12-byte header (3-byte palette entries).
    Bytes Eight = {2, 1, 0, 0};
    I = Decode(MakeBmp(12, 3, 1, 8, 0, {Red, Green, Blue}, Eight));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Blue, Green, Red}));
    // The 64-byte OS/2 header reads like the 40-byte one.
    I = Decode(MakeBmp(64, 3, 1, 8, 0, {Red, Green, Blue}, Eight));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Blue, Green, Red}));
}

TEST(BmpRead, DirectColourDepthsAndBitFields) {
    Bytes Rgb24 = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0}; // red, blue, padding
    EXPECT_EQ(Decode(MakeBmp(40, 2, 1, 24, 0, {}, Rgb24)).Pixels, (std::vector<TColor32>{Red, Blue}));
    // 16 bits without bit fields: 5-5-5.
    Bytes Rgb555 = {0x00, 0x7C, 0xE0, 0x03}; // red, green
    EXPECT_EQ(Decode(MakeBmp(40, 2, 1, 16, 0, {}, Rgb555)).Pixels, (std::vector<TColor32>{Red, Green}));
    // 5-6-5 bit fields after a 40-byte header, and inside a V4 header.
    Bytes Rgb565 = {0xE0, 0x07, 0x1F, 0x00}; // green, blue
    std::vector<std::uint32_t> M565 = {0xF800, 0x07E0, 0x001F};
    EXPECT_EQ(Decode(MakeBmp(40, 2, 1, 16, 3, {}, Rgb565, M565)).Pixels,
              (std::vector<TColor32>{Green, Blue}));
    EXPECT_EQ(Decode(MakeBmp(108, 2, 1, 16, 3, {}, Rgb565, M565)).Pixels,
              (std::vector<TColor32>{Green, Blue}));
    // 32 bits: without bit fields the fourth byte is ignored; with an alpha mask it is alpha.
    Bytes Argb = {0x10, 0x20, 0x30, 0x80};
    EXPECT_EQ(Decode(MakeBmp(40, 1, 1, 32, 0, {}, Argb)).Pixels[0], 0xFF302010u);
    std::vector<std::uint32_t> M32 = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    EXPECT_EQ(Decode(MakeBmp(124, 1, 1, 32, 3, {}, Argb, M32)).Pixels[0], 0x80302010u);
    EXPECT_EQ(Decode(MakeBmp(40, 1, 1, 32, 6, {}, Argb, M32)).Pixels[0], 0x80302010u);
}

TEST(BmpRead, RunLengthEncodedEightAndFourBits) {
    // RLE8, 4 x 3: row 0 "run of 3 index 1, 1 literal"; row 1 skipped by a move; row 2 literal.
    Bytes Rle8 = {3, 1, 1, 2, 0, 0,        // row 0: 1 1 1 2, end of line
                  0, 2, 0, 1,              // move down one row: row 1 keeps colour 0
                  0, 4, 2, 1, 2, 1, 0, 1}; // row 2: a literal of 4, end of picture
    zem::TZemImage I = Decode(MakeBmp(40, 4, 3, 8, 1, {Red, Green, Blue}, Rle8));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Blue, Green, Blue, Green, // top row = file row 2
                                               Red, Red, Red, Red,       // skipped: colour 0
                                               Green, Green, Green, Blue}));
    // RLE4, 7 x 1: a run of 3 alternating 1 2 1, a literal of 3 nibbles 0 2 1, then a run of 1.
    Bytes Rle4 = {3, 0x12, 0, 3, 0x02, 0x10, 1, 0x20, 0, 1};
    I = Decode(MakeBmp(40, 7, 1, 4, 2, {Red, Green, Blue}, Rle4));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Green, Blue, Green, Red, Blue, Green, Blue}));
    // A run into the padding of the row (as ImageMagick writes) is dropped there; past it, it fails.
    I = Decode(MakeBmp(40, 3, 1, 8, 1, {Red, Green}, Bytes{4, 1, 0, 1}));
    EXPECT_EQ(I.Pixels, (std::vector<TColor32>{Green, Green, Green}));
    EXPECT_NE(Failure(MakeBmp(40, 3, 1, 8, 1, {Red, Green}, Bytes{5, 1, 0, 1})), "");
}

TEST(BmpRead, LyingHeadersGiveAClearErrorAndNoCrash) {
    Bytes Good = MakeBmp(40, 2, 2, 24, 0, {}, Bytes(16, 0x40));
    ASSERT_EQ(Failure(Good), "");
    auto Expect = [](const Bytes& F, const char* Words) {
        std::string M = Failure(F);
        EXPECT_NE(M.find("Файл BMP поврежден"), std::string::npos) << M;
        EXPECT_NE(M.find(Words), std::string::npos) << M;
    };
    Expect(Bytes{'B', 'M', 0, 0}, "короче заголовка");
    Expect(Bytes{'P', 'K', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}, "подписи");
    Bytes F = Good;
    F[14] = 200; // no header has 200 bytes
    Expect(F, "размер заголовка");
    F = Good;
    Put32(F, 0); // garbage after the end does not matter
    ASSERT_EQ(Failure(F), "");
    F = Good;
    F[18] = 0xFF, F[19] = 0xFF, F[20] = 0xFF, F[21] = 0x7F; // width 2^31 - 1
    F[22] = 0xFF, F[23] = 0xFF, F[24] = 0xFF, F[25] = 0x7F; // height too: overflows 32 bits
    Expect(F, "слишком большое");
    F = Good;
    F[18] = 0xFF, F[19] = 0xFF; // width 65535: the data is far too short
    Expect(F, "короче заявленных");
    F = Good;
    F[10] = 0xFF, F[11] = 0xFF, F[12] = 0; // data offset past the end
    Expect(F, "короче заявленных");
    F = Good;
    F[10] = 20; // data offset inside the header
    Expect(F, "внутри заголовка");
    F = Good;
    F[18] = 0, F[19] = 0, F[20] = 0, F[21] = 0x80; // negative width
    Expect(F, "ширина");
    F = Good;
    F[28] = 7; // 7 bits per pixel
    Expect(F, "глубина");
    F = Good;
    F[30] = 9; // compression 9
    Expect(F, "сжатия");
    // A palette of 256 entries claimed, 2 present.
    Bytes Pal = MakeBmp(40, 2, 1, 8, 0, {Red, Blue}, Bytes(4, 0), {}, 256);
    Pal.resize(14 + 40 + 8);
    Expect(Pal, "палитра");
    // An index beyond a short palette.
    Expect(MakeBmp(40, 2, 1, 8, 0, {Red, Blue}, Bytes{0, 5, 0, 0}), "вне палитры");
    // Runs past the row, literal runs past the file, moves past the picture, runs below the last row.
    Expect(MakeBmp(40, 4, 2, 8, 1, {Red}, Bytes{5, 0, 0, 1}), "конец строки");
    Expect(MakeBmp(40, 4, 2, 8, 1, {Red}, Bytes{2, 0, 3, 0, 0, 1}), "конец строки");
    Expect(MakeBmp(40, 4, 2, 8, 1, {Red}, Bytes{0, 6, 0, 0}), "конец файла");
    Expect(MakeBmp(40, 4, 2, 8, 1, {Red}, Bytes{0, 2, 9, 0}), "сдвиг");
    Expect(MakeBmp(40, 4, 1, 8, 1, {Red}, Bytes{0, 0, 2, 0}), "ниже последней");
    Expect(MakeBmp(40, 4, -1, 8, 1, {Red}, Bytes{0, 1}), "сверху вниз");
    Expect(MakeBmp(40, 4, 1, 24, 1, {}, Bytes{0, 1}), "RLE8");
    // Bit fields that run past the file.
    Bytes BF = MakeBmp(40, 1, 1, 32, 3, {}, Bytes{}, {});
    Expect(BF, "битовые поля");
}

TEST(BmpRead, DecodedPicturesHonourTheSizeLimit) {
    Bytes Rle = MakeBmp(40, 3000, 3000, 8, 1, {Red}, Bytes{0, 1});
    const zem::TZemImage Whole = zem::DecodeBmp(Rle.data(), Rle.size());
    EXPECT_EQ(Whole.Width, 3000);
    EXPECT_EQ(Whole.Height, 3000);
    EXPECT_EQ(Whole.Pixels.size(), 9000000u);
    EXPECT_THROW(zem::DecodeBmp(Rle.data(), Rle.size(), 1000000), EZemError);
}

TEST(BmpWrite, ThirtyTwoBitFilesReadBack) {
    zem::TZemImage P = Picture(13, 7, 256);
    Bytes F = zem::EncodeBmp32(P.Pixels.data(), P.Width, P.Height);
    EXPECT_EQ(F.size(), 54u + 13 * 7 * 4);
    EXPECT_EQ(Decode(F).Pixels, P.Pixels);
    EXPECT_THROW(zem::EncodeBmp32(nullptr, 0, 0), EZemError);
}

TEST(ImageFile, SaveImageFileWritesBmpOrPngAndTheLoaderReadsBoth) {
    TTempDir Dir;
    TBitmap32 B(9, 5);
    B.Clear(0xFF336699);
    B.SetPixel(2, 3, 0xFFFF8000);
    for (const char* Name : {"frame.bmp", "frame.PNG"}) {
        zem::SaveImageFile(Dir / Name, B.View());
        TBitmap32 C;
        C.Assign(zem::ReadImageFile(Dir / Name));
        ASSERT_EQ(C.Width(), 9) << Name;
        ASSERT_EQ(C.Height(), 5);
        EXPECT_EQ(C.GetPixel(2, 3), 0xFFFF8000u) << Name;
        EXPECT_EQ(C.GetPixel(8, 4), 0xFF336699u) << Name;
        zem::TZemImage I;
        EXPECT_EQ(zem::LoadImageFile(Dir / Name, I), zem::ilLoaded);
        EXPECT_EQ(I.PixelAt(2, 1), 0xFFFF8000u);
    }
    Bytes Png = ReadFile(Dir / "frame.PNG");
    EXPECT_TRUE(zem::IsPngSignature(Png.data(), Png.size()));
    for (const auto& E : fs::directory_iterator(Dir.Path)) // no temporary file is left behind
        EXPECT_TRUE(E.path().filename() == "frame.bmp" || E.path().filename() == "frame.PNG") << E.path();
    zem::TZemImage I;
    EXPECT_EQ(zem::LoadImageFile(Dir / "missing.bmp", I), zem::ilCannotOpen);
    std::ofstream(Dir / "junk.bmp") << "BMjunk";
    EXPECT_EQ(zem::LoadImageFile(Dir / "junk.bmp", I), zem::ilNotImage);
    std::ofstream(Dir / "text.bmp") << "hello";
    EXPECT_EQ(zem::LoadImageFile(Dir / "text.bmp", I), zem::ilNotImage);
    EXPECT_EQ(I.Width, 0);
    EXPECT_THROW(zem::SaveImageFile(Dir / "no-such-folder/x.bmp", B.View()), EZemError);
    EXPECT_THROW(zem::ReadImageFile(Dir / "missing.bmp"), EZemError);
}

// Every depth written by ImageMagick from one PNG of ours reads back as the same picture.
TEST(BmpRead, FilesWrittenByImageMagickInEveryForm) {
    std::string Convert = ImageMagick();
    if (Convert.empty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TTempDir Dir;
    struct TCase {
        const char* Name;
        int Colours;
        const char* Options;
        int Tolerance; // per channel: one step of a 5-bit channel for the 16-bit forms
    };
    const TCase Cases[] = {
        {"bmp3-1bit", 2, "-type palette BMP3:", 0},
        {"bmp3-4bit", 12, "-type palette BMP3:", 0},
        {"bmp3-8bit", 200, "-type palette BMP3:", 0},
        {"bmp3-rle8", 200, "-type palette -compress RLE BMP3:", 0},
        {"bmp3-24bit", 256, "-type truecolor BMP3:", 0},
        {"bmp2-8bit", 100, "-type palette BMP2:", 0},
        {"bmp2-24bit", 256, "-type truecolor BMP2:", 0},
        {"bmp-v5-24bit", 256, "-type truecolor BMP:", 0},
        {"bmp-v5-565", 256, "-define bmp:subtype=RGB565 BMP:", 8},
        {"bmp-v5-555", 256, "-define bmp:subtype=RGB555 BMP:", 8},
    };
    for (const TCase& C : Cases) {
        zem::TZemImage P = Picture(29, 11, C.Colours);
        std::string Png = Dir / (std::string(C.Name) + ".png"), Bmp = Dir / (std::string(C.Name) + ".bmp");
        Bytes Encoded = zem::EncodePng(P.Pixels.data(), P.Width, P.Height);
        std::ofstream(Png, std::ios::binary)
            .write(reinterpret_cast<const char*>(Encoded.data()), Encoded.size());
        std::string Cmd = Convert + " " + Png + " " + C.Options + Bmp + " 2>/dev/null";
        ASSERT_EQ(std::system(Cmd.c_str()), 0) << Cmd;
        zem::TZemImage I = zem::ReadImageFile(Bmp);
        ASSERT_EQ(I.Width, P.Width) << C.Name;
        ASSERT_EQ(I.Height, P.Height) << C.Name;
        for (std::size_t i = 0; i < P.Pixels.size(); ++i) {
            TColor32 A = P.Pixels[i], B = I.Pixels[i];
            for (int Shift : {0, 8, 16}) {
                int D = int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF);
                ASSERT_LE(std::abs(D), C.Tolerance) << C.Name << " pixel " << i;
            }
            ASSERT_EQ(B >> 24, 0xFFu) << C.Name;
        }
    }
    // The 32-bit form with alpha.
    std::string Alpha = Dir / "alpha.bmp";
    ASSERT_EQ(std::system((Convert + " -size 4x2 xc:\"rgba(255,0,0,0.5)\" BMP:" + Alpha).c_str()), 0);
    zem::TZemImage I = zem::ReadImageFile(Alpha);
    ASSERT_EQ(I.Pixels.size(), 8u);
    EXPECT_EQ(I.Pixels[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_NEAR(double(I.Pixels[0] >> 24), 127.5, 1);
    // And our own 32-bit file is read by ImageMagick as the same picture.
    zem::TZemImage P = Picture(7, 3, 256);
    zem::SaveImageFile(Dir / "ours.bmp", P);
    ASSERT_EQ(std::system((Convert + " " + (Dir / "ours.bmp") + " " + (Dir / "back.png")).c_str()), 0);
    EXPECT_EQ(zem::ReadImageFile(Dir / "back.png").Pixels, P.Pixels);
}
