#include "ui/ZemAddressPage.h"

#include "address/ZemAddress.h"
#include "model/ZemMap.h"
#include "ui/ZemDirectoryCombo.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemPanelParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <new>
#include <utility>

namespace zem {

TZemAddressPage::TZemAddressPage(TZemMap& Map, QWidget* Parent) : QWidget(Parent), FMap(Map) {
    setObjectName(QStringLiteral("AddressPage"));
    setWindowTitle(QStringLiteral("Типы и адреса"));
    QVBoxLayout* Column = PanelBody(this);
    FBody = Column->parentWidget();

    auto* TypeBox = new QGroupBox(QStringLiteral("Тип объекта"), FBody);
    ObjectTypeCombo = MakeDirectoryCombo(TypeBox, "ObjectTypeCombo");
    PanelGrid(TypeBox)->addWidget(ObjectTypeCombo, 0, 0);

    auto* AddressBox = new QGroupBox(QStringLiteral("Адрес"), FBody);
    QGridLayout* G = PanelGrid(AddressBox);
    CityCombo = MakeDirectoryCombo(AddressBox, "CityCombo");
    AreaCombo = MakeDirectoryCombo(AddressBox, "AreaCombo");
    IndexCombo = MakeDirectoryCombo(AddressBox, "IndexCombo");
    StreetCombo = MakeDirectoryCombo(AddressBox, "StreetCombo");
    const std::pair<const char*, QComboBox*> Rows[] = {{"Населенный пункт", CityCombo},
                                                       {"Район", AreaCombo},
                                                       {"Индекс", IndexCombo},
                                                       {"Улица", StreetCombo}};
    int Row = 0;
    for (const auto& [Label, Combo] : Rows) {
        G->addWidget(new QLabel(QString::fromUtf8(Label), AddressBox), Row++, 0);
        G->addWidget(Combo, Row++, 0);
    }

    auto* Buttons = new QWidget(FBody);
    auto* B = new QGridLayout(Buttons);
    B->setContentsMargins(0, 0, 0, 0);
    QToolButton* Set = PanelButton(Buttons, QStringLiteral("Установить"),
                                   QStringLiteral("Дать тип и адрес текущему объекту"));
    QToolButton* Visible =
        PanelButton(Buttons, QStringLiteral("Для всех видимых"),
                    QStringLiteral("Дать тип и адрес текущему объекту, а видимым объектам - "
                                   "то, чего у них нет"));
    connect(Set, &QToolButton::clicked, this, &TZemAddressPage::SetForCurrent);
    connect(Visible, &QToolButton::clicked, this, &TZemAddressPage::SetForVisible);
    B->addWidget(Set, 0, 0);
    B->addWidget(Visible, 1, 0);

    Column->addWidget(TypeBox);
    Column->addWidget(AddressBox);
    Column->addWidget(Buttons);
    Column->addStretch(1);
    Refresh();
}

void TZemAddressPage::showEvent(QShowEvent* Event) {
    Refresh();
    QWidget::showEvent(Event);
}

void TZemAddressPage::Refresh() {
    const std::int32_t ID = FMap.CurrentObject();
    const bool Has = ID != -1 && FMap.ObjectExists(ID);
    FBody->setEnabled(Has);
    if (!isVisible())
        return; // loaded when shown
    const TZemDocument& D = FMap.Doc;
    FillFromDirectory(ObjectTypeCombo, D.ObjectTypes);
    FillFromDirectory(CityCombo, D.Cities);
    FillFromDirectory(AreaCombo, D.Areas);
    FillFromDirectory(IndexCombo, D.Indexes);
    FillFromDirectory(StreetCombo, D.Streets);
    TAddress A;
    if (!FMap.GetAddress(ID, A))
        A = TAddress{};
    const ZemString Type = Has ? DirectoryLine(D.ObjectTypes, FMap.ObjectByID(ID).Category()) : ZemString();
    const std::pair<QComboBox*, const ZemString*> Fields[] = {{ObjectTypeCombo, &Type},
                                                              {CityCombo, &A.City},
                                                              {AreaCombo, &A.Area},
                                                              {IndexCombo, &A.Index},
                                                              {StreetCombo, &A.Street}};
    for (const auto& [Combo, Text] : Fields) {
        Combo->setCurrentIndex(-1);
        Combo->setEditText(ShownText(*Text));
    }
}

void TZemAddressPage::Run(const std::function<void()>& Command) {
    const std::int32_t ID = FMap.CurrentObject();
    if (ID == -1 || !FMap.ObjectExists(ID))
        return;
    try {
        Command();
    } catch (const std::bad_alloc&) {
        ShowErrorBox(this, QStringLiteral("Недостаточно памяти для выполнения команды."));
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromUtf8(E.what()));
    }
    Refresh();
}

void TZemAddressPage::ApplyToCurrent() {
    const std::int32_t ID = FMap.CurrentObject();
    TAddress A;
    FMap.GetAddress(ID, A); // the parts this page does not show stay
    A.City = FieldText(CityCombo->currentText());
    A.Area = FieldText(AreaCombo->currentText());
    A.Index = FieldText(IndexCombo->currentText());
    A.Street = FieldText(StreetCombo->currentText());
    FMap.SetObjectType(ID, FieldText(ObjectTypeCombo->currentText()));
    FMap.SetAddress(ID, A);
}

void TZemAddressPage::SetForCurrent() {
    Run([this] {
        {
            TZemChange Step(FMap, "тип и адрес");
            ApplyToCurrent();
        }
        FMap.Refresh();
    });
}

void TZemAddressPage::SetForVisible() {
    Run([this] {
        TZemChange Step(FMap, "тип и адрес для видимых");
        ApplyToCurrent();
        // The other visible objects take what they lack of the shown parts only.
        TAddress Shared;
        Shared.City = FieldText(CityCombo->currentText());
        Shared.Area = FieldText(AreaCombo->currentText());
        Shared.Index = FieldText(IndexCombo->currentText());
        Shared.Street = FieldText(StreetCombo->currentText());
        FMap.SetAddressForVisible(-1, Shared);
        FMap.SetObjectTypeForVisible(FieldText(ObjectTypeCombo->currentText()));
    });
}

} // namespace zem
