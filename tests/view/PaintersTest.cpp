#include "PaintTestUtil.h"

#include "images/ZemBmpList.h"
#include "view/ZemPaintersUtil.h"

#include <cmath>
#include <vector>

using namespace zem;

using namespace painttest;

namespace {

struct Painters : MapFixture {};

} // namespace

TEST_F(Painters, PenWidthsScaleAndNeverFallBelowOne) {
    TZemObject O;
    O.Pen.Width = 0;
    EXPECT_EQ(Map.ScaledPenWidth(O), 1);
    O.Pen.Width = 6;
    EXPECT_EQ(Map.ScaledPenWidth(O), 6);
    Map.SetScale(50);
    EXPECT_EQ(Map.ScaledPenWidth(O), 3);
    O.Pen.Width = 1;
    Map.SetScale(10);
    EXPECT_EQ(Map.ScaledPenWidth(O), 1); // Round(0.1) = 0, drawn as 1
}

TEST_F(Painters, ThinPenAtTenPerCentStillDrawsOneRow) {
    TZemObject O;
    O.Kind = otLine;
    O.Pen.Color = Red;
    O.Pen.Width = 1;
    O.AddPoint(0, 2000);
    O.AddPoint(3000, 2000);
    Map.AddObject(O);
    Map.SetScale(10); // the window now shows 4000 x 4000 world units from (-1800, -1800)
    const int Row = Map.WorldToScreen(0.0f, 2000.0f).Y;
    EXPECT_EQ(CountRows(C32(Red), Row, Row), 220); // from x = 180 to the window's edge
    EXPECT_EQ(CountRows(C32(Red), Row - 1, Row - 1) + CountRows(C32(Red), Row + 1, Row + 1), 0);
}

TEST_F(Painters, HigherPlaneIsDrawnOverLowerWhateverTheOrder) {
    Square(100, 100, 100, Yellow, Yellow, 2); // listed first
    Square(150, 150, 100, Red, Red, 1);
    Map.Refresh();
    EXPECT_EQ(Pixel(175, 175), C32(Yellow)); // the overlap shows the plane-2 square
    EXPECT_EQ(Pixel(225, 225), C32(Red));
    // Within one plane the drawing order decides.
    HeadlessHost H2;
    TZemMap M2(H2);
    TZemObject O;
    O.Kind = otPolygon;
    O.Brush.Style = 0;
    for (TColor C : {Yellow, Red}) {
        O.ClearPoints();
        const float X = C == Yellow ? 100.0f : 150.0f;
        for (TXYPoint P : {TXYPoint{X, X}, {X + 100, X}, {X + 100, X + 100}, {X, X + 100}})
            O.AddPoint(P);
        O.Pen.Color = O.Brush.Color = C;
        M2.AddObject(O);
    }
    EXPECT_EQ(M2.BackBuffer.GetPixel(175, 175), C32(Red));
}

TEST_F(Painters, PolygonUnderMinObjectViewIsNotDrawnButAThinOneIs) {
    const std::int32_t Tiny = Square(20, 20, 2);  // 2 x 2 pixels: below MinObjectView, the painter skips it
    const std::int32_t Small = Square(50, 50, 3); // 3 x 3
    const std::int32_t Thin = Add(otPolygon, {{100, 100}, {104, 100}, {104, 101}, {100, 101}}); // 4 x 1
    ClearBuffer();
    Map.PaintPolygon(Tiny);
    EXPECT_EQ(CountNot(C32(Back)), 0);
    Map.PaintPolygon(Thin);
    EXPECT_GT(Count(C32(Red)), 0);
    // In the frame the 3 x 3 one is left out by the visible list, the 4 x 1 one is drawn.
    Map.Refresh();
    EXPECT_EQ(Map.View.VisibleList.IndexOf(Small), -1);
    EXPECT_EQ(Pixel(51, 51), C32(Back));
    EXPECT_EQ(Pixel(102, 100), C32(Red));
}

