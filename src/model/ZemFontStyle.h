#pragma once
// Style bits of a font, as the map's font records hold them.
#include <cstdint>

namespace zem {

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

} // namespace zem
