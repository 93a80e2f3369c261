// `zemmap-cli demo`: builds a small map in memory and walks its view through a few zooms and pans,
// printing what the core did. It is what `make run` shows until the window exists.
#include "base/ZemText.h"
#include "cli/ZemCliCommands.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <cstdio>

namespace zem {

namespace {

void Report(const TZemMap& Map, const char* Step) {
    std::printf("%-28s scale %8.2f %%  window (%.1f, %.1f) %gx%g  visible %d of %d\n", Step, Map.View.Scale,
                Map.View.LeftTop.X, Map.View.LeftTop.Y, Map.View.ViewWidthHeight.X,
                Map.View.ViewWidthHeight.Y, Map.View.VisibleList.Count(), Map.Count());
}

} // namespace

int CmdDemo(const TCliArgs& Args) {
    if (!Args.empty()) {
        const char* Usage = "Использование: zemmap-cli demo\n"
                            "  Строит небольшую карту в памяти, масштабирует и сдвигает её вид.\n";
        if (Args[0] == "--help" || Args[0] == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        std::fprintf(stderr, "zemmap-cli demo: лишний аргумент \"%s\"\n%s", Args[0].c_str(), Usage);
        return 2;
    }
    HeadlessHost Host(800, 600);
    TZemMap Map(Host);
    Map.Resize(800, 600);

    Map.Doc.Streets.push_back(FromUtf8("Тверская улица"));
    for (int Row = 0; Row < 20; ++Row)
        for (int Col = 0; Col < 20; ++Col) {
            TZemObject Block;
            Block.Kind = otPolygon;
            const float X = Col * 60.0f, Y = Row * 60.0f;
            Block.AddPoint(X, Y);
            Block.AddPoint(X + 40, Y);
            Block.AddPoint(X + 40, Y + 40);
            Block.AddPoint(X, Y + 40);
            Block.SetPlane(static_cast<std::int8_t>((Row + Col) % 3));
            Map.AddObject(Block);
        }
    TZemObject Street;
    Street.Kind = otLine;
    Street.Pen.Width = 6;
    Street.AddPoint(0, 50);
    Street.AddPoint(1200, 50);
    Map.AddObject(Street);
    std::printf("Built a map of %d objects (IDs 0 ... %d), street directory: %s\n", Map.Count(),
                Map.Doc.MaxID - 1, ToUtf8(Map.Doc.Streets[0]).c_str());

    Report(Map, "start");
    Map.SetScale(200);
    Report(Map, "SetScale(200)");
    Map.SetCursorPos({100, 100});
    Map.WheelZoom(120);
    Report(Map, "wheel up at (100, 100)");
    Map.ZoomToRect({0, 0}, {200, 100});
    Map.Refresh(); // as the pointer's release does after a zoom rectangle
    Report(Map, "zoom to a rectangle");
    Map.PanBy({400, 300}, {300, 250});
    Report(Map, "pan by (-100, -50) px");
    for (int i = 0; i < 6; ++i)
        Map.ZoomOutClick({0, 0});
    Report(Map, "six zoom-out clicks");
    Map.DuplicateObject(0);
    Map.DeleteObject(1);
    Map.Refresh();
    Report(Map, "duplicate 0, delete 1");
    std::printf("Frames rendered: %d (the window will show them; here they stay in memory)\n",
                Host.PresentCount);
    return 0;
}

} // namespace zem
