// F1 in the main window opens the program's help: a Russian text with pictures of the window, found
// beside the program whatever the current folder is.
#include "TestWindow.h"
#include "ui/ZemHelpWindow.h"
#include "ui/ZemMainWindow.h"

#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "ModalAnswer.h"

using namespace zem;

class HelpTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;

private slots:
    void initTestCase() { testui::UseTestSettings(); }

    void f1OpensTheHelpWithItsPictures() {
        QTemporaryDir Elsewhere;
        QDir::setCurrent(Elsewhere.path());
        QVERIFY(testui::ShowMainWindow(FWindow, QString()));
        QVERIFY(testui::Activate(FWindow.get()));
        bool Refused = false;
        QString Why;
        const auto Answering = OnNextModal<QMessageBox>(
            [&](QMessageBox* Box) {
                Why = Box->text();
                Box->reject();
            },
            Refused);
        QTest::keyClick(FWindow.get(), Qt::Key_F1);
        QVERIFY2(!Refused, qPrintable(Why));
        auto* Help = FWindow->findChild<TfrmHelp*>();
        QVERIFY(Help);
        QTRY_VERIFY(Help->isVisible());
        QCOMPARE(Help->windowTitle(), QStringLiteral("Справка ZemMap"));
        const QString Text = Help->Browser()->toPlainText();
        for (const char* Part :
             {"Окно", "Инструменты и клавиши", "Рисование", "Транспортная сеть и поиск маршрута",
              "Адреса и справочники", "Печать", "Резервные копии"})
            QVERIFY2(Text.contains(QString::fromUtf8(Part)), Part);
        // Every picture the text shows can be read.
        int Pictures = 0;
        for (const QString& Name : {QStringLiteral("window.png"), QStringLiteral("route.png")}) {
            const QVariant Data = Help->Browser()->loadResource(QTextDocument::ImageResource, QUrl(Name));
            QImage Image;
            QVERIFY2(Image.loadFromData(Data.toByteArray()), qPrintable(Name));
            QVERIFY(Image.width() > 200 && Image.height() > 150);
            ++Pictures;
        }
        QCOMPARE(Pictures, 2);
        // A second F1 brings the same window back.
        Help->hide();
        QVERIFY(testui::Activate(FWindow.get()));
        QTest::keyClick(FWindow.get(), Qt::Key_F1);
        QTRY_VERIFY(Help->isVisible());
        QCOMPARE(FWindow->findChildren<TfrmHelp*>().size(), 1);
        FWindow.reset();
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
