// The options window over a map with a headless host: what showing it resets and reloads, and what
// each control writes.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemColorSwatch.h"
#include "ui/ZemMiniMapWidget.h"
#include "ui/ZemMiniMapWindow.h"
#include "ui/ZemOptions.h"
#include "view/ZemMiniMap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace zem;

class OptionsTest : public QObject {
    Q_OBJECT

    HeadlessHost FHost;
    std::unique_ptr<TZemMap> FMap;
    std::unique_ptr<TfrmOptions> FOptions;

    void Reopen() {
        FOptions->hide();
        FOptions->show();
    }

private slots:
    void init() {
        FHost.Messages.clear();
        FMap = std::make_unique<TZemMap>(FHost);
        FOptions = std::make_unique<TfrmOptions>(*FMap, nullptr);
        FOptions->show();
    }
    void cleanup() {
        FOptions.reset();
        FMap.reset();
    }

    void pagesAndCaption() {
        QCOMPARE(FOptions->windowTitle(), QStringLiteral("Опции"));
        QStringList Pages;
        for (int i = 0; i < FOptions->PageControl->count(); ++i)
            Pages << FOptions->PageControl->tabText(i);
        QCOMPARE(Pages,
                 QStringList({"  Редактор  ", "  Мини-карта  ", "Подложка", "Разное", "Транспортная сеть"}));
        QCOMPARE(FOptions->CompressMethod->count(), 5);
        QVERIFY(!FOptions->isModal());
        QTest::keyClick(FOptions.get(), Qt::Key_Escape);
        QVERIFY(!FOptions->isVisible());
    }

    void everyOpeningResetsThePseudo3DAngle() {
        const float Down = static_cast<float>(3 * std::numbers::pi / 2);
        QCOMPARE(FMap->Doc.Pseudo3DAngle, Down);
        FOptions->Pseudo3DAngleTrackBar->setValue(90);
        QVERIFY(std::abs(FMap->Doc.Pseudo3DAngle - std::numbers::pi / 2) < 1e-5);
        Reopen();
        QVERIFY(std::abs(FMap->Doc.Pseudo3DAngle - Down) < 1e-5);
        QCOMPARE(FOptions->Pseudo3DAngleTrackBar->value(), 270);
        FOptions->Pseudo3DAngleTrackBar->setValue(10);
        Reopen();
        QVERIFY(std::abs(FMap->Doc.Pseudo3DAngle - Down) < 1e-5);
    }

    void measureScaleOnOkOnlyAndBadNumbersKeepIt() {
        FOptions->Edit5->setText("10000");
        QCOMPARE(FMap->Doc.MeasureScale, 100.0f); // typing alone changes nothing
        QTest::mouseClick(FOptions->MeasureScaleOk, Qt::LeftButton);
        QCOMPARE(FMap->Doc.MeasureScale, 10000.0f);
        for (const char* Bad : {"abc", "12x", "", "0", "-5", "inf"}) {
            FOptions->Edit5->setText(Bad);
            QTest::mouseClick(FOptions->MeasureScaleOk, Qt::LeftButton);
            QCOMPARE(FMap->Doc.MeasureScale, 10000.0f);
        }
        QCOMPARE(FHost.Messages.size(), size_t(6));
        QVERIFY(QString::fromStdString(FHost.Messages[0]).contains("abc"));
        Reopen();
        QCOMPARE(FOptions->Edit5->text(), QStringLiteral("10000"));
    }

    void swatchesAskForAColourAndWriteIt() {
        std::vector<TColor> Offered;
        std::optional<TColor> Answer = RGBColor(10, 20, 30);
        FOptions->AskColor = [&](TColor Initial, const QString&) {
            Offered.push_back(Initial);
            return Answer;
        };
        QTest::mouseClick(FOptions->Shape1, Qt::LeftButton);
        QCOMPARE(FMap->Doc.BackColor, RGBColor(10, 20, 30));
        QCOMPARE(QtColorToZem(FOptions->Shape1->Color()), RGBColor(10, 20, 30));
        QCOMPARE(Offered.at(0), RGBColor(0, 128, 0));
        Answer.reset(); // cancelled: nothing changes
        QTest::mouseClick(FOptions->CColorPen, Qt::LeftButton);
        QCOMPARE(FMap->Doc.DirectLineColor, RGBColor(192, 192, 192));
        QCOMPARE(Offered.at(1), RGBColor(192, 192, 192));
    }

    void controlsWriteTheMapAtOnce() {
        FOptions->XStep->setValue(120);
        FOptions->Edit1->setValue(1); // clamped by the control
        FOptions->Edit3->setValue(7);
        FOptions->ShowGrid->setChecked(false);
        FOptions->ShowGrid->setChecked(true);
        FOptions->Edit4->setFocus();
        FOptions->Edit4->selectAll();
        QTest::keyClicks(FOptions->Edit4, "km");
        FOptions->CompressMethod->setFocus();
        QTest::keyClick(FOptions->CompressMethod, Qt::Key_Up);
        QCOMPARE(FMap->Doc.DirectLineX, 120);
        QCOMPARE(FMap->Doc.DirectLineY, 4);
        QCOMPARE(FMap->Doc.MinObjectView, 7);
        QVERIFY(FMap->Doc.ShowGrid);
        QCOMPARE(FMap->Doc.MeasureStr, std::string("km"));
        QCOMPARE(FMap->Doc.Compression, std::uint8_t(2));
        // A map opened meanwhile shows its own values at the next opening.
        FMap->SetDirectLineX(333);
        Reopen();
        QCOMPARE(FOptions->XStep->value(), 333);
    }

    void miniMapPageWritesTheMiniMap() {
        TfrmMiniMap Window;
        Window.show();
        Window.Attach(*FMap);
        TZemMiniMap& Mini = Window.MiniMapWidget()->MiniMap();
        Mini.BorderColor = RGBColor(1, 2, 3);
        Reopen();
        QCOMPARE(QtColorToZem(FOptions->Shape2->Color()), RGBColor(1, 2, 3));
        FOptions->AskColor = [](TColor, const QString&) { return std::optional<TColor>(RGBColor(9, 9, 9)); };
        QTest::mouseClick(FOptions->Shape4, Qt::LeftButton);
        QCOMPARE(Mini.BorderPainterColor, RGBColor(9, 9, 9));
        FOptions->ShowDashLineCheck->setChecked(false);
        QVERIFY(!Mini.ShowDashLine);
    }

    void backgroundScaleGoesToTheWindow() {
        std::vector<float> Told;
        FOptions->OnBackgroundScale = [&](float Percent) { Told.push_back(Percent); };
        FOptions->CreateDIBScaleEdit->setText("250");
        QTest::mouseClick(FOptions->CreateDIBScaleOk, Qt::LeftButton);
        FOptions->CreateDIBScaleEdit->setText("много");
        QTest::mouseClick(FOptions->CreateDIBScaleOk, Qt::LeftButton);
        QCOMPARE(Told, std::vector<float>{250.0f});
        QCOMPARE(FOptions->BackgroundScale(), 250.0f);
        QCOMPARE(FHost.Messages.size(), size_t(1));
        FOptions->CreateDIBScaleEdit->setText("20000"); // beyond the map's largest scale
        QVERIFY(!FOptions->ReadBackgroundScale());
        FOptions->CreateDIBScaleEdit->setText("75");
        QCOMPARE(FOptions->ReadBackgroundScale(), std::optional<float>(75.0f));
        QCOMPARE(Told.size(), size_t(1)); // reading tells nobody
    }
};

QTEST_MAIN(OptionsTest)
#include "OptionsTest.moc"