TEST_F(Painters, TextBelowMinObjectViewIsNotDrawn) {
    TZemObject T;
    T.Kind = otText;
    T.Pen.Color = Yellow;
    T.Font.Name = "Arial";
    T.Font.Size = 10;
    T.SetText("Text");
    for (TXYPoint P : {TXYPoint{100, 100}, {300, 100}, {300, 200}, {100, 200}})
        T.AddPoint(P);
    Map.AddObject(T);
    const std::int32_t ID = Map.Doc.MaxID - 1;
    ClearBuffer();
    Map.PaintText(ID, false);
    EXPECT_GT(CountNot(C32(Back)), 20); // size 10 is written, in the pen's colour
    EXPECT_GT(Count(C32(Yellow)), 0);
    Map.View.AutoUpdate = false;
    Map.SetScale(20); // size 2
    ClearBuffer();
    Map.PaintText(ID, false);
    EXPECT_EQ(CountNot(C32(Back)), 0);
    Map.Doc.MinObjectView = 2;
    Map.PaintText(ID, false);
    EXPECT_GT(CountNot(C32(Back)), 0);
    // A face name in Cyrillic (Windows-1251) is converted and falls back to an installed face.
    Map.View.AutoUpdate = true;
    Map.SetScale(100);
    Map.ObjectByID(ID).Font.Name = "\xC0\xF0\xE8\xE0\xEB";
    ClearBuffer();
    Map.PaintText(ID, false);
    EXPECT_GT(Count(C32(Yellow)), 0);
}

TEST_F(Painters, PseudoThreeDIsFlatBelowMinScaleAddressOrWithoutTheOption) {
    TZemObject O;
    O.Kind = otPolygon;
    O.Pen.Color = Red;
    O.Brush.Color = Blue;
    O.Brush.Style = 0;
    for (TXYPoint P : {TXYPoint{100, 200}, {200, 200}, {200, 300}, {100, 300}})
        O.AddPoint(P);
    O.SetCtl3D(true);
    O.SetHeight3D(40);
    Map.AddObject(O);
    const std::int32_t ID = Map.Doc.MaxID - 1;
    auto Above = [&] {
        return CountRows(C32(Blue), 150, 190) + CountRows(C32(Darken(C32(Blue), 20)), 150, 190);
    };

    ClearBuffer();
    Map.PaintPolygon(ID); // scale 100 >= MinScaleAddress 100: the roof stands 40 pixels higher
    EXPECT_GT(Above(), 1000);
    EXPECT_GT(Count(Darken(C32(Blue), 20)), 0); // a wall
    Map.Doc.MinScaleAddress = 150;
    ClearBuffer();
    Map.PaintPolygon(ID);
    EXPECT_EQ(Above(), 0);
    Map.Doc.MinScaleAddress = 100;
    Map.Doc.Option &= static_cast<std::uint8_t>(~(1 << moShow3D));
    ClearBuffer();
    Map.PaintPolygon(ID);
    EXPECT_EQ(Above(), 0);
}

TEST_F(Painters, EllipseWithAHairlinePenKeepsItsOutline) {
    TZemObject E;
    E.Kind = otEllipse;
    E.Pen.Color = Red;
    E.Pen.Width = 1;
    E.Brush.Style = 1;
    E.AddPoint(100, 100);
    E.AddPoint(300, 200);
    Map.AddObject(E);
    Map.View.AutoUpdate = false;
    Map.SetScale(40); // Round(0.4) = 0
    ClearBuffer();
    Map.PaintEllipse(Map.Doc.MaxID - 1);
    EXPECT_GT(Count(C32(Red)), 50);
}

