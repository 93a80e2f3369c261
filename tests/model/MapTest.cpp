#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "platform/ZemTimer.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {

struct MapFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t AddPolygon(float X, float Y, float W, float H) {
        TZemObject T;
        T.Kind = otPolygon;
        T.AddPoint(X, Y);
        T.AddPoint(X + W, Y);
        T.AddPoint(X + W, Y + H);
        T.AddPoint(X, Y + H);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }

    std::vector<int> Order() const { return std::vector<int>(Map.Doc.Order.begin(), Map.Doc.Order.end()); }
};

} // namespace

TEST_F(MapFixture, ConstructionDefaults) {
    EXPECT_EQ(Map.Doc.BackColor, RGBColor(0, 128, 0));
    EXPECT_EQ(Map.Doc.DirectLineColor, RGBColor(192, 192, 192));
    EXPECT_EQ(Map.Doc.DirectLineX, 50);
    EXPECT_EQ(Map.Doc.DirectLineY, 50);
    EXPECT_EQ(Map.Doc.DocumentName, "Untitled map");
    EXPECT_EQ(Map.Doc.MeasureStr, "\xEC");
    EXPECT_EQ(Map.Doc.MaxPenWidth, 50);
    EXPECT_EQ(Map.Doc.Option, 23);
    EXPECT_EQ(Map.Doc.Compression, 3);
    EXPECT_EQ(Map.Doc.MinObjectView, 3);
    EXPECT_FLOAT_EQ(Map.Doc.Pseudo3DAngle, 4.712389f);
    EXPECT_EQ(Map.Net.ConnectionKind, 2);
    EXPECT_TRUE(Map.Net.ShowTransportDirections);
    EXPECT_TRUE(Map.Net.ShowTransportCrosses);
    EXPECT_TRUE(Map.Net.ShowUndefinedRoutes);
    EXPECT_FALSE(Map.Net.ShowTransportNet);
    EXPECT_FLOAT_EQ(Map.View.Scale, 100.0f);
    EXPECT_FLOAT_EQ(Map.View.MaxScale, 10000.0f);
    EXPECT_FLOAT_EQ(Map.View.ScaleStep, 20.0f);
    EXPECT_EQ(Map.View.ViewWidthHeight, (TXYPoint{400, 400}));
    EXPECT_EQ(Map.View.GlobalWidthHeight, (TXYPoint{400, 400}));
    EXPECT_EQ(Map.Edit.CurrentTool, tSelectObject);
    EXPECT_EQ(Map.Edit.CurrentObject, -1);
    EXPECT_EQ(Map.Width(), 400);
    EXPECT_EQ(Map.BackBuffer.Width(), 400);
    EXPECT_FALSE(Map.BlinkTimer().Enabled());
    EXPECT_EQ(Map.BlinkTimer().Interval(), 700);
    EXPECT_EQ(Map.DrawCountTimer().Interval(), 1000);
    EXPECT_EQ(Map.EdgeScrollTimer().Interval(), 25);
    EXPECT_EQ(Host.RunningTimers(), 0u);
    EXPECT_EQ(Map.NewObject.Owner, &Map);
    // The first frame shows the background colour.
    EXPECT_EQ(Host.LastFrame.Pixel(0, 0), 0xFF008000u);
}

TEST_F(MapFixture, IdsStartAtZeroAndAreNotReusedAfterDelete) {
    EXPECT_EQ(AddPolygon(0, 0, 10, 10), 0);
    EXPECT_EQ(AddPolygon(0, 0, 10, 10), 1);
    Map.DeleteObject(1);
    EXPECT_FALSE(Map.ObjectExists(1));
    EXPECT_EQ(AddPolygon(0, 0, 10, 10), 2);
    EXPECT_EQ(Map.Count(), 2);
    EXPECT_EQ(Order(), (std::vector<int>{0, 2}));
}

TEST_F(MapFixture, AfterALoadLikeFillTheNextIdSkipsTakenOnes) {
    // A loader stores objects under their own IDs; the last one in the order is 41.
    for (int ID : {43, 7, 42, 41}) {
        auto O = std::make_unique<TZemObject>();
        O->ID = ID;
        Map.StoreObject(std::move(O));
    }
    Map.Doc.MaxID = 42; // the stored MaxID is ignored: last ID in the order + 1
    EXPECT_EQ(AddPolygon(0, 0, 5, 5), 44);
    EXPECT_EQ(Map.Count(), 5);
    EXPECT_EQ(Map.ObjectByID(44).Owner, &Map);
    EXPECT_THROW(Map.StoreObject([] {
        auto O = std::make_unique<TZemObject>();
        O->ID = 7;
        return O;
    }()),
                 EZemError);
    EXPECT_EQ(Map.Count(), 5);
}

