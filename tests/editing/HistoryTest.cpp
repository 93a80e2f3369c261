#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace zem;

namespace {

using TBytes = std::vector<std::uint8_t>;

// Where two files first differ, for a readable failure; -1 when equal.
long long FirstDifference(const TBytes& A, const TBytes& B) {
    for (size_t i = 0; i < std::min(A.size(), B.size()); ++i)
        if (A[i] != B[i])
            return static_cast<long long>(i);
    return A.size() == B.size() ? -1 : static_cast<long long>(std::min(A.size(), B.size()));
}

struct HistoryFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};
    std::vector<bool> ModifiedEvents;
    int HistoryEvents = 0;

    HistoryFixture() {
        Map.OnModifiedChange = [this](TZemMap&, bool M) { ModifiedEvents.push_back(M); };
        Map.OnHistoryChange = [this](TZemMap&) { ++HistoryEvents; };
    }

    std::int32_t AddShape(TObjectKind Kind, float X, float Y, std::int32_t Points = 4) {
        TZemObject T;
        T.Kind = Kind;
        for (std::int32_t i = 0; i < Points; ++i)
            T.AddPoint(X + static_cast<float>(i % 2) * 10, Y + static_cast<float>(i / 2) * 10);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }

    std::int32_t AddJunction(float X, float Y) { return AddShape(otRoadCross, X, Y, 1); }

    std::int32_t AddSegment(std::int32_t From, std::int32_t To) {
        TZemObject T;
        T.Kind = otRoadCrossLine;
        T.StartCrossID = From;
        T.EndCrossID = To;
        T.SetDirection(0);
        T.AddPoint(Map.ObjectByID(From).Point(0));
        T.AddPoint(Map.ObjectByID(To).Point(0));
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }

    // Runs a command, then checks that one undo gives the file before it and one redo the file after it.
    void ExpectOneStep(const std::function<void()>& Command) {
        const TBytes Before = Map.SaveToBytes();
        const std::size_t Steps = Map.History().Position();
        Command();
        EXPECT_EQ(Map.History().Position(), Steps + 1);
        const TBytes After = Map.SaveToBytes();
        ASSERT_NE(Before, After);
        ASSERT_TRUE(Map.CanUndo());
        const std::string Name = Map.History().UndoName(); // what "Отменить" in the menu says
        EXPECT_FALSE(Name.empty());
        Map.Undo();
        EXPECT_EQ(Map.History().RedoName(), Name);
        EXPECT_EQ(FirstDifference(Map.SaveToBytes(), Before), -1);
        ASSERT_TRUE(Map.CanRedo());
        Map.Redo();
        EXPECT_EQ(FirstDifference(Map.SaveToBytes(), After), -1);
        EXPECT_FALSE(Map.CanRedo());
    }
};

TEST_F(HistoryFixture, EveryDocumentCommandUndoesAndRedoesToTheSameFile) {
    const std::int32_t A = AddShape(otPolygon, 0, 0);
    const std::int32_t B = AddShape(otLine, 50, 50);
    const std::int32_t C = AddShape(otEllipse, -20, 30, 2);
    ExpectOneStep([&] { AddShape(otPolygon, -100, -100); }); // also grows the saved world extent
    ExpectOneStep([&] { Map.DeleteObject(B); });
    ExpectOneStep([&] { Map.DuplicateObject(A); });
    ExpectOneStep([&] { Map.BringToFront(A); });
    ExpectOneStep([&] { Map.SendToBack(A); });
    ExpectOneStep([&] { Map.LockAll(); });
    ExpectOneStep([&] { Map.SetBackColor(RGBColor(1, 2, 3)); });
    ExpectOneStep([&] { Map.SetMeasureStr("km"); });
    ExpectOneStep([&] { Map.ChangeObject(C, [](TZemObject& O) { O.SetBlink(true); }); });
}

// A step is called by the first name given while it is open: the outermost operation's.
TEST_F(HistoryFixture, StepsAreNamedByTheirOutermostOperation) {
    const std::int32_t A = AddShape(otPolygon, 0, 0);
    EXPECT_EQ(Map.History().UndoName(), "добавление объекта");
    Map.DuplicateObject(A);
    EXPECT_EQ(Map.History().UndoName(), "дублирование объекта");
    Map.ChangeObject(
        A, [](TZemObject& O) { O.Pen.Width = 3; }, "PenWidth");
    EXPECT_EQ(Map.History().UndoName(), "толщина линии");
    {
        TZemChange Step(Map);
        Map.SetBackColor(RGBColor(1, 2, 3));
        Map.DeleteObject(A);
    }
    EXPECT_EQ(Map.History().UndoName(), "настройки карты");
    Map.Undo();
    EXPECT_EQ(Map.History().RedoName(), "настройки карты");
    EXPECT_EQ(Map.History().UndoName(), "толщина линии");
}

