#pragma once
// The colours of a blinking object in its flashed phase. The blink set and its timer belong to the map
// (editing/ZemBlink.cpp); the painters read the phase (View.BlinkFlashed, TZemMap::FlashesNow) and draw
// with these colours.
#include "model/ZemObject.h"

namespace zem {

// Each of red, green and blue replaced by 255 minus it; the top byte cleared.
constexpr TColor ComplementColor(TColor C) {
    return static_cast<TColor>(~static_cast<std::uint32_t>(C) & 0x00FFFFFFu);
}

// While it lives, the object's pen and brush hold their complements (when Flash is set); the stored
// colours come back when it goes, so that nothing outside the paint -- a save, undo, the inspector --
// ever sees them.
class TZemFlashColours {
public:
    TZemFlashColours(TZemObject& Object, bool Flash);
    ~TZemFlashColours();
    TZemFlashColours(const TZemFlashColours&) = delete;
    TZemFlashColours& operator=(const TZemFlashColours&) = delete;

private:
    TZemObject* FObject = nullptr;
    TColor FPen = 0;
    TColor FBrush = 0;
};

} // namespace zem
