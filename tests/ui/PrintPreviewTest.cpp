// Print preview, printing and PDF output of the sample city, driven through the main window's menu on
// the offscreen platform; PDFs are turned back into pictures with pdftoppm.
#include "TestWindow.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemCursors.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemPagePreview.h"
#include "ui/ZemPreviewWindow.h"
#include "ui/ZemPrintCommands.h"
#include "ui/ZemPrintMap.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include "ModalAnswer.h"
#include "WindowTestPoints.h"

#include <cmath>
#include <functional>

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

void ClickAction(TfrmZemPreview* W, const char* Name) {
    QAction* A = W->Action(Name);
    QVERIFY(A);
    auto* Bar = W->findChild<QToolBar*>(QStringLiteral("PreviewToolBar"));
    QTest::mouseClick(Bar->widgetForAction(A), Qt::LeftButton);
}

// The first page of a PDF as a picture at Dpi, or a null image.
QImage PdfPage(const QString& Pdf, int Dpi) {
    QProcess P;
    const QString Stem = Pdf + QStringLiteral(".page");
    P.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), Pdf, Stem});
    if (!P.waitForFinished(60000) || P.exitStatus() != QProcess::NormalExit || P.exitCode() != 0) {
        qWarning() << "pdftoppm" << Pdf << P.errorString() << P.readAllStandardError();
        return {};
    }
    return QImage(Stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool White(QRgb C) {
    return qRed(C) > 245 && qGreen(C) > 245 && qBlue(C) > 245;
}

// The mean colour of a rectangle of an image.
QColor Mean(const QImage& I, const QRect& R) {
    double Sum[3] = {};
    int N = 0;
    for (int Y = R.top(); Y <= R.bottom(); ++Y)
        for (int X = R.left(); X <= R.right(); ++X) {
            const QRgb C = I.pixel(X, Y);
            Sum[0] += qRed(C);
            Sum[1] += qGreen(C);
            Sum[2] += qBlue(C);
            ++N;
        }
    return QColor(int(Sum[0] / N), int(Sum[1] / N), int(Sum[2] / N));
}

int Distance(const QColor& A, const QColor& B) {
    return std::abs(A.red() - B.red()) + std::abs(A.green() - B.green()) + std::abs(A.blue() - B.blue());
}

// Checks a page picture (page pixels, the preview's margins 1, 1, 10, 10) against the page the preview
// composed: margins blank, the map where it should be.
void CheckPage(const QImage& Page, const QImage& Composed) {
    QVERIFY(!Page.isNull());
    const int W = Page.width(), H = Page.height();
    QVERIFY2(
        std::abs(W - Composed.width()) <= 2 && std::abs(H - Composed.height()) <= 2,
        qPrintable(
            QStringLiteral("%1x%2 vs %3x%4").arg(W).arg(H).arg(Composed.width()).arg(Composed.height())));
    for (int Y = 0; Y < H; ++Y)
        for (int X = W - 8; X < W; ++X)
            QVERIFY2(White(Page.pixel(X, Y)),
                     qPrintable(QStringLiteral("right margin at %1,%2").arg(X).arg(Y)));
    for (int X = 0; X < W; ++X)
        for (int Y = H - 8; Y < H; ++Y)
            QVERIFY2(White(Page.pixel(X, Y)),
                     qPrintable(QStringLiteral("bottom margin at %1,%2").arg(X).arg(Y)));
    // Blocks over the map: the same colours as the composed page, give or take the finer rendering.
    for (int BY = 0; BY < 4; ++BY)
        for (int BX = 0; BX < 4; ++BX) {
            const QRect R(20 + BX * (W - 60) / 4, 20 + BY * (H - 60) / 4, (W - 60) / 4, (H - 60) / 4);
            const int D = Distance(Mean(Page, R), Mean(Composed, R));
            QVERIFY2(D < 40, qPrintable(QStringLiteral("block %1,%2 differs by %3").arg(BX).arg(BY).arg(D)));
        }
}

// The map's last frame.
QImage Frame(const TZemMap& Map) {
    const TBitmap32& B = Map.BackBuffer;
    return QImage(reinterpret_cast<const uchar*>(B.Bits()), B.Width(), B.Height(), qsizetype(B.Width()) * 4,
                  QImage::Format_RGB32)
        .copy();
}

// The preview's recorded page as a picture of page pixels.
QImage RecordedPage(TZemPagePreview& P) {
    QImage I(P.PageSize().Width, P.PageSize().Height, QImage::Format_RGB32);
    I.fill(Qt::white);
    QPainter Painter(&I);
    Painter.drawPicture(0, 0, P.Page(0));
    return I;
}

} // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmMain> FWindow;
    QTemporaryDir FDir;

