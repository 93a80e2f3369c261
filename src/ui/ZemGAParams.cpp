#include "ui/ZemGAParams.h"

#include "transport/ZemGeneticSearch.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace zem {

namespace {
constexpr int kMinStopGenerations = 100;
constexpr int kMaxStopGenerations = 10000;
} // namespace

TfrmGAParametrs::TfrmGAParametrs(TZemTransportTask& Task, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), FTask(Task),
      FPopulation(new QSpinBox(this)), FStop(new QSpinBox(this)) {
    setObjectName(QStringLiteral("TfrmGAParametrs"));
    setWindowTitle(QStringLiteral("Парамаметры генетического алгоритма"));
    FPopulation->setObjectName(QStringLiteral("UpDown1"));
    FPopulation->setRange(TZemTransportTask::kMinPopulationSize, TZemTransportTask::kMaxPopulationSize);
    FPopulation->setValue(Task.PopulationSize());
    FStop->setObjectName(QStringLiteral("UpDown2"));
    FStop->setRange(kMinStopGenerations, kMaxStopGenerations);
    FStop->setValue(Task.StopGenerations());

    auto* Take = new QPushButton(QStringLiteral("Принять"), this);
    Take->setObjectName(QStringLiteral("Button1"));
    Take->setDefault(true);
    auto* Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Cancel->setObjectName(QStringLiteral("Button2"));
    connect(Take, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* Grid = new QGridLayout(this);
    Grid->addWidget(new QLabel(QStringLiteral("Количество осообей в популяции"), this), 0, 0);
    Grid->addWidget(FPopulation, 0, 1);
    Grid->addWidget(new QLabel(QStringLiteral("Критерий останова - постоянство решения в течении"), this), 1,
                    0);
    Grid->addWidget(FStop, 1, 1);
    Grid->addWidget(new QLabel(QStringLiteral("поколений"), this), 1, 2);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(Take);
    Buttons->addWidget(Cancel);
    Grid->addLayout(Buttons, 2, 0, 1, 3);
    Grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmGAParametrs::Apply() {
    FTask.SetPopulationSize(FPopulation->value());
    FTask.SetStopGenerations(FStop->value());
}

bool TfrmGAParametrs::Execute(TZemTransportTask& Task, QWidget* Parent) {
    TfrmGAParametrs Dialog(Task, Parent);
    return Dialog.exec() == QDialog::Accepted;
}

} // namespace zem
