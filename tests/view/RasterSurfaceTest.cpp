// The surface itself: size, state, pixels, rectangles, colours and transfers.
#include "base/ZemErrors.h"
#include "view/RasterTestUtil.h"

#include <gtest/gtest.h>

using namespace zem;

using namespace rastertest;

TEST(RasterSurface, NewSurfaceHasTheDocumentedState) {
    TBitmap32 B;
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.Bits(), nullptr);
    EXPECT_EQ(B.DrawMode, TDrawMode::dmOpaque);
    EXPECT_EQ(B.MasterAlpha, 255);
    EXPECT_EQ(B.OuterColor, 0u);
    EXPECT_EQ(B.StretchFilter, TStretchFilter::sfNearest);
    EXPECT_EQ(B.LineColor, clWhite32);
    EXPECT_EQ(B.LineWidth, 1);
    EXPECT_EQ(B.LineStyle, 0);
    EXPECT_EQ(B.BrushColor, clBlack32);
    EXPECT_EQ(B.BrushStyle, 0);
    EXPECT_EQ(B.SpareFontName, "Times New Roman");
    EXPECT_EQ(B.SpareFontSize, 12);
    EXPECT_EQ(B.DashCounters, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

TEST(RasterSurface, NegativeSizeLeavesTheSurfaceEmptyAndClearDoesNothing) {
    TBitmap32 B;
    B.SetSize(-5, 10);
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.Width(), 0);
    EXPECT_EQ(B.Height(), 10 * 0);
    B.Clear(Ink); // must not touch anything
    B.SetSize(3, 0);
    EXPECT_TRUE(B.Empty());
    B.SetSize(3, 2);
    EXPECT_FALSE(B.Empty());
    EXPECT_EQ(B.GetPixel(2, 1), 0u);
    EXPECT_EQ(B.UpdateCount(), 0);
}

TEST(RasterSurface, UnpairedEndUpdateFailsWithItsMessage) {
    TBitmap32 B;
    B.BeginUpdate();
    B.EndUpdate();
    try {
        B.EndUpdate();
        FAIL() << "no exception";
    } catch (const EZemError& E) {
        EXPECT_STREQ(E.what(), "Unpaired TZemPersistent.EndUpdate");
    }
}

