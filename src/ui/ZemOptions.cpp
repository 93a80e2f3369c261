#include "ui/ZemOptions.h"

#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemColorSwatch.h"
#include "view/ZemMiniMap.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <numbers>

namespace zem {

namespace {

constexpr int kMaxStep = 20000;
constexpr int kPseudo3DStart = 270; // degrees, what every opening of the window sets
constexpr float kPseudo3DStartRadians = 4.712389f;
constexpr int kCompressionLevels = 5;

QSpinBox* UpDown(QWidget* Parent, int Min, int Value) {
    auto* Box = new QSpinBox(Parent);
    Box->setRange(Min, kMaxStep);
    Box->setValue(Value);
    Box->setAlignment(Qt::AlignRight);
    Box->setMinimumWidth(90);
    return Box;
}

int Degrees(float Radians) {
    const long Whole = std::lround(Radians * 180.0 / std::numbers::pi);
    return static_cast<int>(((Whole % 360) + 360) % 360);
}

// The user's number format, without thousands separators (they read badly in an edit).
QLocale NumberLocale() {
    QLocale L;
    L.setNumberOptions(QLocale::OmitGroupSeparator);
    return L;
}

// A colour swatch showing a platform colour.
TZemColorSwatch* MakeSwatch(TColor Color, QWidget* Parent) {
    auto* S = new TZemColorSwatch(Parent);
    S->SetColor(ZemColorToQt(Color));
    return S;
}

// A form row whose field sits left-aligned at its natural width.
QWidget* Fixed(QWidget* Field) {
    Field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return Field;
}

} // namespace

TfrmOptions::TfrmOptions(TZemMap& Map, QWidget* Parent) : QDialog(Parent), FMap(Map) {
    setWindowTitle(QStringLiteral("Опции"));
    setObjectName(QStringLiteral("frmOptions"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    AskColor = [this](TColor Initial, const QString& Title) -> std::optional<TColor> {
        const QColor C = QColorDialog::getColor(ZemColorToQt(Initial), this, Title);
        if (!C.isValid())
            return std::nullopt;
        return QtColorToZem(C);
    };

    PageControl = new QTabWidget(this);
    PageControl->addTab(EditorPage(), QStringLiteral("  Редактор  "));
    PageControl->addTab(MiniMapPage(), QStringLiteral("  Мини-карта  "));
    PageControl->addTab(BackgroundPage(), QStringLiteral("Подложка"));
    PageControl->addTab(MiscPage(), QStringLiteral("Разное"));
    PageControl->addTab(TransportPage(), QStringLiteral("Транспортная сеть"));

    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    Buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    Buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* Main = new QVBoxLayout(this);
    Main->addWidget(PageControl);
    Main->addWidget(Buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TfrmOptions::EditorPage() {
    auto* Page = new QWidget(this);
    const TZemDocument& D = FMap.Doc;

    auto* Grid = new QGroupBox(QStringLiteral("Сетка"), Page);
    ShowGrid = new QCheckBox(QStringLiteral("Координатная сетка"), Grid);
    ShowGrid->setChecked(true);
    XStep = UpDown(Grid, 4, 50);
    Edit1 = UpDown(Grid, 4, 50);
    CColorPen = MakeSwatch(RGBColor(192, 192, 192), Grid);
    auto* GridForm = new QFormLayout(Grid);
    GridForm->addRow(ShowGrid);
    GridForm->addRow(QStringLiteral("Шаг по Х:"), Fixed(XStep));
    GridForm->addRow(QStringLiteral("Шаг по Y:"), Fixed(Edit1));
    GridForm->addRow(QStringLiteral("Цвет направляющих линий:"), Fixed(CColorPen));

    auto* View = new QGroupBox(QStringLiteral("Изображение"), Page);
    Shape1 = MakeSwatch(RGBColor(0, 128, 0), View);
    Edit2 = UpDown(View, 4, 100);
    Edit3 = UpDown(View, 1, 3);
    Edit6 = UpDown(View, 1, 100);
    Pseudo3DAngleTrackBar = new QSlider(Qt::Horizontal, View);
    Pseudo3DAngleTrackBar->setRange(0, 359);
    Pseudo3DAngleTrackBar->setValue(kPseudo3DStart);
    Pseudo3DAngleTrackBar->setPageStep(45);
    Pseudo3DAngleTrackBar->setTickInterval(45);
    Pseudo3DAngleTrackBar->setTickPosition(QSlider::TicksBelow);
    Pseudo3DAngleLabel = new QLabel(View);
    Pseudo3DAngleLabel->setMinimumWidth(Pseudo3DAngleLabel->fontMetrics().horizontalAdvance("359°") + 4);
    Pseudo3DAngleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* AngleRow = new QHBoxLayout;
    AngleRow->addWidget(Pseudo3DAngleTrackBar, 1);
    AngleRow->addWidget(Pseudo3DAngleLabel);
    auto* ViewForm = new QFormLayout(View);
    ViewForm->addRow(QStringLiteral("Цвет фона редактора:"), Fixed(Shape1));
    ViewForm->addRow(QStringLiteral("Адреса и 3D с масштаба, %:"), Fixed(Edit2));
    ViewForm->addRow(QStringLiteral("Наименьший объект, пикс.:"), Fixed(Edit3));
    ViewForm->addRow(QStringLiteral("Иконки с масштаба, %:"), Fixed(Edit6));
    ViewForm->addRow(QStringLiteral("Псевдо 3D угол:"), AngleRow);

    auto* Measure = new QGroupBox(QStringLiteral("Измерение (Measure)"), Page);
    Edit4 = new QLineEdit(ToUtf8(D.MeasureStr).c_str(), Measure);
    Edit4->setMaxLength(static_cast<int>(TZemMap::kMaxMeasureStr));
    Edit5 = new QLineEdit(QStringLiteral("5000"), Measure);
    Edit5->setAlignment(Qt::AlignRight);
    MeasureScaleOk = new QPushButton(QStringLiteral("ok"), Measure);
    MeasureScaleOk->setAutoDefault(false);
    auto* ScaleRow = new QHBoxLayout;
    ScaleRow->addWidget(Edit5, 1);
    ScaleRow->addWidget(MeasureScaleOk);
    auto* MeasureForm = new QFormLayout(Measure);
    MeasureForm->addRow(QStringLiteral("Единицы измерения:"), Edit4);
    MeasureForm->addRow(QStringLiteral("Масштаб:"), ScaleRow);

    auto* Layout = new QGridLayout(Page);
    Layout->addWidget(Grid, 0, 0);
    Layout->addWidget(Measure, 1, 0);
    Layout->addWidget(View, 0, 1, 2, 1);
    Layout->setRowStretch(2, 1);

    connect(ShowGrid, &QCheckBox::toggled, this,
            [this](bool On) { WriteSettings([&] { FMap.SetShowGrid(On); }); });
    connect(XStep, &QSpinBox::valueChanged, this, [this](int V) {
        WriteSettings([&] { FMap.SetDirectLineX(V); });
        FMap.Refresh();
    });
    connect(Edit1, &QSpinBox::valueChanged, this, [this](int V) {
        WriteSettings([&] { FMap.SetDirectLineY(V); });
        FMap.Refresh();
    });
    connect(CColorPen, &TZemColorSwatch::clicked, this, [this] {
        PickColor(CColorPen, QtColorToZem(CColorPen->Color()), QStringLiteral("Цвет направляющих линий"),
                  [this](TColor C) { WriteSettings([&] { FMap.SetDirectLineColor(C); }); });
    });
    connect(Shape1, &TZemColorSwatch::clicked, this, [this] {
        PickColor(Shape1, QtColorToZem(Shape1->Color()), QStringLiteral("Цвет фона редактора"),
                  [this](TColor C) {
                      WriteSettings([&] { FMap.SetBackColor(C); });
                      FMap.UpdateMiniMapContent(); // the mini-map shows the same background
                  });
    });
    connect(Edit2, &QSpinBox::valueChanged, this,
            [this](int V) { WriteSettings([&] { FMap.SetMinScaleAddress(static_cast<float>(V)); }); });
    connect(Pseudo3DAngleTrackBar, &QSlider::valueChanged, this, [this](int V) {
        Pseudo3DAngleLabel->setText(QString::number(V) + QStringLiteral("°"));
        WriteSettings([&] { FMap.SetPseudo3DAngle(static_cast<float>(V * std::numbers::pi / 180.0)); });
        FMap.Redraw();
    });
    connect(Edit3, &QSpinBox::valueChanged, this,
            [this](int V) { WriteSettings([&] { FMap.SetMinObjectView(V); }); });
    connect(Edit6, &QSpinBox::valueChanged, this,
            [this](int V) { WriteSettings([&] { FMap.SetMinIconView(static_cast<float>(V)); }); });
    connect(Edit4, &QLineEdit::textEdited, this, [this](const QString& Text) {
        WriteSettings([&] { FMap.SetMeasureStr(FromUtf8(Text.toStdString())); });
        FMap.Redraw(); // the measuring line shows its unit
    });
    connect(MeasureScaleOk, &QPushButton::clicked, this, &TfrmOptions::ApplyMeasureScale);
    connect(Edit5, &QLineEdit::returnPressed, this, &TfrmOptions::ApplyMeasureScale);
    return Page;
}

QWidget* TfrmOptions::MiniMapPage() {
    auto* Page = new QWidget(this);
    auto* Box = new QGroupBox(QStringLiteral("Цвета мини-карты"), Page);
    Shape2 = MakeSwatch(0xFFFF00, Box);
    Shape4 = MakeSwatch(0x0000FF, Box);
    ShowDashLineCheck =
        new QCheckBox(QStringLiteral("Показывать направляющую пунктирную линию на мини-карте"), Page);
    ShowDashLineCheck->setChecked(true);
    auto* Form = new QFormLayout(Box);
    Form->addRow(QStringLiteral("Рамка текущего окна:"), Fixed(Shape2));
    Form->addRow(QStringLiteral("Рамка выводимой области:"), Fixed(Shape4));
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(Box);
    Layout->addWidget(ShowDashLineCheck);
    Layout->addStretch(1);

    // The swatches start from the mini-map's own colours, which may differ from what they show.
    connect(Shape2, &TZemColorSwatch::clicked, this, [this] {
        const TZemMiniMap* M = FMap.MiniMap();
        PickColor(Shape2, M ? M->BorderColor : QtColorToZem(Shape2->Color()),
                  QStringLiteral("Рамка текущего окна"),
                  [this](TColor C) { WriteMiniMap([&] { FMap.MiniMap()->SetBorderColor(C); }); });
    });
    connect(Shape4, &TZemColorSwatch::clicked, this, [this] {
        const TZemMiniMap* M = FMap.MiniMap();
        PickColor(Shape4, M ? M->BorderPainterColor : QtColorToZem(Shape4->Color()),
                  QStringLiteral("Рамка выводимой области"),
                  [this](TColor C) { WriteMiniMap([&] { FMap.MiniMap()->SetBorderPainterColor(C); }); });
    });
    connect(ShowDashLineCheck, &QCheckBox::toggled, this,
            [this](bool On) { WriteMiniMap([&] { FMap.MiniMap()->SetShowDashLine(On); }); });
    return Page;
}

QWidget* TfrmOptions::BackgroundPage() {
    auto* Page = new QWidget(this);
    auto* Box = new QGroupBox(QStringLiteral("Масштаб подложки"), Page);
    CreateDIBScaleEdit = new QLineEdit(QStringLiteral("100"), Box);
    CreateDIBScaleEdit->setAlignment(Qt::AlignRight);
    CreateDIBScaleEdit->setMaximumWidth(120);
    CreateDIBScaleOk = new QPushButton(QStringLiteral("Ok"), Box);
    CreateDIBScaleOk->setAutoDefault(false);
    auto* Hint = new QLabel(QStringLiteral("Масштаб карты в процентах, при котором точка подложки\n"
                                           "занимает одну точку экрана."),
                            Box);
    Hint->setEnabled(false);
    auto* Row = new QHBoxLayout;
    Row->addWidget(new QLabel(QStringLiteral("Масштаб, %:"), Box));
    Row->addWidget(CreateDIBScaleEdit);
    Row->addWidget(CreateDIBScaleOk);
    Row->addStretch(1);
    auto* BoxLayout = new QVBoxLayout(Box);
    BoxLayout->addLayout(Row);
    BoxLayout->addWidget(Hint);
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(Box);
    Layout->addStretch(1);
    connect(CreateDIBScaleOk, &QPushButton::clicked, this, &TfrmOptions::ApplyBackgroundScale);
    connect(CreateDIBScaleEdit, &QLineEdit::returnPressed, this, &TfrmOptions::ApplyBackgroundScale);
    return Page;
}

QWidget* TfrmOptions::MiscPage() {
    auto* Page = new QWidget(this);
    CompressMethod = new QComboBox(Page);
    CompressMethod->addItems({QStringLiteral("Без компрессии"), QStringLiteral("Очень быстрое сжатие"),
                              QStringLiteral("Быстрое сжатие"), QStringLiteral("Нормальное сжатие"),
                              QStringLiteral("Максимальное сжатие")});
    auto* Form = new QFormLayout(Page);
    Form->addRow(QStringLiteral("Сжатие при сохранении:"), Fixed(CompressMethod));
    connect(CompressMethod, &QComboBox::activated, this, [this](int Index) {
        WriteSettings([&] { FMap.SetCompression(static_cast<std::uint8_t>(Index)); });
    });
    return Page;
}

QWidget* TfrmOptions::TransportPage() {
    auto* Page = new QWidget(this);
    // The same switch as the menu's "Показывать транспортную сеть" (Ctrl+T).
    ShowTransportNetCheck = new QCheckBox(QStringLiteral("Показывать транспортную сеть"), Page);
    ShowTransportNetCheck->setObjectName(QStringLiteral("ShowTransportNetCheck"));
    connect(ShowTransportNetCheck, &QCheckBox::clicked, this, [this](bool Show) {
        if (OnShowTransportNet)
            OnShowTransportNet(Show);
        ShowTransportNetState();
    });
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(ShowTransportNetCheck);
    Layout->addStretch(1);
    return Page;
}

void TfrmOptions::showEvent(QShowEvent* Event) {
    // Every opening starts the pseudo-3D view from straight below.
    if (FMap.Doc.Pseudo3DAngle != kPseudo3DStartRadians) {
        WriteSettings([&] { FMap.SetPseudo3DAngle(kPseudo3DStartRadians); });
        FMap.Redraw();
    }
    Reload();
    QDialog::showEvent(Event);
}

void TfrmOptions::Reload() {
    const TZemDocument& D = FMap.Doc;
    const QSignalBlocker B1(ShowGrid), B2(XStep), B3(Edit1), B4(Edit2), B5(Edit3), B6(Edit6),
        B7(Pseudo3DAngleTrackBar), B8(CompressMethod), B9(ShowDashLineCheck);
    ShowGrid->setChecked(D.ShowGrid);
    XStep->setValue(D.DirectLineX);
    Edit1->setValue(D.DirectLineY);
    CColorPen->SetColor(ZemColorToQt(D.DirectLineColor));
    Shape1->SetColor(ZemColorToQt(D.BackColor));
    Edit2->setValue(static_cast<int>(std::lround(D.MinScaleAddress)));
    Edit3->setValue(D.MinObjectView);
    Edit6->setValue(static_cast<int>(std::lround(D.MinIconView)));
    Pseudo3DAngleTrackBar->setValue(Degrees(D.Pseudo3DAngle));
    Pseudo3DAngleLabel->setText(QString::number(Pseudo3DAngleTrackBar->value()) + QStringLiteral("°"));
    Edit4->setText(QString::fromStdString(ToUtf8(D.MeasureStr)));
    Edit5->setText(NumberLocale().toString(D.MeasureScale, 'g', 7));
    CompressMethod->setCurrentIndex(std::min<int>(D.Compression, kCompressionLevels - 1));
    if (const TZemMiniMap* M = FMap.MiniMap()) {
        Shape2->SetColor(ZemColorToQt(M->BorderColor));
        Shape4->SetColor(ZemColorToQt(M->BorderPainterColor));
        ShowDashLineCheck->setChecked(M->ShowDashLine);
    }
    ShowTransportNetState();
}

void TfrmOptions::ShowTransportNetState() {
    const QSignalBlocker Quiet(ShowTransportNetCheck);
    ShowTransportNetCheck->setChecked(FMap.Net.ShowTransportNet);
}

void TfrmOptions::WriteSettings(const std::function<void()>& Change) {
    TZemChange Step(FMap); // a command that sets several values is still one step
    Change();
}

void TfrmOptions::WriteMiniMap(const std::function<void()>& Change) {
    if (!FMap.MiniMap())
        return;
    Change();
    FMap.UpdateMiniMapContent();
}

void TfrmOptions::PickColor(TZemColorSwatch* Swatch, TColor Initial, const QString& Title,
                            const std::function<void(TColor)>& Apply) {
    if (!AskColor)
        return;
    const std::optional<TColor> Chosen = AskColor(Initial, Title);
    if (!Chosen)
        return;
    Swatch->SetColor(ZemColorToQt(*Chosen));
    Apply(*Chosen);
}

void TfrmOptions::Error(const QString& Text) {
    FMap.Host().ShowMessage(Text.toStdString(), "ZemMap", TZemMsgButtons::mbOk);
}

std::optional<float> TfrmOptions::ReadPositive(const QLineEdit* Edit, float Max) {
    const QString Text = Edit->text().trimmed();
    // The user's own number format first, then the plain one with a point.
    bool Ok = false;
    double Value = QLocale().toDouble(Text, &Ok);
    if (!Ok)
        Value = QLocale::c().toDouble(Text, &Ok);
    if (!Ok || !std::isfinite(Value)) {
        Error(QStringLiteral("\"%1\" не является числом.").arg(Text));
        return std::nullopt;
    }
    if (Value <= 0) {
        Error(QStringLiteral("Масштаб должен быть больше нуля."));
        return std::nullopt;
    }
    if (Value > Max) {
        Error(QStringLiteral("Масштаб должен быть не больше %1.").arg(NumberLocale().toString(Max, 'g', 10)));
        return std::nullopt;
    }
    return static_cast<float>(Value);
}

void TfrmOptions::ApplyMeasureScale() {
    const std::optional<float> Scale = ReadPositive(Edit5, std::numeric_limits<float>::max());
    if (!Scale)
        return;
    WriteSettings([&] { FMap.SetMeasureScale(*Scale); });
}

std::optional<float> TfrmOptions::ReadBackgroundScale() {
    // The map is zoomed to this scale when an image is loaded, so it keeps to the map's own limit.
    const std::optional<float> Scale = ReadPositive(CreateDIBScaleEdit, FMap.View.MaxScale);
    if (Scale)
        FBackgroundScale = *Scale;
    return Scale;
}

void TfrmOptions::ApplyBackgroundScale() {
    const std::optional<float> Scale = ReadBackgroundScale();
    if (!Scale)
        return;
    if (OnBackgroundScale)
        OnBackgroundScale(*Scale);
    FMap.Refresh();
}

} // namespace zem
