#include "model/ZemGeometry.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

using namespace zem;

namespace {

std::unique_ptr<TZemObject> Shape(TObjectKind Kind, std::initializer_list<TXYPoint> Points,
                                  std::int32_t PenWidth = 0) {
    auto O = std::make_unique<TZemObject>();
    O->Kind = Kind;
    O->Pen.Width = PenWidth;
    for (const TXYPoint& P : Points)
        O->AddPoint(P);
    return O;
}

// At scale 100 with the window at the origin, world units are pixels.
struct HitFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t Add(const std::unique_ptr<TZemObject>& Made, std::int8_t Plane = 0) {
        const TZemObject& O = *Made;
        TZemObject T;
        T.Kind = O.Kind;
        T.Pen = O.Pen;
        T.SetPlane(Plane);
        for (std::int32_t i = 0; i < O.PointCount(); ++i)
            T.AddPoint(O.Point(i));
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }
    void Click(std::int32_t X, std::int32_t Y) { Map.SelectAt(TPoint{X, Y}); }
};

} // namespace

TEST(HitTest, PenRuleFollowsScaleOnlyForHairlines) {
    const auto Hair = Shape(otLine, {{0, 0}, {100, 0}});
    EXPECT_TRUE(Hair->HitTest(50, 3.0f, 100));
    EXPECT_FALSE(Hair->HitTest(50, 3.5f, 100));
    EXPECT_TRUE(Hair->HitTest(50, 1.5f, 200));
    EXPECT_FALSE(Hair->HitTest(50, 1.6f, 200));
    EXPECT_FALSE(Hair->HitTest(104, 0, 100)); // a hairline's segment box is not widened

    const auto Wide = Shape(otLine, {{0, 0}, {100, 0}}, 10);
    for (float Scale : {25.0f, 100.0f, 400.0f}) {
        EXPECT_TRUE(Wide->HitTest(50, 5.0f, Scale));
        EXPECT_FALSE(Wide->HitTest(50, 5.5f, Scale));
        EXPECT_TRUE(Wide->HitTest(104, -4, Scale)); // within half the pen beyond the end
    }
    // A slanted segment uses the distance from its line.
    const auto Slant = Shape(otRoadCrossLine, {{0, 0}, {100, 100}, {200, 100}});
    EXPECT_TRUE(Slant->HitTest(52, 48, 100));  // 2.8 px away
    EXPECT_FALSE(Slant->HitTest(53, 47, 100)); // 4.2 px away
    EXPECT_TRUE(Slant->HitTest(150, 102, 100));
    EXPECT_FALSE(Shape(otLine, {{0, 0}})->HitTest(0, 0, 100));
}

