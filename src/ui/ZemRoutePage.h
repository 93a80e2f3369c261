#pragma once
// The page "Найденный маршрут": the stretches of the last route found, one node each. Choosing a node
// draws that stretch alone as the route; "Показать полностью" draws the whole route again.
#include "base/ZemText.h"
#include "transport/ZemRouteAnswer.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace zem {

class TZemMap;

class TZemRoutePage : public QWidget {
    Q_OBJECT
public:
    TZemRoutePage(TZemMap& Map, QWidget* Parent);

    // Rebuilds the tree from a completed search's route.
    void ShowAnswere(const TIntegerList& Answere);
    // Highlights every segment of the task's whole route.
    void ShowWholeRoute();
    // Moves the view, when needed, so that the highlighted route or stretch is wholly on screen.
    void BringHighlightIntoView();
    // Forgets the route shown: the map it belonged to was replaced, and its IDs now name other objects.
    void Clear();

    const TAnswere& Answere() const { return FAnswere; }
    QTreeWidget* TreeView1() const { return FTree; }
    QPushButton* ShowAllButton() const { return FShowAll; }

private:
    void NodeChosen();

    TZemMap& FMap;
    TAnswere FAnswere;
    QTreeWidget* FTree;
    QPushButton* FShowAll;
};

} // namespace zem
