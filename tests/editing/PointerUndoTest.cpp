#include "PointerFixture.h"

#include "editing/ZemHistory.h"

#include <functional>

using namespace zem;
using namespace zem::pointertest;

namespace {

struct PointerUndoTest : PointerFixture {
    std::int32_t Line = -1, Text = -1, Ellipse = -1;
    void SetUp() override {
        Map.Net.ShowTransportNet = true;
        Line = Add(otLine, {{100, 100}, {150, 120}, {200, 150}});
        Text = Add(otText, {{250, 250}, {350, 250}, {350, 300}, {250, 300}});
        Ellipse = Add(otEllipse, {{100, 250}, {200, 330}});
        Map.SetCurrentTool(tRoadCross);
        Click(60, 350);
        Click(300, 60);
        Map.ClearHistory();
    }
    void PointAt(std::int32_t ID, std::int32_t Vertex) {
        const TPoint P = Map.WorldToScreen(Map.ObjectByID(ID).Point(Vertex));
        Move(P.X + 1, P.Y - 1);
    }
    void Tool(TObjectTool T, std::int32_t Current = -1, std::int32_t Mode = 0) {
        Map.SetCurrentTool(T);
        Map.Edit.CurrentObject = Current;
        Map.Edit.EditMode = Mode;
    }
};

// Undone, each gesture leaves the document as it found it; redone, as it left it.
TEST_F(PointerUndoTest, EveryGestureIsOneStep) {
    const std::vector<std::pair<const char*, std::function<void()>>> Gestures = {
        {"stretch",
         [&] {
             Tool(tSelectObject, Line, 0), Drag({{200, 150}, {220, 160}, {260, 190}});
         }},
        {"vertex",
         [&] {
             Tool(tSelectObject, Text, 1), Drag({{350, 300}, {370, 320}});
         }},
        {"rotate",
         [&] {
             Tool(tSelectObject, Ellipse, 2), Drag({{150, 290}, {150, 289}, {150, 288}});
         }},
        {"move",
         [&] {
             Tool(tSelectObject, Line, 1), Drag({{100, 100}, {110, 105}, {120, 120}});
         }},
        {"ctrl move",
         [&] {
             Tool(tSelectObject, Text, 0), Drag({{250, 250}, {260, 270}}, ssCtrl);
         }},
        {"add vertex",
         [&] {
             Tool(tSelectObject, Line, 1), PointAt(Line, 1); // the pointer on a vertex remembers the place
             EXPECT_TRUE(Map.AddVertexAtMenuPoint());
         }},
        {"delete vertex",
         [&] {
             Tool(tSelectObject, Line, 1), PointAt(Line, 2);
             EXPECT_TRUE(Map.DeleteVertexAtMenuPoint());
         }},
        {"polygon", [&] { Tool(tPolygon), Click(120, 200), Click(180, 200), Right(150, 230); }},
        {"junction", [&] { Tool(tRoadCross), Click(250, 150); }},
        {"segment", [&] { Tool(tRoadCrossLine), Click(60, 350), Click(200, 200), Right(300, 60); }},
        {"text", [&] { Tool(tText), Click(40, 40), Move(80, 60), Right(80, 60); }},
        {"route point", [&] { Tool(tRoadPoint), Click(210, 210); }},
        {"route clear", [&] { Tool(tRoadPoint), Right(210, 210); }},
    };
    Host.TextAnswers.push_back(TZemTextAnswer{"А", 0, "Arial", 20, 0});
    for (const auto& [Name, Gesture] : Gestures) {
        SCOPED_TRACE(Name);
        const std::vector<std::uint8_t> Before = Map.SaveToBytes();
        const std::size_t Steps = Map.History().Position();
        Gesture();
        EXPECT_FALSE(Map.History().StepOpen());
        EXPECT_EQ(Map.History().Position(), Steps + 1);
        const std::vector<std::uint8_t> After = Map.SaveToBytes();
        Map.KeyDown(vk::KeyZ, ssCtrl);
        EXPECT_EQ(Map.SaveToBytes(), Before);
        Map.KeyDown(vk::KeyZ, ssCtrl | ssShift);
        EXPECT_EQ(Map.SaveToBytes(), After);
        Map.KeyDown(vk::KeyZ, ssCtrl);
        Map.KeyDown(vk::KeyY, ssCtrl);
        EXPECT_EQ(Map.SaveToBytes(), After);
        Map.KeyUp(vk::KeyY, 0); // Ctrl let go, or the next drag would move the object
    }
}

TEST_F(PointerUndoTest, ClicksRecordNothingAndEscapeClosesTheStepOfADrag) {
    Tool(tSelectObject, Line, 0);
    Click(150, 120);
    Click(300, 300);
    Tool(tPolygon);
    Click(120, 200); // a half-built object is not in the document
    EXPECT_FALSE(Map.CanUndo());
    Tool(tSelectObject, Line, 0);
    Move(200, 150);
    Press(200, 150);
    Move(240, 170);
    Map.KeyDown(vk::Escape, 0);
    EXPECT_FALSE(Map.History().StepOpen());
    Move(260, 190); // the drag is over: nothing follows the pointer any more
    Release(260, 190);
    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(Line).Point(2), (TXYPoint{200, 150}));
    EXPECT_FALSE(Map.CanUndo());
}

} // namespace
