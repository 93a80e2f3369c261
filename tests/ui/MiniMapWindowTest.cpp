// The mini-map window over a map with a headless host: pointer handling moves the main view, and the
// drawn cursors the map asks for.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemCursors.h"
#include "ui/ZemMiniMapWidget.h"
#include "ui/ZemMiniMapWindow.h"

#include <QAction>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <memory>

using namespace zem;

class MiniMapWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<HeadlessHost> FHost;
    std::unique_ptr<TZemMap> FMap;
    std::unique_ptr<TfrmMiniMap> FWindow;

    TZemMiniMap& Mini() { return FWindow->MiniMapWidget()->MiniMap(); }
    QPointF ViewCentre() const {
        return {FMap->View.LeftTop.X + FMap->View.ViewWidthHeight.X / 2.0,
                FMap->View.LeftTop.Y + FMap->View.ViewWidthHeight.Y / 2.0};
    }
    // World size of one mini-map pixel: how far a jump may miss.
    double Pixel() const {
        const TRect& A = FWindow->MiniMapWidget()->MiniMap().FittedArea;
        return FMap->View.GlobalWidthHeight.X / double(A.Right - A.Left) + 1e-3;
    }

private slots:
    void init() {
        FHost = std::make_unique<HeadlessHost>(400, 300);
        FMap = std::make_unique<TZemMap>(*FHost);
        TZemObject T;
        T.Kind = otPolygon;
        T.Brush.Style = 0;
        T.Brush.Color = RGBColor(255, 255, 0);
        for (auto [X, Y] : {std::pair{0.f, 0.f}, {2000.f, 0.f}, {2000.f, 1000.f}, {0.f, 1000.f}})
            T.AddPoint(X, Y);
        FMap->AddObject(T);
        FMap->RecalcGlobalExtent();
        FWindow = std::make_unique<TfrmMiniMap>();
        FWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
        FWindow->Attach(*FMap);
    }
    void cleanup() {
        FWindow.reset(); // unlinks itself from the map
        FMap.reset();
        FHost.reset();
    }

    void windowAndLink() {
        QCOMPARE(FWindow->windowTitle(), QStringLiteral("Мини-карта"));
        QVERIFY(FWindow->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(FMap->MiniMap(), &Mini());
        QCOMPARE(FWindow->RefreshAction()->text(), QStringLiteral("Обновить"));
        const QImage Shown = FWindow->MiniMapWidget()->Picture();
        QCOMPARE(Shown.size(), FWindow->MiniMapWidget()->size());
        // Back colour outside the document area, the polygon's yellow brush inside it.
        const TRect& A = Mini().FittedArea;
        QVERIFY(A.Right > A.Left && A.Top > 1);
        QCOMPARE(Shown.pixelColor(1, 1), QColor(0, 128, 0));
        QCOMPARE(Shown.pixelColor(A.Right - 5, A.Bottom - 5), QColor(255, 255, 0));
    }

    void clickCentresMainViewOnThatPlace() {
        const TRect A = Mini().FittedArea;
        QTest::mouseClick(FWindow->MiniMapWidget(), Qt::LeftButton, {},
                          QPoint((A.Left + A.Right) / 2, (A.Top + A.Bottom) / 2));
        const QPointF Centre = ViewCentre();
        QVERIFY(qAbs(Centre.x() - (FMap->View.GlobalLeftTop.X + FMap->View.GlobalWidthHeight.X / 2)) <=
                Pixel());
        QVERIFY(qAbs(Centre.y() - (FMap->View.GlobalLeftTop.Y + FMap->View.GlobalWidthHeight.Y / 2)) <=
                Pixel());
        QVERIFY(!Mini().DragActive);
    }

    void dragFollowsUntilThePointerLeaves() {
        ZemMiniMapWidget* W = FWindow->MiniMapWidget();
        const TRect A = Mini().FittedArea;
        QTest::mousePress(W, Qt::LeftButton, {}, QPoint(A.Left + 10, A.Top + 10));
        QTest::mouseMove(W, QPoint(A.Left + 20, A.Top + 20));
        const QPointF Followed = ViewCentre();
        const double Expect = (20.0 / (A.Right - A.Left)) * FMap->View.GlobalWidthHeight.X;
        QVERIFY(qAbs(Followed.x() - Expect) <= Pixel());
        QTest::mouseMove(W, QPoint(W->width() + 5, A.Top + 20)); // off the control: the drag ends
        QTest::mouseMove(W, QPoint(A.Left + 40, A.Top + 40));
        QCOMPARE(ViewCentre(), Followed);
        QTest::mouseRelease(W, Qt::LeftButton, {}, QPoint(A.Left + 40, A.Top + 40));
        QCOMPARE(ViewCentre(), Followed);
    }

    void resizeAndRefreshRedrawTheDocumentSmall() {
        FMap->SetBackColor(RGBColor(0, 0, 255));
        FWindow->RefreshAction()->trigger();
        QCOMPARE(FWindow->MiniMapWidget()->Picture().pixelColor(1, 1), QColor(0, 0, 255));
        FWindow->resize(120, 260);
        QTRY_COMPARE(FWindow->MiniMapWidget()->Picture().size(), FWindow->MiniMapWidget()->size());
        QCOMPARE(Mini().Content.Width(), FWindow->MiniMapWidget()->width());
    }

    void aResizeWhileDrawingIsOffIsMadeGoodAfterwards() {
        ZemMiniMapWidget* W = FWindow->MiniMapWidget();
        FMap->SetAutoUpdate(false); // as while a map loads
        FWindow->resize(300, 200);
        QTRY_COMPARE(W->Picture().size(), W->size());
        FMap->SetAutoUpdate(true);
        const QImage Shown = W->Picture();
        FWindow->RefreshAction()->trigger();
        QCOMPARE(Shown, W->Picture());
    }

    void cursorsAreDrawnAndDistinct() {
        std::vector<QImage> Images;
        for (int N = 1; N <= 17; ++N) {
            const QCursor C = ZemCursor(N);
            QCOMPARE(C.shape(), Qt::BitmapCursor);
            const QImage I = C.pixmap().toImage();
            QVERIFY2(!I.isNull() && I.size() == QSize(32, 32), qPrintable(QString::number(N)));
            QVERIFY(C.hotSpot().x() >= 0 && C.hotSpot().x() < 32 && C.hotSpot().y() >= 0 &&
                    C.hotSpot().y() < 32);
            for (size_t K = 0; K < Images.size(); ++K)
                QVERIFY2(I != Images[K], qPrintable(QStringLiteral("%1 = %2").arg(N).arg(K + 1)));
            Images.push_back(I);
        }
        QCOMPARE(ZemCursor(crSizeNS).shape(), Qt::SizeVerCursor);
        QCOMPARE(ZemCursor(crSizeWE).shape(), Qt::SizeHorCursor);
        QCOMPARE(ZemCursor(0).shape(), Qt::ArrowCursor);
        QCOMPARE(ZemCursor(99).shape(), Qt::ArrowCursor);
        const TZemCursorTable Table;
        QCOMPARE(Table[crHand].pixmap().toImage(), ZemCursor(crHand).pixmap().toImage());
        QCOMPARE(Table[crSizeNWSE].shape(), Qt::SizeFDiagCursor);
        // The edge arrows point at their edge: the hot spot of the top-left one is near that corner.
        QVERIFY(ZemCursor(crEdgeTopLeft).hotSpot().x() < 10 && ZemCursor(crEdgeTopLeft).hotSpot().y() < 10);
        QVERIFY(ZemCursor(crEdgeRight).hotSpot().x() > 24);
    }
};

QTEST_MAIN(MiniMapWindowTest)
#include "MiniMapWindowTest.moc"
