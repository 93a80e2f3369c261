// Shortcuts of the frame's drawing must give the very pixels of the plain routines they stand for: each
// is drawn both ways on random scenes and every pixel is compared.
#include "base/ZemRound.h"
#include "view/RasterTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

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

// The Bezier chain as it is defined: 20 pieces a curve, each a styled line with round caps.
void PlainBezier(TBitmap32& B, const TRasterPoint* Points, int Last) {
    B.ResetDash();
    for (int k = 0; k + 1 < (Last + 1) / 3; ++k) {
        const TRasterPoint &P0 = Points[3 * k + 1], &P1 = Points[3 * k + 2], &P2 = Points[3 * k + 3],
                           &P3 = Points[3 * k + 4];
        TRasterPoint Prev = P0;
        for (int j = 1; j <= 20; ++j) {
            TRasterPoint Cur = P3;
            if (j < 20) {
                const double t = j / 20.0, u = 1 - t;
                const double B0 = u * u * u, B1 = 3 * u * u * t, B2 = 3 * u * t * t, B3 = t * t * t;
                Cur = {Round(B0 * P0.X + B1 * P1.X + B2 * P2.X + B3 * P3.X),
                       Round(B0 * P0.Y + B1 * P1.Y + B2 * P2.Y + B3 * P3.Y)};
            }
            B.LineStyled(Prev.X, Prev.Y, Cur.X, Cur.Y, true, false, B.LineStyle);
            Prev = Cur;
        }
    }
}

// The arrow head as it is defined: two 15-pixel strokes at 45 degrees either side of the way back.
void PlainArrowHead(TBitmap32& B, TRasterPoint From, TRasterPoint Tip) {
    const double Back = std::atan2(double(From.Y) - Tip.Y, double(From.X) - Tip.X);
    for (double Side : {std::numbers::pi / 4, -std::numbers::pi / 4})
        B.LineClipped(Tip.X, Tip.Y, Tip.X + Round(15 * std::cos(Back + Side)),
                      Tip.Y + Round(15 * std::sin(Back + Side)), B.LineColor);
}

} // namespace

TEST(FastPathPixels, BezierChainsOfEveryPenMatchThePlainRoutine) {
    std::mt19937 Random(12);
    auto Int = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random); };
    for (int Scene = 0; Scene < 300; ++Scene) {
        TBitmap32 Fast = Surface(80, 60), Plain = Surface(80, 60);
        for (int k = 0; k < 4; ++k) {
            // Chains of up to five anchors: some squeezed into a few pixels (pieces of no length, pieces
            // of one), some spread wide, a few reaching far off the surface, beyond the shortcut's range.
            const int Spread = std::array{3, 20, 200}[static_cast<std::size_t>(Int(0, 2))];
            const int Far = Int(0, 9) == 0 ? (1 << 20) + Int(-8, 8) : 0;
            const int Anchors = Int(1, 5);
            std::vector<TRasterPoint> P;
            TRasterPoint A{Int(-10, 90), Int(-10, 70)};
            for (int i = 0; i < 3 * Anchors; ++i) {
                P.push_back({A.X + Int(-Spread, Spread) + (i == 4 ? Far : 0), A.Y + Int(-Spread, Spread)});
                if (i % 3 == 2)
                    A = {A.X + Int(-Spread, Spread), A.Y + Int(-Spread, Spread)};
            }
            const int Widths[] = {1, 2, 3, 4, 7, 16, 31, 64};
            const int Width = Widths[Int(0, 7)], Style = Int(0, 5) == 0 ? Int(1, 3) : 0;
            const TColor32 Pen = 0xFF000000u | static_cast<TColor32>(Random());
            for (TBitmap32* B : {&Fast, &Plain}) {
                B->LineColor = Pen;
                B->LineWidth = Width;
                B->LineStyle = static_cast<std::uint8_t>(Style);
            }
            const int Last = static_cast<int>(P.size()) - 1 - Int(0, 1); // sometimes an incomplete triple
            Fast.PolyBezier(P.data(), Last);
            PlainBezier(Plain, P.data(), Last);
        }
        ASSERT_TRUE(Same(Fast, Plain)) << "scene " << Scene;
    }
}

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

TEST(FastPathPixels, ArrowHeadsOfShortAndLongSegmentsMatchThePlainRoutine) {
    // Every short direction (those worked out ahead and a ring beyond them), then random far ones.
    std::mt19937 Random(13);
    auto Int = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random); };
    auto Check = [](TRasterPoint From, TRasterPoint Tip) {
        TBitmap32 Fast = Surface(40, 40), Plain = Surface(40, 40);
        Fast.LineColor = Plain.LineColor = Ink;
        Fast.ArrowHead(From, Tip);
        PlainArrowHead(Plain, From, Tip);
        return Same(Fast, Plain);
    };
    const TRasterPoint Tip{20, 20};
    for (int DY = -27; DY <= 27; ++DY)
        for (int DX = -27; DX <= 27; ++DX)
            ASSERT_TRUE(Check({Tip.X + DX, Tip.Y + DY}, Tip)) << DX << ", " << DY;
    for (int k = 0; k < 2000; ++k) {
        const TRasterPoint From{Int(-100000, 100000), Int(-100000, 100000)}, At{Int(-5, 45), Int(-5, 45)};
        ASSERT_TRUE(Check(From, At)) << From.X << ", " << From.Y;
    }
}
