#pragma once
// TfrmTransport, "Характеристика транспорта" (F4): the kind of transport and the route name of the current
// object, written in one undo step on "Применить" or Enter.
#include <QDialog>

class QComboBox;
class QLineEdit;

namespace zem {

class TZemMap;

class TfrmTransport : public QDialog {
    Q_OBJECT
public:
    TfrmTransport(TZemMap& Map, QWidget* Parent);

    // Shows the dialog for the current object; true when the object was changed. Nothing happens
    // without a current object.
    static bool Edit(TZemMap& Map, QWidget* Parent);

    // Fills the controls from the current object; false when there is none.
    bool Load();
    // Writes the controls into the current object.
    void Apply();

    QComboBox* TransportType() const { return FTransportType; }
    QLineEdit* TransportName() const { return FTransportName; }

private:
    TZemMap& FMap;
    QComboBox* FTransportType;
    QLineEdit* FTransportName;
};

} // namespace zem
