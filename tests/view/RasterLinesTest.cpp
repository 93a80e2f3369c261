// Lines: clipping, the styled walkers and their counters, thick segments and their ends.
#include "base/ZemRound.h"
#include "view/RasterTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <numbers>
#include <random>

using namespace zem;

using namespace rastertest;

namespace {

// Draws the same figure on a small surface and, shifted by (M, M), on a surface larger by M on every
// side: the small one must show exactly the window of the large one.
template <class TDraw> void ExpectClipExact(int W, int H, int M, TDraw&& Draw) {
    TBitmap32 Small = Surface(W, H), Big = Surface(W + 2 * M, H + 2 * M);
    Draw(Small, 0);
    Draw(Big, M);
    ASSERT_TRUE(SameWindow(Small, Big, M, M));
}

} // namespace

TEST(RasterLines, LineClippedMatchesTheUnclippedLineAtEveryEdge) {
    std::mt19937 Rng(7);
    std::uniform_int_distribution<int> Coord(-60, 100);
    for (int i = 0; i < 2000; ++i) {
        int X1 = Coord(Rng), Y1 = Coord(Rng), X2 = Coord(Rng), Y2 = Coord(Rng);
        ExpectClipExact(40, 30, 70,
                        [&](TBitmap32& B, int D) { B.LineClipped(X1 + D, Y1 + D, X2 + D, Y2 + D, Ink); });
    }
}

TEST(RasterLines, LineClippedDrawsBothEndsAndOnlyTheLine) {
    TBitmap32 B = Surface(8, 3);
    B.LineClipped(1, 1, 6, 1, Ink);
    EXPECT_EQ(Row(B, 1, 0, 7), ".######.");
    EXPECT_EQ(Count(B, Ink), 6);
    B.Clear(Bg);
    B.LineClipped(0, 0, 2, 2, Ink);
    EXPECT_EQ(Count(B, Ink), 3);
    EXPECT_EQ(B.GetPixel(1, 1), Ink);
    B.Clear(Bg);
    B.LineClipped(4, 1, 4, 1, Ink);
    EXPECT_EQ(Count(B, Ink), 1);
}

TEST(RasterLines, ExtremeCoordinatesAreClippedWithoutWalkingTheInvisiblePart) {
    TBitmap32 B = Surface(50, 40);
    auto Start = std::chrono::steady_clock::now();
    B.LineClipped(INT_MIN, INT_MIN, INT_MAX, INT_MAX, Ink);
    B.LineClipped(INT_MIN, 20, INT_MAX, 20, Ink);
    EXPECT_EQ(Row(B, 20, 0, 49), std::string(50, '#'));
    EXPECT_EQ(B.GetPixel(0, 0), Ink); // the diagonal passes through the origin
    B.LineWidth = 3;
    for (int Style = 0; Style < 4; ++Style) {
        B.ResetDash();
        B.LineStyled(INT_MIN, 10, INT_MAX, 12, true, false, Style);
        B.LineStyled(-2000000000, -1999999990, 2000000000, 2000000010, false, true, Style);
    }
    B.MarchingLine(INT_MIN, 5, INT_MAX, 5);
    double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    EXPECT_LT(Seconds, 0.5);
}

TEST(RasterLines, LineToClippedMovesThePen) {
    TBitmap32 B = Surface(6, 3);
    B.LineColor = Ink;
    B.MoveTo(0, 1);
    B.LineToClipped(2, 1);
    B.LineToClipped(2, 2);
    EXPECT_EQ(B.PenPosition, (TRasterPoint{2, 2}));
    EXPECT_EQ(Row(B, 1, 0, 5), "###...");
    EXPECT_EQ(B.GetPixel(2, 2), Ink);
}

TEST(RasterLines, DashedWidthOneGivesThreeOnOneOff) {
    TBitmap32 B = Surface(12, 1);
    B.LineColor = Ink;
    B.LineStyled(0, 0, 9, 0, false, false, 1);
    EXPECT_EQ(Row(B, 0, 0, 11), "###.###.##..");
}

TEST(RasterLines, DashedWidthTwoGivesSixOnTwoOff) {
    TBitmap32 B = Surface(20, 5);
    B.LineColor = Ink;
    B.LineWidth = 2;
    B.LineStyled(0, 2, 19, 2, false, false, 1);
    EXPECT_EQ(Row(B, 2, 0, 19), "######..######..####");
    EXPECT_EQ(Row(B, 1, 0, 19), "######..######..####");
    EXPECT_EQ(Row(B, 3, 0, 19), "....................");
}

