// The commands a front end gives for one object and for the display: the rules they keep, one undo
// step each, and the hints of the tools.
#include "PointerFixture.h"
#include "editing/ZemHistory.h"
#include "editing/ZemTools.h"

#include <numbers>
#include <random>

using namespace zem;
using namespace zem::pointertest;

namespace {

struct ObjectCommandsTest : PointerFixture {
    std::int32_t Steps() const { return static_cast<std::int32_t>(Map.CanUndo()); }
    std::vector<std::uint8_t> Saved() { return Map.SaveToBytes(); }
};

} // namespace

TEST_F(ObjectCommandsTest, NetworkObjectsKeepTheirPlanes) {
    const std::int32_t Line = Add(otLine, {{10, 10}, {50, 50}});
    const std::int32_t Junction = Add(otRoadCross, {{100, 100}});
    const std::int32_t Segment = Add(otRoadCrossLine, {{100, 100}, {200, 100}});
    Map.ClearHistory();
    EXPECT_TRUE(Map.SetObjectPlane(Line, 5));
    EXPECT_EQ(Map.ObjectByID(Line).Plane(), 5);
    EXPECT_TRUE(Map.CanUndo());
    Map.ClearHistory();
    const std::int8_t JunctionPlane = Map.ObjectByID(Junction).Plane();
    const std::int8_t SegmentPlane = Map.ObjectByID(Segment).Plane();
    EXPECT_FALSE(Map.SetObjectPlane(Junction, 3));
    EXPECT_FALSE(Map.SetObjectPlane(Segment, -3));
    EXPECT_FALSE(Map.SetObjectPlane(12345, 1)); // no such object
    EXPECT_EQ(Map.ObjectByID(Junction).Plane(), JunctionPlane);
    EXPECT_EQ(Map.ObjectByID(Segment).Plane(), SegmentPlane);
    EXPECT_FALSE(Map.CanUndo());
    Map.Undo(); // nothing to undo: the refused changes recorded nothing
    EXPECT_EQ(Map.ObjectByID(Line).Plane(), 5);
}

