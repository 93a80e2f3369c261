// The object inspector on a map built in memory: what it shows, what its controls write, and when it
// reloads.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "ui/ZemColorConvert.h"
#include "ui/ZemFillStyleCombo.h"
#include "ui/ZemObjectPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <numbers>

using namespace zem;

class ObjectPageTest : public QObject {
    Q_OBJECT

    HeadlessHost Host;
    std::unique_ptr<TZemMap> Map;
    std::unique_ptr<TZemObjectPage> Page;

    template <class T> T* Child(const char* Name) {
        T* W = Page->findChild<T*>(QLatin1String(Name));
        if (!W)
            qFatal("no control %s", Name);
        return W;
    }
    std::int32_t Add(TObjectKind Kind, std::initializer_list<TXYPoint> Points) {
        TZemObject O;
        O.Kind = Kind;
        for (const TXYPoint& P : Points)
            O.AddPoint(P);
        Map->AddObject(O);
        return Map->Doc.Order[Map->Doc.Order.Count() - 1];
    }
    TZemObject& Obj(std::int32_t ID) { return Map->ObjectByID(ID); }
    void Select(std::int32_t ID) {
        Map->Edit.CurrentObject = ID;
        Page->Refresh();
    }
    // Every colour question is answered with this colour.
    void Answer(QColor C) {
        Page->SetColorAsker([C](const QColor&, QColor& Chosen) {
            Chosen = C;
            return true;
        });
    }

private slots:
    void init() {
        Map = std::make_unique<TZemMap>(Host);
        Page = std::make_unique<TZemObjectPage>(*Map, nullptr);
    }
    void cleanup() {
        Page.reset();
        Map.reset();
    }

    void showsTheObjectAndWritesItsPen() {
        const std::int32_t ID = Add(otLine, {{0, 0}, {10, 10}});
        Obj(ID).Pen.Width = 3;
        Obj(ID).Pen.Color = RGBColor(10, 20, 30);
        Obj(ID).Brush.Style = bsBDiagonal;
        Select(ID);
        QCOMPARE(Child<QLineEdit>("IDObj")->text(), QString::number(ID));
        QCOMPARE(Child<QSpinBox>("PenWidthObj")->value(), 3);
        QCOMPARE(Child<QSlider>("PenWithTrackBar")->value(), 3);
        QCOMPARE(Child<TZemColorSwatch>("CColorPen")->Color(), QColor(10, 20, 30));
        QCOMPARE(int(Child<TFillStyleComboBox>("FillStyleBox")->FillStyle()), int(bsBDiagonal));

        // The track bar and the up-down follow each other, and the bounds follow the width.
        Child<QSlider>("PenWithTrackBar")->setValue(7);
        QCOMPARE(Obj(ID).Pen.Width, 7);
        QCOMPARE(Child<QSpinBox>("PenWidthObj")->value(), 7);
        QCOMPARE(Obj(ID).LeftTop.X, -3.0f);

        Answer(QColor(200, 100, 50));
        Page->PenColorClicked();
        QCOMPARE(Obj(ID).Pen.Color, QtColorToZem(QColor(200, 100, 50)));
        QCOMPARE(Obj(ID).Pen.Color, RGBColor(200, 100, 50));

        // A cancelled dialog changes nothing.
        Page->SetColorAsker([](const QColor&, QColor&) { return false; });
        Page->BrushColorClicked();
        QCOMPARE(Obj(ID).Brush.Color, TColor(0));

        // The presets change the colours of new objects, with or without a current object.
        Map->Edit.CurrentObject = -1;
        Page->Refresh();
        Answer(QColor(1, 2, 3));
        Page->NewBrushColorClicked();
        QCOMPARE(Map->Edit.NewBrushColor, RGBColor(1, 2, 3));
        QVERIFY(Child<TZemColorSwatch>("Shape2")->isEnabled());
    }

