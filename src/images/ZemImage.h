#pragma once
// A decoded picture: 32-bit TColor32 pixels, rows stored top to bottom.
#include "view/ZemRasterColor.h"

#include <cstddef>
#include <vector>

namespace zem {

struct TZemImage {
    int Width = 0;
    int Height = 0;
    std::vector<TColor32> Pixels; // Height rows of Width pixels, the top row first

    // The pixel of a column in a row counted from the bottom (row 0 is the picture's last line), as the
    // background image is addressed.
    TColor32 PixelAt(int Column, int Row) const {
        return Pixels[static_cast<std::size_t>(Height - 1 - Row) * Width + Column];
    }
};

} // namespace zem
