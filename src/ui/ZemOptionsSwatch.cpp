#include "ui/ZemOptionsSwatch.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zem {

namespace {
constexpr int kInset = 5;
} // namespace

QColor ToQColor(TColor Value) {
    return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

TColor FromQColor(const QColor& Value) {
    return RGBColor(Value.red(), Value.green(), Value.blue());
}

TZemOptionsSwatch::TZemOptionsSwatch(TColor Color, QWidget* Parent) : QPushButton(Parent), FColor(Color) {
    setCursor(Qt::PointingHandCursor);
}

void TZemOptionsSwatch::SetColor(TColor Value) {
    FColor = Value;
    update();
}

QSize TZemOptionsSwatch::sizeHint() const {
    return QSize(56, QPushButton::sizeHint().height());
}

void TZemOptionsSwatch::paintEvent(QPaintEvent*) {
    QStylePainter P(this);
    QStyleOptionButton Option;
    initStyleOption(&Option);
    P.drawControl(QStyle::CE_PushButtonBevel, Option);
    const QRect Inner = rect().adjusted(kInset, kInset, -kInset - 1, -kInset - 1);
    P.setPen(palette().color(QPalette::Dark));
    P.setBrush(ToQColor(FColor));
    P.drawRect(Inner);
}

} // namespace zem
