#pragma once
// The text dialog "Текст" that completes a new text object: the text, its font, angle, size and style.
// The map asks for it through its host; every edit is reported at once so that the map can draw the
// text under construction while the user types.
#include "platform/ZemHost.h"

#include <QDialog>
#include <QRect>

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace zem {

class TZemFontDialogForm : public QDialog {
    Q_OBJECT

public:
    explicit TZemFontDialogForm(QWidget* Parent = nullptr);

    // Runs the dialog modally, starting from Answer's text, font, angle and size; on "Применить" Answer
    // takes what the dialog shows and the result is true. OnChange (may be empty) sees every edit.
    // Keep, when valid, is the screen rectangle of the text being placed: the dialog opens beside it
    // rather than over it, so that the live preview stays in sight.
    static bool Ask(QWidget* Parent, TZemTextAnswer& Answer,
                    const std::function<void(const TZemTextAnswer&)>& OnChange, const QRect& Keep = QRect());

    // Shows these values without reporting a change; the style boxes take Answer's style when shown.
    void Load(const TZemTextAnswer& Answer);
    // What the controls hold now.
    TZemTextAnswer Values() const;

    std::function<void(const TZemTextAnswer&)> OnChange;

    QComboBox* FontCombo;
    QSlider* AngleTrackBar; // tenths of a degree
    QLineEdit* TextEdit;
    QSlider* FontSizeTrackBar;
    QCheckBox* BoldCheck;
    QCheckBox* ItalicCheck;
    QCheckBox* UnderlineCheck;
    QCheckBox* StrikeOutCheck;
    QLabel* AngleLabel;
    QLabel* SizeLabel;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void PlaceBeside(const QRect& Keep);
    void UpdateLabels();
    void Changed();
    void StyleToggled(std::uint8_t Bit, bool On);

    std::uint8_t FStyle = 0;       // bold 1, italic 2, underline 4, strike-out 8
    std::uint8_t FLoadedStyle = 0; // what the boxes show when the dialog is shown
};

} // namespace zem
