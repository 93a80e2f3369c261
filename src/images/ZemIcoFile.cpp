#include "images/ZemIcoFile.h"

#include "base/ZemErrors.h"
#include "images/ZemBmpFile.h"
#include "images/ZemPngFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace zem {

namespace {

[[noreturn]] void Bad(const char* Why) {
    throw EZemError(std::string("Неверный файл значка: ") + Why);
}

std::uint32_t U16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
void Put32(std::vector<std::uint8_t>& v, size_t At, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[At + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

std::string SideLimit() {
    return std::to_string(kIcoMaxSide) + " x " + std::to_string(kIcoMaxSide) + " точек";
}

// Refuses an image of Width x Height beyond the side limit or beyond MaxPixels.
void CheckIconSize(std::int64_t Width, std::int64_t Height, std::size_t MaxPixels) {
    if (Width > kIcoMaxSide || Height > kIcoMaxSide)
        throw EIconTooLarge(Width, Height, SideLimit());
    if (static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height) > MaxPixels)
        throw EIconTooLarge(Width, Height, std::to_string(MaxPixels) + " точек");
}

// The most pixels a PNG of Bytes bytes can hold: its pixel data is a zlib stream, which makes at most
// 1032 bytes of each byte, and a pixel takes at least one bit.
std::size_t PngPixelsFor(std::size_t Bytes) {
    constexpr std::size_t kZlibMaxRatio = 1032;
    return Bytes > SIZE_MAX / (8 * kZlibMaxRatio) ? SIZE_MAX : Bytes * 8 * kZlibMaxRatio;
}

// An icon's bitmap is a BMP without its file header, twice as high (colour rows, then the AND mask).
TZemImage DecodeIconDib(const std::uint8_t* Dib, size_t Size, std::size_t MaxPixels) {
    if (Size < 40)
        Bad("заголовок изображения обрезан");
    const std::uint32_t HeaderSize = U32(Dib);
    if (HeaderSize < 40 || HeaderSize > Size)
        Bad("неверный размер заголовка изображения");
    const std::int32_t Width = static_cast<std::int32_t>(U32(Dib + 4));
    const std::int32_t DoubleHeight = static_cast<std::int32_t>(U32(Dib + 8));
    const std::uint32_t Bits = U16(Dib + 14);
    std::uint32_t Colors = U32(Dib + 32);
    if (Width <= 0 || DoubleHeight <= 0 || DoubleHeight % 2 != 0)
        Bad("неверные размеры изображения");
    const std::int32_t Height = DoubleHeight / 2;
    CheckIconSize(Width, Height, MaxPixels);
    if (Bits <= 8 && Colors == 0)
        Colors = 1u << Bits;
    if (Bits > 8)
        Colors = 0;
    if (Colors > 256)
        Bad("слишком большая палитра");
    const size_t PaletteBytes = static_cast<size_t>(Colors) * 4;
    const size_t XorStride = ((static_cast<size_t>(Width) * Bits + 31) / 32) * 4;
    const size_t AndStride = ((static_cast<size_t>(Width) + 31) / 32) * 4;
    const size_t XorAt = HeaderSize + PaletteBytes;
    const size_t AndAt = XorAt + XorStride * static_cast<size_t>(Height);
    if (XorAt > Size || XorStride * static_cast<size_t>(Height) > Size - XorAt)
        Bad("данные изображения обрезаны");

    // A BMP file of the colour rows, for the BMP reader.
    std::vector<std::uint8_t> File(14);
    File[0] = 'B';
    File[1] = 'M';
    File.insert(File.end(), Dib, Dib + AndAt);
    Put32(File, 2, static_cast<std::uint32_t>(File.size()));
    Put32(File, 10, static_cast<std::uint32_t>(14 + XorAt));
    Put32(File, 14 + 8, static_cast<std::uint32_t>(Height));
    if (U32(Dib + 16) == 0)
        Put32(File, 14 + 20, 0); // image size may stay unset for uncompressed rows
    TZemImage Img = DecodeBmp(File.data(), File.size());

    bool HasAlpha = false;
    if (Bits == 32)
        for (std::int32_t y = 0; y < Height && !HasAlpha; ++y)
            for (std::int32_t x = 0; x < Width; ++x)
                if (Dib[XorAt + static_cast<size_t>(y) * XorStride + static_cast<size_t>(x) * 4 + 3] != 0) {
                    HasAlpha = true;
                    break;
                }
    const bool HasMask = AndAt <= Size && AndStride * static_cast<size_t>(Height) <= Size - AndAt;
    for (std::int32_t y = 0; y < Height; ++y) {
        const std::int32_t Row = Height - 1 - y; // DIB rows are bottom-up
        for (std::int32_t x = 0; x < Width; ++x) {
            TColor32& P = Img.Pixels[static_cast<size_t>(y) * Width + x];
            std::uint32_t Alpha = 255;
            if (HasAlpha)
                Alpha = Dib[XorAt + static_cast<size_t>(Row) * XorStride + static_cast<size_t>(x) * 4 + 3];
            else if (HasMask &&
                     (Dib[AndAt + static_cast<size_t>(Row) * AndStride + static_cast<size_t>(x) / 8] >>
                      (7 - x % 8)) &
                         1)
                Alpha = 0;
            P = (P & 0x00FFFFFFu) | (Alpha << 24);
        }
    }
    return Img;
}

} // namespace

TZemImage DecodeIco(const std::uint8_t* Data, std::size_t Size, std::size_t MaxPixels) {
    if (!Data || Size < 6)
        Bad("файл слишком короткий");
    if (U16(Data) != 0 || U16(Data + 2) != 1)
        Bad("это не файл значка");
    const std::uint32_t Count = U16(Data + 4);
    if (Count == 0)
        Bad("в файле нет изображений");
    if (6 + static_cast<size_t>(Count) * 16 > Size)
        Bad("каталог изображений обрезан");
    size_t Best = 0;
    long BestScore = -1;
    for (size_t i = 0; i < Count; ++i) {
        const std::uint8_t* E = Data + 6 + i * 16;
        const long W = E[0] ? E[0] : 256, H = E[1] ? E[1] : 256;
        const long Depth = static_cast<long>(U16(E + 6));
        // Closer to 32 x 32 first, then deeper colour.
        const long Score = (1000 - std::labs(W - 32) - std::labs(H - 32)) * 100 + std::min(Depth, 99L);
        if (Score > BestScore) {
            BestScore = Score;
            Best = i;
        }
    }
    const std::uint8_t* E = Data + 6 + Best * 16;
    const std::uint32_t Bytes = U32(E + 8), Offset = U32(E + 12);
    if (Offset > Size || Bytes > Size - Offset || Bytes == 0)
        Bad("изображение лежит за концом файла");
    const std::uint8_t* Image = Data + Offset;
    if (IsPngSignature(Image, Bytes)) {
        // The size stands in the header chunk that opens every PNG: refuse by it before libpng reads on.
        constexpr std::uint32_t kIhdrSize = 8 + 8 + 8;
        if (Bytes >= kIhdrSize)
            CheckIconSize(BigEndian32(Image + 16), BigEndian32(Image + 20), MaxPixels);
        return DecodePng(Image, Bytes, std::min(MaxPixels, PngPixelsFor(Bytes)), kIcoMaxSide);
    }
    return DecodeIconDib(Image, Bytes, MaxPixels);
}

bool IsIcoSignature(const std::uint8_t* Data, std::size_t Size) {
    return Data && Size >= 6 && U16(Data) == 0 && U16(Data + 2) == 1 && U16(Data + 4) > 0;
}

std::vector<std::uint8_t> EncodeIco32(const TZemImage& Image) {
    constexpr int kMaxSide = 256;
    if (Image.Empty())
        throw EZemError("Пустое изображение не может стать значком.");
    if (Image.Width > kMaxSide || Image.Height > kMaxSide)
        throw EIconTooLarge(Image.Width, Image.Height, "256 x 256 точек");
    const auto W = static_cast<std::size_t>(Image.Width), H = static_cast<std::size_t>(Image.Height);
    const std::size_t AndStride = ((W + 31) / 32) * 4;
    const std::size_t DibBytes = 40 + W * H * 4 + AndStride * H;
    std::vector<std::uint8_t> F(6 + 16 + 40);
    auto Put16 = [&F](std::size_t At, std::uint32_t x) {
        F[At] = static_cast<std::uint8_t>(x);
        F[At + 1] = static_cast<std::uint8_t>(x >> 8);
    };
    Put16(2, 1);                                // type: icon
    Put16(4, 1);                                // one image
    F[6] = static_cast<std::uint8_t>(W & 0xFF); // 256 is written as 0
    F[7] = static_cast<std::uint8_t>(H & 0xFF);
    Put16(6 + 4, 1);  // planes
    Put16(6 + 6, 32); // bits per pixel
    Put32(F, 6 + 8, static_cast<std::uint32_t>(DibBytes));
    Put32(F, 6 + 12, 6 + 16);
    const std::size_t Dib = 6 + 16;
    Put32(F, Dib, 40);
    Put32(F, Dib + 4, static_cast<std::uint32_t>(W));
    Put32(F, Dib + 8, static_cast<std::uint32_t>(2 * H)); // colour rows and mask rows
    Put16(Dib + 12, 1);
    Put16(Dib + 14, 32);
    F.reserve(6 + 16 + DibBytes);
    for (std::size_t y = H; y-- > 0;) // bottom-up
        for (std::size_t x = 0; x < W; ++x) {
            const TColor32 P = Image.Pixels[y * W + x];
            for (int i = 0; i < 4; ++i)
                F.push_back(static_cast<std::uint8_t>(P >> (8 * i))); // B, G, R, A
        }
    for (std::size_t y = H; y-- > 0;) {
        std::vector<std::uint8_t> Row(AndStride, 0);
        for (std::size_t x = 0; x < W; ++x)
            if ((Image.Pixels[y * W + x] >> 24) == 0)
                Row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        F.insert(F.end(), Row.begin(), Row.end());
    }
    return F;
}

EIconTooLarge::EIconTooLarge(std::int64_t Width, std::int64_t Height, std::string Limit, std::int32_t Index)
    : EZemError((Index >= 0
                     ? "Значок с индексом " + std::to_string(Index) + " в библиотеке значков слишком велик: "
                     : std::string("Изображение значка слишком велико: ")) +
                std::to_string(Width) + " x " + std::to_string(Height) + " точек, а допустимо не больше " +
                Limit + "."),
      FWidth(Width), FHeight(Height), FLimit(std::move(Limit)), FIndex(Index) {}

} // namespace zem
