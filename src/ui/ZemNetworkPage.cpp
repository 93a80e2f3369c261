#include "ui/ZemNetworkPage.h"

#include "model/ZemMap.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemPanelParts.h"
#include "ui/ZemTransportSelect.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <vector>

namespace zem {

namespace {

constexpr int kConnectionKinds = 3;

QGroupBox* Group(QWidget* Parent, const QString& Title) {
    return new QGroupBox(Title, Parent);
}

QComboBox* TypeCombo(QWidget* Parent, const char* Name) {
    auto* C = new QComboBox(Parent);
    C->setObjectName(QLatin1String(Name));
    C->setPlaceholderText(QStringLiteral("Тип транспорта"));
    C->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    C->setMinimumContentsLength(8);
    return C;
}

QLineEdit* NameEdit(QWidget* Parent, const char* Name) {
    auto* E = new QLineEdit(Parent);
    E->setObjectName(QLatin1String(Name));
    E->setPlaceholderText(QStringLiteral("Название транспорта"));
    E->setClearButtonEnabled(true);
    return E;
}

// Fills a combo with the directory, keeping the chosen position while the directory still has it.
void FillTypes(QComboBox* Combo, const TZemDirectory& Types) {
    const int Chosen = Combo->currentIndex();
    Combo->clear();
    for (const ZemString& T : Types)
        Combo->addItem(QString::fromStdString(ToUtf8(T)));
    Combo->setCurrentIndex(Chosen < Combo->count() ? Chosen : -1);
}

} // namespace

TZemNetworkPage::TZemNetworkPage(TZemMap& Map, QWidget* Parent)
    : QWidget(Parent), FMap(Map), FAskColor(ZemColorDialogAsker(this)) {
    setObjectName(QStringLiteral("NetworkPage"));
    setWindowTitle(QStringLiteral("Дорожная сеть"));

    QVBoxLayout* Column = PanelBody(this);
    FBody = Column->parentWidget();
    Column->addWidget(BuildConnection());
    Column->addWidget(BuildJunctions());
    Column->addWidget(BuildConversion());
    Column->addWidget(BuildRouteColor());
    Column->addWidget(BuildRouteNames());
    Column->addWidget(BuildChecks());
    Column->addStretch(1);
    ReloadDirectories();
}

QWidget* TZemNetworkPage::BuildConnection() {
    QGroupBox* Box = Group(FBody, QStringLiteral("Выбор вида соединения"));
    Box->setObjectName(QStringLiteral("ConnectionKind"));
    auto* Column = new QVBoxLayout(Box);
    Column->setContentsMargins(6, 4, 6, 6);
    Column->setSpacing(2);
    FConnection = new QButtonGroup(Box);
    const QString Items[kConnectionKinds] = {QStringLiteral("(Alt+1) начало => конец"),
                                             QStringLiteral("(Alt+2) начало <= конец"),
                                             QStringLiteral("(Alt+3) начало <=> конец")};
    for (int i = 0; i < kConnectionKinds; ++i) {
        auto* Radio = new QRadioButton(Items[i], Box);
        FConnection->addButton(Radio, i);
        Column->addWidget(Radio);
    }
    connect(FConnection, &QButtonGroup::idClicked, this, &TZemNetworkPage::SelectConnectionKind);
    return Box;
}

QWidget* TZemNetworkPage::BuildJunctions() {
    // The command's caption is wider than the column: it wraps inside the group.
    QGroupBox* Box = Group(FBody, QStringLiteral("Узловые точки"));
    QGridLayout* G = PanelGrid(Box);
    auto* Caption = new QLabel(QStringLiteral("Поставить узловые точки на прямых"), Box);
    Caption->setWordWrap(true);
    G->addWidget(Caption, 0, 0, 1, 2);
    struct TPlace {
        QString Text;
        QString Hint;
        TZemMap::TJunctionPlacement Where;
    };
    const TPlace Places[] = {
        {QStringLiteral("На всех"), QStringLiteral("На всех линиях карты"), TZemMap::jpAll},
        {QStringLiteral("На видимых"), QStringLiteral("На линиях, видимых в окне"), TZemMap::jpVisible},
        {QStringLiteral("На выделенной"), QStringLiteral("На выделенной линии"), TZemMap::jpSelected},
    };
    int Column = 0;
    for (const TPlace& P : Places) {
        QToolButton* B = PanelButton(Box, P.Text, P.Hint);
        const TZemMap::TJunctionPlacement Where = P.Where;
        connect(B, &QToolButton::clicked, this,
                [this, Where] { Run([&] { FMap.PlaceJunctionsOnLines(Where); }); });
        // Two buttons on the first row, the widest alone on the second, so no caption is clipped.
        G->addWidget(B, 1 + Column / 2, Column % 2, 1, Column == 2 ? 2 : 1);
        ++Column;
    }
    return Box;
}

QWidget* TZemNetworkPage::BuildConversion() {
    QGroupBox* Box = Group(FBody, QStringLiteral("Незаданные маршруты"));
    QGridLayout* G = PanelGrid(Box);
    FConvertType = TypeCombo(Box, "ComboBoxNeoprToOpr");
    FConvertType->setToolTip(QStringLiteral("Тип, который получат сегменты без типа транспорта"));
    FConvertName = NameEdit(Box, "Edit1");
    QToolButton* Convert =
        PanelButton(Box, QStringLiteral("Преобразовать"),
                    QStringLiteral("Задать выбранный тип и название всем незаданным маршрутам"));
    connect(Convert, &QToolButton::clicked, this, &TZemNetworkPage::ConvertUndefined);
    G->addWidget(FConvertType, 0, 0);
    G->addWidget(FConvertName, 1, 0);
    G->addWidget(Convert, 2, 0, Qt::AlignRight);
    return Box;
}

QWidget* TZemNetworkPage::BuildRouteColor() {
    QGroupBox* Box = Group(FBody, QStringLiteral("Цвет маршрута"));
    QGridLayout* G = PanelGrid(Box);
    FColorType = TypeCombo(Box, "ComboBoxTransportTypeColor");
    FColorName = NameEdit(Box, "Edit4");
    FColorName->setToolTip(QStringLiteral("Пустое название: все маршруты выбранного типа"));
    FColorSwatch = new TZemColorSwatch(Box);
    FColorSwatch->setObjectName(QStringLiteral("CColorTransport"));
    FColorSwatch->setToolTip(QStringLiteral("Цвет маршрута"));
    FColorSwatch->SetColor(QColor(255, 0, 0));
    connect(FColorSwatch, &TZemColorSwatch::clicked, this, &TZemNetworkPage::RouteColorClicked);
    QToolButton* Set = PanelButton(Box, QStringLiteral("Установить"), QStringLiteral("Окрасить маршрут"));
    Set->setObjectName(QStringLiteral("SetRouteColorButton"));
    connect(Set, &QToolButton::clicked, this, &TZemNetworkPage::SetRouteColor);
    G->addWidget(FColorType, 0, 0, 1, 2);
    G->addWidget(FColorName, 1, 0, 1, 2);
    G->addWidget(FColorSwatch, 2, 0);
    G->addWidget(Set, 2, 1, Qt::AlignRight);
    return Box;
}

QWidget* TZemNetworkPage::BuildRouteNames() {
    QGroupBox* Box = Group(FBody, QStringLiteral("Отображаемые маршруты"));
    QGridLayout* G = PanelGrid(Box);
    QToolButton* Update =
        PanelButton(Box, QStringLiteral("Обновить"),
                    QStringLiteral("Собрать названия маршрутов отображаемых видов транспорта"));
    connect(Update, &QToolButton::clicked, this, &TZemNetworkPage::UpdateRouteNames);
    FRouteNames = new QComboBox(Box);
    FRouteNames->setObjectName(QStringLiteral("ComboBoxVisibleTransport"));
    FRouteNames->setPlaceholderText(QStringLiteral("Маршрут"));
    FRouteNames->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FRouteNames->setMinimumContentsLength(8);
    QToolButton* Set =
        PanelButton(Box, QStringLiteral("Установить"), QStringLiteral("Показывать только этот маршрут"));
    connect(Set, &QToolButton::clicked, this, &TZemNetworkPage::SetRouteFilter);
    QToolButton* Clear = PanelButton(Box, QStringLiteral("X"), QStringLiteral("Показывать все маршруты"));
    connect(Clear, &QToolButton::clicked, this, &TZemNetworkPage::ClearRouteFilter);
    G->addWidget(FRouteNames, 0, 0, 1, 2);
    G->addWidget(Update, 0, 2);
    G->addWidget(Set, 1, 0, 1, 2);
    G->addWidget(Clear, 1, 2);
    G->setColumnStretch(0, 1);
    return Box;
}

QWidget* TZemNetworkPage::BuildChecks() {
    QGroupBox* Box = Group(FBody, QStringLiteral("Сеть"));
    QGridLayout* G = PanelGrid(Box);
    // Its caption is wider than the column, so it takes two lines.
    FShowUndefined = new QCheckBox(QStringLiteral("Показывать незаданные\nмаршруты"), Box);
    FShowUndefined->setObjectName(QStringLiteral("ShowUndefinedRoutes"));
    connect(FShowUndefined, &QCheckBox::clicked, this,
            [this](bool On) { Run([&] { FMap.SetShowUndefinedRoutes(On); }, false); });
    QToolButton* Select = PanelButton(Box, QStringLiteral("Выбрать транспорт\nотображения"),
                                      QStringLiteral("Какие виды транспорта показывать на карте"));
    connect(Select, &QToolButton::clicked, this,
            [this] { Run([&] { TfrmZemTransportEditSelect::Execute(FMap, this); }, false); });
    QToolButton* Check = PanelButton(Box, QStringLiteral("Проверка"),
                                     QStringLiteral("Удалить петли и сделать все сегменты двусторонними"));
    connect(Check, &QToolButton::clicked, this, [this] { Run([&] { FMap.CheckNetwork(); }); });
    QToolButton* Lock = PanelButton(Box, QStringLiteral("Все только для чтения"),
                                    QStringLiteral("Защитить все объекты карты от изменения мышью"));
    connect(Lock, &QToolButton::clicked, this, [this] {
        Run([&] {
            FMap.LockAll();
            FMap.Redraw(); // locked objects lose their handles
        });
    });
    G->addWidget(FShowUndefined, 0, 0);
    G->addWidget(Select, 1, 0);
    G->addWidget(Check, 2, 0);
    G->addWidget(Lock, 3, 0);
    return Box;
}

void TZemNetworkPage::Run(const std::function<void()>& Command, bool ChangesDocument) {
    try {
        if (ChangesDocument) {
            TZemChange Step(FMap);
            Command();
        } else {
            Command();
        }
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromUtf8(E.what()));
    }
    if (ChangesDocument)
        emit networkChanged();
}

