#include "ui/ZemDirectoryCombo.h"

#include "address/ZemAddress.h"

#include <QComboBox>
#include <QCompleter>
#include <QStringList>

namespace zem {

QComboBox* MakeDirectoryCombo(QWidget* Parent, const char* Name) {
    auto* Combo = new QComboBox(Parent);
    Combo->setObjectName(QString::fromLatin1(Name));
    Combo->setEditable(true);
    // What is typed goes into the document on "Применить", not into the list.
    Combo->setInsertPolicy(QComboBox::NoInsert);
    Combo->setMaxVisibleItems(20);
    // Inline completion would rewrite what is typed; a popup of the lines containing it only offers.
    auto* Completer = new QCompleter(Combo->model(), Combo);
    Completer->setCaseSensitivity(Qt::CaseInsensitive);
    Completer->setFilterMode(Qt::MatchContains);
    Completer->setCompletionMode(QCompleter::PopupCompletion);
    Combo->setCompleter(Completer);
    return Combo;
}

bool FillFromDirectory(QComboBox* Combo, const TZemDirectory& Directory) {
    QStringList Names;
    for (const ZemString& Line : SortedDirectory(Directory))
        Names << ShownText(Line);
    QStringList Listed;
    for (int i = 0; i < Combo->count(); ++i)
        Listed << Combo->itemText(i);
    if (Listed == Names)
        return false;
    const QString Typed = Combo->currentText();
    Combo->clear();
    Combo->addItems(Names);
    Combo->setCurrentIndex(-1);
    Combo->setEditText(Typed);
    return true;
}

ZemString FieldText(const QString& Text) {
    return FromUtf8(Text.trimmed().toStdString());
}

QString ShownText(const ZemString& Text) {
    return QString::fromStdString(ToUtf8(Text));
}

} // namespace zem
