// Recovery after a killed program, end to end: the program runs as a child process (this binary, started
// again with ZEM_RECOVERY_CHILD set, runs the program's own start), draws a rectangle on a saved map,
// waits for its copy and is killed with SIGKILL; the next start is asked about the copy, answers
// "Восстановить", finds the rectangle in a modified map under the original's name and saves it there.
// Each child gets its own HOME and XDG folders: the user's data is never touched.
#include "model/ZemMap.h"
#include "persistence/ZemRecovery.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemRecoveryPrompt.h"
#include "ui/ZemStartup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using namespace zem;

namespace {

// ---- The children ----

// Clicks Button on the open message box whose text contains Text; true when there was one.
bool Answer(const QString& Text, const QString& Button) {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!Box || !Box->text().contains(Text))
        return false;
    std::printf("asked: %s\n", Box->text().toUtf8().constData());
    for (QAbstractButton* B : Box->buttons())
        if (B->text() == Button)
            B->click();
    return true;
}

// Opens the map of the command line, then draws a rectangle with the tool, as a user would.
void DrawChild(TfrmMain& Window) {
    auto* Poll = new QTimer(&Window);
    QObject::connect(Poll, &QTimer::timeout, &Window, [&Window, Poll] {
        if (Window.FileName().isEmpty())
            return;
        Poll->stop();
        Window.ChooseTool(tRectangle);
        QWidget* W = Window.MapWidget();
        QTest::mouseClick(W, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(W, QPoint(220, 190));
        QTest::mouseClick(W, Qt::RightButton, {}, QPoint(220, 190));
        std::printf("drawn %d modified %d\n", Window.Map().Count(), Window.Map().Modified() ? 1 : 0);
        std::fflush(stdout);
    });
    Poll->start(50);
}

// Answers "Восстановить", reports what the window holds, then closes it saving with "Да".
void RestoreChild(TfrmMain& Window) {
    auto* Poll = new QTimer(&Window);
    QObject::connect(Poll, &QTimer::timeout, &Window, [&Window] {
        static bool Reported = false;
        if (Answer(QStringLiteral("Найдена несохранённая копия карты"), QStringLiteral("Восстановить")) ||
            Answer(QStringLiteral("Сохранить изменения"), QStringLiteral("Да")))
            return;
        if (Reported || !Window.Map().Modified())
            return;
        Reported = true;
        std::printf("restored %d modified %d file %s\n", Window.Map().Count(),
                    Window.Map().Modified() ? 1 : 0, Window.FileName().toUtf8().constData());
        std::fflush(stdout);
        QTimer::singleShot(0, &Window, [&Window] { Window.close(); });
    });
    Poll->start(50);
    QTimer::singleShot(30000, [] { QCoreApplication::exit(3); }); // never hang a test run
}

// ---- The test ----

class RecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir FHome;

    QProcess* Start(const QString& Role, const QStringList& Args) {
        auto* P = new QProcess(this);
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("HOME"), FHome.path());
        Env.insert(QStringLiteral("XDG_DATA_HOME"), FHome.filePath(QStringLiteral("data")));
        Env.insert(QStringLiteral("XDG_CONFIG_HOME"), FHome.filePath(QStringLiteral("config")));
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Env.insert(QStringLiteral("ZEMMAP_AUTOSAVE_MS"), QStringLiteral("300"));
        Env.insert(QStringLiteral("ZEM_RECOVERY_CHILD"), Role);
        P->setProcessEnvironment(Env);
        P->start(QCoreApplication::applicationFilePath(), Args);
        return P;
    }
    QString Folder() const { return FHome.filePath(QStringLiteral("data/ZemMap/ZemMap/recovery")); }
    QStringList Copies() const {
        return QDir(Folder()).entryList({QStringLiteral("*") + TZemRecoveryFolder::kSuffix}, QDir::Files);
    }

