#pragma once
// TfrmAdr, "Адресные данные" (F2): the address of the current object, its repeated parts looked up in the
// map's directories. "Применить" stores it on the object, "Применить для видимых" also gives its
// directory parts to the visible objects that lack them; each is one undo step.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zem {

class TZemMap;
struct TAddress;

class TfrmAdr : public QDialog {
    Q_OBJECT
public:
    TfrmAdr(TZemMap& Map, QWidget* Parent);

    // Shows the window's one address dialog (made on first use) for the current object; true when one
    // of the two "Применить" buttons closed it.
    static bool Edit(TZemMap& Map, QWidget* Parent);

    // Refreshes the lists from the directories and shows the current object's address (empty fields
    // without one).
    void Load();
    TAddress Fields() const;

    QComboBox* CityCombo;
    QComboBox* IndexCombo;
    QComboBox* StreetCombo;
    QLineEdit* NumberEdit;
    QComboBox* StreetCombo2;
    QLineEdit* NumberEdit2;
    QComboBox* AreaCombo;
    QLineEdit* CorpusEdit;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    QPushButton* Button1;

    void done(int Result) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Stores the fields on the current object (or, with Visible, on the visible ones too) and closes.
    void Apply(bool Visible);

    TZemMap& FMap;
};

} // namespace zem
