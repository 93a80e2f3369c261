// Frames whose cost must stay bounded by the window whatever the document holds, and pictures and icons
// placed exactly on their frames.
#include "PaintTestUtil.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "view/ZemRaster.h"

#include <numbers>

using namespace zem;

using namespace painttest;

namespace {

void Put(std::vector<std::uint8_t>& V, std::uint32_t X, int Bytes) {
    for (int i = 0; i < Bytes; ++i)
        V.push_back(static_cast<std::uint8_t>(X >> (8 * i)));
}

// An ICO file holding one opaque W x W 32-bit image of one colour (0x00RRGGBB).
std::vector<std::uint8_t> OpaqueIco(int W, std::uint32_t Colour) {
    std::vector<std::uint8_t> F;
    for (std::uint32_t X : {0u, 1u, 1u})
        Put(F, X, 2);
    F.insert(F.end(), {static_cast<std::uint8_t>(W), static_cast<std::uint8_t>(W), 0, 0});
    Put(F, 1, 2);
    Put(F, 32, 2);
    const int AndStride = ((W + 31) / 32) * 4;
    Put(F, static_cast<std::uint32_t>(40 + 4 * W * W + AndStride * W), 4);
    Put(F, 22, 4);
    for (std::uint32_t X : {40u, std::uint32_t(W), std::uint32_t(2 * W)})
        Put(F, X, 4);
    Put(F, 1, 2);
    Put(F, 32, 2);
    for (int i = 0; i < 6; ++i)
        Put(F, 0, 4);
    for (int i = 0; i < W * W; ++i)
        Put(F, Colour, 4);
    F.insert(F.end(), static_cast<std::size_t>(AndStride) * W, 0); // all opaque
    return F;
}

} // namespace

// A window far from the origin, where one grid step is lost in the rounding of the world value: the
// grid is counted by lines and the frame ends.
TEST_F(MapFixture, GridFarFromTheOriginEnds) {
    Map.View.LeftTop = {2.5e29f, 2.5e29f};
    Map.View.ViewWidthHeight = {4e9f, 4e9f}; // a step is still 5 pixels wide
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

// A 256-unit picture at 8000 per cent is 20,480 pixels wide: the part in the window is still drawn,
// each window pixel taken from the picture.
TEST_F(MapFixture, PictureZoomedFarInIsStillDrawn) {
    TBitmap32 Img(256, 256);
    Img.Clear(C32(Yellow));
    Img.FillRectClipped(128, 0, 256, 256, C32(Blue)); // right half blue
    const zem::TZemImage Picture = zem::ImageOf(Img.View());
    Map.Doc.Bitmaps->Add(&Picture);
    const std::int32_t ID = Add(otBmp, {{0, 0}, {256, 0}, {256, 256}, {0, 256}}, Red);
    Map.ObjectByID(ID).BitmapIndex = 0;
    Map.View.AutoUpdate = false;
    Map.View.Scale = 8000;
    Map.View.ViewWidthHeight = {5, 5};
    Map.View.LeftTop = {125.5f, 100};
    Map.SetAutoUpdate(true);
    EXPECT_EQ(Pixel(40, 200), C32(Yellow)); // world x 126
    EXPECT_EQ(Pixel(360, 200), C32(Blue));  // world x 130
}

// A picture turned a quarter: its frame's corners carry the turn, and the picture fills that frame
// with its own corners on the frame's.
TEST_F(MapFixture, RotatedPictureFillsItsFrame) {
    TBitmap32 Img(2, 2);
    const TColor32 TL = 0xFF112233, TR = 0xFF445566, BR = 0xFF778899, BL = 0xFFAABBCC;
    Img.SetPixel(0, 0, TL);
    Img.SetPixel(1, 0, TR);
    Img.SetPixel(1, 1, BR);
    Img.SetPixel(0, 1, BL);
    const zem::TZemImage Picture = zem::ImageOf(Img.View());
    Map.Doc.Bitmaps->Add(&Picture);
    // Top edge from corner 0 upwards, left edge from corner 0 to the right.
    const std::int32_t ID = Add(otBmp, {{100, 300}, {100, 100}, {300, 100}, {300, 300}}, Red);
    Map.ObjectByID(ID).BitmapIndex = 0;
    Map.ObjectByID(ID).SetAngle(static_cast<float>(std::numbers::pi / 2));
    Map.Refresh();
    EXPECT_EQ(Pixel(110, 290), TL);
    EXPECT_EQ(Pixel(110, 110), TR);
    EXPECT_EQ(Pixel(290, 110), BR);
    EXPECT_EQ(Pixel(290, 290), BL);
    EXPECT_EQ(Pixel(310, 200), C32(Back)); // nothing beside the frame
}

// An icon of 16 x 16 pixels fills the whole 32 x 32 cell about its point.
TEST_F(MapFixture, SmallIconIsScaledIntoItsCell) {
    const auto Ico = OpaqueIco(16, 0x00FFFF00);
    const TZemIcon Icon(Ico);
    ASSERT_EQ(Icon.Image().Width, 16);
    Map.Doc.Icons->Add(&Icon);
    const std::int32_t ID = Add(otIco, {{200, 200}});
    Map.ObjectByID(ID).SetIconIndex(0);
    Map.Refresh();
    EXPECT_EQ(Pixel(184, 184), C32(Yellow));
    EXPECT_EQ(Pixel(215, 215), C32(Yellow));
    EXPECT_EQ(Pixel(216, 216), C32(Back));
}

// Dashes and stripes of a pen hundreds of millions of pixels wide: the pieces near the surface are
// found without walking the pixels of the whole pen-wide margin, and the first piece covers the surface.
TEST(RasterPatternBounds, WideDashesAndStripesJumpFromPieceToPiece) {
    for (int Style : {1, 3}) {
        TBitmap32 B(50, 40);
        B.Clear(clWhite32);
        B.LineColor = clBlack32;
        B.LineWidth = 500000000;
        B.LineStyled(-1000000000, 20, 1000000000, 20, false, false, Style);
        EXPECT_EQ(B.Pixel(0, 0), clBlack32) << Style;
        EXPECT_EQ(B.Pixel(49, 39), clBlack32) << Style;
    }
}

// Marks placed a few pixels from a point that lies at the very edge of the screen range (a junction and
// its label, a search point's pin, an icon) stay in the integers and leave the window untouched.
TEST_F(MapFixture, MarksAtTheEdgeOfTheScreenRangeStayOffTheWindow) {
    const float Edge = -2147483648.0f; // at 100 % from the origin, exactly INT32_MIN on the screen
    Add(otRoadCross, {{Edge, Edge}});
    Add(otIco, {{Edge, Edge}});
    Map.Net.RoutePoints.Add({Edge, Edge});
    Map.SetShowTransportNet(true);
    ClearBuffer();
    Map.Refresh();
    EXPECT_EQ(CountNot(C32(Back)), 0);
}
