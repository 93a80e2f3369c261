#include "PaintTestUtil.h"

#include "view/ZemBackgroundImage.h"

using namespace zem;

using namespace painttest;

namespace {

// A 4 x 3 picture whose pixel (column, row from the top) is 0xFF000000 + 16 * row + column.
TZemBackgroundImage Picture() {
    TZemBackgroundImage B;
    B.Image.Width = 4;
    B.Image.Height = 3;
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 4; ++X)
            B.Image.Pixels.push_back(0xFF000000u + static_cast<TColor32>(16 * Y + X));
    return B;
}

TColor32 At(int Column, int RowFromTop) {
    return 0xFF000000u + static_cast<TColor32>(16 * RowFromTop + Column);
}

struct Background : MapFixture {
    TZemBackgroundImage B = Picture();
    void SetUp() override {
        Map.OnPaintBackground = [this](TZemMap& M, TBitmap32& Buffer) { PaintBackgroundImage(M, B, Buffer); };
    }
};

} // namespace

TEST_F(Background, OnePicturePixelPerScreenPixelAtEqualScales) {
    Map.Refresh();
    // The picture's rows are counted from 1 at the top, so its top line shows on screen row 1.
    EXPECT_EQ(Pixel(0, 1), At(0, 0));
    EXPECT_EQ(Pixel(3, 1), At(3, 0));
    EXPECT_EQ(Pixel(2, 3), At(2, 2));
    EXPECT_EQ(Pixel(0, 0), C32(Back));
    EXPECT_EQ(Pixel(4, 1), C32(Back));
    EXPECT_EQ(Pixel(1, 4), C32(Back));
    EXPECT_EQ(Pixel(200, 200), C32(Back));
}

TEST_F(Background, PictureScaleAndOriginPlaceIt) {
    B.Scale = 50; // a picture pixel is 2 world units
    B.Origin = {100, 50};
    Map.Refresh();
    // Window column 0 is picture column -50: the picture starts at screen x 100, row 1 at screen y 52.
    EXPECT_EQ(Pixel(100, 52), At(0, 0));
    EXPECT_EQ(Pixel(101, 53), At(0, 0));
    EXPECT_EQ(Pixel(102, 52), At(1, 0));
    EXPECT_EQ(Pixel(107, 57), At(3, 2));
    EXPECT_EQ(Pixel(108, 52), C32(Back));
    EXPECT_EQ(Pixel(99, 52), C32(Back));
}

TEST_F(Background, ObjectsAndTheGridLieOverIt) {
    B.Scale = 1; // 100 world units a picture pixel: the picture covers 400 x 300 of the window
    Square(150, 150, 50, RGBColor(255, 0, 0), RGBColor(255, 0, 0));
    Map.Refresh();
    EXPECT_EQ(Pixel(175, 175), C32(RGBColor(255, 0, 0)));
    EXPECT_EQ(Pixel(50, 150), At(0, 0));
    EXPECT_EQ(Pixel(350, 250), At(3, 1));
}

TEST_F(Background, ASmallMapScaleResamplesOnlyThePicture) {
    // At 1 % the window spans 40,000 picture pixels a side; only the 4 x 3 of the picture are used.
    Map.SetScale(1);
    EXPECT_GE(Count(C32(Back)), 400 * 400 - 4);
    // Smoothing filters work on the same part.
    Map.SetScale(400);
    B.Filter = TStretchFilter::sfSpline;
    B.Origin = Map.View.LeftTop; // 4 screen pixels a picture pixel, at the window's corner
    Map.Refresh();
    EXPECT_LT(Count(C32(Back)), 400 * 400);
    EXPECT_GE(Count(C32(Back)), 400 * 400 - 16 * 16);
    B.Image = {};
    Map.Refresh();
    EXPECT_EQ(Count(C32(Back)), 400 * 400);
}