TEST_F(Painters, SegmentFollowsAMovedJunctionAndKeepsTheNewEnd) {
    Map.Net.ShowTransportNet = true;
    const std::int32_t A = Add(otRoadCross, {{50, 50}});
    const std::int32_t B = Add(otRoadCross, {{250, 50}});
    TZemObject S;
    S.Kind = otRoadCrossLine;
    S.Pen.Color = Yellow;
    S.StartCrossID = A;
    S.EndCrossID = B;
    S.AddPoint(50, 50);
    S.AddPoint(250, 50);
    Map.AddObject(S);
    const std::int32_t Seg = Map.Doc.MaxID - 1;
    {
        // As every operation moves it, in an undo step: the map's change handler takes the segment's end
        // along in the same step (outside a step, as undo and redo restore objects, nothing else moves).
        TZemChange Step(Map);
        Map.ObjectByID(B).MoveTo({250, 300});
    }
    Map.Refresh();
    EXPECT_EQ(Map.ObjectByID(Seg).Point(1), (TXYPoint{250, 300}));
    EXPECT_FLOAT_EQ(Map.ObjectByID(Seg).RightBottom.Y, 300); // its box follows
    // The line now runs down towards (250, 300), no longer along y = 50.
    EXPECT_EQ(Pixel(150, 175), C32(Yellow));
    EXPECT_NE(Pixel(150, 50), C32(Yellow));
    // A junction that is gone leaves the end where it was.
    Map.DeleteObject(B);
    Map.Refresh();
    EXPECT_EQ(Map.ObjectByID(Seg).Point(1), (TXYPoint{250, 300}));
}

TEST_F(Painters, JunctionIsCaughtFourPixelsAroundAtTheCurrentZoomAndDrawingStoresNothing) {
    Map.Net.ShowTransportNet = true;
    const std::int32_t J = Add(otRoadCross, {{100, 100}});
    Map.Refresh();
    EXPECT_EQ(Pixel(100, 100), clBlue32);
    EXPECT_EQ(Map.ObjectByID(J).LeftTop, (TXYPoint{100, 100}));
    EXPECT_EQ(Map.ObjectByID(J).RightBottom, (TXYPoint{100, 100}));
    EXPECT_TRUE(Map.ObjectByID(J).HitTest(104, 96, Map.View.Scale));
    EXPECT_GT(CountNear(clRed32, 105, 95, 140, 115), 3); // its number
    Map.SetScale(200);
    EXPECT_EQ(Map.ObjectByID(J).LeftTop, (TXYPoint{100, 100}));
    EXPECT_TRUE(Map.ObjectByID(J).HitTest(102, 98, Map.View.Scale));
    EXPECT_FALSE(Map.ObjectByID(J).HitTest(103, 98, Map.View.Scale));
    Map.SetShowTransportCrosses(false);
    EXPECT_NE(Pixel(Map.WorldToScreen(100.0f, 100.0f).X, Map.WorldToScreen(100.0f, 100.0f).Y), clBlue32);
}

TEST_F(Painters, SegmentArrowsFollowTheDirection) {
    Map.Net.ShowTransportNet = true;
    TZemObject S;
    S.Kind = otRoadCrossLine;
    S.Pen.Color = Yellow;
    S.AddPoint(100, 200);
    S.AddPoint(300, 200);
    Map.AddObject(S);
    const std::int32_t ID = Map.Doc.MaxID - 1;
    auto Near = [&](int X1, int X2) {
        int N = 0;
        for (int Y = 185; Y <= 198; ++Y)
            for (int X = X1; X <= X2; ++X)
                N += Pixel(X, Y) == C32(Yellow);
        return N;
    };
    Map.ObjectByID(ID).SetDirection(0); // arrow at the last point
    Map.Refresh();
    EXPECT_GT(Near(285, 300), 5);
    EXPECT_EQ(Near(100, 115), 0);
    Map.ObjectByID(ID).SetDirection(2);
    Map.Refresh();
    EXPECT_GT(Near(100, 115), 5);
    EXPECT_GT(Near(285, 300), 5);
    Map.SetShowTransportDirections(false);
    EXPECT_EQ(Near(100, 115) + Near(285, 300), 0);
}

