#pragma once
// "Поиск объекта": a tool window beside the map that finds objects by address, text, type or ID as the
// query is typed, and shows the chosen one: centred in the view and made current. It keeps its query and
// its choice of search between showings; Escape hides it.
#include "base/ZemXYArray.h"

#include <QDialog>

#include <cstdint>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace zem {

class TZemMap;

class TfrmFindObject : public QDialog {
    Q_OBJECT

public:
    TfrmFindObject(TZemMap& Map, QWidget* Parent);

    // After a hit was shown: the main window's inspector and items follow the new current object.
    std::function<void()> OnShown;

    // Searches now for what the field holds (the field searches by itself a moment after each key).
    void Search();
    // The document changed: an open list asks its query again a moment later (one search for a burst of
    // changes), keeping its order, the chosen row and where it was scrolled to.
    void DocumentChanged();

    QLineEdit* QueryEdit;
    QComboBox* KindBox; // "Всё", "Адрес", "Текст", "Тип объекта", "ID"
    QTreeWidget* Results;
    QLabel* StatusLabel;

    // Object IDs of the listed hits are kept in the first column's item data under this role.
    static constexpr int kIDRole = Qt::UserRole;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Shows the hit of the item; Keyboard hands the keyboard to the map afterwards.
    void Choose(QTreeWidgetItem* Item, bool Keyboard);
    // Asks the query around the given point and lists the hits.
    void Fill(TXYPoint Around);
    // Repeats the last search on the changed document.
    void Refresh();
    QTreeWidgetItem* RowOf(std::int32_t ID) const;

    TZemMap& FMap;
    QTimer* FTyping;
    QTimer* FChanged;      // a pause after document changes, then Refresh
    TXYPoint FAround{};    // where the last search put its nearest hits first
    bool FFilling = false; // the list is being refilled: its selection is not the user's
    bool FPlaced = false;  // placed beside the map once; then it stays where the user puts it
};

// Ctrl+F: shows the window of Window (making it on first use) with the query selected for typing.
TfrmFindObject* ShowFindObject(QWidget& Window, TZemMap& Map, const std::function<void()>& OnShown);

} // namespace zem
