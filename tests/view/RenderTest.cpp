#include "PaintTestUtil.h"

#include "RasterTestUtil.h"
#include "images/ZemImageFile.h"
#include "view/ZemSmooth.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace zem;

using namespace painttest;

namespace {

struct Render : MapFixture {};

// The same overlays on two maps: a measuring line and search points.
void AddOverlays(TZemMap& M) {
    M.Edit.MeasurePoints.Add({20, 300});
    M.Edit.MeasurePoints.Add({380, 320});
    M.Net.RoutePoints.Add({200, 200});
}

} // namespace

TEST_F(Render, HiddenObjectsLeaveBackgroundGridAndOverlays) {
    Square(50, 50, 200, Red, Blue);
    Add(otLine, {{0, 390}, {400, 390}}, Yellow);
    Map.Doc.ShowGrid = true;
    AddOverlays(Map);
    Map.Refresh();
    EXPECT_GT(Count(C32(Blue)), 1000);

    Map.Doc.Option |= 1 << moHideObjects;
    Map.Refresh();
    HeadlessHost H2;
    TZemMap Empty(H2);
    Empty.Doc.ShowGrid = true;
    AddOverlays(Empty);
    Empty.Refresh();
    EXPECT_EQ(Count(C32(Blue)), 0);
    EXPECT_EQ(Count(C32(Yellow)), 0);
    EXPECT_GT(Count(0xFF00FF00u), 100); // the measuring line is still there
    bool Same = true;
    for (int Y = 0; Y < 400 && Same; ++Y)
        for (int X = 0; X < 400 && Same; ++X)
            Same = Pixel(X, Y) == Empty.BackBuffer.GetPixel(X, Y);
    EXPECT_TRUE(Same);
}

TEST_F(Render, GridLinesStartFromTheRoundedTopAndCarryLabels) {
    Map.View.LeftTop = {10.0f, 120.4f}; // vertical lines at x = 0 and 50 are off to the left...
    Map.Doc.DirectLineX = 1000;         // ...and the next one beyond the right edge
    Map.Doc.ShowGrid = true;
    Map.Refresh();
    const TColor32 Grid = C32(Map.Doc.DirectLineColor);
    // Lines at world y 150, 200, 250 ... are rows 30 (Round(29.6)), 80, 130 ...
    auto Dots = [&](int Y) {
        int N = 0;
        for (int X = 60; X < 400; ++X)
            N += Pixel(X, Y) == Grid;
        return N;
    };
    for (int Y : {30, 80, 130, 180, 230, 280, 330, 380})
        EXPECT_GT(Dots(Y), 100) << Y;
    for (int Y : {0, 29, 31, 55, 79, 81})
        EXPECT_EQ(Dots(Y), 0) << Y;
    // Dotted: a dot every third pixel.
    EXPECT_LT(Dots(30), 200);
    // The label of row 30 sits at its left end.
    EXPECT_GT(CountNear(Grid, 0, 31, 40, 42, 40), 3);
    // A step of 0 draws nothing instead of looping.
    Map.Doc.DirectLineY = 0;
    Map.Refresh();
    EXPECT_EQ(Dots(30), 0);
}

TEST_F(Render, EachFrameIsPresentedOnceAndCounted) {
    const int Presents = Host.PresentCount, Frames = Map.View.PaintCounter;
    Square(10, 10, 50);
    EXPECT_GT(Host.PresentCount, Presents);
    const int P = Host.PresentCount;
    Map.RenderView();
    EXPECT_EQ(Host.PresentCount, P + 1);
    EXPECT_EQ(Map.View.PaintCounter, Frames + (Host.PresentCount - Presents));
    EXPECT_TRUE(rastertest::Same(Host.LastFrame, Map.BackBuffer));
    EXPECT_TRUE(Map.AutoUpdate());
    // Nested redraw requests from inside a frame do nothing.
    Map.OnPaintBackground = [&](TZemMap& M, TBitmap32&) { M.Redraw(); };
    Map.RenderView();
    EXPECT_EQ(Host.PresentCount, P + 2);
    // Without AutoUpdate nothing is drawn, and the flag stays off after a direct frame.
    Map.View.AutoUpdate = false;
    Map.Redraw();
    EXPECT_EQ(Host.PresentCount, P + 2);
    Map.RenderView();
    EXPECT_FALSE(Map.AutoUpdate());
}

TEST_F(Render, PaintBackgroundComesAfterTheBackgroundAndUnderTheObjects) {
    Square(100, 100, 100, Red, Red);
    TColor32 Seen = 0;
    Map.OnPaintBackground = [&](TZemMap&, TBitmap32& B) {
        Seen = B.GetPixel(5, 5);
        B.FillRectClipped(0, 0, 150, 150, C32(Yellow));
    };
    Map.Refresh();
    EXPECT_EQ(Seen, C32(Back));
    EXPECT_EQ(Pixel(50, 50), C32(Yellow));
    EXPECT_EQ(Pixel(125, 125), C32(Red));
}

