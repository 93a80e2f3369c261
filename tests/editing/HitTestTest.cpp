#include "base/ZemGeometry.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zem;

namespace {

struct TShape {
    TObjectKind Kind;
    std::vector<TXYPoint> Points;
    std::int32_t PenWidth = 0;
};

void Fill(TZemObject& O, const TShape& S) {
    O.Kind = S.Kind;
    O.Pen.Width = S.PenWidth;
    for (const TXYPoint& P : S.Points)
        O.AddPoint(P);
}

// At scale 100 with the window at the origin, world units are pixels.
struct HitFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t Add(const TShape& S, std::int8_t Plane = 0) {
        TZemObject T;
        Fill(T, S);
        T.SetPlane(Plane);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }
    std::int32_t Click(std::int32_t X, std::int32_t Y) {
        Map.SelectAt(TPoint{X, Y});
        return Map.Edit.CurrentObject;
    }
};

const TShape kLine{otLine, {{0, 0}, {100, 0}}};
const TShape kWide{otLine, {{0, 0}, {100, 0}}, 10};
const TShape kSquare{otPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}};
const TShape kCurve{otBezier, {{0, 0}, {0, 0}, {0, 0}, {100, 0}, {100, 0}, {100, 0}}};

} // namespace

TEST(HitTest, EveryKindByItsRule) {
    struct TCase {
        TShape Shape;
        float X, Y, Scale;
        bool Hit;
    };
    const TCase Cases[] = {
        {kLine, 50, 3.0f, 100, true},
        {kLine, 50, 3.5f, 100, false}, // a hairline: 3 px at any scale
        {kLine, 50, 1.5f, 200, true},
        {kLine, 50, 1.6f, 200, false},
        {kLine, 104, 0, 100, false},
        {kWide, 50, 5.0f, 25, true},
        {kWide, 50, 5.0f, 400, true},
        {kWide, 50, 5.5f, 400, false},
        {kWide, 104, -4, 100, true},                                  // half the pen beyond the end
        {{otRoadCrossLine, {{0, 0}, {100, 100}}}, 52, 48, 100, true}, // 2.8 px from the slant
        {{otRoadCrossLine, {{0, 0}, {100, 100}}}, 53, 47, 100, false},
        {{otLine, {{0, 0}}}, 0, 0, 100, false},
        {kSquare, 50, 50, 100, true},
        {kSquare, 50, 104, 100, false},
        {{otText, {{10, 10}}}, 10, 12, 100, true},              // any point count: the outline of one point
        {{otPolygon, {{0, 0}, {0, 100}}}, 2.9f, 50, 400, true}, // fixed world tolerance
        {{otPolygon, {{0, 0}, {0, 100}}}, 3.0f, 50, 100, false},
        {kCurve, 50, 2, 100, true},
        {kCurve, 50, 3, 100, false},                              // the control polygon
        {{otBezier, {{0, 0}, {100, 100}}}, 103, 103, 100, false}, // out of the segment's box
        {{otIco, {{100, 100}}}, 90, 110, 100, true},
        {{otIco, {{100, 100}}}, 120, 100, 100, false},
        {{otBmp, {{0, 0}, {50, 0}, {50, 50}, {0, 50}}}, 25, 52, 100, false}, // no outline tolerance
        {{otEllipse, {{0, 0}, {40, 20}}}, 20, 30, 100, true}, // the box of the larger half-axis
        {{otEllipse, {{0, 0}, {40, 20}}}, 20, 31, 100, false},
        {{otRoadCross, {{50, 50}}}, 54, 46, 100, true}, // four pixels either way at any zoom
        {{otRoadCross, {{50, 50}}}, 55, 50, 100, false},
        {{otRoadCross, {{50, 50}}}, 52, 50, 200, true},
        {{otRoadCross, {{50, 50}}}, 53, 50, 200, false},
        {{otRectangle, {{0, 0}, {50, 0}, {50, 50}}}, 25, 0, 100, false},
    };
    for (const TCase& C : Cases) {
        TZemObject O;
        Fill(O, C.Shape);
        EXPECT_EQ(O.HitTest(C.X, C.Y, C.Scale), C.Hit)
            << "kind " << int(C.Shape.Kind) << " at " << C.X << "," << C.Y << " scale " << C.Scale;
    }
    // Some boundary points fail the crossing count; the outline still catches them.
    TZemObject Square;
    Fill(Square, kSquare);
    const TArrayPoint Ints{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    bool SomeOutside = false;
    for (const TPoint P : {TPoint{0, 50}, TPoint{100, 50}, TPoint{50, 0}, TPoint{50, 100}}) {
        SomeOutside |= !PointInPolygon(Ints, P);
        EXPECT_TRUE(Square.HitTest(float(P.X), float(P.Y), 100));
    }
    EXPECT_TRUE(SomeOutside);
}

TEST_F(HitFixture, SelectionTakesTheTopPlaneAndCyclesModes) {
    const std::int32_t High = Add({otPolygon, {{50, 50}, {150, 50}, {150, 150}, {50, 150}}}, 7);
    const std::int32_t Low = Add(kSquare, 5);
    const std::int32_t Ellipse = Add({otEllipse, {{300, 300}, {340, 340}}});
    const std::int32_t Text = Add({otText, {{200, 200}, {260, 200}, {260, 220}, {200, 220}}});
    struct TStep {
        TPoint At;
        std::int32_t ID, Mode;
    };
    const TStep Steps[] = {{{75, 75}, High, 0},      {{75, 75}, High, 1},      {{75, 75}, High, 2},
                           {{75, 75}, High, 0},      {{20, 20}, Low, 0},       {{20, 20}, Low, 1},
                           {{390, 5}, -1, 1},        {{310, 310}, Ellipse, 0}, {{310, 310}, Ellipse, 2},
                           {{310, 310}, Ellipse, 0}, {{210, 210}, Text, 1},    {{210, 210}, Text, 2},
                           {{210, 210}, Text, 1}};
    for (const TStep& S : Steps) {
        EXPECT_EQ(Click(S.At.X, S.At.Y), S.ID);
        EXPECT_EQ(Map.Edit.EditMode, S.Mode);
    }
    Map.Edit.CtrlDown = true; // Ctrl keeps the mode and starts a drag
    EXPECT_EQ(Click(20, 20), Low);
    EXPECT_EQ(Map.Edit.EditMode, 1);
    EXPECT_TRUE(Map.Edit.Dragging);
}

// The press looks only at objects near it; a junction is caught four pixels off, which at a small
// scale is farther than a hairline's reach.
TEST_F(HitFixture, AJunctionIsCaughtFourPixelsOffAtEveryZoom) {
    Map.Net.ShowTransportNet = true;
    const std::int32_t Junction = Add({otRoadCross, {{100, 100}}}, 127);
    for (float Scale : {5.0f, 10.0f, 25.0f, 100.0f}) {
        Map.SetScale(Scale);
        Map.UpdateVisibleList();
        const TPoint At = Map.WorldToScreen(TXYPoint{100, 100});
        EXPECT_EQ(Click(At.X + 4, At.Y - 4), Junction) << Scale;
        EXPECT_EQ(Map.JunctionAt(Map.ScreenToWorld(TPoint{At.X - 4, At.Y + 4})), Junction) << Scale;
        EXPECT_EQ(Click(At.X + 6, At.Y), -1) << Scale;
    }
}

TEST_F(HitFixture, HandlesOfTheCurrentObject) {
    // Box with half the pen: 95..205 x 95..165; the frame stands another 5 px off.
    const std::int32_t Wide = Add({otPolygon, {{100, 100}, {200, 100}, {200, 160}, {100, 160}}, 10});
    Map.Edit.CurrentObject = Wide;
    const std::int32_t Cursors[] = {crSizeNWSE, crSizeNS, crSizeNESW, crSizeWE,
                                    crSizeNWSE, crSizeNS, crSizeNESW, crSizeWE};
    const TXYPoint At[] = {{90, 90},   {150, 90},  {210, 90}, {210, 130},
                           {213, 173}, {150, 170}, {90, 170}, {87, 130}};
    for (std::int32_t h = 0; h < 8; ++h) {
        EXPECT_EQ(Map.HitSizeHandle(At[h]), Cursors[h]);
        EXPECT_EQ(Map.Edit.HoverSizeHandle, h);
    }
    EXPECT_EQ(Map.HitSizeHandle({150, 130}), -1);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, -1);

    // On a tiny object the squares overlap: 0, 4, 2, 6 come first.
    Map.Edit.CurrentObject = Add({otLine, {{300, 300}, {302, 302}}});
    const std::pair<TXYPoint, std::int32_t> Overlaps[] = {
        {{301, 301}, 0}, {{304, 305}, 4}, {{305, 298}, 2}, {{297, 304}, 6}};
    for (auto [P, h] : Overlaps) {
        Map.HitSizeHandle(P);
        EXPECT_EQ(Map.Edit.HoverSizeHandle, h);
    }

    Map.Edit.CurrentObject = Add({otLine, {{100, 300}, {104, 300}, {200, 400}}});
    Map.Edit.EditMode = 1;
    EXPECT_EQ(Map.HitSizeHandle({100, 300}), -1); // frame handles only in mode 0
    Map.HitPointHandle({102, 300});               // both squares hold it: the lower index wins
    EXPECT_EQ(Map.Edit.HoverVertex, 0);
    Map.HitPointHandle({106, 303});
    EXPECT_EQ(Map.Edit.HoverVertex, 1);
    Map.Edit.EditMode = 2;
    Map.HitRotateHandle({153, 347});
    EXPECT_EQ(Map.Edit.HoverRotate, 1);
    // Locked: selectable, but no handle is reported.
    Map.ObjectByID(Map.Edit.CurrentObject).Lock = true;
    EXPECT_EQ(Click(150, 350), Map.Edit.CurrentObject);
    Map.Edit.EditMode = 2;
    Map.HitRotateHandle({150, 350});
    EXPECT_EQ(Map.Edit.HoverRotate, -1);
    Map.Edit.EditMode = 1;
    Map.HitPointHandle({100, 300});
    EXPECT_EQ(Map.Edit.HoverVertex, -1);
}
