#include "ui/ZemFindWindow.h"

#include "address/ZemObjectSearch.h"
#include "model/ZemMap.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zem {

namespace {

constexpr int kTypingPauseMs = 150; // a search after each pause in typing, not after every key
constexpr int kMargin = 12;         // between the window and the map's edges when first shown
const TSearchKind kKinds[] = {TSearchKind::skAll, TSearchKind::skAddress, TSearchKind::skText,
                              TSearchKind::skType, TSearchKind::skID};

QString Text(const ZemString& S) {
    return QString::fromStdString(ToUtf8(S));
}

} // namespace

TfrmFindObject::TfrmFindObject(TZemMap& Map, QWidget* Parent)
    : QDialog(Parent, Qt::Tool), FMap(Map), FTyping(new QTimer(this)), FChanged(new QTimer(this)) {
    setObjectName(QStringLiteral("frmFindObject"));
    setWindowTitle(QStringLiteral("Поиск объекта"));
    setSizeGripEnabled(true);

    QueryEdit = new QLineEdit(this);
    QueryEdit->setObjectName(QStringLiteral("QueryEdit"));
    QueryEdit->setPlaceholderText(QStringLiteral("Улица и дом, текст, тип объекта или ID"));
    QueryEdit->setClearButtonEnabled(true);
    QueryEdit->installEventFilter(this);
    KindBox = new QComboBox(this);
    KindBox->setObjectName(QStringLiteral("KindBox"));
    KindBox->addItems({QStringLiteral("Всё"), QStringLiteral("Адрес"), QStringLiteral("Текст"),
                       QStringLiteral("Тип объекта"), QStringLiteral("ID")});
    auto* Caption = new QLabel(QStringLiteral("&Найти:"), this);
    Caption->setBuddy(QueryEdit);
    auto* Top = new QHBoxLayout;
    Top->addWidget(Caption);
    Top->addWidget(QueryEdit, 1);
    Top->addWidget(KindBox);

    Results = new QTreeWidget(this);
    Results->setObjectName(QStringLiteral("Results"));
    Results->setColumnCount(4);
    Results->setHeaderLabels(
        {QStringLiteral("Вид"), QStringLiteral("Текст"), QStringLiteral("Адрес"), QStringLiteral("ID")});
    Results->setRootIsDecorated(false);
    Results->setUniformRowHeights(true);
    Results->setAllColumnsShowFocus(true);
    Results->header()->setStretchLastSection(false);
    Results->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    Results->setColumnWidth(0, 110);
    Results->setColumnWidth(1, 130);
    Results->setColumnWidth(3, 50);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Top);
    Layout->addWidget(Results, 1);
    Layout->addWidget(StatusLabel);
    resize(600, 380);

    FTyping->setSingleShot(true);
    FTyping->setInterval(kTypingPauseMs);
    connect(FTyping, &QTimer::timeout, this, &TfrmFindObject::Search);
    connect(QueryEdit, &QLineEdit::textChanged, FTyping, qOverload<>(&QTimer::start));
    FChanged->setSingleShot(true);
    FChanged->setInterval(kTypingPauseMs);
    connect(FChanged, &QTimer::timeout, this, &TfrmFindObject::Refresh);
    connect(KindBox, &QComboBox::currentIndexChanged, this, &TfrmFindObject::Search);
    // Enter in the field: the first hit of what is typed now.
    connect(QueryEdit, &QLineEdit::returnPressed, this, [this] {
        if (FTyping->isActive() || Results->topLevelItemCount() == 0)
            Search();
        if (Results->topLevelItemCount() > 0)
            Choose(Results->currentItem() ? Results->currentItem() : Results->topLevelItem(0), true);
    });
    // Walking the list shows each hit; Enter and a double click also hand the keyboard to the map.
    connect(Results, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* Item) {
        if (!FFilling && Item)
            Choose(Item, false);
    });
    connect(Results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* Item) { Choose(Item, true); });
    auto* Again = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(Again, &QShortcut::activated, this, [this] {
        QueryEdit->setFocus();
        QueryEdit->selectAll();
    });
}

void TfrmFindObject::Search() {
    Fill(ViewCentre(FMap));
}

void TfrmFindObject::DocumentChanged() {
    // A hidden window asks again when shown; an empty query lists nothing to update.
    if (isVisible() && !QueryEdit->text().trimmed().isEmpty())
        FChanged->start();
}

QTreeWidgetItem* TfrmFindObject::RowOf(std::int32_t ID) const {
    for (int i = 0; i < Results->topLevelItemCount(); ++i)
        if (Results->topLevelItem(i)->data(0, kIDRole).toInt() == ID)
            return Results->topLevelItem(i);
    return nullptr;
}

