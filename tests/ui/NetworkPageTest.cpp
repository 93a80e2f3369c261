// The "Дорожная сеть" page and its dialogs on a small network built in memory.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemNetworkPage.h"
#include "ui/ZemTransportDialog.h"
#include "ui/ZemTransportSelect.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace zem;

class NetworkPageTest : public QObject {
    Q_OBJECT

    HeadlessHost Host;
    std::unique_ptr<TZemMap> Map;
    std::unique_ptr<TZemNetworkPage> Page;
    std::int32_t Typed = -1, Untyped = -1;

    template <class T> T* Child(const char* Name) {
        T* W = Page->findChild<T*>(QLatin1String(Name));
        if (!W)
            qFatal("no control %s", Name);
        return W;
    }
    TZemObject& Obj(std::int32_t ID) { return Map->ObjectByID(ID); }
    std::int32_t AddSegment(std::int32_t Type, const char* Name) {
        TZemObject S;
        S.Kind = otRoadCrossLine;
        S.AddPoint(0, 0);
        S.AddPoint(10, 0);
        S.SetTransportType(Type);
        Map->AddObject(S);
        const std::int32_t ID = Map->Doc.Order[Map->Doc.Order.Count() - 1];
        Obj(ID).SetText(Name); // a copy takes no text unless it is a text object
        return ID;
    }
private slots:
    void init() {
        Map = std::make_unique<TZemMap>(Host);
        Map->Doc.TransportTypes = {FromUtf8("Пешком"), FromUtf8("Автобус"), FromUtf8("Троллейбус")};
        Typed = AddSegment(1, "12");
        Untyped = AddSegment(-1, "");
        Page = std::make_unique<TZemNetworkPage>(*Map, nullptr);
        Host.Messages.clear();
    }
    void cleanup() {
        Page.reset();
        Map.reset();
    }

    void combosComeFromTheDirectory() {
        auto* Types = Child<QComboBox>("ComboBoxNeoprToOpr");
        QCOMPARE(Types->count(), 3);
        QCOMPARE(Types->itemText(2), QStringLiteral("Троллейбус"));
        QCOMPARE(Types->currentIndex(), -1); // nothing chosen until the user chooses
        Map->Doc.TransportTypes.push_back(FromUtf8("Маршрутное такси"));
        Types->setCurrentIndex(1);
        Page->ReloadDirectories();
        QCOMPARE(Child<QComboBox>("ComboBoxTransportTypeColor")->count(), 4);
        QCOMPARE(Types->currentIndex(), 1);
    }

    void conversion() {
        Page->ConvertUndefined(); // no type chosen: nothing happens
        QCOMPARE(Obj(Untyped).TransportType(), -1);
        Child<QComboBox>("ComboBoxNeoprToOpr")->setCurrentIndex(2);
        Child<QLineEdit>("Edit1")->setText(QStringLiteral("Т5"));
        Page->ConvertUndefined();
        QCOMPARE(Obj(Untyped).TransportType(), 2);
        QCOMPARE(Obj(Untyped).Text(), FromUtf8("Т5"));
        QCOMPARE(Obj(Typed).TransportType(), 1);
    }

    void routeColour() {
        Page->SetRouteColor();
        QCOMPARE(Host.Messages, std::vector<std::string>{"Выберите транспорт!"});
        Page->SetColorAsker([](const QColor&, QColor& C) {
            C = QColor(0, 0, 255);
            return true;
        });
        Page->RouteColorClicked();
        Child<QComboBox>("ComboBoxTransportTypeColor")->setCurrentIndex(1);
        const TColor Before = Obj(Untyped).Pen.Color;
        Page->SetRouteColor();
        QCOMPARE(Obj(Typed).Pen.Color, RGBColor(0, 0, 255));
        QCOMPARE(Obj(Untyped).Pen.Color, Before);
        QCOMPARE(Host.Messages.size(), size_t(1));
    }

    void connectionKind() {
        QVERIFY(Page->findChildren<QRadioButton*>().at(2)->isChecked());
        Page->SelectConnectionKind(1);
        QCOMPARE(int(Map->Net.ConnectionKind), 1);
        QVERIFY(Page->findChildren<QRadioButton*>().at(1)->isChecked());
        Page->SelectConnectionKind(5);
        QCOMPARE(int(Map->Net.ConnectionKind), 1);
        Page->findChildren<QRadioButton*>().at(0)->click();
        QCOMPARE(int(Map->Net.ConnectionKind), 0);
    }

