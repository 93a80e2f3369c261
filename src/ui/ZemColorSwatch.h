#pragma once
// A clickable colour swatch for the right-hand pages, and the colour question behind it. The question is
// a function so that tests answer it without a modal dialog.
#include <QAbstractButton>
#include <QColor>

#include <functional>

namespace zem {

// Asks for a colour starting from Initial; false when the user cancelled.
using TZemColorAsker = std::function<bool(const QColor& Initial, QColor& Chosen)>;

// The standard colour dialog, parented to Parent.
TZemColorAsker ZemColorDialogAsker(QWidget* Parent);

class TZemColorSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit TZemColorSwatch(QWidget* Parent);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& Value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QColor FColor = Qt::white;
};

} // namespace zem
