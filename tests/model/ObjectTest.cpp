#include "model/ZemObject.h"

#include <gtest/gtest.h>

using namespace zem;

TEST(ZemObject, DefaultsOfANewObject) {
    TZemObject O;
    EXPECT_EQ(O.Kind, otLine);
    EXPECT_TRUE(O.Visible);
    EXPECT_FALSE(O.Lock);
    EXPECT_EQ(O.Direction(), 255);
    EXPECT_EQ(O.Reserved, -1);
    EXPECT_EQ(O.BlinkInterval(), 500);
    EXPECT_EQ(O.Category(), -1);
    EXPECT_EQ(O.IconIndex(), -1);
    EXPECT_EQ(O.BitmapIndex, -1);
    EXPECT_EQ(O.StartCrossID, -1);
    EXPECT_EQ(O.EndCrossID, -1);
    EXPECT_EQ(O.TransportType(), -1);
    EXPECT_EQ(O.RightBottom, (TXYPoint{100, 100}));
    EXPECT_EQ(O.Pen.Color, 0xFFFFFF);
    EXPECT_EQ(O.Brush.Style, 1);
    EXPECT_EQ(O.Font.Size, 16);
    EXPECT_EQ(O.Font.Color, 0xFFFFFF);
    EXPECT_TRUE(O.Address().Empty);
    EXPECT_EQ(O.Address().Street2, -1);
}

TEST(ZemObject, EllipseBoxIsTheSquareAroundItsCircleWithYReversed) {
    TZemObject O;
    O.Kind = otEllipse;
    O.AddPoint(0, 0);
    O.AddPoint(10, 4);
    EXPECT_EQ(O.LeftTop, (TXYPoint{0, 7}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{10, -3}));
}

TEST(ZemObject, PolylineBoxWidensByHalfThePenWidthTruncated) {
    TZemObject O;
    O.Pen.Width = 3;
    O.AddPoint(0, 0);
    O.AddPoint(10, 10);
    EXPECT_EQ(O.LeftTop, (TXYPoint{-1, -1}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{11, 11}));
}

TEST(ZemObject, JunctionBoxIsItsPointWhateverTheZoom) {
    TZemObject O;
    O.Kind = otRoadCross;
    O.AddPoint(500, 500);
    EXPECT_EQ(O.LeftTop, (TXYPoint{500, 500}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{500, 500}));
}

TEST(ZemObject, WhichPointOperationsNotify) {
    TZemObject O;
    O.ID = 7;
    std::vector<int> Calls;
    O.OnObjectChange = [&](int ID) { Calls.push_back(ID); };
    O.AddPoint(1, 1);
    O.InsertPoint(0, {2, 2});
    EXPECT_EQ(Calls.size(), 2u);
    O.DeletePoint(0);
    O.SetPoint(0, {5, 5});
    EXPECT_EQ(Calls.size(), 2u);
    // DeletePoint recomputed the bounds; SetPoint did not.
    EXPECT_EQ(O.LeftTop, (TXYPoint{1, 1}));
    const TXYPoint Before = O.LeftTop;
    O.ClearPoints();
    EXPECT_EQ(Calls, (std::vector<int>{7, 7, 7}));
    EXPECT_EQ(O.LeftTop, Before);
    O.SetText("x");
    O.SetPlane(3);
    O.Pen.Width = 4; // plain store
    EXPECT_EQ(Calls.size(), 5u);
}

TEST(ZemObject, BlinkSavesColoursAndOffKeepsTheCurrentOnes) {
    TZemObject O;
    O.Pen.Color = 1;
    O.Brush.Color = 2;
    O.Font.Color = 3;
    O.SetBlink(true);
    EXPECT_EQ(O.SavedPenColor(), 1);
    EXPECT_EQ(O.SavedBrushColor(), 2);
    EXPECT_EQ(O.SavedFontColor(), 3);
    // A colour chosen while blinking survives switching it off.
    O.Pen.Color = 10;
    O.SetBlink(false);
    EXPECT_FALSE(O.Blink());
    EXPECT_EQ(O.Pen.Color, 10);
    EXPECT_EQ(O.Brush.Color, 2);
    // Switching on twice keeps the colours of the second call.
    O.SetBlink(true);
    O.Pen.Color = 11;
    O.SetBlink(true);
    EXPECT_EQ(O.SavedPenColor(), 11);
}

