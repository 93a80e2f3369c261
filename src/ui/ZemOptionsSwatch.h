#pragma once
// A colour swatch of the options window: a button showing a colour, pressed to choose another.
#include "model/ZemObject.h"

#include <QColor>
#include <QPushButton>

namespace zem {

// Platform colour values 0x00BBGGRR to and from Qt's colours.
QColor ToQColor(TColor Value);
TColor FromQColor(const QColor& Value);

class TZemOptionsSwatch : public QPushButton {
    Q_OBJECT

public:
    TZemOptionsSwatch(TColor Color, QWidget* Parent);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TColor FColor;
};

} // namespace zem
