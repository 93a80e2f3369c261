#include "ui/ZemMessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace zem {

namespace {
QMessageBox::Icon IconOf(const std::string& Caption, TZemMsgButtons Buttons) {
    if (Caption == kErrorCaption)
        return QMessageBox::Critical;
    return Buttons == TZemMsgButtons::mbOk ? QMessageBox::Information : QMessageBox::Question;
}
} // namespace

TZemMsgResult AskMessage(QWidget* Parent, const std::string& Text, const std::string& Caption,
                         TZemMsgButtons Buttons) {
    QMessageBox Box(Parent);
    Box.setWindowTitle(QString::fromStdString(Caption.empty() ? std::string("ZemMap") : Caption));
    Box.setText(QString::fromStdString(Text));
    QAbstractButton* Ok = nullptr;
    QAbstractButton* Cancel = nullptr;
    QAbstractButton* Yes = nullptr;
    QAbstractButton* No = nullptr;
    switch (Buttons) {
    case TZemMsgButtons::mbOk:
        Ok = Box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
        break;
    case TZemMsgButtons::mbOkCancel:
        Ok = Box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
        Cancel = Box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    case TZemMsgButtons::mbYesNo:
        Yes = Box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        No = Box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        break;
    case TZemMsgButtons::mbYesNoCancel:
        Yes = Box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        No = Box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        Cancel = Box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    }
    Box.setIcon(IconOf(Caption, Buttons));
    if (Cancel)
        Box.setEscapeButton(Cancel);
    else if (No)
        Box.setEscapeButton(No);
    Box.exec();
    const QAbstractButton* Clicked = Box.clickedButton();
    if (Clicked && Clicked == Yes)
        return TZemMsgResult::mrYes;
    if (Clicked && Clicked == No)
        return TZemMsgResult::mrNo;
    if (Clicked && Clicked == Ok)
        return TZemMsgResult::mrOk;
    // Closed by the window's frame: the safe answer of the buttons offered.
    if (Cancel)
        return TZemMsgResult::mrCancel;
    if (No)
        return TZemMsgResult::mrNo;
    return TZemMsgResult::mrOk;
}

void ShowErrorBox(QWidget* Parent, const QString& Text) {
    QMessageBox Box(QMessageBox::Critical, QString::fromUtf8(kErrorCaption), Text, QMessageBox::NoButton,
                    Parent);
    Box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
    Box.exec();
}

} // namespace zem
