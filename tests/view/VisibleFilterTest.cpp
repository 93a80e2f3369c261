// The visible list's first test in the index refuses small objects before reading them: on boxes whose
// screen size lies right at MinObjectView, at every kind of view, it must agree with the full scan.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace zem;

TEST(VisibleFilterTest, SmallBoxesAtTheSizeLimitAgreeWithTheFullScan) {
    std::mt19937 Rng(5);
    auto Real = [&](float Lo, float Hi) { return std::uniform_real_distribution<float>(Lo, Hi)(Rng); };
    auto Below = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(Rng); };
    HeadlessHost Host{200, 150};
    TZemMap Map(Host);
    Map.Resize(200, 150);
    Map.View.AutoUpdate = false;
    Map.Net.ShowTransportNet = true;
    static constexpr TObjectKind Kinds[] = {otLine, otPolygon,       otText,   otBezier,
                                            otBmp,  otRoadCrossLine, otEllipse};
    for (int Round = 0; Round < 12; ++Round) {
        Map.Clear();
        Map.View.AutoUpdate = false;
        // A view first, then boxes sized in its pixels: from one below the limit to one above it.
        const float Scale = Real(1.0f, 400.0f);
        Map.SetView(TXYPoint{Real(-300, 300), Real(-300, 300)}, Scale);
        Map.Doc.MinObjectView = Below(6);
        const float Pixel = Map.View.ViewWidthHeight.X / 200;
        for (int i = 0; i < 1500; ++i) {
            TZemObject O;
            O.Kind = Kinds[Below(std::size(Kinds))];
            const float X = Map.View.LeftTop.X + Real(-20, 220) * Pixel;
            const float Y = Map.View.LeftTop.Y + Real(-20, 170) * Pixel;
            const float Size = (static_cast<float>(Map.Doc.MinObjectView) + Real(-1.5f, 1.5f)) * Pixel;
            O.AddPoint(X, Y);
            O.AddPoint(X + Size * Real(0, 1), Y + Size * Real(0, 1));
            O.SetTransportType(Below(2) - 1);
            Map.AddObject(O);
        }
        Map.View.AutoUpdate = true;
        for (int v = 0; v < 6; ++v) {
            if (v > 0) // nudged by fractions of a pixel, so the rounding of the ends falls both ways
                Map.SetView(TXYPoint{Map.View.LeftTop.X + Real(-0.5f, 0.5f) * Pixel,
                                     Map.View.LeftTop.Y + Real(-0.5f, 0.5f) * Pixel},
                            Scale);
            Map.Net.ShowOnlyTransportNet = Below(5) == 0;
            Map.UpdateVisibleList();
            TIntegerList Scan;
            Map.ScanVisibleList(Scan);
            ASSERT_EQ(std::vector<int>(Map.View.VisibleList.begin(), Map.View.VisibleList.end()),
                      std::vector<int>(Scan.begin(), Scan.end()))
                << "round " << Round << " view " << v;
        }
    }
}
