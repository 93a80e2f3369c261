#include "ui/ZemTransportSelect.h"

#include "model/ZemMap.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace zem {

TfrmZemTransportEditSelect::TfrmZemTransportEditSelect(TZemMap& Map, QWidget* Parent)
    : QDialog(Parent), FMap(Map) {
    setWindowTitle(QStringLiteral("Управление отображением"));
    auto* Prompt = new QLabel(QStringLiteral("Выберите вид транспорта, которые\nбудут отображены"), this);
    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("TransportListBox"));
    FList->setMinimumSize(240, 160);

    auto* All = new QPushButton(QStringLiteral("Все"), this);
    All->setToolTip(QStringLiteral("Отметить все виды транспорта"));
    auto* None = new QPushButton(QStringLiteral("Ни одного"), this);
    None->setToolTip(QStringLiteral("Снять все отметки"));
    auto* Invert = new QPushButton(QStringLiteral("Обратить"), this);
    Invert->setToolTip(QStringLiteral("Обратить отметки"));
    for (QPushButton* B : {All, None, Invert})
        B->setAutoDefault(false);
    connect(All, &QPushButton::clicked, this, [this] { CheckAll(Qt::Checked); });
    connect(None, &QPushButton::clicked, this, [this] { CheckAll(Qt::Unchecked); });
    connect(Invert, &QPushButton::clicked, this, &TfrmZemTransportEditSelect::InvertChecks);
    auto* Marks = new QHBoxLayout;
    Marks->addWidget(All);
    Marks->addWidget(None);
    Marks->addWidget(Invert);

    auto* Buttons = new QDialogButtonBox(this);
    Buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole)->setDefault(true);
    Buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* Column = new QVBoxLayout(this);
    Column->addWidget(Prompt);
    Column->addWidget(FList, 1);
    Column->addLayout(Marks);
    Column->addWidget(Buttons);
}

void TfrmZemTransportEditSelect::Load() {
    FList->clear();
    const TZemDirectory& Types = FMap.Doc.TransportTypes;
    for (size_t i = 0; i < Types.size(); ++i) {
        auto* Item = new QListWidgetItem(QString::fromStdString(ToUtf8(Types[i])), FList);
        Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool Shown = FMap.Net.VisibleTransportTypes.Contains(static_cast<std::int32_t>(i));
        Item->setCheckState(Shown ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmZemTransportEditSelect::Apply() {
    std::vector<std::int32_t> Checked;
    for (int i = 0; i < FList->count(); ++i)
        if (FList->item(i)->checkState() == Qt::Checked)
            Checked.push_back(i);
    FMap.SetVisibleTransportTypes(Checked);
}

void TfrmZemTransportEditSelect::CheckAll(Qt::CheckState State) {
    for (int i = 0; i < FList->count(); ++i)
        FList->item(i)->setCheckState(State);
}

void TfrmZemTransportEditSelect::InvertChecks() {
    for (int i = 0; i < FList->count(); ++i) {
        QListWidgetItem* Item = FList->item(i);
        Item->setCheckState(Item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

bool TfrmZemTransportEditSelect::Execute(TZemMap& Map, QWidget* Parent) {
    TfrmZemTransportEditSelect Dialog(Map, Parent);
    Dialog.Load();
    return Dialog.exec() == QDialog::Accepted;
}

} // namespace zem
