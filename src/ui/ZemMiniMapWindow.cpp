#include "ui/ZemMiniMapWindow.h"

#include "model/ZemMap.h"
#include "ui/ZemMiniMapWidget.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

namespace zem {

namespace {

constexpr int kWidth = 182;
constexpr int kHeight = 224;
constexpr int kMinSide = 60;
constexpr int kTaskBarRoom = 30; // kept free below the window at the bottom of the screen

} // namespace

TfrmMiniMap::TfrmMiniMap(QWidget* Parent) : QWidget(Parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Мини-карта"));
    setObjectName(QStringLiteral("frmMiniMap"));
    FMiniMap = new ZemMiniMapWidget(this);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FMiniMap);

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

void TfrmMiniMap::PlaceAtStart(const QRect& Screen, int PagesWidth) {
    const QSize Outer = frameGeometry().size().expandedTo(size());
    move(Screen.left() + Screen.width() - PagesWidth / 2 - Outer.width() / 2,
         Screen.top() + Screen.height() - Outer.height() - kTaskBarRoom);
}

void TfrmMiniMap::PlaceBeside(const QRect& MapPanel) {
    move(MapPanel.left() + MapPanel.width(), y());
}

} // namespace zem
