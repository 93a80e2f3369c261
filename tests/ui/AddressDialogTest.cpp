// "Адресные данные" through the main window as a user reaches it: an object selected on the map, F2
// pressed on the window, fields typed, "Применить" or Enter or Escape; then saved, reloaded and undone.
#include "TestWindow.h"
#include "address/ZemAddress.h"
#include "base/ZemText.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "ui/ZemAddressDialog.h"
#include "ui/ZemAddressPage.h"
#include "ui/ZemMainWindow.h"
#include "ui/ZemMapWidget.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "ModalAnswer.h"
#include "WindowTestPoints.h"

using namespace zem;

namespace {

const QString kSample = QStringLiteral(ZEM_SOURCE_DIR "/samples/Карта города.mp");

ZemString Cp(const char* Utf8) {
    return FromUtf8(Utf8);
}

// Types Text into a field as keys, after selecting what it shows.
void Type(QWidget* Field, const QString& Text) {
    auto* Edit = qobject_cast<QLineEdit*>(Field);
    if (auto* Combo = qobject_cast<QComboBox*>(Field))
        Edit = Combo->lineEdit();
    Edit->setFocus();
    Edit->selectAll();
    if (Text.isEmpty())
        QTest::keyClick(Edit, Qt::Key_Delete);
    else
        for (const QChar C : Text) // Cyrillic too, which keyClicks cannot type
            QTest::sendKeyEvent(QTest::Click, Edit, Qt::Key_unknown, QString(C), Qt::NoModifier);
}

} // namespace

class AddressDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TfrmMain> FWindow;
    std::int32_t FID = -1;

    TZemMap& Map() { return FWindow->Map(); }
    QAction* AddressAction() { return FWindow->findChild<QAction*>(QStringLiteral("actAddress")); }
    TAddress Read(std::int32_t ID) {
        TAddress A;
        Map().GetAddress(ID, A);
        return A;
    }
    // F2 on the main window; Answer fills the dialog and closes it.
    void PressF2(const std::function<void(TfrmAdr&)>& Answer) {
        bool Seen = false;
        const auto Answering = OnNextModal<TfrmAdr>([Answer](TfrmAdr* D) { Answer(*D); }, Seen);
        QTest::keyClick(FWindow.get(), Qt::Key_F2);
        QVERIFY(Seen);
        QVERIFY(testui::Activate(FWindow.get()));
        QTRY_COMPARE(QApplication::activeWindow(), FWindow.get());
    }
    // Opens File and selects a polygon by a click: the given one (the view centred on it) or any.
    void Open(const QString& File, std::int32_t Want = -1) {
        QVERIFY(FWindow->OpenMap(File));
        QVERIFY(!AddressAction()->isEnabled());
        QPoint At;
        if (Want == -1) {
            QVERIFY(VisiblePolygonPoint(*FWindow, FID, At));
        } else {
            const TZemObject& O = Map().ObjectByID(Want);
            Map().SetView({(O.LeftTop.X + O.RightBottom.X) / 2, (O.LeftTop.Y + O.RightBottom.Y) / 2}, 25);
            At = FWindow->MapWidget()->rect().center();
            FID = Want;
        }
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, At);
        QCOMPARE(Map().CurrentObject(), FID);
        QVERIFY(AddressAction()->isEnabled());
    }

