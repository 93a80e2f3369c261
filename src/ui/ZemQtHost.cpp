#include "ui/ZemQtHost.h"

#include "view/ZemRaster.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace zem {

double PixelRatioOf(const QWidget& Widget) {
    return Widget.devicePixelRatioF();
}

int DeviceWidth(const QWidget& Widget) {
    return static_cast<int>(std::lround(Widget.width() * PixelRatioOf(Widget)));
}

int DeviceHeight(const QWidget& Widget) {
    return static_cast<int>(std::lround(Widget.height() * PixelRatioOf(Widget)));
}

QPoint ToDevicePixels(const QWidget& Widget, const QPointF& P) {
    const double R = PixelRatioOf(Widget);
    return {static_cast<int>(std::floor(P.x() * R)), static_cast<int>(std::floor(P.y() * R))};
}

QImage FrameImage(const TBitmap32& Frame, double PixelRatio) {
    if (Frame.Empty())
        return QImage();
    QImage Image(reinterpret_cast<const uchar*>(Frame.Bits()), Frame.Width(), Frame.Height(),
                 static_cast<qsizetype>(Frame.Width()) * 4, QImage::Format_RGB32);
    Image.setDevicePixelRatio(PixelRatio);
    return Image;
}

void DrawFrame(QPainter& Painter, const QImage& Frame) {
    if (Frame.isNull())
        return;
    const QPainter::CompositionMode Mode = Painter.compositionMode();
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    Painter.drawImage(QPointF(0, 0), Frame);
    Painter.setCompositionMode(Mode);
}

TZemQtTimers::~TZemQtTimers() {
    for (auto& [Id, Timer] : FTimers)
        Timer->stop();
}

int TZemQtTimers::StartTimer(int IntervalMs, std::function<void()> Callback) {
    const int Id = FNextTimerId++;
    auto* Timer = new QTimer(&FOwner);
    Timer->setInterval(std::max(IntervalMs, 1));
    QObject::connect(Timer, &QTimer::timeout, Timer, [Callback = std::move(Callback)] { Callback(); });
    FTimers[Id] = Timer;
    Timer->start();
    return Id;
}

void TZemQtTimers::StopTimer(int TimerId) {
    const auto It = FTimers.find(TimerId);
    if (It == FTimers.end())
        return;
    // A timer may stop itself from its own callback: it goes once that callback has returned.
    It->second->stop();
    It->second->deleteLater();
    FTimers.erase(It);
}

} // namespace zem
