#pragma once
// The options window "Опции": the map's editor, mini-map and file settings. Every control writes its
// value into the map at once; there is no apply step.
#include "model/ZemObject.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace zem {

class TZemColorSwatch;
class TZemMap;

// Asks the user for a colour starting from Initial; nothing when cancelled.
using TZemAskColor = std::function<std::optional<TColor>(TColor Initial, const QString& Title)>;

class TfrmOptions : public QDialog {
    Q_OBJECT

public:
    TfrmOptions(TZemMap& Map, QWidget* Parent);

    // The colour dialog; tests put their own answer here.
    TZemAskColor AskColor;
    // "Ok" on the "Подложка" page with a valid scale in percent: the main window rescales its
    // background image.
    std::function<void(float Percent)> OnBackgroundScale;
    // "Показывать транспортную сеть" clicked: the main window switches the network's display as its
    // menu item does. The box shows the map's state at every opening and after every change.
    std::function<void(bool Show)> OnShowTransportNet;
    void ShowTransportNetState();
    // The last background-image scale accepted, in percent.
    float BackgroundScale() const { return FBackgroundScale; }
    // The scale the "Подложка" field holds now, as the main window needs it when it loads an image;
    // when the field holds no valid scale the user is told so and nothing is returned.
    std::optional<float> ReadBackgroundScale();

    QTabWidget* PageControl;
    // "  Редактор  "
    QCheckBox* ShowGrid;
    QSpinBox* XStep;
    QSpinBox* Edit1; // grid step in Y
    TZemColorSwatch* CColorPen;
    TZemColorSwatch* Shape1; // background of the editor
    QSpinBox* Edit2;         // MinScaleAddress
    QSlider* Pseudo3DAngleTrackBar;
    QLabel* Pseudo3DAngleLabel;
    QSpinBox* Edit3;  // MinObjectView
    QSpinBox* Edit6;  // MinIconView
    QLineEdit* Edit4; // unit of measure
    QLineEdit* Edit5; // measure scale, taken on "ok"
    QPushButton* MeasureScaleOk;
    // "  Мини-карта  "
    TZemColorSwatch* Shape2; // frame of the main view
    TZemColorSwatch* Shape4; // outline of the document area
    QCheckBox* ShowDashLineCheck;
    // "Подложка"
    QLineEdit* CreateDIBScaleEdit;
    QPushButton* CreateDIBScaleOk;
    // "Разное"
    QComboBox* CompressMethod;
    // "Транспортная сеть"
    QCheckBox* ShowTransportNetCheck;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* EditorPage();
    QWidget* MiniMapPage();
    QWidget* BackgroundPage();
    QWidget* MiscPage();
    QWidget* TransportPage();

    // Shows what the map holds now, without writing anything back.
    void Reload();
    // One undoable step that changes the document's settings.
    void WriteSettings(const std::function<void()>& Change);
    // The colour dialog for a swatch, starting from Initial; Apply runs with the colour chosen.
    void PickColor(TZemColorSwatch* Swatch, TColor Initial, const QString& Title,
                   const std::function<void(TColor)>& Apply);
    // The mini-map's colours and cross, then its picture drawn anew; nothing without a mini-map.
    void WriteMiniMap(const std::function<void()>& Change);
    // The edit's text as a number in (0, Max]; otherwise the user is told why and nothing is returned.
    std::optional<float> ReadPositive(const QLineEdit* Edit, float Max);
    void ApplyMeasureScale();
    void ApplyBackgroundScale();
    void Error(const QString& Text);

    TZemMap& FMap;
    float FBackgroundScale = 100.0f;
};

} // namespace zem
