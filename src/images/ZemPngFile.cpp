#include "images/ZemPngFile.h"

#include "base/ZemErrors.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace zem {

bool IsPngSignature(const std::uint8_t* Data, std::size_t Size) {
    static const std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return Size >= 8 && std::memcmp(Data, Signature, 8) == 0;
}

TZemImage DecodePng(const std::uint8_t* Data, std::size_t Size, std::size_t MaxPixels,
                    std::uint32_t MaxSide) {
    png_image Png;
    std::memset(&Png, 0, sizeof Png);
    Png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Png, Data, Size))
        throw EZemError(std::string("Файл PNG поврежден: ") + Png.message);
    // BGRA bytes in memory are 0xAARRGGBB words on a little-endian machine.
    Png.format = PNG_FORMAT_BGRA;
    if (Png.width == 0 || Png.height == 0 || std::uint64_t(Png.width) * Png.height > kPngMaxPixels) {
        png_image_free(&Png);
        throw EZemError("Файл PNG поврежден: недопустимый размер изображения");
    }
    if (Png.width > MaxSide || Png.height > MaxSide || std::uint64_t(Png.width) * Png.height > MaxPixels) {
        const std::string Size = std::to_string(Png.width) + " x " + std::to_string(Png.height);
        png_image_free(&Png);
        throw EZemError("Изображение PNG слишком велико: " + Size + " точек");
    }
    TZemImage Img;
    Img.Width = static_cast<int>(Png.width);
    Img.Height = static_cast<int>(Png.height);
    Img.Pixels.resize(std::size_t(Png.width) * Png.height);
    if (!png_image_finish_read(&Png, nullptr, Img.Pixels.data(), 0, nullptr))
        throw EZemError(std::string("Файл PNG поврежден: ") + Png.message);
    return Img;
}

std::vector<std::uint8_t> EncodePng(const TColor32* Pixels, int Width, int Height) {
    if (Width <= 0 || Height <= 0 || !Pixels)
        throw EZemError("Нельзя записать пустое изображение");
    std::vector<std::uint8_t> Rgb(std::size_t(Width) * Height * 3);
    for (std::size_t i = 0, n = std::size_t(Width) * Height; i < n; ++i) {
        Rgb[3 * i] = std::uint8_t(Pixels[i] >> 16);
        Rgb[3 * i + 1] = std::uint8_t(Pixels[i] >> 8);
        Rgb[3 * i + 2] = std::uint8_t(Pixels[i]);
    }
    png_image Png;
    std::memset(&Png, 0, sizeof Png);
    Png.version = PNG_IMAGE_VERSION;
    Png.width = static_cast<png_uint_32>(Width);
    Png.height = static_cast<png_uint_32>(Height);
    Png.format = PNG_FORMAT_RGB;
    png_alloc_size_t Bytes = 0;
    if (!png_image_write_get_memory_size(Png, Bytes, 0, Rgb.data(), 0, nullptr))
        throw EZemError(std::string("Не удалось записать PNG: ") + Png.message);
    std::vector<std::uint8_t> Out(Bytes);
    if (!png_image_write_to_memory(&Png, Out.data(), &Bytes, 0, Rgb.data(), 0, nullptr))
        throw EZemError(std::string("Не удалось записать PNG: ") + Png.message);
    Out.resize(Bytes);
    return Out;
}

} // namespace zem
