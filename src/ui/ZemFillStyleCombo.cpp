#include "ui/ZemFillStyleCombo.h"

#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace zem {

namespace {

constexpr int kItemCount = 8; // always one per style, whatever MaxFillStyle allows
const QColor kSwatchGrey(128, 128, 128);

Qt::BrushStyle QtBrushStyle(int Index) {
    switch (Index) {
    case bsSolid:
        return Qt::SolidPattern;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern;
    case bsBDiagonal:
        return Qt::BDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

// The popup's items: the swatch over the usual selection background, at the fixed item height.
class TFillStyleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* P, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        const bool Selected = Option.state & QStyle::State_Selected;
        const QColor Back = Option.palette.color(Selected ? QPalette::Highlight : QPalette::Base);
        P->save();
        TFillStyleComboBox::DrawItem(*P, Option.rect, Index.row(), Back);
        P->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        return {QStyledItemDelegate::sizeHint(Option, Index).width(), TFillStyleComboBox::kItemHeight};
    }
};

} // namespace

TFillStyleComboBox::TFillStyleComboBox(QWidget* Parent) : QComboBox(Parent) {
    setItemDelegate(new TFillStyleDelegate(this));
    setFixedHeight(kControlHeight);
    setMaxVisibleItems(kItemCount);
    RebuildItems();
    connect(this, qOverload<int>(&QComboBox::activated), this, &TFillStyleComboBox::Picked);
}

void TFillStyleComboBox::SetFillStyle(int Value) {
    if (Value < 0 || Value > FMaxFillStyle)
        return;
    FFillStyle = static_cast<TBrushStyle>(Value);
    const QSignalBlocker Quiet(this);
    setCurrentIndex(Value);
}

void TFillStyleComboBox::SetMaxFillStyle(TBrushStyle Value) {
    FMaxFillStyle = std::min(Value, bsDiagCross);
    RebuildItems();
    if (FFillStyle > FMaxFillStyle)
        FFillStyle = FMaxFillStyle;
    SetFillStyle(FFillStyle);
}

void TFillStyleComboBox::RebuildItems() {
    const QSignalBlocker Quiet(this);
    clear();
    for (int i = 0; i < kItemCount; ++i)
        addItem(QString());
    setCurrentIndex(FFillStyle);
}

void TFillStyleComboBox::Picked(int Index) {
    if (Index < 0 || Index > FMaxFillStyle) {
        // A style beyond the allowed range is not taken: the box goes back to the style in force.
        SetFillStyle(FFillStyle);
        return;
    }
    FFillStyle = static_cast<TBrushStyle>(Index);
    emit changed();
}

void TFillStyleComboBox::DrawItem(QPainter& P, const QRect& R, int Index, const QColor& Background) {
    P.fillRect(R, Background);
    // Rectangles are given as Windows gives them, right and bottom excluded.
    const int L = R.left() + 4, T = R.top() + 2, Rt = R.right() + 1 - 4, B = R.bottom() + 1 - 2;
    const QRect Frame(L, T, Rt - L - 1, B - T - 1);
    P.setPen(kSwatchGrey);
    P.setBrush(QColor(Qt::white)); // the control's own colour, under the hatch
    P.drawRect(Frame);
    const int Third = (R.height() - 4) / 3;
    if (Index == bsHorizontal || Index == bsCross) {
        // One solid bar reads better at this size than a hatch of two lines.
        const QRect Band(L, T + Third, Rt - L - 1, (R.top() + 2 * Third + 3) - (T + Third) - 1);
        P.drawRect(Band);
        if (Index == bsHorizontal)
            return;
        P.setBrush(QBrush(kSwatchGrey, Qt::VerPattern));
        P.drawRect(Frame);
        return;
    }
    P.setBrush(QBrush(kSwatchGrey, QtBrushStyle(Index)));
    P.drawRect(Frame);
}

void TFillStyleComboBox::paintEvent(QPaintEvent*) {
    QStylePainter P(this);
    QStyleOptionComboBox Opt;
    initStyleOption(&Opt);
    Opt.currentText.clear();
    P.drawComplexControl(QStyle::CC_ComboBox, Opt);
    const QRect Field =
        style()->subControlRect(QStyle::CC_ComboBox, &Opt, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        DrawItem(P, Field, currentIndex(),
                 Opt.palette.color(isEnabled() ? QPalette::Base : QPalette::Window));
}

} // namespace zem
