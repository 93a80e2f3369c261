#include "ui/ZemPagePreview.h"

#include "base/ZemErrors.h"
#include "model/ZemMap.h"
#include "ui/ZemCursors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

namespace zem {

namespace {

constexpr int kShadow = 4; // the page's shadow on the desk, in screen pixels

int Clamp32(std::int64_t V) {
    return static_cast<int>(std::clamp<std::int64_t>(V, INT32_MIN / 2, INT32_MAX / 2));
}

} // namespace

TZemPagePreview::TZemPagePreview(QWidget* Parent) : QAbstractScrollArea(Parent) {
    setObjectName(QStringLiteral("PagePreview"));
    resize(200, 200);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SyncClient();
}

TZemPagePreview::~TZemPagePreview() = default;

QPrinter& TZemPagePreview::Printer() {
    if (FPrinter)
        return *FPrinter;
    if (!FOwnPrinter)
        FOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FOwnPrinter;
}

void TZemPagePreview::Clear() {
    FRecorder.reset();
    FPages.clear();
    FLayout.SetCurrentPage(-1);
    FLayout.SetPageCount(0);
    Relaid();
}

QPainter* TZemPagePreview::NewPage() {
    EndPage();
    FPages.push_back(std::make_unique<QPicture>());
    FRecorder = std::make_unique<QPainter>(FPages.back().get());
    const TZemPageSize Size = FLayout.PageSize();
    // The recording's frame is the page, whatever it holds.
    FPages.back()->setBoundingRect(QRect(0, 0, Size.Width, Size.Height));
    FRecorder->setClipRect(QRect(0, 0, Size.Width, Size.Height));
    FLayout.SetPageCount(PageCount());
    Relaid();
    return FRecorder.get();
}

void TZemPagePreview::EndPage() {
    if (!FRecorder)
        return;
    FRecorder->end();
    FRecorder.reset();
    viewport()->update();
}

void TZemPagePreview::SetZoom(double Z) {
    if (!FLayout.SetZoom(Z))
        return;
    Relaid();
    FireChange();
}

void TZemPagePreview::ZoomCommand(TZemZoomMode Mode) {
    const double Before = FLayout.Zoom();
    FLayout.SetZoomMode(Mode);
    Relaid();
    if (FLayout.Zoom() != Before)
        FireChange();
}

void TZemPagePreview::SetMouseMode(TZemPreviewMouse Mode) {
    FMouseMode = Mode;
    // A zoom by clicks leaves whatever zoom command was chosen.
    if (Mode == TZemPreviewMouse::pmZoomIn || Mode == TZemPreviewMouse::pmZoomOut)
        FLayout.SetZoomMode(TZemZoomMode::zmFree);
    ApplyCursor(false);
    FireChange();
}

void TZemPagePreview::ApplyCursor(bool Dragging) {
    switch (FMouseMode) {
    case TZemPreviewMouse::pmNone:
        viewport()->unsetCursor();
        break;
    case TZemPreviewMouse::pmHand:
        viewport()->setCursor(ZemCursor(Dragging ? crHandClosed : crHand));
        break;
    case TZemPreviewMouse::pmZoomIn:
        viewport()->setCursor(ZemCursor(crZoomIn));
        break;
    case TZemPreviewMouse::pmZoomOut:
        viewport()->setCursor(ZemCursor(crZoomOut));
        break;
    }
}

void TZemPagePreview::SetPageOrientation(TZemPageOrientation Orientation) {
    QPrinter& P = Printer();
    double Dpi = 0, DotsW = 0, DotsH = 0;
    if (P.isValid()) {
        Dpi = P.resolution();
        // The paper as defined, portrait; the orientation is ours to apply.
        const QSizeF Points = P.pageLayout().pageSize().size(QPageSize::Point);
        DotsW = Points.width() / 72.0 * Dpi;
        DotsH = Points.height() / 72.0 * Dpi;
    }
    FOrientation = Orientation;
    FLayout.SetPageSize(PageSizeFromPrinter(Dpi, Dpi, DotsW, DotsH, Orientation));
    Relaid();
}

void TZemPagePreview::Print(QPrinter& Printer) {
    EndPage();
    if (FPages.empty())
        return;
    Printer.setDocName(Title);
    Printer.setFullPage(true);
    Printer.setPageOrientation(FOrientation == TZemPageOrientation::poLandscape ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait);
    QPainter P;
    if (!P.begin(&Printer))
        throw EZemError("Не удалось начать печать на принтере \"" + Printer.printerName().toStdString() +
                        "\".");
    const TZemPageSize Size = FLayout.PageSize();
    for (std::size_t i = 0; i < FPages.size(); ++i) {
        if (i > 0 && !Printer.newPage())
            throw EZemError("Принтер не принял новую страницу.");
        const QRectF Paper(QPointF(0, 0), Printer.paperRect(QPrinter::DevicePixel).size());
        if (OnPrintPage) {
            OnPrintPage(P, static_cast<int>(i), Paper, Printer.resolution());
            continue;
        }
        P.save();
        P.setRenderHint(QPainter::SmoothPixmapTransform);
        // One factor across and down: a page of other proportions than the paper keeps its shape.
        const double Factor = std::min(Paper.width() / Size.Width, Paper.height() / Size.Height);
        P.scale(Factor, Factor);
        P.drawPicture(0, 0, *FPages[i]);
        P.restore();
    }
    P.end();
}

void TZemPagePreview::FireChange() {
    if (OnChange)
        OnChange(*this);
}

void TZemPagePreview::SyncClient() {
    const QSize Full = maximumViewportSize();
    const int Bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    FLayout.SetClient(Full.width(), Full.height(), Bar, Bar);
}

void TZemPagePreview::Relaid() {
    FSyncing = true;
    QScrollBar* H = horizontalScrollBar();
    QScrollBar* V = verticalScrollBar();
    H->setRange(0, Clamp32(FLayout.MaxScrollX()));
    V->setRange(0, Clamp32(FLayout.MaxScrollY()));
    H->setPageStep(std::max(viewport()->width(), 1));
    V->setPageStep(std::max(viewport()->height(), 1));
    H->setSingleStep(20);
    V->setSingleStep(20);
    H->setValue(Clamp32(FLayout.ScrollX()));
    V->setValue(Clamp32(FLayout.ScrollY()));
    FSyncing = false;
    viewport()->update();
}

void TZemPagePreview::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    SyncClient();
    Relaid();
}

