// The inspector's page: its groups and controls. The handlers are in ZemObjectPageHandlers.cpp.
#include "ui/ZemObjectPage.h"

#include "model/ZemMap.h"
#include "ui/ZemAddressDialog.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemFillStyleCombo.h"
#include "ui/ZemObjectPageLimits.h"
#include "ui/ZemOrganisationWindow.h"
#include "ui/ZemPanelParts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace zem {

namespace {

QSlider* MakeSlider(QWidget* Parent, const char* Name, int Min, int Max, const QString& Hint = {}) {
    auto* S = new QSlider(Qt::Horizontal, Parent);
    S->setObjectName(QLatin1String(Name));
    S->setRange(Min, Max);
    S->setToolTip(Hint);
    return S;
}

QLabel* MakeLabel(QWidget* Parent, const QString& Text) {
    auto* L = new QLabel(Text, Parent);
    L->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return L;
}

} // namespace

TZemObjectPage::TZemObjectPage(TZemMap& Map, QWidget* Parent)
    : QWidget(Parent), FMap(Map), FAskColor(ZemColorDialogAsker(this)) {
    setObjectName(QStringLiteral("ObjectPage"));
    setWindowTitle(QStringLiteral("Инспектор объектов"));

    QVBoxLayout* Column = PanelBody(this);
    FBody = Column->parentWidget();
    Column->addWidget(BuildGeneral());
    Column->addWidget(BuildLine());
    Column->addWidget(BuildBrush());
    Column->addWidget(BuildText());
    Column->addWidget(BuildPresets());
    Column->addStretch(1);

    Connect();
    FNewPenColor->SetColor(ZemColorToQt(FMap.Edit.NewPenColor));
    FNewBrushColor->SetColor(ZemColorToQt(FMap.Edit.NewBrushColor));
    SetPageEnabled(false);
}

TZemObjectPage::~TZemObjectPage() {
    EndDrag();
}

QWidget* TZemObjectPage::BuildGeneral() {
    FGeneral = new QGroupBox(QStringLiteral("Общие свойства"), FBody);
    QGridLayout* G = PanelGrid(FGeneral);

    FIDObj = new QLineEdit(FGeneral);
    FIDObj->setObjectName(QStringLiteral("IDObj"));
    FIDObj->setReadOnly(true);
    FIDObj->setToolTip(QStringLiteral("Номер объекта на карте"));
    G->addWidget(MakeLabel(FGeneral, QStringLiteral("ID")), 0, 0);
    G->addWidget(FIDObj, 0, 1, 1, 2);

    FPlaneTrackBar = MakeSlider(FGeneral, "ObjectPlaneTrackBar", kPlaneMin, kPlaneMax,
                                QStringLiteral("Порядок отрисовки объектов. Объекты будут отрисовываться \n"
                                               "согласно плоскости (Plane), в которой они лежат."));
    FPlaneTrackBar->setPageStep(1);
    FPlaneLabel = new QLabel(QStringLiteral("0"), FGeneral);
    FPlaneLabel->setObjectName(QStringLiteral("PlaneLabel"));
    FPlaneLabel->setMinimumWidth(FPlaneLabel->fontMetrics().horizontalAdvance(QStringLiteral("-127")));
    FPlaneLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    G->addWidget(MakeLabel(FGeneral, QStringLiteral("Плоскость")), 1, 0);
    G->addWidget(FPlaneTrackBar, 1, 1);
    G->addWidget(FPlaneLabel, 1, 2);

    FHeight3DTrackBar = MakeSlider(FGeneral, "TrackBarHeight3D", 0, kHeight3DMax,
                                   QStringLiteral("Установить высоту 3D объекта"));
    G->addWidget(MakeLabel(FGeneral, QStringLiteral("Высота 3D")), 2, 0);
    G->addWidget(FHeight3DTrackBar, 2, 1, 1, 2);

    auto* Buttons = new QGridLayout;
    Buttons->setSpacing(3);
    FLockObj = PanelButton(FGeneral, QStringLiteral("Защита"), QStringLiteral("Защита объекта"), true);
    FLockObj->setObjectName(QStringLiteral("LockObj"));
    FCtl3DObj = PanelButton(FGeneral, QStringLiteral("3D"), QStringLiteral("Объект имеет 3D вид"), true);
    FCtl3DObj->setObjectName(QStringLiteral("Ctl3DObj"));
    FBlinkObj =
        PanelButton(FGeneral, QStringLiteral("Мигание"), QStringLiteral("Периодичное мигание объекта"), true);
    FBlinkObj->setObjectName(QStringLiteral("BlinkObj"));
    Buttons->addWidget(FLockObj, 0, 0);
    Buttons->addWidget(FCtl3DObj, 0, 1);
    Buttons->addWidget(FBlinkObj, 1, 0);

    FAddressButton =
        PanelButton(FGeneral, QStringLiteral("Адрес"), QStringLiteral("Показать адресную информацию - F2"));
    FOrganisationsButton =
        PanelButton(FGeneral, QStringLiteral("Фирмы"), QStringLiteral("Показать информацию о фирмах - F3"));
    FTransportButton =
        PanelButton(FGeneral, QStringLiteral("Транспорт"), QStringLiteral("Характеристика транспорта - F4"));
    FTransportButton->setObjectName(QStringLiteral("TransportButton"));
    Buttons->addWidget(FTransportButton, 1, 1);
    Buttons->addWidget(FAddressButton, 2, 0);
    Buttons->addWidget(FOrganisationsButton, 2, 1);

    FCopyStyleButton =
        PanelButton(FGeneral, QStringLiteral("Копировать стиль"),
                    QStringLiteral("Скопировать карандаш, кисть, шрифт и адрес объекта в память\n"
                                   "(Shift+Ctrl+C)"));
    FPasteStyleButton =
        PanelButton(FGeneral, QStringLiteral("Вставить стиль"),
                    QStringLiteral("Вставить из памяти карандаш, кисть, шрифт и адрес объекта,\n"
                                   "кроме номера дома, в текущий выделенный объект\n"
                                   "(Shift+Ctrl+V)"));
    Buttons->addWidget(FCopyStyleButton, 3, 0, 1, 2);
    Buttons->addWidget(FPasteStyleButton, 4, 0, 1, 2);

    // Enabled with the window's items "Загрузить рисунок" and "Загрузить иконку" (SetLibraryActions).
    FLoadPictureButton =
        PanelButton(FGeneral, QStringLiteral("Рисунок…"), QStringLiteral("Загрузить рисунок"));
    FLoadIconButton = PanelButton(FGeneral, QStringLiteral("Иконка…"), QStringLiteral("Загрузить иконку"));
    FLoadPictureButton->setEnabled(false);
    FLoadIconButton->setEnabled(false);
    auto* Library = new QHBoxLayout;
    Library->setSpacing(3);
    Library->addWidget(FLoadPictureButton);
    Library->addWidget(FLoadIconButton);

    G->addLayout(Buttons, 3, 0, 1, 3);
    G->addLayout(Library, 4, 0, 1, 3);
    G->setColumnStretch(1, 1);
    return FGeneral;
}