void TZemNetworkPage::SelectConnectionKind(int Index) {
    if (Index < 0 || Index >= kConnectionKinds)
        return;
    FMap.SetConnectionKind(static_cast<std::uint8_t>(Index));
    ShowConnectionKind();
}

void TZemNetworkPage::ShowConnectionKind() {
    if (QAbstractButton* Kind = FConnection->button(FMap.Net.ConnectionKind))
        Kind->setChecked(true);
}

void TZemNetworkPage::ReloadDirectories() {
    FillTypes(FConvertType, FMap.Doc.TransportTypes);
    FillTypes(FColorType, FMap.Doc.TransportTypes);
    ShowConnectionKind();
    FShowUndefined->setChecked(FMap.Net.ShowUndefinedRoutes);
}

void TZemNetworkPage::showEvent(QShowEvent* Event) {
    ReloadDirectories();
    QWidget::showEvent(Event);
}

void TZemNetworkPage::ConvertUndefined() {
    const int Type = FConvertType->currentIndex();
    if (Type < 0)
        return; // nothing happens while no type is chosen
    const ZemString Name = FromUtf8(FConvertName->text().toStdString());
    Run([&] { FMap.ConvertUndefinedRoutes(Type, Name); });
}

void TZemNetworkPage::RouteColorClicked() {
    QColor C;
    if (FAskColor(FColorSwatch->Color(), C))
        FColorSwatch->SetColor(C);
}

void TZemNetworkPage::SetRouteColor() {
    // With no type chosen the map says "Выберите транспорт!" itself.
    const int Type = FColorType->currentIndex();
    const ZemString Name = FromUtf8(FColorName->text().toStdString());
    const TColor Color = QtColorToZem(FColorSwatch->Color());
    Run([&] { FMap.SetRouteColor(Type, Name, Color); }, Type >= 0);
}

void TZemNetworkPage::UpdateRouteNames() {
    std::vector<ZemString> Names;
    FMap.RouteNames(Names);
    FRouteNames->clear();
    // The names keep their own bytes beside the shown text: the filter compares bytes.
    for (const ZemString& N : Names)
        FRouteNames->addItem(QString::fromStdString(ToUtf8(N)), QByteArray::fromStdString(N));
}

void TZemNetworkPage::SetRouteFilter() {
    if (FRouteNames->currentIndex() < 0)
        return;
    const ZemString Name = FRouteNames->currentData().toByteArray().toStdString();
    Run([&] { FMap.SetRouteNameFilter(Name); }, false);
}

void TZemNetworkPage::ClearRouteFilter() {
    Run([&] { FMap.ClearRouteNameFilter(); }, false);
}

} // namespace zem
