#include "ui/ZemTransportDialog.h"

#include "model/ZemMap.h"
#include "ui/ZemMessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zem {

TfrmTransport::TfrmTransport(TZemMap& Map, QWidget* Parent) : QDialog(Parent), FMap(Map) {
    setWindowTitle(QStringLiteral("Характеристика транспорта"));
    FTransportType = new QComboBox(this);
    FTransportType->setObjectName(QStringLiteral("TransportType"));
    FTransportType->setMinimumWidth(220);
    FTransportName = new QLineEdit(this);
    FTransportName->setObjectName(QStringLiteral("TransportName"));

    auto* Form = new QFormLayout;
    Form->addRow(QStringLiteral("Тип транспорта"), FTransportType);
    Form->addRow(QStringLiteral("Название транспорта"), FTransportName);

    // "Применить" is the default button, so Enter in either control applies.
    auto* Buttons = new QDialogButtonBox(this);
    QPushButton* Ok = Buttons->addButton(QStringLiteral("Применить"), QDialogButtonBox::AcceptRole);
    Buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    Ok->setDefault(true);
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] {
        try {
            Apply();
        } catch (const std::exception& E) {
            ShowErrorBox(this, QString::fromUtf8(E.what()));
            return;
        }
        accept();
    });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* Column = new QVBoxLayout(this);
    Column->addLayout(Form);
    Column->addWidget(Buttons);
    setFixedHeight(sizeHint().height());
}

bool TfrmTransport::Load() {
    const std::int32_t ID = FMap.Edit.CurrentObject;
    if (ID == -1 || !FMap.ObjectExists(ID))
        return false;
    const TZemObject& O = FMap.ObjectByID(ID);
    QStringList Names;
    for (const ZemString& Name : FMap.Doc.TransportTypes)
        Names << QString::fromStdString(ToUtf8(Name));
    QStringList Shown;
    for (int i = 0; i < FTransportType->count(); ++i)
        Shown << FTransportType->itemText(i);
    if (Shown != Names) {
        FTransportType->clear();
        FTransportType->addItems(Names);
    }
    // -1, or a position the directory no longer has, shows no choice.
    FTransportType->setCurrentIndex(O.TransportType() < FTransportType->count() ? O.TransportType() : -1);
    FTransportName->setText(QString::fromStdString(ToUtf8(O.Text())));
    FTransportName->selectAll();
    return true;
}

void TfrmTransport::Apply() {
    const std::int32_t ID = FMap.Edit.CurrentObject;
    if (ID == -1 || !FMap.ObjectExists(ID))
        return;
    const std::int32_t Type = FTransportType->currentIndex();
    const ZemString Name = FromUtf8(FTransportName->text().toStdString());
    FMap.ChangeObject(
        ID,
        [&](TZemObject& O) {
            // No choice shown means a kind the directory does not hold: it stays unless one is chosen.
            if (Type != -1)
                O.SetTransportType(Type);
            O.SetText(Name);
        },
        {}, "характеристика транспорта");
    FMap.Refresh();
}

bool TfrmTransport::Edit(TZemMap& Map, QWidget* Parent) {
    TfrmTransport Dialog(Map, Parent);
    if (!Dialog.Load())
        return false;
    return Dialog.exec() == QDialog::Accepted;
}

} // namespace zem
