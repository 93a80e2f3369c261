// Shapes: the scanline filler and its span writers, polygons, pseudo-3D blocks, curves, discs, marks
// and rotated bitmaps.
#include "view/RasterTestUtil.h"
#include "view/ZemRasterFill.h"

#include <gtest/gtest.h>

#include <climits>
#include <numbers>

using namespace zem;

using namespace rastertest;

TEST(RasterFill, FillerCoversPixelsWhoseCentresLieInside) {
    zem::raster::TScanlineFiller F;
    TPointF Square[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
    F.Reset();
    F.AddContour(Square, 4);
    std::vector<std::tuple<int, int, int>> Spans;
    F.Fill({0, 0, 10, 10}, zem::raster::TFillRule::frEvenOdd,
           [&](int Y, int X1, int X2) { Spans.emplace_back(Y, X1, X2); });
    EXPECT_EQ(Spans, (std::vector<std::tuple<int, int, int>>{{1, 1, 3}, {2, 1, 3}}));
    Spans.clear();
    F.Fill({2, 0, 3, 2}, zem::raster::TFillRule::frEvenOdd,
           [&](int Y, int X1, int X2) { Spans.emplace_back(Y, X1, X2); });
    EXPECT_EQ(Spans, (std::vector<std::tuple<int, int, int>>{{1, 2, 2}}));
}

TEST(RasterFill, EvenOddLeavesTheCoreOfASelfIntersectingPolygonEmptyNonZeroFillsIt) {
    // A pentagram: its five points are inside, its centre pentagon is crossed twice.
    TPointF Star[5];
    for (int i = 0; i < 5; ++i) {
        double A = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        Star[i] = {50 + 40 * std::cos(A), 50 + 40 * std::sin(A)};
    }
    for (auto Rule : {zem::raster::TFillRule::frEvenOdd, zem::raster::TFillRule::frNonZero}) {
        TBitmap32 B = Surface(100, 100);
        zem::raster::TScanlineFiller F;
        F.AddContour(Star, 5);
        F.Fill({0, 0, 100, 100}, Rule, zem::raster::TSolidSpan{B.Bits(), 100, Ink});
        EXPECT_EQ(B.GetPixel(50, 12), Ink); // the top point
        EXPECT_EQ(B.GetPixel(50, 50), Rule == zem::raster::TFillRule::frEvenOdd ? Bg : Ink);
        EXPECT_EQ(B.GetPixel(5, 5), Bg);
    }
}

TEST(RasterShapes, PolygonFilledFillsLikeTheWindowSystemThenOutlines) {
    TBitmap32 B = Surface(12, 12);
    B.BrushColor = Ink;
    B.LineColor = 0xFF000001;
    TRasterPoint Square[] = {{1, 1}, {9, 1}, {9, 9}, {1, 9}};
    B.BrushStyle = 1; // no fill: only the outline
    B.PolygonFilled(Square, 3, false);
    EXPECT_EQ(Count(B, 0xFF000001), 32);
    EXPECT_EQ(Count(B, Ink), 0);
    B.BrushStyle = 0;
    B.PolygonFilled(Square, 3, false);
    EXPECT_EQ(Count(B, Ink), 49); // pixels 2 ... 8 inside the outline
    EXPECT_EQ(Row(B, 5, 0, 11, Ink), ".?#######?..");
}

TEST(RasterShapes, PolygonFilledEvenOddSelfIntersecting) {
    TBitmap32 B = Surface(40, 40);
    B.BrushColor = Ink;
    B.LineColor = Ink;
    // A bow tie with a square hole drawn as one contour that goes round twice.
    TRasterPoint Twice[] = {{5, 5}, {35, 5}, {35, 35}, {5, 35}, {5, 5}, {35, 5}, {35, 35}, {5, 35}};
    B.PolygonFilled(Twice, 7, false);
    EXPECT_EQ(B.GetPixel(20, 20), Bg); // covered twice: outside by the even-odd rule
    EXPECT_EQ(B.GetPixel(5, 20), Ink); // the outline
}

TEST(RasterShapes, HatchBrushesPaintOnlyTheirLinesOnATransparentBackground) {
    TBitmap32 B = Surface(32, 32);
    B.BrushColor = Ink;
    B.LineColor = Bg; // an outline invisible against the background
    TRasterPoint All[] = {{0, 0}, {32, 0}, {32, 32}, {0, 32}};
    B.BrushStyle = 2;
    B.PolygonFilled(All, 3, false);
    for (int Y = 1; Y < 31; ++Y)
        EXPECT_EQ(B.GetPixel(15, Y), Y % 8 == 0 ? Ink : Bg) << Y;
    for (int Style = 3; Style <= 7; ++Style) {
        B.Clear(Bg);
        B.BrushStyle = static_cast<std::uint8_t>(Style);
        B.PolygonFilled(All, 3, false);
        int N = Count(B, Ink);
        EXPECT_GT(N, 30 * 30 / 8 - 30) << Style;
        EXPECT_LT(N, 30 * 30 / 2) << Style;
    }
    B.Clear(Bg);
    B.BrushStyle = 4; // forward diagonal "\": x - y constant along a line
    B.PolygonFilled(All, 3, false);
    EXPECT_EQ(B.GetPixel(9, 1), Ink);
    EXPECT_EQ(B.GetPixel(10, 2), Ink);
    EXPECT_EQ(B.GetPixel(8, 2), Bg);
}

TEST(RasterShapes, Polygon3DOfHeightZeroDrawsExactlyLikeAFlatPolygon) {
    TRasterPoint P[] = {{10, 10}, {50, 15}, {40, 45}, {12, 38}};
    TBitmap32 A = Surface(60, 60), B = Surface(60, 60);
    for (TBitmap32* S : {&A, &B}) {
        S->BrushColor = Ink;
        S->LineColor = 0xFF000001;
        S->LineWidth = 3;
        S->LineStyle = 1;
    }
    A.Polygon3D(P, 3, true, 0, 3 * std::numbers::pi / 2);
    B.PolygonFilled(P, 3, true);
    EXPECT_TRUE(Same(A, B));
    EXPECT_EQ(A.DashCounters, B.DashCounters);
}

TEST(RasterShapes, Polygon3DRaisesTheRoofAndShadesTheFrontWall) {
    TBitmap32 B = Surface(60, 60);
    B.BrushColor = Ink;
    B.LineColor = 0xFF000001;
    // A square base (clockwise on screen); the roof lies 10 pixels straight above it.
    TRasterPoint P[] = {{20, 40}, {40, 40}, {40, 50}, {20, 50}};
    B.Polygon3D(P, 3, false, 10, 3 * std::numbers::pi / 2);
    EXPECT_EQ(B.GetPixel(30, 35), Ink);             // the roof spans y 30 ... 40
    EXPECT_EQ(B.GetPixel(30, 45), Darken(Ink, 20)); // the front wall (base bottom edge) is shaded
    EXPECT_EQ(B.GetPixel(30, 25), Bg);
    EXPECT_EQ(B.BrushColor, Ink);
    EXPECT_EQ(B.LineColor, 0xFF000001u);
}

TEST(RasterShapes, PolyBezierOfStraightHandlesIsAStraightLine) {
    TBitmap32 B = Surface(40, 10);
    B.LineColor = Ink;
    // Triples (in, anchor, out): handles on the line between the anchors.
    TRasterPoint P[] = {{0, 5}, {2, 5}, {10, 5}, {20, 5}, {30, 5}, {35, 5}};
    B.PolyBezier(P, 5);
    EXPECT_EQ(Row(B, 5, 0, 39), "..#############################.........");
    EXPECT_EQ(Count(B, Ink), 29);
}

TEST(RasterShapes, EllipseRotatedIsSymmetricAndFilled) {
    TBitmap32 B = Surface(61, 61);
    B.BrushColor = Ink;
    B.LineColor = 0xFF000001;
    B.EllipseRotated({30, 30}, 0, 20, 10);
    EXPECT_EQ(B.GetPixel(30, 30), Ink);
    EXPECT_EQ(B.GetPixel(50, 30), 0xFF000001u);
    EXPECT_EQ(B.GetPixel(30, 42), Bg);
    TBitmap32 R = Surface(61, 61);
    R.BrushColor = Ink;
    R.LineColor = 0xFF000001;
    R.EllipseRotated({30, 30}, std::numbers::pi / 2, 20, 10); // now 10 wide, 20 high
    EXPECT_EQ(R.GetPixel(30, 48), Ink);
    EXPECT_EQ(R.GetPixel(45, 30), Bg);
}

TEST(RasterShapes, DiscOfRadiusOneTwoAndMore) {
    TBitmap32 B = Surface(20, 20);
    B.Disc(2, 2, 0xFF000001, Ink, 1);
    EXPECT_EQ(Count(B, Ink), 1);
    B.Clear(Bg);
    B.Disc(2, 2, 0xFF000001, Ink, 2);
    EXPECT_EQ(Count(B, Ink), 1);
    EXPECT_EQ(Count(B, 0xFF000001), 4);
    EXPECT_EQ(B.GetPixel(2, 1), 0xFF000001u);
    B.Clear(Bg);
    B.Disc(10, 10, 0xFF000001, Ink, 3);
    EXPECT_EQ(Row(B, 10, 6, 14, 0xFF000001), ".#?????#.");
    EXPECT_EQ(Row(B, 10, 6, 14), ".?#####?.");
    EXPECT_EQ(B.GetPixel(10, 7), 0xFF000001u);
    EXPECT_EQ(B.GetPixel(10, 6), Bg);
    B.Disc(-2, 19, Ink, Ink, 5); // clipped, no fault
}

TEST(RasterMarks, XorFrameWidensByHalfThePenAndUndoesItself) {
    TBitmap32 B = Surface(20, 20);
    B.LineWidth = 4;
    B.XorFrame({12, 12}, {5, 5});
    EXPECT_EQ(B.GetPixel(3, 3), Bg ^ kInvertMask32);
    EXPECT_EQ(B.GetPixel(14, 8), Bg ^ kInvertMask32);
    EXPECT_EQ(Count(B, Bg ^ kInvertMask32), 4 * 11);
    B.XorFrame({12, 12}, {5, 5});
    EXPECT_EQ(Count(B, Bg), 400);
}

TEST(RasterMarks, XorFrameThickNestsRectanglesWithAThinSolidPen) {
    TBitmap32 B = Surface(20, 20);
    B.LineWidth = 5;
    B.LineStyle = 2;
    B.XorFrameThick2({2, 2}, {10, 10}, 2);
    EXPECT_EQ(B.LineWidth, 1);
    EXPECT_EQ(B.LineStyle, 0);
    EXPECT_EQ(Row(B, 6, 0, 11, Bg ^ kInvertMask32), "..##.....##.");
    EXPECT_EQ(Count(B, Bg ^ kInvertMask32), 32 + 24);
}

TEST(RasterMarks, HandleMarksAreEightBlackSquares) {
    TBitmap32 B = Surface(60, 60);
    B.HandleMarks({10, 10}, {50, 40});
    EXPECT_EQ(Count(B, clBlack32), 8 * 36);
    EXPECT_EQ(B.GetPixel(30, 10), clBlack32);
    EXPECT_EQ(B.GetPixel(7, 7), clBlack32);
    EXPECT_EQ(B.GetPixel(13, 13), Bg);
}

TEST(RasterMarks, CrossMarkInvertsSeventeenPixelsAtTheMiddle) {
    TBitmap32 B = Surface(30, 30);
    B.CrossMark({10, 10}, {20, 21});
    EXPECT_EQ(Count(B, Bg ^ kInvertMask32), 17);
    EXPECT_EQ(B.GetPixel(15, 15), Bg ^ kInvertMask32);
    EXPECT_EQ(B.GetPixel(19, 15), Bg ^ kInvertMask32);
    EXPECT_EQ(B.GetPixel(15, 11), Bg ^ kInvertMask32);
}

TEST(RasterBitmaps, DrawRotatedStretchesSkipsTheKeyAndTurns) {
    TBitmap32 Src = Surface(2, 2, Ink);
    Src.SetPixel(1, 1, 0xFF00FF00); // the key colour
    TBitmap32 B = Surface(12, 12);
    B.DrawRotated(Src, 2, 2, 0, 4, 6, 0xFF00FF00); // 6 wide, 4 high
    EXPECT_EQ(Count(B, Ink), 24 - 6);
    EXPECT_EQ(B.GetPixel(7, 5), Bg); // the keyed quarter is left alone
    EXPECT_EQ(B.GetPixel(2, 2), Ink);
    TBitmap32 H = Surface(12, 12);
    H.DrawRotated(Src, 2, 2, std::numbers::pi, 4, 6, 0xFF00FF00); // half a turn about the centre
    EXPECT_EQ(H.GetPixel(2, 2), Bg);
    EXPECT_EQ(H.GetPixel(7, 5), Ink);
    EXPECT_EQ(Count(H, Ink), 24 - 6);
    TBitmap32 Q = Surface(40, 40);
    Q.DrawRotated(Surface(10, 10, Ink), 15, 15, 0.3, 10, 10, 0);
    EXPECT_GT(Count(Q, Ink), 95); // no holes at an odd angle
}

TEST(RasterMarks, ShapesAndMarksAtExtremeCoordinatesClipWithoutFault) {
    TBitmap32 B = Surface(20, 20);
    const TRasterPoint Far[] = {
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    B.BrushColor = Ink;
    B.LineColor = Ink;
    B.LineWidth = 3;
    B.PolygonFilled(Far, 3, true);
    EXPECT_EQ(Count(B, Ink), 400);
    B.Clear(Bg);
    B.LineWidth = 1;
    for (const TRasterPoint& P : Far) {
        B.HandleMarks(P, P);
        B.CrossMark(P, P);
        B.XorFrame(P, P);
        B.ArrowHead({0, 0}, P);
        B.Disc(P.X, P.Y, Ink, Ink, 7);
        B.DrawRotated(Surface(3, 3, Ink), P.X, P.Y, 0.5, 3, 3, 0);
    }
    // Marks that lie far outside leave the surface as it was.
    EXPECT_EQ(Count(B, Bg), 400);
    // Ellipses about the far corners: whatever part reaches the surface is drawn in the pen and brush.
    for (const TRasterPoint& P : Far)
        B.EllipseRotated(P, 0.3, 100, 50);
    EXPECT_EQ(Count(B, Bg) + Count(B, Ink), 400);
    // The solid covers the whole surface; the curve along the far corners never reaches it.
    B.Clear(Bg);
    B.Polygon3D(Far, 3, false, 50, 3 * std::numbers::pi / 2);
    EXPECT_EQ(Count(B, Ink), 400);
    B.Clear(Bg);
    B.PolyBezier(Far, 3);
    EXPECT_EQ(Count(B, Bg), 400);
}
