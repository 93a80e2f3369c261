#include "ui/ZemTransportChoice.h"

#include "ui/ZemMessageBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zem {

TfrmTransportSelect::TfrmTransportSelect(const std::vector<std::string>& Names, TZemRouteMethod Method,
                                         QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), FList(new QListWidget(this)) {
    setObjectName(QStringLiteral("TfrmTransportSelect"));
    setWindowTitle(QStringLiteral("Выбор"));
    FList->setObjectName(QStringLiteral("TransportListBox"));
    FList->setMinimumSize(220, 140);
    for (const std::string& Name : Names) {
        auto* Item = new QListWidgetItem(QString::fromStdString(Name), FList);
        Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        Item->setCheckState(Qt::Checked);
    }

    // Flat buttons beside the list.
    auto Flat = [this](const char* Name, const QString& Text, const QString& Hint) {
        auto* B = new QToolButton(this);
        B->setObjectName(QString::fromLatin1(Name));
        B->setText(Text);
        B->setToolTip(Hint);
        B->setAutoRaise(true);
        B->setToolButtonStyle(Qt::ToolButtonTextOnly);
        B->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return B;
    };
    QToolButton* All = Flat("SelectAllBtn", QStringLiteral("Все"), QStringLiteral("Отметить все"));
    QToolButton* None = Flat("NoSelectBtn", QStringLiteral("Ни одного"), QStringLiteral("Снять все отметки"));
    QToolButton* Invert =
        Flat("InvertSelectBtn", QStringLiteral("Обратить"), QStringLiteral("Обратить отметки"));
    connect(All, &QToolButton::clicked, this, [this] { CheckAll(true); });
    connect(None, &QToolButton::clicked, this, [this] { CheckAll(false); });
    connect(Invert, &QToolButton::clicked, this, &TfrmTransportSelect::InvertChecks);
    auto* Marks = new QVBoxLayout;
    Marks->addWidget(All);
    Marks->addWidget(None);
    Marks->addWidget(Invert);
    Marks->addStretch();

    auto* Way = new QGroupBox(QStringLiteral("Способ поиска"), this);
    FGenetic = new QRadioButton(QStringLiteral("Генетический алгоритм"), Way);
    FGenetic->setObjectName(QStringLiteral("GeneticRadio"));
    FExact = new QRadioButton(QStringLiteral("Точный поиск"), Way);
    FExact->setObjectName(QStringLiteral("ExactRadio"));
    FExact->setToolTip(QStringLiteral("Самый дешёвый маршрут при той же стоимости, за доли секунды"));
    (Method == TZemRouteMethod::rmExact ? FExact : FGenetic)->setChecked(true);
    auto* WayColumn = new QVBoxLayout(Way);
    WayColumn->addWidget(FGenetic);
    WayColumn->addWidget(FExact);

    FOk = new QPushButton(QStringLiteral("OK"), this);
    FOk->setObjectName(QStringLiteral("ButtonOk"));
    FOk->setDefault(true);
    auto* Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(FOk);
    Buttons->addWidget(Cancel);

    auto* Grid = new QGridLayout(this);
    Grid->addWidget(new QLabel(QStringLiteral("Выберите вид транспорта, на котором"), this), 0, 0, 1, 2);
    Grid->addWidget(new QLabel(QStringLiteral("Вы хотите добраться до нужной места:"), this), 1, 0, 1, 2);
    Grid->addWidget(FList, 2, 0);
    Grid->addLayout(Marks, 2, 1);
    Grid->addWidget(Way, 3, 0, 1, 2);
    Grid->addLayout(Buttons, 4, 0, 1, 2);
    Grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmTransportSelect::showEvent(QShowEvent* Event) {
    CheckAll(true);
    FOk->setEnabled(FList->count() > 0);
    QDialog::showEvent(Event);
}

void TfrmTransportSelect::accept() {
    if (FList->count() > 0 && CheckedPositions().empty()) {
        AskMessage(this, "Выберите транспорт!", "ZemMap", TZemMsgButtons::mbOk);
        FList->setFocus();
        return;
    }
    QDialog::accept();
}

std::vector<int> TfrmTransportSelect::CheckedPositions() const {
    std::vector<int> Result;
    for (int i = 0; i < FList->count(); ++i)
        if (FList->item(i)->checkState() == Qt::Checked)
            Result.push_back(i);
    return Result;
}

TZemRouteMethod TfrmTransportSelect::Method() const {
    return FExact->isChecked() ? TZemRouteMethod::rmExact : TZemRouteMethod::rmGenetic;
}

void TfrmTransportSelect::CheckAll(bool Checked) {
    for (int i = 0; i < FList->count(); ++i)
        FList->item(i)->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmTransportSelect::InvertChecks() {
    for (int i = 0; i < FList->count(); ++i) {
        QListWidgetItem* Item = FList->item(i);
        Item->setCheckState(Item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

} // namespace zem
