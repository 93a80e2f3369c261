#include "PaintTestUtil.h"

#include "view/ZemMiniMap.h"

#include <random>

using namespace zem;

using namespace painttest;

namespace {

constexpr TColor32 Aqua = 0xFF00FFFF;

// A 100 x 100 mini-map beside a map whose document spans 1000 x 500 world units.
struct MiniMapFixture : MapFixture {
    HeadlessHost MiniHost{100, 100};
    TZemMiniMap Mini{MiniHost};
    std::int32_t Land = -1;

    void SetUp() override {
        Map.SetMiniMap(&Mini);
        Land = Square(0, 0, 10, Yellow, Yellow);
        TZemObject& O = Map.ObjectByID(Land);
        for (std::int32_t i = 0; i < 4; ++i) {
            const TXYPoint P = O.Point(i);
            O.SetPoint(i, {P.X * 100, P.Y * 50});
        }
        O.UpdateBounds();
        Map.RecalcGlobalExtent();
        Map.UpdateMiniMapContent();
    }
    TColor32 Content(int X, int Y) const { return Mini.Content.GetPixel(X, Y); }
    TColor32 Shown(int X, int Y) const { return Mini.Composed.GetPixel(X, Y); }
    int RowCount(const TBitmap32& B, int Y, TColor32 C, int X1 = 0, int X2 = 99) const {
        int N = 0;
        for (int X = X1; X <= X2; ++X)
            N += B.GetPixel(X, Y) == C;
        return N;
    }
    // The shown picture is what rebuilding the mini-map from scratch shows now.
    bool ShowsAFreshRebuild() {
        const TBitmap32 Shown = Mini.Composed;
        Map.UpdateMiniMapContent();
        return Shown.Width() == Mini.Composed.Width() && Shown.Height() == Mini.Composed.Height() &&
               std::equal(Shown.Bits(), Shown.Bits() + Shown.Width() * Shown.Height(), Mini.Composed.Bits());
    }
};

} // namespace

TEST_F(MiniMapFixture, ContentFillsTheFittedAreaWithTheDocument) {
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{1000, 500}));
    EXPECT_EQ(Mini.FittedArea, (TRect{0, 25, 100, 75}));
    // Outside the area only the background; inside it the land, drawn small in its own colours.
    EXPECT_EQ(Content(50, 10), C32(Back));
    EXPECT_EQ(Content(50, 90), C32(Back));
    EXPECT_EQ(Content(50, 50), C32(Yellow));
    EXPECT_EQ(Content(10, 30), C32(Yellow));
}

TEST_F(MiniMapFixture, AreaIsOutlinedInTheBorderPainterColourWhenNothingCoversIt) {
    Map.ObjectByID(Land).Pen.Color = Yellow;
    Map.ObjectByID(Land).Brush.Style = 1; // hollow: the area's outline and fill show through
    Map.UpdateMiniMapContent();
    EXPECT_EQ(Content(50, 50), C32(Back));
    // A speck in the far corner keeps the extent (the top-left never rises); it is too small to draw.
    Square(995, 495, 5);
    Map.DeleteObject(Land);
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{1000, 500}));
    Map.UpdateMiniMapContent();
    EXPECT_EQ(Content(50, 25), C32(Mini.BorderPainterColor));
    EXPECT_EQ(Content(50, 75), C32(Mini.BorderPainterColor));
    EXPECT_EQ(Content(0, 50), C32(Mini.BorderPainterColor));
    EXPECT_EQ(Content(50, 24), C32(Back));
}

TEST_F(MiniMapFixture, SmallObjectsAndOtherKindsAreLeftOut) {
    Square(500, 250, 20, Red, Red); // 2 x 2 mini-map pixels
    Add(otLine, {{100, 100}, {900, 100}}, Red);
    Add(otText, {{100, 400}, {900, 400}, {900, 480}, {100, 480}}, Red);
    Map.UpdateMiniMapContent();
    EXPECT_EQ(Content(51, 50), C32(Yellow));
    EXPECT_EQ(RowCount(Mini.Content, 35, C32(Red)), 81); // the line from x = 10 to 90
    EXPECT_EQ(RowCount(Mini.Content, 70, C32(Red)), 0);  // no text
}

