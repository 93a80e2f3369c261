#pragma once
// Small helpers shared by the painters: screen point lists that live on the stack for ordinary objects,
// font and pen set-up of the back buffer, alpha-keyed blits of icons.
#include "base/ZemText.h"
#include "model/ZemMap.h"
#include "view/ZemRaster.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zem {

namespace paint {

// The screen points of an object. Most objects have a handful of points, so they stay in an inline
// array and a frame of thousands of objects does not allocate.
class TScreenPoints {
public:
    void Clear() {
        FCount = 0;
        FHeap.clear();
    }
    void Add(TRasterPoint P) {
        if (FCount < kInline) {
            FInline[static_cast<std::size_t>(FCount)] = P;
        } else {
            if (FCount == kInline)
                FHeap.assign(FInline.begin(), FInline.end());
            FHeap.push_back(P);
        }
        ++FCount;
    }
    int Count() const { return FCount; }
    int Last() const { return FCount - 1; }
    const TRasterPoint* Data() const { return FCount > kInline ? FHeap.data() : FInline.data(); }
    const TRasterPoint& operator[](int I) const { return Data()[I]; }
    void Set(int I, TRasterPoint P) { (FCount > kInline ? FHeap.data() : FInline.data())[I] = P; }

private:
    static constexpr int kInline = 64;
    std::array<TRasterPoint, kInline> FInline{};
    std::vector<TRasterPoint> FHeap;
    int FCount = 0;
};

inline TRasterPoint ToRaster(const TPoint& P) {
    return TRasterPoint{P.X, P.Y};
}

// V + D held within the integers: marks and labels are placed at a few pixels from a screen point that
// may lie at the very edge of the range when its object is far outside the window.
inline std::int32_t Nudge(std::int32_t V, std::int64_t D) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(V + D, INT32_MIN, INT32_MAX));
}

// Every point of the object through WorldToScreen.
inline void ObjectToScreen(const TZemMap& Map, const TZemObject& O, TScreenPoints& Out) {
    Out.Clear();
    const TZemXYArray& Pts = O.Points();
    for (std::int32_t i = 0; i < Pts.Count(); ++i)
        Out.Add(ToRaster(Map.WorldToScreen(Pts[i])));
}

// Sets the surface's font; Name is a Windows-1251 face name from a map or a literal.
inline void SetFont(TBitmap32& B, const std::string& Name, std::int32_t Size, std::uint8_t Style,
                    std::uint32_t PlatformColor = 0) {
    B.Font.Name = Name;
    B.Font.Size = Size;
    B.Font.Style = Style;
    B.Font.Color = PlatformColor;
}

// Draws Image with its top-left at (X, Y), laying every pixel over the surface by its alpha, as the
// window system draws an icon through its mask.
void BlitAlpha(TBitmap32& Target, int X, int Y, const TBitmap32& Image);
// The same with the image stretched (nearest pixel) to W x H.
void BlitAlpha(TBitmap32& Target, int X, int Y, TPixelView Image, int W, int H);

// The pictures of the route-search points: the first, the ones between and the last.
enum class TRoutePointIcon { rpStart, rpFrom, rpEnd };
const TBitmap32& RoutePointImage(TRoutePointIcon Role);

} // namespace paint

} // namespace zem
