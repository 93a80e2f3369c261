#pragma once
// While long work (a route search, a text export) lets the window system handle pending events, the
// window must stay live — painted, moved, resized, its map zoomed by the wheel — but nothing may edit
// the document or start another command under the work. TZemBusyInput is an application-wide filter
// that lets through what only shows, holds back every press, key and shortcut, and turns Escape into the
// work's stop; closing the window stops the work and closes it once the work has returned.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace zem {

class TZemBusyInput : public QObject {
public:
    // Installs itself on the application for its lifetime. Window is the main window, Map the map's
    // control (its wheel zooms); OnEscape stops the work.
    TZemBusyInput(QWidget* Window, QWidget* Map, std::function<void()> OnEscape);
    ~TZemBusyInput() override;
    TZemBusyInput(const TZemBusyInput&) = delete;
    TZemBusyInput& operator=(const TZemBusyInput&) = delete;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The wheel scrolls lists and zooms the map, but would change the value of a spin or combo box.
    bool WheelOnlyShows(QObject* Watched) const;

    QPointer<QWidget> FWindow;
    QPointer<QWidget> FMap;
    std::function<void()> FOnEscape;
};

} // namespace zem