TEST_F(MiniMapFixture, FrameOfTheMainViewWithItsBandsAndCross) {
    // The main view: 400 x 400 world units from (0, 0) -> mini-map (0, 25) ... (40, 65), centre (20, 45).
    Map.UpdateMiniMapFrame();
    for (int Y : {25, 26, 27})
        EXPECT_EQ(Shown(20, Y), Aqua) << Y;
    EXPECT_EQ(Shown(20, 28), clBlack32);
    EXPECT_EQ(Shown(20, 24), clNavy32);
    EXPECT_EQ(Shown(41, 45), clNavy32);
    EXPECT_EQ(Shown(40, 45), Aqua);
    // The dashed cross runs across the whole mini-map.
    EXPECT_GT(RowCount(Mini.Composed, 45, Aqua, 45, 99), 20);
    EXPECT_LT(RowCount(Mini.Composed, 45, Aqua, 45, 99), 55);
    Mini.SetShowDashLine(false);
    EXPECT_EQ(RowCount(Mini.Composed, 45, Aqua, 45, 99), 0);
    EXPECT_EQ(MiniHost.LastFrame.GetPixel(20, 25), Aqua); // shown on the control
}

TEST_F(MiniMapFixture, JumpCentresTheViewAndMovesTheFrame) {
    Mini.MouseDown({50, 50});
    Mini.MouseUp({50, 50});
    EXPECT_FLOAT_EQ(Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2, 500);
    EXPECT_FLOAT_EQ(Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2, 250);
    // The frame now runs from (30, 30) to (70, 70).
    EXPECT_EQ(Shown(50, 30), Aqua);
    EXPECT_EQ(Shown(70, 50), Aqua);
    EXPECT_EQ(Shown(20, 25), C32(Yellow));
}

TEST_F(MiniMapFixture, ATinyViewGetsNoCrossedOverInsets) {
    Map.SetScale(4000); // the main view is 10 x 10 world units: one mini-map pixel
    int Black = 0;
    for (int Y = 0; Y < 100; ++Y)
        Black += RowCount(Mini.Composed, Y, clBlack32);
    EXPECT_EQ(Black, 0);
    const TRasterPoint c{20, 45}; // the view's centre stays at world (200, 200)
    EXPECT_EQ(Shown(c.X, c.Y), Aqua);
}

TEST_F(MiniMapFixture, AControlThatChangedSizeUnseenIsDrawnAnewWhenPainted) {
    // The window's resize handler did not run (a new pixel ratio, or drawing was off): painting finds the
    // new size and must not compose the frame over an empty content.
    MiniHost.SetClientSize(160, 120);
    Mini.Paint();
    EXPECT_EQ(Shown(80, 60), C32(Yellow));
    EXPECT_TRUE(ShowsAFreshRebuild());
}

TEST_F(MiniMapFixture, ThePictureAlwaysMatchesAFreshRebuild) {
    for (unsigned Seed = 1; Seed <= 40; ++Seed) {
        SCOPED_TRACE(Seed);
        std::mt19937 Rng(Seed);
        auto Int = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
        for (int Step = 0; Step < 25; ++Step) {
            switch (Int(0, 5)) {
            case 0: // the control resized; its window rebuilds the content unless drawing is off
                MiniHost.SetClientSize(Int(20, 180), Int(20, 180));
                if (Int(0, 1))
                    Map.UpdateMiniMapContent();
                Mini.Paint();
                break;
            case 1:
                Map.SetAutoUpdate(!Map.AutoUpdate());
                break;
            case 2:
                Map.PanBy({Int(0, 399), Int(0, 399)}, {Int(0, 399), Int(0, 399)});
                break;
            case 3:
                Map.SetScale(static_cast<float>(Int(5, 400)));
                break;
            case 4: // an object beyond the extent: the document area grows
                Square(static_cast<float>(Int(-3000, 3000)), static_cast<float>(Int(-3000, 3000)), 200);
                break;
            default:
                if (Map.AutoUpdate()) {
                    Mini.MouseDown({Int(0, 99), Int(0, 99)});
                    Mini.MouseUp({Int(0, 99), Int(0, 99)});
                }
            }
            if (Map.AutoUpdate()) {
                ASSERT_TRUE(ShowsAFreshRebuild()) << "step " << Step;
            }
        }
        Map.SetAutoUpdate(true);
    }
}
