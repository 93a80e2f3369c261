#include "view/ZemRasterColor.h"

namespace zem {

std::uint32_t SystemColorToRgb(std::uint32_t Index) {
    // Windows' default system colours 0 (scroll bar) ... 30 (menu bar), written as 0xRRGGBB.
    static constexpr std::uint32_t Rgb[31] = {
        0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
        0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0};
    std::uint32_t V = Index < 31 ? Rgb[Index] : 0;
    return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF); // as a platform colour 0x00BBGGRR
}

} // namespace zem
