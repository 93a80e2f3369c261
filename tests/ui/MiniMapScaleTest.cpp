// The mini-map on a 2x screen: it draws at device pixels, shows them one to one, and takes the
// pointer in the same pixels.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemMiniMapWidget.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <memory>

using namespace zem;

class MiniMapScaleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<HeadlessHost> FHost;
    std::unique_ptr<TZemMap> FMap;
    std::unique_ptr<ZemMiniMapWidget> FWidget;

private slots:
    void init() {
        FHost = std::make_unique<HeadlessHost>(400, 300);
        FMap = std::make_unique<TZemMap>(*FHost);
        TZemObject T;
        T.Kind = otLine;
        T.Pen.Color = RGBColor(255, 255, 0); // the document area is framed in red
        T.AddPoint(0, 0);
        T.AddPoint(2000, 1000);
        FMap->AddObject(T);
        FMap->RecalcGlobalExtent();
        FWidget = std::make_unique<ZemMiniMapWidget>();
        FWidget->resize(150, 100);
        FWidget->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWidget.get()));
        FWidget->Attach(*FMap);
    }
    void cleanup() {
        FWidget.reset();
        FMap.reset();
        FHost.reset();
    }

    void drawsAtDevicePixels() {
        const double R = FWidget->devicePixelRatioF();
        QCOMPARE(R, 2.0);
        TZemMiniMap& Mini = FWidget->MiniMap();
        QCOMPARE(Mini.Width(), 300);
        QCOMPARE(Mini.Height(), 200);
        QTRY_COMPARE(FWidget->Picture().size(), QSize(300, 200));
        QCOMPARE(FWidget->Picture().devicePixelRatio(), 2.0);
        // What the screen shows is the picture, pixel for pixel: nothing was scaled up.
        const QImage Shown = FWidget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(Shown.size(), QSize(300, 200));
        const QImage Picture = FWidget->Picture().convertToFormat(QImage::Format_RGB32);
        int Differ = 0;
        for (int Y = 0; Y < 200; ++Y)
            for (int X = 0; X < 300; ++X)
                Differ += Shown.pixel(X, Y) != Picture.pixel(X, Y);
        QCOMPARE(Differ, 0);
        // The line is one device pixel wide: about one yellow pixel per column of the document area,
        // where drawing at widget pixels and scaling up would give two.
        const TRect A = Mini.FittedArea;
        int Yellow = 0;
        for (int Y = 0; Y < 200; ++Y)
            for (int X = 0; X < 300; ++X)
                Yellow += Picture.pixelColor(X, Y) == QColor(255, 255, 0);
        QVERIFY(Yellow >= (A.Right - A.Left) * 3 / 4); // the main view's frame hides a piece of it
        QVERIFY(Yellow <= (A.Right - A.Left) * 3 / 2);
    }

    void clickUsesDevicePixels() {
        const TRect A = FWidget->MiniMap().FittedArea;
        const QPoint Centre((A.Left + A.Right) / 4, (A.Top + A.Bottom) / 4); // widget pixels
        QTest::mouseClick(FWidget.get(), Qt::LeftButton, {}, Centre);
        const double CX = FMap->View.LeftTop.X + FMap->View.ViewWidthHeight.X / 2.0;
        const double CY = FMap->View.LeftTop.Y + FMap->View.ViewWidthHeight.Y / 2.0;
        const double Pixel = FMap->View.GlobalWidthHeight.X / double(A.Right - A.Left) * 2 + 1e-3;
        QVERIFY(qAbs(CX - (FMap->View.GlobalLeftTop.X + FMap->View.GlobalWidthHeight.X / 2)) <= Pixel);
        QVERIFY(qAbs(CY - (FMap->View.GlobalLeftTop.Y + FMap->View.GlobalWidthHeight.Y / 2)) <= Pixel);
    }
};

int main(int argc, char** argv) {
    // A 2x screen.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication App(argc, argv);
    MiniMapScaleTest Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "MiniMapScaleTest.moc"
