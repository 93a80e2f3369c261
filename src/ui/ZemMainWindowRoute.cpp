// The route search in the window: the page of the route found, the progress in the status bar, the live
// highlight of the best route so far, and the command itself.
#include "transport/ZemGeneticSearch.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemRoutePage.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTabWidget>

namespace zem {

namespace {
const QString kSearching = QStringLiteral("поиск идёт");
} // namespace

void TfrmMain::CreateRoutePage() {
    FRoutePage = new TZemRoutePage(*FMap, FPages);
    FPages->addTab(FRoutePage, QStringLiteral("Найденный маршрут"));
    FCostPanel = new QLabel(statusBar());
    FCostPanel->setObjectName(QStringLiteral("RouteCostPanel"));
    FCostPanel->setFrameShape(QFrame::StyledPanel);
    FCostPanel->setFrameShadow(QFrame::Sunken);
    FCostPanel->hide(); // until a search has a route
    statusBar()->addPermanentWidget(FCostPanel);
}

void TfrmMain::ShowRouteCost(long double Cost, const QString& Note) {
    QString Text =
        QStringLiteral("Стоимость маршрута = %1").arg(QLocale().toString(static_cast<double>(Cost), 'f', 2));
    if (!Note.isEmpty())
        Text += QStringLiteral(" (%1)").arg(Note);
    FCostPanel->setText(Text);
    FCostPanel->show();
}

void TfrmMain::ConnectRouteEvents() {
    TZemMap& M = *FMap;
    // The best route of the running leg and the legs already solved, redrawn at every improvement.
    M.OnFindTransportPath = [this](TZemTransportTask& Task, std::int32_t, std::int32_t,
                                   const TIntegerList& Arr, const TIntegerList& AnswereCurrent) {
        TIntegerList IDs;
        AppendRouteSegments(AnswereCurrent, IDs);
        AppendRouteSegments(Arr, IDs);
        FMap->ShowRouteHighlight(IDs);
        ShowRouteCost(Task.RouteCost + Task.Fitness(AnswereCurrent), kSearching);
    };
    M.OnGenerations = [this](TZemTransportTask&, std::int32_t Total, std::int32_t ToStop) {
        FPanels[1]->setText(QStringLiteral("Поколений: %1").arg(Total));
        FPanels[2]->setText(QString::number(ToStop));
        ShowToolHint();
    };
    M.OnOptimalTransportPath = [this](TZemMap& Map, const TIntegerList& Answere) {
        const int Page = FPages->indexOf(FRoutePage);
        if (Page >= 0)
            FPages->setCurrentIndex(Page);
        FRoutePage->ShowAnswere(Answere);
        FRoutePage->BringHighlightIntoView();
        const TZemTransportTask& Task = Map.TransportTask();
        ShowRouteCost(Task.RouteCost, Task.Stopped() ? QStringLiteral("поиск прерван") : QString());
    };
}

void TfrmMain::CommandFindPath() {
    FPanels[2]->clear(); // the exact search counts no generations
    Guarded([this] { FMap->FindTransportPath(); });
    // A search that failed has no cost to show: only the cost of its last improvement was on display.
    if (FCostPanel->text().endsWith(kSearching + QLatin1Char(')')))
        FCostPanel->hide();
    ShowToolHint();
    FMapWidget->setFocus();
}

} // namespace zem
