#pragma once
// The map on paper: the print preview of the main window's print command, the sharp rendering that
// printing and PDF files get, the PDF export and the `--print-pdf` command line.
#include "view/ZemPageCompose.h"
#include "view/ZemPageLayout.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;
class QRectF;
class QWidget;

namespace zem {

class TZemMap;
class TZemPagePreview;

// The margins of the map's page, in page pixels: the preview window's.
struct TZemPageMargins {
    int Left = 1, Top = 1, Right = 10, Bottom = 10;
};

// Records the map's page into the preview (which is cleared first): from the view's top-left corner at
// the view's scale, one screen pixel per page pixel, inside the margins. The view is as before after.
void ComposeMapPreview(TZemMap& Map, TZemPagePreview& Preview);

// Draws the page the preview composes from View over Target (device pixels of a device of Dpi dots per
// inch), with the map rendered at the output's resolution (300 to 600 dots per inch).
void PaintMapPage(QPainter& P, TZemMap& Map, const TZemPageView& View, TZemPageSize Page,
                  const TZemPageMargins& Margins, const QRectF& Target);

// The print command: the preview window "Предпросмотр" over the map's page, modal, until it is closed.
// Printer is the one the user set up (its paper and orientation give the page); Title names the job.
void PrintPreview(TZemMap& Map, QPrinter& Printer, const QString& Title, QWidget* Parent);

// The paper of a printer; the system's default printer when it is null.
QPageSize PrinterPaper(const QPrinter* Printer);

struct TZemPdfOptions {
    QPageSize Paper{QPageSize::A4};
    TZemPageOrientation Orientation = TZemPageOrientation::poPortrait;
    // false: the page as the print command composes it; true: the view scaled to fit the page.
    bool Fit = false;
    QString Title;
};

// Writes a one-page PDF of the map from View; the file is replaced only when it was written whole.
// Raises EZemError with a message that names the file.
void WriteMapPdf(TZemMap& Map, const TZemPageView& View, const QString& FileName,
                 const TZemPdfOptions& Options);

// `zemmap --print-pdf OUT.pdf [--fit] FILE.mp`, the arguments after the program's name. Exit code: 0 written,
// 1 failed (message on standard error), 2 wrong usage.
int PrintPdfCommand(const QStringList& Args);

} // namespace zem
