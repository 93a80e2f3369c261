// Panning the sample city with tMapMove through the Qt map widget on the offscreen platform: every
// frame is a pointer move with the button held, the map's pan and render, and the widget's paint.
// The goal is 60 frames/s or better at a desktop window's size.
#include "model/ZemMap.h"
#include "ui/ZemMapWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

using namespace zem;

namespace {

const char* const kSample = ZEM_SOURCE_DIR "/samples/Карта города.mp";

void SendMouse(QWidget& W, QEvent::Type Type, const QPoint& At, Qt::MouseButton Button,
               Qt::MouseButtons Held) {
    QMouseEvent E(Type, QPointF(At), W.mapToGlobal(QPointF(At)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(&W, &E);
}

void BM_PanSampleCity(benchmark::State& State) {
    ZemMapWidget Widget;
    Widget.resize(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)));
    TZemMap Map(Widget);
    Widget.SetMap(&Map);
    Widget.show();
    for (int i = 0; i < 100 && !(Widget.windowHandle() && Widget.windowHandle()->isExposed()); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!Map.LoadFromFile(kSample)) {
        State.SkipWithError("the sample city cannot be read");
        return;
    }
    Map.SetCurrentTool(tMapMove);
    Widget.repaint();

    const QPoint Start(Widget.width() / 2, Widget.height() / 2);
    SendMouse(Widget, QEvent::MouseButtonPress, Start, Qt::LeftButton, Qt::LeftButton);
    const TXYPoint Before = Map.View.LeftTop;
    SendMouse(Widget, QEvent::MouseMove, Start + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    if (Map.View.LeftTop.X == Before.X) {
        State.SkipWithError("a move with the button held does not pan");
        return;
    }

    QPoint Last = Start + QPoint(1, 0);
    long Step = 0;
    const long FramesBefore = Widget.FramesShown();
    for (auto _ : State) {
        // Back and forth by 6 pixels a frame, so the view stays over the city.
        const int Dx = (Step / 50) % 2 == 0 ? 6 : -6;
        const int Dy = (Step / 70) % 2 == 0 ? 3 : -3;
        const QPoint Next = Last + QPoint(Dx, Dy);
        SendMouse(Widget, QEvent::MouseMove, Next, Qt::NoButton, Qt::LeftButton);
        Widget.repaint();
        Last = Next;
        ++Step;
    }
    SendMouse(Widget, QEvent::MouseButtonRelease, Last, Qt::LeftButton, Qt::NoButton);
    State.counters["frames/s"] = benchmark::Counter(static_cast<double>(Widget.FramesShown() - FramesBefore),
                                                    benchmark::Counter::kIsRate);
    State.counters["visible"] = static_cast<double>(Map.View.VisibleList.Count());
}

BENCHMARK(BM_PanSampleCity)
    ->Args({1280, 800})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