QWidget* TZemObjectPage::BuildLine() {
    FLine = new QGroupBox(QStringLiteral("Линия"), FBody);
    QGridLayout* G = PanelGrid(FLine);

    FPenColor = new TZemColorSwatch(FLine);
    FPenColor->setObjectName(QStringLiteral("CColorPen"));
    FPenColor->setToolTip(QStringLiteral("Цвет линий"));
    FPenWidth = new QSpinBox(FLine);
    FPenWidth->setObjectName(QStringLiteral("PenWidthObj"));
    FPenWidth->setRange(0, kPenWidthMax);
    FPenWidth->setToolTip(QStringLiteral("Толщина линии"));
    auto* Row = new QHBoxLayout;
    Row->addWidget(FPenColor);
    Row->addStretch(1);
    Row->addWidget(MakeLabel(FLine, QStringLiteral("Толщина")));
    Row->addWidget(FPenWidth);
    G->addWidget(MakeLabel(FLine, QStringLiteral("Цвет")), 0, 0);
    G->addLayout(Row, 0, 1);

    FPenWidthTrackBar =
        MakeSlider(FLine, "PenWithTrackBar", 0, kPenWidthMax, QStringLiteral("Толщина линии"));
    G->addWidget(FPenWidthTrackBar, 1, 0, 1, 2);

    FFlagsCombo = new QComboBox(FLine);
    FFlagsCombo->setObjectName(QStringLiteral("FlagsCombo"));
    FFlagsCombo->addItems({QStringLiteral("Прямые края"), QStringLiteral("Закругленные края")});
    G->addWidget(MakeLabel(FLine, QStringLiteral("Концы")), 2, 0);
    G->addWidget(FFlagsCombo, 2, 1);

    FLineStyle = new QComboBox(FLine);
    FLineStyle->setObjectName(QStringLiteral("CLinePenStyle"));
    FLineStyle->addItems({QStringLiteral("Сплошная"), QStringLiteral("Пунктирная"),
                          QStringLiteral("Точечная"), QStringLiteral("Полоски")});
    G->addWidget(MakeLabel(FLine, QStringLiteral("Стиль")), 3, 0);
    G->addWidget(FLineStyle, 3, 1);
    G->setColumnStretch(1, 1);
    return FLine;
}

