#pragma once
// Small building blocks shared by the right-hand pages, which must fit a 245-pixel column: compact
// buttons, tight group grids and the scrolling body of a page.
#include <QString>

class QGridLayout;
class QGroupBox;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace zem {

// A text button without the wide minimum of a dialog's push buttons; it widens with its column.
QToolButton* PanelButton(QWidget* Parent, const QString& Text, const QString& Hint, bool Toggle = false);

// A grid inside a group box with the pages' margins.
QGridLayout* PanelGrid(QGroupBox* Box);

// Gives Page a vertically scrolling body (never sideways) and returns the body's column.
QVBoxLayout* PanelBody(QWidget* Page);

} // namespace zem
