#include "view/ZemRaster.h"

#include "model/ZemErrors.h"

#include <algorithm>

void TBitmap32::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    BeginUpdate();
    std::vector<TColor32>().swap(FBits);
    FWidth = AWidth;
    FHeight = AHeight;
    if (AWidth > 0 && AHeight > 0)
        FBits.assign(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight), 0);
    else
        FWidth = FHeight = 0;
    EndUpdate();
}

void TBitmap32::Clear(TColor32 Color) { std::fill(FBits.begin(), FBits.end(), Color); }

void TBitmap32::EndUpdate() {
    if (UpdateCount <= 0)
        throw EZemError("Unpaired TZemPersistent.EndUpdate");
    --UpdateCount;
}
