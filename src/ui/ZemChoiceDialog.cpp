#include "ui/ZemChoiceDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zem {

ZemChoiceDialog::ZemChoiceDialog(const QString& Caption, const std::vector<std::string>& Names,
                                 const std::vector<int>& Checked, QWidget* Parent)
    : QDialog(Parent), FList(new QListWidget(this)) {
    setWindowTitle(Caption);
    for (std::size_t i = 0; i < Names.size(); ++i) {
        auto* Item = new QListWidgetItem(QString::fromStdString(Names[i]), FList);
        Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
        const bool On = std::find(Checked.begin(), Checked.end(), static_cast<int>(i)) != Checked.end();
        Item->setCheckState(On ? Qt::Checked : Qt::Unchecked);
    }
    auto* All = new QPushButton(QStringLiteral("Все"), this);
    auto* None = new QPushButton(QStringLiteral("Ни одного"), this);
    connect(All, &QPushButton::clicked, this, [this] { SetAllChecked(true); });
    connect(None, &QPushButton::clicked, this, [this] { SetAllChecked(false); });
    auto* Buttons = new QDialogButtonBox(this);
    Buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    Buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* Row = new QHBoxLayout;
    Row->addWidget(All);
    Row->addWidget(None);
    Row->addStretch();
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(FList);
    Layout->addLayout(Row);
    Layout->addWidget(Buttons);
    resize(300, 320);
}

std::vector<int> ZemChoiceDialog::CheckedPositions() const {
    std::vector<int> Result;
    for (int i = 0; i < FList->count(); ++i)
        if (FList->item(i)->checkState() == Qt::Checked)
            Result.push_back(i);
    return Result;
}

void ZemChoiceDialog::SetAllChecked(bool Checked) {
    for (int i = 0; i < FList->count(); ++i)
        FList->item(i)->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace zem
