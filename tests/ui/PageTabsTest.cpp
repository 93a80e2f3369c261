// The side column's page titles: whole and readable in the main window at its usual sizes, on two
// lines while the column is narrow and on one when the user widens it.
#include "TestWindow.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemPageTabs.h"

#include <QSplitter>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace zem;

namespace {

// Every title reads whole: the tab holds each of its lines, and the tabs stay inside the bar.
bool TitlesWhole(const TZemPageTabBar& Bar, QString& Why) {
    for (int i = 0; i < Bar.count(); ++i) {
        const QString Shown = Bar.TwoLines() ? TwoLineTitle(Bar.tabText(i)) : Bar.tabText(i);
        const int Text = Bar.fontMetrics().size(Qt::TextShowMnemonic, Shown).width();
        const QRect Tab = Bar.tabRect(i);
        if (Tab.width() < Text || Tab.right() >= Bar.width()) {
            Why = QStringLiteral("%1: tab %2 wide at %3, text %4, bar %5")
                      .arg(Bar.tabText(i))
                      .arg(Tab.width())
                      .arg(Tab.x())
                      .arg(Text)
                      .arg(Bar.width());
            return false;
        }
    }
    return true;
}

} // namespace

class PageTabsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    TZemPageTabBar* Bar() const { return FWindow->Pages()->findChild<TZemPageTabBar*>(); }

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void cleanup() { FWindow.reset(); }

    void titlesBreakBetweenWords() {
        QCOMPARE(TwoLineTitle(QStringLiteral("Инспектор объектов")), QStringLiteral("Инспектор\nобъектов"));
        QCOMPARE(TwoLineTitle(QStringLiteral("Типы и адреса")), QStringLiteral("Типы и\nадреса"));
        QCOMPARE(TwoLineTitle(QStringLiteral("Найденный маршрут")), QStringLiteral("Найденный\nмаршрут"));
        QCOMPARE(TwoLineTitle(QStringLiteral("Мини-карта")), QStringLiteral("Мини-карта"));
        QCOMPARE(TwoLineTitle(QString()), QString());
    }

    void titlesReadWholeAtUsualSizes() {
        for (const QSize Size : {QSize(1200, 800), QSize(1024, 768), QSize(800, 600)}) {
            QVERIFY(testui::ShowMainWindow(FWindow, QString(), Size));
            TZemPageTabBar* Tabs = Bar();
            QVERIFY(Tabs);
            QCOMPARE(Tabs->count(), 4);
            const QStringList Titles = {QStringLiteral("Инспектор объектов"), QStringLiteral("Типы и адреса"),
                                        QStringLiteral("Дорожная сеть"), QStringLiteral("Найденный маршрут")};
            for (int i = 0; i < 4; ++i)
                QCOMPARE(Tabs->tabText(i), Titles[i]);
            // The column keeps its usual width, too narrow for the titles on one line.
            QTRY_VERIFY(Tabs->TwoLines());
            QVERIFY(FWindow->Pages()->width() < Tabs->TitlesWidth(false));
            QString Why;
            QTRY_VERIFY2(TitlesWhole(*Tabs, Why), qPrintable(Why));
        }
    }

    void aWidenedColumnShowsTitlesOnOneLine() {
        QVERIFY(testui::ShowMainWindow(FWindow, QString(), QSize(1400, 800)));
        TZemPageTabBar* Tabs = Bar();
        auto* Column = qobject_cast<QSplitter*>(FWindow->Pages()->parentWidget());
        QVERIFY(Column);
        const int Narrow = FWindow->Pages()->width();
        const int Height = Tabs->height();
        Column->setSizes({1400 - 700, 700});
        QTRY_VERIFY(!Tabs->TwoLines());
        QString Why;
        QTRY_VERIFY2(TitlesWhole(*Tabs, Why), qPrintable(Why));
        QVERIFY(Tabs->height() < Height); // one line of text is lower than two
        Column->setSizes({1400 - Narrow, Narrow});
        QTRY_VERIFY(Tabs->TwoLines());
        QTRY_COMPARE(Tabs->height(), Height);
        QTRY_VERIFY2(TitlesWhole(*Tabs, Why), qPrintable(Why));
    }
};

QTEST_MAIN(PageTabsTest)
#include "PageTabsTest.moc"