TEST(HitTest, ClosedShapesTakeInteriorAndOutline) {
    const auto Square = Shape(otPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    EXPECT_TRUE(Square->HitTest(50, 50, 100));
    EXPECT_FALSE(Square->HitTest(50, 104, 100));
    // Some boundary points fail the crossing count; the outline still catches every one of them.
    bool SomeBoundaryOutside = false;
    const TArrayPoint Ints{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    for (const TPoint P :
         {TPoint{0, 50}, TPoint{100, 50}, TPoint{50, 0}, TPoint{50, 100}, TPoint{100, 100}}) {
        SomeBoundaryOutside |= !PointInPolygon(Ints, P);
        EXPECT_TRUE(Square->HitTest(static_cast<float>(P.X), static_cast<float>(P.Y), 100))
            << P.X << "," << P.Y;
    }
    EXPECT_TRUE(SomeBoundaryOutside);
    // A text box is a closed shape too, whatever its point count.
    EXPECT_TRUE(Shape(otText, {{10, 10}})->HitTest(10, 12, 100));
    // Two-point polygons and Bézier curves: three world units from the control polygon, at any scale.
    const auto Two = Shape(otPolygon, {{0, 0}, {0, 100}});
    EXPECT_TRUE(Two->HitTest(2.9f, 50, 400));
    EXPECT_FALSE(Two->HitTest(3.0f, 50, 100));
    const auto Curve = Shape(otBezier, {{0, 0}, {0, 0}, {0, 0}, {100, 0}, {100, 0}, {100, 0}});
    EXPECT_TRUE(Curve->HitTest(50, 2, 100));
    EXPECT_FALSE(Curve->HitTest(50, 3, 100));
    const auto Diagonal = Shape(otBezier, {{0, 0}, {100, 100}});
    EXPECT_TRUE(Diagonal->HitTest(51, 49, 100));
    EXPECT_FALSE(Diagonal->HitTest(103, 103, 100)); // on the line but out of the segment's box
}

TEST(HitTest, BoxKindsAndKindsNeverHit) {
    const auto Icon = Shape(otIco, {{100, 100}});
    EXPECT_TRUE(Icon->HitTest(90, 110, 100));
    EXPECT_FALSE(Icon->HitTest(120, 100, 100));
    EXPECT_FALSE(Shape(otIco, {})->HitTest(0, 0, 100));
    const auto Picture = Shape(otBmp, {{0, 0}, {50, 0}, {50, 50}, {0, 50}});
    EXPECT_TRUE(Picture->HitTest(25, 25, 100));
    EXPECT_FALSE(Picture->HitTest(25, 52, 100)); // no outline tolerance

    auto Ellipse = Shape(otEllipse, {{0, 0}, {40, 20}});
    EXPECT_TRUE(Ellipse->HitTest(20, 30, 100)); // the box is the circle around the larger half-axis
    EXPECT_FALSE(Ellipse->HitTest(20, 31, 100));

    auto Junction = Shape(otRoadCross, {{50, 50}});
    EXPECT_FALSE(Junction->HitTest(50, 50, 100)); // the box it was created with never matches
    Junction->LeftTop = {46, 54};
    Junction->RightBottom = {54, 46};
    EXPECT_TRUE(Junction->HitTest(50, 50, 100));

    EXPECT_FALSE(Shape(otRectangle, {{0, 0}, {50, 0}, {50, 50}, {0, 50}})->HitTest(25, 0, 100));
    EXPECT_FALSE(Shape(otFillBezier, {{0, 0}, {50, 0}, {50, 50}})->HitTest(25, 0, 100));
}

TEST_F(HitFixture, SelectionTakesTheHighestPlaneAndCyclesModes) {
    const std::int32_t High = Add(Shape(otPolygon, {{50, 50}, {150, 50}, {150, 150}, {50, 150}}), 7);
    const std::int32_t Low = Add(Shape(otPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}), 5);
    Click(75, 75);
    EXPECT_EQ(Map.Edit.CurrentObject, High);
    EXPECT_EQ(Map.Edit.EditMode, 0);
    Click(75, 75);
    EXPECT_EQ(Map.Edit.EditMode, 1);
    Click(75, 75);
    EXPECT_EQ(Map.Edit.EditMode, 2);
    Click(75, 75);
    EXPECT_EQ(Map.Edit.EditMode, 0);
    Click(20, 20);
    EXPECT_EQ(Map.Edit.CurrentObject, Low);
    Click(20, 20);
    EXPECT_EQ(Map.Edit.EditMode, 1);
    Click(300, 300); // empty area: no selection, the mode stays
    EXPECT_EQ(Map.Edit.CurrentObject, -1);
    EXPECT_EQ(Map.Edit.EditMode, 1);

    // Ctrl leaves the mode alone and starts a drag.
    Map.Edit.CtrlDown = true;
    Click(20, 20);
    EXPECT_EQ(Map.Edit.CurrentObject, Low);
    EXPECT_EQ(Map.Edit.EditMode, 1);
    EXPECT_TRUE(Map.Edit.Dragging);
}

TEST_F(HitFixture, EllipseAndTextCycleTwoModes) {
    const std::int32_t Ellipse = Add(Shape(otEllipse, {{0, 0}, {40, 40}}));
    const std::int32_t Text = Add(Shape(otText, {{100, 100}, {160, 100}, {160, 120}, {100, 120}}));
    const std::pair<std::int32_t, std::int32_t> Cases[] = {{Ellipse, 0}, {Text, 1}};
    for (auto [ID, First] : Cases) {
        const TPoint At = Map.WorldToScreen(Map.ObjectByID(ID).Point(0));
        std::vector<std::int32_t> Modes;
        for (int i = 0; i < 4; ++i) {
            Click(At.X + 5, At.Y + 5);
            ASSERT_EQ(Map.Edit.CurrentObject, ID);
            Modes.push_back(Map.Edit.EditMode);
        }
        EXPECT_EQ(Modes, (std::vector<std::int32_t>{First, 2, First, 2}));
    }
}

TEST_F(HitFixture, LockedObjectIsSelectableButShowsNoHandles) {
    const std::int32_t ID = Add(Shape(otLine, {{100, 100}, {200, 200}}));
    Map.ObjectByID(ID).Lock = true;
    Click(150, 150);
    ASSERT_EQ(Map.Edit.CurrentObject, ID);
    for (std::int32_t Mode = 0; Mode < 3; ++Mode) {
        Map.Edit.EditMode = Mode;
        EXPECT_EQ(Map.HitSizeHandle({100, 100}), -1);
        Map.HitPointHandle({100, 100});
        Map.HitRotateHandle({150, 150});
        EXPECT_EQ(Map.Edit.HoverSizeHandle, -1);
        EXPECT_EQ(Map.Edit.HoverVertex, -1);
        EXPECT_EQ(Map.Edit.HoverRotate, -1);
    }
    Map.ObjectByID(ID).Lock = false;
    Map.Edit.EditMode = 1;
    Map.HitPointHandle({201, 198});
    EXPECT_EQ(Map.Edit.HoverVertex, 1);
}

TEST_F(HitFixture, SizeHandlesOnTheFrameAndTheirOrder) {
    const std::int32_t ID = Add(Shape(otPolygon, {{100, 100}, {200, 100}, {200, 160}, {100, 160}}, 10));
    Map.Edit.CurrentObject = ID;
    Map.Edit.EditMode = 0;
    // The box already holds half the pen (95..205, 95..165); the frame stands another 5 px off.
    struct TCase {
        float X, Y;
        std::int32_t Handle, Cursor;
    };
    const TCase Cases[] = {{90, 90, 0, crSizeNWSE},  {150, 90, 1, crSizeNS},    {210, 90, 2, crSizeNESW},
                           {210, 130, 3, crSizeWE},  {213, 173, 4, crSizeNWSE}, {150, 170, 5, crSizeNS},
                           {90, 170, 6, crSizeNESW}, {87, 130, 7, crSizeWE}};
    for (const TCase& C : Cases) {
        EXPECT_EQ(Map.HitSizeHandle({C.X, C.Y}), C.Cursor);
        EXPECT_EQ(Map.Edit.HoverSizeHandle, C.Handle);
    }
    EXPECT_EQ(Map.HitSizeHandle({150, 130}), -1);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, -1); // reset by the miss

    // On a tiny object every handle covers the pointer: corner 0 comes first, then 4, 2, 6, 5 ...
    const std::int32_t Tiny = Add(Shape(otLine, {{300, 300}, {302, 302}}));
    Map.Edit.CurrentObject = Tiny;
    EXPECT_EQ(Map.HitSizeHandle({301, 301}), crSizeNWSE);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, 0);
    EXPECT_EQ(Map.HitSizeHandle({304, 305}), crSizeNWSE);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, 4);
    EXPECT_EQ(Map.HitSizeHandle({305, 298}), crSizeNESW);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, 2);
    EXPECT_EQ(Map.HitSizeHandle({297, 304}), crSizeNESW);
    EXPECT_EQ(Map.Edit.HoverSizeHandle, 6);

    // Not in frame mode, not for icons and junctions, not without a current object.
    Map.Edit.EditMode = 1;
    EXPECT_EQ(Map.HitSizeHandle({301, 301}), -1);
    Map.Edit.EditMode = 0;
    Map.Edit.CurrentObject = Add(Shape(otIco, {{50, 300}}));
    EXPECT_EQ(Map.HitSizeHandle(Map.ObjectByID(Map.Edit.CurrentObject).LeftTop), -1);
    Map.Edit.CurrentObject = -1;
    EXPECT_EQ(Map.HitSizeHandle({301, 301}), -1);
}

TEST_F(HitFixture, VertexAndRotationHandles) {
    const std::int32_t ID = Add(Shape(otLine, {{100, 100}, {104, 100}, {200, 200}}));
    Map.Edit.CurrentObject = ID;
    Map.Edit.EditMode = 1;
    Map.HitPointHandle({102, 100}); // both squares hold it: the lower index wins
    EXPECT_EQ(Map.Edit.HoverVertex, 0);
    Map.HitPointHandle({106, 103});
    EXPECT_EQ(Map.Edit.HoverVertex, 1);
    Map.HitPointHandle({196, 200});
    EXPECT_EQ(Map.Edit.HoverVertex, -1);

    Map.Edit.EditMode = 2;
    Map.HitPointHandle({100, 100});
    EXPECT_EQ(Map.Edit.HoverVertex, -1);
    Map.HitRotateHandle({153, 147});
    EXPECT_EQ(Map.Edit.HoverRotate, 1);
    Map.HitRotateHandle({154, 150});
    EXPECT_EQ(Map.Edit.HoverRotate, -1);
}
