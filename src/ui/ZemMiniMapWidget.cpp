#include "ui/ZemMiniMapWidget.h"

#include "model/ZemMap.h"
#include "ui/ZemCursors.h"
#include "ui/ZemFontDialog.h"
#include "ui/ZemMessageBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace zem {

namespace {

constexpr int kStartSize = 100;

TPoint At(const QMouseEvent* Event) {
    const QPoint P = Event->position().toPoint();
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
    if (Frame.Empty())
        FPicture = QImage();
    else
        FPicture = QImage(reinterpret_cast<const uchar*>(Frame.Bits()), Frame.Width(), Frame.Height(),
                          static_cast<qsizetype>(Frame.Width()) * 4, QImage::Format_RGB32)
                       .copy();
    // Inside paintEvent the picture is drawn right after; asking again would paint forever.
    if (!FPainting)
        update();
}

void ZemMiniMapWidget::Invalidate() {
    update();
}

int ZemMiniMapWidget::ClientWidth() const {
    return width();
}

int ZemMiniMapWidget::ClientHeight() const {
    return height();
}

void ZemMiniMapWidget::SetCursor(int Number) {
    setCursor(ZemCursor(Number));
}

void ZemMiniMapWidget::SetCapture(bool) {
    // Qt keeps the pointer with the control while a button is held; nothing more is needed.
}

void ZemMiniMapWidget::SetFocus() {
    setFocus();
}

int ZemMiniMapWidget::StartTimer(int IntervalMs, std::function<void()> Callback) {
    const int Id = startTimer(IntervalMs);
    if (Id != 0)
        FTimers[Id] = std::move(Callback);
    return Id;
}

void ZemMiniMapWidget::StopTimer(int TimerId) {
    if (FTimers.erase(TimerId) != 0)
        killTimer(TimerId);
}

void ZemMiniMapWidget::timerEvent(QTimerEvent* Event) {
    const auto It = FTimers.find(Event->timerId());
    if (It == FTimers.end())
        return QWidget::timerEvent(Event);
    const std::function<void()> Callback = It->second; // the callback may stop its own timer
    if (Callback)
        Callback();
}

TZemMsgResult ZemMiniMapWidget::ShowMessage(const std::string& Text, const std::string& Caption,
                                            TZemMsgButtons Buttons) {
    return AskMessage(this, Text, Caption, Buttons);
}

bool ZemMiniMapWidget::AskText(TZemTextAnswer& Answer,
                               const std::function<void(const TZemTextAnswer&)>& OnChange) {
    return TZemFontDialogForm::Ask(this, Answer, OnChange);
}

bool ZemMiniMapWidget::AskTransportKinds(const std::string&, const std::vector<std::string>&,
                                         std::vector<int>&) {
    return false; // the mini-map never searches routes
}

void ZemMiniMapWidget::ProcessMessages() {
    QApplication::processEvents();
}

// ---- Qt events ----

void ZemMiniMapWidget::paintEvent(QPaintEvent*) {
    FPainting = true;
    FMiniMap->Paint(); // resizes the buffers when the control changed size, then presents
    FPainting = false;
    QPainter P(this);
    P.fillRect(rect(), palette().window());
    if (!FPicture.isNull())
        P.drawImage(0, 0, FPicture);
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
    FMiniMap->MouseDown(At(Event));
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
    FMiniMap->MouseMove(At(Event));
}

void ZemMiniMapWidget::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton || !FPressed)
        return QWidget::mouseReleaseEvent(Event);
    FPressed = false;
    FMiniMap->MouseUp(At(Event));
}

void ZemMiniMapWidget::leaveEvent(QEvent* Event) {
    FPressed = false;
    FMiniMap->MouseLeave();
    QWidget::leaveEvent(Event);
}

} // namespace zem
