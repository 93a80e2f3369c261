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
