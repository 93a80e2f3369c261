#pragma once
// TfrmTransportSelect, "Выбор": the kinds of transport a route search may use, and how it searches.
#include "platform/ZemTransportEvents.h"

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace zem {

class TfrmTransportSelect : public QDialog {
    Q_OBJECT
public:
    // Names are the transport-types directory in order; Method is the way offered first.
    TfrmTransportSelect(const std::vector<std::string>& Names, TZemRouteMethod Method, QWidget* Parent);

    // Positions of the checked kinds, ascending.
    std::vector<int> CheckedPositions() const;
    TZemRouteMethod Method() const;

    QListWidget* TransportListBox() const { return FList; }
    QPushButton* ButtonOk() const { return FOk; }
    void CheckAll(bool Checked);
    void InvertChecks();
    // "OK" with no kind checked says "Выберите транспорт!" and stays, so that the user can choose.
    void accept() override;

protected:
    // Every kind is checked whenever the dialog comes up.
    void showEvent(QShowEvent* Event) override;

private:
    QListWidget* FList;
    QPushButton* FOk;
    QRadioButton* FGenetic;
    QRadioButton* FExact;
};

} // namespace zem
