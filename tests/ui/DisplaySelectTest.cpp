// "Управление отображением" and the route-name filter, reached as a user does: the "Дорожная сеть" page of
// the main window on the sample city, its buttons clicked and the dialog answered.
#include "TestWindow.h"
#include "base/ZemText.h"
#include "model/ZemMap.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemTransportSelect.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <set>

#include "ModalAnswer.h"

using namespace zem;

namespace {
const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");
}

class DisplaySelectTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    TZemMap& Map() { return FWindow->Map(); }
    // A button of the page by its text, or by its hint where two share a text.
    void Press(const QString& Text) {
        for (QToolButton* B : FWindow->NetworkPage()->findChildren<QToolButton*>())
            if (B->text() == Text || B->toolTip() == Text)
                return B->click();
        QFAIL(qPrintable(QStringLiteral("no button ") + Text));
    }
    // The kinds and the names of the segments drawn now.
    std::set<std::int32_t> ShownKinds() {
        std::set<std::int32_t> Kinds;
        for (std::int32_t ID : Map().View.VisibleList)
            if (Map().ObjectByID(ID).Kind == otRoadCrossLine)
                Kinds.insert(Map().ObjectByID(ID).TransportType());
        return Kinds;
    }
    std::set<ZemString> ShownNames() {
        std::set<ZemString> Names;
        for (std::int32_t ID : Map().View.VisibleList)
            if (Map().ObjectByID(ID).Kind == otRoadCrossLine)
                Names.insert(Map().ObjectByID(ID).Text());
        return Names;
    }
    // Opens "Управление отображением" from the page; Answer works the dialog.
    void Choose(const std::function<void(TfrmZemTransportEditSelect&)>& Answer) {
        bool Seen = false;
        const auto Answering = OnNextModal<TfrmZemTransportEditSelect>(
            [Answer](TfrmZemTransportEditSelect* D) { Answer(*D); }, Seen);
        Press(QStringLiteral("Выбрать транспорт\nотображения"));
        QVERIFY(Seen);
    }
    static void Click(QDialog& D, const QString& Text) {
        for (QPushButton* B : D.findChildren<QPushButton*>())
            if (B->text() == Text)
                return B->click();
        QFAIL(qPrintable(QStringLiteral("no button ") + Text));
    }

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, kSample, QSize()));
        QVERIFY(testui::Activate(FWindow.get()));
        // The whole city with its network.
        const TZemViewState& V = Map().View;
        Map().SetView(
            {V.GlobalLeftTop.X + V.GlobalWidthHeight.X / 2, V.GlobalLeftTop.Y + V.GlobalWidthHeight.Y / 2},
            5);
        QTest::keyClick(FWindow.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(Map().Net.ShowTransportNet);
        FWindow->Pages()->setCurrentWidget(FWindow->NetworkPage());
    }
    void cleanup() { FWindow.reset(); }

    void kindsChosenInTheDialogAreDrawn() {
        const std::set<std::int32_t> All = ShownKinds();
        QVERIFY(All.contains(5) && All.contains(0) && All.size() >= 4);
        Choose([](TfrmZemTransportEditSelect& D) {
            QCOMPARE(D.windowTitle(), QStringLiteral("Управление отображением"));
            QListWidget* List = D.TransportListBox();
            QCOMPARE(List->count(), 6);
            QCOMPARE(List->item(5)->text(), QStringLiteral("Трамвай"));
            for (int i = 0; i < List->count(); ++i)
                QCOMPARE(List->item(i)->checkState(), Qt::Checked);
            List->item(5)->setCheckState(Qt::Unchecked); // no trams
            Click(D, QStringLiteral("ОК"));
        });
        std::set<std::int32_t> Want = All;
        Want.erase(5);
        QCOMPARE(ShownKinds(), Want);
        // Reopened, the trams stand unchecked; inverted and cancelled, nothing changes.
        Choose([](TfrmZemTransportEditSelect& D) {
            QCOMPARE(D.TransportListBox()->item(5)->checkState(), Qt::Unchecked);
            Click(D, QStringLiteral("Обратить"));
            QCOMPARE(D.TransportListBox()->item(5)->checkState(), Qt::Checked);
            QCOMPARE(D.TransportListBox()->item(0)->checkState(), Qt::Unchecked);
            Click(D, QStringLiteral("Отмена"));
        });
        QCOMPARE(ShownKinds(), Want);
        // Only the trams now.
        Choose([](TfrmZemTransportEditSelect& D) {
            Click(D, QStringLiteral("Ни одного"));
            D.TransportListBox()->item(5)->setCheckState(Qt::Checked);
            Click(D, QStringLiteral("ОК"));
        });
        QCOMPARE(ShownKinds(), std::set<std::int32_t>{5});
    }

    void routeNameFilterShowsOneRoute() {
        Choose([](TfrmZemTransportEditSelect& D) {
            Click(D, QStringLiteral("Ни одного"));
            D.TransportListBox()->item(2)->setCheckState(Qt::Checked); // trolleybuses: routes 13 and 15
            Click(D, QStringLiteral("ОК"));
        });
        Press(QStringLiteral("Обновить"));
        auto* Names =
            FWindow->NetworkPage()->findChild<QComboBox*>(QStringLiteral("ComboBoxVisibleTransport"));
        QCOMPARE(Names->count(), 2);
        QCOMPARE(ShownNames(), (std::set<ZemString>{"13", "15"}));
        Names->setCurrentIndex(Names->findText(QStringLiteral("13")));
        Press(QStringLiteral("Показывать только этот маршрут")); // its "Установить"
        QCOMPARE(ShownNames(), std::set<ZemString>{"13"});
        Press(QStringLiteral("X"));
        QCOMPARE(ShownNames(), (std::set<ZemString>{"13", "15"}));
    }
};

QTEST_MAIN(DisplaySelectTest)
#include "DisplaySelectTest.moc"
