// Frames whose cost must stay bounded by the window whatever the document holds, and pictures and icons
// placed exactly on their frames.
#include "PaintTestUtil.h"
#include "images/IcoList.h"
#include "view/ZemRaster.h"

#include <numbers>

using namespace painttest;

// A window far from the origin, where one grid step is lost in the rounding of the world value: the
// grid is counted by lines and the frame ends.
TEST_F(MapFixture, GridFarFromTheOriginEnds) {
    Map.View.LeftTop = {2.5e29f, 2.5e29f};
    Map.View.ViewWidthHeight = {3e29f, 3e29f};
    Map.Doc.DirectLineX = Map.Doc.DirectLineY = 54708224;
    Map.Doc.ShowGrid = true;
    const int Before = Host.PresentCount;
    Map.Refresh();
    EXPECT_EQ(Host.PresentCount, Before + 1);
}

// A pen of 2,000,000,000 units: solid, dotted and dashed lines cover the window instead of sizing
// anything by the pen's radius.
TEST_F(MapFixture, HugePenWidthCoversTheWindow) {
    const std::int32_t ID = Add(otLine, {{100, 200}, {300, 200}});
    Map.ObjectByID(ID).Pen.Width = 2000000000;
    for (std::uint8_t Style : {0, 1, 2}) {
        Map.ObjectByID(ID).Pen.Style = Style;
        ClearBuffer();
        EXPECT_NO_THROW(Map.Refresh()) << int(Style);
        EXPECT_EQ(Pixel(200, 200), C32(Red)) << int(Style);
    }
    TBitmap32 B(50, 40);
    B.Disc(25, 20, clBlack32, clWhite32, 1000000000);
    EXPECT_EQ(B.Pixel(0, 0), clWhite32);
    EXPECT_EQ(B.Pixel(49, 39), clWhite32);
}