TEST(RasterLines, DotsFallOnTheFirstPixelThenEveryTwoWidthsPlusOne) {
    TBitmap32 B = Surface(12, 1);
    B.LineColor = Ink;
    B.LineStyled(0, 0, 11, 0, false, false, 2);
    EXPECT_EQ(Row(B, 0, 0, 11), "#..#..#..#..");
    // Width 3: discs of radius Round(1.5) = 2 (a plus) every 7 pixels.
    TBitmap32 C = Surface(20, 5);
    C.LineColor = Ink;
    C.LineWidth = 3;
    C.LineStyled(1, 2, 19, 2, false, false, 2);
    EXPECT_EQ(Row(C, 2, 0, 19), "###....###....###...");
    EXPECT_EQ(Row(C, 1, 0, 19), ".#......#......#....");
    EXPECT_EQ(Row(C, 0, 0, 19), "....................");
}

TEST(RasterLines, PatternsRunOnAroundCorners) {
    // Two segments of a polyline share their corner pixel, which both count.
    TBitmap32 B = Surface(8, 8);
    B.LineColor = Ink;
    B.LineStyle = 1;
    B.ResetDash();
    B.LineStyled(0, 0, 4, 0, false, false, 1); // 0 1 2 on, 3 off, 4 on (counter 1)
    B.LineStyled(4, 0, 4, 7, false, false, 1); // corner again (2), then 3 on, 4 off, ...
    EXPECT_EQ(Row(B, 0, 0, 7), "###.#...");
    std::string Column;
    for (int Y = 0; Y < 8; ++Y)
        Column += B.GetPixel(4, Y) == Ink ? '#' : '.';
    EXPECT_EQ(Column, "##.###.#");
}

TEST(RasterLines, StripesAlternateTheColourAndItsComplement) {
    TBitmap32 B = Surface(10, 1);
    B.LineColor = Ink;
    B.LineStyled(0, 0, 9, 0, false, false, 3);
    TColor32 Not = Ink ^ kInvertMask32;
    for (int X = 0; X < 10; ++X)
        EXPECT_EQ(B.GetPixel(X, 0), (X / 3) % 2 ? Not : Ink) << X;
    EXPECT_EQ(B.LineColor, Ink);
}

TEST(RasterLines, ThickStraightSegmentEndsExactlyAtItsPoints) {
    TBitmap32 B = Surface(12, 7);
    B.LineColor = Ink;
    B.LineWidth = 3;
    B.LineStyled(2, 3, 9, 3, false, false, 0);
    EXPECT_EQ(Row(B, 1, 0, 11), "............");
    for (int Y = 2; Y <= 4; ++Y)
        EXPECT_EQ(Row(B, Y, 0, 11), "..########..");
    EXPECT_EQ(Count(B, Ink), 24);
    B.Clear(Bg);
    B.LineWidth = 4;
    B.LineStyled(5, 1, 5, 5, false, false, 0);
    EXPECT_EQ(Row(B, 3, 0, 11), "...####.....");
    EXPECT_EQ(Count(B, Ink), 20);
}

TEST(RasterLines, RoundCapsReachHalfTheWidthBeyondTheEnds) {
    TBitmap32 B = Surface(20, 9);
    B.LineColor = Ink;
    B.LineWidth = 5;
    B.LineStyled(5, 4, 14, 4, true, false, 0);
    EXPECT_EQ(Row(B, 4, 0, 19), "...##############...");
    EXPECT_EQ(Row(B, 2, 0, 19), "....############....");
    EXPECT_EQ(Row(B, 1, 0, 19), "....................");
}

TEST(RasterLines, DiagonalThickLineIsSymmetricAboutItsAxis) {
    TBitmap32 B = Surface(30, 30);
    B.LineColor = Ink;
    B.LineWidth = 4;
    B.LineStyled(5, 5, 24, 24, false, false, 0);
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 30; ++X)
            ASSERT_EQ(B.GetPixel(X, Y), B.GetPixel(Y, X)) << X << "," << Y;
    EXPECT_EQ(B.GetPixel(15, 15), Ink);
    EXPECT_EQ(B.GetPixel(15, 19), Bg);
}

