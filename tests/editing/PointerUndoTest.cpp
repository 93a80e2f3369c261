#include "PointerFixture.h"

#include "editing/ZemHistory.h"

#include <functional>

using namespace zem;
using namespace zem::pointertest;

namespace {

struct PointerUndoTest : PointerFixture {
    std::int32_t Line = -1, Text = -1, Ellipse = -1, J1 = -1, J2 = -1;
    void SetUp() override {
        Map.Net.ShowTransportNet = true;
        Line = Add(otLine, {{100, 100}, {150, 120}, {200, 150}});
        Text = Add(otText, {{250, 250}, {350, 250}, {350, 300}, {250, 300}});
        Ellipse = Add(otEllipse, {{100, 250}, {200, 330}});
        Map.SetCurrentTool(tRoadCross);
        Click(60, 350);
        Click(300, 60);
        J1 = Map.Doc.Order[3];
        J2 = Map.Doc.Order[4];
        Map.SetCurrentTool(tSelectObject);
        Map.ClearHistory();
    }
    void Select(std::int32_t ID, std::int32_t Mode) {
        Map.Edit.CurrentObject = ID;
        Map.Edit.EditMode = Mode;
    }
};

// Each gesture is one step: undone, the document is as before; redone, as after.
TEST_F(PointerUndoTest, EveryGestureIsOneStepBackToWhereItStarted) {
    const std::vector<std::pair<const char*, std::function<void()>>> Gestures = {
        {"stretch",
         [&] {
             Select(Line, 0), Drag({{200, 150}, {220, 160}, {260, 190}});
         }},
        {"vertex",
         [&] {
             Select(Text, 1), Drag({{350, 300}, {360, 310}, {370, 320}});
         }},
        {"rotate",
         [&] {
             Select(Ellipse, 2), Drag({{150, 290}, {150, 289}, {150, 288}});
         }},
        {"move",
         [&] {
             Select(Line, 1), Drag({{150, 120}, {160, 125}, {170, 140}});
         }},
        {"ctrl-move",
         [&] {
             Select(Text, 0), Drag({{250, 250}, {260, 270}}, ssCtrl), Map.KeyUp(vk::Tab, 0);
         }},
        {"polygon",
         [&] { Map.SetCurrentTool(tPolygon), Click(120, 200), Click(180, 200), RightClick(150, 230); }},
        {"junction", [&] { Map.SetCurrentTool(tRoadCross), Click(250, 150); }},
        {"segment",
         [&] { Map.SetCurrentTool(tRoadCrossLine), Click(60, 350), Click(200, 200), RightClick(300, 60); }},
        {"text",
         [&] {
             Host.TextAnswers.push_back(TZemTextAnswer{"А", 0, "Arial", 20, 0});
             Map.SetCurrentTool(tText), Click(40, 40), RightClick(80, 60);
         }},
        {"route point", [&] { Map.SetCurrentTool(tRoadPoint), Click(210, 210); }},
        {"route clear", [&] { Map.SetCurrentTool(tRoadPoint), RightClick(210, 210); }},
    };
    for (const auto& [Name, Gesture] : Gestures) {
        SCOPED_TRACE(Name);
        const std::vector<std::uint8_t> Before = Map.SaveToBytes();
        const std::size_t Steps = Map.History().Position();
        Gesture();
        Map.SetCurrentTool(tSelectObject);
        EXPECT_FALSE(Map.History().StepOpen());
        EXPECT_EQ(Map.History().Position(), Steps + 1);
        const std::vector<std::uint8_t> After = Map.SaveToBytes();
        EXPECT_NE(After, Before);
        Map.KeyDown(vk::KeyZ, ssCtrl);
        EXPECT_EQ(Map.SaveToBytes(), Before);
        Map.KeyDown(vk::KeyZ, ssCtrl | ssShift);
        EXPECT_EQ(Map.SaveToBytes(), After);
        Map.KeyDown(vk::KeyZ, ssCtrl);
        Map.KeyDown(vk::KeyY, ssCtrl);
        Map.KeyUp(vk::KeyY, 0); // Ctrl let go, or the next drag would move
        EXPECT_EQ(Map.SaveToBytes(), After);
    }
}

TEST_F(PointerUndoTest, ClicksRecordNothingAndEscapeClosesTheStepOfADrag) {
    Select(Line, 0);
    Click(150, 120);
    Click(300, 300);
    Map.SetCurrentTool(tPolygon);
    Click(120, 200); // a half-built object is not in the document
    EXPECT_FALSE(Map.CanUndo());

    Map.SetCurrentTool(tSelectObject);
    Select(Line, 0);
    Move(200, 150);
    Press(200, 150);
    Move(240, 170);
    Map.KeyDown(vk::Escape, 0);
    EXPECT_FALSE(Map.History().StepOpen());
    Move(260, 190); // the drag is over: nothing follows the pointer any more
    Release(260, 190);
    EXPECT_EQ(Map.History().Position(), 1u);
    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(Line).Point(2), (TXYPoint{200, 150}));
}

} // namespace
