// The printed page's picture: frames of the control's size tiled over the page, the view untouched.
#include "PaintTestUtil.h"

#include "base/ZemErrors.h"
#include "view/ZemPageCompose.h"

using namespace zem;
using namespace painttest;

namespace {

struct PageCompose : MapFixture {
    void SetUp() override {
        Map.Resize(600, 400);
        Square(560, 360, 90);                                  // across both seams of the tiles
        Add(otLine, {{0, 0}, {800, 1040}}, Yellow);            // through every row of tiles
        Add(otPolygon, {{100, 900}, {300, 950}, {150, 1040}}); // in the last row only
        Map.Refresh();
    }
    int CountIn(const TBitmap32& B, TColor32 C) const {
        int N = 0;
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int X = 0; X < B.Width(); ++X)
                N += B.GetPixel(X, Y) == C;
        return N;
    }
};

} // namespace

TEST_F(PageCompose, TwoColumnsAndThreeRowsOfTilesMakeThePageAndTheWindowSeesNone) {
    const TZemPageView Before = CurrentPageView(Map);
    const int Presents = Host.PresentCount, Paints = Map.View.PaintCounter;
    TBitmap32 Page;
    Page.SetSize(805, 1045); // the default page less the preview window's margins
    ComposeMapImage(Map, Before, 1.0, Page);
    EXPECT_EQ(Map.View.PaintCounter - Paints, 2 * 3 + 1); // the tiles, then the view's own frame
    EXPECT_EQ(Host.PresentCount - Presents, 1);           // only the view's own frame is shown
    EXPECT_EQ(Map.View.LeftTop, Before.LeftTop);
    EXPECT_EQ(Map.View.ViewWidthHeight, Before.ViewWidthHeight);
    EXPECT_EQ(Map.View.Scale, Before.Scale);
    EXPECT_FALSE(Map.View.Printing);
    EXPECT_EQ(Map.BackBuffer.Width(), 600);

    // The page is what one frame of a control as large as the page shows.
    Map.Resize(805, 1045);
    Map.Refresh();
    int Different = 0;
    for (int Y = 0; Y < 1045; ++Y)
        for (int X = 0; X < 805; ++X)
            Different += Page.GetPixel(X, Y) != Pixel(X, Y);
    EXPECT_EQ(Different, 0);
    EXPECT_GT(CountIn(Page, C32(Yellow)), 500);
}

TEST_F(PageCompose, AFinerFactorDrawsTheSamePartOfTheWorldAtItsResolution) {
    Map.Doc.MinIconView = 150;
    TBitmap32 Coarse, Fine;
    Coarse.SetSize(805, 1045);
    Fine.SetSize(805 * 3, 1045 * 3);
    ComposeMapImage(Map, CurrentPageView(Map), 1.0, Coarse);
    ComposeMapImage(Map, CurrentPageView(Map), 3.0, Fine);
    const double Ratio = static_cast<double>(CountIn(Fine, C32(Blue))) / CountIn(Coarse, C32(Blue));
    EXPECT_NEAR(Ratio, 9.0, 0.5);
    // The square's corner lies three times as far from the page's corner.
    EXPECT_EQ(Fine.GetPixel(3 * 570, 3 * 370), C32(Blue));
    EXPECT_NE(Fine.GetPixel(3 * 555, 3 * 370), C32(Blue));
    EXPECT_EQ(Map.View.Scale, 100.0f);
    EXPECT_EQ(Map.Doc.MinIconView, 150.0f); // the thresholds are the document's again
    EXPECT_EQ(Map.Doc.MinObjectView, 3);
}

TEST_F(PageCompose, AFailureLeavesTheViewAsItWas) {
    const TZemPageView Before = CurrentPageView(Map);
    Map.Resize(0, 0);
    TBitmap32 Page;
    Page.SetSize(100, 100);
    EXPECT_THROW(ComposeMapImage(Map, Before, 1.0, Page), EZemError);
    EXPECT_EQ(Map.View.LeftTop, Before.LeftTop);
    EXPECT_FALSE(Map.View.Printing);
    EXPECT_TRUE(Map.View.AutoUpdate);
}

TEST_F(PageCompose, PrintResolutionIsBetween300And600DotsAndBounded) {
    EXPECT_DOUBLE_EQ(PrintFactor(72, 805, 1045), 300.0 / 96);
    EXPECT_DOUBLE_EQ(PrintFactor(1200, 805, 1045), 600.0 / 96);
    EXPECT_DOUBLE_EQ(PrintFactor(450, 805, 1045), 450.0 / 96);
    const double Big = PrintFactor(600, 4000, 3000);
    EXPECT_LE(4000 * Big * 3000 * Big, static_cast<double>(kMaxPagePixels) * 1.0001);
    EXPECT_EQ(PrintFactor(600, 20000, 20000), 1.0);
}
