#pragma once
// TZemPagePreview: a page viewer. It holds pages of one size as recorded vector pictures, lays them out
// on a grey desk (TZemPageLayout does the arithmetic), zooms and pans them with the pointer, and sends
// them to a printer.
#include "view/ZemPageLayout.h"

#include <QAbstractScrollArea>
#include <QPicture>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace zem {

class TZemPagePreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TZemPagePreview(QWidget* Parent = nullptr);
    ~TZemPagePreview() override;

    // ---- Pages ----
    void Clear();
    // Appends a page and returns a painter that records into it, in page pixels, until EndPage.
    QPainter* NewPage();
    void EndPage();
    int PageCount() const { return static_cast<int>(FPages.size()); }
    const QPicture& Page(int Index) const { return *FPages.at(static_cast<std::size_t>(Index)); }
    int CurrentPage() const { return FLayout.CurrentPage(); }

    // ---- Zoom ----
    // Ignored unless strictly between 0.1 and 5 and different from the zoom now.
    void SetZoom(double Z);
    double Zoom() const { return FLayout.Zoom(); }
    void ZoomActualSize() { ZoomCommand(TZemZoomMode::zmActualSize); }
    void ZoomFitWidth() { ZoomCommand(TZemZoomMode::zmFitWidth); }
    void ZoomWholePage() { ZoomCommand(TZemZoomMode::zmWholePage); }
    void ZoomTwoPages() { ZoomCommand(TZemZoomMode::zmTwoPages); }
    void ZoomFourPages() { ZoomCommand(TZemZoomMode::zmFourPages); }
    const TZemPageLayout& Layout() const { return FLayout; }

    // ---- Pointer ----
    void SetMouseMode(TZemPreviewMouse Mode);
    TZemPreviewMouse MouseMode() const { return FMouseMode; }

    // ---- Printer ----
    // The printer whose page the pages take (not owned); without one, the system's default printer.
    void SetPrinter(QPrinter* Printer) { FPrinter = Printer; }
    // The page size from the printer's resolution and paper, swapped for landscape.
    void SetPageOrientation(TZemPageOrientation Orientation);
    TZemPageOrientation PageOrientation() const { return FOrientation; }
    TZemPageSize PageSize() const { return FLayout.PageSize(); }
    // Sends every page to the printer, each scaled evenly to its paper, under the job title Title.
    // Nothing happens without pages; a printer that cannot start raises EZemError.
    void Print(QPrinter& Printer);

    QString Title = QStringLiteral("Печарь ...");
    int MarginLeft = 96;
    int MarginTop = 96;
    int MarginRight = 96;
    int MarginBottom = 96;
    // The current page, the mouse mode or the zoom changed.
    std::function<void(TZemPagePreview&)> OnChange;
    // Draws page Index for the printer over Target (device pixels of a Dpi-dots-per-inch device), when a
    // page can be drawn better than by stretching its recording (a finer rendering of the same content).
    std::function<void(QPainter&, int Index, const QRectF& Target, double Dpi)> OnPrintPage;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    void ZoomCommand(TZemZoomMode Mode);
    void Relaid();
    void FireChange();
    void SyncClient();
    void ApplyCursor(bool Dragging);
    QPrinter& Printer();

    TZemPageLayout FLayout;
    std::vector<std::unique_ptr<QPicture>> FPages;
    std::unique_ptr<QPainter> FRecorder;
    TZemPreviewMouse FMouseMode = TZemPreviewMouse::pmNone;
    TZemPageOrientation FOrientation = TZemPageOrientation::poPortrait;
    QPrinter* FPrinter = nullptr;
    std::unique_ptr<QPrinter> FOwnPrinter;
    bool FDragging = false;
    QPoint FDragStart;
    std::int64_t FDragScrollX = 0, FDragScrollY = 0;
    bool FSyncing = false; // the scroll bars are being set from the layout
};

} // namespace zem
