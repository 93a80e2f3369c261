#pragma once
// TColor32 and the colour helpers of the raster surface. A TColor32 is 0xAARRGGBB (alpha in the top
// byte, blue in the low byte); a platform colour is the window-system value 0x00BBGGRR that objects and
// settings store, where a value with the top bit set names a system colour by its low byte.
#include "base/ZemPixels.h" // TColor32 itself, below both the surface and the picture files

#include <cstdint>

namespace zem {

// XOR mask of an inverted pixel. Only the colour is complemented: the alpha byte stays as it was, so a
// frame shown as ARGB never turns transparent where a rubber band or a selection mark was drawn.
constexpr TColor32 kInvertMask32 = 0x00FFFFFF;

// The classic Windows default values of the system colours 0 ... 30, as platform colours.
std::uint32_t SystemColorToRgb(std::uint32_t Index);

// MulDiv of the window system: A * B / C rounded to nearest (halves away from zero); -1 when C is 0.
constexpr std::int32_t MulDiv(std::int32_t A, std::int32_t B, std::int32_t C) {
    if (C == 0)
        return -1;
    std::int64_t P = static_cast<std::int64_t>(A) * B;
    bool Negative = (P < 0) != (C < 0);
    std::int64_t N = P < 0 ? -P : P;
    std::int64_t D = C < 0 ? -static_cast<std::int64_t>(C) : C;
    std::int64_t Q = (N + D / 2) / D;
    return static_cast<std::int32_t>(Negative ? -Q : Q);
}

// Platform colour (0x00BBGGRR, system colours resolved first) -> opaque TColor32.
inline TColor32 ToColor32(std::uint32_t PlatformColor) {
    if (PlatformColor & 0x80000000u)
        PlatformColor = SystemColorToRgb(PlatformColor & 0xFF);
    return 0xFF000000u | ((PlatformColor & 0xFF) << 16) | (PlatformColor & 0xFF00) |
           ((PlatformColor >> 16) & 0xFF);
}

// TColor32 -> platform colour: red and blue swapped, alpha dropped.
constexpr std::uint32_t ToPlatformColor(TColor32 V) {
    return ((V & 0xFF0000) >> 16) | (V & 0xFF00) | ((V & 0xFF) << 16);
}

constexpr std::uint32_t RedOf(TColor32 V) {
    return (V & 0xFF0000) >> 16;
}
constexpr std::uint32_t GreenOf(TColor32 V) {
    return (V & 0xFF00) >> 8;
}
constexpr std::uint32_t BlueOf(TColor32 V) {
    return V & 0xFF;
}
constexpr std::uint32_t AlphaOf(TColor32 V) {
    return V >> 24;
}

// Each of R, G, B loses Percent per cent of itself (rounded); the result is opaque.
constexpr TColor32 Darken(TColor32 V, std::int32_t Percent) {
    auto D = [Percent](std::uint32_t C) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(C) -
                                          MulDiv(static_cast<std::int32_t>(C), Percent, 100)) &
               0xFF;
    };
    return 0xFF000000u | D(RedOf(V)) << 16 | D(GreenOf(V)) << 8 | D(BlueOf(V));
}

// Blend of foreground F over background B by F's alpha a: each byte is
// ((a * Fc + 128) >> 8) + (((255 - a) * Bc + 128) >> 8), two bytes at a time.
constexpr TColor32 BlendWeighted(TColor32 F, TColor32 B, std::uint32_t A) {
    std::uint32_t NA = 255 - A;
    std::uint32_t Lo = (((F & 0x00FF00FF) * A + 0x00800080) >> 8 & 0x00FF00FF) +
                       (((B & 0x00FF00FF) * NA + 0x00800080) >> 8 & 0x00FF00FF);
    std::uint32_t Hi = ((((F >> 8) & 0x00FF00FF) * A + 0x00800080) & 0xFF00FF00) +
                       ((((B >> 8) & 0x00FF00FF) * NA + 0x00800080) & 0xFF00FF00);
    return Hi + Lo;
}

constexpr TColor32 BlendReg(TColor32 F, TColor32 B) {
    std::uint32_t A = F >> 24;
    if (A == 255)
        return F;
    if (A == 0)
        return B;
    return BlendWeighted(F, B, A);
}

// The same with a master alpha M: the weight is (a * M) >> 8, and a product below 256 leaves B.
constexpr TColor32 BlendRegEx(TColor32 F, TColor32 B, std::uint32_t M) {
    std::uint32_t P = (F >> 24) * M;
    if (P < 256)
        return B;
    return BlendWeighted(F, B, P >> 8);
}

// Coverage blend used by anti-aliased text: Color laid over B with Coverage 0 ... 255; the result is
// opaque, as anything the window system writes.
inline TColor32 BlendCoverage(TColor32 Color, TColor32 B, std::uint32_t Coverage) {
    std::uint32_t A = Coverage + (Coverage >> 7); // 0 ... 256
    std::uint32_t NA = 256 - A;
    std::uint32_t RB = (((Color & 0x00FF00FF) * A + (B & 0x00FF00FF) * NA) >> 8) & 0x00FF00FF;
    std::uint32_t G = (((Color & 0x0000FF00) * A + (B & 0x0000FF00) * NA) >> 8) & 0x0000FF00;
    return 0xFF000000u | RB | G;
}

} // namespace zem
