// "Поиск объекта" on the sample city, used as a person would: Ctrl+F in the main window, the street's name
// typed, a house chosen from the list with the keyboard; an open list follows the map's changes.
#include "TestWindow.h"
#include "address/ZemAddress.h"
#include "model/ZemMap.h"
#include "ui/ZemFindWindow.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemObjectPage.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <map>
#include <memory>

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

void Type(QWidget* Into, const QString& Text) {
    for (QChar C : Text)
        QTest::sendKeyEvent(QTest::Click, Into, Qt::Key_unknown, QString(C), {});
}

QList<std::int32_t> ListedIDs(const TfrmFindObject* Find) {
    QList<std::int32_t> IDs;
    for (int i = 0; i < Find->Results->topLevelItemCount(); ++i)
        IDs.push_back(Find->Results->topLevelItem(i)->data(0, TfrmFindObject::kIDRole).toInt());
    return IDs;
}

QTreeWidgetItem* RowWhere(QTreeWidget* List, int Column, const QString& Text) {
    for (int i = 0; i < List->topLevelItemCount(); ++i)
        if (List->topLevelItem(i)->text(Column) == Text)
            return List->topLevelItem(i);
    return nullptr;
}

} // namespace

class FindWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    TfrmFindObject* OpenFind() {
        FWindow->activateWindow();
        if (!QTest::qWaitForWindowActive(FWindow.get()))
            return nullptr;
        QTest::keyClick(FWindow.get(), Qt::Key_F, Qt::ControlModifier);
        auto* Find = FWindow->findChild<TfrmFindObject*>();
        return Find && Find->isVisible() && QTest::qWaitForWindowActive(Find) ? Find : nullptr;
    }

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() { QVERIFY(testui::ShowMainWindow(FWindow, kSample)); }
    void cleanup() { FWindow.reset(); }

    void findsPokrovkaAndShowsTheChosenHouse() {
        TZemMap& M = FWindow->Map();
        TfrmFindObject* Find = OpenFind();
        QVERIFY(Find);
        QCOMPARE(Find->windowTitle(), QStringLiteral("Поиск объекта"));
        QTRY_VERIFY(Find->QueryEdit->hasFocus());
        Type(Find->QueryEdit, QStringLiteral("Покровка"));
        // The list follows the typing by itself.
        QTRY_VERIFY(Find->Results->topLevelItemCount() > 0);
        QVERIFY(RowWhere(Find->Results, 1, QStringLiteral("улица Покровка")));
        int Houses = 0;
        QTreeWidgetItem* House = nullptr;
        for (int i = 0; i < Find->Results->topLevelItemCount(); ++i) {
            QTreeWidgetItem* Item = Find->Results->topLevelItem(i);
            if (Item->text(2).startsWith(QStringLiteral("улица Покровка, ")) &&
                Item->text(0) == QStringLiteral("Здание")) {
                ++Houses;
                House = Item;
            }
        }
        QVERIFY2(Houses >= 3, qPrintable(QString::number(Houses)));
        QVERIFY(Find->StatusLabel->text().startsWith(QStringLiteral("Найдено: ")));

        // The last house, reached with the keyboard and taken with Enter.
        const float Scale = M.View.Scale;
        const std::int32_t ID = House->data(0, TfrmFindObject::kIDRole).toInt();
        QTest::keyClick(Find->QueryEdit, Qt::Key_Down);
        QVERIFY(Find->Results->hasFocus());
        QTest::keyClick(Find->Results, Qt::Key_End);
        QCOMPARE(Find->Results->currentItem(),
                 Find->Results->topLevelItem(Find->Results->topLevelItemCount() - 1));
        Find->Results->setCurrentItem(House);
        QTest::keyClick(Find->Results, Qt::Key_Return);
        QCOMPARE(M.CurrentObject(), ID);
        // Zoomed in until the house is about 40 pixels across: no longer a dot at the sample's 25 %.
        const TZemObject& O = M.ObjectByID(ID);
        const float Across = std::max(O.RightBottom.X - O.LeftTop.X, O.RightBottom.Y - O.LeftTop.Y);
        QVERIFY(M.View.Scale > Scale);
        const float Pixels = Across * M.View.Scale / 100;
        QVERIFY2(Pixels >= 40 && Pixels < 40 + Across / 100, qPrintable(QString::number(M.View.Scale)));
        const float CX = M.View.LeftTop.X + M.View.ViewWidthHeight.X / 2;
        const float CY = M.View.LeftTop.Y + M.View.ViewWidthHeight.Y / 2;
        QVERIFY(std::abs(CX - (O.LeftTop.X + O.RightBottom.X) / 2) < 0.5f);
        QVERIFY(std::abs(CY - (O.LeftTop.Y + O.RightBottom.Y) / 2) < 0.5f);
        // The inspector shows the object, and the object is drawn in the view.
        QVERIFY(FWindow->ObjectPage()->isEnabled());
        QVERIFY(M.View.VisibleList.Contains(ID));

        // Closer already: the scale stays.
        M.SetScale(M.View.Scale * 3);
        const float Closer = M.View.Scale;
        emit Find->Results->itemActivated(House, 0);
        QCOMPARE(M.View.Scale, Closer);

        // Escape hides the window; Ctrl+F brings it back with the last query.
        QTest::keyClick(Find, Qt::Key_Escape);
        QVERIFY(!Find->isVisible());
        QCOMPARE(OpenFind(), Find);
        QCOMPARE(Find->QueryEdit->text(), QStringLiteral("Покровка"));
        QVERIFY(Find->Results->topLevelItemCount() > 0);
    }

    // The building part after the number counts, numbers that start with a letter are found, and the
    // house asked for comes first.
    void theHouseAskedForComesFirst() {
        TZemMap& M = FWindow->Map();
        const char* const Numbers[] = {"22А с16", "22А с1", "22А с2", "22А", "в17", "вл.4"};
        std::map<QString, std::int32_t> House;
        std::int32_t Next = 0;
        for (const char* N : Numbers) {
            while (M.ObjectByID(M.Doc.Order[Next]).Kind != otPolygon)
                ++Next;
            const std::int32_t ID = M.Doc.Order[Next++];
            TAddress A;
            A.Street = FromUtf8("Тестовый проезд");
            A.Number = FromUtf8(N);
            M.SetAddress(ID, A);
            House[QString::fromUtf8(N)] = ID;
        }
        TfrmFindObject* Find = OpenFind();
        QVERIFY(Find);
        auto Ask = [&](const QString& Query) {
            Find->QueryEdit->clear();
            Type(Find->QueryEdit, Query);
            // The list follows the typing after a pause: the first hit changes, or the pause has passed.
            const QList<std::int32_t> Before = ListedIDs(Find);
            (void)QTest::qWaitFor([&] { return !ListedIDs(Find).isEmpty() && ListedIDs(Find) != Before; },
                                  1500);
            return ListedIDs(Find);
        };
        auto Order = [&](const QStringList& Want) {
            QList<std::int32_t> IDs;
            for (const QString& W : Want)
                IDs.push_back(House[W]);
            return IDs;
        };
        QCOMPARE(Ask(QStringLiteral("Тестовый 22А с2")).mid(0, 4),
                 Order({QStringLiteral("22А с2"), QStringLiteral("22А"), QStringLiteral("22А с1"),
                        QStringLiteral("22А с16")}));
        QCOMPARE(Ask(QStringLiteral("Тестовый 22а")).mid(0, 4),
                 Order({QStringLiteral("22А"), QStringLiteral("22А с1"), QStringLiteral("22А с2"),
                        QStringLiteral("22А с16")}));
        QCOMPARE(Ask(QStringLiteral("Тестовый в17")).front(), House[QStringLiteral("в17")]);
        QCOMPARE(Ask(QStringLiteral("Тестовый вл4")).front(), House[QStringLiteral("вл.4")]);
        QCOMPARE(Ask(QStringLiteral("Тестовый 17")).front(), House[QStringLiteral("в17")]);
    }

    void aDeletedHitIsDroppedFromTheList() {
        TZemMap& M = FWindow->Map();
        TfrmFindObject* Find = OpenFind();
        QVERIFY(Find);
        Type(Find->QueryEdit, QStringLiteral("Покровка 1"));
        QTest::keyClick(Find->QueryEdit, Qt::Key_Return); // searches at once, then shows the first hit
        QVERIFY(Find->Results->topLevelItemCount() > 0);
        const std::int32_t ID = Find->Results->topLevelItem(0)->data(0, TfrmFindObject::kIDRole).toInt();
        QCOMPARE(M.CurrentObject(), ID);
        M.DeleteObject(ID);
        emit Find->Results->itemActivated(Find->Results->topLevelItem(0), 0);
        QCOMPARE(M.CurrentObject(), -1);
        QVERIFY(!RowWhere(Find->Results, 3, QString::number(ID)));
        QCOMPARE(Find->StatusLabel->text(), QStringLiteral("Объект удалён с карты; список обновлён"));
    }

    void anOpenListFollowsDeletionUndoAndRedo() {
        TZemMap& M = FWindow->Map();
        TfrmFindObject* Find = OpenFind();
        QVERIFY(Find);
        Type(Find->QueryEdit, QStringLiteral("Покровка"));
        QTRY_VERIFY(Find->Results->topLevelItemCount() > 3);
        QTreeWidgetItem* House = nullptr;
        for (int i = 1; i < Find->Results->topLevelItemCount() && !House; ++i)
            if (Find->Results->topLevelItem(i)->text(0) == QStringLiteral("Здание"))
                House = Find->Results->topLevelItem(i);
        QVERIFY(House);
        const std::int32_t ID = House->data(0, TfrmFindObject::kIDRole).toInt();
        const QList<std::int32_t> Before = ListedIDs(Find);

        // Chosen with Enter, the house goes to the map, which takes the keyboard; Delete there deletes it.
        QTest::keyClick(Find->QueryEdit, Qt::Key_Down);
        Find->Results->setCurrentItem(House);
        QTest::keyClick(Find->Results, Qt::Key_Return);
        QCOMPARE(M.CurrentObject(), ID);
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow->MapWidget(), Qt::Key_Delete);
        QVERIFY(!M.ObjectExists(ID));
        QTRY_VERIFY(!RowWhere(Find->Results, 3, QString::number(ID)));
        QList<std::int32_t> Without = Before;
        Without.removeOne(ID);
        QCOMPARE(ListedIDs(Find), Without);
        QCOMPARE(Find->StatusLabel->text(), QStringLiteral("Найдено: %1").arg(Without.size()));

        // Undo brings the row back where it was.
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(M.ObjectExists(ID));
        QTRY_COMPARE(ListedIDs(Find), Before);

        // Another row chosen in the list stays chosen when redo deletes the house again, and the view,
        // centred on that row's object now, does not reorder the rows.
        QTreeWidgetItem* Other = Find->Results->topLevelItem(0);
        const std::int32_t OtherID = Other->data(0, TfrmFindObject::kIDRole).toInt();
        QVERIFY(OtherID != ID);
        Find->Results->setCurrentItem(Other);
        QCOMPARE(M.CurrentObject(), OtherID);
        QTest::keyClick(FWindow.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!M.ObjectExists(ID));
        QTRY_COMPARE(ListedIDs(Find), Without);
        QVERIFY(Find->Results->currentItem());
        QCOMPARE(Find->Results->currentItem()->data(0, TfrmFindObject::kIDRole).toInt(), OtherID);
    }

    void anOpenListFollowsTextEditsAndANewMap() {
        TZemMap& M = FWindow->Map();
        TfrmFindObject* Find = OpenFind();
        QVERIFY(Find);
        Type(Find->QueryEdit, QStringLiteral("Покровка"));
        QTRY_VERIFY(RowWhere(Find->Results, 1, QStringLiteral("улица Покровка")));
        QTreeWidgetItem* Label = RowWhere(Find->Results, 1, QStringLiteral("улица Покровка"));
        const std::int32_t ID = Label->data(0, TfrmFindObject::kIDRole).toInt();
        Find->Results->setCurrentItem(Label);
        QCOMPARE(M.CurrentObject(), ID);

        // The label's text typed over in the inspector: its row shows the new text.
        auto* Text = FWindow->ObjectPage()->findChild<QLineEdit*>(QStringLiteral("CText"));
        QVERIFY(Text && Text->isEnabled());
        QVERIFY(testui::Activate(FWindow.get()));
        Text->setFocus();
        QTest::keyClick(Text, Qt::Key_End);
        Type(Text, QStringLiteral(" 2"));
        QTRY_VERIFY(RowWhere(Find->Results, 1, QStringLiteral("улица Покровка 2")));
        QCOMPARE(RowWhere(Find->Results, 1, QStringLiteral("улица Покровка 2"))
                     ->data(0, TfrmFindObject::kIDRole)
                     .toInt(),
                 ID);

        // A new map has nothing of the old one to list.
        M.MarkSaved();
        FWindow->findChild<QAction*>(QStringLiteral("actNew"))->trigger();
        QCOMPARE(M.Count(), 0);
        QTRY_COMPARE(Find->Results->topLevelItemCount(), 0);
        QCOMPARE(Find->StatusLabel->text(), QStringLiteral("Ничего не найдено"));
    }
};

QTEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"
