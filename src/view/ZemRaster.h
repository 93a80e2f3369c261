#pragma once
// TBitmap32: the 32-bit raster surface every frame is drawn on. Pixels are TColor32 0xAARRGGBB, rows top
// to bottom without padding; pixel (x, y) is at y * Width + x. The surface carries a pen and brush state
// of its own (LineColor, LineWidth, LineStyle, BrushColor, BrushStyle, Font) that painters set before
// each call. Everything clips per pixel: drawing outside the surface is ignored silently.
//
// Where the code lives: this header and ZemRaster.cpp (surface, pixels, rectangles, transfers),
// ZemRasterLines.cpp (clipped and styled lines), ZemRasterFill.h/.cpp (scanline filler and span writers),
// ZemRasterShapes.cpp (polygons, curves, discs, marks), ZemRasterResample.cpp, ZemRasterText.h/.cpp.
#include "base/ZemPixels.h"
#include "base/ZemText.h"
#include "view/ZemRasterColor.h"
#include "view/ZemRasterText.h"
#include "view/ZemRasterTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zem {

enum class TDrawMode : std::uint8_t { dmOpaque, dmBlend };
enum class TStretchFilter : std::uint8_t { sfNearest, sfLinear, sfSpline };

namespace raster {
class TScanlineFiller;
class TSpanUnion;
} // namespace raster

class TBitmap32 {
public:
    TBitmap32();
    TBitmap32(int AWidth, int AHeight);
    TBitmap32(const TBitmap32& Other);
    TBitmap32& operator=(const TBitmap32& Other);
    TBitmap32(TBitmap32&&) noexcept;
    TBitmap32& operator=(TBitmap32&&) noexcept;
    ~TBitmap32();

    // ---- Life and size ----
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0 || FBits.empty(); }

    // Negative sizes become 0; an unchanged size does nothing; a zero side leaves the surface empty.
    // Contents after a resize are undefined until cleared (here: zero). A size that cannot be allocated
    // raises EZemError "Can't allocate the DIB handle" and leaves the surface empty.
    void SetSize(int AWidth, int AHeight);

    TColor32* Bits() { return FBits.empty() ? nullptr : FBits.data(); }
    const TColor32* Bits() const { return FBits.empty() ? nullptr : FBits.data(); }
    TColor32* ScanLine(int Y) { return FBits.data() + static_cast<std::size_t>(Y) * FWidth; }
    const TColor32* ScanLine(int Y) const { return FBits.data() + static_cast<std::size_t>(Y) * FWidth; }
    // The pixels as the image files and the other drawing calls take them; valid until the next resize.
    TPixelView View() const { return {Bits(), FWidth, FHeight}; }

    // Nesting of updates; EndUpdate without a BeginUpdate raises "Unpaired TZemPersistent.EndUpdate".
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // ---- State (defaults as a new surface has them) ----
    TDrawMode DrawMode = TDrawMode::dmOpaque;
    std::uint8_t MasterAlpha = 255;
    TColor32 OuterColor = 0;
    TStretchFilter StretchFilter = TStretchFilter::sfNearest;
    TRasterFont Font;
    TColor32 LineColor = clWhite32;
    std::int32_t LineWidth = 1;
    std::uint8_t LineStyle = 0; // 0 solid, 1 dashed, 2 dotted, 3 striped
    TColor32 BrushColor = clBlack32;
    std::uint8_t BrushStyle =
        0; // 0 solid, 1 none, 2 horizontal, 3 vertical, 4 fdiagonal, 5 bdiagonal, 6 cross, 7 diagcross
    TRasterPoint PenPosition;
    std::array<std::int32_t, 4> DashCounters{}; // dashed, dotted, striped, spare
    std::string SpareFontName = "Times New Roman";
    std::int32_t SpareFontSize = 12;

    // ---- Pixels ----
    void Clear(TColor32 Color);
    void SetPixel(int X, int Y, TColor32 Color) {
        if (static_cast<unsigned>(X) < static_cast<unsigned>(FWidth) &&
            static_cast<unsigned>(Y) < static_cast<unsigned>(FHeight))
            FBits[static_cast<std::size_t>(Y) * FWidth + X] = Color;
    }
    // Unchecked: callers stay inside.
    TColor32 GetPixel(int X, int Y) const { return FBits[static_cast<std::size_t>(Y) * FWidth + X]; }
    TColor32 Pixel(int X, int Y) const { return GetPixel(X, Y); }
    void InvertPixel(int X, int Y) {
        if (static_cast<unsigned>(X) < static_cast<unsigned>(FWidth) &&
            static_cast<unsigned>(Y) < static_cast<unsigned>(FHeight))
            FBits[static_cast<std::size_t>(Y) * FWidth + X] ^= kInvertMask32;
    }
    // Both ends included, in either order.
    void HorizontalSpan(int X1, int Y, int X2, TColor32 Color);
    void VerticalSpan(int X, int Y1, int Y2, TColor32 Color);
    // The right column X2 and the bottom row Y2 are not filled.
    void FillRectClipped(int X1, int Y1, int X2, int Y2, TColor32 Color);
    // Corners sorted; top and bottom rows X1..X2, then the columns between them.
    void FrameRectClipped(int X1, int Y1, int X2, int Y2, TColor32 Color);

    // ---- Transfers ----
    // The whole Source with its top-left at (X, Y), copied or (Source.DrawMode = dmBlend) blended.
    void Draw(int X, int Y, const TBitmap32& Source);
    // Nearest-neighbour stretch of the Src rectangle of Source onto the Dst rectangle of this surface.
    void CopyFromDevice(const TRasterRect& Dst, const TRasterRect& Src, const TBitmap32& Source);
    // Block copy of the whole surface onto Target at (X, Y).
    void CopyToDevice(TBitmap32& Target, int X, int Y) const;
    // Takes the size and the pixels of Source (a picture read from a file, another surface).
    void Assign(TPixelView Source);

    // ---- Lines ----
    void LineClipped(int X1, int Y1, int X2, int Y2, TColor32 Color);
    void MoveTo(int X, int Y) { PenPosition = {X, Y}; }
    void LineToClipped(int X, int Y);
    // Style 0 solid, 1 dashed, 2 dotted, 3 striped, in LineColor and LineWidth; nothing when the points
    // coincide. Invert complements every touched pixel instead of painting it.
    void LineStyled(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert, int Style);
    void PolylineStyled(const TRasterPoint* Points, int Last, bool RoundCaps);
    void PolylineStyled(const std::vector<TRasterPoint>& Points, bool RoundCaps) {
        PolylineStyled(Points.data(), static_cast<int>(Points.size()) - 1, RoundCaps);
    }
    void MarchingLine(int X1, int Y1, int X2, int Y2);
    void ArrowHead(TRasterPoint From, TRasterPoint Tip);
    void ResetDash() { DashCounters = {}; }

    // ---- Shapes ----
    void PolygonFilled(const TRasterPoint* Points, int Last, bool RoundCaps);
    void PolygonFilled(const std::vector<TRasterPoint>& Points, bool RoundCaps) {
        PolygonFilled(Points.data(), static_cast<int>(Points.size()) - 1, RoundCaps);
    }
    void Polygon3D(const TRasterPoint* Points, int Last, bool RoundCaps, int Height, double Angle);
    void PolyBezier(const TRasterPoint* Points, int Last);
    void EllipseRotated(TRasterPoint Centre, double Angle, int Rx, int Ry);
    void Disc(int CX, int CY, TColor32 Border, TColor32 Fill, int Radius);
    void XorFrame(TRasterPoint P1, TRasterPoint P2);
    void XorFrameThick(int X1, int Y1, int N, int X2, int Y2);
    void XorFrameThick2(TRasterPoint P1, TRasterPoint P2, int N) { XorFrameThick(P1.X, P1.Y, N, P2.X, P2.Y); }
    void HandleMarks(TRasterPoint P1, TRasterPoint P2);
    void CrossMark(TRasterPoint P1, TRasterPoint P2);

    // ---- Text (Windows-1251 strings, transparent background) ----
    // Top-left of the text at (X, Y), in Font.Color.
    void OutputText(int X, int Y, const ZemString& Text);
    int TextWidth(const ZemString& Text);
    int TextHeight(const ZemString& Text);
    TRasterSize TextSize(const ZemString& Text);
    // Rotated by Angle (radians, counter-clockwise) about (X, Y), in LineColor; Selected adds the
    // inverted dashed box of the text.
    void OutputTextRotated(int X, int Y, bool Selected, double Angle, const ZemString& Text);
    // Fonts and glyphs are cached by a text engine; surfaces may share one (the map and its mini-map).
    // Without one, the surface creates its own on first use.
    void SetTextEngine(std::shared_ptr<TZemTextEngine> Engine) { FTextEngine = std::move(Engine); }
    const std::shared_ptr<TZemTextEngine>& TextEngine();

    // ---- Bitmaps ----
    // Source stretched (nearest) to W x H, rotated by Angle about its centre and put with its unrotated
    // top-left at (X, Y); pixels equal to Key are skipped.
    void DrawRotated(const TBitmap32& Source, int X, int Y, double Angle, int H, int W, TColor32 Key);
    // Source spread over the parallelogram with a corner at Origin and sides AxisX (the picture's top
    // edge) and AxisY (its left edge), nearest pixel; pixels equal to Key are skipped. Only the pixels
    // on the surface are visited.
    void DrawOnFrame(TPixelView Source, TPointF Origin, TPointF AxisX, TPointF AxisY, TColor32 Key);