void TZemPagePreview::scrollContentsBy(int, int) {
    if (FSyncing)
        return;
    FLayout.SetScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->update();
}

void TZemPagePreview::paintEvent(QPaintEvent*) {
    QPainter P(viewport());
    P.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    const TZemPageSize Size = FLayout.PageSize();
    const std::int64_t OX = FLayout.DeskOffsetX() - FLayout.ScrollX();
    const std::int64_t OY = FLayout.DeskOffsetY() - FLayout.ScrollY();
    const QRect Visible = viewport()->rect();
    for (int i = 0; i < PageCount(); ++i) {
        const TZemDeskRect R = FLayout.PageRect(i);
        const QRect Sheet(Clamp32(OX + R.Left), Clamp32(OY + R.Top), static_cast<int>(R.Width),
                          static_cast<int>(R.Height));
        if (!Sheet.adjusted(0, 0, kShadow, kShadow).intersects(Visible))
            continue;
        P.fillRect(Sheet.translated(kShadow, kShadow), QColor(0, 0, 0, 90));
        P.fillRect(Sheet, Qt::white);
        P.save();
        P.setClipRect(Sheet);
        P.translate(Sheet.topLeft());
        P.scale(static_cast<double>(R.Width) / Size.Width, static_cast<double>(R.Height) / Size.Height);
        P.setRenderHint(QPainter::SmoothPixmapTransform);
        P.drawPicture(0, 0, *FPages[static_cast<std::size_t>(i)]);
        P.restore();
        P.setPen(i == FLayout.CurrentPage() && PageCount() > 1 ? palette().color(QPalette::Highlight)
                                                               : QColor(60, 60, 60));
        P.setBrush(Qt::NoBrush);
        P.drawRect(Sheet.adjusted(-1, -1, 0, 0));
    }
}

void TZemPagePreview::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(Event);
        return;
    }
    const QPoint At = Event->position().toPoint();
    if (FLayout.Press(At.x(), At.y())) {
        viewport()->update();
        FireChange();
    }
    switch (FMouseMode) {
    case TZemPreviewMouse::pmHand:
        FDragging = true;
        FDragStart = At;
        FDragScrollX = FLayout.ScrollX();
        FDragScrollY = FLayout.ScrollY();
        ApplyCursor(true);
        break;
    case TZemPreviewMouse::pmZoomIn:
    case TZemPreviewMouse::pmZoomOut:
        if (FLayout.ZoomStep(FMouseMode == TZemPreviewMouse::pmZoomIn)) {
            Relaid();
            FireChange();
        }
        break;
    case TZemPreviewMouse::pmNone:
        break;
    }
}

void TZemPagePreview::wheelEvent(QWheelEvent* Event) {
    // Ctrl with the wheel zooms about the point under the pointer; the wheel alone scrolls.
    if (!(Event->modifiers() & Qt::ControlModifier) || Event->angleDelta().y() == 0) {
        QAbstractScrollArea::wheelEvent(Event);
        return;
    }
    const QPoint At = Event->position().toPoint();
    FLayout.AnchorAt(At.x(), At.y());
    if (FLayout.ZoomStep(Event->angleDelta().y() > 0)) {
        Relaid();
        FireChange();
    }
    Event->accept();
}

void TZemPagePreview::mouseMoveEvent(QMouseEvent* Event) {
    if (!FDragging)
        return;
    const QPoint D = Event->position().toPoint() - FDragStart;
    FLayout.SetScroll(FDragScrollX - D.x(), FDragScrollY - D.y());
    Relaid();
}

void TZemPagePreview::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && FDragging) {
        FDragging = false;
        ApplyCursor(false);
    }
}

} // namespace zem
