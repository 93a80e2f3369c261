#pragma once
// ICO files: a directory of images of several sizes, each a device-independent bitmap (with its AND
// mask) or a PNG file.
#include "base/ZemErrors.h"
#include "base/ZemPixels.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zem {

// An icon is at most 1024 pixels wide and high, whether a bitmap or a PNG.
constexpr std::uint32_t kIcoMaxSide = 1024;

// An icon refused for its size: the image's width and height and the limit it is beyond, as a text
// ("1024 x 1024 точек"). A library that reads its icons names the refused one by its index.
class EIconTooLarge : public EZemError {
public:
    EIconTooLarge(std::int64_t Width, std::int64_t Height, std::string Limit, std::int32_t Index = -1);
    std::int64_t Width() const { return FWidth; }
    std::int64_t Height() const { return FHeight; }
    const std::string& Limit() const { return FLimit; }
    std::int32_t Index() const { return FIndex; }

private:
    std::int64_t FWidth, FHeight;
    std::string FLimit;
    std::int32_t FIndex;
};

// The image of the icon file closest to 32 x 32 (an exact 32 x 32 first; among equals the deepest
// colour), with alpha from its own alpha channel or from its AND mask. Raises EZemError saying what is
// wrong with a file that is not a sound icon. An image of more than MaxPixels pixels, or wider or higher
// than kIcoMaxSide, raises EIconTooLarge, and one of more pixels than its bytes can describe EZemError,
// before its pixels are allocated.
TZemImage DecodeIco(const std::uint8_t* Data, std::size_t Size,
                    std::size_t MaxPixels = std::size_t{kIcoMaxSide} * kIcoMaxSide);

// An ICO file of one 32-bit image with its alpha and an AND mask of the fully transparent pixels: how a
// picture becomes an icon. Sides above 256 raise EIconTooLarge (the directory cannot name them).
std::vector<std::uint8_t> EncodeIco32(const TZemImage& Image);

// Whether the bytes begin as an icon file does (reserved 0, type 1).
bool IsIcoSignature(const std::uint8_t* Data, std::size_t Size);

} // namespace zem
