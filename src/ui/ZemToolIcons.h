#pragma once
// The pictures of the tool buttons, drawn with QPainter so that they stay sharp at any screen scale.
#include <QIcon>
#include <QString>

namespace zem {

// The icon of a tool-bar button by its component name ("SelectObject", "MapMove", "New", "Save", ...);
// an empty icon for a name it does not know.
QIcon ZemToolIcon(const QString& Name);

} // namespace zem
