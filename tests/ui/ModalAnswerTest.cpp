// The helper that answers modal windows in the window tests: an answer lives only as long as the test
// keeps it, so one whose window never opened cannot answer a later window.
#include "ModalAnswer.h"

#include <QDialog>
#include <QtTest>

class ModalAnswerTest : public QObject {
    Q_OBJECT

private slots:
    void anAnswerEndsWithItsScope() {
        bool Stale = false;
        {
            const auto Gone = OnNextModal<QDialog>([](QDialog* D) { D->done(1); }, Stale);
            QVERIFY(Gone.Armed());
            QTest::qWait(60); // polls with no window up
        }
        bool Seen = false;
        QDialog Later;
        const auto Mine = OnNextModal<QDialog>(
            [](QDialog* D) {
                QTest::qWait(60); // the stale answer, were it still polling, would take the window now
                D->done(7);
            },
            Seen);
        QCOMPARE(Later.exec(), 7);
        QVERIFY(Seen);
        QVERIFY(!Stale);
        QVERIFY(!Mine.Armed());
    }

    void anAnswerKeptOutsideAStepWaitsForItsWindow() {
        bool Seen = false;
        TModalAnswer Kept;
        QVERIFY(!Kept.Armed());
        Kept = OnNextModal<QDialog>([](QDialog* D) { D->done(3); }, Seen);
        QTest::qWait(60);
        QVERIFY(Kept.Armed());
        QDialog D;
        QCOMPARE(D.exec(), 3);
        QVERIFY(Seen);
    }
};

QTEST_MAIN(ModalAnswerTest)
#include "ModalAnswerTest.moc"
