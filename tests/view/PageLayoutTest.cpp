// The print preview's page geometry: page size from a printer, the desk, zoom limits and the anchor.
#include "view/ZemPageLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zem;

namespace {

TZemPageLayout Layout(std::int32_t ClientW, std::int32_t ClientH, std::int32_t Pages) {
    TZemPageLayout L;
    L.SetClient(ClientW, ClientH, 17, 17);
    L.SetPageCount(Pages);
    return L;
}

} // namespace

TEST(PageLayoutTest, PageSizeComesFromThePrinterOrTheFallback) {
    EXPECT_EQ(PageSizeFromPrinter(0, 0, 0, 0, TZemPageOrientation::poPortrait), (TZemPageSize{816, 1056}));
    EXPECT_EQ(PageSizeFromPrinter(600, -1, 4960, 7016, TZemPageOrientation::poPortrait),
              (TZemPageSize{816, 1056}));
    EXPECT_EQ(PageSizeFromPrinter(NAN, 300, 2480, 3508, TZemPageOrientation::poLandscape),
              (TZemPageSize{1056, 816}));
    // A4 at 600 dpi: 210 x 297 mm.
    EXPECT_EQ(PageSizeFromPrinter(600, 600, 4960, 7016, TZemPageOrientation::poPortrait),
              (TZemPageSize{794, 1123}));
    EXPECT_EQ(PageSizeFromPrinter(600, 600, 4960, 7016, TZemPageOrientation::poLandscape),
              (TZemPageSize{1123, 794}));
}

TEST(PageLayoutTest, ColumnsFollowTheRoomAndTheDeskHasThirtyPixelGaps) {
    TZemPageLayout L = Layout(2000, 900, 5);
    // Room 2000 - 816 - 60 = 1124 holds one more page of 846; the rest (278) does not.
    EXPECT_EQ(L.Columns(), 2);
    EXPECT_EQ(L.Rows(), 3);
    EXPECT_EQ(L.DeskWidth(), 2 * (816 + 30) + 30);
    EXPECT_EQ(L.DeskHeight(), 3 * (1056 + 30) + 30);
    EXPECT_EQ(L.PageRect(3).Left, 30 + 846);
    EXPECT_EQ(L.PageRect(3).Top, 30 + 1086);
    // One page never gets an empty column beside it.
    EXPECT_EQ(Layout(2000, 900, 1).Columns(), 1);
    // Whole page: one column, and the page fits the height.
    L.SetZoomMode(TZemZoomMode::zmWholePage);
    EXPECT_EQ(L.Columns(), 1);
    EXPECT_DOUBLE_EQ(L.Zoom(), (900.0 - 17 - 60) / 1056);
}

TEST(PageLayoutTest, ZoomCommandsComputeTheirZoomAndRefitOnResize) {
    TZemPageLayout L = Layout(1000, 700, 4);
    L.SetZoomMode(TZemZoomMode::zmFitWidth);
    EXPECT_DOUBLE_EQ(L.Zoom(), (1000.0 - 17 - 60) / 816);
    L.SetZoomMode(TZemZoomMode::zmTwoPages);
    EXPECT_DOUBLE_EQ(L.Zoom(), (1000.0 - 17 - 90) / 2 / 816);
    EXPECT_EQ(L.Columns(), 2);
    L.SetZoomMode(TZemZoomMode::zmFourPages);
    EXPECT_DOUBLE_EQ(L.Zoom(), (1000.0 - 17 - 150) / 4 / 816);
    EXPECT_EQ(L.Columns(), 4);
    L.SetZoomMode(TZemZoomMode::zmWholePage);
    L.SetClient(1000, 1500, 17, 17);
    EXPECT_DOUBLE_EQ(L.Zoom(), (1000.0 - 17 - 60) / 816); // now the width limits it
    L.SetZoomMode(TZemZoomMode::zmActualSize);
    EXPECT_EQ(L.Zoom(), 1.0);
    // A client too small for any allowed zoom keeps the zoom it had.
    L.SetClient(50, 50, 17, 17);
    L.SetZoomMode(TZemZoomMode::zmFitWidth);
    EXPECT_EQ(L.Zoom(), 1.0);
}

TEST(PageLayoutTest, ZoomStaysStrictlyBetweenItsLimits) {
    TZemPageLayout L = Layout(800, 600, 1);
    EXPECT_FALSE(L.SetZoom(5.0));
    EXPECT_FALSE(L.SetZoom(0.1));
    EXPECT_FALSE(L.SetZoom(1.0)); // unchanged
    EXPECT_TRUE(L.SetZoom(4.99));
    for (int i = 0; i < 100; ++i)
        L.ZoomStep(true);
    EXPECT_LT(L.Zoom(), 5.0);
    EXPECT_GT(L.Zoom(), 4.8);
    for (int i = 0; i < 100; ++i)
        L.ZoomStep(false);
    EXPECT_GT(L.Zoom(), 0.1);
    EXPECT_LT(L.Zoom(), 0.25);
    EXPECT_EQ(L.ZoomMode(), TZemZoomMode::zmFree);
}

