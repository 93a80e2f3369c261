#pragma once
// The background image under the map: a picture laid on the world plane at an origin and a scale of its
// own, drawn by the main window from the map's OnPaintBackground event. The window holds it (loading a
// map does not touch it); drawing it is core logic, so the window only calls PaintBackgroundImage.
#include "base/ZemPixels.h"
#include "base/ZemXYArray.h"
#include "view/ZemRaster.h"

namespace zem {

class TZemMap;

struct TZemBackgroundImage {
    TZemImage Image;       // as the image loader gives it
    TXYPoint Origin{0, 0}; // world point of the picture's top-left, (0, 0) on loading
    float Scale = 100.0f;  // per cent: one picture pixel is 100 / Scale world units
    TStretchFilter Filter = TStretchFilter::sfNearest; // "Nearest", "Linear", "Spline"
};

// Draws the part of the picture that lies in the map's window over the whole of Target (the back buffer
// handed to OnPaintBackground); where the window leaves the picture, Target gets the map's BackColor.
// Only the part that overlaps the picture is resampled, so a small map scale does not make the window
// worth millions of picture pixels.
void PaintBackgroundImage(const TZemMap& Map, const TZemBackgroundImage& Background, TBitmap32& Target);

} // namespace zem
