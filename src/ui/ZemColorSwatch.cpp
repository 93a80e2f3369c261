#include "ui/ZemColorSwatch.h"

#include <QColorDialog>
#include <QPainter>
#include <QPointer>

namespace zem {

namespace {
constexpr int kSwatchWidth = 42;
constexpr int kSwatchHeight = 21;
} // namespace

TZemColorAsker ZemColorDialogAsker(QWidget* Parent) {
    QPointer<QWidget> Owner(Parent);
    return [Owner](const QColor& Initial, QColor& Chosen) {
        const QColor C = QColorDialog::getColor(Initial, Owner.data(), QStringLiteral("Цвет"));
        if (!C.isValid())
            return false;
        Chosen = C;
        return true;
    };
}

TZemColorSwatch::TZemColorSwatch(QWidget* Parent) : QAbstractButton(Parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TZemColorSwatch::SetColor(const QColor& Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    update();
}

QSize TZemColorSwatch::sizeHint() const {
    return {kSwatchWidth, kSwatchHeight};
}

void TZemColorSwatch::paintEvent(QPaintEvent*) {
    QPainter P(this);
    const QRect R = rect().adjusted(0, 0, -1, -1);
    // A light inner rim keeps dark colours readable against the dark outer frame.
    const QPalette::ColorRole Rim = hasFocus() ? QPalette::Highlight : QPalette::Shadow;
    P.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, Rim));
    P.setBrush(Qt::NoBrush);
    P.drawRect(R);
    P.setPen(QColor(255, 255, 255));
    P.drawRect(R.adjusted(1, 1, -1, -1));
    P.fillRect(R.adjusted(2, 2, -1, -1), isEnabled() ? FColor : FColor.lighter(130));
}

} // namespace zem
