// "Справочники" and the organisation window, driven from the main window on the sample city.
#include "TestWindow.h"
#include "address/ZemDirectories.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "ui/ZemDirectoriesDialog.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemOrganisationWindow.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtTest>

#include <map>
#include <vector>

#include "ModalAnswer.h"
#include "WindowTestPoints.h"

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

ZemString Shows(const TZemDirectory& D, std::int32_t Ref) {
    return Ref >= 0 && static_cast<std::size_t>(Ref) < D.size() ? D[static_cast<std::size_t>(Ref)]
                                                                : ZemString();
}

// Street, second street, category and transport type names of every object.
std::map<std::int32_t, std::vector<ZemString>> Names(const TZemMap& M) {
    std::map<std::int32_t, std::vector<ZemString>> Result;
    for (std::int32_t ID : M.Doc.Order) {
        const TZemObject& O = M.ObjectByID(ID);
        Result[ID] = {Shows(M.Doc.Streets, O.Address().Street), Shows(M.Doc.Streets, O.Address().Street2),
                      Shows(M.Doc.ObjectTypes, O.Category()), Shows(M.Doc.TransportTypes, O.TransportType())};
    }
    return Result;
}

QString BoxText(TfrmZemSpravDialog& D, TZemDirectoryPage Page) {
    return D.Box(Page)->toPlainText();
}

} // namespace

class DirectoriesDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

    QAction* Action(const char* Name) { return FWindow->findChild<QAction*>(QString::fromLatin1(Name)); }
    // Opens "Справочники" from the menu and runs Answer on it; false when it did not come up.
    bool OpenDirectories(const std::function<void(TfrmZemSpravDialog&)>& Answer) {
        bool Seen = false;
        const auto Answering =
            OnNextModal<TfrmZemSpravDialog>([Answer](TfrmZemSpravDialog* D) { Answer(*D); }, Seen);
        Action("actDirectories")->trigger();
        return Seen;
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

    void sortingTheStreetsKeepsEveryAddressOnItsStreet() {
        TZemMap& M = FWindow->Map();
        QVERIFY(M.Doc.Streets.size() > 10);
        const auto Before = Names(M);
        const TZemDirectory Streets = M.Doc.Streets, Transport = M.Doc.TransportTypes;
        TZemDirectory Sorted = Streets;
        SortDirectoryLines(Sorted);
        QVERIFY(Sorted != Streets); // the sort has work to do
        int Addressed = 0;
        for (const auto& [ID, N] : Before)
            Addressed += !N[0].empty();
        QVERIFY(Addressed > 100);

        QVERIFY(OpenDirectories([&](TfrmZemSpravDialog& D) {
            QCOMPARE(D.windowTitle(), QStringLiteral("Справочники"));
            QCOMPARE(D.Pages()->currentIndex(), int(dpTransport)); // the first time
            QCOMPARE(D.Pages()->tabText(dpStreets), QStringLiteral("Улицы"));
            QVERIFY(D.ApplyButton()->isDefault());
            D.Pages()->setCurrentIndex(dpStreets);
            const QString TransportText = BoxText(D, dpTransport);
            D.SortButton()->click();
            QCOMPARE(DirectoryLines(FromUtf8(BoxText(D, dpStreets).toStdString())), Sorted);
            QCOMPARE(BoxText(D, dpTransport), TransportText); // never sorted
            D.ApplyButton()->click();
        }));
        QCOMPARE(M.Doc.Streets, Sorted);
        QCOMPARE(M.Doc.TransportTypes, Transport);
        QVERIFY(Names(M) == Before); // every house still on its own street
        QVERIFY(M.Modified());
        QVERIFY(FWindow->windowTitle().endsWith(QStringLiteral("*")));

        // One step back puts the order and every reference back; the page last used is shown next time.
        Action("actUndo")->trigger();
        QCOMPARE(M.Doc.Streets, Streets);
        QVERIFY(Names(M) == Before);
        QVERIFY(!M.Modified());
        QVERIFY(OpenDirectories([](TfrmZemSpravDialog& D) {
            QCOMPARE(D.Pages()->currentIndex(), int(dpStreets));
            D.CancelButton()->click();
        }));
    }

    void cancelLeavesTheDirectoriesAsTheyWere() {
        TZemMap& M = FWindow->Map();
        const TZemDirectory Streets = M.Doc.Streets;
        const auto Before = Names(M);
        const std::size_t Steps = M.History().Position();
        QVERIFY(OpenDirectories([](TfrmZemSpravDialog& D) {
            D.Box(dpStreets)->setPlainText(QStringLiteral("Новая\n"));
            D.SortButton()->click();
            D.CancelButton()->click();
        }));
        QCOMPARE(M.Doc.Streets, Streets);
        QVERIFY(Names(M) == Before);
        QVERIFY(!M.Modified());
        QCOMPARE(M.History().Position(), Steps);
        // The boxes are filled again at the next showing; Escape cancels too.
        QVERIFY(OpenDirectories([&](TfrmZemSpravDialog& D) {
            QCOMPARE(DirectoryLines(FromUtf8(BoxText(D, dpStreets).toStdString())), Streets);
            QTest::keyClick(&D, Qt::Key_Escape);
            QVERIFY(!D.isVisible());
        }));
        QCOMPARE(M.Doc.Streets, Streets);
    }

    void f3OpensTheOrganisationWindowForTheCurrentObject() {
        TZemMap& M = FWindow->Map();
        QAction* Organisations = Action("actOrganisations");
        QVERIFY(!Organisations->isEnabled()); // no current object yet
        std::int32_t ID = -1;
        QPoint At;
        QVERIFY(VisiblePolygonPoint(*FWindow, ID, At));
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QCOMPARE(M.CurrentObject(), ID);
        QVERIFY(Organisations->isEnabled());
        const auto File = M.SaveToBytes();
        bool Seen = false;
        const auto Answering = OnNextModal<TfrmOrganisation>(
            [](TfrmOrganisation* W) {
                QCOMPARE(W->windowTitle(), QStringLiteral("Организации в указанном здании"));
                QVERIFY(W->windowFlags() & Qt::WindowStaysOnTopHint);
                auto* Short = W->findChild<QPlainTextEdit*>(QStringLiteral("ShortDescription"));
                Short->setPlainText(QString(400, QLatin1Char('x')));
                QCOMPARE(Short->toPlainText().size(), 300);
                QTest::keyClick(W, Qt::Key_Escape);
                QVERIFY(!W->isVisible());
            },
            Seen);
        QTest::keyClick(FWindow.get(), Qt::Key_F3);
        QVERIFY(Seen);
        QVERIFY(M.SaveToBytes() == File); // nothing typed there reaches the map
        QVERIFY(!M.Modified());
    }
};

QTEST_MAIN(DirectoriesDialogTest)
#include "DirectoriesDialogTest.moc"