TEST_F(HistoryFixture, UndoForgetsTheCurrentObjectItRemoves) {
    ExpectOneStep([&] { AddShape(otPolygon, 0, 0); });
    Map.Edit.CurrentObject = Map.Doc.MaxID - 1;
    Map.Undo();
    EXPECT_EQ(Map.CurrentObject(), -1);
    EXPECT_EQ(Map.Count(), 0);
    EXPECT_EQ(Map.Doc.Order.Count(), 0);
    EXPECT_EQ(Map.Doc.MaxID, 0); // the ID is free again, as if the add had never been
    Map.Redo();
    EXPECT_EQ(Map.Count(), 1);
}

TEST_F(HistoryFixture, NetworkCommandsAreOneStepEach) {
    const std::int32_t J1 = AddJunction(0, 0), J2 = AddJunction(100, 0), J3 = AddJunction(0, 100);
    // Self-loops among good segments: deleting them one after another must still undo to the old order.
    AddSegment(J1, J1);
    AddSegment(J1, J2);
    AddSegment(J2, J2);
    AddSegment(J2, J3);
    AddSegment(J3, J3);
    AddShape(otLine, 10, 10, 3);
    Map.Doc.TransportTypes = {"A", "B"};
    ExpectOneStep([&] { Map.CheckNetwork(); });
    EXPECT_EQ(Host.Messages.back(), "Удалено 3 записей!");
    ExpectOneStep([&] { Map.ConvertUndefinedRoutes(1, "7"); });
    ExpectOneStep([&] { Map.SetRouteColor(1, "7", RGBColor(9, 9, 9)); });
    ExpectOneStep([&] { Map.PlaceJunctionsOnLines(TZemMap::jpAll); });
    // Four steps back, all the way to the map as drawn.
    const std::size_t Steps = Map.History().Position();
    for (int i = 0; i < 4; ++i)
        Map.Undo();
    EXPECT_EQ(Map.History().Position(), Steps - 4);
    EXPECT_EQ(Map.Count(), 9);
}

TEST_F(HistoryFixture, NestedStepsAndChangeObjectRecordOneStepEach) {
    const std::int32_t A = AddShape(otPolygon, 0, 0);
    const std::int32_t Z = AddShape(otPolygon, 30, 0);
    const std::int32_t Y = AddShape(otLine, 60, 0);
    const std::size_t Before = Map.History().Position();
    const TBytes File = Map.SaveToBytes();
    Map.BeginChange();
    // Adds before and between changes of stored objects: every place must still refer to the start.
    AddShape(otLine, 5, 5);
    Map.SendToBack(Y);
    AddShape(otLine, 8, 8);
    Map.DeleteObject(Z);
    Map.ChangeObject(A, [](TZemObject& O) { O.Pen.Width = 7; });
    Map.TouchRoutePoints();
    Map.Net.RoutePoints.Add(TXYPoint{1, 2});
    Map.TouchDirectories();
    Map.Doc.Streets.push_back("Main");
    EXPECT_EQ(Map.History().Position(), Before); // nothing recorded while the outer step is open
    Map.EndChange();
    EXPECT_EQ(Map.History().Position(), Before + 1);
    Map.Undo();
    EXPECT_EQ(FirstDifference(Map.SaveToBytes(), File), -1);
    EXPECT_TRUE(Map.Doc.Streets.empty());

    // A step that changes nothing is not recorded.
    Map.Redo();
    const std::size_t Now = Map.History().Position();
    Map.ChangeObject(A, [](TZemObject&) {});
    Map.SetBackColor(Map.Doc.BackColor);
    EXPECT_EQ(Map.History().Position(), Now);

    // However many setters a change calls, it is shown in one frame.
    const int Frames = Host.PresentCount;
    Map.ChangeObject(A, [](TZemObject& O) {
        O.SetPlane(3);
        O.SetText("x");
        O.SetHeight3D(2);
    });
    EXPECT_EQ(Host.PresentCount, Frames + 1);
    EXPECT_TRUE(Map.View.AutoUpdate);
}

TEST_F(HistoryFixture, ANewStepAfterUndoDropsTheRedoBranch) {
    AddShape(otPolygon, 0, 0);
    AddShape(otPolygon, 20, 0);
    Map.Undo();
    EXPECT_TRUE(Map.CanRedo());
    AddShape(otLine, 40, 0);
    EXPECT_FALSE(Map.CanRedo());
    EXPECT_EQ(Map.History().StepCount(), 2u);
    Map.Undo();
    Map.Undo();
    EXPECT_EQ(Map.Count(), 0);
    EXPECT_FALSE(Map.CanUndo());
}

TEST_F(HistoryFixture, ThousandsOfStepsAreKeptAndUndone) {
    const TBytes File = Map.SaveToBytes();
    constexpr int kSteps = 1500;
    for (int i = 0; i < kSteps; ++i)
        Map.SetDirectLineX(100 + i);
    EXPECT_EQ(Map.History().StepCount(), static_cast<std::size_t>(kSteps));
    while (Map.CanUndo())
        Map.Undo();
    EXPECT_EQ(FirstDifference(Map.SaveToBytes(), File), -1);
    EXPECT_FALSE(Map.Modified());
}