    void routeNamesFilterTheView() {
        Map->SetVisibleTransportTypes(std::vector<std::int32_t>{1});
        Page->UpdateRouteNames();
        auto* Names = Child<QComboBox>("ComboBoxVisibleTransport");
        QCOMPARE(Names->count(), 1);
        Names->setCurrentIndex(0);
        Page->SetRouteFilter();
        QVERIFY(Map->Net.RouteNameFilterOn);
        QCOMPARE(Map->Net.RouteNameFilter, ZemString("12"));
        Page->ClearRouteFilter();
        QVERIFY(!Map->Net.RouteNameFilterOn);
    }

    void junctionsAndCheck() {
        auto Press = [&](const QString& Text) {
            for (QToolButton* B : Page->findChildren<QToolButton*>())
                if (B->text() == Text)
                    return B->click();
            QFAIL("no such button");
        };
        TZemObject Line;
        Line.AddPoint(0, 0);
        Line.AddPoint(5, 5);
        Line.AddPoint(9, 0);
        Map->AddObject(Line);
        const std::int32_t Before = Map->Count();
        Map->Edit.CurrentObject = Map->Doc.Order[Map->Doc.Order.Count() - 1];
        Press(QStringLiteral("На выделенной"));
        QCOMPARE(Map->Count(), Before + 3);

        Obj(Typed).StartCrossID = Obj(Typed).EndCrossID = 4; // a loop
        Obj(Untyped).StartCrossID = 1;
        Obj(Untyped).EndCrossID = 2;
        Press(QStringLiteral("Проверка"));
        QVERIFY(!Map->ObjectExists(Typed));
        QCOMPARE(Host.Messages.back(), std::string("Удалено 1 записей!"));
        QCOMPARE(int(Obj(Untyped).Direction()), 2);
    }

    void displaySelection() {
        Map->SetVisibleTransportTypes(std::vector<std::int32_t>{0, 2});
        TfrmZemTransportEditSelect Dialog(*Map, nullptr);
        Dialog.Load();
        QListWidget* List = Dialog.TransportListBox();
        QCOMPARE(List->count(), 3);
        QCOMPARE(List->item(0)->checkState(), Qt::Checked);
        QCOMPARE(List->item(1)->checkState(), Qt::Unchecked);
        Dialog.InvertChecks();
        Dialog.Apply();
        QCOMPARE(Map->Net.VisibleTransportTypes.Count(), 1);
        QCOMPARE(Map->Net.VisibleTransportTypes[0], 1);
        Dialog.CheckAll(Qt::Checked);
        Dialog.reject(); // cancel changes nothing
        QCOMPARE(Map->Net.VisibleTransportTypes.Count(), 1);
    }

    void segmentDialog() {
        Map->Edit.CurrentObject = -1;
        QVERIFY(!TfrmTransport::Edit(*Map, nullptr)); // no current object: no dialog
        Map->Edit.CurrentObject = Typed;
        TfrmTransport Dialog(*Map, nullptr);
        QVERIFY(Dialog.Load());
        QCOMPARE(Dialog.TransportType()->currentIndex(), 1);
        QCOMPARE(Dialog.TransportName()->text(), QStringLiteral("12"));
        Dialog.TransportType()->setCurrentIndex(2);
        Dialog.TransportName()->setText(QStringLiteral("Б"));
        Dialog.show();
        QTest::keyClick(Dialog.TransportName(), Qt::Key_Escape); // Escape changes nothing
        QCOMPARE(Obj(Typed).TransportType(), 1);
        QVERIFY(Dialog.Load());
        Dialog.TransportType()->setCurrentIndex(2);
        Dialog.TransportName()->setText(QStringLiteral("Б"));
        Dialog.show();
        QTest::keyClick(Dialog.TransportName(), Qt::Key_Return); // Enter applies
        QCOMPARE(Obj(Typed).TransportType(), 2);
        QCOMPARE(Obj(Typed).Text(), FromUtf8("Б"));
        QCOMPARE(Dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(NetworkPageTest)
#include "NetworkPageTest.moc"
