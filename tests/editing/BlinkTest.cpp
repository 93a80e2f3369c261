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
    std::int32_t AddSquare() {
        TZemObject T;
        T.Kind = otPolygon;
        T.Pen.Color = kPen;
        T.Brush = TZemBrush{kBrush, 0};
        for (const TXYPoint P : {TXYPoint{20, 20}, TXYPoint{80, 20}, TXYPoint{80, 80}, TXYPoint{20, 80}})
            T.AddPoint(P);
        Map.AddObject(T);
        Map.ObjectByID(Map.Doc.MaxID - 1).SetBlink(true);
        return Map.Doc.MaxID - 1;
    }
    TColor32 Inside() const {
        const TPoint P = Map.WorldToScreen(50, 50);
        return Map.BackBuffer.Pixel(P.X, P.Y);
    }
};

} // namespace

TEST_F(BlinkFixture, FlashedPhaseIsDrawnButNeverStored) {
    const std::int32_t ID = AddSquare();
    EXPECT_TRUE(Map.View.BlinkSet.Contains(ID));
    EXPECT_TRUE(Map.BlinkTimer().Enabled());
    EXPECT_EQ(Inside(), ToColor32(kBrush));
    Host.AdvanceTime(kTick);
    EXPECT_EQ(Inside(), ToColor32(ComplementColor(kBrush)));

    // Saved in the flashed phase, the file holds the true colours, and the loaded map blinks again.
    HeadlessHost OtherHost;
    TZemMap Loaded{OtherHost};
    ASSERT_TRUE(Loaded.LoadFromBytes(Map.SaveToBytes()));
    TZemObject& Copy = Loaded.ObjectByID(ID);
    EXPECT_EQ(Copy.Pen.Color, kPen);
    EXPECT_EQ(Copy.Brush.Color, kBrush);
    EXPECT_TRUE(Loaded.BlinkTimer().Enabled());
    Copy.SetBlink(false); // it saved no colours of its own: switching off keeps the ones it has
    EXPECT_EQ(Copy.Brush.Color, kBrush);
    EXPECT_FALSE(Loaded.BlinkTimer().Enabled());

    Host.AdvanceTime(kTick);
    EXPECT_EQ(Inside(), ToColor32(kBrush));
    Host.AdvanceTime(kTick);
    Map.ObjectByID(ID).SetBlink(false); // leaving in the flashed phase shows the true colours at once
    EXPECT_FALSE(Map.BlinkTimer().Enabled());
    EXPECT_EQ(Inside(), ToColor32(kBrush));
}

TEST_F(BlinkFixture, SetFollowsTheObjects) {
    const std::int32_t A = AddSquare();
    ASSERT_TRUE(Map.DuplicateObject(A)); // the copy takes the flag
    EXPECT_EQ(Map.View.BlinkSet.Count(), 2);
    Map.DeleteObject(A);
    EXPECT_FALSE(Map.View.BlinkSet.Contains(A));
    EXPECT_TRUE(Map.BlinkTimer().Enabled());
    Map.Clear();
    EXPECT_EQ(Map.View.BlinkSet.Count(), 0);
    EXPECT_EQ(Host.RunningTimers(), 0u);

    // Off screen, a tick flips the phase without drawing a frame.
    AddSquare();
    Map.SetView({5000, 5000}, 100);
    const int Frames = Host.PresentCount;
    Host.AdvanceTime(kTick);
    EXPECT_EQ(Host.PresentCount, Frames);
    EXPECT_TRUE(Map.View.BlinkFlashed);
    Map.SetView({50, 50}, 100);
    EXPECT_EQ(Inside(), ToColor32(ComplementColor(kBrush)));
}
