// What the window shows right after opening a map: the map undistorted at the scale the box shows, and,
// for a file that cannot be read, the map behind the error box with the progress gone.
#include "TestWindow.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace zem;

namespace {

// Runs Look on the next message box that opens, then presses its first button.
void OnNextMessage(std::function<void(QMessageBox&)> Look) {
    auto* Poll = new QTimer;
    QObject::connect(Poll, &QTimer::timeout, [Poll, Look = std::move(Look)] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!Box)
            return;
        Poll->deleteLater();
        Look(*Box);
        Box->buttons().constFirst()->click();
    });
    Poll->start(20);
}

// Width and height of the box of pixels of colour C (0xRRGGBB) in Image.
QSize ExtentOf(const QImage& Image, QRgb C) {
    QRect Box;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if ((Image.pixel(X, Y) & 0xFFFFFF) == C)
                Box |= QRect(X, Y, 1, 1);
    return Box.size();
}

// Writes a map with a red 100 x 100 square at (20, 20), saved at 100 % from a 400 x 400 control;
// Damaged flips a byte of its frame.
void WriteSquareMap(const QString& Name, bool Damaged) {
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject O;
    O.Kind = otPolygon;
    O.Pen.Color = O.Brush.Color = RGBColor(255, 0, 0);
    O.Brush.Style = 0;
    O.AddPoints(std::vector<TXYPoint>{{20, 20}, {120, 20}, {120, 120}, {20, 120}});
    Map.AddObject(O);
    auto Bytes = Map.SaveToBytes();
    Bytes[Bytes.size() / 2] ^= Damaged ? 0x40 : 0;
    QFile F(Name);
    QVERIFY(F.open(QIODevice::WriteOnly));
    F.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<qint64>(Bytes.size()));
}

} // namespace

class OpenViewTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir;

