#pragma once
// The map holds colours as platform values 0x00BBGGRR; Qt works with QColor. These two are the only
// crossing between them.
#include "model/ZemObject.h"

#include <QColor>

namespace zem {

inline QColor ZemColorToQt(TColor C) {
    return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

inline TColor QtColorToZem(const QColor& C) {
    return RGBColor(C.red(), C.green(), C.blue());
}

} // namespace zem
