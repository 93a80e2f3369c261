#include "ui/ZemRoutePage.h"

#include "model/ZemMap.h"
#include "transport/ZemGeneticSearch.h"
#include "view/ZemViewFit.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zem {

TZemRoutePage::TZemRoutePage(TZemMap& Map, QWidget* Parent)
    : QWidget(Parent), FMap(Map), FTree(new QTreeWidget(this)),
      FShowAll(new QPushButton(QStringLiteral("Показать полностью"), this)) {
    setObjectName(QStringLiteral("TabSheet1"));
    FTree->setObjectName(QStringLiteral("TreeView1"));
    FTree->setHeaderHidden(true);
    FTree->setColumnCount(1);
    FTree->setRootIsDecorated(false); // no buttons, no lines: a list of stretches
    FTree->setItemsExpandable(false);
    FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTree->setAllColumnsShowFocus(true);
    FTree->setTextElideMode(Qt::ElideRight);
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this] { NodeChosen(); });
    FShowAll->setObjectName(QStringLiteral("Button26"));
    connect(FShowAll, &QPushButton::clicked, this, &TZemRoutePage::ShowWholeRoute);

    auto* Column = new QVBoxLayout(this);
    Column->setContentsMargins(4, 4, 4, 4);
    Column->addWidget(FTree, 1);
    Column->addWidget(FShowAll);
}

void TZemRoutePage::ShowAnswere(const TIntegerList& Answere) {
    std::vector<ZemString> Nodes;
    BuildAnswere(FMap, Answere, FAnswere, Nodes);
    const QSignalBlocker Quiet(FTree); // a new tree chooses no stretch by itself
    FTree->clear();
    for (const ZemString& Node : Nodes)
        new QTreeWidgetItem(FTree, QStringList{QString::fromStdString(ToUtf8(Node))});
}

void TZemRoutePage::Clear() {
    const QSignalBlocker Quiet(FTree);
    FTree->clear();
    FAnswere.Clear();
}

void TZemRoutePage::NodeChosen() {
    const int Node = FTree->indexOfTopLevelItem(FTree->currentItem());
    if (Node < 0)
        return;
    FMap.ShowRouteHighlight(StretchIDs(FAnswere, Node));
    BringHighlightIntoView();
}

void TZemRoutePage::ShowWholeRoute() {
    TIntegerList IDs;
    AppendRouteSegments(FMap.TransportTask().Route, IDs);
    FMap.ShowRouteHighlight(IDs);
    BringHighlightIntoView();
}

void TZemRoutePage::BringHighlightIntoView() {
    if (const auto Box = PointsBox(FMap, FMap.Net.RouteHighlight))
        BringIntoView(FMap, *Box);
}

} // namespace zem
