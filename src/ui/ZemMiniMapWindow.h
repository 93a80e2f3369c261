#pragma once
// The tool window "Мини-карта": the mini-map control filling it and its menu "Обновить".
#include <QWidget>

#include <optional>

class QAction;
class QMenu;

namespace zem {

class TZemMap;
class ZemMiniMapWidget;

class TfrmMiniMap : public QWidget {
    Q_OBJECT

public:
    explicit TfrmMiniMap(QWidget* Parent = nullptr);

    // Links the mini-map to the map (it becomes the map's mini-map) and draws it.
    void Attach(TZemMap& Map);

    // Where the main window puts it, at start and whenever it is shown again: in the bottom-right corner
    // of the map panel (global coordinates), over the map rather than over the inspector's controls.
    void PlaceOnMap(const QRect& MapPanel);

    ZemMiniMapWidget* MiniMapWidget() const { return FMiniMap; }
    QMenu* PopupMenu1() const { return FMenu; }
    QAction* RefreshAction() const { return FRefresh; }

signals:
    // The window was closed (its title bar's button, or the program ending).
    void closed();

protected:
    void closeEvent(QCloseEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;

private:
    void Refresh();

    ZemMiniMapWidget* FMiniMap;
    QMenu* FMenu;
    QAction* FRefresh;
    // The panel to stand in, while the window manager has not framed the window yet.
    std::optional<QRect> FUnframedPanel;
};

} // namespace zem