TEST_F(Painters, BadReferencesNeverBreakAFrame) {
    TZemObject Icon;
    Icon.Kind = otIco;
    Icon.AddPoint(100, 100);
    Icon.SetIconIndex(7); // no such icon
    Map.AddObject(Icon);
    TZemObject Pic;
    Pic.Kind = otBmp;
    Pic.Pen.Color = Red;
    for (TXYPoint P : {TXYPoint{200, 200}, {260, 200}, {260, 240}, {200, 240}})
        Pic.AddPoint(P);
    Pic.BitmapIndex = 3; // no such picture
    Map.AddObject(Pic);
    TZemObject Empty;
    Empty.Kind = otLine;
    Map.AddObject(Empty);
    Map.Net.RouteHighlight.Add(12345);
    Map.Edit.CurrentObject = 999;
    Map.Net.ShowTransportNet = true;
    TZemObject S;
    S.Kind = otRoadCrossLine;
    S.StartCrossID = 4242;
    S.AddPoint(10, 10);
    S.AddPoint(50, 10);
    Map.AddObject(S);
    EXPECT_NO_THROW(Map.Refresh());
    // The icon has its placeholder (inverted outline), the picture its frame.
    EXPECT_EQ(Pixel(84, 100), C32(Back) ^ kInvertMask32);
    EXPECT_EQ(Pixel(230, 200), C32(Red));
    EXPECT_EQ(Map.ObjectByID(Map.Doc.MaxID - 1).Point(0), (TXYPoint{10, 10}));
}

TEST_F(Painters, PicturesRotateTheirLibraryBitmapAndSkipTheKeyColour) {
    TBitmap32 Img(20, 10);
    Img.Clear(C32(Yellow));
    Img.FillRectClipped(0, 0, 10, 10, C32(Red)); // the left half in the pen's colour: transparent
    const zem::TZemImage Picture = zem::ImageOf(Img.View());
    Map.Doc.Bitmaps->Add(&Picture);
    TZemObject Pic;
    Pic.Kind = otBmp;
    Pic.Pen.Color = Red;
    for (TXYPoint P : {TXYPoint{100, 100}, {140, 100}, {140, 120}, {100, 120}})
        Pic.AddPoint(P);
    Pic.BitmapIndex = 0;
    Map.AddObject(Pic);
    EXPECT_EQ(Pixel(130, 110), C32(Yellow));
    EXPECT_EQ(Pixel(110, 110), C32(Back)); // key colour skipped
}

TEST_F(Painters, LibraryIconsAreBlendedThroughTheirAlpha) {
    TZemObject Ico;
    Ico.Kind = otIco;
    Ico.AddPoint(100, 100);
    Map.AddObject(Ico);
    Map.Refresh();
    const int Placeholder = CountNot(C32(Back));
    EXPECT_GT(Placeholder, 100); // frame and "ico"
    // Icons are laid over the frame by their alpha: opaque pixels cover it, transparent ones leave it.
    TBitmap32 Img(32, 32);
    Img.Clear(0x00000000);
    Img.FillRectClipped(8, 8, 24, 24, 0xFFFFFF00);
    zem::paint::BlitAlpha(Map.BackBuffer, 0, 0, Img);
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(2, 2), C32(Back));
}

TEST_F(Painters, HouseNumbersFollowScaleOptionAndRoof) {
    const std::int32_t ID = Square(100, 100, 100, Red, Yellow);
    TZemAddress A;
    A.Empty = false;
    A.Number = "12";
    A.Number2 = "3";
    Map.ObjectByID(ID).SetAddress(A);
    Map.Refresh();
    auto Ink = [&](int Y1, int Y2) {
        int N = 0;
        for (int Y = Y1; Y <= Y2; ++Y)
            for (int X = 110; X <= 190; ++X)
                N += Pixel(X, Y) != C32(Yellow);
        return N;
    };
    EXPECT_GT(Ink(140, 160), 10); // "12/3" about the centre
    Map.Doc.MinScaleAddress = 150;
    Map.Refresh();
    EXPECT_EQ(Ink(140, 160), 0);
    Map.Doc.MinScaleAddress = 100;
    Map.Doc.Option &= static_cast<std::uint8_t>(~(1 << moShowAddress));
    Map.Refresh();
    EXPECT_EQ(Ink(140, 160), 0);
    // On the roof of a 3D block: 30 pixels higher.
    Map.Doc.Option |= 1 << moShowAddress;
    Map.ObjectByID(ID).SetCtl3D(true);
    Map.ObjectByID(ID).SetHeight3D(30);
    Map.Refresh();
    EXPECT_EQ(Ink(140, 160), 0);
    EXPECT_GT(Ink(110, 130), 10);
}