private slots:
    void initTestCase() {
        // The recent-files list goes to a test folder, not the user's settings.
        QStandardPaths::setTestModeEnabled(true);
    }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, kSample));
        QPrinter& Printer = TZemPrintSetup::Of(FWindow.get()).Printer();
        Printer.setPageSize(QPageSize(QPageSize::Letter));
        Printer.setPageOrientation(QPageLayout::Portrait);
    }
    void cleanup() { FWindow.reset(); }

    void theDefaultPageIsTiledFromTwoColumnsAndThreeRowsOfFrames() {
        HeadlessHost Host(600, 400);
        TZemMap Map(Host);
        Map.Resize(600, 400);
        TZemPagePreview Preview;
        Preview.MarginLeft = Preview.MarginTop = 1;
        Preview.MarginRight = Preview.MarginBottom = 10;
        QPrinter Letter(QPrinter::HighResolution);
        Letter.setPageSize(QPageSize(QPageSize::Letter));
        Preview.SetPrinter(&Letter);
        Preview.SetPageOrientation(TZemPageOrientation::poPortrait);
        QCOMPARE(Preview.PageSize(), (TZemPageSize{816, 1056}));
        const int Frames = Map.View.PaintCounter, Shown = Host.PresentCount;
        ComposeMapPreview(Map, Preview);
        QCOMPARE(Map.View.PaintCounter - Frames, 2 * 3 + 1); // six tiles, then the view's own frame
        QCOMPARE(Host.PresentCount - Shown, 1);
        QCOMPARE(Preview.PageCount(), 1);
        // The picture is 805 x 1045 at (1, 1): the map's background up to it, white beyond.
        const QImage Page = RecordedPage(Preview);
        const QRgb Back = Frame(Map).pixel(0, 0);
        QCOMPARE(Page.pixel(1, 1), Back);
        QCOMPARE(Page.pixel(805, 1045), Back);
        QVERIFY(White(Page.pixel(806, 1045)) && White(Page.pixel(805, 1046)) && White(Page.pixel(0, 0)));
    }

    void previewZoomsPagesAndTurnsThePage() {
        TZemMap& Map = FWindow->Map();
        const TXYPoint LeftTop = Map.View.LeftTop;
        const float Scale = Map.View.Scale;
        const QImage Screen = Frame(Map);
        bool Seen = false;
        const auto Answering = OnNextModal<TfrmZemPreview>(
            [&](TfrmZemPreview* W) {
                TZemPagePreview& P = *W->Preview();
                QCOMPARE(W->windowTitle(), QStringLiteral("Предпросмотр"));
                QVERIFY(W->isMaximized());
                QCOMPARE(P.PageCount(), 1);
                QCOMPARE(P.PageSize(), (TZemPageSize{816, 1056}));
                // The page on screen is named before any click, counting from 1.
                QCOMPARE(W->StatusPanel(0)->text(), QStringLiteral("Page 1 of 1"));
                QCOMPARE(W->StatusPanel(1)->text(), QStringLiteral("Magnification 100%"));
                QCOMPARE(W->ScaleCombo()->currentText(), QStringLiteral("Настоящий размер"));
                // The page starts with the view's top-left corner, one screen pixel per page pixel.
                const QImage Page = RecordedPage(P);
                for (const QPoint At :
                     {QPoint(0, 0), QPoint(100, 60),
                      QPoint(std::min(Screen.width(), 805) - 1, std::min(Screen.height(), 1045) - 1)})
                    QCOMPARE(Page.pixel(At + QPoint(1, 1)), Screen.pixel(At));
                QVERIFY(White(Page.pixel(815, 500)) && White(Page.pixel(400, 1055)));

                // A click on the page makes it current.
                QWidget* Desk = P.viewport();
                QCOMPARE(Desk->cursor().pixmap().toImage(), ZemCursor(crHand).pixmap().toImage());
                const TZemDeskRect R = P.Layout().PageRect(0);
                const QPoint OnPage(int(P.Layout().DeskOffsetX() + R.Left + 200 - P.Layout().ScrollX()), 120);
                QTest::mouseClick(Desk, Qt::LeftButton, {}, OnPage);
                QCOMPARE(W->StatusPanel(0)->text(), QStringLiteral("Page 1 of 1"));

                // The zoom list: two steps down is the whole page.
                W->ScaleCombo()->setFocus();
                QTest::keyClick(W->ScaleCombo(), Qt::Key_Down);
                QTest::keyClick(W->ScaleCombo(), Qt::Key_Down);
                QCOMPARE(W->ScaleCombo()->currentText(), QStringLiteral("Целая страница"));
                QVERIFY(P.Zoom() < 1.0);
                QVERIFY(P.Layout().ScaledHeight() <= P.viewport()->height());
                QCOMPARE(W->StatusPanel(1)->text(),
                         QStringLiteral("Magnification %1%").arg(std::lround(P.Zoom() * 100)));

                // Zoom in by clicks: never 5.
                ClickAction(W, "actZoomIn");
                QCOMPARE(P.MouseMode(), TZemPreviewMouse::pmZoomIn);
                QCOMPARE(Desk->cursor().pixmap().toImage(), ZemCursor(crZoomIn).pixmap().toImage());
                for (int i = 0; i < 60; ++i) {
                    const TZemDeskRect Now = P.Layout().PageRect(0);
                    const QPoint Centre(int(std::clamp<std::int64_t>(P.Layout().DeskOffsetX() + Now.Left +
                                                                         20 - P.Layout().ScrollX(),
                                                                     0, Desk->width() - 1)),
                                        int(std::clamp<std::int64_t>(Now.Top + 20 - P.Layout().ScrollY(), 0,
                                                                     Desk->height() - 1)));
                    QTest::mouseClick(Desk, Qt::LeftButton, {}, Centre);
                }
                QVERIFY(P.Zoom() < 5.0 && P.Zoom() > 4.5);
                QCOMPARE(W->StatusPanel(1)->text(),
                         QStringLiteral("Magnification %1%").arg(std::lround(P.Zoom() * 100)));
                // ... and out: never 0.1.
                ClickAction(W, "actZoomOut");
                QCOMPARE(Desk->cursor().pixmap().toImage(), ZemCursor(crZoomOut).pixmap().toImage());
                for (int i = 0; i < 80; ++i)
                    QTest::mouseClick(Desk, Qt::LeftButton, {}, QPoint(40, 40));
                QVERIFY(P.Zoom() > 0.1 && P.Zoom() < 0.3);

                // Landscape: the page turns and is composed anew.
                ClickAction(W, "actLandscape");
                QCOMPARE(P.PageOrientation(), TZemPageOrientation::poLandscape);
                QCOMPARE(P.PageSize(), (TZemPageSize{1056, 816}));
                QCOMPARE(P.PageCount(), 1);
                const QImage Wide = RecordedPage(P);
                QCOMPARE(Wide.pixel(101, 61), Screen.pixel(100, 60));
                QVERIFY(!White(Wide.pixel(1000, 400)) || !White(Wide.pixel(1001, 401)));
                QVERIFY(White(Wide.pixel(1055, 400)));
                // Ctrl with the wheel zooms by a step; the wheel alone does not.
                const double Before = P.Zoom();
                auto Wheel = [&](Qt::KeyboardModifiers Keys) {
                    const QPointF At(100, 100);
                    QWheelEvent E(At, Desk->mapToGlobal(At), QPoint(), QPoint(0, 120), Qt::NoButton, Keys,
                                  Qt::NoScrollPhase, false);
                    QApplication::sendEvent(Desk, &E);
                };
                Wheel(Qt::NoModifier);
                QCOMPARE(P.Zoom(), Before);
                Wheel(Qt::ControlModifier);
                QVERIFY(std::abs(P.Zoom() - (Before + 0.1)) < 1e-9);
                QTest::mouseClick(W->CloseButton(), Qt::LeftButton);
            },
            Seen);
        FWindow->findChild<QAction*>(QStringLiteral("actPrintPreview"))->trigger();
        QVERIFY(Seen);
        // The view is as it was, and the window shows it again.
        QCOMPARE(Map.View.LeftTop, LeftTop);
        QCOMPARE(Map.View.Scale, Scale);
        QVERIFY(!Map.View.Printing);
        QCOMPARE(Frame(Map), Screen);
    }

    void thePageLeavesOutSelectionHandlesAndConstruction() {
        TZemMap& Map = FWindow->Map();
        const QImage Plain = Frame(Map);
        // A house selected with a click, then a rectangle begun beside it and following the pointer.
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QWidget* View = FWindow->MapWidget();
        QTest::mouseClick(View, Qt::LeftButton, {}, At);
        QCOMPARE(Map.CurrentObject(), ID);
        FWindow->findChild<QAction*>(QStringLiteral("RectangleB"))->trigger();
        QTest::mouseClick(View, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseMove(View, QPoint(View->width() / 2, View->height() / 2));
        QTRY_VERIFY(Map.Edit.Creating);
        const QImage Editing = Frame(Map);
        QVERIFY(Editing != Plain);
        bool Seen = false;
        const auto Answering = OnNextModal<TfrmZemPreview>(
            [&](TfrmZemPreview* W) {
                const QImage Page = RecordedPage(*W->Preview());
                const int Width = std::min(Plain.width(), 805), Height = std::min(Plain.height(), 1045);
                int Differ = 0;
                for (int Y = 0; Y < Height; ++Y)
                    for (int X = 0; X < Width; ++X)
                        Differ += Page.pixel(X + 1, Y + 1) != Plain.pixel(X, Y);
                QCOMPARE(Differ, 0);
                W->reject();
            },
            Seen);
        FWindow->findChild<QAction*>(QStringLiteral("actPrintPreview"))->trigger();
        QVERIFY(Seen);
        QTest::keyClick(FWindow.get(), Qt::Key_Escape);
        Map.MarkSaved();
    }

    void printingToAPdfFileGivesTheSamePageSharper() {
        const QString Pdf = FDir.filePath(QStringLiteral("printed.pdf"));
        QPrinter& Printer = TZemPrintSetup::Of(FWindow.get()).Printer();
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(Pdf);
        bool Seen = false, Printed = false;
        QImage Composed;
        const auto Answering = OnNextModal<TfrmZemPreview>(
            [&](TfrmZemPreview* W) {
                Composed = RecordedPage(*W->Preview());
                const auto Printing = OnNextModal<QPrintDialog>(
                    [&](QPrintDialog* D) {
                        D->printer()->setOutputFileName(Pdf);
                        D->accept();
                    },
                    Printed);
                ClickAction(W, "actPrint");
                W->reject();
            },
            Seen);
        FWindow->findChild<QAction*>(QStringLiteral("actPrintPreview"))->trigger();
        QVERIFY(Seen && Printed);
        QVERIFY(QFileInfo(Pdf).size() > 1000);
        CheckPage(PdfPage(Pdf, 96), Composed);
    }

    void paperChosenInThePrintDialogGetsThePageComposedForIt() {
        const QString Pdf = FDir.filePath(QStringLiteral("a4.pdf"));
        QPrinter& Printer = TZemPrintSetup::Of(FWindow.get()).Printer();
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(Pdf);
        bool Seen = false, Printed = false;
        QImage Composed;
        TZemPageSize Page;
        const auto Answering = OnNextModal<TfrmZemPreview>(
            [&](TfrmZemPreview* W) {
                QCOMPARE(W->Preview()->PageSize(), (TZemPageSize{816, 1056})); // composed for Letter
                const auto Printing = OnNextModal<QPrintDialog>(
                    [&](QPrintDialog* D) {
                        D->printer()->setPageSize(QPageSize(QPageSize::A4));
                        D->printer()->setOutputFileName(Pdf);
                        D->accept();
                    },
                    Printed);
                ClickAction(W, "actPrint");
                // What was printed is what the preview shows now.
                Page = W->Preview()->PageSize();
                Composed = RecordedPage(*W->Preview());
                W->reject();
            },
            Seen);
        FWindow->findChild<QAction*>(QStringLiteral("actPrintPreview"))->trigger();
        QVERIFY(Seen && Printed);
        QVERIFY(std::abs(Page.Width - 794) <= 1 && std::abs(Page.Height - 1123) <= 1);
        // A4 at 96 dpi, the map not spread wider or taller than the page composed for it.
        CheckPage(PdfPage(Pdf, 96), Composed);
    }

    void printPdfCommandWritesThePageWithoutAWindow() {
        const QString Pdf = FDir.filePath(QStringLiteral("cli.pdf"));
        QProcess P;
        P.start(QStringLiteral(ZEM_APP_PATH), {QStringLiteral("--print-pdf"), Pdf, kSample});
        QVERIFY(P.waitForFinished(120000));
        QCOMPARE(P.exitCode(), 0);
        QFile F(Pdf);
        QVERIFY(F.open(QIODevice::ReadOnly));
        QCOMPARE(F.read(5), QByteArray("%PDF-"));
        const QImage Page = PdfPage(Pdf, 96);
        const QSizeF Paper = PrinterPaper(nullptr).size(QPageSize::Inch);
        QVERIFY(std::abs(Page.width() - Paper.width() * 96) < 2 &&
                std::abs(Page.height() - Paper.height() * 96) < 2);
        // The margins are blank and the map fills the rest (it has no white of its own at its corners).
        QVERIFY(White(Page.pixel(Page.width() - 3, Page.height() / 2)));
        QVERIFY(White(Page.pixel(Page.width() / 2, Page.height() - 3)));
        QVERIFY(!White(Page.pixel(5, 5)) || !White(Page.pixel(30, 30)));

        // Scaled to fit: the view's shape, centred.
        const QString Fit = FDir.filePath(QStringLiteral("fit.pdf"));
        P.start(QStringLiteral(ZEM_APP_PATH),
                {QStringLiteral("--print-pdf"), Fit, QStringLiteral("--fit"), kSample});
        QVERIFY(P.waitForFinished(120000));
        QCOMPARE(P.exitCode(), 0);
        QVERIFY(!PdfPage(Fit, 48).isNull());
    }

    // Asked for, the usage is the answer: on standard output, exit code 0, without a display.
    void helpPrintsTheUsageAndSucceeds() {
        for (const QString& Ask : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            QProcess P;
            QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
            for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                Env.remove(QString::fromLatin1(Name));
            P.setProcessEnvironment(Env);
            P.start(QStringLiteral(ZEM_APP_PATH), {Ask});
            QVERIFY(P.waitForFinished(60000));
            QCOMPARE(P.exitCode(), 0);
            QVERIFY(QString::fromUtf8(P.readAllStandardOutput())
                        .startsWith(QStringLiteral("Использование: zemmap")));
        }
        QProcess P;
        P.start(QStringLiteral(ZEM_APP_PATH), {QStringLiteral("--frame")});
        QVERIFY(P.waitForFinished(60000));
        QCOMPARE(P.exitCode(), 2); // a wrong option is still wrong use
    }

    void printPdfCommandRefusesBadUse() {
        const QString Pdf = FDir.filePath(QStringLiteral("bad.pdf"));
        QProcess P;
        P.start(QStringLiteral(ZEM_APP_PATH), {QStringLiteral("--print-pdf")});
        QVERIFY(P.waitForFinished(60000));
        QCOMPARE(P.exitCode(), 2);
        P.start(QStringLiteral(ZEM_APP_PATH),
                {QStringLiteral("--print-pdf"), Pdf, QStringLiteral("--frame"), kSample});
        QVERIFY(P.waitForFinished(60000));
        QCOMPARE(P.exitCode(), 2);
        const QString Junk = FDir.filePath(QStringLiteral("junk.mp"));
        QFile J(Junk);
        QVERIFY(J.open(QIODevice::WriteOnly));
        J.write("not a map at all");
        J.close();
        P.start(QStringLiteral(ZEM_APP_PATH), {QStringLiteral("--print-pdf"), Pdf, Junk});
        QVERIFY(P.waitForFinished(60000));
        QCOMPARE(P.exitCode(), 1);
        QVERIFY(!P.readAllStandardError().isEmpty());
        QVERIFY(!QFileInfo::exists(Pdf));
        // A folder that cannot be written: the message names the file, nothing is left behind.
        P.start(QStringLiteral(ZEM_APP_PATH),
                {QStringLiteral("--print-pdf"), FDir.filePath(QStringLiteral("no/such/dir/x.pdf")), kSample});
        QVERIFY(P.waitForFinished(60000));
        QCOMPARE(P.exitCode(), 1);
        QVERIFY(P.readAllStandardError().contains("x.pdf"));
    }

    void exportToPdfFromTheMenuAsksPaperAndFit() {
        const QString Pdf = FDir.filePath(QStringLiteral("export.pdf"));
        bool Asked = false, Named = false;
        TModalAnswer Naming; // the file dialog opens after the first one has closed
        const auto Answering = OnNextModal<TfrmPdfExport>(
            [&](TfrmPdfExport* D) {
                D->PaperBox()->setCurrentIndex(D->PaperBox()->findText(QPageSize(QPageSize::A5).name()));
                D->OrientationGroup()->button(1)->click();
                D->ModeGroup()->button(1)->click();
                Naming = OnNextModal<QFileDialog>(
                    [&](QFileDialog* F) {
                        // As a user would: go to the folder, wait for it to be listed, type the name.
                        F->setDirectory(FDir.path());
                        QTest::qWait(300);
                        auto* Name = F->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                        QVERIFY(Name);
                        Name->selectAll();
                        QTest::keyClicks(Name, QStringLiteral("export.pdf"));
                        QCOMPARE(F->selectedFiles().value(0), Pdf);
                        static_cast<QDialog*>(F)->accept(); // as "Сохранить" does
                    },
                    Named);
                D->accept();
            },
            Asked);
        FWindow->findChild<QAction*>(QStringLiteral("actExportPdf"))->trigger();
        QVERIFY(Asked && Named);
        QVERIFY2(QFileInfo::exists(Pdf), qPrintable(QDir(FDir.path()).entryList().join(' ')));
        const QImage Page = PdfPage(Pdf, 48);
        QVERIFY(!Page.isNull());
        // A5 landscape at 48 dpi: 8.27 x 5.83 inches.
        QVERIFY(std::abs(Page.width() - 397) <= 2 && std::abs(Page.height() - 280) <= 2);
        // The choices are remembered for the next export.
        const TZemPdfOptions& Kept = TZemPrintSetup::Of(FWindow.get()).Pdf;
        QVERIFY(Kept.Fit);
        QCOMPARE(Kept.Orientation, TZemPageOrientation::poLandscape);
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "PrintPreviewTest.moc"
