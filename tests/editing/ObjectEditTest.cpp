#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

using namespace zem;

namespace {

void Fill(TZemObject& O, TObjectKind Kind, const std::vector<TXYPoint>& Points, std::int32_t PenWidth = 0) {
    O.Kind = Kind;
    O.Pen.Width = PenWidth;
    for (const TXYPoint& P : Points)
        O.AddPoint(P);
}

void ExpectPoints(const TZemObject& O, const std::vector<TXYPoint>& Points, float Tolerance = 1e-3f) {
    ASSERT_EQ(O.PointCount(), static_cast<std::int32_t>(Points.size()));
    for (std::int32_t i = 0; i < O.PointCount(); ++i) {
        EXPECT_NEAR(O.Point(i).X, Points[i].X, Tolerance) << "point " << i;
        EXPECT_NEAR(O.Point(i).Y, Points[i].Y, Tolerance) << "point " << i;
    }
}

} // namespace

TEST(ObjectEdit, MoveStretchAndRotate) {
    TZemObject O;
    int Changes = 0;
    O.OnObjectChange = [&](std::int32_t) { ++Changes; };
    Fill(O, otLine, {{10, 10}, {30, 20}}, 4); // the box holds half the pen: (8, 8)
    Changes = 0;
    O.MoveTo({100, 100});
    ExpectPoints(O, {{102, 102}, {122, 112}});
    // Mirrored through its own widened box, the points swap places.
    O.StretchToBox(O.RightBottom, O.LeftTop);
    ExpectPoints(O, {{122, 112}, {102, 102}});
    O.Rotate(static_cast<float>(std::numbers::pi)); // half a turn about the box centre
    ExpectPoints(O, {{102, 102}, {122, 112}});
    EXPECT_EQ(Changes, 3);

    TZemObject Flat;
    Fill(Flat, otLine, {{0, 5}, {100, 5}});
    Flat.OnObjectChange = [&](std::int32_t) { ++Changes; };
    Flat.StretchToBox({0, 0}, {50, 50}); // no height to scale: nothing happens
    ExpectPoints(Flat, {{0, 5}, {100, 5}});
    EXPECT_EQ(Changes, 3);

    // A positive angle turns counter-clockwise on screen; a hundred steps of 3.6 degrees come full circle.
    TZemObject Text;
    Fill(Text, otText, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    Text.Rotate(static_cast<float>(std::numbers::pi / 2));
    ExpectPoints(Text, {{0, 100}, {0, 0}, {100, 0}, {100, 100}});
    for (int i = 0; i < 100; ++i)
        Text.Rotate(0.06283186f);
    ExpectPoints(Text, {{0, 100}, {0, 0}, {100, 0}, {100, 100}}, 0.01f);
    EXPECT_NEAR(Text.Angle(), std::numbers::pi / 2 + 2 * std::numbers::pi, 1e-4);
    TZemObject Ellipse;
    Fill(Ellipse, otEllipse, {{0, 0}, {40, 20}});
    Ellipse.Rotate(0.5f);
    ExpectPoints(Ellipse, {{0, 0}, {40, 20}});
    EXPECT_FLOAT_EQ(Ellipse.Angle(), 0.5f);

    O.Font.Size = 40;
    O.Brush = TZemBrush{5, 0};
    O.ApplyDefaultStyle();
    EXPECT_EQ(O.Pen, (TZemPen{0, 0xFFFFFF, 0, 0}));
    EXPECT_EQ(O.Brush, (TZemBrush{0, 1}));
    EXPECT_EQ(O.Font.Size, 16);
}

TEST(ObjectEdit, VertexCommandsAtTheMenuPoint) {
    HeadlessHost Host;
    TZemMap Map{Host};
    TZemObject T;
    Fill(T, otLine, {{100, 100}, {200, 100}, {200, 200}});
    Map.AddObject(T);
    TZemObject& O = Map.ObjectByID(Map.Doc.MaxID - 1);

    Map.Edit.MenuPoint = {201, 99};
    EXPECT_FALSE(Map.AddVertexAtMenuPoint()); // nothing is current
    Map.Edit.CurrentObject = O.ID;
    ASSERT_TRUE(Map.AddVertexAtMenuPoint()); // before vertex 1, five pixels right and down
    const TXYPoint Added = Map.ScreenToWorld(206, 104);
    ExpectPoints(O, {{100, 100}, Added, {200, 100}, {200, 200}});
    Map.Edit.MenuPoint = {203, 197};
    ASSERT_TRUE(Map.DeleteVertexAtMenuPoint());
    ExpectPoints(O, {{100, 100}, Added, {200, 100}});
    EXPECT_EQ(O.RightBottom, Added);
    Map.Edit.MenuPoint = {150, 150};
    EXPECT_FALSE(Map.DeleteVertexAtMenuPoint());
    O.Lock = true;
    Map.Edit.MenuPoint = {100, 100};
    EXPECT_FALSE(Map.DeleteVertexAtMenuPoint());
}