TEST_F(Painters, SelectionMarksFollowTheEditMode) {
    const std::int32_t ID = Add(otLine, {{100, 100}, {200, 150}, {300, 300}});
    Map.Edit.CurrentObject = ID;
    Map.Edit.EditMode = 0;
    Map.Refresh();
    // Eight black 6 x 6 handles; the corner one at (100, 100).
    EXPECT_EQ(Pixel(98, 98), clBlack32);
    EXPECT_EQ(Pixel(200, 98), clBlack32); // the top middle
    Map.Edit.EditMode = 1;
    Map.Refresh();
    EXPECT_NE(Pixel(98, 98), clBlack32);
    EXPECT_EQ(Pixel(197, 147), C32(Back) ^ kInvertMask32); // a vertex square
    Map.Edit.EditMode = 2;
    Map.Refresh();
    EXPECT_EQ(Pixel(204, 200), C32(Back) ^ kInvertMask32); // the cross at the middle
    EXPECT_EQ(Pixel(197, 147), C32(Back));
    // A locked object keeps its frame only.
    Map.ObjectByID(ID).Lock = true;
    Map.Edit.EditMode = 0;
    Map.Refresh();
    EXPECT_NE(Pixel(98, 98), clBlack32);
    EXPECT_EQ(Pixel(150, 100), C32(Back) ^ kInvertMask32);
}

TEST_F(Painters, BezierVertexModeMarksHandlesAndAnchors) {
    const std::int32_t ID =
        Add(otBezier, {{50, 100}, {100, 100}, {150, 100}, {200, 200}, {250, 200}, {300, 200}});
    Map.Edit.CurrentObject = ID;
    Map.Edit.EditMode = 1;
    Map.Refresh();
    EXPECT_EQ(Pixel(50, 98), clBlue32);                  // incoming handle
    EXPECT_EQ(Pixel(150, 98), clBlue32);                 // outgoing handle
    EXPECT_EQ(Pixel(97, 97), C32(Back) ^ kInvertMask32); // anchor square
}

TEST_F(Painters, ConstructionShowsTheRubberPieceToTheMouse) {
    Map.NewObject.Kind = otPolygon;
    Map.NewObject.Pen.Color = Yellow;
    Map.NewObject.AddPoint(100, 100);
    Map.NewObject.AddPoint(200, 100);
    Map.Edit.Creating = true;
    Map.View.CursorPos = {200, 300};
    Map.Refresh();
    EXPECT_EQ(Pixel(150, 100), C32(Yellow)); // placed piece
    EXPECT_EQ(Pixel(200, 250), C32(Yellow)); // to the mouse
    EXPECT_EQ(Pixel(150, 200), C32(Yellow)); // from the mouse back to the start
    Map.Edit.Creating = false;
    Map.Refresh();
    EXPECT_EQ(Count(C32(Yellow)), 0);
}

TEST_F(Painters, ATextUnderConstructionShowsItsTextOnceTheDialogGaveOne) {
    Map.NewObject.Kind = otText;
    Map.NewObject.Pen.Color = Yellow;
    Map.NewObject.Font.Size = 40;
    Map.NewObject.AddPoint(60, 60);
    Map.Edit.Creating = true;
    Map.View.CursorPos = {300, 200};
    Map.Refresh();
    const int BoxOnly = Count(C32(Yellow));
    Map.NewObject.SetText("WWW");
    Map.Refresh();
    EXPECT_GT(Count(C32(Yellow)), BoxOnly + 50); // the glyphs, in the pen's colour
}

