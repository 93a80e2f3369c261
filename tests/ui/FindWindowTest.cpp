// "Поиск объекта" on the sample city, used as a person would: Ctrl+F in the main window, the street's name
// typed, a house chosen from the list with the keyboard.
#include "TestWindow.h"
#include "model/ZemMap.h"
#include "ui/ZemFindWindow.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemObjectPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

void Type(QWidget* Into, const QString& Text) {
    for (QChar C : Text)
        QTest::sendKeyEvent(QTest::Click, Into, Qt::Key_unknown, QString(C), {});
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
        QCOMPARE(M.View.Scale, Scale);
        const TZemObject& O = M.ObjectByID(ID);
        const float CX = M.View.LeftTop.X + M.View.ViewWidthHeight.X / 2;
        const float CY = M.View.LeftTop.Y + M.View.ViewWidthHeight.Y / 2;
        QVERIFY(std::abs(CX - (O.LeftTop.X + O.RightBottom.X) / 2) < 0.5f);
        QVERIFY(std::abs(CY - (O.LeftTop.Y + O.RightBottom.Y) / 2) < 0.5f);
        // The inspector shows the object, and the object is drawn in the view.
        QVERIFY(FWindow->ObjectPage()->isEnabled());
        QVERIFY(M.View.VisibleList.Contains(ID));

        // Escape hides the window; Ctrl+F brings it back with the last query.
        QTest::keyClick(Find, Qt::Key_Escape);
        QVERIFY(!Find->isVisible());
        QCOMPARE(OpenFind(), Find);
        QCOMPARE(Find->QueryEdit->text(), QStringLiteral("Покровка"));
        QVERIFY(Find->Results->topLevelItemCount() > 0);
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
};

QTEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"
