#pragma once
// The File menu's printing entries: the preview, "Параметры печати" (the page setup) and the export of
// the view to PDF. The printer the user set up, and the PDF dialog's last choices, live for the session
// in a TZemPrintSetup that the main window owns as a child.
#include "ui/ZemPrintMap.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <memory>

class QButtonGroup;
class QComboBox;
class QPrinter;
class QWidget;

namespace zem {

class TZemMap;

class TZemPrintSetup : public QObject {
    Q_OBJECT
public:
    explicit TZemPrintSetup(QObject* Parent);
    ~TZemPrintSetup() override;
    // The window's setup, made on first use.
    static TZemPrintSetup& Of(QWidget* Window);

    QPrinter& Printer() { return *FPrinter; }
    TZemPdfOptions Pdf; // the export dialog's last choices (paper, orientation, fit)
    QString PdfFolder;  // where the last PDF went

private:
    std::unique_ptr<QPrinter> FPrinter;
};

// The choices of "Экспорт в PDF": paper, orientation, and how the map is put on the page.
class TfrmPdfExport : public QDialog {
    Q_OBJECT
public:
    TfrmPdfExport(const TZemPdfOptions& Options, QWidget* Parent);
    TZemPdfOptions Options() const;

    QComboBox* PaperBox() const { return FPaper; }
    QButtonGroup* OrientationGroup() const { return FOrientation; }
    QButtonGroup* ModeGroup() const { return FMode; }

private:
    TZemPdfOptions FBase;
    QComboBox* FPaper = nullptr;
    QButtonGroup* FOrientation = nullptr;
    QButtonGroup* FMode = nullptr;
};

// DocumentFile is the open map's file (empty for a new map); it names the job and the PDF.
void CommandPrintPreview(TZemMap& Map, const QString& DocumentFile, QWidget* Window);
void CommandPrintSettings(QWidget* Window);
// The export dialog, then the file dialog, then the file; false when the user cancelled.
bool CommandExportPdf(TZemMap& Map, const QString& DocumentFile, QWidget* Window);

} // namespace zem
