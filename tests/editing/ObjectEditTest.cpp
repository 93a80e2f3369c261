#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>

using namespace zem;

namespace {

void Fill(TZemObject& O, TObjectKind Kind, std::initializer_list<TXYPoint> Points,
          std::int32_t PenWidth = 0) {
    O.Kind = Kind;
    O.Pen.Width = PenWidth;
    for (const TXYPoint& P : Points)
        O.AddPoint(P);
}

void ExpectPoint(const TZemObject& O, std::int32_t i, float X, float Y, float Tolerance = 1e-3f) {
    EXPECT_NEAR(O.Point(i).X, X, Tolerance) << "point " << i;
    EXPECT_NEAR(O.Point(i).Y, Y, Tolerance) << "point " << i;
}

struct Counted {
    TZemObject O;
    int Changes = 0;
    Counted() {
        O.OnObjectChange = [this](std::int32_t) { ++Changes; };
    }
};

} // namespace

TEST(ObjectEdit, MoveToPlacesTheWidenedBoxCorner) {
    Counted C;
    Fill(C.O, otLine, {{10, 10}, {30, 20}}, 4);
    C.Changes = 0;
    C.O.MoveTo({100, 100});
    ExpectPoint(C.O, 0, 102, 102);
    ExpectPoint(C.O, 1, 122, 112);
    EXPECT_EQ(C.O.LeftTop, (TXYPoint{100, 100}));
    EXPECT_EQ(C.Changes, 1);
}

TEST(ObjectEdit, StretchToBoxScalesFromTheBoxAndSkipsFlatBoxes) {
    Counted C;
    Fill(C.O, otLine, {{0, 0}, {50, 25}, {100, 50}});
    C.O.StretchToBox({10, 20}, {210, 120}); // as dragging handle 4 twice as far
    ExpectPoint(C.O, 0, 10, 20);
    ExpectPoint(C.O, 1, 110, 70);
    ExpectPoint(C.O, 2, 210, 120);
    EXPECT_EQ(C.O.RightBottom, (TXYPoint{210, 120}));

    // The box counts half the pen: mirrored through the same box, the points swap places.
    Counted W;
    Fill(W.O, otPolygon, {{0, 0}, {100, 0}, {100, 60}}, 10);
    W.O.StretchToBox({105, 65}, {-5, -5});
    ExpectPoint(W.O, 0, 100, 60);
    ExpectPoint(W.O, 2, 0, 0);

    Counted Flat;
    Fill(Flat.O, otLine, {{0, 5}, {100, 5}});
    Flat.Changes = 0;
    Flat.O.StretchToBox({0, 0}, {50, 50});
    ExpectPoint(Flat.O, 1, 100, 5);
    EXPECT_EQ(Flat.Changes, 0);
}

TEST(ObjectEdit, RotateTurnsAboutTheBoxCentre) {
    Counted Square;
    Fill(Square.O, otPolygon, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    Square.Changes = 0;
    Square.O.Rotate(static_cast<float>(std::numbers::pi / 2));
    // A positive angle turns counter-clockwise on screen, where Y grows downwards.
    ExpectPoint(Square.O, 1, 0, 0);
    ExpectPoint(Square.O, 0, 0, 100);
    EXPECT_FLOAT_EQ(Square.O.Angle(), 0.0f);
    EXPECT_EQ(Square.Changes, 1);

    // A hundred steps of 3.6 degrees come full circle, and a text's angle follows.
    TZemObject Text;
    Fill(Text, otText, {{10, 10}, {70, 10}, {70, 30}, {10, 30}});
    for (int i = 0; i < 100; ++i)
        Text.Rotate(0.06283186f);
    ExpectPoint(Text, 1, 70, 10, 0.01f);
    EXPECT_NEAR(Text.Angle(), 2 * std::numbers::pi, 1e-4);

    TZemObject Ellipse;
    Fill(Ellipse, otEllipse, {{0, 0}, {40, 20}});
    Ellipse.Rotate(0.5f);
    ExpectPoint(Ellipse, 1, 40, 20);
    EXPECT_FLOAT_EQ(Ellipse.Angle(), 0.5f);
}

TEST(ObjectEdit, DefaultStyle) {
    TZemObject O;
    O.Pen = TZemPen{3, 7, 1, 9};
    O.Brush = TZemBrush{5, 0};
    O.Font.Name = "Arial";
    O.Font.Size = 40;
    O.Font.Style = 3;
    TZemAddress A;
    A.Empty = false;
    A.Street = 4;
    A.Number = "12";
    O.SetAddress(A);
    O.ApplyDefaultStyle();
    EXPECT_EQ(O.Pen, (TZemPen{0, 0xFFFFFF, 0, 0}));
    EXPECT_EQ(O.Brush, (TZemBrush{0, 1}));
    EXPECT_EQ(O.Address(), TZemAddress{});
    EXPECT_TRUE(O.Address().Empty);
    EXPECT_EQ(O.Font.Color, 0xFFFFFF);
    EXPECT_EQ(O.Font.Size, 16);
    EXPECT_TRUE(O.Font.Name.empty());
    EXPECT_EQ(O.Font.Style, 0);
}

TEST(ObjectEdit, VertexCommandsAtTheMenuPoint) {
    HeadlessHost Host;
    TZemMap Map{Host};
    TZemObject T;
    Fill(T, otLine, {{100, 100}, {200, 100}, {200, 200}});
    Map.AddObject(T);
    const std::int32_t ID = Map.Doc.MaxID - 1;
    TZemObject& O = Map.ObjectByID(ID);

    Map.Edit.MenuPoint = {201, 99};
    EXPECT_FALSE(Map.AddVertexAtMenuPoint()); // nothing is current yet
    Map.Edit.CurrentObject = ID;
    ASSERT_TRUE(Map.AddVertexAtMenuPoint());
    ASSERT_EQ(O.PointCount(), 4);
    EXPECT_EQ(O.Point(1), Map.ScreenToWorld(206, 104));
    EXPECT_EQ(O.Point(2), (TXYPoint{200, 100}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{206, 200}));

    Map.Edit.MenuPoint = {203, 197};
    ASSERT_TRUE(Map.DeleteVertexAtMenuPoint());
    ASSERT_EQ(O.PointCount(), 3);
    EXPECT_EQ(O.Point(2), (TXYPoint{200, 100}));
    EXPECT_EQ(O.RightBottom, (TXYPoint{206, 104}));

    Map.Edit.MenuPoint = {150, 150}; // on no vertex
    EXPECT_FALSE(Map.DeleteVertexAtMenuPoint());
    O.Lock = true; // a locked object keeps its vertices
    Map.Edit.MenuPoint = {100, 100};
    EXPECT_FALSE(Map.DeleteVertexAtMenuPoint());
    O.Lock = false;
    // No minimum: the last vertices can go.
    for (int i = 0; i < 3; ++i) {
        Map.Edit.MenuPoint = Map.WorldToScreen(O.Point(0));
        EXPECT_TRUE(Map.DeleteVertexAtMenuPoint());
    }
    EXPECT_EQ(O.PointCount(), 0);
    EXPECT_FALSE(Map.AddVertexAtMenuPoint());
}
