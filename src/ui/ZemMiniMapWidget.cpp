#include "ui/ZemMiniMapWidget.h"

#include "model/ZemMap.h"
#include "ui/ZemQtHost.h"

#include <QMouseEvent>
#include <QPainter>

namespace zem {

namespace {

constexpr int kStartSize = 100;

// The pointer in the mini-map's pixels, which are device pixels.
TPoint At(const QWidget& Widget, const QMouseEvent* Event) {
    const QPoint P = ToDevicePixels(Widget, Event->position());
    return TPoint{P.x(), P.y()};
}

} // namespace

ZemMiniMapWidget::ZemMiniMapWidget(QWidget* Parent) : QWidget(Parent) {
    resize(kStartSize, kStartSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    FMiniMap = std::make_unique<TZemMiniMap>(*this);
}

QSize ZemMiniMapWidget::sizeHint() const {
    return QSize(kStartSize, kStartSize);
}

void ZemMiniMapWidget::Attach(TZemMap& Map) {
    Map.SetMiniMap(FMiniMap.get());
    Map.UpdateMiniMapContent();
    update();
}

// ---- what the mini-map asks of its control ----

void ZemMiniMapWidget::Present(const TBitmap32& Frame) {
    // A copy: the composed buffer is redrawn while the picture stays on show.
    FPicture = FrameImage(Frame, PixelRatioOf(*this)).copy();
    FPicture.setDevicePixelRatio(PixelRatioOf(*this));
    // Inside paintEvent the picture is drawn right after; asking again would paint forever.
    if (!FPainting)
        update();
}

void ZemMiniMapWidget::Invalidate() {
    update();
}

int ZemMiniMapWidget::ClientWidth() const {
    return DeviceWidth(*this);
}

int ZemMiniMapWidget::ClientHeight() const {
    return DeviceHeight(*this);
}

// ---- Qt events ----

void ZemMiniMapWidget::paintEvent(QPaintEvent*) {
    FPainting = true;
    FMiniMap->Paint(); // resizes the buffers when the control changed size, then presents
    FPainting = false;
    QPainter P(this);
    P.fillRect(rect(), palette().window());
    DrawFrame(P, FPicture);
}

void ZemMiniMapWidget::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    // The document is drawn small anew at the new size.
    if (TZemMap* M = Map())
        M->UpdateMiniMapContent();
    update();
}

void ZemMiniMapWidget::mousePressEvent(QMouseEvent* Event) {
    // Only the left button moves the main view; the right one opens the window's menu.
    if (Event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(Event);
    FPressed = true;
    FMiniMap->MouseDown(At(*this, Event));
}

void ZemMiniMapWidget::mouseMoveEvent(QMouseEvent* Event) {
    if (!FPressed)
        return;
    // Qt keeps sending moves while the button is held outside; leaving the control ends the drag, so
    // the main view never follows the pointer off the mini-map.
    if (!rect().contains(Event->position().toPoint())) {
        FPressed = false;
        FMiniMap->MouseLeave();
        return;
    }
    FMiniMap->MouseMove(At(*this, Event));
}

void ZemMiniMapWidget::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton || !FPressed)
        return QWidget::mouseReleaseEvent(Event);
    FPressed = false;
    FMiniMap->MouseUp(At(*this, Event));
}

void ZemMiniMapWidget::leaveEvent(QEvent* Event) {
    FPressed = false;
    FMiniMap->MouseLeave();
    QWidget::leaveEvent(Event);
}

} // namespace zem
