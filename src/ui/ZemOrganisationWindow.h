#pragma once
// TfrmOrganisation, "Организации в указанном здании": the organisations of a building. The map keeps no
// data about them, so nothing typed here is stored; the window is a form to look at.
#include <QDialog>

namespace zem {

class TfrmOrganisation : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOrganisation(QWidget* Parent);

    // Shows Parent's one organisation window modally, its fields empty.
    static void Execute(QWidget* Parent);

    // Empties every field and check box.
    void Clear();
};

} // namespace zem
