#pragma once
// TBitmap32: the 32-bit raster surface every frame is drawn on. Pixels are TColor32 0xAARRGGBB,
// rows top to bottom without padding; pixel (x, y) is at y * Width + x.
#include <cstddef>
#include <cstdint>
#include <vector>

using TColor32 = std::uint32_t;

class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

    // Negative sizes become 0; an unchanged size does nothing. Contents after a resize are undefined
    // until cleared (here: zero).
    void SetSize(int AWidth, int AHeight);

    TColor32* Bits() { return FBits.empty() ? nullptr : FBits.data(); }
    const TColor32* Bits() const { return FBits.empty() ? nullptr : FBits.data(); }

    void Clear(TColor32 Color);

    // Unchecked pixel access; callers keep (X, Y) inside the surface.
    TColor32 Pixel(int X, int Y) const { return FBits[static_cast<size_t>(Y) * FWidth + X]; }
    void SetPixel(int X, int Y, TColor32 C) { FBits[static_cast<size_t>(Y) * FWidth + X] = C; }

    void BeginUpdate() { ++UpdateCount; }
    void EndUpdate();

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TColor32> FBits;
    int UpdateCount = 0;
};