TEST(RasterSurface, ASizeThatCannotBeAllocatedRaisesAndLeavesTheSurfaceEmpty) {
    TBitmap32 B(4, 4);
    try {
        B.SetSize(2000000000, 2000000000);
        FAIL() << "no exception";
    } catch (const EZemError& E) {
        EXPECT_STREQ(E.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(B.Empty());
}

TEST(RasterSurface, FillRectOfZeroZeroTwoTwoColoursExactlyFourPixels) {
    TBitmap32 B = Surface(5, 5);
    B.FillRectClipped(0, 0, 2, 2, Ink);
    EXPECT_EQ(Count(B, Ink), 4);
    EXPECT_EQ(Row(B, 0, 0, 4), "##...");
    EXPECT_EQ(Row(B, 1, 0, 4), "##...");
    EXPECT_EQ(Row(B, 2, 0, 4), ".....");
}

TEST(RasterSurface, FillRectClipsAtEveryEdge) {
    TBitmap32 B = Surface(6, 4);
    B.FillRectClipped(-3, -2, 2, 1, Ink); // top-left corner
    EXPECT_EQ(Count(B, Ink), 2);
    B.Clear(Bg);
    B.FillRectClipped(4, 3, 100, 100, Ink); // bottom-right corner
    EXPECT_EQ(Count(B, Ink), 2);
    EXPECT_EQ(Row(B, 3, 0, 5), "....##");
    B.Clear(Bg);
    B.FillRectClipped(-100, -100, 100, 100, Ink);
    EXPECT_EQ(Count(B, Ink), 24);
    B.Clear(Bg);
    B.FillRectClipped(3, 1, 2, 3, Ink); // inverted: nothing
    B.FillRectClipped(6, 0, 9, 4, Ink); // entirely right of the surface
    EXPECT_EQ(Count(B, Ink), 0);
}

TEST(RasterSurface, SpansIncludeBothEndsAndClip) {
    TBitmap32 B = Surface(6, 4);
    B.HorizontalSpan(4, 1, -3, Ink);
    EXPECT_EQ(Row(B, 1, 0, 5), "#####.");
    B.VerticalSpan(5, 10, 2, Ink);
    EXPECT_EQ(B.GetPixel(5, 2), Ink);
    EXPECT_EQ(B.GetPixel(5, 3), Ink);
    EXPECT_EQ(B.GetPixel(5, 1), Bg);
    B.HorizontalSpan(0, 4, 5, Ink);
    B.VerticalSpan(-1, 0, 3, Ink);
    B.SetPixel(6, 0, Ink);
    B.SetPixel(-1, 0, Ink);
    B.SetPixel(0, -1, Ink);
    EXPECT_EQ(Count(B, Ink), 7);
}

TEST(RasterSurface, FrameRectSortsItsCornersAndDrawsEachSide) {
    TBitmap32 B = Surface(7, 6);
    B.FrameRectClipped(5, 4, 1, 1, Ink);
    EXPECT_EQ(Row(B, 1, 0, 6), ".#####.");
    EXPECT_EQ(Row(B, 2, 0, 6), ".#...#.");
    EXPECT_EQ(Row(B, 3, 0, 6), ".#...#.");
    EXPECT_EQ(Row(B, 4, 0, 6), ".#####.");
    EXPECT_EQ(Count(B, Ink), 14);
}

TEST(RasterColor, ConversionsFollowTheTwoByteOrders) {
    EXPECT_EQ(ToColor32(0x00332211u), 0xFF112233u);
    EXPECT_EQ(ToColor32(0x11, 0x22, 0x33, 0x44), 0x44112233u);
    EXPECT_EQ(ToPlatformColor(0x44112233u), 0x00332211u);
    EXPECT_EQ(RedOf(0x44112233u), 0x11u);
    EXPECT_EQ(GreenOf(0x44112233u), 0x22u);
    EXPECT_EQ(BlueOf(0x44112233u), 0x33u);
    // A system colour (top bit set) is resolved first: 15 is the button face.
    EXPECT_EQ(ToColor32(0x8000000Fu), 0xFFF0F0F0u);
    EXPECT_EQ(ToColor32(0xFF000005u), 0xFFFFFFFFu);
}

TEST(RasterColor, DarkenTakesRoundedPercentsAndMakesOpaque) {
    // 200 - MulDiv(200, 20, 100) = 160; 101 - 20 (20.2) = 81; 3 - 1 (0.6) = 2.
    EXPECT_EQ(Darken(0x00C86503u, 20), 0xFFA05102u);
    EXPECT_EQ(Darken(0xFFFFFFFFu, 0), 0xFFFFFFFFu);
    EXPECT_EQ(zem::MulDiv(5, 1, 2), 3);
    EXPECT_EQ(zem::MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(zem::MulDiv(1, 1, 0), -1);
}

TEST(RasterColor, BlendFollowsTheFormula) {
    EXPECT_EQ(BlendReg(0xFF123456u, 0xFF000000u), 0xFF123456u);
    EXPECT_EQ(BlendReg(0x00123456u, 0xFFABCDEFu), 0xFFABCDEFu);
    // a = 128: each byte ((128 F + 128) >> 8) + ((127 B + 128) >> 8).
    auto Byte = [](unsigned F, unsigned B) { return ((128 * F + 128) >> 8) + ((127 * B + 128) >> 8); };
    TColor32 R = BlendReg(0x80FF4010u, 0xFF00C0F0u);
    EXPECT_EQ(R >> 24, Byte(0x80, 0xFF));
    EXPECT_EQ((R >> 16) & 0xFF, Byte(0xFF, 0x00));
    EXPECT_EQ((R >> 8) & 0xFF, Byte(0x40, 0xC0));
    EXPECT_EQ(R & 0xFF, Byte(0x10, 0xF0));
    // Master alpha: the weight is (a * m) >> 8; a product below 256 leaves the background.
    EXPECT_EQ(BlendRegEx(0x01FFFFFFu, 0xFF000000u, 255), 0xFF000000u);
    EXPECT_EQ(BlendRegEx(0xFF204060u, 0xFF000000u, 128), BlendWeighted(0xFF204060u, 0xFF000000u, 127));
}

TEST(RasterTransfer, DrawCopiesClippedAndBlendsInBlendMode) {
    TBitmap32 Dst = Surface(4, 4);
    TBitmap32 Src = Surface(3, 3, Ink);
    Src.SetPixel(0, 0, 0xFF000001);
    Dst.Draw(-1, -1, Src);
    EXPECT_EQ(Count(Dst, Ink), 4);
    EXPECT_EQ(Row(Dst, 0, 0, 3), "##..");
    Dst.Draw(3, 3, Src);
    EXPECT_EQ(Dst.GetPixel(3, 3), 0xFF000001u);
    Dst.Draw(4, 0, Src); // nothing overlaps
    EXPECT_EQ(Count(Dst, Ink), 4);

    TBitmap32 Half = Surface(1, 1, 0x80FFFFFF);
    Half.DrawMode = TDrawMode::dmBlend;
    TBitmap32 Under = Surface(1, 1, 0xFF000000);
    Under.Draw(0, 0, Half);
    EXPECT_EQ(Under.GetPixel(0, 0), BlendReg(0x80FFFFFF, 0xFF000000));
}

TEST(RasterTransfer, CopyFromDeviceStretchesAndCopyToDeviceCopies) {
    TBitmap32 Src = Surface(2, 2);
    Src.SetPixel(1, 0, Ink);
    TBitmap32 Dst = Surface(4, 4, 0);
    Dst.CopyFromDevice({0, 0, 4, 4}, {0, 0, 2, 2}, Src);
    EXPECT_EQ(Row(Dst, 0, 0, 3), "..##");
    EXPECT_EQ(Row(Dst, 1, 0, 3), "..##");
    EXPECT_EQ(Row(Dst, 2, 0, 3), "....");
    TBitmap32 Screen = Surface(5, 5, 0);
    Src.DrawMode = TDrawMode::dmBlend; // a block copy ignores the draw mode
    Src.CopyToDevice(Screen, 3, 3);
    EXPECT_EQ(Screen.GetPixel(4, 3), Ink);
    EXPECT_EQ(Screen.GetPixel(3, 3), Bg);
}

TEST(RasterSurface, CopiesHaveTheirOwnPixels) {
    TBitmap32 A = Surface(2, 2);
    A.LineWidth = 7;
    TBitmap32 B = A;
    B.SetPixel(0, 0, Ink);
    EXPECT_EQ(A.GetPixel(0, 0), Bg);
    EXPECT_EQ(B.LineWidth, 7);
    TBitmap32 C;
    C = B;
    EXPECT_EQ(C.GetPixel(0, 0), Ink);
}

TEST(RasterSurface, ClearFillsEveryPixelOfSmallAndFrameSizedSurfaces) {
    for (const auto& [W, H] : {std::pair{1, 1}, {17, 3}, {255, 257}, {1920, 1080}, {4096, 2160}}) {
        TBitmap32 B(W, H);
        B.Clear(0x12345678u);
        B.Clear(0xFF0A0B0Cu);
        for (std::int32_t Y = 0; Y < H; ++Y)
            for (std::int32_t X = 0; X < W; ++X)
                ASSERT_EQ(B.Pixel(X, Y), 0xFF0A0B0Cu) << W << "x" << H << " at " << X << "," << Y;
    }
}