TEST(ZemObject, AssignFromTextTakesPenColourAsFontColourAndKeepsOwnIdentity) {
    TZemObject Src;
    Src.Kind = otText;
    for (TXYPoint P : {TXYPoint{0, 0}, TXYPoint{10, 0}, TXYPoint{10, 5}, TXYPoint{0, 5}})
        Src.AddPoint(P);
    Src.Pen.Color = 0x123456;
    Src.Font.Color = 0x654321;
    Src.Font.Name = "Arial";
    Src.Font.Size = 20;
    Src.Font.Style = fsBold | fsItalic;
    Src.Font.Charset = 204;
    Src.SetText("abc");
    Src.SetAngle(1.5f);
    Src.Visible = false;
    Src.SetCategory(4);
    Src.Reserved = 9;
    Src.SetPlane(5);
    Src.Lock = true;
    Src.SetBlinkInterval(900);

    TZemObject Dst;
    Dst.ID = 42;
    Dst.Assign(Src);
    EXPECT_EQ(Dst.Kind, otText);
    EXPECT_EQ(Dst.PointCount(), 4);
    EXPECT_EQ(Dst.Font.Color, 0x123456);
    EXPECT_EQ(Dst.Font.Name, "Arial");
    EXPECT_EQ(Dst.Font.Size, 20);
    EXPECT_EQ(Dst.Font.Style, fsBold | fsItalic);
    EXPECT_EQ(Dst.Font.Charset, 0);
    EXPECT_EQ(Dst.Text(), "abc");
    EXPECT_FLOAT_EQ(Dst.Angle(), 1.5f);
    EXPECT_TRUE(Dst.Visible);
    EXPECT_EQ(Dst.Category(), -1);
    EXPECT_EQ(Dst.Reserved, -1);
    EXPECT_EQ(Dst.ID, 42);
    EXPECT_EQ(Dst.Plane(), 5);
    EXPECT_TRUE(Dst.Lock);
    EXPECT_EQ(Dst.BlinkInterval(), 900);
    EXPECT_EQ(Dst.RightBottom, (TXYPoint{10, 5}));
}

TEST(ZemObject, AssignForcesNetworkPlanesAndCopiesSegmentLinksOnlyForSegments) {
    TZemObject Seg;
    Seg.Kind = otRoadCrossLine;
    Seg.StartCrossID = 3;
    Seg.EndCrossID = 4;
    Seg.SetDirection(1);
    Seg.SetTransportType(2);
    Seg.SetPlane(-7);
    Seg.SetText("A1");
    Seg.AddPoint(0, 0);
    TZemObject Copy;
    Copy.Assign(Seg);
    EXPECT_EQ(Copy.Plane(), 126);
    EXPECT_EQ(Copy.StartCrossID, 3);
    EXPECT_EQ(Copy.EndCrossID, 4);
    EXPECT_EQ(Copy.Direction(), 1);
    EXPECT_EQ(Copy.TransportType(), 2);
    EXPECT_EQ(Copy.Text(), ""); // only texts copy their text

    Seg.Kind = otLine;
    TZemObject Line;
    Line.Assign(Seg);
    EXPECT_EQ(Line.StartCrossID, -1);
    EXPECT_EQ(Line.Direction(), 255);
    EXPECT_EQ(Line.Plane(), -7);

    TZemObject Cross;
    Seg.Kind = otRoadCross;
    Cross.Assign(Seg);
    EXPECT_EQ(Cross.Plane(), 127);
}
