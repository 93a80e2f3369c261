#pragma once
// ZemMapWidget: the map's control on a Qt screen. It implements TZemHost over a QWidget: Qt's paint,
// resize, pointer, wheel and key events go to the map's handlers, the map's frames come back through
// Present and are shown straight from the back buffer's pixels.
#include "platform/ZemHost.h"
#include "ui/ZemQtHost.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace zem {

class TZemMap;

class ZemMapWidget : public QWidget, public TZemHost {
    Q_OBJECT
public:
    explicit ZemMapWidget(QWidget* Parent = nullptr);
    ~ZemMapWidget() override;

    // The map is made with this widget as its host, so it is attached after construction; it must
    // outlive its use here or be detached with nullptr.
    void SetMap(TZemMap* Map);
    TZemMap* Map() const { return FMap; }

    // The menu a right click opens; the window chooses it on every pointer move. Null: none.
    void SetPopupMenu(QMenu* Menu) { FPopup = Menu; }
    QMenu* PopupMenu() const { return FPopup; }

    // Device pixels per widget pixel: the map is drawn at device resolution.
    double PixelRatio() const;
    // Widget coordinates -> the map's client pixels.
    QPoint ToMap(const QPointF& P) const;

    // Who draws the cursors and asks for a new text; unset, standard cursors and a plain text prompt.
    std::function<QCursor(int Number)> CursorOf;
    std::function<bool(TZemTextAnswer&, const std::function<void(const TZemTextAnswer&)>&)> TextDialog;
    // After the map has handled a pointer or key message: the state the window shows may have changed
    // (the current object, the tool's hint).
    std::function<void()> AfterInput;

    // TZemHost: the drawing, the timers, the pointer and the questions.
    void Present(const TBitmap32& Frame) override;
    void Invalidate() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetCursor(int Number) override;
    void SetCapture(bool Captured) override;
    void SetFocus() override;
    int StartTimer(int IntervalMs, std::function<void()> Callback) override {
        return FTimers.StartTimer(IntervalMs, std::move(Callback));
    }
    void StopTimer(int TimerId) override { FTimers.StopTimer(TimerId); }
    TZemMsgResult ShowMessage(const std::string& Text, const std::string& Caption,
                              TZemMsgButtons Buttons) override;
    bool AskText(TZemTextAnswer& Answer, const std::function<void(const TZemTextAnswer&)>& OnChange) override;
    bool AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                           std::vector<int>& Checked) override;
    // "Выбор", with the way of searching.
    bool AskRouteSearch(const std::string& Caption, const std::vector<std::string>& Names,
                        std::vector<int>& Checked, TZemRouteMethod& Method) override;
    // Handles pending events with the input that could edit the map held back (TZemBusyInput).
    void ProcessMessages() override;

    // Frames shown since the widget was made (the benchmark counts them).
    long FramesShown() const { return FFramesShown; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    // Tab and Ctrl+Tab belong to the map (Ctrl+Tab walks the objects), not to focus changes.
    bool focusNextPrevChild(bool Next) override;

private:
    void Handled(); // runs AfterInput
    void SyncSize();

    TZemMap* FMap = nullptr;
    QPointer<QMenu> FPopup;
    bool FFramePending = false; // Present asked for this paint: show the frame without drawing anew
    bool FInPaint = false;
    int FWheelRest = 0; // wheel eighths-of-a-degree not yet worth a step (fine-grained touchpads)
    TZemQtTimers FTimers{*this};
    long FFramesShown = 0;
};

} // namespace zem