TEST_F(MapFixture, AddingPastTheTopIdRefusesInsteadOfWrapping) {
    Map.Doc.MaxID = INT32_MAX - 1;
    EXPECT_EQ(AddPolygon(0, 0, 5, 5), INT32_MAX - 1);
    Map.AddObject(Map.ObjectByID(INT32_MAX - 1));
    EXPECT_TRUE(Map.ObjectExists(INT32_MAX));
    EXPECT_EQ(Map.Doc.MaxID, INT32_MAX);
    EXPECT_THROW(Map.AddObject(Map.NewObject), EZemError);
    EXPECT_THROW(Map.DuplicateObject(INT32_MAX), EZemError);
    EXPECT_EQ(Map.Count(), 2);
    EXPECT_EQ(Map.Doc.MaxID, INT32_MAX);
}

TEST_F(MapFixture, ReadOnlyMapChangesNothingInTheStore) {
    std::int32_t A = AddPolygon(0, 0, 10, 10);
    Map.Edit.CurrentObject = A;
    Map.Edit.Creating = true;
    Map.SetOption(Map.Doc.Option & ~(1 << moEditable));
    AddPolygon(5, 5, 10, 10);
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_EQ(Map.Edit.CurrentObject, -1);
    EXPECT_FALSE(Map.Edit.Creating);
    Map.DeleteObject(A);
    EXPECT_TRUE(Map.ObjectExists(A));
    EXPECT_TRUE(Map.DuplicateObject(A));
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_EQ(Map.ObjectByID(A).Point(0), (TXYPoint{0, 0}));
    EXPECT_FALSE(Map.DuplicateObject(99));
}

TEST_F(MapFixture, DuplicateMovesByAThirdOfTheWidthRoundedToEven) {
    std::int32_t A = AddPolygon(0, 0, 10, 10); // width 10 -> 3.33 -> 3
    ASSERT_TRUE(Map.DuplicateObject(A));
    const TZemObject& C = Map.ObjectByID(Map.Doc.MaxID - 1);
    EXPECT_EQ(C.Point(0), (TXYPoint{3, 3}));
    EXPECT_EQ(C.LeftTop, (TXYPoint{3, 3}));
    EXPECT_EQ(C.RightBottom, (TXYPoint{13, 13}));

    std::int32_t B = AddPolygon(0, 0, 7.5f, 1); // 2.5 -> 2 (ties to even)
    ASSERT_TRUE(Map.DuplicateObject(B));
    EXPECT_EQ(Map.ObjectByID(Map.Doc.MaxID - 1).Point(0), (TXYPoint{2, 2}));
    std::int32_t D = AddPolygon(0, 0, 10.5f, 1); // 3.5 -> 4
    ASSERT_TRUE(Map.DuplicateObject(D));
    EXPECT_EQ(Map.ObjectByID(Map.Doc.MaxID - 1).Point(0), (TXYPoint{4, 4}));

    TZemObject E;
    E.Kind = otEllipse;
    E.AddPoint(0, 0);
    E.AddPoint(30, 20);
    Map.AddObject(E);
    ASSERT_TRUE(Map.DuplicateObject(Map.Doc.MaxID - 1));
    const TZemObject& EC = Map.ObjectByID(Map.Doc.MaxID - 1);
    EXPECT_EQ(EC.Point(0), (TXYPoint{0, 0}));
    EXPECT_EQ(EC.Point(1), (TXYPoint{30, 20}));
}

