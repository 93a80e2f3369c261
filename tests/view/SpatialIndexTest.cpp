// The visible list and hit testing through the spatial index agree with a walk of every object, whatever
// was done to the map before: many seeded sequences of adds, deletes, moves, reshapes, pen changes,
// reordering, undo, redo, reloading and clearing, each checked on random views.
#include "model/ZemMap.h"
#include "model/ZemSpatialIndex.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace zem;

namespace {

class TRandomMap {
public:
    explicit TRandomMap(std::uint32_t Seed) : FRandom(Seed) {
        Map.Resize(160, 120);
        Map.Net.ShowTransportNet = true;
    }

    HeadlessHost Host{160, 120};
    TZemMap Map{Host};

    float Coord() {
        // Mostly a small town, sometimes far out where the grid cannot hold a box.
        return Below(40) == 0 ? Real(-4e7f, 4e7f) : Real(-500.0f, 500.0f);
    }
    float Real(float Lo, float Hi) { return std::uniform_real_distribution<float>(Lo, Hi)(FRandom); }
    int Below(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FRandom); }

    void AddRandom() {
        static constexpr TObjectKind Kinds[] = {otLine,      otPolygon,      otEllipse, otText,
                                                otBezier,    otRectangle,    otBmp,     otIco,
                                                otRoadCross, otRoadCrossLine};
        TZemObject O;
        O.Kind = Kinds[Below(std::size(Kinds))];
        O.Pen.Width = Below(4) == 0 ? Below(60) : 0;
        const float X = Coord(), Y = Coord();
        const int n = O.Kind == otIco || O.Kind == otRoadCross ? 1 : 2 + Below(4);
        for (int i = 0; i < n; ++i)
            O.AddPoint(X + Real(-80, 80), Y + Real(-80, 80));
        O.SetPlane(static_cast<std::int8_t>(Below(3) - 1));
        O.SetTransportType(Below(3) - 1);
        Map.AddObject(O);
    }

    std::int32_t AnyID() { return Map.Doc.Order[Below(Map.Doc.Order.Count())]; }

    void Edit() {
        const int What = Map.Count() < 5 ? 0 : Below(12);
        switch (What) {
        case 0:
        case 1:
            AddRandom();
            break;
        case 2:
            Map.DeleteObject(AnyID());
            break;
        case 3: {
            const TXYPoint To{Coord(), Coord()};
            Map.ChangeObject(AnyID(), [&](TZemObject& O) { O.MoveTo(To); });
            break;
        }
        case 4: { // a vertex dragged, as pointer editing does it
            const std::int32_t ID = AnyID();
            TZemChange Step(Map);
            Map.TouchObject(ID);
            TZemObject& O = Map.ObjectByID(ID);
            if (O.PointCount() > 0) {
                O.SetPoint(Below(O.PointCount()), TXYPoint{Coord(), Coord()});
                O.UpdateBounds();
            }
            break;
        }
        case 5: {
            const std::int32_t Width = Below(200);
            Map.ChangeObject(AnyID(), [&](TZemObject& O) { O.Pen.Width = Width; });
            break;
        }
        case 6:
            Below(2) ? Map.BringToFront(AnyID()) : Map.SendToBack(AnyID());
            break;
        case 7:
            Map.Undo();
            break;
        case 8:
            Map.Redo();
            break;
        case 9:
            Map.DuplicateObject(AnyID());
            break;
        case 10: {
            const std::vector<std::uint8_t> Bytes = Map.SaveToBytes();
            ASSERT_TRUE(Map.LoadFromBytes(Bytes));
            Map.Net.ShowTransportNet = true;
            break;
        }
        default:
            if (Below(8) == 0)
                Map.Clear();
            else
                Map.ChangeObject(AnyID(),
                                 [&](TZemObject& O) { O.SetPlane(static_cast<std::int8_t>(Below(5) - 2)); });
            break;
        }
    }

    void RandomView() {
        const float Scale = Below(3) == 0 ? Real(0.001f, 2.0f) : Real(5.0f, 800.0f);
        Map.SetView(TXYPoint{Real(-600, 600), Real(-600, 600)}, Scale);
        if (Below(12) == 0) // so far out that presses round past the range of whole numbers
            Map.SetView(TXYPoint{Real(4.2e9f, 4.4e9f), Real(-1e3f, 1e3f)}, Real(1e-6f, 1e-4f));
        Map.Net.ShowOnlyTransportNet = Below(6) == 0;
    }

    // The visible list both ways, and a press at a few points against a walk of the list.
    void Check() {
        Map.UpdateVisibleList();
        TIntegerList Scan;
        Map.ScanVisibleList(Scan);
        ASSERT_EQ(std::vector<int>(Map.View.VisibleList.begin(), Map.View.VisibleList.end()),
                  std::vector<int>(Scan.begin(), Scan.end()));
        for (int k = 0; k < 4; ++k) {
            const TPoint Press{Below(160), Below(120)};
            const TXYPoint P = Map.ScreenToWorld(Press);
            std::int32_t Expected = -1;
            for (std::int32_t i = Scan.Count() - 1; i >= 0 && Expected == -1; --i)
                if (Map.ObjectByID(Scan[i]).HitTest(P.X, P.Y, Map.View.Scale))
                    Expected = Scan[i];
            Map.SelectAt(Press);
            ASSERT_EQ(Map.Edit.CurrentObject, Expected);
        }
    }

private:
    std::mt19937 FRandom;
};

} // namespace

