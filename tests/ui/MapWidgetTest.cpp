// ZemMapWidget as the map's host: frames, device pixels, wheel, cursors, timers and the modal questions.
#include "model/ZemMap.h"
#include "ui/ZemMapWidget.h"
#include "ui/ZemTransportChoice.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace zem;

namespace {

// Runs Act on the next modal dialog of type D once it is up.
template <class D> void OnNextDialog(std::function<void(D&)> Act) {
    auto* Poll = new QTimer;
    QObject::connect(Poll, &QTimer::timeout, [Poll, Act] {
        if (auto* Dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            Poll->deleteLater();
            Act(*Dialog);
        }
    });
    Poll->start(10);
}

void ClickButton(QMessageBox& Box, const QString& Text) {
    for (QAbstractButton* B : Box.buttons())
        if (B->text() == Text)
            B->click();
}

} // namespace

class MapWidgetTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ZemMapWidget> FWidget;
    std::unique_ptr<TZemMap> FMap;

private slots:
    void init() {
        FWidget = std::make_unique<ZemMapWidget>();
        FWidget->resize(300, 200);
        FMap = std::make_unique<TZemMap>(*FWidget);
        FWidget->SetMap(FMap.get());
        FWidget->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWidget.get()));
    }
    void cleanup() {
        FWidget->SetMap(nullptr);
        FMap.reset();
        FWidget.reset();
    }

    void framesAreTheBackBufferAtDevicePixels() {
        // Run with QT_SCALE_FACTOR=2 (see main below): the map is twice the widget's size.
        const double R = FWidget->PixelRatio();
        QCOMPARE(R, 2.0);
        QCOMPARE(FMap->Width(), 600);
        QCOMPARE(FMap->Height(), 400);
        QCOMPARE(FWidget->ToMap(QPointF(10.5, 20)), QPoint(21, 40));
        FWidget->resize(250, 150);
        QCOMPARE(FMap->Width(), 500);
        QCOMPARE(FMap->BackBuffer.Height(), 300);

        // A redraw of the map is shown by the next paint without being drawn a second time.
        FWidget->repaint();
        const std::int32_t Frames = FMap->View.PaintCounter;
        FMap->SetBackColor(RGBColor(10, 200, 30));
        FWidget->repaint();
        QCOMPARE(FMap->View.PaintCounter, Frames + 1);
        const QImage Shown = FWidget->grab().toImage();
        QCOMPARE(QColor(Shown.pixel(Shown.width() / 2, Shown.height() / 2)), QColor(10, 200, 30));
        // A paint the window system asks for (here: the grab's) draws the frame anew.
        QCOMPARE(FMap->View.PaintCounter, Frames + 2);
    }

    void wheelNotchesZoomOneStepEach() {
        const float Scale = FMap->View.Scale;
        auto Wheel = [this](int Delta) {
            QWheelEvent E(QPointF(50, 50), FWidget->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, Delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(FWidget.get(), &E);
        };
        Wheel(120);
        QCOMPARE(FMap->View.Scale, Scale + FMap->View.ScaleStep);
        // A touchpad's small deltas add up to one notch.
        Wheel(-40);
        Wheel(-40);
        QCOMPARE(FMap->View.Scale, Scale + FMap->View.ScaleStep);
        Wheel(-40);
        QCOMPARE(FMap->View.Scale, Scale);
    }

    void cursorsAndTimers() {
        FWidget->SetCursor(crSizeWE);
        QCOMPARE(FWidget->cursor().shape(), Qt::SizeHorCursor);
        FWidget->CursorOf = [](int) { return QCursor(Qt::WaitCursor); };
        FWidget->SetCursor(crHand);
        QCOMPARE(FWidget->cursor().shape(), Qt::WaitCursor);

        int Ticks = 0, Stopped = 0;
        int Self = 0;
        Self = FWidget->StartTimer(5, [&] {
            // A timer may stop itself from its own callback.
            FWidget->StopTimer(Self);
            ++Stopped;
        });
        const int Other = FWidget->StartTimer(5, [&] { ++Ticks; });
        QTRY_VERIFY(Ticks >= 3);
        FWidget->StopTimer(Other);
        const int After = Ticks;
        QTest::qWait(30);
        QCOMPARE(Ticks, After);
        QCOMPARE(Stopped, 1);
        FWidget->StopTimer(12345); // unknown: ignored
    }

    void messageBoxesAnswerInRussian() {
        OnNextDialog<QMessageBox>([](QMessageBox& Box) { ClickButton(Box, QStringLiteral("Нет")); });
        QCOMPARE(FWidget->ShowMessage("Сохранить?", "ZemMap", TZemMsgButtons::mbYesNoCancel),
                 TZemMsgResult::mrNo);
        OnNextDialog<QMessageBox>([](QMessageBox& Box) { ClickButton(Box, QStringLiteral("Да")); });
        QCOMPARE(FWidget->ShowMessage("Удалить?", "", TZemMsgButtons::mbYesNo), TZemMsgResult::mrYes);
        OnNextDialog<QMessageBox>([](QMessageBox& Box) { Box.reject(); });
        QCOMPARE(FWidget->ShowMessage("Продолжить?", "", TZemMsgButtons::mbOkCancel),
                 TZemMsgResult::mrCancel);
        OnNextDialog<QMessageBox>([](QMessageBox& Box) {
            QCOMPARE(Box.buttons().size(), 1);
            ClickButton(Box, QStringLiteral("ОК"));
        });
        QCOMPARE(FWidget->ShowMessage("Готово", "", TZemMsgButtons::mbOk), TZemMsgResult::mrOk);
    }

    void transportChoiceIsACheckList() {
        const std::vector<std::string> Names = {"Автобус", "Трамвай", "Метро"};
        std::vector<int> Checked;
        OnNextDialog<TfrmTransportSelect>([](TfrmTransportSelect& D) {
            QCOMPARE(D.windowTitle(), QStringLiteral("Выбор"));
            QCOMPARE(D.CheckedPositions(), (std::vector<int>{0, 1, 2}));
            QVERIFY(D.ButtonOk()->isEnabled());
            D.findChild<QToolButton*>(QStringLiteral("InvertSelectBtn"))->click();
            QCOMPARE(D.CheckedPositions(), (std::vector<int>{}));
            D.findChild<QToolButton*>(QStringLiteral("SelectAllBtn"))->click();
            D.TransportListBox()->item(1)->setCheckState(Qt::Unchecked);
            D.findChild<QRadioButton*>(QStringLiteral("ExactRadio"))->setChecked(true);
            D.ButtonOk()->click();
        });
        TZemRouteMethod Method = TZemRouteMethod::rmGenetic;
        QVERIFY(FWidget->AskRouteSearch("Выбор", Names, Checked, Method));
        QCOMPARE(Checked, (std::vector<int>{0, 2}));
        QVERIFY(Method == TZemRouteMethod::rmExact);
        // Offered again as chosen; every kind checked again when the dialog comes up.
        OnNextDialog<TfrmTransportSelect>([](TfrmTransportSelect& D) {
            QVERIFY(D.findChild<QRadioButton*>(QStringLiteral("ExactRadio"))->isChecked());
            QCOMPARE(D.CheckedPositions(), (std::vector<int>{0, 1, 2}));
            D.findChild<QToolButton*>(QStringLiteral("NoSelectBtn"))->click();
            QCOMPARE(D.CheckedPositions(), (std::vector<int>{}));
            D.reject();
        });
        QVERIFY(!FWidget->AskRouteSearch("Выбор", Names, Checked, Method));
        // Nothing to choose: OK cannot be pressed.
        OnNextDialog<TfrmTransportSelect>([](TfrmTransportSelect& D) {
            QVERIFY(!D.ButtonOk()->isEnabled());
            D.reject();
        });
        QVERIFY(!FWidget->AskTransportKinds("Выбор", {}, Checked));
        OnNextDialog<TfrmTransportSelect>([](TfrmTransportSelect& D) { D.reject(); });
        QVERIFY(!FWidget->AskTransportKinds("Выбор", Names, Checked));
    }
};

int main(int argc, char** argv) {
    // A 2x screen, to see the map drawn at device pixels.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication App(argc, argv);
    MapWidgetTest Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "MapWidgetTest.moc"