void TfrmFindObject::Refresh() {
    if (FTyping->isActive())
        return; // the typed query is asked in a moment anyway
    const QTreeWidgetItem* Current = Results->currentItem();
    const std::int32_t Chosen = Current ? Current->data(0, kIDRole).toInt() : -1;
    QTreeWidgetItem* Top = Results->itemAt(0, 0);
    const int TopRow = Top ? Results->indexOfTopLevelItem(Top) : 0;
    const std::int32_t TopID = Top ? Top->data(0, kIDRole).toInt() : -1;

    // Around the same point as before: rows that still match keep their order while the view moves.
    Fill(FAround);
    const int Count = Results->topLevelItemCount();
    if (Count == 0)
        return;
    // The same row at the top, else the one that took its place; the chosen row stays chosen and in sight.
    QTreeWidgetItem* NewTop = RowOf(TopID);
    Results->scrollToItem(NewTop ? NewTop : Results->topLevelItem(std::min(TopRow, Count - 1)),
                          QAbstractItemView::PositionAtTop);
    if (QTreeWidgetItem* Again = Chosen >= 0 ? RowOf(Chosen) : nullptr) {
        FFilling = true;
        Results->setCurrentItem(Again);
        FFilling = false;
        Results->scrollToItem(Again, QAbstractItemView::EnsureVisible);
    }
}

void TfrmFindObject::Fill(TXYPoint Around) {
    FTyping->stop();
    FChanged->stop();
    FAround = Around;
    const TSearchResult R = FindObjects(FMap, FromUtf8(QueryEdit->text().toStdString()),
                                        kKinds[std::max(0, KindBox->currentIndex())], kSearchLimit, Around);
    FFilling = true;
    Results->clear();
    QList<QTreeWidgetItem*> Items;
    Items.reserve(static_cast<qsizetype>(R.Items.size()));
    for (const TFoundObject& F : R.Items) {
        auto* Item =
            new QTreeWidgetItem({Text(F.KindText), Text(F.Text), Text(F.AddressText), QString::number(F.ID)});
        Item->setData(0, kIDRole, F.ID);
        Item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        Items.push_back(Item);
    }
    Results->addTopLevelItems(Items);
    FFilling = false;
    if (QueryEdit->text().trimmed().isEmpty())
        StatusLabel->clear();
    else if (R.Total == 0)
        StatusLabel->setText(QStringLiteral("Ничего не найдено"));
    else if (R.Total > R.Items.size())
        StatusLabel->setText(
            QStringLiteral("Найдено: %1, показаны первые %2").arg(R.Total).arg(R.Items.size()));
    else
        StatusLabel->setText(QStringLiteral("Найдено: %1").arg(R.Total));
}

void TfrmFindObject::Choose(QTreeWidgetItem* Item, bool Keyboard) {
    if (!Item)
        return;
    if (!ShowFoundObject(FMap, Item->data(0, kIDRole).toInt())) {
        // Deleted since the search: the list is brought up to date.
        Search();
        StatusLabel->setText(QStringLiteral("Объект удалён с карты; список обновлён"));
        return;
    }
    if (OnShown)
        OnShown();
    if (Keyboard && parentWidget())
        parentWidget()->activateWindow();
}

void TfrmFindObject::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    // First shown in the map's top right corner, clear of its centre, where a chosen object appears;
    // afterwards where the user left it.
    if (!FPlaced && parentWidget())
        if (const auto* View = parentWidget()->findChild<ZemMapWidget*>()) {
            const QPoint Corner = View->mapToGlobal(QPoint(View->width(), 0));
            move(Corner.x() - frameGeometry().width() - kMargin, Corner.y() + kMargin);
        }
    FPlaced = true;
    // The map may have changed while the window was hidden: the last query is asked again.
    Search();
    QueryEdit->setFocus();
    QueryEdit->selectAll();
}

bool TfrmFindObject::eventFilter(QObject* Watched, QEvent* Event) {
    // Down in the field goes on into the list.
    if (Watched == QueryEdit && Event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Down && Results->topLevelItemCount() > 0) {
        Results->setFocus();
        Results->setCurrentItem(Results->currentItem() ? Results->currentItem() : Results->topLevelItem(0));
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

TfrmFindObject* ShowFindObject(QWidget& Window, TZemMap& Map, const std::function<void()>& OnShown) {
    auto* Find = Window.findChild<TfrmFindObject*>(QString(), Qt::FindDirectChildrenOnly);
    if (!Find) {
        Find = new TfrmFindObject(Map, &Window);
        Find->OnShown = OnShown;
        if (auto* Main = qobject_cast<TfrmMain*>(&Window))
            QObject::connect(Main, &TfrmMain::documentChanged, Find, &TfrmFindObject::DocumentChanged);
    }
    Find->show();
    Find->raise();
    Find->activateWindow();
    return Find;
}

} // namespace zem
