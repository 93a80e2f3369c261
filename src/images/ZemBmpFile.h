#pragma once
// BMP pictures. The reader takes every common form: information headers of 12 (OS/2 1.x), 16 to 64
// (Windows 3.x and OS/2 2.x), 108 (V4) and 124 (V5) bytes; 1-, 4- and 8-bit palettes, 16, 24 and
// 32 bits per pixel, bit fields, RLE4 and RLE8; rows bottom-up or top-down. The writer makes 32-bit
// files with a 40-byte header.
#include "base/ZemPixels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

// Largest picture the reader accepts, in pixels (512 MB of TColor32).
constexpr std::size_t kBmpMaxPixels = std::size_t(1) << 27;

bool IsBmpSignature(const std::uint8_t* Data, std::size_t Size);

// Decodes a BMP file held in memory. A file whose header lies (sizes that overflow, offsets past the
// end, palettes too short, runs past the row) raises EZemError saying what is wrong.
TZemImage DecodeBmp(const std::uint8_t* Data, std::size_t Size, std::size_t MaxPixels = kBmpMaxPixels);

// A 32-bit bottom-up BMP file of the pixels (rows top to bottom in Pixels).
std::vector<std::uint8_t> EncodeBmp32(const TColor32* Pixels, int Width, int Height);

} // namespace zem
