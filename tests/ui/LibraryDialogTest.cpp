// The picture and icon library dialogs, reached as a user reaches them: the object's context item or the
// menu, files chosen in the file dialog, "Применить" or "Отмена".
#include "TestWindow.h"
#include "editing/ZemHistory.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "ui/ZemLibraryDialog.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "ModalAnswer.h"

using namespace zem;

namespace {

void Click(QWidget* Dialog, const char* Button) {
    auto* B = Dialog->findChild<QPushButton*>(QString::fromLatin1(Button));
    QVERIFY(B);
    QTest::mouseClick(B, Qt::LeftButton);
}

// Answers the next file dialog with a file of Folder, typed as a user would.
[[nodiscard]] TModalAnswer ChooseFile(const QString& Folder, const QString& Name, bool& Seen) {
    return OnNextModal<QFileDialog>(
        [Folder, Name](QFileDialog* F) {
            F->setDirectory(Folder);
            QTest::qWait(200);
            auto* Edit = F->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(Edit);
            Edit->selectAll();
            QTest::keyClicks(Edit, Name);
            static_cast<QDialog*>(F)->accept(); // as "Открыть" does
        },
        Seen);
}

// Answers the next message box with the button of that text (empty: its only button); Text gets the
// box's text.
[[nodiscard]] TModalAnswer AnswerBox(const QString& Button, bool& Seen, QString* Text = nullptr) {
    return OnNextModal<QMessageBox>(
        [Button, Text](QMessageBox* B) {
            if (Text)
                *Text = B->text();
            for (QAbstractButton* Each : B->buttons())
                if (Each->text() == Button || (Button.isEmpty() && B->buttons().size() == 1))
                    Each->click();
        },
        Seen);
}

} // namespace

class LibraryDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;
    QTemporaryDir FDir;

    TZemMap& Map() { return FWindow->Map(); }

    QString MakePicture(const char* Name, int W, int H, QColor Colour) {
        QImage I(W, H, QImage::Format_RGB32);
        I.fill(Colour);
        const QString Path = FDir.filePath(QString::fromLatin1(Name));
        if (!I.save(Path))
            return {};
        return Path;
    }

    // A picture object with its frame at world (100, 100) - (120, 110), selected by a click on it.
    std::int32_t SelectNewPictureObject() {
        TZemMap& M = Map();
        TZemObject T;
        T.Kind = otBmp;
        for (const TXYPoint P :
             {TXYPoint{100, 100}, TXYPoint{120, 100}, TXYPoint{120, 110}, TXYPoint{100, 110}})
            T.AddPoint(P);
        M.AddObject(T);
        const std::int32_t ID = M.Doc.MaxID - 1;
        M.ClearHistory();
        M.MarkSaved();
        const TPoint S = M.WorldToScreen(TXYPoint{101, 105}); // on the frame's left edge
        const double R = FWindow->MapWidget()->PixelRatio();
        const QPoint At(static_cast<int>(S.X / R), static_cast<int>(S.Y / R));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QTest::mouseMove(FWindow->MapWidget(), At + QPoint(1, 0)); // the context menu follows the pointer
        return ID;
    }

    QAction* ObjectItem(const QString& Text) {
        for (QAction* A : FWindow->ObjectMenu()->actions())
            if (A->text() == Text)
                return A;
        return nullptr;
    }