TEST_F(Painters, ZoomAndSelectionRectanglesAreOverlays) {
    Map.Edit.CurrentTool = tZoomIn;
    Map.Edit.Dragging = true;
    Map.View.PressPoint = {50, 50};
    Map.View.DragPoint = {150, 120};
    Map.Refresh();
    EXPECT_EQ(Pixel(100, 50), C32(Back) ^ kInvertMask32);
    EXPECT_EQ(Pixel(100, 51), C32(Back) ^ kInvertMask32); // two pixels thick
    EXPECT_EQ(Pixel(100, 52), C32(Back));
    Map.Edit.CurrentTool = tSelectRect;
    Map.Edit.SelectionRect = {20, 30, 120, 130};
    Map.Refresh();
    EXPECT_EQ(Pixel(70, 30), 0xFF808080u);
    EXPECT_EQ(Pixel(20, 80), 0xFF808080u);
    EXPECT_EQ(Pixel(100, 50), C32(Back));
}

TEST_F(Painters, MeasureLineIsGreenAndReportsTotalAndLastPiece) {
    std::vector<std::pair<float, float>> Seen;
    Map.OnMeasure = [&](TZemMap&, float Total, float Current) { Seen.push_back({Total, Current}); };
    Map.Edit.CurrentTool = tMeasure;
    Map.Edit.MeasurePoints.Add({0, 0});
    Map.Edit.MeasurePoints.Add({30, 40});
    Map.View.CursorPos = {30, 100};
    Map.Doc.MeasureScale = 200;
    Map.Refresh();
    ASSERT_FALSE(Seen.empty());
    EXPECT_FLOAT_EQ(Seen.back().first, 220);  // (50 + 60) x 2
    EXPECT_FLOAT_EQ(Seen.back().second, 120); // the piece to the mouse
    EXPECT_EQ(Pixel(30, 70), 0xFF00FF00u);
    EXPECT_EQ(Pixel(15, 20), 0xFF00FF00u);
    // Another tool: no piece to the mouse.
    Map.Edit.CurrentTool = tSelectObject;
    Map.Refresh();
    EXPECT_FLOAT_EQ(Seen.back().first, 100);
    EXPECT_FLOAT_EQ(Seen.back().second, 100);
    EXPECT_NE(Pixel(30, 70), 0xFF00FF00u);
}

TEST_F(Painters, RouteHighlightAndNumberedSearchPoints) {
    Map.Net.ShowTransportNet = true;
    const std::int32_t S = Add(otRoadCrossLine, {{50, 300}, {350, 300}});
    Map.Net.RouteHighlight.Add(S);
    Map.Refresh();
    EXPECT_EQ(Pixel(200, 300), 0xFF00FF00u);
    EXPECT_EQ(CountRows(0xFF00FF00u, 296, 304), 4 * 301); // width 4, from x = 50 to 350

    Map.Net.RoutePoints.Add({100, 100});
    Map.Net.RoutePoints.Add({200, 100});
    Map.Net.RoutePoints.Add({300, 100});
    Map.Refresh();
    // Each pin's head is 14 pixels above its point; start, between and end have their own colours.
    const TColor32 Start = Pixel(100 - 7, 100 - 14), From = Pixel(200 - 7, 100 - 14),
                   End = Pixel(300 - 7, 100 - 14);
    EXPECT_NE(Start, C32(Back));
    EXPECT_NE(Start, From);
    EXPECT_NE(From, End);
    EXPECT_NE(Start, End);
    EXPECT_EQ(Pixel(100, 100 - 30), C32(Back)); // outside the pin: transparent
    // The numbers in white beside each point.
    EXPECT_GT(CountNear(clWhite32, 105, 100, 115, 115), 3);
    EXPECT_GT(CountNear(clWhite32, 305, 100, 315, 115), 3);
}
