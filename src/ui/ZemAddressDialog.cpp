#include "ui/ZemAddressDialog.h"

#include "address/ZemAddress.h"
#include "model/ZemMap.h"
#include "ui/ZemDirectoryCombo.h"
#include "ui/ZemMessageBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <new>

namespace zem {

TfrmAdr::TfrmAdr(TZemMap& Map, QWidget* Parent) : QDialog(Parent), FMap(Map) {
    setObjectName(QStringLiteral("frmAdr"));
    setWindowTitle(QStringLiteral("Адресные данные"));
    CityCombo = MakeDirectoryCombo(this, "CityCombo");
    IndexCombo = MakeDirectoryCombo(this, "IndexCombo");
    StreetCombo = MakeDirectoryCombo(this, "StreetCombo");
    StreetCombo2 = MakeDirectoryCombo(this, "StreetCombo2");
    AreaCombo = MakeDirectoryCombo(this, "AreaCombo");
    auto Edit = [this](const char* Name) {
        auto* E = new QLineEdit(this);
        E->setObjectName(QString::fromLatin1(Name));
        E->setMaximumWidth(90);
        return E;
    };
    NumberEdit = Edit("NumberEdit");
    NumberEdit2 = Edit("NumberEdit2");
    CorpusEdit = Edit("CorpusEdit");
    for (QComboBox* C : {CityCombo, StreetCombo, StreetCombo2, AreaCombo})
        C->setMinimumWidth(260);

    // Two columns: the names on the left, what belongs to one building on the right.
    auto* Grid = new QGridLayout;
    auto Row = [&](int R, const QString& Left, QWidget* L, const QString& Right, QWidget* W) {
        Grid->addWidget(new QLabel(Left, this), R, 0);
        Grid->addWidget(L, R, 1);
        Grid->addWidget(new QLabel(Right, this), R, 2);
        Grid->addWidget(W, R, 3);
    };
    Row(0, QStringLiteral("Населенный пункт"), CityCombo, QStringLiteral("Индекс"), IndexCombo);
    Row(1, QStringLiteral("Улица"), StreetCombo, QStringLiteral("Дом"), NumberEdit);
    Row(2, QStringLiteral("Улица 2"), StreetCombo2, QStringLiteral("Дом 2"), NumberEdit2);
    Row(3, QStringLiteral("Район"), AreaCombo, QStringLiteral("Копрус"), CorpusEdit);
    Grid->setColumnStretch(1, 1);

    Button1 = new QPushButton(QStringLiteral("Применить для видимых"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("Дать видимым объектам те части адреса, которых у них нет"));
    OkBtn = new QPushButton(QStringLiteral("Применить"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    OkBtn->setDefault(true);
    Button1->setAutoDefault(false);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, [this] { Apply(false); });
    connect(Button1, &QPushButton::clicked, this, [this] { Apply(true); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(Button1);
    Buttons->addStretch(1);
    Buttons->addWidget(OkBtn);
    Buttons->addWidget(CancelBtn);

    auto* Column = new QVBoxLayout(this);
    Column->addLayout(Grid);
    Column->addSpacing(6);
    Column->addLayout(Buttons);
    Column->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog border

    // Enter in any field applies, whether the field is an edit or a list being typed in.
    for (QComboBox* C : {CityCombo, IndexCombo, StreetCombo, StreetCombo2, AreaCombo})
        C->lineEdit()->installEventFilter(this);
    for (QLineEdit* E : {NumberEdit, NumberEdit2, CorpusEdit})
        E->installEventFilter(this);
}

bool TfrmAdr::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            OkBtn->click();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TfrmAdr::done(int Result) {
    // A suggestion list still open would outlive the dialog and take the keys meant for the main window.
    for (QComboBox* C : {CityCombo, IndexCombo, StreetCombo, StreetCombo2, AreaCombo})
        C->completer()->popup()->hide();
    QDialog::done(Result);
}

void TfrmAdr::Load() {
    const TZemDocument& D = FMap.Doc;
    FillFromDirectory(CityCombo, D.Cities);
    FillFromDirectory(IndexCombo, D.Indexes);
    // One directory serves both streets.
    if (FillFromDirectory(StreetCombo, D.Streets))
        FillFromDirectory(StreetCombo2, D.Streets);
    FillFromDirectory(AreaCombo, D.Areas);

    TAddress A;
    if (!FMap.GetAddress(FMap.CurrentObject(), A))
        A = TAddress{};
    const std::pair<QComboBox*, const ZemString*> Combos[] = {{CityCombo, &A.City},
                                                              {IndexCombo, &A.Index},
                                                              {StreetCombo, &A.Street},
                                                              {StreetCombo2, &A.Street2},
                                                              {AreaCombo, &A.Area}};
    for (const auto& [Combo, Text] : Combos) {
        Combo->setCurrentIndex(-1);
        Combo->setEditText(ShownText(*Text));
    }
    NumberEdit->setText(ShownText(A.Number));
    NumberEdit2->setText(ShownText(A.Number2));
    CorpusEdit->setText(ShownText(A.Corpus));
    CityCombo->setFocus();
    CityCombo->lineEdit()->selectAll();
}

TAddress TfrmAdr::Fields() const {
    TAddress A;
    A.Index = FieldText(IndexCombo->currentText());
    A.City = FieldText(CityCombo->currentText());
    A.Street = FieldText(StreetCombo->currentText());
    A.Number = FieldText(NumberEdit->text());
    A.Street2 = FieldText(StreetCombo2->currentText());
    A.Number2 = FieldText(NumberEdit2->text());
    A.Area = FieldText(AreaCombo->currentText());
    A.Corpus = FieldText(CorpusEdit->text());
    return A;
}

void TfrmAdr::Apply(bool Visible) {
    const std::int32_t ID = FMap.CurrentObject();
    try {
        if (Visible) {
            FMap.SetAddressForVisible(ID, Fields());
        } else if (ID != -1 && FMap.ObjectExists(ID)) {
            FMap.SetAddress(ID, Fields());
            FMap.Refresh();
        }
    } catch (const std::bad_alloc&) {
        ShowErrorBox(this, QStringLiteral("Недостаточно памяти для выполнения команды."));
        return;
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromUtf8(E.what()));
        return;
    }
    accept();
}

bool TfrmAdr::Edit(TZemMap& Map, QWidget* Parent) {
    QWidget* Top = Parent ? Parent->window() : nullptr;
    TfrmAdr* Dialog = Top ? Top->findChild<TfrmAdr*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (Dialog && &Dialog->FMap != &Map)
        Dialog = nullptr;
    if (!Dialog)
        Dialog = new TfrmAdr(Map, Top); // owned by the window, kept between showings
    Dialog->Load();
    const bool Applied = Dialog->exec() == QDialog::Accepted;
    if (!Top)
        Dialog->deleteLater();
    return Applied;
}

} // namespace zem
