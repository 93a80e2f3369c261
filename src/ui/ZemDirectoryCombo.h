#pragma once
// Editable drop-down lists over the map's directories, as the address windows use them: the items are a
// sorted copy of a directory, typing is free, and a popup offers the lines that contain what was typed.
#include "model/ZemMap.h"

#include <QString>

class QComboBox;
class QWidget;

namespace zem {

QComboBox* MakeDirectoryCombo(QWidget* Parent, const char* Name);

// Puts the directory's lines, sorted ignoring case, into the combo unless it already lists exactly them;
// true when the items were replaced. The typed text is kept either way.
bool FillFromDirectory(QComboBox* Combo, const TZemDirectory& Directory);

// Text of a field as the document stores it: Windows-1251, without the spaces typed around it.
ZemString FieldText(const QString& Text);
QString ShownText(const ZemString& Text);

} // namespace zem