TEST(RasterLines, StyledLinesClipPixelExactly) {
    std::mt19937 Rng(11);
    std::uniform_int_distribution<int> Coord(-40, 80);
    for (int Width : {1, 2, 5}) {
        for (int Style = 0; Style < 4; ++Style) {
            for (int i = 0; i < 60; ++i) {
                int X1 = Coord(Rng), Y1 = Coord(Rng), X2 = Coord(Rng), Y2 = Coord(Rng);
                bool Caps = i % 2, Invert = i % 3 == 0;
                ExpectClipExact(40, 30, 60, [&](TBitmap32& B, int D) {
                    B.LineColor = Ink;
                    B.LineWidth = Width;
                    B.ResetDash();
                    B.LineStyled(X1 + D, Y1 + D, X2 + D, Y2 + D, Caps, Invert, Style);
                    B.LineStyled(X2 + D, Y2 + D, X1 + D, Y2 + D, Caps, Invert, Style);
                });
            }
        }
    }
}

TEST(RasterLines, InvertedLinesComplementOnceAndUndoThemselves) {
    for (int Style = 0; Style < 4; ++Style) {
        TBitmap32 B = Surface(30, 20);
        B.LineWidth = 4;
        B.ResetDash();
        B.LineStyled(2, 3, 27, 15, true, true, Style);
        EXPECT_EQ(Count(B, Bg ^ kInvertMask32) + Count(B, Bg), 600) << Style;
        EXPECT_GT(Count(B, Bg ^ kInvertMask32), 0);
        B.ResetDash();
        B.LineStyled(2, 3, 27, 15, true, true, Style);
        EXPECT_EQ(Count(B, Bg), 600) << Style;
    }
}

TEST(RasterLines, CoincidentPointsDrawNothing) {
    TBitmap32 B = Surface(5, 5);
    B.LineWidth = 3;
    for (int Style = 0; Style < 4; ++Style)
        B.LineStyled(2, 2, 2, 2, true, false, Style);
    EXPECT_EQ(Count(B, Bg), 25);
}

TEST(RasterLines, PolylineStartsAtPointOneAndPutsADiscOnTheMiddleOfThree) {
    // Dashed, width 1: the first segment runs from point 1 back to point 0, so the pattern starts at
    // point 1: pixels 4 3 2 on, 1 off, 0 on.
    TBitmap32 B = Surface(6, 1);
    B.LineColor = Ink;
    B.LineStyle = 1;
    TRasterPoint Two[] = {{0, 0}, {4, 0}};
    B.PolylineStyled(Two, 1, false);
    EXPECT_EQ(Row(B, 0, 0, 5), "#.###.");
    // Three points, width 7: segments 1->0 and 2->1 with straight ends (7 wide, ending at the corner),
    // plus a disc of radius Round(3.5) = 4 on point 1 that reaches out beyond both.
    TBitmap32 C = Surface(20, 20);
    C.LineColor = Ink;
    C.LineWidth = 7;
    TRasterPoint Three[] = {{0, 10}, {10, 10}, {10, 0}};
    C.PolylineStyled(Three, 2, false);
    EXPECT_EQ(C.GetPixel(14, 14), Bg);  // the square corner is cut
    EXPECT_EQ(C.GetPixel(14, 10), Ink); // the disc beyond the vertical segment
    EXPECT_EQ(C.GetPixel(10, 14), Ink); // and below the horizontal one
    EXPECT_EQ(C.GetPixel(15, 10), Bg);
    EXPECT_EQ(C.DashCounters, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

TEST(RasterLines, MarchingLineInvertsTenOnTenOff) {
    TBitmap32 B = Surface(45, 1);
    B.MarchingLine(0, 0, 44, 0);
    std::string Expected;
    for (int X = 0; X < 45; ++X)
        Expected += (X / 10) % 2 ? '.' : '#';
    EXPECT_EQ(Row(B, 0, 0, 44, Bg ^ kInvertMask32), Expected);
}

TEST(RasterLines, ArrowHeadDrawsTwoStrokesOfFifteenPixelsBack) {
    TBitmap32 B = Surface(40, 40);
    B.LineColor = Ink;
    B.ArrowHead({0, 20}, {30, 20}); // travelling right: strokes go back to the left, up and down
    int DX = zem::Round(15 * std::cos(3 * std::numbers::pi / 4)); // -11
    EXPECT_EQ(B.GetPixel(30 + DX, 20 - DX), Ink);
    EXPECT_EQ(B.GetPixel(30 + DX, 20 + DX), Ink);
    EXPECT_EQ(B.GetPixel(30, 20), Ink);
    EXPECT_EQ(Count(B, Ink), 2 * 12 - 1);
}