TEST_F(MapFixture, DrawingOrderOperations) {
    for (int i = 0; i < 3; ++i)
        AddPolygon(0, 0, 10, 10);
    Map.SendToBack(2);
    EXPECT_EQ(Order(), (std::vector<int>{2, 0, 1}));
    Map.BringToFront(2);
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
    Map.BringToFront(77);
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(MapFixture, ClearEmptiesTheStoreButKeepsDirectoriesAndView) {
    Map.Doc.Streets.push_back("\xCB\xE5\xED\xE8\xED\xE0");
    AddPolygon(0, 0, 10, 10);
    Map.Net.RoutePoints.Add({1, 1});
    Map.Net.RouteHighlight.Add(0);
    Map.Net.VisibleTransportTypes.Add(0);
    Map.Edit.MeasurePoints.Add({1, 1});
    Map.NewObject.AddPoint(1, 1);
    Map.SetScale(200);
    Map.Clear();
    EXPECT_EQ(Map.Count(), 0);
    EXPECT_EQ(Map.Doc.MaxID, 0);
    EXPECT_EQ(Map.Doc.Order.Count(), 0);
    EXPECT_EQ(Map.Doc.Objects.Capacity(), 0);
    EXPECT_EQ(Map.View.VisibleList.Count(), 0);
    EXPECT_EQ(Map.Net.RoutePoints.Count(), 0);
    EXPECT_EQ(Map.Net.RouteHighlight.Count(), 0);
    EXPECT_EQ(Map.Net.VisibleTransportTypes.Count(), 0);
    EXPECT_EQ(Map.Edit.MeasurePoints.Count(), 0);
    EXPECT_EQ(Map.NewObject.PointCount(), 0);
    EXPECT_EQ(Map.Doc.Streets.size(), 1u);
    EXPECT_FLOAT_EQ(Map.View.Scale, 200.0f);
    EXPECT_EQ(AddPolygon(0, 0, 1, 1), 0);
}

TEST_F(MapFixture, StoredObjectChangesRepaintOnlyWithAutoUpdate) {
    std::int32_t A = AddPolygon(0, 0, 10, 10);
    int Before = Host.PresentCount;
    Map.ObjectByID(A).SetText("x");
    EXPECT_EQ(Host.PresentCount, Before + 1);
    Map.View.AutoUpdate = false;
    Map.ObjectByID(A).SetText("y");
    EXPECT_EQ(Host.PresentCount, Before + 1);
}

TEST_F(MapFixture, LockAllAndResetEditState) {
    AddPolygon(0, 0, 10, 10);
    AddPolygon(0, 0, 10, 10);
    Map.LockAll();
    EXPECT_TRUE(Map.ObjectByID(0).Lock);
    EXPECT_TRUE(Map.ObjectByID(1).Lock);
    Map.Edit.CurrentObject = 1;
    Map.Edit.Creating = true;
    Map.Edit.EditMode = 3;
    Map.NewObject.AddPoint(1, 2);
    Map.ResetEditState();
    EXPECT_EQ(Map.Edit.CurrentObject, -1);
    EXPECT_FALSE(Map.Edit.Creating);
    EXPECT_EQ(Map.Edit.EditMode, 0);
    EXPECT_EQ(Map.NewObject.PointCount(), 1);
}

TEST_F(MapFixture, ObjectByIdOfAMissingIdRaises) {
    EXPECT_THROW(Map.ObjectByID(5), EZemError);
    EXPECT_THROW(Map.DeleteObject(5), EZemError);
    Map.DeleteObject(-1); // "none" is no error
    EXPECT_EQ(Map.Count(), 0);
}

TEST_F(MapFixture, SettersThatRedrawAndSettersThatRebuild) {
    int Visible = 0;
    Map.OnVisibleCount = [&](TZemMap&, int, int) { ++Visible; };
    int Frames = Host.PresentCount;
    Map.SetBackColor(RGBColor(255, 0, 0));
    EXPECT_EQ(Host.PresentCount, Frames + 1);
    EXPECT_EQ(Host.LastFrame.Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Visible, 0);
    Map.SetShowOnlyTransportNet(true);
    EXPECT_EQ(Visible, 1);
    Map.SetShowUndefinedRoutes(false);
    EXPECT_EQ(Visible, 2);
    Map.SetCompression(1);
    Map.SetOption(0);
    EXPECT_EQ(Host.PresentCount, Frames + 3);
}

TEST_F(MapFixture, DrawCountTimerReportsFramesWhenAHostStartsIt) {
    std::vector<int> Reports;
    Map.OnDrawCount = [&](TZemMap&, int Frames) { Reports.push_back(Frames); };
    Map.DrawCountTimer().SetEnabled(true);
    Map.Redraw();
    Map.Redraw();
    Host.AdvanceTime(1000);
    Host.AdvanceTime(1000);
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_GE(Reports[0], 2);
    EXPECT_EQ(Reports[1], 0);
    Map.DrawCountTimer().SetInterval(500);
    EXPECT_TRUE(Map.DrawCountTimer().Enabled());
    EXPECT_EQ(Host.RunningTimers(), 1u);
}
