#pragma once
// The tool window "Мини-карта": the mini-map control filling it and its menu "Обновить".
#include <QWidget>

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

    // Where the main window puts it: at program start centred under the right-hand pages at the
    // bottom of the screen, and when shown again from the menu just right of the map panel (both in
    // global coordinates).
    void PlaceAtStart(const QRect& Screen, int PagesWidth);
    void PlaceBeside(const QRect& MapPanel);

    ZemMiniMapWidget* MiniMapWidget() const { return FMiniMap; }
    QMenu* PopupMenu1() const { return FMenu; }
    QAction* RefreshAction() const { return FRefresh; }

private:
    void Refresh();

    ZemMiniMapWidget* FMiniMap;
    QMenu* FMenu;
    QAction* FRefresh;
};

} // namespace zem
