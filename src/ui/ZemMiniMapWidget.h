#pragma once
// The control of the mini-map: it hosts the core's TZemMiniMap, shows its composed picture and hands it
// the pointer. A press starts a drag; while the button is held the main view follows the pointer.
#include "platform/ZemHost.h"
#include "view/ZemMiniMap.h"

#include <QImage>
#include <QWidget>

#include <memory>

namespace zem {

class TZemMap;

class ZemMiniMapWidget : public QWidget, public TZemDrawHost {
    Q_OBJECT

public:
    explicit ZemMiniMapWidget(QWidget* Parent = nullptr);

    TZemMiniMap& MiniMap() { return *FMiniMap; }
    // Links the mini-map to the map and draws the document small.
    void Attach(TZemMap& Map);
    TZemMap* Map() const { return FMiniMap->Map(); }
    // What the control shows now, in device pixels.
    const QImage& Picture() const { return FPicture; }

    // TZemDrawHost: all the mini-map needs of its control. Sizes are device pixels, so that the small
    // picture is as sharp as the screen.
    void Present(const TBitmap32& Frame) override;
    void Invalidate() override;
    int ClientWidth() const override;
    int ClientHeight() const override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    std::unique_ptr<TZemMiniMap> FMiniMap;
    QImage FPicture;
    bool FPainting = false;
    bool FPressed = false; // the left button went down here and has not left the control since
};

} // namespace zem
