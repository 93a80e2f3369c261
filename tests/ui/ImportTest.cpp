// "Файл → Импорт…" through the main window: several files chosen in the dialog, the window live while
// the import runs, the result a new unsaved map named after the first file; Escape cancels; a bad file
// is reported and the open map stays.
#include "TestWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>

#include "ModalAnswer.h"

using namespace zem;

namespace {

const QString kOsm = QStringLiteral(ZEM_SOURCE_DIR "/tests/data/osm");

// Answers the next file dialog with Names (quoted, several at once) in Folder, typed as a user would.
[[nodiscard]] TModalAnswer ChooseFiles(const QString& Folder, const QStringList& Names, bool& Seen) {
    return OnNextModal<QFileDialog>(
        [Folder, Names](QFileDialog* F) {
            F->setDirectory(Folder);
            QTest::qWait(200);
            auto* Edit = F->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(Edit);
            Edit->selectAll();
            QString Typed;
            for (const QString& N : Names)
                Typed += QStringLiteral("\"%1\" ").arg(N);
            QTest::keyClicks(Edit, Typed.trimmed());
            static_cast<QDialog*>(F)->accept();
        },
        Seen);
}

// Clicks OK on the next message box; Text gets its text.
[[nodiscard]] TModalAnswer AcceptMessage(QString& Text, bool& Seen) {
    return OnNextModal<QMessageBox>(
        [&Text](QMessageBox* B) {
            Text = B->text();
            B->accept();
        },
        Seen);
}

} // namespace

class ImportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;
    std::int32_t FSampleCount = 0;

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow));
        FSampleCount = FWindow->Map().Count();
    }
    void cleanup() {
        FWindow->Map().MarkSaved();
        FWindow.reset();
    }

    void importsTwoExtractsIntoANewUnsavedMap() {
        QAction* Import = FWindow->findChild<QAction*>(QStringLiteral("actImport"));
        QVERIFY(Import);
        QCOMPARE(Import->text(), QStringLiteral("Импорт..."));
        bool Seen = false;
        const TModalAnswer Answer = ChooseFiles(
            kOsm,
            {QStringLiteral("moscow-kitay-gorod.osm.pbf"), QStringLiteral("moscow-maryina-roshcha.osm.gz")},
            Seen);
        Import->trigger();
        QVERIFY(Seen);
        // The dialog has closed and the import runs on: the window answers meanwhile.
        QVERIFY(FWindow->ImportRunning());
        QVERIFY(!Import->isEnabled());
        QVERIFY(FWindow->findChild<QProgressBar*>(QStringLiteral("ProgressBar"))->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!FWindow->ImportRunning(), 60000);
        TZemMap& M = FWindow->Map();
        QVERIFY(M.Count() > 3000);
        QVERIFY(M.Count() != FSampleCount);
        QVERIFY(M.Modified());
        QVERIFY(FWindow->FileName().isEmpty());
        QVERIFY(FWindow->windowTitle().contains(QStringLiteral("[moscow-kitay-gorod.mp] *")));
        QVERIFY(Import->isEnabled());
        QVERIFY(!FWindow->findChild<QProgressBar*>(QStringLiteral("ProgressBar"))->isVisible());
        // The first view fits the city into the window: every area is in it.
        const float X1 = M.View.LeftTop.X + M.View.ViewWidthHeight.X,
                    Y1 = M.View.LeftTop.Y + M.View.ViewWidthHeight.Y;
        for (std::int32_t i = 0; i < M.Doc.Order.Count(); ++i) {
            const TZemObject& O = M.ObjectByID(M.Doc.Order[i]);
            if (O.Kind == otPolygon)
                QVERIFY(O.LeftTop.X >= M.View.LeftTop.X && O.LeftTop.Y >= M.View.LeftTop.Y &&
                        O.RightBottom.X <= X1 && O.RightBottom.Y <= Y1);
        }
        QVERIFY(M.View.VisibleList.Count() > 1000);
        QVERIFY(FWindow->statusBar()->currentMessage().contains(QStringLiteral("здания")));
    }

    void escapeCancelsAndTheOpenMapStays() {
        FWindow->StartImport({kOsm + QStringLiteral("/moscow-maryina-roshcha.osm.gz"),
                              kOsm + QStringLiteral("/moscow-kitay-gorod.osm.pbf")});
        QVERIFY(FWindow->ImportRunning());
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!FWindow->ImportRunning(), 60000);
        QCOMPARE(FWindow->Map().Count(), FSampleCount);
        QVERIFY(!FWindow->Map().Modified());
        QCOMPARE(FWindow->statusBar()->currentMessage(), QStringLiteral("Импорт отменён"));
        // Escape goes back to the map's tools afterwards.
        QVERIFY(FWindow->findChild<QAction*>(QStringLiteral("actImport"))->isEnabled());
    }

    void aBadFileIsReportedAndTheOpenMapStays() {
        QTemporaryDir Dir;
        QFile Junk(Dir.filePath(QStringLiteral("junk.osm")));
        QVERIFY(Junk.open(QIODevice::WriteOnly));
        Junk.write("this is not map data");
        Junk.close();
        QString Text;
        bool Seen = false;
        const TModalAnswer Answer = AcceptMessage(Text, Seen);
        FWindow->StartImport({Junk.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(Seen, 20000);
        QVERIFY(Text.contains(QStringLiteral("junk.osm")));
        QCOMPARE(FWindow->Map().Count(), FSampleCount);
        QVERIFY(!FWindow->ImportRunning());
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
