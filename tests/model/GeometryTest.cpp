#include "base/ZemGeometry.h"
#include "base/ZemSingleArray.h"
#include "base/ZemXYArray.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {
TZemXYArray Make(std::initializer_list<TXYPoint> Pts) {
    TZemXYArray A;
    for (auto& P : Pts)
        A.Add(P);
    return A;
}
} // namespace

TEST(ZemXYArray, MinAndMaxLeaveDestinationOnEmptyAndTakeAxesIndependently) {
    TZemXYArray A;
    TXYPoint P{7, 8};
    A.MaxPoint(P);
    A.MinPoint(P);
    EXPECT_EQ(P, (TXYPoint{7, 8}));
    A.Add({3, -1});
    A.MaxPoint(P);
    EXPECT_EQ(P, (TXYPoint{3, -1}));
    A.Add({-2, 5});
    A.MaxPoint(P);
    EXPECT_EQ(P, (TXYPoint{3, 5}));
    A.MinPoint(P);
    EXPECT_EQ(P, (TXYPoint{-2, -1}));
}

TEST(ZemXYArray, InsertAtOrPastEndAppendsAndDeletePastEndRemovesLast) {
    TZemXYArray A = Make({{0, 0}, {1, 1}});
    A.Insert(2, {2, 2});
    A.Insert(2 + 5 + 1, {3, 3});
    A.Insert(0, {-1, -1});
    EXPECT_EQ(A, Make({{-1, -1}, {0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    A.Delete(4);
    EXPECT_EQ(A, Make({{-1, -1}, {0, 0}, {1, 1}, {2, 2}}));
    A.Delete(100);
    EXPECT_EQ(A, Make({{-1, -1}, {0, 0}, {1, 1}}));
    A.Delete(0);
    EXPECT_EQ(A, Make({{0, 0}, {1, 1}}));
}

TEST(ZemXYArray, OutOfRangeAccessIsIgnored) {
    TZemXYArray A = Make({{1, 2}});
    TXYPoint P{9, 9};
    A.GetPoint(1, P);
    A.GetPoint(-1, P);
    EXPECT_EQ(P, (TXYPoint{9, 9}));
    A.SetPoint(1, {5, 5});
    A.SetPoint(-1, {5, 5});
    EXPECT_EQ(A, Make({{1, 2}}));
    A.AddArray(A);
    EXPECT_EQ(A, Make({{1, 2}, {1, 2}}));
    A.Clear();
    EXPECT_EQ(A.Count(), 0);
}

TEST(ZemSingleArray, GetOutsideGivesZero) {
    TZemSingleArray A;
    A.Add(1.5f);
    EXPECT_EQ(A.Get(0), 1.5f);
    EXPECT_EQ(A.Get(1), 0.0f);
    EXPECT_EQ(A.Get(-1), 0.0f);
}

TEST(ZemTools, RectangleUnionAndIntersection) {
    TXYRect A = XYRect(0, 0, 10, 10), U;
    // An empty B leaves A unchanged.
    EXPECT_TRUE(UnionXYRect(U, A, XYRect(5, 5, 4, 4)));
    EXPECT_EQ(U, A);
    // An empty result is zeroed.
    EXPECT_FALSE(UnionXYRect(U, XYRect(3, 3, 1, 1), XYRect(5, 5, 4, 4)));
    EXPECT_EQ(U, TXYRect{});
    // Sharing only an edge or a corner still intersects; a gap does not.
    EXPECT_TRUE(XYRectsIntersect(A, XYRect(10, 0, 20, 10)));
    EXPECT_TRUE(XYRectsIntersect(A, XYRect(10, 10, 20, 20)));
    EXPECT_FALSE(XYRectsIntersect(A, XYRect(10.5f, 0, 20, 10)));
    EXPECT_TRUE(XYRectsIntersect(A, XYRect(2, 2, 3, 3)));
}

TEST(ZemTools, PointHelpers) {
    EXPECT_TRUE(PointInRect({0, 0}, {0, 0, 5, 5}));
    EXPECT_TRUE(PointInRect({5, 5}, {0, 0, 5, 5}));
    EXPECT_FALSE(PointInRect({6, 5}, {0, 0, 5, 5}));
    EXPECT_EQ(PointsToRect({5, 6}, {1, 2}), (TRect{5, 6, 1, 2}));
    EXPECT_FLOAT_EQ(PointDistance({0, 0}, {3, 4}), 5.0f);
    EXPECT_FLOAT_EQ(PointDistance({2, 7}, {2, 1}), 6.0f);
    EXPECT_FLOAT_EQ(PointDistance({-2147483647, 0}, {2147483647, 0}), 4294967294.0f);
}

TEST(ZemTools, PointInPolygonClosedOrNotGivesSameAnswers) {
    TArrayPoint Open{{0, 0}, {10, 0}, {0, 10}};
    TArrayPoint Closed{{0, 0}, {10, 0}, {0, 10}, {0, 0}};
    for (int y = -2; y <= 12; ++y)
        for (int x = -2; x <= 12; ++x)
            EXPECT_EQ(PointInPolygon(Open, {x, y}), PointInPolygon(Closed, {x, y})) << x << "," << y;
    EXPECT_TRUE(PointInPolygon(Open, {2, 2}));
    EXPECT_FALSE(PointInPolygon(Open, {8, 8}));
    EXPECT_FALSE(PointInPolygon(TArrayPoint{}, {0, 0}));
}

TEST(ZemTools, PointInPolygonHorizontalEdgeGivesNoCrossing) {
    // A square: the point on the line of the top edge, left of the square, crosses nothing.
    TArrayPoint Square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_FALSE(PointInPolygon(Square, {-5, 0}));
    // The top row counts as inside (P.Y >= y1 on the vertical edges), the bottom row not.
    EXPECT_TRUE(PointInPolygon(Square, {5, 0}));
    EXPECT_FALSE(PointInPolygon(Square, {5, 10}));
    // On a vertical edge neither side counts.
    EXPECT_FALSE(PointInPolygon(Square, {0, 5}));
}
