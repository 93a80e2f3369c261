#pragma once
// Text of the raster surface: FreeType renders, fontconfig resolves the face names the maps use
// ("Arial", "Times New Roman", "Tahoma", "Verdana", "MS Sans Serif") to installed faces (the Liberation
// faces are metric-compatible with Arial and Times New Roman). Strings are Windows-1251 bytes and are
// mapped to Unicode a character at a time through a fixed table.
//
// A map draws thousands of labels a frame, so a text engine keeps what it has worked out: resolved
// names, open faces, sized fonts with their metrics and advances, and rendered glyphs per font and
// escapement (labels keep their angle from frame to frame). The cache belongs to the engine object; a
// surface creates one on first use or shares one it is given. An engine serves one thread at a time.
#include "base/ZemText.h"
#include "view/ZemRasterColor.h"
#include "view/ZemRasterTypes.h"

#include <cstdint>
#include <memory>
#include <string>

#include "model/ZemFontStyle.h"

namespace zem {

// The surface's font: face name, size in points (96 pixels per inch), style bits, platform colour
// (used by OutputText) and character set (text is Windows-1251 whatever it says).
struct TRasterFont {
    std::string Name = "MS Sans Serif";
    std::int32_t Size = 8;
    std::uint8_t Style = 0;
    std::uint32_t Color = 0;
    std::uint8_t Charset = 1;
    // Character height in pixels: the size converted at 96 pixels per inch.
    int PixelHeight() const;
};

// Escapement of a text angle, in tenths of a degree: Round(Angle * 1800 / pi).
int EscapementOf(double Angle);

// Windows-1251 byte -> Unicode code point (0x98, which 1251 leaves undefined, gives U+FFFD).
char32_t Cp1251ToUnicode(unsigned char C);

class TZemTextEngine {
public:
    TZemTextEngine();
    ~TZemTextEngine();
    TZemTextEngine(const TZemTextEngine&) = delete;
    TZemTextEngine& operator=(const TZemTextEngine&) = delete;

    // Width (sum of the glyphs' advances) and height (ascent + descent) of Text in Font.
    TRasterSize Measure(const TRasterFont& Font, const ZemString& Text);
    // Draws Text with the top-left of its unrotated box at (X, Y), rotated counter-clockwise by
    // Escapement tenths of a degree about that point, anti-aliased in Color, clipped to the surface.
    void Draw(TColor32* Bits, int Width, int Height, const TRasterFont& Font, int Escapement, int X, int Y,
              TColor32 Color, const ZemString& Text);
    // Family name of the face a font resolves to ("Liberation Sans" for "Arial").
    std::string ResolvedFamily(const TRasterFont& Font);
    // Number of rendered glyphs held (for tests of the cache).
    std::size_t CachedGlyphs() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

} // namespace zem
