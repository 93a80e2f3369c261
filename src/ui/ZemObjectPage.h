#pragma once
// TZemObjectPage: the page "Инспектор объектов". It shows the style and flags of the map's current object
// and writes every change straight back into it, each change one undo step through TZemMap::ChangeObject.
#include "ui/ZemColorSwatch.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QToolButton;

namespace zem {

class TFillStyleComboBox;
class TZemMap;
class TZemObject;

class TZemObjectPage : public QWidget {
    Q_OBJECT
public:
    TZemObjectPage(TZemMap& Map, QWidget* Parent);
    ~TZemObjectPage() override;

    // After a press on the map: disables the page without a current object; loads the controls only
    // when the current object is not the one already shown.
    void Refresh();
    // Loads the controls even for the object already shown (after undo, redo or a load).
    void Reload();

    // The colour question of every swatch; the standard dialog unless a test gives its own.
    void SetColorAsker(TZemColorAsker Asker) { FAskColor = std::move(Asker); }
    // The options window's pseudo-3D angle in degrees, which switching 3D on applies to the map.
    void SetPseudo3DAngleSource(std::function<int()> Source) { FPseudo3DAngle = std::move(Source); }

public slots:
    // Shift+Ctrl+C: remembers the current object as the style's source.
    void CopyStyle();
    // Shift+Ctrl+V: pen, brush, font and address of the source into the current object.
    void PasteStyle();
    // The SelectObject tool button puts the plane back to 0.
    void ResetPlane();

    // Handlers of the controls, public so that tests and the window's actions can reach them.
    void PenColorClicked();
    void BrushColorClicked();
    void NewPenColorClicked();
    void NewBrushColorClicked();
    void TransportClicked();
    // "Рисунок…" and "Иконка…" run these items and are enabled with them.
    void SetLibraryActions(QAction* Picture, QAction* Icon);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* BuildGeneral();
    QWidget* BuildLine();
    QWidget* BuildBrush();
    QWidget* BuildText();
    QWidget* BuildPresets();
    void Connect();

    bool HasObject() const;
    void SetPageEnabled(bool Value);
    void Load(const TZemObject& O);
    // One change of the current object, as one undo step.
    // Field names a control whose consecutive changes of one object make one undo step (typing,
    // stepping by keyboard), until it loses the focus or another command runs.
    void Change(const std::function<void(TZemObject&)>& Edit, const char* Field = nullptr);
    // Runs a command of the page's own controls (Apply: only with a current object): the history's
    // notification does not reload the page meanwhile.
    void Apply(const std::function<void()>& Command);
    void Run(const std::function<void()>& Command);
    // Slider drags are one step from press to release.
    void BeginDrag();
    void EndDrag();

    void PlaneChanged(int Value);
    void Height3DChanged(int Value);
    void LockClicked();
    void Ctl3DClicked();
    void BlinkClicked();
    void PenWidthChanged(int Value);
    void PenFlagsChanged(int Index);
    void PenStyleChanged(int Index);
    void FillStyleChanged();
    void FontNameChanged(int Index);
    void FontSizeChanged(int Value);
    void TextEdited(const QString& Value);
    void AngleChanged(int Tenths);
    void DegreesChanged(int Degrees);
    void FontStyleClicked();

    TZemMap& FMap;
    TZemColorAsker FAskColor;
    std::function<int()> FPseudo3DAngle;
    std::int32_t FStyleSource = -1;
    float FShownAngle = 0.0f; // the angle slider's position, radians, as last loaded or moved
    bool FDragging = false;
    bool FLoading = false;  // controls are being loaded: their handlers write nothing back
    bool FApplying = false; // a control's change is going into the map

    QWidget* FBody = nullptr;
    QGroupBox* FGeneral = nullptr;
    QGroupBox* FLine = nullptr;
    QGroupBox* FBrush = nullptr;
    QGroupBox* FText = nullptr;
    QGroupBox* FPresets = nullptr;

    QLineEdit* FIDObj = nullptr;
    QSlider* FPlaneTrackBar = nullptr;
    QLabel* FPlaneLabel = nullptr;
    QSlider* FHeight3DTrackBar = nullptr;
    QToolButton* FLockObj = nullptr;
    QToolButton* FCtl3DObj = nullptr;
    QToolButton* FBlinkObj = nullptr;
    QToolButton* FAddressButton = nullptr;
    QToolButton* FOrganisationsButton = nullptr;
    QToolButton* FTransportButton = nullptr;
    QToolButton* FCopyStyleButton = nullptr;
    QToolButton* FPasteStyleButton = nullptr;
    QToolButton* FLoadPictureButton = nullptr;
    QToolButton* FLoadIconButton = nullptr;

    TZemColorSwatch* FPenColor = nullptr;
    QSpinBox* FPenWidth = nullptr;
    QSlider* FPenWidthTrackBar = nullptr;
    QComboBox* FFlagsCombo = nullptr;
    QComboBox* FLineStyle = nullptr;

    TZemColorSwatch* FBrushColor = nullptr;
    TFillStyleComboBox* FFillStyle = nullptr;

    QComboBox* FFontName = nullptr;
    QSpinBox* FFontSize = nullptr;
    QLineEdit* FTextEdit = nullptr;
    QSlider* FAngleTrackBar = nullptr;
    QSpinBox* FDegrees = nullptr;
    QCheckBox* FBold = nullptr;
    QCheckBox* FItalic = nullptr;
    QCheckBox* FUnderline = nullptr;

    TZemColorSwatch* FNewPenColor = nullptr;
    TZemColorSwatch* FNewBrushColor = nullptr;
};

} // namespace zem