    void refreshRule() {
        const std::int32_t Line = Add(otLine, {{0, 0}, {10, 10}});
        const std::int32_t Text = Add(otText, {{5, 5}});
        QVERIFY(!Child<QSlider>("PenWithTrackBar")->isEnabled()); // nothing current yet

        Obj(Text).SetAngle(std::numbers::pi_v<float> / 4);
        Obj(Text).Font.Size = 30;
        Select(Text);
        QVERIFY(Child<QSlider>("CAngleTrackBar")->isEnabled());
        QCOMPARE(Child<QSlider>("CAngleTrackBar")->value(), 450);
        QCOMPARE(Child<QSpinBox>("Scroller1")->value(), 45);
        QCOMPARE(Child<QSpinBox>("CFontSize")->value(), 30);

        // Empty map area disables the page; the same object again is shown without reloading.
        Select(-1);
        QVERIFY(!Child<QSlider>("CAngleTrackBar")->isEnabled());
        Obj(Text).Font.Size = 12;
        Select(Text);
        QVERIFY(Child<QSlider>("CAngleTrackBar")->isEnabled());
        QCOMPARE(Child<QSpinBox>("CFontSize")->value(), 30);
        Page->Reload();
        QCOMPARE(Child<QSpinBox>("CFontSize")->value(), 12);
        Select(Line);
        QCOMPARE(Child<QLineEdit>("IDObj")->text(), QString::number(Line));

        // Loading an object writes nothing back: a height with a fraction keeps it.
        Obj(Text).SetHeight3D(2.4f);
        Select(Text);
        QCOMPARE(Child<QSlider>("TrackBarHeight3D")->value(), 2);
        QCOMPARE(Obj(Text).Height3D(), 2.4f);
    }

    void textControls() {
        const std::int32_t ID = Add(otText, {{5, 5}});
        Select(ID);
        Child<QSpinBox>("CFontSize")->setValue(40);
        QCOMPARE(Obj(ID).Font.Size, 40); // the new value, not the one before the click
        for (QChar C : QStringLiteral("Дом"))
            QTest::sendKeyEvent(QTest::Click, Child<QLineEdit>("CText"), Qt::Key_unknown, QString(C), {});
        QCOMPARE(Obj(ID).Text(), FromUtf8("Дом"));
        Child<QCheckBox>("CheckBoxItalic")->click();
        QCOMPARE(int(Obj(ID).Font.Style), int(fsItalic));
        Child<QSpinBox>("Scroller1")->setValue(90);
        QCOMPARE(Child<QSlider>("CAngleTrackBar")->value(), 900);
    }

    void angleOfAShapeDoesNotAddUp() {
        // A polygon has no angle of its own: two slider steps turn it as far as one step to the end.
        const std::initializer_list<TXYPoint> Square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
        const std::int32_t ID = Add(otPolygon, Square);
        TZemObject Twin;
        Twin.Kind = otPolygon;
        for (const TXYPoint& P : Square)
            Twin.AddPoint(P);
        Twin.Rotate(200 * std::numbers::pi_v<float> / 1800);
        Select(ID);
        Child<QSlider>("CAngleTrackBar")->setValue(100);
        Child<QSlider>("CAngleTrackBar")->setValue(200);
        for (std::int32_t i = 0; i < 4; ++i) {
            QVERIFY(std::abs(Obj(ID).Point(i).X - Twin.Point(i).X) < 1e-3f);
            QVERIFY(std::abs(Obj(ID).Point(i).Y - Twin.Point(i).Y) < 1e-3f);
        }
    }

    void planeAndToggles() {
        const std::int32_t ID = Add(otLine, {{0, 0}, {10, 10}});
        Select(ID);
        Child<QSlider>("ObjectPlaneTrackBar")->setValue(5);
        QCOMPARE(int(Obj(ID).Plane()), 5);
        Page->ResetPlane();
        QCOMPARE(int(Obj(ID).Plane()), 0);
        Child<QToolButton>("LockObj")->click();
        QVERIFY(Obj(ID).Lock);
        QVERIFY(Child<QToolButton>("LockObj")->isChecked());

        // A junction stays in its own plane.
        const std::int32_t Cross = Add(otRoadCross, {{1, 1}});
        Select(Cross);
        Page->ResetPlane();
        QCOMPARE(int(Obj(Cross).Plane()), 127);
    }

