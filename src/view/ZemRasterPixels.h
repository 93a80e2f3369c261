#pragma once
// Pixels as the raster surface and the picture files share them: a decoded picture that owns its
// 32-bit TColor32 pixels, and a read-only view of pixels owned elsewhere. Neither knows the surface or
// any file format, so the image readers and the surface can both use them without knowing each other.
#include "view/ZemRasterColor.h"

#include <cstddef>
#include <vector>

namespace zem {

struct TZemImage {
    int Width = 0;
    int Height = 0;
    std::vector<TColor32> Pixels; // Height rows of Width pixels, the top row first

    bool Empty() const { return Width <= 0 || Height <= 0 || Pixels.empty(); }
    // Unchecked: callers stay inside. Row 0 is the top row.
    TColor32 Pixel(int X, int Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
    // The pixel of a column in a row counted from the bottom (row 0 is the picture's last line), as the
    // background image is addressed.
    TColor32 PixelAt(int Column, int Row) const {
        return Pixels[static_cast<std::size_t>(Height - 1 - Row) * Width + Column];
    }
};

// Width x Height pixels, rows top to bottom without padding, owned by a picture or a surface that
// outlives the view.
struct TPixelView {
    const TColor32* Bits = nullptr;
    int Width = 0;
    int Height = 0;

    TPixelView() = default;
    TPixelView(const TColor32* ABits, int AWidth, int AHeight)
        : Bits(ABits), Width(AWidth), Height(AHeight) {}
    // Implicit, so that a library picture passes wherever a surface's pixels do.
    TPixelView(const TZemImage& Image)
        : Bits(Image.Pixels.empty() ? nullptr : Image.Pixels.data()), Width(Image.Width),
          Height(Image.Height) {}

    bool Empty() const { return Width <= 0 || Height <= 0 || !Bits; }
    const TColor32* ScanLine(int Y) const { return Bits + static_cast<std::size_t>(Y) * Width; }
    TColor32 Pixel(int X, int Y) const { return Bits[static_cast<std::size_t>(Y) * Width + X]; }
};

// A picture of its own made from pixels owned elsewhere (a surface drawn on, to put in a library).
inline TZemImage ImageOf(TPixelView View) {
    TZemImage Image;
    if (View.Empty())
        return Image;
    Image.Width = View.Width;
    Image.Height = View.Height;
    Image.Pixels.assign(View.Bits, View.Bits + static_cast<std::size_t>(View.Width) * View.Height);
    return Image;
}

} // namespace zem
