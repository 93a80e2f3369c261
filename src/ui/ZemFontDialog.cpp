#include "ui/ZemFontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace zem {

namespace {

constexpr int kMaxAngleTenths = 3599;
constexpr int kMaxSize = 150;
constexpr std::uint8_t kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8;

QSlider* TrackBar(QWidget* Parent, int Min, int Max, int Value, int Page) {
    auto* Bar = new QSlider(Qt::Horizontal, Parent);
    Bar->setRange(Min, Max);
    Bar->setValue(Value);
    Bar->setPageStep(Page);
    Bar->setTickPosition(QSlider::TicksBelow);
    Bar->setTickInterval(Page);
    return Bar;
}

} // namespace

TZemFontDialogForm::TZemFontDialogForm(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("Текст"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    TextEdit = new QLineEdit(this);
    TextEdit->setMinimumWidth(300);

    FontCombo = new QComboBox(this);
    FontCombo->addItems({QStringLiteral("Arial"), QStringLiteral("MS Sans Serif"),
                         QStringLiteral("Times New Roman"), QStringLiteral("Tahoma"),
                         QStringLiteral("Verdana")});
    BoldCheck = new QCheckBox(QStringLiteral("Жирный"), this);
    ItalicCheck = new QCheckBox(QStringLiteral("Курсив"), this);
    UnderlineCheck = new QCheckBox(QStringLiteral("Подчеркнутый"), this);
    StrikeOutCheck = new QCheckBox(QStringLiteral("Зачеркнутый"), this);

    AngleTrackBar = TrackBar(this, 0, kMaxAngleTenths, 1, 450);
    FontSizeTrackBar = TrackBar(this, 1, kMaxSize, 20, 10);
    AngleLabel = new QLabel(this);
    SizeLabel = new QLabel(this);
    // Wide enough for the longest value, so the track bars do not jump while dragged.
    AngleLabel->setMinimumWidth(AngleLabel->fontMetrics().horizontalAdvance(QStringLiteral("359°")) + 4);
    SizeLabel->setMinimumWidth(SizeLabel->fontMetrics().horizontalAdvance(QStringLiteral("150")) + 4);
    AngleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SizeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* TextLabel = new QLabel(QStringLiteral("&Текст:"), this);
    TextLabel->setBuddy(TextEdit);

    auto* FontBox = new QGroupBox(QStringLiteral("Шрифт"), this);
    auto* FontGrid = new QGridLayout(FontBox);
    FontGrid->addWidget(FontCombo, 0, 0, 1, 2);
    FontGrid->addWidget(BoldCheck, 1, 0);
    FontGrid->addWidget(ItalicCheck, 1, 1);
    FontGrid->addWidget(UnderlineCheck, 2, 0);
    FontGrid->addWidget(StrikeOutCheck, 2, 1);

    auto* LookBox = new QGroupBox(QStringLiteral("Поворот и размер"), this);
    auto* LookGrid = new QGridLayout(LookBox);
    LookGrid->addWidget(new QLabel(QStringLiteral("Угол:"), LookBox), 0, 0);
    LookGrid->addWidget(AngleTrackBar, 0, 1);
    LookGrid->addWidget(AngleLabel, 0, 2);
    LookGrid->addWidget(new QLabel(QStringLiteral("Размер:"), LookBox), 1, 0);
    LookGrid->addWidget(FontSizeTrackBar, 1, 1);
    LookGrid->addWidget(SizeLabel, 1, 2);
    LookGrid->setColumnStretch(1, 1);

    auto* Buttons = new QDialogButtonBox(this);
    OkButton = Buttons->addButton(QStringLiteral("Применить"), QDialogButtonBox::AcceptRole);
    CancelButton = Buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    OkButton->setDefault(true);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* TextRow = new QHBoxLayout;
    TextRow->addWidget(TextLabel);
    TextRow->addWidget(TextEdit, 1);
    auto* BoxRow = new QHBoxLayout;
    BoxRow->addWidget(FontBox);
    BoxRow->addWidget(LookBox, 1);
    auto* Main = new QVBoxLayout(this);
    Main->addLayout(TextRow);
    Main->addLayout(BoxRow);
    Main->addWidget(Buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(TextEdit, &QLineEdit::textChanged, this, &TZemFontDialogForm::Changed);
    connect(FontCombo, &QComboBox::currentIndexChanged, this, &TZemFontDialogForm::Changed);
    connect(AngleTrackBar, &QSlider::valueChanged, this, &TZemFontDialogForm::Changed);
    connect(FontSizeTrackBar, &QSlider::valueChanged, this, &TZemFontDialogForm::Changed);
    const std::pair<QCheckBox*, std::uint8_t> Boxes[] = {{BoldCheck, kBold},
                                                         {ItalicCheck, kItalic},
                                                         {UnderlineCheck, kUnderline},
                                                         {StrikeOutCheck, kStrikeOut}};
    for (const auto& [Box, Bit] : Boxes)
        connect(Box, &QCheckBox::toggled, this, [this, Bit = Bit](bool On) { StyleToggled(Bit, On); });
    UpdateLabels();
}

void TZemFontDialogForm::Load(const TZemTextAnswer& Answer) {
    const QSignalBlocker B1(TextEdit), B2(FontCombo), B3(AngleTrackBar), B4(FontSizeTrackBar);
    TextEdit->setText(QString::fromStdString(Answer.Text));
    const int Font = FontCombo->findText(QString::fromStdString(Answer.FontName));
    FontCombo->setCurrentIndex(Font >= 0 ? Font : 0);
    AngleTrackBar->setValue(Answer.AngleTenths); // the track bars clamp what is out of range
    FontSizeTrackBar->setValue(Answer.Size);
    FLoadedStyle = Answer.Style;
    UpdateLabels();
}

TZemTextAnswer TZemFontDialogForm::Values() const {
    TZemTextAnswer A;
    A.Text = TextEdit->text().toStdString();
    A.FontName = FontCombo->currentText().toStdString();
    A.AngleTenths = AngleTrackBar->value();
    A.Size = FontSizeTrackBar->value();
    A.Style = FStyle;
    return A;
}

void TZemFontDialogForm::showEvent(QShowEvent* Event) {
    // The style boxes show the loaded style (plain unless one was loaded), and typing replaces what
    // the dialog showed last time.
    const std::pair<QCheckBox*, std::uint8_t> Boxes[] = {
        {BoldCheck, 1}, {ItalicCheck, 2}, {UnderlineCheck, 4}, {StrikeOutCheck, 8}};
    for (const auto& [Box, Bit] : Boxes) {
        const QSignalBlocker Block(Box);
        Box->setChecked((FLoadedStyle & Bit) != 0);
    }
    FStyle = FLoadedStyle;
    TextEdit->selectAll();
    TextEdit->setFocus();
    UpdateLabels();
    QDialog::showEvent(Event);
}

void TZemFontDialogForm::UpdateLabels() {
    AngleLabel->setText(QString::number(AngleTrackBar->value() / 10) + QStringLiteral("°"));
    SizeLabel->setText(QString::number(FontSizeTrackBar->value()));
}

void TZemFontDialogForm::StyleToggled(std::uint8_t Bit, bool On) {
    FStyle = static_cast<std::uint8_t>(On ? (FStyle | Bit) : (FStyle & ~Bit));
    Changed();
}

void TZemFontDialogForm::Changed() {
    UpdateLabels();
    if (OnChange)
        OnChange(Values());
}

bool TZemFontDialogForm::Ask(QWidget* Parent, TZemTextAnswer& Answer,
                             const std::function<void(const TZemTextAnswer&)>& OnChange, const QRect& Keep) {
    TZemFontDialogForm Dialog(Parent);
    Dialog.Load(Answer);
    Dialog.OnChange = OnChange;
    if (Keep.isValid())
        Dialog.PlaceBeside(Keep);
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    Answer = Dialog.Values();
    return true;
}

void TZemFontDialogForm::PlaceBeside(const QRect& Keep) {
    adjustSize();
    const QScreen* Screen = parentWidget() ? parentWidget()->screen() : screen();
    if (!Screen)
        return;
    const QRect Avail = Screen->availableGeometry();
    const int Gap = 16;
    const int X = std::clamp(Keep.center().x() - width() / 2, Avail.left(),
                             std::max(Avail.left(), Avail.right() - width()));
    // Below the text if it fits there, else above it; otherwise the usual centred place.
    if (Keep.bottom() + Gap + height() <= Avail.bottom())
        move(X, Keep.bottom() + Gap);
    else if (Keep.top() - Gap - height() >= Avail.top())
        move(X, Keep.top() - Gap - height());
}

} // namespace zem
