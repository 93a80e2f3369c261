#pragma once
// Live blinking: the objects whose blink flag is set alternate between their own colours and the
// complements, in drawing only. The map keeps the blink set and its timer (ZemBlink.cpp); how the
// flashed phase is drawn belongs to the painters (view/ZemFlashColours.h).
#include "view/ZemFlashColours.h"