TEST_F(HistoryFixture, TheBudgetDropsTheOldestStepsAndTheSavedStateWithThem) {
    Map.History().SetBudget(64 * 1024);
    for (int i = 0; i < 40; ++i)
        AddShape(otLine, static_cast<float>(i), 0, 500); // about 4 KB of points each
    const std::size_t Kept = Map.History().StepCount();
    EXPECT_LT(Kept, 40u);
    EXPECT_GT(Kept, 1u);
    EXPECT_LE(Map.History().Bytes(), Map.History().Budget());
    while (Map.CanUndo())
        Map.Undo();
    // The oldest adds are beyond reach, so the document never becomes clean again.
    EXPECT_EQ(Map.Count(), static_cast<std::int32_t>(40 - Kept));
    EXPECT_TRUE(Map.Modified());
    // One step larger than the whole budget is still kept.
    while (Map.CanRedo())
        Map.Redo();
    Map.History().SetBudget(1);
    EXPECT_EQ(Map.History().StepCount(), 1u);
    EXPECT_TRUE(Map.CanUndo());
}

TEST_F(HistoryFixture, TheModifiedFlagFollowsTheHistory) {
    const std::string Path = (std::filesystem::temp_directory_path() / "zem-history-test.mp").string();
    AddShape(otPolygon, 0, 0);
    EXPECT_TRUE(Map.Modified());
    EXPECT_EQ(ModifiedEvents, std::vector<bool>{true});
    Map.SaveToFile(Path);
    EXPECT_FALSE(Map.Modified());
    AddShape(otPolygon, 20, 0); // modified
    AddShape(otPolygon, 40, 0); // still modified: no event
    EXPECT_EQ(ModifiedEvents, (std::vector<bool>{true, false, true}));
    Map.Undo();
    Map.Undo(); // back at the saved state
    EXPECT_FALSE(Map.Modified());
    Map.Redo();
    EXPECT_TRUE(Map.Modified());
    Map.Undo();
    Map.Undo(); // before the save
    EXPECT_TRUE(Map.Modified());
    Map.Redo();
    EXPECT_FALSE(Map.Modified());
    // A saved state in a dropped redo branch can never come back.
    Map.Undo();
    AddShape(otLine, 0, 0);
    EXPECT_TRUE(Map.Modified());
    Map.Undo();
    Map.Redo();
    EXPECT_TRUE(Map.Modified());
    // Loading starts clean, with an empty history.
    ASSERT_TRUE(Map.LoadFromFile(Path));
    EXPECT_FALSE(Map.Modified());
    EXPECT_FALSE(Map.CanUndo());
    EXPECT_FALSE(Map.CanRedo());
    EXPECT_FALSE(ModifiedEvents.back());
    // So does "Новый".
    AddShape(otPolygon, 0, 0);
    Map.Clear();
    EXPECT_FALSE(Map.Modified());
    EXPECT_FALSE(Map.CanUndo());
    std::remove(Path.c_str());
}

TEST_F(HistoryFixture, UndoClosesAnOpenStepFirst) {
    AddShape(otPolygon, 0, 0);
    const TBytes File = Map.SaveToBytes();
    Map.BeginChange();
    Map.BeginChange();
    const std::int32_t B = AddShape(otLine, 5, 5);
    Map.Edit.Dragging = true;
    Map.Undo(); // takes back the open step's add, not the earlier one
    EXPECT_FALSE(Map.ObjectExists(B));
    EXPECT_EQ(FirstDifference(Map.SaveToBytes(), File), -1);
    EXPECT_FALSE(Map.Edit.Dragging);
    Map.EndChange(); // the gesture's own ends find nothing open
    Map.EndChange();
    EXPECT_TRUE(Map.CanRedo());
    Map.BeginChange();
    AddShape(otLine, 9, 9);
    Map.EndChange();
    EXPECT_FALSE(Map.CanRedo());
    EXPECT_EQ(Map.Count(), 2);
}

TEST_F(HistoryFixture, AChangeOutsideAnyStepLeavesTheMapModified) {
    const std::int32_t A = AddShape(otPolygon, 0, 0);
    Map.MarkSaved();
    Map.TouchObject(A);
    Map.ObjectByID(A).Lock = true;
    EXPECT_TRUE(Map.Modified());
    EXPECT_TRUE(ModifiedEvents.back());
}

TEST(ObjectClone, CopiesEveryFieldExactly) {
    TZemObject O;
    O.Kind = otText;
    O.ID = 17;
    O.Reserved = 3;
    O.Visible = false;
    O.Pen.Color = 11;
    O.Font.Name = "Arial";
    O.SetBlink(true); // saves the colours
    O.Pen.Color = 12;
    O.SetText("txt");
    O.SetCategory(2);
    O.SetAngle(-0.0f);
    O.AddPoint(1, 2);
    O.LeftTop = TXYPoint{-5, -6};
    const auto C = O.Clone();
    EXPECT_TRUE(C->SameState(O));
    EXPECT_EQ(C->SavedPenColor(), 11);
    EXPECT_EQ(C->Owner, nullptr);
    C->SetAngle(0.0f); // equal as numbers, not as stored bits
    EXPECT_FALSE(C->SameState(O));
}

} // namespace
