#pragma once
// PNG pictures through libpng.
#include "base/ZemPixels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

bool IsPngSignature(const std::uint8_t* Data, std::size_t Size);

// The most pixels a picture file may have.
constexpr std::size_t kPngMaxPixels = std::size_t(1) << 27;

// Decodes a PNG file held in memory; raises EZemError with libpng's reason on a failure. A picture wider
// or higher than MaxSide, or of more than MaxPixels pixels, is refused before its pixels are allocated.
TZemImage DecodePng(const std::uint8_t* Data, std::size_t Size, std::size_t MaxPixels = kPngMaxPixels,
                    std::uint32_t MaxSide = UINT32_MAX);

// Encodes pixels as an 8-bit RGB PNG file (alpha is dropped, as in a BMP snapshot).
std::vector<std::uint8_t> EncodePng(const TColor32* Pixels, int Width, int Height);

} // namespace zem
