// Segment ends move with their junctions in the same undo step, and drawing or selecting never changes
// the document: a map that was only looked at saves the bytes it loaded.
#include "PointerFixture.h"
#include "editing/ZemHistory.h"

#include <random>

using namespace zem;
using namespace zem::pointertest;

namespace {

struct JunctionDragTest : PointerFixture {
    std::int32_t Segment(std::int32_t From, std::int32_t To) {
        TZemObject S;
        S.Kind = otRoadCrossLine;
        S.StartCrossID = From;
        S.EndCrossID = To;
        S.AddPoint(Map.ObjectByID(From).Point(0));
        S.AddPoint(Map.ObjectByID(To).Point(0));
        Map.AddObject(S);
        return Map.Doc.MaxID - 1;
    }
    // Every segment end that names a stored junction lies on its point.
    void ExpectEndsOnJunctions() {
        for (std::int32_t ID : Map.Doc.Order) {
            const TZemObject& S = Map.ObjectByID(ID);
            for (auto [J, End] : {std::pair{S.StartCrossID, 0}, std::pair{S.EndCrossID, S.PointCount() - 1}})
                if (S.Kind == otRoadCrossLine && Map.ObjectExists(J)) {
                    EXPECT_EQ(S.Point(End), Map.ObjectByID(J).Point(0)) << "segment " << ID;
                }
        }
    }
};

} // namespace

TEST_F(JunctionDragTest, DraggingAJunctionTakesItsSegmentEndAlongAndUndoPutsItBack) {
    Map.SetShowTransportNet(true);
    const std::int32_t J1 = Add(otRoadCross, {{100, 100}});
    const std::int32_t J2 = Add(otRoadCross, {{300, 300}});
    const std::int32_t S = Segment(J1, J2);
    Map.MarkSaved();
    const auto Before = Map.SaveToBytes();
    const std::size_t Steps = Map.History().StepCount();

    Drag({{300, 300}, {200, 200}, {110, 110}});
    EXPECT_EQ(Map.ObjectByID(J2).Point(0), (TXYPoint{110, 110}));
    EXPECT_EQ(Map.ObjectByID(S).Point(1), (TXYPoint{110, 110}));
    EXPECT_EQ(Map.ObjectByID(S).RightBottom, (TXYPoint{110, 110}));
    EXPECT_TRUE(Map.Modified());
    EXPECT_EQ(Map.History().StepCount(), Steps + 1); // the junction and its segment: one step

    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(J2).Point(0), (TXYPoint{300, 300}));
    EXPECT_EQ(Map.ObjectByID(S).Point(1), (TXYPoint{300, 300}));
    EXPECT_FALSE(Map.Modified());
    Map.RenderView();
    EXPECT_EQ(Map.SaveToBytes(), Before);

    Map.Redo();
    EXPECT_EQ(Map.ObjectByID(S).Point(1), (TXYPoint{110, 110}));
    EXPECT_TRUE(Map.Modified());
}

// Random sequences of junction drags, clicks, undos and redos: the ends stay on their junctions after
// every step, and undoing everything gives back the first file.
TEST_F(JunctionDragTest, RandomDragsUndosAndRedosKeepEveryEndOnItsJunction) {
    int Moved = 0; // junction drags that moved something, over all sequences
    for (unsigned Seed = 1; Seed <= 12; ++Seed) {
        SCOPED_TRACE(Seed);
        Map.Clear();
        Map.SetShowTransportNet(true);
        std::mt19937 Rng(Seed);
        auto Pick = [&Rng](int N) { return std::uniform_int_distribution<int>(0, N - 1)(Rng); };
        std::vector<std::int32_t> Junctions;
        for (int i = 0; i < 6; ++i)
            Junctions.push_back(Add(otRoadCross, {{float(40 + Pick(320)), float(40 + Pick(320))}}));
        for (int i = 0; i < 6; ++i)
            Segment(Junctions[static_cast<size_t>(Pick(6))], Junctions[static_cast<size_t>(Pick(6))]);
        Map.ClearHistory();
        const auto First = Map.SaveToBytes();
        for (int Step = 0; Step < 40; ++Step) {
            switch (Pick(5)) {
            case 0:
            case 1: { // drag a junction somewhere else, where the pointer finds it at this zoom
                const std::int32_t J = Junctions[static_cast<size_t>(Pick(6))];
                const TPoint At = Map.WorldToScreen(Map.ObjectByID(J).Point(0));
                if (At.X < 5 || At.Y < 5 || At.X > 395 || At.Y > 395)
                    break;
                const TXYPoint Was = Map.ObjectByID(J).Point(0);
                Drag({At, {At.X + Pick(41) - 20, At.Y + Pick(41) - 20}, {20 + Pick(360), 20 + Pick(360)}});
                Moved += !(Map.ObjectExists(J) && Map.ObjectByID(J).Point(0) == Was);
                break;
            }
            case 2:
                Map.Undo();
                break;
            case 3:
                Map.Redo();
                break;
            default:
                Click(Pick(400), Pick(400));
                break;
            }
            ExpectEndsOnJunctions();
        }
        while (Map.CanUndo())
            Map.Undo();
        ExpectEndsOnJunctions();
        EXPECT_FALSE(Map.Modified());
        EXPECT_EQ(Map.SaveToBytes(), First);
        if (HasFailure())
            return;
    }
    EXPECT_GT(Moved, 50);
}

TEST_F(JunctionDragTest, AMapThatWasOnlyLookedAtSavesTheBytesItLoaded) {
    Map.SetShowTransportNet(true);
    for (std::int32_t Width : {7, 4}) // wide pens, set after the box was made: saving brings it up to date
        Map.ObjectByID(Add(Width == 7 ? otLine : otPolygon, {{20, 20}, {120, 60.0f * Width}, {200, 40}}))
            .Pen.Width = Width;
    Add(otEllipse, {{40, 200}, {140, 260}});
    const std::int32_t J = Add(otRoadCross, {{250, 60}});
    Segment(J, Add(otRoadCross, {{350, 150}}));
    Map.SetScale(170);
    const auto Saved = Map.SaveToBytes();

    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    ASSERT_TRUE(Loaded.LoadFromBytes(Saved));
    const TZemViewState View = Loaded.View;
    // Look at it: click every object thrice (selecting it, cycling its handles), zoom out and in.
    for (std::int32_t ID : Loaded.Doc.Order) {
        const TPoint At = Loaded.WorldToScreen(Loaded.ObjectByID(ID).Point(0));
        for (int i = 0; i < 3; ++i) {
            Loaded.MouseDown(TZemMouseButton::mbLeft, 0, At.X, At.Y);
            Loaded.MouseUp(TZemMouseButton::mbLeft, 0, At.X, At.Y);
        }
    }
    for (float S : {40.0f, 900.0f})
        Loaded.SetScale(S);
    EXPECT_FALSE(Loaded.Modified());
    Loaded.View.Scale = View.Scale;
    Loaded.View.LeftTop = View.LeftTop;
    Loaded.View.ViewWidthHeight = View.ViewWidthHeight;
    EXPECT_EQ(Loaded.SaveToBytes(), Saved);
}