TEST_F(Render, BackgroundPatternIsTiledWhileItsOptionIsSet) {
    Map.BackgroundPattern.SetSize(3, 2);
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 3; ++X)
            Map.BackgroundPattern.SetPixel(X, Y, 0xFF000000u | static_cast<TColor32>(X * 40 + Y * 7));
    Map.Refresh();
    for (auto [X, Y] : {std::pair{0, 0}, {7, 3}, {398, 399}, {200, 101}})
        EXPECT_EQ(Pixel(X, Y), Map.BackgroundPattern.GetPixel(X % 3, Y % 2));
    Map.Doc.Option &= static_cast<std::uint8_t>(~(1 << moShowBackground));
    Map.Refresh();
    EXPECT_EQ(Count(C32(Back)), 400 * 400);
}

TEST_F(Render, AntiAliasingSoftensEdgesAndKeepsFlatAreas) {
    Square(100, 100, 100, Yellow, Yellow);
    Map.View.AntiAlias = true;
    Map.Refresh();
    EXPECT_EQ(Pixel(150, 150), C32(Yellow));
    EXPECT_EQ(Pixel(20, 20), C32(Back));
    // Across the left edge (x = 100) the colours step through values of neither side.
    const TColor32 L = Pixel(99, 150), R = Pixel(100, 150);
    EXPECT_NE(L, C32(Back));
    EXPECT_NE(L, C32(Yellow));
    EXPECT_NE(R, C32(Yellow));
    EXPECT_GT(RedOf(R), RedOf(L));
}

TEST(Smooth, WeightsAreTheSplineAtWholePixels) {
    TBitmap32 B(5, 5);
    B.Clear(0xFF000000);
    B.SetPixel(2, 2, 0xFFFFFFFF);
    zem::SmoothFrame(B);
    // 16/36, 4/36 and 1/36 of 255, rounded; alpha stays full.
    EXPECT_EQ(B.GetPixel(2, 2), 0xFF717171u);
    EXPECT_EQ(B.GetPixel(1, 2), 0xFF1C1C1Cu);
    EXPECT_EQ(B.GetPixel(1, 1), 0xFF070707u);
    EXPECT_EQ(B.GetPixel(0, 0), 0xFF000000u);
    // Edges repeat themselves: a uniform surface stays uniform.
    TBitmap32 U(7, 3);
    U.Clear(0xFF123456);
    zem::SmoothFrame(U);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 7; ++X)
            EXPECT_EQ(U.GetPixel(X, Y), 0xFF123456u);
}

TEST_F(Render, ExportWritesTheLastFrame) {
    Square(100, 100, 100, Red, Blue);
    const auto Dir = std::filesystem::temp_directory_path() / ("zemrender_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    const std::string Bmp = (Dir / "frame.bmp").string(), Png = (Dir / "frame.png").string();
    Map.ExportBmp(Bmp);
    Map.ExportBmp(Png);
    TBitmap32 A, B;
    A.Assign(zem::ReadImageFile(Bmp));
    B.Assign(zem::ReadImageFile(Png));
    EXPECT_TRUE(rastertest::Same(A, Map.BackBuffer));
    EXPECT_TRUE(rastertest::Same(B, Map.BackBuffer));
    std::filesystem::remove_all(Dir);
}

TEST_F(Render, AChangedObjectRendersAFrame) {
    const std::int32_t ID = Square(100, 100, 100, Red, Blue);
    const int P = Host.PresentCount;
    Map.ObjectByID(ID).SetPlane(3);
    EXPECT_EQ(Host.PresentCount, P + 1);
    Map.View.AutoUpdate = false;
    Map.ObjectByID(ID).SetPlane(4);
    EXPECT_EQ(Host.PresentCount, P + 1);
}

TEST(Smooth, WideRowsAgreeWithTheDirectSum) {
    // Wide enough for the vector path; every channel of every pixel against the 3 x 3 sum.
    const int W = 41, H = 4;
    TBitmap32 B(W, H);
    std::uint32_t Seed = 12345;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            B.SetPixel(X, Y, Seed);
        }
    const TBitmap32 Original = B;
    zem::SmoothFrame(B);
    const int Weight[3] = {1, 4, 1};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            for (int Shift : {0, 8, 16, 24}) {
                unsigned Sum = 0;
                for (int DY = -1; DY <= 1; ++DY)
                    for (int DX = -1; DX <= 1; ++DX) {
                        const int SX = std::clamp(X + DX, 0, W - 1), SY = std::clamp(Y + DY, 0, H - 1);
                        Sum +=
                            Weight[DX + 1] * Weight[DY + 1] * ((Original.GetPixel(SX, SY) >> Shift) & 0xFF);
                    }
                const unsigned Expected = ((Sum + 18) * 1821u) >> 16;
                ASSERT_EQ((B.GetPixel(X, Y) >> Shift) & 0xFF, Expected)
                    << X << "," << Y << " shift " << Shift;
                // Within one of the exact rounded mean.
                ASSERT_LE(std::abs(static_cast<int>(Expected) - static_cast<int>((Sum + 18) / 36)), 1);
            }
}
