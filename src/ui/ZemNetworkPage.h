#pragma once
// TZemNetworkPage: the page "Дорожная сеть". The connection kind of new segments, junctions on lines,
// bulk edits of the routes, the network check and what part of the network the view draws.
#include "ui/ZemColorSwatch.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zem {

class TZemMap;

class TZemNetworkPage : public QWidget {
    Q_OBJECT
public:
    TZemNetworkPage(TZemMap& Map, QWidget* Parent);

    // Alt+1, Alt+2, Alt+3: items 0, 1, 2 of "Выбор вида соединения".
    void SelectConnectionKind(int Index);
    // The group shows the map's connection kind, whatever changed it.
    void ShowConnectionKind();
    // Fills the transport combos from the map's directory and shows the map's switches; called when
    // the page is shown and after a map is loaded.
    void ReloadDirectories();

    void SetColorAsker(TZemColorAsker Asker) { FAskColor = std::move(Asker); }

    // The buttons' handlers, public for tests and the window.
    void ConvertUndefined();
    void RouteColorClicked();
    void SetRouteColor();
    void UpdateRouteNames();
    void SetRouteFilter();
    void ClearRouteFilter();

signals:
    // A command changed objects of the document.
    void networkChanged();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildConnection();
    QWidget* BuildJunctions();
    QWidget* BuildConversion();
    QWidget* BuildRouteColor();
    QWidget* BuildChecks();
    QWidget* BuildRouteNames();
    // Runs a command of the map as one undo step; a failure is shown, not thrown into Qt.
    void Run(const std::function<void()>& Command, bool ChangesDocument = true);

    TZemMap& FMap;
    TZemColorAsker FAskColor;
    QWidget* FBody = nullptr;
    QButtonGroup* FConnection = nullptr;
    QComboBox* FConvertType = nullptr;
    QLineEdit* FConvertName = nullptr;
    QComboBox* FColorType = nullptr;
    QLineEdit* FColorName = nullptr;
    TZemColorSwatch* FColorSwatch = nullptr;
    QComboBox* FRouteNames = nullptr;
    QCheckBox* FShowUndefined = nullptr;
};

} // namespace zem