private slots:
    void initTestCase() {
        testui::UseTestSettings();
        QVERIFY(FDir.isValid());
    }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, QString()));
        FWindow->NewMap();
        Map().SetScale(100);
        Map().SetView(TXYPoint{150, 150}, 100);
    }
    void cleanup() {
        Map().MarkSaved();
        FWindow.reset();
    }

    void aPictureAddedAndAssignedIsDrawnUndoneAndSurvivesSaving() {
        const QString Png = MakePicture("red.png", 40, 30, QColor(255, 0, 0));
        QVERIFY(!Png.isEmpty());
        const std::int32_t ID = SelectNewPictureObject();
        QCOMPARE(Map().CurrentObject(), ID);
        QCOMPARE(FWindow->MapWidget()->PopupMenu(), FWindow->ObjectMenu());
        QAction* Load = ObjectItem(QStringLiteral("Загрузить рисунок"));
        QVERIFY(Load && Load->isEnabled());
        QVERIFY(!ObjectItem(QStringLiteral("Загрузить иконку"))->isEnabled());

        bool Shown = false, Asked = false;
        const auto Answering = OnNextModal<TZemLibraryDialog>(
            [&](TZemLibraryDialog* D) {
                QCOMPARE(D->windowTitle(), QStringLiteral("Библиотека картинок"));
                QCOMPARE(D->List()->count(), 0);
                const auto Choosing = ChooseFile(FDir.path(), QStringLiteral("red.png"), Asked);
                Click(D, "AddButton");
                QCOMPARE(D->List()->count(), 1);
                QCOMPARE(D->ItemHeight(), 30);
                QCOMPARE(D->List()->currentRow(), 0); // the added picture is selected
                Click(D, "ApplyButton");
            },
            Shown);
        Load->trigger();
        QVERIFY(Shown && Asked);
        // The folder is offered again next time.
        QCOMPARE(QSettings(QStringLiteral("ZemMap"), QStringLiteral("ZemMap"))
                     .value("Libraries/Folder")
                     .toString(),
                 FDir.path());

        TZemMap& M = Map();
        QCOMPARE(M.Doc.Bitmaps->Count(), 1);
        QCOMPARE(M.ObjectByID(ID).BitmapIndex, 0);
        QCOMPARE(M.ObjectByID(ID).Point(2).X, 140.0f);
        QCOMPARE(M.ObjectByID(ID).Point(2).Y, 130.0f);
        QVERIFY(M.Modified());
        QVERIFY(FWindow->windowTitle().endsWith(QStringLiteral("*")));
        auto CentreColour = [&M] {
            M.Redraw();
            const TPoint C = M.WorldToScreen(TXYPoint{120, 115});
            return M.BackBuffer.Pixel(C.X, C.Y) & 0xFFFFFFu;
        };
        QCOMPARE(CentreColour(), 0xFF0000u);

        // One undo takes back the library and the object together; redo puts both back.
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(M.Doc.Bitmaps->Count(), 0);
        QCOMPARE(M.ObjectByID(ID).BitmapIndex, -1);
        QCOMPARE(M.ObjectByID(ID).Point(2).X, 120.0f);
        QVERIFY(!M.Modified());
        QVERIFY(CentreColour() != 0xFF0000u);
        QTest::keyClick(FWindow.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(M.Doc.Bitmaps->Count(), 1);
        QCOMPARE(CentreColour(), 0xFF0000u);

        const QString File = FDir.filePath(QStringLiteral("pictures.mp"));
        QVERIFY(FWindow->SaveMap(File));
        // "Новый" keeps the libraries, as it keeps the directories: emptied here, the file brings it back.
        FWindow->NewMap();
        Map().SetPictureEntries({});
        QVERIFY(FWindow->OpenMap(File));
        TZemMap& L = Map();
        QCOMPARE(L.Doc.Bitmaps->Count(), 1);
        QCOMPARE(L.Doc.Bitmaps->Get(0)->Width, 40);
        QCOMPARE(L.ObjectByID(ID).BitmapIndex, 0);
        L.SetView(TXYPoint{150, 150}, 100);
        QCOMPARE(CentreColour(), 0xFF0000u);
    }

    void aFileThatCannotBeReadIsReportedAndChangesNothing() {
        QFile Bad(FDir.filePath(QStringLiteral("bad.png")));
        QVERIFY(Bad.open(QIODevice::WriteOnly));
        Bad.write("not a picture at all");
        Bad.close();
        const QString Green = MakePicture("green.bmp", 64, 64, QColor(0, 255, 0));
        QVERIFY(!Green.isEmpty());
        Map().SetPictureEntries({});
        const std::size_t Steps = Map().History().Position();
        bool Shown = false, Asked = false, Told = false;
        QString Message;
        const auto Answering = OnNextModal<TZemLibraryDialog>(
            [&](TZemLibraryDialog* D) {
                const auto Choosing = ChooseFile(FDir.path(), QStringLiteral("bad.png"), Asked);
                const auto Telling = OnNextModal<QMessageBox>(
                    [&](QMessageBox* B) {
                        Message = B->text();
                        B->accept();
                    },
                    Told);
                Click(D, "AddButton");
                QCOMPARE(D->List()->count(), 0);
                Click(D, "ApplyButton");
            },
            Shown);
        FWindow->findChild<QAction*>(QStringLiteral("actPictureArchive"))->trigger();
        QVERIFY(Shown && Asked && Told);
        QVERIFY2(Message.contains(QStringLiteral("bad.png")), qPrintable(Message));
        QCOMPARE(Map().Doc.Bitmaps->Count(), 0);
        QCOMPARE(Map().History().Position(), Steps);
        QVERIFY(!Map().Modified());
    }

    void itemsAreAsHighAsTheTallestAndCancelKeepsTheLibrary() {
        const QString Small = MakePicture("small.bmp", 20, 64, QColor(0, 0, 255));
        const QString Tall = MakePicture("tall.png", 10, 120, QColor(255, 255, 0));
        QVERIFY(!Small.isEmpty() && !Tall.isEmpty());
        bool Shown = false, A1 = false, A2 = false;
        const auto Answering = OnNextModal<TZemLibraryDialog>(
            [&](TZemLibraryDialog* D) {
                // An empty library: no items, and nothing drawn but the list's background.
                QCOMPARE(D->List()->count(), 0);
                const QImage Empty = D->List()->viewport()->grab().toImage();
                const QRgb Base = D->List()->palette().color(QPalette::Base).rgb();
                for (int y = 0; y < Empty.height(); y += 7)
                    for (int x = 0; x < Empty.width(); x += 7)
                        QCOMPARE(Empty.pixel(x, y), Base);
                const auto Choosing = ChooseFile(FDir.path(), QStringLiteral("small.bmp"), A1);
                Click(D, "AddButton");
                QCOMPARE(D->ItemHeight(), 64);
                // "Вставить" puts the tall one before the selected one.
                const auto ChoosingTall = ChooseFile(FDir.path(), QStringLiteral("tall.png"), A2);
                Click(D, "InsertButton");
                QCOMPARE(D->List()->count(), 2);
                QCOMPARE(D->ItemHeight(), 120);
                QCOMPARE(D->List()->visualItemRect(D->List()->item(1)).height(), 120);
                QCOMPARE(D->List()->currentRow(), 0);
                // Deleting with nothing selected deletes nothing.
                D->List()->setCurrentRow(-1);
                Click(D, "DeleteButton");
                QCOMPARE(D->List()->count(), 2);
                D->List()->setCurrentRow(0);
                // The selected item is navy, its picture centred.
                const QRect R = D->List()->visualItemRect(D->List()->item(0));
                const QImage Shot = D->List()->viewport()->grab().toImage();
                QCOMPARE(Shot.pixelColor(R.left() + 2, R.bottom() - 2), QColor(0, 0, 128));
                QCOMPARE(Shot.pixelColor(R.center()), QColor(255, 255, 0));
                bool Asked = false;
                const auto Answering = AnswerBox(QStringLiteral("Да"), Asked);
                Click(D, "CancelButton");
                QVERIFY(Asked); // two pictures added: thrown away only when the user says so
            },
            Shown);
        FWindow->findChild<QAction*>(QStringLiteral("actPictureArchive"))->trigger();
        QVERIFY(Shown && A1 && A2);
        QCOMPARE(Map().Doc.Bitmaps->Count(), 0);
        QVERIFY(!Map().Modified());
    }

    // The file dialog shows every kind of picture; the counter counts from 1; "Применить" with nothing
    // chosen for an object says so; "Отмена" after an addition asks, and "Нет" keeps the dialog.
    void theDialogsSayWhatTheyDo() {
        const QString Png = MakePicture("blue.png", 12, 8, QColor(0, 0, 255));
        SelectNewPictureObject();
        bool Shown = false, Filtered = false, Asked = false;
        QString Filter, Info, Said, Question;
        const auto Answering = OnNextModal<TZemLibraryDialog>(
            [&](TZemLibraryDialog* D) {
                {
                    const auto Looking = OnNextModal<QFileDialog>(
                        [&Filter](QFileDialog* F) {
                            Filter = F->selectedNameFilter();
                            F->reject();
                        },
                        Filtered);
                    Click(D, "AddButton");
                }
                const auto Choosing = ChooseFile(FDir.path(), QStringLiteral("blue.png"), Asked);
                Click(D, "AddButton");
                Info = D->findChild<QLabel*>(QStringLiteral("InfoLabel"))->text();
                D->List()->setCurrentRow(-1);
                bool Told = false;
                {
                    const auto Telling = AnswerBox(QString(), Told, &Said);
                    Click(D, "ApplyButton");
                }
                QVERIFY(Told && D->isVisible());
                bool Kept = false, Dropped = false;
                {
                    const auto Keeping = AnswerBox(QStringLiteral("Нет"), Kept, &Question);
                    Click(D, "CancelButton");
                }
                QVERIFY(Kept && D->isVisible());
                const auto Dropping = AnswerBox(QStringLiteral("Да"), Dropped);
                Click(D, "CancelButton");
                QVERIFY(Dropped && !D->isVisible());
            },
            Shown);
        ObjectItem(QStringLiteral("Загрузить рисунок"))->trigger();
        QVERIFY(Shown && Filtered && Asked);
        QVERIFY2(Filter.startsWith(QStringLiteral("Все рисунки")), qPrintable(Filter));
        QCOMPARE(Info, QStringLiteral("Рисунок 1 из 1: 12 × 8 точек"));
        QCOMPARE(Said, QStringLiteral("Выберите рисунок в списке."));
        QVERIFY(Question.contains(QStringLiteral("Отказаться")));
        QCOMPARE(Map().Doc.Bitmaps->Count(), 0);
        QVERIFY(!Map().Modified());
    }

    void anIconFromAPictureFileIsAssignedToTheIconObject() {
        const QString Png = MakePicture("icon.png", 16, 16, QColor(0, 128, 255));
        TZemMap& M = Map();
        TZemObject T;
        T.Kind = otIco;
        T.AddPoint(TXYPoint{150, 150});
        M.AddObject(T);
        const std::int32_t ID = M.Doc.MaxID - 1;
        M.Edit.CurrentObject = ID;
        M.OnMouseDown(M, TZemMouseButton::mbLeft, 0, 0, 0);
        QAction* Load = ObjectItem(QStringLiteral("Загрузить иконку"));
        QVERIFY(Load->isEnabled());
        QVERIFY(!ObjectItem(QStringLiteral("Загрузить рисунок"))->isEnabled());
        bool Shown = false, Asked = false;
        const auto Answering = OnNextModal<TZemLibraryDialog>(
            [&](TZemLibraryDialog* D) {
                QCOMPARE(D->windowTitle(), QStringLiteral("Библиотека иконок"));
                const auto Choosing = ChooseFile(FDir.path(), QStringLiteral("icon.png"), Asked);
                Click(D, "AddButton");
                QCOMPARE(D->List()->count(), 1);
                // A double click as the window system sends it: a click, then the second press.
                const QPoint At = D->List()->visualItemRect(D->List()->item(0)).center();
                QTest::mouseClick(D->List()->viewport(), Qt::LeftButton, {}, At);
                QTest::mouseDClick(D->List()->viewport(), Qt::LeftButton, {}, At);
            },
            Shown);
        Load->trigger();
        QVERIFY(Shown && Asked);
        QCOMPARE(M.Doc.Icons->Count(), 1);
        QCOMPARE(M.ObjectByID(ID).IconIndex(), 0);
        M.Undo();
        QCOMPARE(M.Doc.Icons->Count(), 0);
        QCOMPARE(M.ObjectByID(ID).IconIndex(), -1);
    }
};

QTEST_MAIN(LibraryDialogTest)
#include "LibraryDialogTest.moc"
