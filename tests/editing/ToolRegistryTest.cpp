// The registry of tools: every tool found by its own row, the tool bar's groups whole, and the state a
// tool keeps belonging to one map.
#include "PointerFixture.h"
#include "editing/ZemToolRegistry.h"
#include "editing/ZemTools.h"

#include <set>

using namespace zem;
using namespace zem::pointertest;

namespace {

TEST(ToolRegistry, EveryToolHasItsRowAndEachGroupStandsTogether) {
    for (std::size_t T = 0; T < kToolCount; ++T) {
        const auto Tool = static_cast<TObjectTool>(T);
        EXPECT_EQ(ToolRow(Tool).Key(), Tool);
        EXPECT_EQ(&ToolOf(Tool), ToolRow(Tool).Tool);
    }
    EXPECT_EQ(ToolRow(static_cast<TObjectTool>(kToolCount)).Key(), tNone);
    // A group that came back after another would give the tool bar a second separator for it.
    std::set<TZemToolGroup> Ended;
    TZemToolGroup Group = ToolRows()[0].Group;
    std::set<std::string> Icons;
    for (const TZemToolRow& R : ToolRows()) {
        if (R.Group != Group) {
            Ended.insert(Group);
            EXPECT_FALSE(Ended.contains(R.Group)) << R.Icon;
            Group = R.Group;
        }
        if (R.Icon) {
            EXPECT_TRUE(Icons.insert(R.Icon).second) << R.Icon;
        }
    }
    EXPECT_EQ(ToolRow(tMeasure).Cursor, crMeasure);
    EXPECT_EQ(ToolRow(tSelectObject).Cursor, -1);
}

using ToolStateTest = PointerFixture;

TEST_F(ToolStateTest, EachMapKeepsItsOwnToolStateAndAClearedMapDropsTheMeasurement) {
    HeadlessHost OtherHost;
    TZemMap Other{OtherHost};
    Map.SetCurrentTool(tMeasure);
    Click(50, 50);
    Click(80, 90);
    EXPECT_EQ(Map.Edit.MeasurePoints.Count(), 2);
    EXPECT_TRUE(Other.Edit.MeasurePoints.Empty());
    Map.SetCurrentTool(tSelectRect);
    Drag({{40, 30}, {90, 60}, {120, 130}});
    EXPECT_EQ(Map.Edit.SelectionRect, (TRect{40, 30, 120, 130}));
    EXPECT_NE(Other.Edit.SelectionRect, Map.Edit.SelectionRect);
    EXPECT_EQ(Map.Edit.MeasurePoints.Count(), 2); // the rubber band's press left the measurement be
    Map.SetCurrentTool(tSelectObject);
    Click(200, 200);
    EXPECT_TRUE(Map.Edit.MeasurePoints.Empty()); // another tool's press ended it
    Map.SetCurrentTool(tMeasure);
    Click(50, 50);
    Map.Clear();
    EXPECT_TRUE(Map.Edit.MeasurePoints.Empty());
    EXPECT_EQ(Map.ToolHint(), "Щелчок — начало измерения");
}

TEST_F(ToolStateTest, LeavingTheRubberBandMidDragGivesTheMouseBack) {
    Map.SetCurrentTool(tSelectRect);
    Move(40, 30);
    Press(40, 30);
    EXPECT_TRUE(Host.Captured);
    Map.SetCurrentTool(tMapMove);
    EXPECT_FALSE(Host.Captured);
    EXPECT_FALSE(Map.Edit.Dragging);
}

} // namespace
