#pragma once
// Ranges of the inspector's controls.

namespace zem {

constexpr int kPlaneMin = -16;
constexpr int kPlaneMax = 16;
constexpr int kHeight3DMax = 50;
constexpr int kPenWidthMax = 50;
constexpr int kFontSizeMax = 32767;
constexpr int kAngleMaxTenths = 3599; // tenths of a degree
constexpr int kFillStyleBoxWidth = 117;
constexpr int kLineStyleCount = 4; // solid, dash, dot, dash-dot

} // namespace zem
