// Picture and icon files as the library dialogs add them.
#include "base/ZemErrors.h"
#include "images/ZemBmpFile.h"
#include "images/ZemIcoFile.h"
#include "images/ZemLibraryFiles.h"
#include "images/ZemPngFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zem;

namespace {

struct LibraryFiles : ::testing::Test {
    std::filesystem::path Dir =
        std::filesystem::temp_directory_path() /
        ("zem-libfiles-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    void SetUp() override { std::filesystem::create_directories(Dir); }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    std::string Write(const char* Name, const std::vector<std::uint8_t>& Bytes) {
        const std::string Path = (Dir / Name).string();
        std::ofstream(Path, std::ios::binary)
            .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
        return Path;
    }
};

// A picture with every alpha: opaque, half and fully transparent pixels.
TZemImage Sample(int W, int H) {
    TZemImage I{W, H, {}};
    for (int i = 0; i < W * H; ++i)
        I.Pixels.push_back(static_cast<TColor32>((i % 3 == 0   ? 0x00u
                                                  : i % 3 == 1 ? 0x80u
                                                               : 0xFFu)
                                                 << 24) |
                           static_cast<TColor32>(i * 2654435761u & 0xFFFFFF));
    return I;
}

TEST_F(LibraryFiles, AnIconMadeFromAPictureDecodesToIt) {
    for (const auto& [W, H] : {std::pair{1, 1}, {7, 3}, {33, 32}, {256, 256}}) {
        const TZemImage P = Sample(W, H);
        const std::vector<std::uint8_t> Ico = EncodeIco32(P);
        const TZemImage Back = DecodeIco(Ico.data(), Ico.size());
        ASSERT_EQ(Back.Width, W);
        ASSERT_EQ(Back.Height, H);
        EXPECT_EQ(Back.Pixels, P.Pixels) << W << " x " << H;
    }
    EXPECT_THROW(EncodeIco32(Sample(257, 2)), EIconTooLarge);
}

TEST_F(LibraryFiles, EitherLibraryTakesBmpPngAndIco) {
    const TZemImage P = Sample(5, 4);
    const std::string Bmp = Write("a.bmp", EncodeBmp32(P.Pixels.data(), 5, 4));
    const std::string Png = Write("a.png", EncodePng(P.Pixels.data(), 5, 4));
    const std::string Ico = Write("a.ico", EncodeIco32(P));
    for (const std::string& F : {Bmp, Png, Ico}) {
        EXPECT_EQ(ReadLibraryPicture(F).Width, 5) << F;
        EXPECT_EQ(ReadLibraryIcon(F).Image().Height, 4) << F;
    }
    // An icon file is kept byte for byte.
    EXPECT_EQ(ReadLibraryIcon(Ico).FileBytes(), EncodeIco32(P));
}

TEST_F(LibraryFiles, ABadFileIsRefusedWithItsName) {
    const std::string Text = Write("note.bmp", {'h', 'e', 'l', 'l', 'o'});
    std::vector<std::uint8_t> Cut = EncodeBmp32(Sample(9, 9).Pixels.data(), 9, 9);
    Cut.resize(60);
    const std::string Short = Write("cut.bmp", Cut);
    const std::string Big = Write("big.png", EncodePng(Sample(300, 2).Pixels.data(), 300, 2));
    for (const std::string& F : {Text, Short, (Dir / "missing.png").string()}) {
        for (int Library = 0; Library < 2; ++Library) {
            try {
                if (Library == 0)
                    ReadLibraryPicture(F);
                else
                    ReadLibraryIcon(F);
                ADD_FAILURE() << F << " was read";
            } catch (const EZemError& E) {
                EXPECT_NE(std::string(E.what()).find(F), std::string::npos) << E.what();
            }
        }
    }
    EXPECT_EQ(ReadLibraryPicture(Big).Width, 300);
    EXPECT_THROW(ReadLibraryIcon(Big), EZemError);
}

} // namespace