private:
    // Lines (ZemRasterLines.cpp).
    // StartCap false leaves out the round cap at P (one just drawn there in the same colour).
    void ThickSegment(TPointF P, TPointF Q, int W, bool RoundCaps, bool Piece, bool Invert, TColor32 Color,
                      bool StartCap = true);
    void PlotLine(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2, bool Invert,
                  TColor32 Color);
    void DashedLine(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert);
    void DottedLine(int X1, int Y1, int X2, int Y2, bool Invert);
    void StripedLine(int X1, int Y1, int X2, int Y2, bool RoundCaps, bool Invert);
    void InvertedDisc(int CX, int CY, int Radius);
    // Brush fill of a polygon (ZemRasterShapes.cpp).
    void FillBrush(const TRasterPoint* Points, int Count);

    int FWidth = 0;
    int FHeight = 0;
    std::vector<TColor32> FBits;
    int FUpdateCount = 0;
    std::shared_ptr<TZemTextEngine> FTextEngine;
    // Working memory of the fill stages, kept between calls so that drawing does not allocate.
    std::unique_ptr<raster::TScanlineFiller> FFiller;
    std::unique_ptr<raster::TSpanUnion> FUnion;
    raster::TScanlineFiller& Filler();
    raster::TSpanUnion& Union();
};

// Resampling of SrcRect of Src onto DstRect of Dst (Combine 0 copies, 1 blends) with the given kernel.
// Raises ETransformError "Source bitmap is nil or empty", "Destination bitmap is nil or empty" or
// "Source rectangle is invalid".
void Resample(TBitmap32& Dst, const TRasterRect& DstRect, const TBitmap32& Src, const TRasterRect& SrcRect,
              int Combine, TStretchFilter Filter);

} // namespace zem
