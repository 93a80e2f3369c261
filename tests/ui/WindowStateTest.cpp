// The main window keeps its word: undo mid-drag, menu checks that follow the map, the mini-map and
// transport items, the text dialog's memory and scale, the inspector's typing and the tools' hints.
#include "TestWindow.h"
#include "base/ZemText.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "ui/ZemFontDialog.h"
#include "ui/ZemKeys.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemMiniMapWindow.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemObjectPage.h"
#include "ui/ZemOptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include "ModalAnswer.h"
#include "WindowTestPoints.h"

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

// Runs Answer on the next modal dialog of type D once it is up.
template <typename D>
[[nodiscard]] TModalAnswer WhenModal(const std::function<void(D&)>& Answer, bool& Seen) {
    return OnNextModal<D>([Answer](D* Dialog) { Answer(*Dialog); }, Seen);
}

// Answers the next text dialog: Check sees it as it opened, then it is filled in and applied.
[[nodiscard]] TModalAnswer AnswerNextText(const std::function<void(TZemFontDialogForm&)>& Check, bool& Seen) {
    return WhenModal<TZemFontDialogForm>(
        [Check](TZemFontDialogForm& Dialog) {
            Check(Dialog);
            Dialog.OkButton->click();
        },
        Seen);
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
    void initTestCase() { testui::UseTestSettings(); }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, kSample));
        QVERIFY(testui::Activate(FWindow.get()));
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
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
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

    void viewChecksFollowTheMapAfterUndoAndOptions() {
        TZemMap& M = FWindow->Map();
        QAction* Hide = Action("actHideObjects");
        Key(Qt::Key_W);
        QVERIFY(M.Doc.HasOption(moHideObjects) && Hide->isChecked());
        Key(Qt::Key_Z);
        QVERIFY(!M.Doc.HasOption(moHideObjects));
        QVERIFY(!Hide->isChecked());
        Key(Qt::Key_W); // hides again, instead of doing nothing
        QVERIFY(M.Doc.HasOption(moHideObjects) && Hide->isChecked());

        // The network display and the network tools after undo and redo.
        QAction* Net = Action("actShowNet");
        QAction* Junctions = Action("RoadCross");
        const bool NetShown = M.Net.ShowTransportNet;
        QCOMPARE(Net->isChecked(), NetShown);
        Key(Qt::Key_T);
        QCOMPARE(M.Net.ShowTransportNet, !NetShown);
        QCOMPARE(Junctions->isEnabled(), !NetShown);
        Key(Qt::Key_Z);
        QCOMPARE(Net->isChecked(), NetShown);
        QCOMPARE(Junctions->isEnabled(), NetShown);
        Key(Qt::Key_Y);
        QCOMPARE(Net->isChecked(), !NetShown);

        // 3D from the menu, then undone.
        QAction* Show3D = Action("actShow3D");
        const bool Was3D = M.Doc.HasOption(moShow3D);
        Show3D->trigger();
        QCOMPARE(Show3D->isChecked(), !Was3D);
        Key(Qt::Key_Z);
        QCOMPARE(Show3D->isChecked(), Was3D);

        // The grid box of "Опции" and the grid item agree.
        QAction* Grid = Action("actShowGrid");
        TfrmOptions* Options = FWindow->Options();
        Options->ShowGrid->setChecked(!M.Doc.ShowGrid);
        QCOMPARE(Grid->isChecked(), M.Doc.ShowGrid);
        Options->ShowGrid->setChecked(!M.Doc.ShowGrid);
        QCOMPARE(Grid->isChecked(), M.Doc.ShowGrid);
        Grid->trigger();
        QCOMPARE(Grid->isChecked(), M.Doc.ShowGrid);
    }

    void miniMapItemShowsAndHidesTheWindow() {
        TfrmMiniMap* Mini = FWindow->MiniMapWindow();
        QAction* Show = Action("actShowMiniMap");
        QTRY_VERIFY(Mini->isVisible());
        QVERIFY(Show->isEnabled() && Show->isChecked());
        Key(Qt::Key_QuoteLeft);
        QVERIFY(!Mini->isVisible() && !Show->isChecked());
        Key(Qt::Key_QuoteLeft);
        QVERIFY(Mini->isVisible() && Show->isChecked());
        // Closed from its title bar: the check follows, and the item brings it back.
        QVERIFY(Mini->close());
        QVERIFY(!Show->isChecked());
        QVERIFY(testui::Activate(FWindow.get()));
        Key(Qt::Key_QuoteLeft);
        QVERIFY(Mini->isVisible() && Show->isChecked());
    }

    void transportItemFollowsTheCurrentObject() {
        TZemMap& M = FWindow->Map();
        QAction* Transport = Action("actTransportInfo");
        QVERIFY(!Transport->isEnabled());
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QCOMPARE(M.CurrentObject(), ID);
        QVERIFY(Transport->isEnabled());
        // F4 opens "Характеристика транспорта"; its name is applied to the object.
        bool Seen = false;
        const auto Answering = WhenModal<QDialog>(
            [](QDialog& Dialog) {
                QCOMPARE(Dialog.windowTitle(), QStringLiteral("Характеристика транспорта"));
                Dialog.findChild<QLineEdit*>(QStringLiteral("TransportName"))
                    ->setText(QStringLiteral("Маршрут 7"));
                for (QPushButton* B : Dialog.findChildren<QPushButton*>())
                    if (B->text() == QStringLiteral("Применить"))
                        B->click();
            },
            Seen);
        Key(Qt::Key_F4, Qt::NoModifier);
        QVERIFY(Seen);
        QCOMPARE(QString::fromStdString(ToUtf8(M.ObjectByID(ID).Text())), QStringLiteral("Маршрут 7"));
        QVERIFY(testui::Activate(FWindow.get()));
        Key(Qt::Key_Z);
        QVERIFY(M.ObjectByID(ID).Text().empty());
        // Without a current object (the object deleted) the item is off; undone, the object is back.
        M.KeyDown(vk::Delete, 0);
        QVERIFY(!M.ObjectExists(ID));
        QVERIFY(!Transport->isEnabled());
        Key(Qt::Key_Z);
        QVERIFY(M.ObjectExists(ID));
    }

    void connectionKeysMoveTheRadioGroup() {
        TZemMap& M = FWindow->Map();
        auto* Group = FWindow->NetworkPage()->findChild<QWidget*>(QStringLiteral("ConnectionKind"));
        QVERIFY(Group);
        const QList<QRadioButton*> Items = Group->findChildren<QRadioButton*>();
        QCOMPARE(Items.size(), 3);
        for (int i : {0, 2, 1}) {
            Key(Qt::Key_1 + i, Qt::AltModifier);
            QCOMPARE(int(M.Net.ConnectionKind), i);
            QVERIFY(Items[i]->isChecked());
        }
        Items[2]->click();
        QCOMPARE(int(M.Net.ConnectionKind), 2);
    }

    // Places a text with the tool: a click, the pointer to the other corner and a right click.
    void PlaceText(const QPoint& From, const QPoint& To) {
        FWindow->ChooseTool(tText);
        QWidget* W = FWindow->MapWidget();
        QTest::mouseClick(W, Qt::LeftButton, {}, From);
        QTest::mouseMove(W, To);
        QTest::mouseClick(W, Qt::RightButton, {}, To);
    }

    void textDialogKeepsItsValuesAndSizeIsOnScreen() {
        TZemMap& M = FWindow->Map();
        const std::int32_t Count = M.Count();
        bool Seen = false;
        const auto Answering = AnswerNextText(
            [](TZemFontDialogForm& D) {
                D.FontCombo->setCurrentIndex(1);
                D.FontSizeTrackBar->setValue(36);
                D.AngleTrackBar->setValue(450);
                D.BoldCheck->setChecked(true);
                D.TextEdit->setText(QStringLiteral("Один"));
            },
            Seen);
        PlaceText(QPoint(200, 200), QPoint(320, 240));
        QVERIFY(Seen);
        QCOMPARE(M.Count(), Count + 1);
        // At 25 % the dialog's size is still the size seen: the stored size is four times it, and the
        // text being placed is drawn at that size while the dialog is open.
        QVERIFY(FWindow->ScaleBox()->findText(QStringLiteral("25 %")) >= 0);
        emit FWindow->ScaleBox()->textActivated(QStringLiteral("25 %"));
        QCOMPARE(M.View.Scale, 25.0f);
        Seen = false;
        std::int32_t Preview = 0;
        const auto AnsweringAgain = AnswerNextText(
            [&M, &Preview](TZemFontDialogForm& D) {
                QCOMPARE(D.FontCombo->currentIndex(), 1);
                QCOMPARE(D.FontSizeTrackBar->value(), 36);
                QCOMPARE(D.AngleTrackBar->value(), 450);
                QVERIFY(D.BoldCheck->isChecked() && !D.ItalicCheck->isChecked());
                QVERIFY(D.TextEdit->text().isEmpty());
                D.FontSizeTrackBar->setValue(20);
                D.TextEdit->setText(QStringLiteral("Два"));
                Preview = M.NewObject.Font.Size;
            },
            Seen);
        PlaceText(QPoint(300, 300), QPoint(420, 340));
        QVERIFY(Seen);
        QCOMPARE(Preview, 80);
        const TZemObject& T = M.ObjectByID(M.Doc.Order[M.Doc.Order.Count() - 1]);
        QCOMPARE(T.Font.Size, 80);
        QCOMPARE(T.Font.Style, std::uint8_t(1));
        QCOMPARE(QString::fromStdString(ToUtf8(T.Text())), QStringLiteral("Два"));
    }

    void copyStyleWithoutObjectForgetsTheSource() {
        TZemMap& M = FWindow->Map();
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QCOMPARE(M.CurrentObject(), ID);
        Key(Qt::Key_C, Qt::ShiftModifier | Qt::ControlModifier);
        M.ResetEditState();
        Key(Qt::Key_C, Qt::ShiftModifier | Qt::ControlModifier); // no current object: nothing to paste
        std::int32_t Other = -1;
        for (std::int32_t Candidate : M.View.VisibleList)
            if (Candidate != ID && M.ObjectByID(Candidate).Pen.Color != M.ObjectByID(ID).Pen.Color)
                Other = Candidate;
        QVERIFY(Other >= 0);
        M.Edit.CurrentObject = Other;
        const auto Steps = M.History().Position();
        Key(Qt::Key_V, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(M.History().Position(), Steps);
        QVERIFY(M.ObjectByID(Other).Pen.Color != M.ObjectByID(ID).Pen.Color);
    }

    void typingInTheInspectorIsOneStepAndKeepsTheCursor() {
        TZemMap& M = FWindow->Map();
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        auto* Text = FWindow->ObjectPage()->findChild<QLineEdit*>(QStringLiteral("CText"));
        QVERIFY(Text && Text->isEnabled());
        const QString Before = Text->text();
        const auto Steps = M.History().Position();
        Text->setFocus();
        QTest::keyClick(Text, Qt::Key_End);
        QTest::keyClicks(Text, QStringLiteral("abc"));
        QTest::keyClick(Text, Qt::Key_Left);
        QTest::keyClick(Text, Qt::Key_Left);
        QTest::keyClicks(Text, QStringLiteral("X"));
        QCOMPARE(Text->text(), Before + QStringLiteral("aXbc"));
        QCOMPARE(Text->cursorPosition(), Before.size() + 2); // the reload after each step kept it
        QTest::keyClick(Text, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(Text, Qt::Key_Backspace);
        QCOMPARE(QString::fromStdString(ToUtf8(M.ObjectByID(ID).Text())), Before + QStringLiteral("abc"));
        QCOMPARE(M.History().Position(), Steps + 1);
        // Another field, then the pen width stepped by keyboard: one step each.
        auto* Width = FWindow->ObjectPage()->findChild<QSpinBox*>(QStringLiteral("PenWidthObj"));
        const int WidthBefore = Width->value();
        Width->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(Width, Qt::Key_Up);
        QCOMPARE(M.ObjectByID(ID).Pen.Width, WidthBefore + 3);
        QCOMPARE(M.History().Position(), Steps + 2);
        // Back in the text field after the focus left it: a new step.
        Text->setFocus();
        QTest::keyClicks(Text, QStringLiteral("!"));
        QCOMPARE(M.History().Position(), Steps + 3);
        Key(Qt::Key_Z);
        Key(Qt::Key_Z);
        QCOMPARE(M.ObjectByID(ID).Pen.Width, WidthBefore);
        Key(Qt::Key_Z);
        QCOMPARE(QString::fromStdString(ToUtf8(M.ObjectByID(ID).Text())), Before);
    }

    void statusBarHintFollowsToolAndState() {
        TZemMap& M = FWindow->Map();
        QLabel* Hint = FWindow->HintPanel();
        QWidget* W = FWindow->MapWidget();
        auto Shown = [Hint] { return Hint->text(); };
        // The rectangle: before and after its first corner, then done.
        FWindow->findChild<QAction*>(QStringLiteral("RectangleB"))->trigger();
        QCOMPARE(Shown(), QStringLiteral("Щелчок — первый угол"));
        QTest::mouseClick(W, Qt::LeftButton, {}, QPoint(150, 150));
        QTest::mouseMove(W, QPoint(220, 200));
        QCOMPARE(Shown(), QStringLiteral("Правый щелчок — второй угол; Esc — отмена"));
        QTest::mouseClick(W, Qt::RightButton, {}, QPoint(220, 200));
        QCOMPARE(Shown(), QStringLiteral("Щелчок — первый угол"));
        // Measuring: before and after the first point.
        FWindow->findChild<QAction*>(QStringLiteral("Measure"))->trigger();
        QCOMPARE(Shown(), QStringLiteral("Щелчок — начало измерения"));
        QTest::mouseClick(W, Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(Shown().contains(QStringLiteral("правый щелчок — новое измерение")));
        // The selection tool over an object's body, and over one of its size handles.
        FWindow->findChild<QAction*>(QStringLiteral("SelectObject"))->trigger();
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(W, Qt::LeftButton, {}, At);
        QTest::mouseMove(W, At + QPoint(1, 0));
        QVERIFY(Shown().startsWith(QStringLiteral("Щелчок — сменить маркеры")));
        // The click takes what is drawn on top there, which may lie over the polygon found.
        ID = M.Edit.CurrentObject;
        QVERIFY(ID != -1);
        const TPoint Corner = M.WorldToScreen(M.ObjectByID(ID).LeftTop);
        const double R = W->devicePixelRatioF();
        QTest::mouseMove(W, QPoint(int(Corner.X / R), int(Corner.Y / R)));
        QCOMPARE(Shown(), QStringLiteral("Перетаскивание — изменить размер"));
        // The panels of the bar keep their own texts.
        QVERIFY(FWindow->StatusPanel(0)->text().startsWith(QStringLiteral("Курсор (")));
    }
};

QTEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
