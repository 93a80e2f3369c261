#pragma once
// Pixels as the raster surface (view/) and the picture files (images/) share them: the 32-bit TColor32,
// a decoded picture that owns its pixels, and a read-only view of pixels owned elsewhere. Nothing here
// knows the surface or any file format, so that both folders build on it without knowing each other.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

// 0xAARRGGBB: alpha in the top byte, blue in the low byte.
using TColor32 = std::uint32_t;

constexpr TColor32 clBlack32 = 0xFF000000;
constexpr TColor32 clWhite32 = 0xFFFFFFFF;
constexpr TColor32 clNavy32 = 0xFF00007F;
constexpr TColor32 clRed32 = 0xFFFF0000;
constexpr TColor32 clBlue32 = 0xFF0000FF;

constexpr TColor32 ToColor32(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A = 0xFF) {
    return static_cast<TColor32>(A) << 24 | static_cast<TColor32>(R) << 16 | static_cast<TColor32>(G) << 8 |
           B;
}

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
