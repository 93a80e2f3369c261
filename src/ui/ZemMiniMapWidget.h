#pragma once
// The control of the mini-map: it hosts the core's TZemMiniMap, shows its composed picture and hands it
// the pointer. A press starts a drag; while the button is held the main view follows the pointer.
#include "platform/ZemHost.h"
#include "view/ZemMiniMap.h"

#include <QImage>
#include <QWidget>

#include <map>
#include <memory>

namespace zem {

class TZemMap;

class ZemMiniMapWidget : public QWidget, public TZemHost {
    Q_OBJECT

public:
    explicit ZemMiniMapWidget(QWidget* Parent = nullptr);

    TZemMiniMap& MiniMap() { return *FMiniMap; }
    // Links the mini-map to the map and draws the document small.
    void Attach(TZemMap& Map);
    TZemMap* Map() const { return FMiniMap->Map(); }
    // What the control shows now.
    const QImage& Picture() const { return FPicture; }

    // TZemHost: what the mini-map needs of its control.
    void Present(const TBitmap32& Frame) override;
    void Invalidate() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetCursor(int Number) override;
    void SetCapture(bool Captured) override;
    void SetFocus() override;
    int StartTimer(int IntervalMs, std::function<void()> Callback) override;
    void StopTimer(int TimerId) override;
    TZemMsgResult ShowMessage(const std::string& Text, const std::string& Caption,
                              TZemMsgButtons Buttons) override;
    bool AskText(TZemTextAnswer& Answer, const std::function<void(const TZemTextAnswer&)>& OnChange) override;
    bool AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                           std::vector<int>& Checked) override;
    void ProcessMessages() override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void timerEvent(QTimerEvent* Event) override;

private:
    std::unique_ptr<TZemMiniMap> FMiniMap;
    std::map<int, std::function<void()>> FTimers;
    QImage FPicture;
    bool FPainting = false;
    bool FPressed = false; // the left button went down here and has not left the control since
};

} // namespace zem
