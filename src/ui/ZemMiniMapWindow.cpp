#include "ui/ZemMiniMapWindow.h"

#include "model/ZemMap.h"
#include "ui/ZemMiniMapWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QMoveEvent>
#include <QVBoxLayout>

namespace zem {

namespace {

constexpr int kWidth = 182;
constexpr int kHeight = 224;
constexpr int kMinSide = 60;
constexpr int kMargin = 12; // between the window and the map panel's edges

} // namespace

TfrmMiniMap::TfrmMiniMap(QWidget* Parent) : QWidget(Parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Мини-карта"));
    setObjectName(QStringLiteral("frmMiniMap"));
    // A thin frame keeps the small map apart from the big one it floats over.
    auto* Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel1"));
    Panel->setFrameShape(QFrame::Box);
    Panel->setForegroundRole(QPalette::Dark);
    FMiniMap = new ZemMiniMapWidget(Panel);
    auto* Inner = new QVBoxLayout(Panel);
    Inner->setContentsMargins(0, 0, 0, 0);
    Inner->addWidget(FMiniMap);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Panel);

    FMenu = new QMenu(this);
    FMenu->setObjectName(QStringLiteral("PopupMenu1"));
    FRefresh = FMenu->addAction(QStringLiteral("Обновить"));
    connect(FRefresh, &QAction::triggered, this, &TfrmMiniMap::Refresh);
    FMiniMap->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FMiniMap, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { FMenu->popup(FMiniMap->mapToGlobal(At)); });

    setMinimumSize(kMinSide, kMinSide);
    resize(kWidth, kHeight);
}

void TfrmMiniMap::Attach(TZemMap& Map) {
    FMiniMap->Attach(Map);
}

void TfrmMiniMap::Refresh() {
    if (TZemMap* M = FMiniMap->Map())
        M->UpdateMiniMapContent();
}

void TfrmMiniMap::closeEvent(QCloseEvent* Event) {
    QWidget::closeEvent(Event);
    emit closed();
}

void TfrmMiniMap::PlaceOnMap(const QRect& MapPanel) {
    const QSize Outer = frameGeometry().size().expandedTo(size());
    // Before it is first shown the window has no title bar yet; once the window manager adds one, the
    // window is placed again, so that the bar does not push it over the status bar.
    if (Outer == size())
        FUnframedPanel = MapPanel;
    else
        FUnframedPanel.reset();
    move(MapPanel.right() - Outer.width() - kMargin, MapPanel.bottom() - Outer.height() - kMargin);
}

void TfrmMiniMap::moveEvent(QMoveEvent* Event) {
    QWidget::moveEvent(Event);
    if (FUnframedPanel && frameGeometry().size() != size())
        PlaceOnMap(*FUnframedPanel);
}

} // namespace zem
