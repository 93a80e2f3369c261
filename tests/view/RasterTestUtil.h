#pragma once
// Helpers of the raster surface tests: pixel pictures as strings and comparisons of surfaces.
#include "view/ZemRaster.h"

#include <string>

namespace zem {

namespace rastertest {

constexpr TColor32 Bg = 0xFF102030;
constexpr TColor32 Ink = 0xFFE0C0A0;

inline TBitmap32 Surface(int W, int H, TColor32 Color = Bg) {
    TBitmap32 B(W, H);
    B.Clear(Color);
    return B;
}

// Row Y from X1 to X2 as characters: '#' where the pixel is C, '.' where it is the background, '?'
// otherwise.
inline std::string Row(const TBitmap32& B, int Y, int X1, int X2, TColor32 C = Ink) {
    std::string S;
    for (int X = X1; X <= X2; ++X) {
        TColor32 P = B.GetPixel(X, Y);
        S += P == C ? '#' : P == Bg ? '.' : '?';
    }
    return S;
}

inline int Count(const TBitmap32& B, TColor32 C) {
    int N = 0;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            N += B.GetPixel(X, Y) == C;
    return N;
}

inline int CountNot(const TBitmap32& B, TColor32 C) {
    return B.Width() * B.Height() - Count(B, C);
}

// Whether the window of Big starting at (DX, DY) equals Small pixel for pixel.
inline bool SameWindow(const TBitmap32& Small, const TBitmap32& Big, int DX, int DY) {
    for (int Y = 0; Y < Small.Height(); ++Y)
        for (int X = 0; X < Small.Width(); ++X)
            if (Small.GetPixel(X, Y) != Big.GetPixel(X + DX, Y + DY))
                return false;
    return true;
}

inline bool Same(const TBitmap32& A, const TBitmap32& B) {
    return A.Width() == B.Width() && A.Height() == B.Height() && SameWindow(A, B, 0, 0);
}

} // namespace rastertest

} // namespace zem
