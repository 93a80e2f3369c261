#include "ui/ZemMapWidget.h"

#include "model/ZemMap.h"
#include "ui/ZemBusyInput.h"
#include "ui/ZemKeys.h"
#include "ui/ZemMessageBox.h"
#include "ui/ZemTransportChoice.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>

#include <cmath>
#include <optional>

namespace zem {

namespace {

// One wheel notch in Qt's eighths of a degree.
constexpr int kWheelNotch = 120;

std::optional<TZemMouseButton> ButtonOf(Qt::MouseButton B) {
    switch (B) {
    case Qt::LeftButton:
        return TZemMouseButton::mbLeft;
    case Qt::RightButton:
        return TZemMouseButton::mbRight;
    case Qt::MiddleButton:
        return TZemMouseButton::mbMiddle;
    default:
        return std::nullopt;
    }
}

// Qt's own cursors for the map's numbers, until drawn ones are given.
QCursor StandardCursor(int Number) {
    switch (Number) {
    case crSizeNESW:
    case crEdgeTopRight:
    case crEdgeBottomLeft:
        return Qt::SizeBDiagCursor;
    case crSizeNWSE:
    case crEdgeTopLeft:
    case crEdgeBottomRight:
        return Qt::SizeFDiagCursor;
    case crSizeNS:
    case crEdgeTop:
    case crEdgeBottom:
        return Qt::SizeVerCursor;
    case crSizeWE:
    case crEdgeRight:
    case crEdgeLeft:
        return Qt::SizeHorCursor;
    case crHand:
        return Qt::OpenHandCursor;
    case crHandClosed:
        return Qt::ClosedHandCursor;
    case crZoomIn:
    case crZoomOut:
    case crChoiseColor:
    case crMeasure:
        return Qt::CrossCursor;
    case crRotate:
        return Qt::PointingHandCursor;
    case crMovePoint:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

ZemMapWidget::ZemMapWidget(QWidget* Parent) : QWidget(Parent) {
    // Every frame covers the whole control: nothing to erase, nothing to flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(50, 50);
}

ZemMapWidget::~ZemMapWidget() = default;

void ZemMapWidget::SetMap(TZemMap* Map) {
    FMap = Map;
    if (FMap)
        SyncSize();
    update();
}

double ZemMapWidget::PixelRatio() const {
    return PixelRatioOf(*this);
}

QPoint ZemMapWidget::ToMap(const QPointF& P) const {
    return ToDevicePixels(*this, P);
}

void ZemMapWidget::SyncSize() {
    const int W = DeviceWidth(*this), H = DeviceHeight(*this);
    if (FMap && (FMap->Width() != W || FMap->Height() != H || FMap->BackBuffer.Width() != W ||
                 FMap->BackBuffer.Height() != H)) {
        FMap->Resize(W, H);
        FFramePending = false; // the frame waiting to be shown was of the old size: the buffer is blank now
    }
}

// ---- TZemHost ----

void ZemMapWidget::Present(const TBitmap32&) {
    // The frame is the map's back buffer, shown as it stands by the next paint; inside a paint it is
    // drawn by that paint itself.
    if (FInPaint)
        return;
    FFramePending = true;
    update();
}

void ZemMapWidget::Invalidate() {
    update();
}

int ZemMapWidget::ClientWidth() const {
    return DeviceWidth(*this);
}

int ZemMapWidget::ClientHeight() const {
    return DeviceHeight(*this);
}

void ZemMapWidget::SetCursor(int Number) {
    setCursor(CursorOf ? CursorOf(Number) : StandardCursor(Number));
}

void ZemMapWidget::SetCapture(bool) {
    // Qt grabs the pointer for the widget a button was pressed on until its release, which is all the
    // map asks capture for (rubber bands that leave the control).
}

void ZemMapWidget::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

TZemMsgResult ZemMapWidget::ShowMessage(const std::string& Text, const std::string& Caption,
                                        TZemMsgButtons Buttons) {
    return AskMessage(this, Text, Caption, Buttons);
}

bool ZemMapWidget::AskText(TZemTextAnswer& Answer,
                           const std::function<void(const TZemTextAnswer&)>& OnChange) {
    if (TextDialog)
        return TextDialog(Answer, OnChange);
    bool Ok = false;
    const QString Text = QInputDialog::getText(this, QStringLiteral("Текст"), QStringLiteral("Текст:"),
                                               QLineEdit::Normal, QString::fromStdString(Answer.Text), &Ok);
    if (!Ok)
        return false;
    Answer.Text = Text.toStdString();
    if (OnChange)
        OnChange(Answer);
    return true;
}

bool ZemMapWidget::AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                                     std::vector<int>& Checked) {
    TZemRouteMethod Method = TZemRouteMethod::rmGenetic;
    return AskRouteSearch(Caption, Names, Checked, Method);
}

bool ZemMapWidget::AskRouteSearch(const std::string& Caption, const std::vector<std::string>& Names,
                                  std::vector<int>& Checked, TZemRouteMethod& Method) {
    TfrmTransportSelect Dialog(Names, Method, this);
    if (!Caption.empty())
        Dialog.setWindowTitle(QString::fromStdString(Caption));
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    Checked = Dialog.CheckedPositions();
    Method = Dialog.Method();
    return true;
}

void ZemMapWidget::ProcessMessages() {
    // Escape reaches the map wherever the focus is: it stops the search.
    TZemBusyInput Busy(window(), this, [this] {
        if (FMap)
            FMap->KeyDown(vk::Escape, 0);
        Handled();
    });
    QCoreApplication::processEvents();
}

// ---- Qt events ----

void ZemMapWidget::paintEvent(QPaintEvent*) {
    QPainter Painter(this);
    if (!FMap) {
        Painter.fillRect(rect(), palette().window());
        return;
    }
    SyncSize();
    // A paint the window system asked for (exposure, resize) draws the frame anew; one that Present
    // asked for shows the frame just drawn.
    if (!FFramePending) {
        FInPaint = true;
        FMap->Paint();
        FInPaint = false;
    }
    FFramePending = false;
    const TBitmap32& B = FMap->BackBuffer;
    if (B.Empty()) {
        Painter.fillRect(rect(), Qt::white);
        return;
    }
    DrawFrame(Painter, FrameImage(B, PixelRatio())); // the back buffer itself, not a copy
    ++FFramesShown;
}

void ZemMapWidget::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    SyncSize();
}

void ZemMapWidget::mousePressEvent(QMouseEvent* Event) {
    const auto B = ButtonOf(Event->button());
    if (!FMap || !B)
        return;
    const QPoint P = ToMap(Event->position());
    FMap->MouseDown(*B, ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    Handled();
}

void ZemMapWidget::mouseMoveEvent(QMouseEvent* Event) {
    if (!FMap)
        return;
    const QPoint P = ToMap(Event->position());
    FMap->MouseMove(ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    Handled();
}

void ZemMapWidget::mouseReleaseEvent(QMouseEvent* Event) {
    const auto B = ButtonOf(Event->button());
    if (!FMap || !B)
        return;
    const QPoint P = ToMap(Event->position());
    FMap->MouseUp(*B, ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    Handled();
}

void ZemMapWidget::mouseDoubleClickEvent(QMouseEvent* Event) {
    const auto B = ButtonOf(Event->button());
    if (!FMap || !B)
        return;
    const QPoint P = ToMap(Event->position());
    const TZemShiftState S = ShiftStateOf(Event->modifiers(), Event->buttons()) | ssDouble;
    // The second press of a left double click is the map's double click; other buttons press again.
    if (*B == TZemMouseButton::mbLeft)
        FMap->DblClick(S, P.x(), P.y());
    else
        FMap->MouseDown(*B, S, P.x(), P.y());
    Handled();
}

void ZemMapWidget::Handled() {
    if (AfterInput)
        AfterInput();
}

void ZemMapWidget::wheelEvent(QWheelEvent* Event) {
    if (!FMap)
        return;
    Event->accept();
    const QPoint P = ToMap(Event->position());
    FMap->SetCursorPos(FMap->ScreenToWorld(P.x(), P.y()));
    // A notch is one scale step; a touchpad's small deltas add up to notches.
    FWheelRest += Event->angleDelta().y();
    while (std::abs(FWheelRest) >= kWheelNotch) {
        const int Step = FWheelRest > 0 ? kWheelNotch : -kWheelNotch;
        FMap->WheelZoom(Step);
        FWheelRest -= Step;
    }
}

void ZemMapWidget::keyPressEvent(QKeyEvent* Event) {
    const std::int32_t Key = VirtualKeyOf(Event->key(), Event->modifiers() & Qt::KeypadModifier);
    if (!FMap || Key == 0) {
        QWidget::keyPressEvent(Event);
        return;
    }
    FMap->KeyDown(Key, ShiftStateOf(Event->modifiers()));
    Handled();
}

void ZemMapWidget::keyReleaseEvent(QKeyEvent* Event) {
    const std::int32_t Key = VirtualKeyOf(Event->key(), Event->modifiers() & Qt::KeypadModifier);
    // A held key repeats its press only: Space stays down until it is really let go.
    if (!FMap || Key == 0 || Event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    FMap->KeyUp(Key, ShiftStateOf(Event->modifiers()));
    Handled();
}

void ZemMapWidget::contextMenuEvent(QContextMenuEvent* Event) {
    if (FPopup)
        FPopup->exec(Event->globalPos());
}

bool ZemMapWidget::focusNextPrevChild(bool) {
    return false;
}

} // namespace zem
