// The first view of an opened map: the file's scale and LeftTop, the extent of the control's size at that
// scale, so that both axes show Scale / 100 pixels per world unit.
#include "PaintTestUtil.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zem;
using namespace painttest;

namespace {

// The box of the pixels of colour C in the frame: width and height, 0 when there are none.
TPoint ExtentOf(const TBitmap32& B, TColor32 C) {
    int X1 = B.Width(), Y1 = B.Height(), X2 = -1, Y2 = -1;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            if (B.GetPixel(X, Y) == C) {
                X1 = std::min(X1, X), X2 = std::max(X2, X);
                Y1 = std::min(Y1, Y), Y2 = std::max(Y2, Y);
            }
    return X2 < 0 ? TPoint{0, 0} : TPoint{X2 - X1 + 1, Y2 - Y1 + 1};
}

// A map file with the red outline of a 100 x 100 square at (50, 50), saved at Scale from a 400 x 400 control.
std::string SquareFile(float Scale) {
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject O; // an outline: no brush
    O.Kind = otPolygon;
    O.Pen.Color = Red;
    O.AddPoints(std::vector<TXYPoint>{{50, 50}, {150, 50}, {150, 150}, {50, 150}});
    Map.AddObject(O);
    Map.SetScale(Scale);
    Map.View.LeftTop = {0, 0};
    const auto Bytes = Map.SaveToBytes();
    const auto Name = std::filesystem::temp_directory_path() /
                      ("zemviewfit_" + std::to_string(::getpid()) + "_" + std::to_string(int(Scale)) + ".mp");
    std::ofstream(Name, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    return Name.string();
}

} // namespace

TEST(ViewFit, ASquareIsSquareRightAfterLoadingInPanelsOfEverySize) {
    for (float Scale : {100.0f, 25.0f, 200.0f}) {
        const std::string File = SquareFile(Scale);
        for (TPoint Size : {TPoint{1269, 913}, TPoint{400, 400}, TPoint{300, 700}, TPoint{1600, 1000}}) {
            HeadlessHost Host(Size.X, Size.Y);
            TZemMap Map(Host);
            Map.Resize(Size.X, Size.Y);
            ASSERT_TRUE(Map.LoadFromFile(File));
            SCOPED_TRACE(std::to_string(Size.X) + "x" + std::to_string(Size.Y) + " at " +
                         std::to_string(Scale));
            EXPECT_EQ(Map.View.Scale, Scale);
            EXPECT_EQ(Map.View.LeftTop, (TXYPoint{0, 0}));
            const TPoint a = Map.WorldToScreen(50, 50), b = Map.WorldToScreen(150, 150);
            const int Want = static_cast<int>(100 * Scale / 100);
            EXPECT_NEAR(b.X - a.X, Want, 1);
            EXPECT_NEAR(b.Y - a.Y, Want, 1);
            // And so it is drawn in the frame of the load itself (the outline's pixel row and round
            // joins add up to two pixels to a small square).
            const TPoint Drawn = ExtentOf(Map.BackBuffer, C32(Red));
            EXPECT_NEAR(Drawn.X, Want, Scale == 100.0f ? 1 : 2);
            EXPECT_NEAR(Drawn.X, Drawn.Y, 1);
        }
        std::filesystem::remove(File);
    }
}

TEST_F(MapFixture, ResizeAndNewKeepTheScaleAndLeftTopAndFitTheExtent) {
    Map.SetScale(50);
    const TXYPoint LeftTop = Map.View.LeftTop;
    // A stretched view, as an old file may bring: the next resize makes it true again.
    Map.View.ViewWidthHeight = {400, 900};
    Map.Resize(1000, 600);
    EXPECT_EQ(Map.View.Scale, 50.0f);
    EXPECT_EQ(Map.View.LeftTop, LeftTop);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.X, 2000);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.Y, 1200);

    Map.View.ViewWidthHeight = {400, 400};
    Map.Clear(); // "Новый"
    EXPECT_EQ(Map.View.Scale, 50.0f);
    EXPECT_EQ(Map.View.LeftTop, LeftTop);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.X, 2000);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.Y, 1200);

    // A control of no size keeps the extent it has; growing again derives it from the scale.
    Map.Resize(0, 0);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.X, 2000);
    Map.Resize(100, 50);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.X, 200);
    EXPECT_FLOAT_EQ(Map.View.ViewWidthHeight.Y, 100);
}

TEST_F(MapFixture, AnExtentThatAlreadyAgreesIsKeptBitForBit) {
    Square(10, 10, 50);
    Map.SetScale(30); // 400 * 100 / 30 is no whole number
    const TXYPoint Saved = Map.View.ViewWidthHeight;
    const auto Bytes = Map.SaveToBytes();
    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    ASSERT_TRUE(Loaded.LoadFromBytes(Bytes));
    EXPECT_EQ(Loaded.View.ViewWidthHeight, Saved);
    EXPECT_EQ(Loaded.SaveToBytes(), Bytes);
}
