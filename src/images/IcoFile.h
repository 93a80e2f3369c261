#pragma once
// ICO files: a directory of images of several sizes, each a device-independent bitmap (with its AND
// mask) or a PNG file.
#include "images/ZemImage.h"

#include <cstddef>
#include <cstdint>

namespace zem {

// The image of the icon file closest to 32 x 32 (an exact 32 x 32 first; among equals the deepest
// colour), with alpha from its own alpha channel or from its AND mask. Raises EZemError saying what is
// wrong with a file that is not a sound icon.
TZemImage DecodeIco(const std::uint8_t* Data, std::size_t Size);

} // namespace zem
