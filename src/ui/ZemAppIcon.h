#pragma once
// The program's icon: a folded map sheet with a river, a route and a pin. data/zemmap.svg is the same
// drawing for the desktop.
#include <QIcon>

class QPainter;

namespace zem {

// The icon at 16 ... 256 pixels.
QIcon ZemAppIcon();

// Draws the icon into the square (0, 0, Size, Size) of a painter.
void PaintAppIcon(QPainter& Painter, int Size);

} // namespace zem
