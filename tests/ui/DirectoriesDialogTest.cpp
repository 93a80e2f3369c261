// "Справочники" and the organisation window, driven from the main window on the sample city.
#include "TestWindow.h"
#include "address/ZemDirectories.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "ui/ZemDirectoriesDialog.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemOrganisationWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtTest>

#include <algorithm>
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

    // "Применить" with no edit leaves every line as it was, bytes the text box cannot show included.
    void untouchedLinesStayByteForByte() {
        TZemMap& M = FWindow->Map();
        M.Doc.Streets[0] = "\xCF\xEE\xEA\xF0\xEE\xE2\xEA\xE0\xA0"
                           "22";           // a non-breaking space
        M.Doc.Streets[1] = "\xC0\x98\xC1"; // 0x98: no letter in the code page
        M.Doc.Areas.push_back("\xA0\xC1\xE0\xF1\xEC\xE0\xED\xED\xFB\xE9");
        M.ClearHistory();
        M.MarkSaved();
        const TZemDirectories Before = DirectoriesOf(M.Doc);
        QVERIFY(OpenDirectories([](TfrmZemSpravDialog& D) { D.ApplyButton()->click(); }));
        QVERIFY(DirectoriesOf(M.Doc) == Before);
        QVERIFY(!M.Modified());
    }

    // The route search knows the first transport types by their places: moving one is refused with a
    // message that names it, and the dialog stays open; adding a line at the end is fine.
    void theFirstTransportTypesKeepTheirPlaces() {
        TZemMap& M = FWindow->Map();
        const TZemDirectory Transport = M.Doc.TransportTypes;
        QVERIFY(Transport.size() >= 2);
        QString Said;
        QVERIFY(OpenDirectories([&](TfrmZemSpravDialog& D) {
            D.Box(dpTransport)->setPlainText(QStringLiteral("Трамвай\n") + BoxText(D, dpTransport));
            bool Told = false;
            const auto Telling = OnNextModal<QMessageBox>(
                [&Said](QMessageBox* B) {
                    Said = B->text();
                    B->buttons().front()->click();
                },
                Told);
            D.ApplyButton()->click();
            QVERIFY(Told);
            QVERIFY(D.isVisible());
            D.CancelButton()->click();
        }));
        QVERIFY(Said.contains(QString::fromStdString(ToUtf8(Transport[0]))));
        QCOMPARE(M.Doc.TransportTypes, Transport);
        QVERIFY(!M.Modified());
        QVERIFY(OpenDirectories([&](TfrmZemSpravDialog& D) {
            D.Box(dpTransport)->setPlainText(BoxText(D, dpTransport) + QStringLiteral("Трамвай\n"));
            D.ApplyButton()->click();
        }));
        QCOMPARE(M.Doc.TransportTypes.size(), Transport.size() + 1);
    }

    // Deleting a street that houses use says how many and asks; "Нет" keeps the dialog and the map as
    // they were, "Да" applies.
    void deletingAStreetInUseAsksFirst() {
        TZemMap& M = FWindow->Map();
        std::vector<std::int32_t> Users(M.Doc.Streets.size(), 0);
        for (std::int32_t ID : M.Doc.Order) {
            const TZemAddress& A = M.ObjectByID(ID).Address();
            for (const std::int32_t S : {A.Street, A.Street2 == A.Street ? -1 : A.Street2})
                if (S >= 0 && static_cast<std::size_t>(S) < Users.size())
                    ++Users[static_cast<std::size_t>(S)];
        }
        const auto Most = std::max_element(Users.begin(), Users.end());
        QVERIFY(*Most > 1);
        const std::size_t Line = static_cast<std::size_t>(Most - Users.begin());
        const QString Name = QString::fromStdString(ToUtf8(M.Doc.Streets[Line]));
        const TZemDirectory Streets = M.Doc.Streets;
        for (const char* Answer : {"Нет", "Да"}) {
            QString Asked;
            QVERIFY(OpenDirectories([&](TfrmZemSpravDialog& D) {
                TZemDirectory Lines = Streets;
                Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(Line));
                D.Box(dpStreets)->setPlainText(QString::fromStdString(ToUtf8(DirectoryText(Lines))));
                bool Seen = false;
                const auto Asking = OnNextModal<QMessageBox>(
                    [&](QMessageBox* B) {
                        Asked = B->text();
                        for (QAbstractButton* Button : B->buttons())
                            if (Button->text() == QString::fromUtf8(Answer))
                                Button->click();
                    },
                    Seen);
                D.ApplyButton()->click();
                QVERIFY(Seen);
                if (D.isVisible())
                    D.CancelButton()->click();
            }));
            QVERIFY(Asked.contains(QStringLiteral("«%1» (Улицы) — %2 ").arg(Name).arg(*Most)));
            if (QString::fromUtf8(Answer) == QStringLiteral("Нет")) {
                QCOMPARE(M.Doc.Streets, Streets);
                QVERIFY(!M.Modified());
            }
        }
        QCOMPARE(M.Doc.Streets.size(), Streets.size() - 1);
        for (std::int32_t ID : M.Doc.Order)
            QVERIFY(M.ObjectByID(ID).Address().Street < static_cast<std::int32_t>(M.Doc.Streets.size()));
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
