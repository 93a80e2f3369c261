#pragma once
// ICO files: a directory of images of several sizes, each a device-independent bitmap (with its AND
// mask) or a PNG file.
#include "images/ZemPixels.h"

#include <cstddef>
#include <cstdint>

namespace zem {

// An icon is at most 1024 pixels wide and high, whether a bitmap or a PNG.
constexpr std::uint32_t kIcoMaxSide = 1024;

// The image of the icon file closest to 32 x 32 (an exact 32 x 32 first; among equals the deepest
// colour), with alpha from its own alpha channel or from its AND mask. Raises EZemError saying what is
// wrong with a file that is not a sound icon. An image of more than MaxPixels pixels, or more than its
// bytes can describe, is refused before its pixels are allocated.
TZemImage DecodeIco(const std::uint8_t* Data, std::size_t Size,
                    std::size_t MaxPixels = std::size_t{kIcoMaxSide} * kIcoMaxSide);

} // namespace zem
