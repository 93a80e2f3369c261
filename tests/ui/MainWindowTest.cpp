// The real main window on the offscreen platform, driven with the sample city.
#include "TestWindow.h"
#include "images/ZemImageFile.h"
#include "model/ZemMap.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemColorSwatch.h"
#include "ui/ZemFontDialog.h"
#include "ui/ZemKeys.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemMiniMapWidget.h"
#include "ui/ZemMiniMapWindow.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"
#include "view/ZemRaster.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ModalAnswer.h"
#include "WindowTestPoints.h"

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

// Clicks the button with this text on the next message box that opens; Seen tells whether one did.
void AnswerNextMessage(const QString& Button, bool& Seen) {
    auto* Poll = new QTimer;
    QObject::connect(Poll, &QTimer::timeout, [Poll, Button, &Seen] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!Box)
            return;
        Seen = true;
        for (QAbstractButton* B : Box->buttons())
            if (B->text() == Button)
                B->click();
        Poll->deleteLater();
    });
    Poll->start(20);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() { QVERIFY(testui::ShowMainWindow(FWindow, kSample)); }
    void cleanup() {
        // Nothing may ask on the way out.
        FWindow->Map().MarkSaved();
        FWindow.reset();
    }

    void opensTheSampleCity() {
        TZemMap& M = FWindow->Map();
        QVERIFY(M.Count() > 100);
        QVERIFY(
            FWindow->windowTitle().startsWith(QStringLiteral("Векторный редактор ZemMap [Карта города.mp]")));
        QVERIFY(FWindow->StatusPanel(1)->text().startsWith(QStringLiteral("Объектов = ")));
        QVERIFY(FWindow->StatusPanel(1)->text().endsWith(QStringLiteral("(%1)").arg(M.Count())));
        // The widget shows the back buffer as it stands, at the map's own size.
        QCOMPARE(M.Width(), qRound(FWindow->MapWidget()->width() * FWindow->MapWidget()->PixelRatio()));
        const QImage Shown = FWindow->MapWidget()->grab().toImage();
        const QPoint P(M.Width() / 3, M.Height() / 2);
        QCOMPARE(Shown.pixel(P) & 0xFFFFFFu, M.BackBuffer.ScanLine(P.y())[P.x()] & 0xFFFFFFu);
    }

    void scaleBoxAndToolBar() {
        TZemMap& M = FWindow->Map();
        QComboBox* Box = FWindow->ScaleBox();
        const int Item = Box->findText(QStringLiteral("200 %"));
        QVERIFY(Item >= 0);
        emit Box->textActivated(Box->itemText(Item));
        QCOMPARE(M.View.Scale, 200.0f);
        QVERIFY(Box->currentText().startsWith(QStringLiteral("200")));
        // A typed value that is no number is refused with a message and changes nothing.
        bool Seen = false;
        AnswerNextMessage(QStringLiteral("ОК"), Seen);
        emit Box->textActivated(QStringLiteral("много %"));
        QVERIFY(Seen);
        QCOMPARE(M.View.Scale, 200.0f);

        FWindow->findChild<QAction*>(QStringLiteral("MapMove"))->trigger();
        QCOMPARE(M.CurrentTool(), tMapMove);
        // Escape in the map comes back as a tool change, which the tool bar follows.
        M.OnChangeCurrentTool(M, tSelectObject);
        QVERIFY(FWindow->findChild<QAction*>(QStringLiteral("SelectObject"))->isChecked());
    }

    void aTypedScaleIsAppliedOrRefusedVisibly() {
        TZemMap& M = FWindow->Map();
        QLineEdit* Edit = FWindow->ScaleBox()->lineEdit();
        auto Type = [&](const QString& Text) {
            QTest::mouseClick(Edit, Qt::LeftButton);
            Edit->selectAll();
            QTest::keyClicks(Edit, Text);
            QTest::keyClick(Edit, Qt::Key_Return);
        };
        auto Shows = [&](float Scale) {
            QString Number = QString::number(static_cast<double>(Scale), 'f', 4);
            Number.replace(QLatin1Char('.'), QLocale().decimalPoint());
            return FWindow->ScaleBox()->currentText() == Number + QStringLiteral(" %");
        };
        Type(QStringLiteral("33"));
        QCOMPARE(M.View.Scale, 33.0f);
        QVERIFY(Shows(33.0f));
        // No item completes what is typed: "12" is 12 %, not 1200 %.
        Type(QStringLiteral("12"));
        QCOMPARE(M.View.Scale, 12.0f);
        Type(QStringLiteral("250,5 %"));
        QCOMPARE(M.View.Scale, 250.5f);
        // An item's text typed while that item is current still applies.
        FWindow->ScaleBox()->setCurrentIndex(FWindow->ScaleBox()->findText(QStringLiteral("200 %")));
        emit FWindow->ScaleBox()->textActivated(QStringLiteral("200 %"));
        Type(QStringLiteral("50"));
        QCOMPARE(M.View.Scale, 50.0f);
        Type(QStringLiteral("200 %"));
        QCOMPARE(M.View.Scale, 200.0f);
        // Outside the range: a message, the old scale kept and shown.
        for (const QString& Wrong : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("20000")}) {
            bool Seen = false;
            AnswerNextMessage(QStringLiteral("ОК"), Seen);
            Type(Wrong);
            QTRY_VERIFY(Seen);
            QCOMPARE(M.View.Scale, 200.0f);
            QVERIFY(Shows(200.0f));
        }
        // Typed and left without Enter: the box shows the real scale again.
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::mouseClick(Edit, Qt::LeftButton);
        Edit->selectAll();
        QTest::keyClicks(Edit, QStringLiteral("77"));
        QTRY_VERIFY(Edit->hasFocus());
        FWindow->MapWidget()->setFocus();
        QTRY_VERIFY(Shows(200.0f));
        QCOMPARE(M.View.Scale, 200.0f);
    }

    void theOptionsNetworkBoxShowsAndSetsTheNetworkDisplay() {
        TZemMap& M = FWindow->Map();
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_F11);
        TfrmOptions* Options = FWindow->Options();
        QTRY_VERIFY(Options->isVisible());
        QCheckBox* Box = Options->ShowTransportNetCheck;
        Options->PageControl->setCurrentWidget(Box->parentWidget());
        QAction* Menu = FWindow->findChild<QAction*>(QStringLiteral("actShowNet"));
        const bool Shown = M.Net.ShowTransportNet;
        QCOMPARE(Box->isChecked(), Shown);
        QTRY_VERIFY(Box->isVisible());
        // On its text, where a click ticks it.
        const QPoint OnText(12, Box->height() / 2);
        QTest::mouseClick(Box, Qt::LeftButton, {}, OnText);
        QCOMPARE(M.Net.ShowTransportNet, !Shown);
        QCOMPARE(Box->isChecked(), !Shown);
        QCOMPARE(Menu->isChecked(), !Shown);
        // Ctrl+T in the main window: the open options window follows.
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(M.Net.ShowTransportNet, Shown);
        QCOMPARE(Box->isChecked(), Shown);
        QTest::mouseClick(Box, Qt::LeftButton, {}, OnText);
        QCOMPARE(M.Net.ShowTransportNet, !Shown);
        Options->hide();
    }

    void saveAndReopenGiveTheSameDocument() {
        QTemporaryDir Dir;
        const QString File = Dir.filePath(QStringLiteral("копия.mp"));
        QVERIFY(FWindow->SaveMap(File));
        QVERIFY(FWindow->windowTitle().contains(QStringLiteral("[копия.mp]")));
        const std::string Saved = FWindow->Map().ObjectsText('.');
        FWindow->NewMap();
        QCOMPARE(FWindow->Map().Count(), 0);
        QVERIFY(FWindow->OpenMap(File));
        QCOMPARE(FWindow->Map().ObjectsText('.'), Saved);
        // A save that cannot be written says so and leaves the document modified-as-it-was.
        bool Seen = false;
        AnswerNextMessage(QStringLiteral("ОК"), Seen);
        QVERIFY(!FWindow->SaveMap(Dir.filePath(QStringLiteral("нет/такой/папки.mp"))));
        QVERIFY(Seen);
    }

    void miniMapClickCentresTheView() {
        TfrmMiniMap* Mini = FWindow->MiniMapWindow();
        QVERIFY(Mini);
        ZemMiniMapWidget* W = Mini->MiniMapWidget();
        TZemMap& M = FWindow->Map();
        const TRect A = W->MiniMap().FittedArea;
        QVERIFY(A.Right > A.Left);
        const TXYPoint Before = M.View.LeftTop;
        const QPoint Click((A.Left + A.Right) / 2 + 5, (A.Top + A.Bottom) / 2 + 5);
        QTest::mouseClick(W, Qt::LeftButton, {}, Click);
        QVERIFY(M.View.LeftTop.X != Before.X || M.View.LeftTop.Y != Before.Y);
    }

    void optionsChangeTheBackgroundAndCloseAsks() {
        TZemMap& M = FWindow->Map();
        QVERIFY(!M.Modified());
        const TColor Before = M.Doc.BackColor;
        FWindow->findChild<QAction*>(QStringLiteral("actOptions"))->trigger();
        TfrmOptions* Options = FWindow->Options();
        QVERIFY(Options->isVisible());
        Options->AskColor = [](TColor, const QString&) {
            return std::optional<TColor>(RGBColor(10, 20, 30));
        };
        QTest::mouseClick(Options->Shape1, Qt::LeftButton);
        QCOMPARE(M.Doc.BackColor, RGBColor(10, 20, 30));
        // The frame's corner shows the new background (no object is drawn at the very corner).
        QCOMPARE(M.BackBuffer.ScanLine(0)[0] & 0xFFFFFFu, 0x0A141Eu);
        QVERIFY(M.Modified());
        QVERIFY(FWindow->windowTitle().endsWith(QStringLiteral("*")));

        // Closing asks: "Отмена" keeps the window and the change, "Нет" lets it go.
        bool Seen = false;
        AnswerNextMessage(QStringLiteral("Отмена"), Seen);
        QVERIFY(!FWindow->close());
        QVERIFY(Seen);
        QVERIFY(FWindow->isVisible());
        Options->hide();
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(M.Doc.BackColor, Before);
        QVERIFY(!M.Modified());
        QTest::keyClick(FWindow.get(), Qt::Key_Y, Qt::ControlModifier);
        Seen = false;
        AnswerNextMessage(QStringLiteral("Нет"), Seen);
        QVERIFY(FWindow->close());
        QVERIFY(Seen);
    }

    void contextMenuFollowsThePointer() {
        TZemMap& M = FWindow->Map();
        ZemMapWidget* W = FWindow->MapWidget();
        M.Edit.CurrentObject = -1;
        M.OnMouseMove(M, 0, 30, 40);
        QVERIFY(!W->PopupMenu());
        M.Edit.CurrentObject = M.Doc.Order[0];
        M.OnMouseMove(M, 0, 30, 40);
        QCOMPARE(W->PopupMenu(), FWindow->ObjectMenu());
        // Over a vertex handle: the vertex commands, at the point remembered for them.
        M.Edit.Cursor = crMovePoint;
        M.OnMouseMove(M, 0, 31, 41);
        QCOMPARE(W->PopupMenu(), FWindow->VertexMenu());
        QCOMPARE(M.Edit.MenuPoint.X, 31);
        QCOMPARE(M.Edit.MenuPoint.Y, 41);
        FWindow->ChooseTool(tMapMove);
        M.OnMouseMove(M, 0, 31, 41);
        QVERIFY(!W->PopupMenu());
        QVERIFY(FWindow->StatusPanel(0)->text().startsWith(QStringLiteral("Курсор (")));

        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_2, Qt::AltModifier);
        QCOMPARE(M.Net.ConnectionKind, 1);
    }

    void backgroundImageAndRecentFiles() {
        QTemporaryDir Dir;
        TBitmap32 Picture(40, 30);
        Picture.Clear(ToColor32(RGBColor(200, 10, 10)));
        const QString Good = Dir.filePath(QStringLiteral("подложка.bmp"));
        SaveImageFile(QFile::encodeName(Good).toStdString(), Picture.View());
        QAction* Show = FWindow->findChild<QAction*>(QStringLiteral("actShowBackground"));
        QVERIFY(!Show->isEnabled());
        FWindow->Map().SetScale(50);
        QVERIFY(FWindow->LoadBackground(Good));
        QVERIFY(Show->isEnabled() && Show->isChecked());
        QCOMPARE(FWindow->Map().View.Scale, 100.0f); // one picture pixel is one screen pixel
        QCOMPARE(FWindow->Background()->Image.Width, 40);
        FWindow->findChild<QAction*>(QStringLiteral("actUnloadBackground"))->trigger();
        QVERIFY(!FWindow->Background() && !Show->isEnabled());

        // A file that is no picture says so and loads nothing.
        const QString Bad = Dir.filePath(QStringLiteral("не картинка.bmp"));
        QFile F(Bad);
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("BM not really");
        F.close();
        bool Seen = false;
        AnswerNextMessage(QStringLiteral("ОК"), Seen);
        QVERIFY(!FWindow->LoadBackground(Bad));
        QVERIFY(Seen && !FWindow->Background() && !Show->isEnabled());

        // The opened sample heads the recent files.
        auto* Recent = FWindow->findChild<QMenu*>(QStringLiteral("RecentMenu"));
        QVERIFY(Recent->isEnabled());
        QVERIFY(Recent->actions().constFirst()->text().endsWith(QStringLiteral("Карта города.mp")));
    }

    void keysTranslateToVirtualKeys() {
        QCOMPARE(VirtualKeyOf(Qt::Key_Escape, false), vk::Escape);
        QCOMPARE(VirtualKeyOf(Qt::Key_Z, false), vk::KeyZ);
        QCOMPARE(VirtualKeyOf(Qt::Key_Plus, true), vk::Add);
        QVERIFY(VirtualKeyOf(Qt::Key_Plus, false) != vk::Add); // only the keypad's plus zooms
        QCOMPARE(VirtualKeyOf(Qt::Key_F1, false), 112);
        QCOMPARE(ShiftStateOf(Qt::ControlModifier | Qt::ShiftModifier, Qt::LeftButton),
                 ssCtrl | ssShift | ssLeft);
    }

    void clickSelectsAndObjectPageEdits() {
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QCOMPARE(FWindow->Map().CurrentObject(), ID);
        auto* IDObj = FWindow->ObjectPage()->findChild<QLineEdit*>(QStringLiteral("IDObj"));
        QVERIFY(IDObj);
        QCOMPARE(IDObj->text(), QString::number(ID));

        // Pen width and colour through the inspector, each one undo step.
        TZemMap& M = FWindow->Map();
        auto* Width = FWindow->ObjectPage()->findChild<QSpinBox*>(QStringLiteral("PenWidthObj"));
        QVERIFY(Width && Width->isEnabled());
        Width->setValue(M.ObjectByID(ID).Pen.Width + 3);
        QCOMPARE(M.ObjectByID(ID).Pen.Width, Width->value());
        FWindow->ObjectPage()->SetColorAsker([](const QColor&, QColor& Chosen) {
            Chosen = QColor(12, 34, 56);
            return true;
        });
        FWindow->ObjectPage()->PenColorClicked();
        QCOMPARE(M.ObjectByID(ID).Pen.Color, RGBColor(12, 34, 56));
        QVERIFY(M.Modified() && FWindow->windowTitle().endsWith(QStringLiteral("*")));
        QVERIFY(FWindow->findChild<QAction*>(QStringLiteral("actUndo"))->isEnabled());
    }

    void whatAUserDrawsOnTheSampleIsSeenInTheChosenColour() {
        TZemMap& M = FWindow->Map();
        std::int32_t House = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, House, At));
        QWidget* View = FWindow->MapWidget();
        const double R = FWindow->MapWidget()->PixelRatio();
        auto Pixel = [&](QPoint P) {
            return M.BackBuffer.Pixel(static_cast<int>(P.x() * R), static_cast<int>(P.y() * R)) & 0xFFFFFFu;
        };
        // "Заданные" "Линия": a red the sample does not use.
        FWindow->ObjectPage()->SetColorAsker([](const QColor&, QColor& Chosen) {
            Chosen = QColor(230, 0, 20);
            return true;
        });
        QTest::mouseClick(FWindow->ObjectPage()->findChild<QWidget*>(QStringLiteral("Shape1")),
                          Qt::LeftButton);
        QCOMPARE(M.Edit.NewPenColor, RGBColor(230, 0, 20));
        // A line across the house: drawn over it.
        FWindow->findChild<QAction*>(QStringLiteral("LineB"))->trigger();
        QTest::mouseClick(View, Qt::LeftButton, {}, At - QPoint(8, 0));
        QTest::mouseClick(View, Qt::RightButton, {}, At + QPoint(8, 0));
        QTRY_VERIFY(!M.Edit.Creating);
        QCOMPARE(Pixel(At), 0xE60014u);
        // A text over the house takes the same colour, and is drawn over the house too.
        const std::int32_t Before = M.Doc.MaxID;
        FWindow->findChild<QAction*>(QStringLiteral("FontB"))->trigger();
        bool Asked = false;
        const auto Typing = OnNextModal<TZemFontDialogForm>(
            [](TZemFontDialogForm* D) {
                QTest::keyClicks(D->TextEdit, QStringLiteral("WWWW"));
                QTest::mouseClick(D->OkButton, Qt::LeftButton);
            },
            Asked);
        QTest::mouseClick(View, Qt::LeftButton, {}, At + QPoint(-30, 4));
        QTest::mouseMove(View, At + QPoint(30, 24)); // the pointer is where the second corner goes
        QTest::mouseClick(View, Qt::RightButton, {}, At + QPoint(30, 24));
        QTRY_VERIFY(Asked);
        QCOMPARE(M.Doc.MaxID, Before + 1);
        const std::int32_t Text = Before;
        QCOMPARE(M.ObjectByID(Text).Kind, otText);
        QCOMPARE(M.ObjectByID(Text).Pen.Color, RGBColor(230, 0, 20));
        auto Count = [&](std::uint32_t Colour) {
            int N = 0;
            for (int Y = At.y() + 4; Y < At.y() + 34; ++Y)
                for (int X = At.x() - 30; X < At.x() + 30; ++X)
                    N += Pixel(QPoint(X, Y)) == Colour;
            return N;
        };
        QVERIFY(Count(0xE60014u) > 10);
        // Chosen with a click, the inspector's line colour recolours the text.
        FWindow->findChild<QAction*>(QStringLiteral("SelectObject"))->trigger();
        QTest::mouseClick(View, Qt::LeftButton, {}, At + QPoint(0, 14));
        QCOMPARE(M.CurrentObject(), Text);
        FWindow->ObjectPage()->SetColorAsker([](const QColor&, QColor& Chosen) {
            Chosen = QColor(0, 40, 220);
            return true;
        });
        FWindow->ObjectPage()->PenColorClicked();
        QCOMPARE(M.ObjectByID(Text).Pen.Color, RGBColor(0, 40, 220));
        QVERIFY(Count(0x0028DCu) > 10);
        QCOMPARE(Count(0xE60014u), 0);
    }

    void dragMovesAndUndoMovesBack() {
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        TZemMap& M = FWindow->Map();
        const TXYPoint Before = M.ObjectByID(ID).Point(0);
        QWidget* W = FWindow->MapWidget();
        QTest::mouseClick(W, Qt::LeftButton, {}, At);
        QTest::mousePress(W, Qt::LeftButton, {}, At);
        QTest::mouseMove(W, At + QPoint(15, 10));
        QTest::mouseRelease(W, Qt::LeftButton, {}, At + QPoint(30, 20));
        QVERIFY(M.ObjectByID(ID).Point(0).X != Before.X);
        QVERIFY(FWindow->findChild<QAction*>(QStringLiteral("actUndo"))->isEnabled());
        QVERIFY(FWindow->windowTitle().endsWith(QStringLiteral("*")));
        // The menu and the tool tips name the step.
        QAction* Undo = FWindow->findChild<QAction*>(QStringLiteral("actUndo"));
        QAction* Redo = FWindow->findChild<QAction*>(QStringLiteral("actRedo"));
        QCOMPARE(Undo->text(), QStringLiteral("Отменить: перемещение объекта"));
        QCOMPARE(Undo->toolTip(), QStringLiteral("Отменить: перемещение объекта (Ctrl+Z)"));
        QCOMPARE(Redo->text(), QStringLiteral("Повторить"));
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(M.ObjectByID(ID).Point(0).X, Before.X);
        QCOMPARE(M.ObjectByID(ID).Point(0).Y, Before.Y);
        QCOMPARE(Redo->text(), QStringLiteral("Повторить: перемещение объекта"));
        QCOMPARE(Redo->toolTip(), QStringLiteral("Повторить: перемещение объекта (Ctrl+Y)"));
        QCOMPARE(Undo->text(), QStringLiteral("Отменить"));
    }

    void rectangleToolDrawsAndCloseAsks() {
        TZemMap& M = FWindow->Map();
        const std::int32_t Count = M.Count();
        FWindow->ChooseTool(tRectangle);
        QWidget* W = FWindow->MapWidget();
        // A click at one corner, the pointer to the other, a right click to finish.
        QTest::mouseClick(W, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(W, QPoint(200, 180));
        QTest::mouseClick(W, Qt::RightButton, {}, QPoint(200, 180));
        QCOMPARE(M.Count(), Count + 1);
        QVERIFY(M.Modified());
        // Closing a modified map asks; "Отмена" keeps the window open.
        bool Seen = false;
        AnswerNextMessage(QStringLiteral("Отмена"), Seen);
        QVERIFY(!FWindow->close());
        QVERIFY(Seen);
        QVERIFY(FWindow->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
