#pragma once
// The core's message boxes as Qt dialogs, with Russian buttons whatever translations Qt has loaded.
#include "platform/ZemHost.h"

#include <string>

class QString;
class QWidget;

namespace zem {

// The caption of every failure's box. A message the core sends under it reports a failure and gets the
// error icon, as ShowErrorBox does; other boxes with one button inform, and the rest ask.
constexpr const char* kErrorCaption = "Ошибка";

// Shows Text with the given buttons and returns the one pressed. Closing the box by its frame gives the
// safe answer of the buttons offered: "Отмена", else "Нет", else "ОК".
TZemMsgResult AskMessage(QWidget* Parent, const std::string& Text, const std::string& Caption,
                         TZemMsgButtons Buttons);

// An error box ("Ошибка") with one "ОК" button: how every failed command is reported before the program
// goes on.
void ShowErrorBox(QWidget* Parent, const QString& Text);

} // namespace zem
