#pragma once
// TfrmZemTransportEditSelect, "Управление отображением": which kinds of transport the map draws.
#include <QDialog>

class QListWidget;

namespace zem {

class TZemMap;

class TfrmZemTransportEditSelect : public QDialog {
    Q_OBJECT
public:
    TfrmZemTransportEditSelect(TZemMap& Map, QWidget* Parent);

    // Shows the dialog; on OK the map draws the checked kinds. True when OK was pressed.
    static bool Execute(TZemMap& Map, QWidget* Parent);

    // Fills the list from the directory, checking the kinds drawn now.
    void Load();
    // The checked kinds become the drawn ones.
    void Apply();

    QListWidget* TransportListBox() const { return FList; }
    void CheckAll(Qt::CheckState State);
    void InvertChecks();

private:
    TZemMap& FMap;
    QListWidget* FList;
};

} // namespace zem
