// "Файл → Импорт…" of a timetable with a map open: the window asks whether to add it to that map; "Да"
// adds it as one step that Ctrl+Z takes back whole, "Нет" makes a new map of the feed alone, "Отмена"
// imports nothing. A feed kept as a folder is chosen by one of its tables.
#include "../import/FeedFiles.h"
#include "TestWindow.h"
#include "import/ZemGeoref.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "ModalAnswer.h"

using namespace zem;

namespace {

[[nodiscard]] TModalAnswer ChooseFile(const QString& Path, bool& Seen) {
    return OnNextModal<QFileDialog>(
        [Path](QFileDialog* F) {
            F->setDirectory(QFileInfo(Path).absolutePath());
            QTest::qWait(200);
            auto* Edit = F->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(Edit);
            Edit->selectAll();
            QTest::keyClicks(Edit, QFileInfo(Path).fileName());
            static_cast<QDialog*>(F)->accept();
        },
        Seen);
}

// Clicks the button captioned Button on the next message box; Text gets the box's text.
[[nodiscard]] TModalAnswer Answer(const QString& Button, QString& Text, bool& Seen) {
    return OnNextModal<QMessageBox>(
        [Button, &Text](QMessageBox* B) {
            Text = B->text();
            for (QAbstractButton* Btn : B->buttons())
                if (Btn->text() == Button) {
                    QTest::mouseClick(Btn, Qt::LeftButton);
                    return;
                }
            QFAIL("no such button");
        },
        Seen);
}

int Junctions(const TZemMap& M) {
    int N = 0;
    for (std::int32_t I = 0; I < M.Doc.Order.Count(); ++I)
        N += M.ObjectByID(M.Doc.Order[I]).Kind == otRoadCross;
    return N;
}

} // namespace

class FeedImportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;
    std::unique_ptr<test::TTempDir> FDir;
    QString FZip, FFolderTable;
    std::int32_t FSampleCount = 0, FSampleJunctions = 0;

    // Chooses Path in "Файл → Импорт…" and answers the question with Button.
    QString Import(const QString& Path, const QString& Button) {
        bool FileSeen = false, AskSeen = false;
        QString Text;
        const TModalAnswer File = ChooseFile(Path, FileSeen);
        const TModalAnswer Ask = Answer(Button, Text, AskSeen);
        FWindow->findChild<QAction*>(QStringLiteral("actImport"))->trigger();
        [&] { QVERIFY(FileSeen && AskSeen); }();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!FWindow->ImportRunning(), 30000); }();
        return Text;
    }

private slots:
    void initTestCase() {
        testui::UseTestSettings();
        FDir = std::make_unique<test::TTempDir>();
        FZip = QString::fromStdString(test::WriteFeedZip(FDir->Path() / "feed.zip", test::CyrillicFeed()));
        test::WriteFeedFolder(FDir->Path() / "folder", test::CyrillicFeed());
        FFolderTable = QString::fromStdString((FDir->Path() / "folder" / "stops.txt").string());
    }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow));
        FSampleCount = FWindow->Map().Count();
        FSampleJunctions = Junctions(FWindow->Map());
    }
    void cleanup() {
        FWindow->Map().MarkSaved();
        FWindow.reset();
    }

    void addedToTheOpenMapAsOneUndoStep() {
        const QString Asked = Import(FZip, QStringLiteral("Да"));
        QVERIFY(Asked.contains(QStringLiteral("Добавить расписание в открытую карту")));
        TZemMap& M = FWindow->Map();
        QCOMPARE(Junctions(M), FSampleJunctions + 5);
        QVERIFY(M.Count() > FSampleCount + 5);
        QVERIFY(M.Modified());
        QVERIFY(FindGeoref(M).has_value());
        QVERIFY(FWindow->FileName().endsWith(QStringLiteral("Карта города.mp"))); // still the same map
        QVERIFY(FWindow->statusBar()->currentMessage().contains(QStringLiteral("остановки 5")));
        // Ctrl+Z, as the user presses it, takes the whole import back; Ctrl+Y brings it again.
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(M.Count(), FSampleCount);
        QVERIFY(!FindGeoref(M).has_value());
        QVERIFY(!M.Modified());
        QTest::keyClick(FWindow.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Junctions(M), FSampleJunctions + 5);
    }

    void aNewMapOfTheFeedAloneFromAFolder() {
        Import(FFolderTable, QStringLiteral("Нет"));
        TZemMap& M = FWindow->Map();
        QCOMPARE(Junctions(M), 5);
        QVERIFY(M.Net.ShowTransportNet);
        QVERIFY(FWindow->FileName().isEmpty());
        QVERIFY(FWindow->windowTitle().contains(QStringLiteral("[folder.mp] *")));
    }

    void cancelImportsNothing() {
        bool FileSeen = false, AskSeen = false;
        QString Text;
        const TModalAnswer File = ChooseFile(FZip, FileSeen);
        const TModalAnswer Ask = Answer(QStringLiteral("Отмена"), Text, AskSeen);
        FWindow->findChild<QAction*>(QStringLiteral("actImport"))->trigger();
        QVERIFY(FileSeen && AskSeen);
        QVERIFY(!FWindow->ImportRunning());
        QCOMPARE(FWindow->Map().Count(), FSampleCount);
        QVERIFY(!FWindow->Map().Modified());
    }
};

QTEST_MAIN(FeedImportTest)
#include "FeedImportTest.moc"
