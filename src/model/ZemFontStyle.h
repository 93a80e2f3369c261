#pragma once
// Style bits of a font, as the map's font records hold them.
#include <cstdint>

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
