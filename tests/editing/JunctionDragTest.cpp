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
            if (S.Kind != otRoadCrossLine)
                continue;
            if (Map.ObjectExists(S.StartCrossID)) {
                EXPECT_EQ(S.Point(0), Map.ObjectByID(S.StartCrossID).Point(0)) << "segment " << ID;
            }
            if (Map.ObjectExists(S.EndCrossID)) {
                EXPECT_EQ(S.Point(S.PointCount() - 1), Map.ObjectByID(S.EndCrossID).Point(0))
                    << "segment " << ID;
            }
        }
    }
    // The file with the view put back to where it was, so that only the document is compared.
    std::vector<std::uint8_t> DocumentBytes(const TZemViewState& ViewAt) {
        const TZemViewState Now = Map.View;
        Map.View.Scale = ViewAt.Scale;
        Map.View.LeftTop = ViewAt.LeftTop;
        Map.View.ViewWidthHeight = ViewAt.ViewWidthHeight;
        auto Bytes = Map.SaveToBytes();
        Map.View.Scale = Now.Scale;
        Map.View.LeftTop = Now.LeftTop;
        Map.View.ViewWidthHeight = Now.ViewWidthHeight;
        return Bytes;
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

TEST_F(JunctionDragTest, AJunctionChangedThroughTheInspectorTakesItsEndsInTheSameStep) {
    const std::int32_t J1 = Add(otRoadCross, {{10, 10}});
    const std::int32_t J2 = Add(otRoadCross, {{50, 10}});
    const std::int32_t S = Segment(J1, J2);
    const std::int32_t Back = Segment(J2, J1);
    Map.ChangeObject(J1, [](TZemObject& O) { O.MoveTo(TXYPoint{20, 30}); });
    EXPECT_EQ(Map.ObjectByID(S).Point(0), (TXYPoint{20, 30}));
    EXPECT_EQ(Map.ObjectByID(Back).Point(1), (TXYPoint{20, 30}));
    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(S).Point(0), (TXYPoint{10, 10}));
    EXPECT_EQ(Map.ObjectByID(Back).Point(1), (TXYPoint{10, 10}));
}

TEST_F(JunctionDragTest, DrawingASegmentOffItsJunctionLeavesTheSegmentAlone) {
    Map.SetShowTransportNet(true);
    const std::int32_t J1 = Add(otRoadCross, {{100, 100}});
    const std::int32_t J2 = Add(otRoadCross, {{300, 100}});
    const std::int32_t S = Segment(J1, J2);
    // As a file may bring it: the segment's end lies away from its junction.
    Map.ObjectByID(S).SetPoint(1, TXYPoint{300, 200});
    const auto Before = Map.SaveToBytes();
    Map.SetScale(300);
    Map.SetScale(100);
    Map.RenderView();
    EXPECT_EQ(Map.ObjectByID(S).Point(1), (TXYPoint{300, 200}));
    EXPECT_EQ(Map.ObjectByID(J1).LeftTop, (TXYPoint{100, 100})); // no zoom-dependent box
    // The line is drawn to the junction all the same.
    Map.SetShowTransportCrosses(false);
    EXPECT_EQ(Map.BackBuffer.GetPixel(250, 100), ToColor32(0xFFFFFF));
}

// Random sequences of junction drags, new segments, clicks, zooms, undos and redos: the ends stay on
// their junctions after every step, and undoing everything gives back the first file.
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
        const TZemViewState View0 = Map.View;
        const auto First = DocumentBytes(View0);
        for (int Step = 0; Step < 40; ++Step) {
            switch (Pick(6)) {
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
            case 4:
                Click(Pick(400), Pick(400));
                break;
            default:
                Map.SetScale(Pick(2) ? 100.0f : 150.0f);
                break;
            }
            ExpectEndsOnJunctions();
        }
        while (Map.CanUndo())
            Map.Undo();
        ExpectEndsOnJunctions();
        EXPECT_FALSE(Map.Modified());
        EXPECT_EQ(DocumentBytes(View0), First);
        if (HasFailure())
            return;
    }
    EXPECT_GT(Moved, 50);
}

TEST_F(JunctionDragTest, AMapThatWasOnlyLookedAtSavesTheBytesItLoaded) {
    Map.SetShowTransportNet(true);
    TZemObject Wide;
    Wide.Kind = otLine;
    Wide.Pen.Width = 7;
    Wide.AddPoints(Pts{{20, 20}, {120, 60}, {200, 40}});
    Map.AddObject(Wide);
    TZemObject Poly;
    Poly.Kind = otPolygon;
    Poly.Pen.Width = 4;
    Poly.AddPoints(Pts{{220, 220}, {320, 220}, {320, 320}, {220, 320}});
    Map.AddObject(Poly);
    Add(otEllipse, {{40, 200}, {140, 260}});
    const std::int32_t J1 = Add(otRoadCross, {{250, 60}});
    const std::int32_t J2 = Add(otRoadCross, {{350, 150}});
    Segment(J1, J2);
    Map.SetScale(170);
    const auto Saved = Map.SaveToBytes();

    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    ASSERT_TRUE(Loaded.LoadFromBytes(Saved));
    EXPECT_EQ(Loaded.SaveToBytes(), Saved);
    const TZemViewState View = Loaded.View;
    // Look at it: click every object (which selects it and cycles its handles), zoom in and out.
    for (std::int32_t ID : std::vector<std::int32_t>(Loaded.Doc.Order.begin(), Loaded.Doc.Order.end())) {
        const TZemObject& O = Loaded.ObjectByID(ID);
        const TPoint At = Loaded.WorldToScreen(O.Point(0));
        for (int i = 0; i < 3; ++i) {
            Loaded.MouseDown(TZemMouseButton::mbLeft, 0, At.X, At.Y);
            Loaded.MouseUp(TZemMouseButton::mbLeft, 0, At.X, At.Y);
        }
    }
    for (float S : {40.0f, 900.0f, 100.0f})
        Loaded.SetScale(S);
    EXPECT_FALSE(Loaded.Modified());
    Loaded.View.Scale = View.Scale;
    Loaded.View.LeftTop = View.LeftTop;
    Loaded.View.ViewWidthHeight = View.ViewWidthHeight;
    EXPECT_EQ(Loaded.SaveToBytes(), Saved);
}
