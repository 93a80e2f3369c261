#include "editing/ZemBlink.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "platform/ZemTimer.h"
#include "view/ZemRasterColor.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {

constexpr int kTick = 700;
constexpr TColor kPen = RGBColor(200, 10, 10);
constexpr TColor kBrush = RGBColor(10, 200, 40);

struct BlinkFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    // A filled square over (20, 20)-(80, 80).
    std::int32_t AddSquare(bool Blink) {
        TZemObject T;
        T.Kind = otPolygon;
        T.Pen.Color = kPen;
        T.Brush = TZemBrush{kBrush, 0};
        for (const TXYPoint P : {TXYPoint{20, 20}, TXYPoint{80, 20}, TXYPoint{80, 80}, TXYPoint{20, 80}})
            T.AddPoint(P);
        Map.AddObject(T);
        const std::int32_t ID = Map.Doc.MaxID - 1;
        if (Blink)
            Map.ObjectByID(ID).SetBlink(true);
        return ID;
    }
    TColor32 Inside() const { return Map.BackBuffer.Pixel(50, 50); }
    bool Blinking(std::int32_t ID) { return Map.View.BlinkSet.Contains(ID); }
};

} // namespace

TEST_F(BlinkFixture, FlashedPhaseIsDrawnButNeverStored) {
    const std::int32_t ID = AddSquare(false);
    EXPECT_FALSE(Map.BlinkTimer().Enabled());
    Map.ObjectByID(ID).SetBlink(true);
    EXPECT_TRUE(Blinking(ID));
    EXPECT_TRUE(Map.BlinkTimer().Enabled());
    EXPECT_EQ(Inside(), ToColor32(kBrush));

    Host.AdvanceTime(kTick);
    ASSERT_TRUE(Map.View.BlinkFlashed);
    EXPECT_EQ(Inside(), ToColor32(ComplementColor(kBrush)));
    EXPECT_EQ(Map.ObjectByID(ID).Brush.Color, kBrush);

    // Saved now, the file holds the true colours, and the loaded map blinks again.
    const std::vector<std::uint8_t> Bytes = Map.SaveToBytes();
    HeadlessHost OtherHost;
    TZemMap Loaded{OtherHost};
    ASSERT_TRUE(Loaded.LoadFromBytes(Bytes));
    const TZemObject& Copy = Loaded.ObjectByID(ID);
    EXPECT_EQ(Copy.Pen.Color, kPen);
    EXPECT_EQ(Copy.Brush.Color, kBrush);
    EXPECT_TRUE(Loaded.View.BlinkSet.Contains(ID));
    EXPECT_TRUE(Loaded.BlinkTimer().Enabled());

    Host.AdvanceTime(kTick);
    EXPECT_FALSE(Map.View.BlinkFlashed);
    EXPECT_EQ(Inside(), ToColor32(kBrush));

    Host.AdvanceTime(kTick);
    Map.ObjectByID(ID).SetBlink(false); // leaving in the flashed phase draws the true colours at once
    EXPECT_FALSE(Blinking(ID));
    EXPECT_FALSE(Map.BlinkTimer().Enabled());
    EXPECT_FALSE(Map.View.BlinkFlashed);
    EXPECT_EQ(Inside(), ToColor32(kBrush));
    EXPECT_EQ(Map.ObjectByID(ID).Pen.Color, kPen);
}

TEST_F(BlinkFixture, SetFollowsAddDeleteAndClear) {
    const std::int32_t A = AddSquare(true);
    ASSERT_TRUE(Map.DuplicateObject(A)); // the copy takes the flag, and blinks too
    const std::int32_t B = Map.Doc.MaxID - 1;
    EXPECT_TRUE(Blinking(B));
    EXPECT_EQ(Map.View.BlinkSet.Count(), 2);
    Map.DeleteObject(A);
    EXPECT_FALSE(Blinking(A));
    EXPECT_TRUE(Map.BlinkTimer().Enabled());
    Map.DeleteObject(B);
    EXPECT_EQ(Map.View.BlinkSet.Count(), 0);
    EXPECT_FALSE(Map.BlinkTimer().Enabled());

    AddSquare(true);
    Map.Clear();
    EXPECT_EQ(Map.View.BlinkSet.Count(), 0);
    EXPECT_FALSE(Map.BlinkTimer().Enabled());
    EXPECT_EQ(Host.RunningTimers(), 0u);
}

TEST_F(BlinkFixture, TickRedrawsOnlyWhenABlinkerIsInView) {
    AddSquare(true);
    int Frames = Host.PresentCount;
    Host.AdvanceTime(kTick);
    EXPECT_EQ(Host.PresentCount, Frames + 1);

    Map.SetView({5000, 5000}, 100); // the square is out of view
    ASSERT_EQ(Map.View.VisibleList.Count(), 0);
    Frames = Host.PresentCount;
    const bool Phase = Map.View.BlinkFlashed;
    Host.AdvanceTime(kTick);
    EXPECT_EQ(Host.PresentCount, Frames);
    EXPECT_NE(Map.View.BlinkFlashed, Phase);
}