    void flagsAndBrush() {
        const std::int32_t ID = Add(otPolygon, {{0, 0}, {10, 0}, {10, 10}});
        Obj(ID).Pen.Color = RGBColor(5, 6, 7);
        Select(ID);
        Child<QSlider>("TrackBarHeight3D")->setValue(7);
        Child<QToolButton>("Ctl3DObj")->click();
        QVERIFY(Obj(ID).Ctl3D());
        QCOMPARE(Obj(ID).Height3D(), 7.0f);
        Child<QToolButton>("BlinkObj")->click();
        QVERIFY(Obj(ID).Blink());
        QCOMPARE(Obj(ID).SavedPenColor(), RGBColor(5, 6, 7));
        emit Child<TFillStyleComboBox>("FillStyleBox")->activated(bsCross);
        QCOMPARE(int(Obj(ID).Brush.Style), int(bsCross));
        emit Child<QComboBox>("CLinePenStyle")->activated(2);
        QCOMPARE(int(Obj(ID).Pen.Style), 2);
        emit Child<QComboBox>("FlagsCombo")->activated(1);
        QCOMPARE(Obj(ID).Pen.Flags, 1);
    }

    void copyAndPasteStyle() {
        const std::int32_t Source = Add(otPolygon, {{0, 0}, {10, 0}, {10, 10}});
        const std::int32_t Target = Add(otPolygon, {{20, 0}, {30, 0}, {30, 10}});
        TZemAddress A;
        A.Empty = false;
        A.Street = 2;
        A.City = 1;
        A.Number = "12";
        A.Number2 = "3";
        Obj(Source).SetAddress(A);
        Obj(Source).Pen.Width = 4;
        Obj(Source).Brush = TZemBrush{RGBColor(9, 8, 7), bsCross};
        Obj(Source).Font.Name = "Tahoma";
        Select(Source);
        Page->CopyStyle();
        Select(Target);
        Page->PasteStyle();
        QCOMPARE(Obj(Target).Pen, Obj(Source).Pen);
        QCOMPARE(Obj(Target).Brush, Obj(Source).Brush);
        QCOMPARE(Obj(Target).Font, Obj(Source).Font);
        QCOMPARE(Obj(Target).Address().Street, 2);
        QCOMPARE(Obj(Target).Address().City, 1);
        QVERIFY(Obj(Target).Address().Number.empty());
        QVERIFY(Obj(Target).Address().Number2.empty());
        QCOMPARE(Child<QSpinBox>("PenWidthObj")->value(), 4); // the page shows the pasted style

        // A source deleted since the copy is ignored.
        Map->DeleteObject(Source);
        Obj(Target).Pen.Width = 1;
        Page->PasteStyle();
        QCOMPARE(Obj(Target).Pen.Width, 1);
    }

    void fillStylePicker() {
        TFillStyleComboBox Box(nullptr);
        QSignalSpy Changed(&Box, &TFillStyleComboBox::changed);
        Box.SetFillStyle(bsCross);
        QCOMPARE(int(Box.FillStyle()), int(bsCross));
        QCOMPARE(Box.currentIndex(), int(bsCross));
        Box.SetFillStyle(8);
        QCOMPARE(int(Box.FillStyle()), int(bsCross));
        QCOMPARE(Changed.count(), 0); // code never raises it
        Box.SetMaxFillStyle(bsVertical);
        QCOMPARE(Box.count(), 8);
        Box.SetFillStyle(bsFDiagonal);
        QVERIFY(Box.FillStyle() <= bsVertical);
        emit Box.activated(bsHorizontal);
        QCOMPARE(int(Box.FillStyle()), int(bsHorizontal));
        QCOMPARE(Changed.count(), 1);
    }
};

QTEST_MAIN(ObjectPageTest)
#include "ObjectPageTest.moc"