TEST_F(ObjectCommandsTest, AnglesTurnFromTheObjectOrFromWhatTheControlShowed) {
    const std::int32_t Text = Add(otText, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const std::int32_t Line = Add(otLine, {{0, 50}, {100, 50}});
    const float Quarter = std::numbers::pi_v<float> / 2;
    // A text keeps its angle: setting the same angle twice turns it once.
    Map.SetObjectAngle(Text, Quarter, 0.0f);
    Map.SetObjectAngle(Text, Quarter, 0.0f);
    EXPECT_NEAR(Map.ObjectByID(Text).Angle(), Quarter, 1e-6);
    EXPECT_NEAR(Map.ObjectByID(Text).Point(0).Y, 100.0f, 1e-3);
    // A line keeps none: it turns by the step from the control's last position.
    Map.SetObjectAngle(Line, Quarter, 0.0f);
    EXPECT_NEAR(Map.ObjectByID(Line).Point(0).X, 50.0f, 1e-3);
    Map.SetObjectAngle(Line, Quarter, Quarter); // the control did not move: no turn
    EXPECT_NEAR(Map.ObjectByID(Line).Point(0).X, 50.0f, 1e-3);
    EXPECT_FLOAT_EQ(Map.ObjectByID(Line).Angle(), 0.0f);
    // Each call is one step, and the box followed the points.
    EXPECT_NEAR(Map.ObjectByID(Line).LeftTop.Y, 0.0f, 1e-3);
    Map.Undo();
    Map.Undo();
    EXPECT_NEAR(Map.ObjectByID(Line).Point(0).X, 0.0f, 1e-3);
}

TEST_F(ObjectCommandsTest, PasteStyleCarriesAllButTheHouseNumbers) {
    const std::int32_t Source = Add(otPolygon, {{0, 0}, {10, 0}, {10, 10}});
    const std::int32_t Target = Add(otLine, {{50, 50}, {80, 80}});
    Map.ChangeObject(Source, [](TZemObject& O) {
        O.Pen = TZemPen{2, RGBColor(1, 2, 3), 1, 8};
        O.Brush = TZemBrush{RGBColor(4, 5, 6), 0};
        O.Font.Name = "Tahoma";
        TZemAddress A;
        A.Empty = false;
        A.Street = 2;
        A.Number = "12";
        A.Number2 = "a";
        O.SetAddress(A);
    });
    const std::vector<std::uint8_t> Before = Saved();
    ASSERT_TRUE(Map.PasteStyle(Source, Target));
    const TZemObject& T = Map.ObjectByID(Target);
    EXPECT_EQ(T.Pen, Map.ObjectByID(Source).Pen);
    EXPECT_EQ(T.Brush, Map.ObjectByID(Source).Brush);
    EXPECT_EQ(T.Font.Name, "Tahoma");
    EXPECT_EQ(T.Address().Street, 2);
    EXPECT_TRUE(T.Address().Number.empty());
    EXPECT_TRUE(T.Address().Number2.empty());
    EXPECT_FALSE(T.Address().Empty);
    EXPECT_NEAR(T.LeftTop.X, 46.0f, 1e-3); // the wider pen widened the box
    Map.Undo();
    EXPECT_EQ(Saved(), Before);

    // An address that only had house numbers is empty once they are gone.
    Map.ChangeObject(Source, [](TZemObject& O) {
        TZemAddress A;
        A.Empty = false;
        A.Number = "7";
        O.SetAddress(A);
    });
    ASSERT_TRUE(Map.PasteStyle(Source, Target));
    EXPECT_TRUE(Map.ObjectByID(Target).Address().Empty);
    // A deleted source is not looked up.
    Map.DeleteObject(Source);
    EXPECT_FALSE(Map.PasteStyle(Source, Target));
}

TEST_F(ObjectCommandsTest, LockToggleAndDisplaySwitchesAreOneStepEach) {
    const std::int32_t Line = Add(otLine, {{10, 10}, {50, 50}});
    Map.ClearHistory();
    EXPECT_TRUE(Map.ToggleLock(Line));
    EXPECT_FALSE(Map.ToggleLock(Line));
    Map.Undo();
    EXPECT_TRUE(Map.ObjectByID(Line).Lock);

    const std::int32_t Frames = Host.PresentCount;
    Map.SetNetworkDisplay(TZemNetworkDisplay{true, false, false, true});
    EXPECT_EQ(Host.PresentCount, Frames + 1); // one frame for the four switches
    EXPECT_TRUE(Map.Net.ShowTransportNet);
    EXPECT_FALSE(Map.Net.ShowTransportDirections);
    EXPECT_FALSE(Map.Net.ShowTransportCrosses);
    EXPECT_TRUE(Map.Net.ShowOnlyTransportNet);
    EXPECT_TRUE(Map.AutoUpdate());
    Map.Undo(); // the stored switches come back together
    EXPECT_FALSE(Map.Net.ShowTransportNet);
    EXPECT_TRUE(Map.Net.ShowTransportDirections);
}

TEST_F(ObjectCommandsTest, ChangeObjectKeepsTheBox) {
    const std::int32_t Line = Add(otLine, {{10, 10}, {50, 50}});
    Map.ChangeObject(Line, [](TZemObject& O) { O.Pen.Width = 10; });
    EXPECT_NEAR(Map.ObjectByID(Line).LeftTop.X, 5.0f, 1e-3);
    Map.ChangeObject(Line, [](TZemObject& O) { O.SetPoint(1, TXYPoint{90, 90}); });
    EXPECT_NEAR(Map.ObjectByID(Line).RightBottom.X, 95.0f, 1e-3);
}

TEST_F(ObjectCommandsTest, MenuFollowsTheHandleUnderThePointer) {
    const std::int32_t Line = Add(otLine, {{100, 100}, {200, 200}});
    const std::int32_t Junction = Add(otRoadCross, {{300, 300}});
    EXPECT_EQ(Map.MenuAt(5, 5), TZemMenuKind::mkNone);
    Map.Edit.CurrentObject = Line;
    EXPECT_EQ(Map.MenuAt(150, 150), TZemMenuKind::mkObject);
    Map.Edit.EditMode = 1;
    Move(200, 200); // on vertex 1's handle
    EXPECT_EQ(Map.MenuAt(201, 199), TZemMenuKind::mkVertex);
    EXPECT_EQ(Map.Edit.MenuPoint, (TPoint{201, 199}));
    Map.Edit.CurrentObject = Junction;
    EXPECT_EQ(Map.MenuAt(201, 199), TZemMenuKind::mkObject);
    Map.SetCurrentTool(tMapMove);
    EXPECT_EQ(Map.MenuAt(201, 199), TZemMenuKind::mkNone);
}

TEST_F(ObjectCommandsTest, EveryToolHasAHintThatFollowsItsState) {
    for (int T = tNone; T <= tNote; ++T) {
        Map.SetCurrentTool(static_cast<TObjectTool>(T));
        const bool Idle = T == tNone || T == tPixel || T == tBezierFill || T == tNote;
        EXPECT_EQ(Map.ToolHint().empty(), Idle) << "tool " << T;
        EXPECT_EQ(&Map.Tool(), &ToolOf(static_cast<TObjectTool>(T)));
    }
    Map.SetCurrentTool(tPolygon);
    const std::string First = Map.ToolHint();
    Click(100, 100);
    EXPECT_NE(Map.ToolHint(), First); // the next press adds a vertex, a right press completes
    Right(150, 150);
    EXPECT_EQ(Map.ToolHint(), First);
    Map.SetOption(static_cast<std::uint8_t>(Map.Doc.Option & ~(1u << moEditable)));
    EXPECT_EQ(Map.ToolHint(), "Редактирование запрещено");
}

TEST_F(ObjectCommandsTest, KeystrokesInOneFieldMergeIntoOneStep) {
    const std::int32_t A = Add(otText, {{10, 10}, {90, 10}, {90, 40}, {10, 40}});
    const std::int32_t B = Add(otLine, {{10, 60}, {90, 90}});
    Map.ClearHistory();
    Map.MarkSaved();
    auto Type = [&](std::int32_t ID, const char* Text) {
        Map.ChangeObject(
            ID, [&](TZemObject& O) { O.SetText(FromUtf8(Text)); }, "Text");
    };
    Type(A, "к"); // the saved state is the newest step's start: this step may not be widened backwards
    Type(A, "ко");
    Type(A, "кот");
    EXPECT_EQ(Map.History().Position(), 1u);
    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(A).Text(), ZemString());
    EXPECT_FALSE(Map.Modified());
    Map.Redo();
    EXPECT_EQ(Map.ObjectByID(A).Text(), FromUtf8("кот"));
    // After an undo or redo, a focus change, another object or another command, a new step begins.
    Type(A, "кот1");
    EXPECT_EQ(Map.History().Position(), 2u);
    Map.EndMerge();
    Type(A, "кот12");
    Type(B, "л");
    Map.ChangeObject(
        A, [](TZemObject& O) { O.Pen.Width = 3; }, "PenWidth");
    Type(A, "кот123");
    EXPECT_EQ(Map.History().Position(), 6u);
    // Saved in the middle of a run: the next keystroke is a step of its own, so undo reaches the file.
    Map.MarkSaved();
    Type(A, "кот1234");
    EXPECT_EQ(Map.History().Position(), 7u);
    Map.Undo();
    EXPECT_FALSE(Map.Modified());
    EXPECT_EQ(Map.ObjectByID(A).Text(), FromUtf8("кот123"));
}