private slots:
    void initTestCase() {
        testui::UseTestSettings();
        QVERIFY(FDir.isValid());
    }

    void aSquareIsSquareRightAfterOpeningAndAfterEveryResize() {
        const QString File = FDir.filePath(QStringLiteral("square.mp"));
        WriteSquareMap(File, false);
        // Each size, and each 200 pixels narrower, leaves the map room for the whole square beside the pages.
        for (QSize Size : {QSize(1269, 913), QSize(800, 900), QSize(1000, 500)}) {
            TfrmMain W;
            W.resize(Size);
            W.show();
            QVERIFY(QTest::qWaitForWindowExposed(&W));
            QVERIFY(W.OpenMap(File));
            QCOMPARE(W.ScaleBox()->currentText(), QStringLiteral("100.0000 %"));
            const double R = W.MapWidget()->PixelRatio();
            QSize Drawn = ExtentOf(W.MapWidget()->grab().toImage(), 0xFF0000);
            QVERIFY(std::abs(Drawn.width() - 100 * R) <= 1 && std::abs(Drawn.height() - 100 * R) <= 1);
            // A resize keeps the scale the box shows, and the square.
            W.resize(Size.width() - 200, Size.height() + 50);
            QTRY_COMPARE(W.Map().Width(), qRound(W.MapWidget()->width() * R));
            Drawn = ExtentOf(W.MapWidget()->grab().toImage(), 0xFF0000);
            QVERIFY(std::abs(Drawn.width() - Drawn.height()) <= 1);
            QCOMPARE(W.Map().View.Scale, 100.0f);
            // "Новый" keeps the scale and LeftTop in this panel, undistorted.
            W.NewMap();
            const TZemViewState& V = W.Map().View;
            QVERIFY(std::abs(V.ViewWidthHeight.X * V.Scale / 100 - W.Map().Width()) < 0.01);
            QVERIFY(std::abs(V.ViewWidthHeight.Y * V.Scale / 100 - W.Map().Height()) < 0.01);
        }
    }

    void theSampleOpensOnAViewThatTheCityFillsAndThatPans() {
        for (QSize Size : {QSize(1280, 800), QSize(1600, 1000), QSize(1920, 1080)}) {
            std::unique_ptr<TfrmMain> W;
            QVERIFY(testui::ShowMainWindow(W, testui::kSampleMap, Size));
            TZemMap& M = W->Map();
            QTRY_COMPARE(M.Width(), qRound(W->MapWidget()->width() * W->MapWidget()->PixelRatio()));
            // The city fills the window of a usual screen (a wider one sees a margin at the right); a wider
            // one still pans.
            const bool Fills = Size.width() <= 1600;
            float Right = 0, Bottom = 0;
            for (std::int32_t ID : M.Doc.Order) {
                Right = std::max(Right, M.ObjectByID(ID).RightBottom.X);
                Bottom = std::max(Bottom, M.ObjectByID(ID).RightBottom.Y);
            }
            const TZemViewState& V = M.View;
            QVERIFY2(!Fills || (V.LeftTop.X + V.ViewWidthHeight.X <= Right &&
                                V.LeftTop.Y + V.ViewWidthHeight.Y <= Bottom),
                     qPrintable(QStringLiteral("%1x%2").arg(Size.width()).arg(Size.height())));
            // Each quarter of the frame holds streets and houses, not only the background.
            const QImage Shown = W->MapWidget()->grab().toImage();
            const QRgb Back = qRgb(242, 239, 233) & 0xFFFFFF;
            for (int Q = 0; Fills && Q < 4; ++Q) {
                const QRect Part(Q % 2 * Shown.width() / 2, Q / 2 * Shown.height() / 2, Shown.width() / 2,
                                 Shown.height() / 2);
                int Drawn = 0;
                for (int Y = Part.top(); Y <= Part.bottom(); Y += 4)
                    for (int X = Part.left(); X <= Part.right(); X += 4)
                        Drawn += (Shown.pixel(X, Y) & 0xFFFFFF) != Back;
                QVERIFY2(Drawn * 16 * 5 > Part.width() * Part.height(), qPrintable(QString::number(Q)));
            }
            // A move with the button held pans.
            W->findChild<QAction*>(QStringLiteral("MapMove"))->trigger();
            QWidget* View = W->MapWidget();
            const QPoint Middle(View->width() / 2, View->height() / 2);
            const TXYPoint Before = V.LeftTop;
            QTest::mousePress(View, Qt::LeftButton, {}, Middle);
            QMouseEvent Move(QEvent::MouseMove, QPointF(Middle + QPoint(40, 20)),
                             View->mapToGlobal(QPointF(Middle + QPoint(40, 20))), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(View, &Move);
            QTest::mouseRelease(View, Qt::LeftButton, {}, Middle + QPoint(40, 20));
            QVERIFY(V.LeftTop.X < Before.X && V.LeftTop.Y < Before.Y);
        }
    }

    void aDamagedFileShowsTheMapBehindAnErrorBoxWithTheProgressGone() {
        const QString File = FDir.filePath(QStringLiteral("damaged.mp"));
        WriteSquareMap(File, true);
        TfrmMain W;
        W.resize(900, 700);
        auto* Progress = W.findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
        QVERIFY(Progress);
        bool Seen = false, ProgressShown = true;
        QMessageBox::Icon Icon = QMessageBox::NoIcon;
        QRgb Behind = 0;
        OnNextMessage([&](QMessageBox& Box) {
            Seen = true;
            Icon = Box.icon();
            ProgressShown = Progress->isVisible();
            // The window manager lays the window out while the box is up: the panel changes its size.
            W.resize(1000, 750);
            QTRY_COMPARE(W.Map().Width(), qRound(W.MapWidget()->width() * W.MapWidget()->PixelRatio()));
            const QImage Shown = W.MapWidget()->grab().toImage();
            Behind = Shown.pixel(Shown.width() / 2, Shown.height() / 2) & 0xFFFFFF;
        });
        // Opened as the program opens the file it is started with: once the window is up, before its
        // panel has been laid out (the panel gets its size while the box is shown).
        bool Opened = true;
        QTimer::singleShot(0, &W, [&] { Opened = W.OpenMap(File); });
        W.show();
        QTRY_VERIFY(Seen);
        QVERIFY(!Opened);
        QCOMPARE(Icon, QMessageBox::Critical);
        QVERIFY(!ProgressShown);
        QCOMPARE(Behind, qRgb(0, 128, 0) & 0xFFFFFF); // the empty map's background, not black

        // Every failure to open gets the same icon: here a folder, which is no map file.
        Icon = QMessageBox::NoIcon;
        OnNextMessage([&](QMessageBox& Box) { Icon = Box.icon(); });
        QVERIFY(!W.OpenMap(FDir.path()));
        QCOMPARE(Icon, QMessageBox::Critical);
    }
};

QTEST_MAIN(OpenViewTest)
#include "OpenViewTest.moc"
