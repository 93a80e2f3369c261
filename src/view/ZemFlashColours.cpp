// The flashed phase of blinking as the painters draw it.
#include "view/ZemFlashColours.h"

#include "model/ZemMap.h"

namespace zem {

TZemFlashColours::TZemFlashColours(TZemObject& Object, bool Flash) {
    if (!Flash)
        return;
    FObject = &Object;
    FPen = Object.Pen.Color;
    FBrush = Object.Brush.Color;
    Object.Pen.Color = ComplementColor(FPen);
    Object.Brush.Color = ComplementColor(FBrush);
}

TZemFlashColours::~TZemFlashColours() {
    if (!FObject)
        return;
    FObject->Pen.Color = FPen;
    FObject->Brush.Color = FBrush;
}

bool TZemMap::FlashesNow(std::int32_t ID) {
    return View.BlinkFlashed && !View.Printing && View.BlinkSet.Contains(ID);
}

} // namespace zem