TEST(SpatialIndexTest, AgreesWithTheFullScanThroughRandomEdits) {
    for (std::uint32_t Seed = 1; Seed <= 30; ++Seed) {
        SCOPED_TRACE(Seed);
        TRandomMap R(Seed);
        for (int i = 0; i < 40; ++i)
            R.AddRandom();
        for (int Step = 0; Step < 60; ++Step) {
            R.Edit();
            for (int v = 0; v < 2; ++v) {
                R.RandomView();
                R.Check();
                if (HasFatalFailure())
                    return;
            }
        }
        EXPECT_EQ(R.Map.SpatialIndex().Count(), R.Map.Count());
    }
}

TEST(SpatialIndexTest, AgreesOnAMapLargeEnoughForAGridOfManyCells) {
    for (std::uint32_t Seed = 100; Seed < 103; ++Seed) {
        SCOPED_TRACE(Seed);
        TRandomMap R(Seed);
        R.Map.View.AutoUpdate = false;
        for (int i = 0; i < 3000; ++i)
            R.AddRandom();
        R.Map.SetAutoUpdate(true);
        for (int Step = 0; Step < 40; ++Step) {
            R.Edit();
            R.RandomView();
            R.Check();
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(SpatialIndexTest, AnOrderNamingAnObjectTwiceIsListedAsTheScanListsIt) {
    TRandomMap R(99);
    for (int i = 0; i < 30; ++i)
        R.AddRandom();
    R.Map.Doc.Order.Add(R.Map.Doc.Order[3]);
    R.Map.SetView(TXYPoint{0, 0}, 5.0f);
    R.Check();
}

TEST(SpatialIndexTest, FindsOnlyNearObjectsAndForgetsDestroyedOnes) {
    TZemSpatialIndex Index;
    std::vector<TZemIndexHit> Found;
    {
        TZemObject Near, Far;
        Near.AddPoint(0, 0);
        Near.AddPoint(10, 10);
        Far.AddPoint(5000, 5000);
        Far.AddPoint(5010, 5010);
        Index.Insert(Near);
        Index.Insert(Far);
        Index.Query(TZemIndexBox{-1, -1, 1, 1}, Found);
        ASSERT_EQ(Found.size(), 1u);
        EXPECT_EQ(Found[0].Object, &Near);
        Far.MoveTo(TXYPoint{0, 0});
        Found.clear();
        Index.Query(TZemIndexBox{-1, -1, 1, 1}, Found);
        EXPECT_EQ(Found.size(), 2u);
        EXPECT_EQ(Index.Count(), 2);
    }
    EXPECT_EQ(Index.Count(), 0);
    Found.clear();
    Index.Query(TZemIndexBox{-1e9, -1e9, 1e9, 1e9}, Found);
    EXPECT_TRUE(Found.empty());
}

TEST(SpatialIndexTest, TheQuickScreenConversionGivesWorldToScreensResult) {
    HeadlessHost Host{1920, 1080};
    TZemMap Map{Host};
    Map.Resize(1920, 1080);
    std::mt19937 Random(3);
    auto Real = [&](float Lo, float Hi) { return std::uniform_real_distribution<float>(Lo, Hi)(Random); };
    for (int View = 0; View < 200; ++View) {
        Map.SetView(TXYPoint{Real(-1e5f, 1e5f), Real(-1e5f, 1e5f)}, Real(0.01f, 5000.0f));
        for (int k = 0; k < 500; ++k) {
            // Random points, and points that land on half pixels, where rounding must go to even.
            TXYPoint W{Real(-2e5f, 2e5f), Real(-2e5f, 2e5f)};
            if (k % 2)
                W = Map.ScreenToWorld(static_cast<std::int32_t>(Real(-3000, 3000)),
                                      static_cast<std::int32_t>(Real(-3000, 3000)));
            if (k % 5 == 0)
                W.X = std::nextafter(W.X, 1e30f);
            const TPoint A = Map.ExactWorldToScreen(W), B = Map.WorldToScreen(W);
            ASSERT_EQ(A.X, B.X);
            ASSERT_EQ(A.Y, B.Y);
        }
    }
    const TXYPoint Odd[] = {{1e30f, -1e30f}, {std::nanf(""), 0}, {INFINITY, 5}};
    for (const TXYPoint& W : Odd) {
        EXPECT_EQ(Map.ExactWorldToScreen(W).X, Map.WorldToScreen(W).X);
        EXPECT_EQ(Map.ExactWorldToScreen(W).Y, Map.WorldToScreen(W).Y);
    }
}