TEST(PageLayoutTest, PressFindsThePageAndThePointOnIt) {
    TZemPageLayout L = Layout(2000, 900, 3);
    ASSERT_EQ(L.Columns(), 2);
    const std::int64_t X0 = L.DeskOffsetX();
    double PX = 0, PY = 0;
    EXPECT_EQ(L.PageAt(X0 + 10, 10, PX, PY), -1);           // the desk's edge
    EXPECT_EQ(L.PageAt(X0 + 30 + 816 + 5, 40, PX, PY), -1); // the gap between pages
    EXPECT_EQ(L.PageAt(X0 + 30 + 846 + 100, 30 + 50, PX, PY), 1);
    EXPECT_DOUBLE_EQ(PX, 100);
    EXPECT_DOUBLE_EQ(PY, 50);
    EXPECT_EQ(L.CurrentPage(), -1);
    EXPECT_TRUE(L.Press(X0 + 30 + 846 + 100, 80));
    EXPECT_EQ(L.CurrentPage(), 1);
    EXPECT_FALSE(L.Press(X0 + 30 + 846 + 120, 90)); // the same page again
    EXPECT_TRUE(L.HasAnchor());
    EXPECT_FALSE(L.Press(X0 + 5, 5));
    EXPECT_FALSE(L.HasAnchor());
    EXPECT_EQ(L.CurrentPage(), 1);
}

// Over many seeded layouts: after a click on a page and a zoom step, the clicked point of the page stays
// under the pointer whenever the desk can be scrolled that far.
TEST(PageLayoutTest, TheAnchorStaysUnderThePointerWhenTheZoomChanges) {
    std::mt19937 Random(21);
    int Checked = 0;
    for (int Seed = 0; Seed < 400; ++Seed) {
        std::uniform_int_distribution<int> Client(300, 2500), Pages(1, 9);
        TZemPageLayout L = Layout(Client(Random), Client(Random), Pages(Random));
        L.SetZoom(std::uniform_real_distribution<double>(0.2, 3.0)(Random));
        L.SetScroll(std::uniform_int_distribution<std::int64_t>(0, L.MaxScrollX())(Random),
                    std::uniform_int_distribution<std::int64_t>(0, L.MaxScrollY())(Random));
        const int X = std::uniform_int_distribution<int>(0, 299)(Random);
        const int Y = std::uniform_int_distribution<int>(0, 299)(Random);
        double AX = 0, AY = 0;
        const std::int32_t Page = L.PageAt(X, Y, AX, AY);
        L.Press(X, Y);
        if (Page < 0) {
            EXPECT_FALSE(L.HasAnchor());
            continue;
        }
        const bool In = Random() % 2 == 0;
        if (!L.ZoomStep(In))
            continue;
        const TZemDeskRect R = L.PageRect(Page);
        const double WantX = static_cast<double>(L.DeskOffsetX() + R.Left) + AX * L.Zoom() - X;
        const double WantY = static_cast<double>(L.DeskOffsetY() + R.Top) + AY * L.Zoom() - Y;
        if (WantX < 0 || WantY < 0 || WantX > L.MaxScrollX() || WantY > L.MaxScrollY())
            continue; // the desk's edge stops it
        double BX = 0, BY = 0;
        ASSERT_EQ(L.PageAt(X, Y, BX, BY), Page) << "seed " << Seed;
        EXPECT_NEAR(BX, AX, 1.0 / L.Zoom() + 1e-9) << "seed " << Seed;
        EXPECT_NEAR(BY, AY, 1.0 / L.Zoom() + 1e-9) << "seed " << Seed;
        ++Checked;
    }
    EXPECT_GT(Checked, 50);
}

TEST(PageLayoutTest, WithoutAClickTheCurrentPageStaysInView) {
    TZemPageLayout L = Layout(900, 700, 6);
    L.SetCurrentPage(4);
    const TZemDeskRect R = L.PageRect(4);
    L.SetScroll(R.Left - 40, R.Top - 20);
    ASSERT_TRUE(L.SetZoom(0.5));
    const TZemDeskRect After = L.PageRect(4);
    // The page's top centre is where it was (or as close as the desk allows).
    const std::int64_t ViewX = L.DeskOffsetX() + After.Left + After.Width / 2 - L.ScrollX();
    const std::int64_t ViewY = After.Top - L.ScrollY();
    EXPECT_GE(ViewX, 0);
    EXPECT_LE(ViewX, 900);
    EXPECT_GE(ViewY, 0);
    EXPECT_LE(ViewY, 700);
}