private slots:
    void initTestCase() { testui::UseTestSettings(); }
    void init() {
        QVERIFY(testui::ShowMainWindow(FWindow, QString(), QSize()));
        Open(kSample);
        QVERIFY(testui::Activate(FWindow.get()));
    }
    void cleanup() { FWindow.reset(); }

    // A street kept with a space at its end, as the directory editor keeps it, is the street chosen in the
    // list: F2 finds it instead of adding a twin, also when applied again unchanged; a letter typed as a
    // letter and a combining mark arrives as the code page's letter.
    void namesAreFoundAsShownAndTypedLettersComposed() {
        Map().Doc.Streets.push_back(Cp("Новая улица "));
        const std::size_t Streets = Map().Doc.Streets.size();
        PressF2([](TfrmAdr& D) {
            D.StreetCombo->setCurrentIndex(D.StreetCombo->findText(QStringLiteral("Новая улица ")));
            D.OkBtn->click();
        });
        QCOMPARE(Map().Doc.Streets.size(), Streets);
        QCOMPARE(Map().ObjectByID(FID).Address().Street, static_cast<std::int32_t>(Streets - 1));
        PressF2([](TfrmAdr& D) { D.OkBtn->click(); });
        QCOMPARE(Map().Doc.Streets.size(), Streets);
        QCOMPARE(Map().ObjectByID(FID).Address().Street, static_cast<std::int32_t>(Streets - 1));

        PressF2([](TfrmAdr& D) {
            Type(D.StreetCombo, QStringLiteral("Зои\u0306ская Е\u0308"));
            D.OkBtn->click();
        });
        QCOMPARE(Map().Doc.Streets.back(), Cp("Зойская Ё"));
    }

    void appliedAddressIsSavedReloadedAndUndone() {
        const TAddress Before = Read(FID);
        const std::size_t Streets = Map().Doc.Streets.size();
        PressF2([](TfrmAdr& D) {
            QCOMPARE(D.windowTitle(), QStringLiteral("Адресные данные"));
            // The lists are the directories sorted ignoring case.
            QVERIFY(D.StreetCombo->count() > 10);
            for (int i = 1; i < D.StreetCombo->count(); ++i)
                QVERIFY(D.StreetCombo->itemText(i - 1).compare(D.StreetCombo->itemText(i),
                                                               Qt::CaseInsensitive) <= 0);
            QCOMPARE(D.StreetCombo2->count(), D.StreetCombo->count());
            Type(D.StreetCombo, QStringLiteral("УЛИЦА ПОКРОВКА")); // in another case: the existing line
            Type(D.NumberEdit, QStringLiteral("12"));
            Type(D.AreaCombo, QStringLiteral("Басманный")); // a new district
            Type(D.CorpusEdit, QStringLiteral("2"));
            D.OkBtn->click();
        });
        TAddress Want = Before;
        Want.Street = Cp("улица Покровка");
        Want.Number = "12";
        Want.Area = Cp("Басманный");
        Want.Corpus = "2";
        QCOMPARE(Read(FID), Want);
        QCOMPARE(Map().Doc.Streets.size(), Streets);
        QCOMPARE(Map().Doc.Areas, TZemDirectory{Cp("Басманный")});
        QVERIFY(Map().Modified());
        QVERIFY(FWindow->windowTitle().endsWith(QStringLiteral("*")));

        QTemporaryDir Dir;
        const QString File = Dir.filePath(QStringLiteral("адрес.mp"));
        QVERIFY(FWindow->SaveMap(File));
        Open(File, FID);
        QCOMPARE(Read(FID), Want);
        // The dialog shows what was stored, the new district in its sorted place.
        PressF2([](TfrmAdr& D) {
            QCOMPARE(D.StreetCombo->currentText(), QStringLiteral("улица Покровка"));
            QCOMPARE(D.NumberEdit->text(), QStringLiteral("12"));
            QCOMPARE(D.AreaCombo->count(), 1);
            QCOMPARE(D.AreaCombo->currentText(), QStringLiteral("Басманный"));
            D.CancelBtn->click();
        });

        // Undo takes back the address and the new district in one step.
        Open(kSample, FID);
        PressF2([](TfrmAdr& D) {
            Type(D.AreaCombo, QStringLiteral("Басманный"));
            D.OkBtn->click();
        });
        QCOMPARE(Map().Doc.Areas.size(), std::size_t{1});
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Read(FID), Before);
        QVERIFY(Map().Doc.Areas.empty());
        QVERIFY(!Map().Modified());
    }

    void enterAppliesEscapeCancels() {
        const TAddress Before = Read(FID);
        PressF2([](TfrmAdr& D) {
            Type(D.NumberEdit, QStringLiteral("99"));
            QTest::keyClick(D.StreetCombo2->lineEdit(), Qt::Key_Escape);
            QVERIFY(!D.isVisible());
        });
        QCOMPARE(Read(FID), Before);
        QVERIFY(!Map().CanUndo());
        PressF2([](TfrmAdr& D) {
            Type(D.NumberEdit2, QStringLiteral("4"));
            Type(D.StreetCombo2, QStringLiteral("Новая улица"));
            QTest::keyClick(D.StreetCombo2->lineEdit(), Qt::Key_Return);
            QVERIFY(!D.isVisible());
        });
        QCOMPARE(Read(FID).Number2, ZemString("4"));
        QCOMPARE(Read(FID).Street2, Cp("Новая улица"));
        QCOMPARE(Map().Doc.Streets.back(), Cp("Новая улица"));
        // Clearing every field empties the address.
        PressF2([](TfrmAdr& D) {
            for (QWidget* F :
                 std::initializer_list<QWidget*>{D.CityCombo, D.IndexCombo, D.StreetCombo, D.NumberEdit,
                                                 D.StreetCombo2, D.NumberEdit2, D.AreaCombo, D.CorpusEdit})
                Type(F, QString());
            QTest::keyClick(D.CorpusEdit, Qt::Key_Enter);
        });
        QVERIFY(Map().ObjectByID(FID).Address().Empty);
        PressF2([](TfrmAdr& D) {
            QVERIFY(D.CityCombo->currentText().isEmpty() && D.StreetCombo->currentText().isEmpty());
            D.reject();
        });
    }

    void visibleObjectsKeepTheirOwnParts() {
        TZemMap& M = Map();
        // A visible object with a street of its own and one with no address at all.
        std::int32_t Own = -1, Bare = -1;
        for (std::int32_t ID : M.View.VisibleList) {
            const TZemObject& O = M.ObjectByID(ID);
            if (ID == FID || O.Kind == otRoadCross || O.Kind == otRoadCrossLine)
                continue;
            if (Own == -1 && !O.Address().Empty && O.Address().Street != -1)
                Own = ID;
            else if (Bare == -1 && O.Address().Empty)
                Bare = ID;
        }
        QVERIFY(Own != -1 && Bare != -1);
        const TAddress OwnBefore = Read(Own);
        const std::size_t Steps = M.History().Position();
        PressF2([](TfrmAdr& D) {
            Type(D.StreetCombo, QStringLiteral("улица Маросейка"));
            Type(D.IndexCombo, QStringLiteral("101000"));
            Type(D.NumberEdit, QStringLiteral("8"));
            D.Button1->click();
        });
        QCOMPARE(M.History().Position(), Steps + 1);
        QCOMPARE(Read(FID).Number, ZemString("8"));
        QCOMPARE(Read(Bare).Street, Cp("улица Маросейка"));
        QVERIFY(Read(Bare).Number.empty());
        TAddress OwnWant = OwnBefore;
        OwnWant.Index = "101000";
        QCOMPARE(Read(Own), OwnWant);
        M.Undo();
        QCOMPARE(Read(Own), OwnBefore);
        QVERIFY(M.ObjectByID(Bare).Address().Empty);
        QVERIFY(M.Doc.Indexes.empty());
    }

    // The page "Типы и адреса" shows the current object and changes its type and shared address parts.
    void typesAndAddressesPage() {
        TZemMap& M = Map();
        auto* Page = FWindow->findChild<TZemAddressPage*>();
        QVERIFY(Page);
        FWindow->Pages()->setCurrentWidget(Page);
        const TAddress Before = Read(FID);
        QVERIFY(!Before.Street.empty() && !Before.Number.empty());
        QCOMPARE(Page->StreetCombo->currentText(), QString::fromStdString(ToUtf8(Before.Street)));
        QCOMPARE(Page->ObjectTypeCombo->currentText(), QStringLiteral("Здание"));
        Type(Page->StreetCombo, QStringLiteral("улица маросейка"));
        Type(Page->ObjectTypeCombo, QStringLiteral("Музей"));
        for (QToolButton* B : Page->findChildren<QToolButton*>())
            if (B->text() == QStringLiteral("Установить"))
                B->click();
        TAddress Want = Before;
        Want.Street = Cp("улица Маросейка");
        QCOMPARE(Read(FID), Want); // the house number stays
        QCOMPARE(M.Doc.ObjectTypes.back(), Cp("Музей"));
        QCOMPARE(M.ObjectByID(FID).Category(), std::int32_t(M.Doc.ObjectTypes.size() - 1));
        // One step: undone, the page shows the object as it was.
        QTest::keyClick(FWindow.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Read(FID), Before);
        QCOMPARE(M.Doc.ObjectTypes.size(), std::size_t{5});
        QCOMPARE(Page->ObjectTypeCombo->currentText(), QStringLiteral("Здание"));
        QCOMPARE(Page->StreetCombo->currentText(), QString::fromStdString(ToUtf8(Before.Street)));
        // Without a current object the page is off.
        QTest::mouseClick(FWindow->MapWidget(), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(M.CurrentObject(), -1);
        QVERIFY(!Page->StreetCombo->isEnabled());
    }
};

QTEST_MAIN(AddressDialogTest)
#include "AddressDialogTest.moc"
