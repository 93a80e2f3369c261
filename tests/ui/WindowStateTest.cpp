// The main window keeps its word: undo mid-drag, menu checks that follow the map, the mini-map and
// transport items, the text dialog's memory and scale, the inspector's typing and the tools' hints.
#include "model/ZemMap.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemMiniMapWindow.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

// The middle of the first visible polygon big enough to press on, in widget pixels.
bool PolygonPoint(TfrmMain& W, std::int32_t& ID, QPoint& At) {
    TZemMap& M = W.Map();
    for (std::int32_t Candidate : M.View.VisibleList) {
        const TZemObject& O = M.ObjectByID(Candidate);
        if (O.Kind != otPolygon || O.PointCount() < 3 || O.Lock)
            continue;
        const TPoint a = M.WorldToScreen(O.LeftTop), b = M.WorldToScreen(O.RightBottom);
        if (std::abs(b.X - a.X) < 12 || std::abs(b.Y - a.Y) < 12)
            continue;
        const TXYPoint C{(O.LeftTop.X + O.RightBottom.X) / 2, (O.LeftTop.Y + O.RightBottom.Y) / 2};
        QPolygonF Outline;
        for (std::int32_t i = 0; i < O.PointCount(); ++i)
            Outline << QPointF(O.Point(i).X, O.Point(i).Y);
        if (!Outline.containsPoint(QPointF(C.X, C.Y), Qt::OddEvenFill))
            continue;
        const TPoint S = M.WorldToScreen(C);
        const double R = W.MapWidget()->PixelRatio();
        ID = Candidate;
        At = QPoint(static_cast<int>(S.X / R), static_cast<int>(S.Y / R));
        if (W.MapWidget()->rect().adjusted(40, 40, -40, -40).contains(At))
            return true;
    }
    return false;
}

} // namespace

class WindowStateTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    QAction* Action(const char* Name) { return FWindow->findChild<QAction*>(QString::fromLatin1(Name)); }
    void Key(int Key, Qt::KeyboardModifiers Modifiers = Qt::ControlModifier) {
        QTest::keyClick(FWindow.get(), static_cast<Qt::Key>(Key), Modifiers);
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap")).clear();
    }
    void init() {
        FWindow = std::make_unique<TfrmMain>();
        FWindow->resize(1200, 800);
        FWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
        QVERIFY(FWindow->OpenMap(kSample));
        FWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    }
    void cleanup() {
        FWindow->Map().MarkSaved();
        FWindow.reset();
    }

    void undoInTheMiddleOfADragEndsIt() {
        TZemMap& M = FWindow->Map();
        // Something to undo first, so that the window's "Отменить" is enabled and takes Ctrl+Z.
        Action("actShowGrid")->trigger();
        QVERIFY(Action("actUndo")->isEnabled());
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(PolygonPoint(*FWindow, ID, At));
        const TXYPoint Start = M.ObjectByID(ID).Point(0);
        QWidget* W = FWindow->MapWidget();
        QTest::mouseClick(W, Qt::LeftButton, {}, At);
        QTest::mousePress(W, Qt::LeftButton, {}, At);
        QTest::mouseMove(W, At + QPoint(15, 10));
        QVERIFY(M.ObjectByID(ID).Point(0).X != Start.X);
        Key(Qt::Key_Z); // the moved object goes back, and the drag is over
        QCOMPARE(M.ObjectByID(ID).Point(0).X, Start.X);
        QTest::mouseMove(W, At + QPoint(30, 20));
        QTest::mouseRelease(W, Qt::LeftButton, {}, At + QPoint(30, 20));
        QCOMPARE(M.ObjectByID(ID).Point(0).X, Start.X);
        QCOMPARE(M.ObjectByID(ID).Point(0).Y, Start.Y);
        // Redo mid-drag ends it the same way: the redone move stays where it was.
        QVERIFY(Action("actRedo")->isEnabled());
        QTest::mousePress(W, Qt::LeftButton, {}, At);
        QTest::mouseMove(W, At + QPoint(5, 5));
        Key(Qt::Key_Y);
        const TXYPoint Redone = M.ObjectByID(ID).Point(0);
        QTest::mouseMove(W, At + QPoint(40, 40));
        QTest::mouseRelease(W, Qt::LeftButton, {}, At + QPoint(40, 40));
        QCOMPARE(M.ObjectByID(ID).Point(0).X, Redone.X);
        while (M.CanUndo())
            Key(Qt::Key_Z);
        QCOMPARE(M.ObjectByID(ID).Point(0).X, Start.X);
        QCOMPARE(M.ObjectByID(ID).Point(0).Y, Start.Y);
        QVERIFY(!M.Modified());
        QVERIFY(!FWindow->windowTitle().endsWith(QStringLiteral("*")));
    }
};

QTEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
