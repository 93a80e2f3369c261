// A shape left half-drawn ends when the user leaves its tool, by Escape or by another tool's button:
// nothing is added, and its rubber band is gone from the map at once and stays gone as the pointer moves.
#include "TestWindow.h"
#include "model/ZemMap.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAction>
#include <QtTest>

#include <vector>

using namespace zem;

class ToolLeaveTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    QAction* Action(const char* Name) { return FWindow->findChild<QAction*>(QString::fromLatin1(Name)); }
    std::vector<TColor32> Frame() {
        const TBitmap32& B = FWindow->Map().BackBuffer;
        std::vector<TColor32> Pixels;
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int X = 0; X < B.Width(); ++X)
                Pixels.push_back(B.GetPixel(X, Y));
        return Pixels;
    }
    // The rectangle tool's first corner at From, the pointer then at To: the rubber band is drawn.
    void StartRectangle(QPoint From, QPoint To) {
        QWidget* W = FWindow->MapWidget();
        Action("RectangleB")->trigger();
        QTest::mouseClick(W, Qt::LeftButton, {}, From);
        QTest::mouseMove(W, To);
        QVERIFY(FWindow->Map().Edit.Creating);
    }

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, QString()));
        QVERIFY(testui::Activate(FWindow.get()));
    }
    void cleanup() {
        FWindow->Map().MarkSaved();
        FWindow.reset();
    }

    void escapeAndAnotherToolEndAHalfDrawnShape() {
        TZemMap& M = FWindow->Map();
        QWidget* W = FWindow->MapWidget();
        const QPoint From(150, 150), To(300, 260);
        Action("RectangleB")->trigger();
        QTest::mouseMove(W, To);
        const std::vector<TColor32> Clean = Frame();

        StartRectangle(From, To);
        QVERIFY(Frame() != Clean);
        // Escape, as the user types it into the window.
        QTest::keyClick(FWindow->windowHandle(), Qt::Key_Escape);
        QCOMPARE(M.CurrentTool(), tSelectObject);
        QVERIFY(Action("SelectObject")->isChecked());
        QVERIFY(!M.Edit.Creating);
        QCOMPARE(M.NewObject.PointCount(), 0);
        QVERIFY(Frame() == Clean);
        QTest::mouseMove(W, To + QPoint(20, 15));
        QTest::mouseMove(W, To);
        QVERIFY(Frame() == Clean);
        QTest::mouseClick(W, Qt::RightButton, {}, To);
        QCOMPARE(M.Count(), 0);

        // Another tool's button ends it too, without waiting for the pointer to move.
        StartRectangle(From, To);
        Action("LineB")->trigger();
        QVERIFY(!M.Edit.Creating);
        QVERIFY(Frame() == Clean);
        QCOMPARE(M.Count(), 0);

        // A shape finished as usual is still added once.
        StartRectangle(From, To);
        QTest::mouseClick(W, Qt::RightButton, {}, To);
        QCOMPARE(M.Count(), 1);
    }
};

QTEST_MAIN(ToolLeaveTest)
#include "ToolLeaveTest.moc"
