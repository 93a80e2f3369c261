#pragma once
// TfrmGAParametrs: the genetic search's population size and stop criterion.
#include <QDialog>

class QSpinBox;

namespace zem {

class TZemTransportTask;

class TfrmGAParametrs : public QDialog {
    Q_OBJECT
public:
    // Shows the task's values; "Принять" writes them back.
    TfrmGAParametrs(TZemTransportTask& Task, QWidget* Parent);

    // Shows the dialog modally; true when the values were taken.
    static bool Execute(TZemTransportTask& Task, QWidget* Parent);

    QSpinBox* UpDown1() const { return FPopulation; }
    QSpinBox* UpDown2() const { return FStop; }

private:
    void Apply();

    TZemTransportTask& FTask;
    QSpinBox* FPopulation;
    QSpinBox* FStop;
};

} // namespace zem