private slots:
    // In this process: "Позже" keeps a copy, "Удалить" removes one, a damaged copy is only offered for
    // deletion.
    void laterKeepsDeleteRemovesAndADamagedCopyIsOnlyDeleted() {
        QVERIFY(FHome.isValid());
        const std::string Dir = QFile::encodeName(FHome.filePath(QStringLiteral("inproc"))).toStdString();
        TfrmMain Window;
        Window.EnableRecovery(QString::fromStdString(Dir), 60000);
        // Copies as ended programs left them: made by a folder object of this process, then taken out of
        // its name so that they are no longer its own.
        HeadlessHost Host;
        TZemMap Map(Host);
        const std::vector<std::uint8_t> File = Map.SaveToBytes();
        auto Plant = [&](const char* Name, bool Damaged) {
            const TZemRecoveryFolder Other(Dir);
            Other.Write("/maps/x.mp", 1700000000, File, TRecoveryWriter{999999999, 0, ""});
            const std::string Path = Dir + "/" + Name + TZemRecoveryFolder::kSuffix;
            QVERIFY(std::rename(Other.OwnPath().c_str(), Path.c_str()) == 0);
            if (Damaged)
                QVERIFY(::truncate(Path.c_str(), 120) == 0);
        };
        Plant("a", false);
        Plant("b", true);
        Plant("c", false);
        QStringList Asked;
        auto* Poll = new QTimer(&Window);
        connect(Poll, &QTimer::timeout, &Window, [&Asked] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!Box)
                return;
            Asked << Box->text();
            QStringList Buttons;
            for (QAbstractButton* B : Box->buttons())
                Buttons << B->text();
            Buttons.sort();
            Asked << Buttons.join(QLatin1Char('/'));
            // First "Позже", then "Удалить" for the others.
            const QString Answer = Asked.size() == 2 ? QStringLiteral("Позже") : QStringLiteral("Удалить");
            for (QAbstractButton* B : Box->buttons())
                if (B->text() == Answer)
                    B->click();
        });
        Poll->start(20);
        QVERIFY(!OfferRecoveryCopies(Window));
        QCOMPARE(Asked.size(), 6);
        QVERIFY(Asked[0].startsWith(QStringLiteral("Найдена несохранённая копия карты «/maps/x.mp» от ")));
        QCOMPARE(Asked[1], QStringLiteral("Восстановить/Позже/Удалить"));
        // The damaged copy has no record: it goes by its file's time, after the others.
        QVERIFY(Asked[2].startsWith(QStringLiteral("Найдена несохранённая копия карты «/maps/x.mp» от ")));
        QVERIFY2(Asked[4].startsWith(QStringLiteral("Найдена повреждённая копия карты от ")),
                 qPrintable(Asked[4]));
        QVERIFY2(Asked[4].contains(QStringLiteral("копия обрезана")), qPrintable(Asked[4]));
        QCOMPARE(Asked[5], QStringLiteral("Позже/Удалить"));
        const QStringList Left = QDir(QString::fromStdString(Dir)).entryList(QDir::Files);
        QCOMPARE(Left, QStringList{QStringLiteral("a") + TZemRecoveryFolder::kSuffix});
        QVERIFY(!Window.Map().Modified());
    }

    void killedProgramIsRecoveredAtTheNextStart() {
        QVERIFY(FHome.isValid());
        const QString Original = FHome.filePath(QStringLiteral("Город.mp"));
        {
            HeadlessHost Host;
            TZemMap Map(Host);
            TZemObject T;
            T.Kind = otEllipse;
            T.AddPoint(0, 0);
            T.AddPoint(40, 30);
            Map.AddObject(T);
            Map.SaveToFile(QFile::encodeName(Original).toStdString());
        }

        QProcess* First = Start(QStringLiteral("draw"), {Original});
        QVERIFY(First->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!Copies().isEmpty(), 20000);
        // The program runs: another start would not offer its copy.
        QVERIFY(TZemRecoveryFolder(QFile::encodeName(Folder()).toStdString()).Orphans().empty());
        First->kill(); // SIGKILL: no handler runs, nothing is cleaned up
        QVERIFY(First->waitForFinished());
        QCOMPARE(First->exitStatus(), QProcess::CrashExit);
        QVERIFY(First->readAllStandardOutput().contains("drawn 2 modified 1"));
        QCOMPARE(Copies().size(), 1);

        QProcess* Second = Start(QStringLiteral("restore"), {});
        QVERIFY(Second->waitForFinished(40000));
        const QString Out = QString::fromUtf8(Second->readAllStandardOutput());
        QCOMPARE(Second->exitCode(), 0);
        QVERIFY2(
            Out.contains(QStringLiteral("asked: Найдена несохранённая копия карты «%1» от ").arg(Original)),
            qPrintable(Out));
        QVERIFY2(Out.contains(QStringLiteral("restored 2 modified 1 file %1").arg(Original)),
                 qPrintable(Out));
        QVERIFY2(Out.contains(QStringLiteral("asked: Сохранить изменения")), qPrintable(Out));

        // "Да" saved into the original, and the clean end left no copy.
        HeadlessHost Host;
        TZemMap Saved(Host);
        QVERIFY(Saved.LoadFromFile(QFile::encodeName(Original).toStdString()));
        QCOMPARE(Saved.Count(), 2);
        QVERIFY(Copies().isEmpty());
    }
};

} // namespace

int main(int argc, char* argv[]) {
    const QByteArray Role = qgetenv("ZEM_RECOVERY_CHILD");
    if (Role == "draw")
        return RunZemMap(argc, argv, DrawChild);
    if (Role == "restore")
        return RunZemMap(argc, argv, RestoreChild);
    QApplication App(argc, argv);
    RecoveryTest Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "RecoveryTest.moc"
