// Shortcuts of the frame's drawing must give the very pixels of the plain routines they stand for: each
// is drawn both ways on random scenes and every pixel is compared.
#include "model/ZemRound.h"
#include "view/RasterTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace zem;
using namespace rastertest;

namespace {

// The rotated ellipse as it is defined: each of its 50 points takes its own cosine and sine.
void PlainEllipse(TBitmap32& B, TRasterPoint Centre, double Angle, int Rx, int Ry) {
    B.ResetDash();
    TRasterPoint P[50];
    const double CA = std::cos(Angle), SA = std::sin(Angle);
    for (int i = 0; i < 50; ++i) {
        const double T = i * 2 * std::numbers::pi / 49;
        const double DX = Rx * std::cos(T), DY = Ry * std::sin(T);
        P[i] = {Round(Centre.X + DX * CA - DY * SA), Round(Centre.Y + DX * SA + DY * CA)};
    }
    B.PolygonFilled(P, 49, true);
}

} // namespace

TEST(FastPathPixels, RotatedEllipsesOfEverySizeMatchThePlainRoutine) {
    std::mt19937 Random(11);
    auto Int = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random); };
    for (int Scene = 0; Scene < 300; ++Scene) {
        TBitmap32 Fast = Surface(64, 48), Plain = Surface(64, 48);
        for (TBitmap32* B : {&Fast, &Plain}) {
            B->Clear(0xFF102030);
            B->LineWidth = 1;
        }
        std::mt19937 Shapes(static_cast<std::uint32_t>(Scene));
        for (int k = 0; k < 12; ++k) {
            // Mostly tiny ellipses, as a whole-map view draws them, some large and some off the edges.
            const int Big = Int(0, 4) == 0 ? 60 : 3;
            const TRasterPoint C{Int(-20, 84), Int(-20, 68)};
            const int Rx = Int(0, Big), Ry = Int(0, Big);
            const double Angle = Int(0, 2) == 0 ? 0.0 : Int(-3141, 3141) / 1000.0;
            const TColor32 Pen = 0xFF000000u | static_cast<TColor32>(Random()),
                           Brush = 0xFF000000u | static_cast<TColor32>(Random());
            const int Width = Int(1, 4), Style = Int(0, 3), BrushStyle = Int(0, 1);
            for (TBitmap32* B : {&Fast, &Plain}) {
                B->LineColor = Pen;
                B->BrushColor = Brush;
                B->LineWidth = Width;
                B->LineStyle = static_cast<std::uint8_t>(Style);
                B->BrushStyle = static_cast<std::uint8_t>(BrushStyle);
            }
            Fast.EllipseRotated(C, Angle, Rx, Ry);
            PlainEllipse(Plain, C, Angle, Rx, Ry);
        }
        ASSERT_TRUE(Same(Fast, Plain)) << "scene " << Scene;
    }
}
