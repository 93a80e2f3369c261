// The inspector's refresh and the handlers of its controls. Each handler changes the current object in
// one undo step; loading the controls from an object writes nothing back, so that merely selecting an
// object never changes the document.
#include "model/ZemMap.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemFillStyleCombo.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemObjectPageLimits.h"
#include "ui/ZemTransportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <cmath>
#include <numbers>

namespace zem {

namespace {

constexpr float kTenthsPerRadian = 1800.0f / std::numbers::pi_v<float>;

// The slider position of an angle: tenths of a degree, within one turn.
int AngleTenths(float Angle) {
    const long Tenths = std::lround(static_cast<double>(Angle) * kTenthsPerRadian);
    return static_cast<int>(((Tenths % 3600) + 3600) % 3600);
}

} // namespace

bool TZemObjectPage::HasObject() const {
    return FMap.Edit.CurrentObject != -1 && FMap.ObjectExists(FMap.Edit.CurrentObject);
}

void TZemObjectPage::SetPageEnabled(bool Value) {
    // The preset colours of new objects stay usable without a current object.
    for (QGroupBox* Box : {FGeneral, FLine, FBrush, FText})
        Box->setEnabled(Value);
}

void TZemObjectPage::Refresh() {
    if (!HasObject()) {
        EndDrag();
        SetPageEnabled(false);
        return;
    }
    SetPageEnabled(true);
    const TZemObject& O = FMap.ObjectByID(FMap.Edit.CurrentObject);
    if (FIDObj->text() != QString::number(O.ID))
        Load(O);
}

void TZemObjectPage::Reload() {
    // A change made by one of the page's own controls: they already show what it wrote.
    if (FApplying)
        return;
    FNewPenColor->SetColor(ZemColorToQt(FMap.Edit.NewPenColor));
    FNewBrushColor->SetColor(ZemColorToQt(FMap.Edit.NewBrushColor));
    if (!HasObject()) {
        FIDObj->clear(); // the object may come back under the same ID: load it then
        Refresh();
        return;
    }
    SetPageEnabled(true);
    Load(FMap.ObjectByID(FMap.Edit.CurrentObject));
}

void TZemObjectPage::Load(const TZemObject& O) {
    FLoading = true;
    FIDObj->setText(QString::number(O.ID));
    FLockObj->setChecked(O.Lock);
    FPenWidth->setValue(O.Pen.Width);
    FPenWidthTrackBar->setValue(O.Pen.Width);
    FPenColor->SetColor(ZemColorToQt(O.Pen.Color));
    FBrushColor->SetColor(ZemColorToQt(O.Brush.Color));
    FLineStyle->setCurrentIndex(O.Pen.Style < kLineStyleCount ? O.Pen.Style : -1);
    FFillStyle->SetFillStyle(O.Brush.Style);
    FCtl3DObj->setChecked(O.Ctl3D());
    FBlinkObj->setChecked(O.Blink());
    FFontSize->setValue(O.Font.Size);
    FTextEdit->setText(QString::fromStdString(ToUtf8(O.Text())));
    const int Tenths = AngleTenths(O.Angle());
    FAngleTrackBar->setValue(Tenths);
    FDegrees->setValue(Tenths / 10);
    FShownAngle = static_cast<float>(Tenths) / kTenthsPerRadian;
    FHeight3DTrackBar->setValue(static_cast<int>(std::lround(O.Height3D())));
    // Junctions and segments keep their fixed planes.
    FPlaneTrackBar->setEnabled(!HasFixedPlane(O.Kind));
    FPlaneTrackBar->setValue(O.Plane());
    FPlaneLabel->setText(QString::number(O.Plane()));
    FLoading = false;
}

void TZemObjectPage::Change(const std::function<void(TZemObject&)>& Edit, const char* Field) {
    Apply([&] {
        FMap.ChangeObject(FMap.Edit.CurrentObject, Edit, Field ? std::string(Field) : std::string());
    });
}

void TZemObjectPage::Apply(const std::function<void()>& Command) {
    if (FLoading || !HasObject())
        return;
    Run(Command);
}

void TZemObjectPage::Run(const std::function<void()>& Command) {
    const bool Saved = FApplying;
    FApplying = true;
    try {
        Command();
    } catch (const std::exception& E) {
        ShowErrorBox(this, QString::fromUtf8(E.what()));
    }
    FApplying = Saved;
}

void TZemObjectPage::BeginDrag() {
    if (FDragging || !HasObject())
        return;
    FDragging = true;
    FMap.BeginChange();
}

void TZemObjectPage::EndDrag() {
    if (!FDragging)
        return;
    FDragging = false;
    FMap.EndChange();
}

void TZemObjectPage::PlaneChanged(int Value) {
    Apply([this, Value] {
        if (FMap.SetObjectPlane(FMap.Edit.CurrentObject, static_cast<std::int8_t>(Value)))
            FPlaneLabel->setText(QString::number(Value));
    });
}

void TZemObjectPage::ResetPlane() {
    FPlaneTrackBar->setValue(0);
}

void TZemObjectPage::Height3DChanged(int Value) {
    Change([Value](TZemObject& O) { O.SetHeight3D(static_cast<float>(Value)); }, "Height3D");
}

void TZemObjectPage::LockClicked() {
    Apply([this] { FLockObj->setChecked(FMap.ToggleLock(FMap.Edit.CurrentObject)); });
}

void TZemObjectPage::Ctl3DClicked() {
    if (!HasObject())
        return;
    const float Height = static_cast<float>(FHeight3DTrackBar->value());
    Apply([&] {
        TZemChange Step(FMap, "3D-объект");
        if (FPseudo3DAngle)
            FMap.SetPseudo3DAngle(static_cast<float>(FPseudo3DAngle()) * std::numbers::pi_v<float> / 180.0f);
        FMap.ChangeObject(FMap.Edit.CurrentObject, [Height](TZemObject& O) {
            O.SetCtl3D(!O.Ctl3D());
            O.SetHeight3D(Height);
        });
    });
    if (HasObject())
        FCtl3DObj->setChecked(FMap.ObjectByID(FMap.Edit.CurrentObject).Ctl3D());
}

void TZemObjectPage::BlinkClicked() {
    Change([](TZemObject& O) { O.SetBlink(!O.Blink()); });
    if (HasObject())
        FBlinkObj->setChecked(FMap.ObjectByID(FMap.Edit.CurrentObject).Blink());
}

void TZemObjectPage::PenColorClicked() {
    if (!HasObject())
        return;
    QColor C;
    if (!FAskColor(ZemColorToQt(FMap.ObjectByID(FMap.Edit.CurrentObject).Pen.Color), C) || !HasObject())
        return;
    FPenColor->SetColor(C);
    const int Width = FPenWidth->value();
    Change([&](TZemObject& O) {
        O.Pen.Width = Width;
        O.Pen.Color = QtColorToZem(C);
    });
}

void TZemObjectPage::PenWidthChanged(int Value) {
    if (FLoading)
        return;
    // The up-down and the track bar follow each other.
    {
        const QSignalBlocker A(FPenWidth), B(FPenWidthTrackBar);
        FPenWidth->setValue(Value);
        FPenWidthTrackBar->setValue(Value);
    }
    Change([Value](TZemObject& O) { O.Pen.Width = Value; }, "PenWidth");
}

void TZemObjectPage::PenFlagsChanged(int Index) {
    Change([Index](TZemObject& O) { O.Pen.Flags = Index; });
}

void TZemObjectPage::PenStyleChanged(int Index) {
    Change([Index](TZemObject& O) { O.Pen.Style = static_cast<std::uint8_t>(Index); });
}

void TZemObjectPage::BrushColorClicked() {
    if (!HasObject())
        return;
    QColor C;
    if (!FAskColor(ZemColorToQt(FMap.ObjectByID(FMap.Edit.CurrentObject).Brush.Color), C) || !HasObject())
        return;
    FBrushColor->SetColor(C);
    Change([&](TZemObject& O) { O.Brush.Color = QtColorToZem(C); });
}

void TZemObjectPage::FillStyleChanged() {
    const std::uint8_t Style = FFillStyle->FillStyle();
    Change([Style](TZemObject& O) { O.Brush.Style = Style; });
}

void TZemObjectPage::FontNameChanged(int Index) {
    const ZemString Name = FromUtf8(FFontName->itemText(Index).toStdString());
    Change([&](TZemObject& O) { O.Font.Name = Name; });
}

void TZemObjectPage::FontSizeChanged(int Value) {
    // The new size, not the one before the click: the object shows what the box shows.
    Change([Value](TZemObject& O) { O.Font.Size = Value; }, "FontSize");
}

void TZemObjectPage::TextEdited(const QString& Value) {
    const ZemString Text = FromUtf8(Value.toStdString());
    Change([&](TZemObject& O) { O.SetText(Text); }, "Text");
}

void TZemObjectPage::AngleChanged(int Tenths) {
    if (FLoading)
        return;
    {
        const QSignalBlocker Quiet(FDegrees);
        FDegrees->setValue(Tenths / 10);
    }
    if (!HasObject())
        return;
    const float Target = static_cast<float>(Tenths) / kTenthsPerRadian;
    const float Shown = FShownAngle;
    const int Size = FFontSize->value();
    FShownAngle = Target;
    Change(
        [&](TZemObject& O) {
            O.Font.Size = Size;
            O.TurnTo(Target, Shown);
        },
        "Angle");
}

void TZemObjectPage::DegreesChanged(int Degrees) {
    FAngleTrackBar->setValue(Degrees * 10);
}

void TZemObjectPage::FontStyleClicked() {
    const bool Bold = FBold->isChecked(), Italic = FItalic->isChecked(), Underline = FUnderline->isChecked();
    Change([=](TZemObject& O) {
        auto SetBit = [&O](bool On, std::uint8_t Bit) {
            O.Font.Style = On ? (O.Font.Style | Bit) : (O.Font.Style & ~Bit);
        };
        SetBit(Bold, fsBold);
        SetBit(Italic, fsItalic);
        SetBit(Underline, fsUnderline);
    });
}

void TZemObjectPage::NewPenColorClicked() {
    QColor C;
    if (!FAskColor(ZemColorToQt(FMap.Edit.NewPenColor), C))
        return;
    FMap.Edit.NewPenColor = QtColorToZem(C);
    FNewPenColor->SetColor(C);
}

void TZemObjectPage::NewBrushColorClicked() {
    QColor C;
    if (!FAskColor(ZemColorToQt(FMap.Edit.NewBrushColor), C))
        return;
    FMap.Edit.NewBrushColor = QtColorToZem(C);
    FNewBrushColor->SetColor(C);
}

void TZemObjectPage::TransportClicked() {
    bool Changed = false;
    Run([&] { Changed = TfrmTransport::Edit(FMap, this); });
    if (Changed)
        Reload();
}

void TZemObjectPage::CopyStyle() {
    // Without a current object there is nothing to paste any more.
    FStyleSource = HasObject() ? FMap.Edit.CurrentObject : -1;
}

void TZemObjectPage::PasteStyle() {
    if (FStyleSource == -1)
        return;
    // The page shows the result once, after the command: the controls do not hold what it changed.
    bool Pasted = false;
    Apply([&] { Pasted = FMap.PasteStyle(FStyleSource, FMap.Edit.CurrentObject); });
    if (Pasted)
        Reload();
}

} // namespace zem