QWidget* TZemObjectPage::BuildBrush() {
    FBrush = new QGroupBox(QStringLiteral("Кисть"), FBody);
    QGridLayout* G = PanelGrid(FBrush);
    FBrushColor = new TZemColorSwatch(FBrush);
    FBrushColor->setObjectName(QStringLiteral("CColorBrush"));
    FBrushColor->setToolTip(QStringLiteral("Цвет заливки"));
    FFillStyle = new TFillStyleComboBox(FBrush);
    FFillStyle->setObjectName(QStringLiteral("FillStyleBox"));
    FFillStyle->setToolTip(QStringLiteral("Стиль заливки"));
    FFillStyle->setFixedWidth(kFillStyleBoxWidth);
    G->addWidget(MakeLabel(FBrush, QStringLiteral("Цвет")), 0, 0);
    G->addWidget(FBrushColor, 0, 1);
    G->addWidget(FFillStyle, 0, 2, Qt::AlignRight);
    G->setColumnStretch(1, 1);
    return FBrush;
}

QWidget* TZemObjectPage::BuildText() {
    FText = new QGroupBox(QStringLiteral("Текст"), FBody);
    QGridLayout* G = PanelGrid(FText);

    FFontName = new QComboBox(FText);
    FFontName->setObjectName(QStringLiteral("CFontName"));
    FFontName->addItems({QStringLiteral("Arial"), QStringLiteral("Verdana"),
                         QStringLiteral("Times New Roman"), QStringLiteral("Tahoma")});
    G->addWidget(MakeLabel(FText, QStringLiteral("Шрифт")), 0, 0);
    G->addWidget(FFontName, 0, 1, 1, 2);

    FFontSize = new QSpinBox(FText);
    FFontSize->setObjectName(QStringLiteral("CFontSize"));
    FFontSize->setRange(0, kFontSizeMax);
    FFontSize->setToolTip(QStringLiteral("Размер шрифта в пунктах при масштабе 100 %"));
    G->addWidget(MakeLabel(FText, QStringLiteral("Размер")), 1, 0);
    G->addWidget(FFontSize, 1, 1, 1, 2, Qt::AlignLeft);

    FTextEdit = new QLineEdit(FText);
    FTextEdit->setObjectName(QStringLiteral("CText"));
    G->addWidget(MakeLabel(FText, QStringLiteral("Текст")), 2, 0);
    G->addWidget(FTextEdit, 2, 1, 1, 2);

    FAngleTrackBar = MakeSlider(FText, "CAngleTrackBar", 0, kAngleMaxTenths, QStringLiteral("Угол поворота"));
    FAngleTrackBar->setPageStep(150);
    FDegrees = new QSpinBox(FText);
    FDegrees->setObjectName(QStringLiteral("Scroller1"));
    FDegrees->setRange(0, kAngleMaxTenths / 10);
    FDegrees->setSuffix(QStringLiteral("°"));
    FDegrees->setWrapping(true);
    G->addWidget(MakeLabel(FText, QStringLiteral("Угол")), 3, 0);
    G->addWidget(FAngleTrackBar, 3, 1);
    G->addWidget(FDegrees, 3, 2);

    FBold = new QCheckBox(QStringLiteral("Жирный"), FText);
    FBold->setObjectName(QStringLiteral("CheckBoxBold"));
    FItalic = new QCheckBox(QStringLiteral("Курсив"), FText);
    FItalic->setObjectName(QStringLiteral("CheckBoxItalic"));
    FUnderline = new QCheckBox(QStringLiteral("Подчеркнутый"), FText);
    FUnderline->setObjectName(QStringLiteral("CheckBoxUnderline"));
    auto* Styles = new QGridLayout;
    Styles->setContentsMargins(0, 0, 0, 0);
    Styles->addWidget(FBold, 0, 0);
    Styles->addWidget(FItalic, 0, 1);
    Styles->addWidget(FUnderline, 1, 0, 1, 2);
    G->addLayout(Styles, 4, 0, 1, 3);
    G->setColumnStretch(1, 1);
    return FText;
}

QWidget* TZemObjectPage::BuildPresets() {
    FPresets = new QGroupBox(QStringLiteral("Заданные"), FBody);
    QGridLayout* G = PanelGrid(FPresets);
    FNewPenColor = new TZemColorSwatch(FPresets);
    FNewPenColor->setObjectName(QStringLiteral("Shape1"));
    FNewPenColor->setToolTip(QStringLiteral("Цвет линий новых объектов"));
    FNewBrushColor = new TZemColorSwatch(FPresets);
    FNewBrushColor->setObjectName(QStringLiteral("Shape2"));
    FNewBrushColor->setToolTip(QStringLiteral("Цвет заливки новых объектов"));
    G->addWidget(FNewPenColor, 0, 0);
    G->addWidget(MakeLabel(FPresets, QStringLiteral("Линия")), 0, 1);
    G->addWidget(FNewBrushColor, 0, 2);
    G->addWidget(MakeLabel(FPresets, QStringLiteral("Кисть")), 0, 3);
    G->setColumnStretch(1, 1);
    G->setColumnStretch(3, 1);
    return FPresets;
}

