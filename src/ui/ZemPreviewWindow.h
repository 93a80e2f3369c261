#pragma once
// TfrmZemPreview: the window "Предпросмотр" around a page preview: the zoom list, print, the pointer's
// three modes, the page's orientation and "Закрыть" above; the page and the magnification below.
#include "view/ZemPageLayout.h"

#include <QDialog>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;

namespace zem {

class TZemPagePreview;

class TfrmZemPreview : public QDialog {
    Q_OBJECT
public:
    // Printer is the one the print button offers in the system's print dialog; it outlives the window.
    explicit TfrmZemPreview(QPrinter& Printer, QWidget* Parent = nullptr);

    TZemPagePreview* Preview() const { return FPreview; }
    QComboBox* ScaleCombo() const { return FScaleCombo; }
    QLabel* StatusPanel(int Index) const { return FPanels[Index]; }
    QPushButton* CloseButton() const { return FClose; }
    // "actPrint", "actHand", "actZoomIn", "actZoomOut", "actPortrait", "actLandscape".
    QAction* Action(const char* Name) const;

    // The page's orientation, as the buttons choose it; OnOrientation composes the page anew.
    void SetOrientation(TZemPageOrientation Orientation);
    std::function<void(TZemPageOrientation)> OnOrientation;
    // "Page n of m" and "Magnification z%".
    void RefreshStatus();
    // The print button: the system's print dialog, then the pages to the chosen printer.
    void PrintPages();

private:
    void OnScaleChosen(int Index);
    void TurnPage(TZemPageOrientation Orientation);

    QPrinter& FPrinter;
    TZemPagePreview* FPreview = nullptr;
    QComboBox* FScaleCombo = nullptr;
    QLabel* FPanels[2] = {};
    QPushButton* FClose = nullptr;
};

} // namespace zem
