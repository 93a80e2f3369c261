#pragma once
// PNG pictures through libpng.
#include "images/ZemImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

bool IsPngSignature(const std::uint8_t* Data, std::size_t Size);

// Decodes a PNG file held in memory; raises EZemError with libpng's reason on a failure.
TZemImage DecodePng(const std::uint8_t* Data, std::size_t Size);

// Encodes pixels as an 8-bit RGB PNG file (alpha is dropped, as in a BMP snapshot).
std::vector<std::uint8_t> EncodePng(const TColor32* Pixels, int Width, int Height);

} // namespace zem
