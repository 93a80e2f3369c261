#pragma once
// What the two Qt controls of the core share: sizes and pointer positions in device pixels, so that the
// core draws at the screen's full resolution, one way of showing a frame of the core's surface, and
// the window system's timers.
#include "platform/ZemHost.h"

#include <QImage>
#include <QPoint>

#include <functional>
#include <map>

class QObject;
class QPainter;
class QTimer;
class QWidget;

namespace zem {

// Device pixels per widget pixel.
double PixelRatioOf(const QWidget& Widget);
// The widget's size in device pixels: the size of the core's buffers for it.
int DeviceWidth(const QWidget& Widget);
int DeviceHeight(const QWidget& Widget);
// A widget position in device pixels.
QPoint ToDevicePixels(const QWidget& Widget, const QPointF& P);

// The surface's 0xAARRGGBB words are Qt's RGB32 layout: a picture over them, without a copy, that is
// drawn at the widget's scale (one pixel of it per device pixel). It lives no longer than the surface.
QImage FrameImage(const TBitmap32& Frame, double PixelRatio);
// Shows the frame at the top-left corner of the painter's widget, sharp at its device pixels.
void DrawFrame(QPainter& Painter, const QImage& Frame);

// The window system's timers for a control, as QTimer objects owned by it.
class TZemQtTimers : public TZemTimerHost {
public:
    explicit TZemQtTimers(QObject& Owner) : FOwner(Owner) {}
    ~TZemQtTimers() override;
    TZemQtTimers(const TZemQtTimers&) = delete;
    TZemQtTimers& operator=(const TZemQtTimers&) = delete;

    int StartTimer(int IntervalMs, std::function<void()> Callback) override;
    void StopTimer(int TimerId) override;

private:
    QObject& FOwner;
    int FNextTimerId = 1;
    std::map<int, QTimer*> FTimers; // parent-owned by FOwner
};

} // namespace zem
