#pragma once
// Live blinking: the objects whose blink flag is set alternate between their own colours and the
// complements, in drawing only.
#include "model/ZemObject.h"

namespace zem {

// Each of red, green and blue replaced by 255 minus it; the top byte cleared.
constexpr TColor ComplementColor(TColor C) {
    return static_cast<TColor>(~static_cast<std::uint32_t>(C) & 0x00FFFFFFu);
}

// While it lives, the object's pen and brush hold their complements (when Flash is set); the stored
// colours come back when it goes, so a save made in the flashed phase never sees them.
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
