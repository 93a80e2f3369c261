#pragma once
// Translation of Qt's input codes into the numbers the map understands: Windows-style virtual keys
// and the shift-state bits.
#include "model/ZemMap.h"

#include <Qt>

namespace zem {

// The virtual key of a Qt key; Keypad says the key came from the numeric pad (its plus and minus
// zoom). 0 when the map has no use for the key.
std::int32_t VirtualKeyOf(int QtKey, bool Keypad);

// The shift state of keyboard modifiers and held mouse buttons.
TZemShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = Qt::NoButton);

} // namespace zem