void TZemObjectPage::Connect() {
    connect(FPlaneTrackBar, &QSlider::valueChanged, this, &TZemObjectPage::PlaneChanged);
    connect(FHeight3DTrackBar, &QSlider::valueChanged, this, &TZemObjectPage::Height3DChanged);
    connect(FPenWidthTrackBar, &QSlider::valueChanged, this, &TZemObjectPage::PenWidthChanged);
    connect(FAngleTrackBar, &QSlider::valueChanged, this, &TZemObjectPage::AngleChanged);
    for (QSlider* S : {FPlaneTrackBar, FHeight3DTrackBar, FPenWidthTrackBar, FAngleTrackBar}) {
        connect(S, &QSlider::sliderPressed, this, &TZemObjectPage::BeginDrag);
        connect(S, &QSlider::sliderReleased, this, &TZemObjectPage::EndDrag);
    }
    connect(FLockObj, &QToolButton::clicked, this, &TZemObjectPage::LockClicked);
    connect(FCtl3DObj, &QToolButton::clicked, this, &TZemObjectPage::Ctl3DClicked);
    connect(FBlinkObj, &QToolButton::clicked, this, &TZemObjectPage::BlinkClicked);
    connect(FTransportButton, &QToolButton::clicked, this, &TZemObjectPage::TransportClicked);
    connect(FOrganisationsButton, &QToolButton::clicked, this, [this] {
        if (HasObject())
            TfrmOrganisation::Execute(window());
    });
    connect(FAddressButton, &QToolButton::clicked, this,
            [this] { Apply([this] { TfrmAdr::Edit(FMap, this); }); });
    connect(FCopyStyleButton, &QToolButton::clicked, this, &TZemObjectPage::CopyStyle);
    connect(FPasteStyleButton, &QToolButton::clicked, this, &TZemObjectPage::PasteStyle);

    connect(FPenColor, &TZemColorSwatch::clicked, this, &TZemObjectPage::PenColorClicked);
    connect(FPenWidth, qOverload<int>(&QSpinBox::valueChanged), this, &TZemObjectPage::PenWidthChanged);
    connect(FFlagsCombo, qOverload<int>(&QComboBox::activated), this, &TZemObjectPage::PenFlagsChanged);
    connect(FLineStyle, qOverload<int>(&QComboBox::activated), this, &TZemObjectPage::PenStyleChanged);
    connect(FBrushColor, &TZemColorSwatch::clicked, this, &TZemObjectPage::BrushColorClicked);
    connect(FFillStyle, &TFillStyleComboBox::changed, this, &TZemObjectPage::FillStyleChanged);

    connect(FFontName, qOverload<int>(&QComboBox::activated), this, &TZemObjectPage::FontNameChanged);
    connect(FFontSize, qOverload<int>(&QSpinBox::valueChanged), this, &TZemObjectPage::FontSizeChanged);
    connect(FTextEdit, &QLineEdit::textEdited, this, &TZemObjectPage::TextEdited);
    connect(FDegrees, qOverload<int>(&QSpinBox::valueChanged), this, &TZemObjectPage::DegreesChanged);
    for (QCheckBox* C : {FBold, FItalic, FUnderline})
        connect(C, &QCheckBox::clicked, this, &TZemObjectPage::FontStyleClicked);

    connect(FNewPenColor, &TZemColorSwatch::clicked, this, &TZemObjectPage::NewPenColorClicked);
    connect(FNewBrushColor, &TZemColorSwatch::clicked, this, &TZemObjectPage::NewBrushColorClicked);

    // A field whose keystrokes merge into one step closes that step when it loses the focus.
    for (QWidget* W : std::initializer_list<QWidget*>{FTextEdit, FFontSize, FDegrees, FPenWidth,
                                                      FPenWidthTrackBar, FAngleTrackBar, FHeight3DTrackBar})
        W->installEventFilter(this);
}

bool TZemObjectPage::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::FocusOut)
        FMap.EndMerge();
    return QWidget::eventFilter(Watched, Event);
}

void TZemObjectPage::SetLibraryActions(QAction* Picture, QAction* Icon) {
    for (const auto& [Button, Action] :
         {std::pair{FLoadPictureButton, Picture}, std::pair{FLoadIconButton, Icon}}) {
        Button->setEnabled(Action->isEnabled());
        connect(Button, &QToolButton::clicked, Action, &QAction::trigger);
        connect(Action, &QAction::changed, Button,
                [B = Button, Action] { B->setEnabled(Action->isEnabled()); });
    }
}

} // namespace zem
