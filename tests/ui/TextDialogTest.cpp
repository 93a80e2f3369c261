// The text dialog of a new text object, driven with keys and clicks while it runs modally.
#include "ui/ZemFontDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <vector>

using namespace zem;

class TextDialogTest : public QObject {
    Q_OBJECT

    // Runs Step on the dialog once it is shown modally.
    static void WhenShown(const std::function<void(TZemFontDialogForm&)>& Step) {
        QTimer::singleShot(0, [Step] {
            auto* Dialog = qobject_cast<TZemFontDialogForm*>(QApplication::activeModalWidget());
            QVERIFY(Dialog);
            Step(*Dialog);
        });
    }

private slots:
    void editsAreSeenLiveAndOkReturnsThem() {
        TZemTextAnswer Answer;
        Answer.Text = "старый";
        std::vector<TZemTextAnswer> Seen;
        QString Selected, AngleText;
        WhenShown([&](TZemFontDialogForm& D) {
            QCOMPARE(D.windowTitle(), QStringLiteral("Текст"));
            QVERIFY(D.windowFlags() & Qt::WindowStaysOnTopHint);
            Selected = D.TextEdit->selectedText();
            QTest::keyClicks(D.TextEdit, QStringLiteral("Ulica"));
            D.FontCombo->setCurrentIndex(2);
            D.AngleTrackBar->setValue(905);
            AngleText = D.AngleLabel->text();
            D.FontSizeTrackBar->setValue(36);
            QTest::mouseClick(D.BoldCheck, Qt::LeftButton);
            D.UnderlineCheck->setFocus();
            QTest::keyClick(D.UnderlineCheck, Qt::Key_Space);
            QTest::mouseClick(D.OkButton, Qt::LeftButton);
        });
        QVERIFY(
            TZemFontDialogForm::Ask(nullptr, Answer, [&](const TZemTextAnswer& A) { Seen.push_back(A); }));
        QCOMPARE(Selected, QStringLiteral("старый")); // typing replaces the old text
        QCOMPARE(AngleText, QStringLiteral("90°"));
        QCOMPARE(Seen.size(), size_t(5 + 1 + 2 + 2)); // five letters, combo, two bars, two boxes
        QCOMPARE(QString::fromStdString(Seen[2].Text), QStringLiteral("Uli"));
        QCOMPARE(Seen.back().Style, std::uint8_t(1 | 4));
        QCOMPARE(QString::fromStdString(Answer.Text), QStringLiteral("Ulica"));
        QCOMPARE(Answer.FontName, std::string("Times New Roman"));
        QCOMPARE(Answer.AngleTenths, 905);
        QCOMPARE(Answer.Size, 36);
        QCOMPARE(Answer.Style, std::uint8_t(1 | 4));
    }

    void showingAgainClearsTheStyle() {
        TZemFontDialogForm D;
        D.show();
        D.ItalicCheck->setChecked(true);
        QCOMPARE(D.Values().Style, std::uint8_t(2));
        D.ItalicCheck->setChecked(false);
        D.StrikeOutCheck->setChecked(true);
        QCOMPARE(D.Values().Style, std::uint8_t(8));
        D.hide();
        D.show();
        QVERIFY(!D.StrikeOutCheck->isChecked());
        QCOMPARE(D.Values().Style, std::uint8_t(0));
        QCOMPARE(D.Values().Size, 20);
        QCOMPARE(D.Values().AngleTenths, 1);
        QCOMPARE(D.SizeLabel->text(), QStringLiteral("20"));
    }

    void cancelAndEscapeLeaveTheAnswer() {
        for (bool ByEscape : {false, true}) {
            TZemTextAnswer Answer;
            Answer.Text = "как было";
            Answer.Size = 150;
            WhenShown([&](TZemFontDialogForm& D) {
                QTest::keyClicks(D.TextEdit, QStringLiteral("other"));
                if (ByEscape)
                    QTest::keyClick(&D, Qt::Key_Escape);
                else
                    QTest::mouseClick(D.CancelButton, Qt::LeftButton);
            });
            QVERIFY(!TZemFontDialogForm::Ask(nullptr, Answer, {}));
            QCOMPARE(QString::fromStdString(Answer.Text), QStringLiteral("как было"));
            QCOMPARE(Answer.Size, 150);
        }
    }
};

QTEST_MAIN(TextDialogTest)
#include "TextDialogTest.moc"
