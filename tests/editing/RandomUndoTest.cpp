// Undo and redo under random sequences of edits on the sample city: gestures of every tool, handle drags,
// object and setting commands, network commands, with undo and redo falling anywhere, also mid-gesture.
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace zem;

namespace {

const std::string kSample = std::string(ZEM_SOURCE_DIR) + "/samples/Карта города.mp";

// Seeds that found a fault, kept beside the running range: 107 and 111 moved an object after an undo in
// the middle of its drag without recording the move.
const std::vector<std::uint32_t> kFoundSeeds = {107, 111};
constexpr std::uint32_t kRandomSequences = 20;

class TRandomEdits {
public:
    explicit TRandomEdits(std::uint32_t Seed) : FRandom(Seed) {}

    HeadlessHost Host{480, 360};
    TZemMap Map{Host};

    void Load() {
        ASSERT_TRUE(Map.LoadFromFile(kSample));
        Map.Net.ShowTransportNet = true;
        // Close enough that handles and vertices are apart, on the middle of the city.
        const TXYPoint C{(Map.View.GlobalLeftTop.X + Map.View.GlobalWidthHeight.X / 2),
                         (Map.View.GlobalLeftTop.Y + Map.View.GlobalWidthHeight.Y / 2)};
        Map.SetView(C, 100.0f);
        Map.ClearHistory();
        Map.MarkSaved();
        FScale = Map.View.Scale;
        FLeftTop = Map.View.LeftTop;
        Host.TextAnswers.clear();
    }

    // The file as saved, with the view put back where it was: scale and position are not undoable.
    std::vector<std::uint8_t> Saved() {
        const float Scale = Map.View.Scale;
        const TXYPoint LeftTop = Map.View.LeftTop;
        Map.View.Scale = FScale;
        Map.View.LeftTop = FLeftTop;
        std::vector<std::uint8_t> Bytes = Map.SaveToBytes();
        Map.View.Scale = Scale;
        Map.View.LeftTop = LeftTop;
        return Bytes;
    }

    int Int(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(FRandom); }
    bool Chance(int Percent) { return Int(1, 100) <= Percent; }
    TPoint AnyPoint() { return TPoint{Int(25, Map.Width() - 26), Int(25, Map.Height() - 26)}; }

    // A visible object that a pointer can reach, or -1.
    std::int32_t VisibleObject() {
        const auto& List = Map.View.VisibleList;
        return List.Count() > 0 ? List[Int(0, List.Count() - 1)] : -1;
    }

    TPoint Near(const TXYPoint& W) {
        const TPoint P = Map.WorldToScreen(W);
        return TPoint{std::clamp(P.X, 25, Map.Width() - 26), std::clamp(P.Y, 25, Map.Height() - 26)};
    }

    // Undo or redo now and then, as a key or a menu would do it, between the messages of a gesture too.
    void MaybeHistory() {
        if (Chance(4))
            Map.Undo();
        else if (Chance(3))
            Map.Redo();
    }

    void Move(const TPoint& P) {
        Map.MouseMove(0, P.X, P.Y);
        MaybeHistory();
    }
    void Press(const TPoint& P) {
        Map.MouseDown(TZemMouseButton::mbLeft, 0, P.X, P.Y);
        MaybeHistory();
    }
    void Release(const TPoint& P) { Map.MouseUp(TZemMouseButton::mbLeft, 0, P.X, P.Y); }
    void Click(const TPoint& P) {
        Move(P);
        Press(P);
        Release(P);
    }
    void Right(const TPoint& P) {
        Move(P);
        Map.MouseDown(TZemMouseButton::mbRight, 0, P.X, P.Y);
    }

    // A drag of the current object by the selection tool: its body, a box handle, a vertex or rotation.
    void SelectDrag() {
        const std::int32_t ID = VisibleObject();
        if (ID < 0)
            return;
        Map.SetCurrentTool(tSelectObject);
        Map.Edit.CurrentObject = ID;
        Map.Edit.EditMode = Int(0, 2);
        const TZemObject& O = Map.ObjectByID(ID);
        TPoint From;
        switch (Int(0, 2)) {
        case 0:
            From = Near(O.Point(Int(0, O.PointCount() - 1)));
            break;
        case 1:
            From = Near(Int(0, 1) ? O.LeftTop : O.RightBottom);
            break;
        default:
            From = Near(TXYPoint{(O.LeftTop.X + O.RightBottom.X) / 2, (O.LeftTop.Y + O.RightBottom.Y) / 2});
        }
        Move(From);
        Press(From);
        TPoint At = From;
        for (int i = Int(1, 4); i > 0; --i) {
            At = TPoint{At.X + Int(-30, 30), At.Y + Int(-30, 30)};
            Move(At);
        }
        Release(At);
    }

    void Create(TObjectTool Tool, int Points) {
        Map.SetCurrentTool(Tool);
        for (int i = 0; i < Points; ++i)
            Click(AnyPoint());
        Right(AnyPoint());
    }

    void CreateText() {
        Host.TextAnswers.push_back(TZemTextAnswer{"Дом " + std::to_string(Int(1, 99)), Int(0, 3599), "Arial",
                                                  Int(8, 40), static_cast<std::uint8_t>(Int(0, 15))});
        Create(tText, 1);
        Host.TextAnswers.clear();
    }

    void Segment() {
        std::vector<std::int32_t> Junctions;
        for (std::int32_t ID : Map.View.VisibleList)
            if (Map.ObjectByID(ID).Kind == otRoadCross)
                Junctions.push_back(ID);
        if (Junctions.size() < 2)
            return;
        Map.SetCurrentTool(tRoadCrossLine);
        const TZemObject& A = Map.ObjectByID(Junctions[Int(0, static_cast<int>(Junctions.size()) - 1)]);
        const TZemObject& B = Map.ObjectByID(Junctions[Int(0, static_cast<int>(Junctions.size()) - 1)]);
        Click(Map.WorldToScreen(A.Point(0)));
        if (Chance(50))
            Click(AnyPoint());
        Right(Map.WorldToScreen(B.Point(0)));
    }

    void Command() {
        const std::int32_t ID = VisibleObject();
        const std::int32_t Other = VisibleObject();
        switch (Int(0, 13)) {
        case 0:
            if (ID >= 0) {
                Map.Edit.CurrentObject = ID;
                Map.KeyDown(vk::Delete, 0);
            }
            break;
        case 1:
            if (ID >= 0) {
                TZemChange Step(Map);
                Map.DuplicateObject(ID);
            }
            break;
        case 2:
            if (ID >= 0) {
                TZemChange Step(Map);
                Int(0, 1) ? Map.BringToFront(ID) : Map.SendToBack(ID);
            }
            break;
        case 3:
            if (ID >= 0)
                Map.ToggleLock(ID);
            break;
        case 4:
            if (ID >= 0)
                Map.SetObjectPlane(ID, static_cast<std::int8_t>(Int(0, 5)));
            break;
        case 5:
            if (ID >= 0)
                Map.SetObjectAngle(ID, static_cast<float>(Int(0, 628)) / 100.0f, 0.0f);
            break;
        case 6:
            if (ID >= 0 && Other >= 0)
                Map.PasteStyle(ID, Other);
            break;
        case 7:
            Map.SetShowGrid(!Map.Doc.ShowGrid);
            break;
        case 8:
            Map.SetBackColor(static_cast<TColor>(Int(0, 0xFFFFFF)));
            break;
        case 9:
            Map.SetOption(static_cast<std::uint8_t>(Map.Doc.Option ^ (1u << moShow3D)));
            break;
        case 10:
            Map.SetPseudo3DAngle(static_cast<float>(Int(0, 90)));
            break;
        case 11:
            Map.SetNetworkDisplay(TZemNetworkDisplay{true, Chance(50), Chance(50), false});
            break;
        case 12:
            if (ID >= 0)
                Map.ChangeObject(ID, [this](TZemObject& O) { O.Pen.Width = Int(1, 6); });
            break;
        default:
            Map.SetShowUndefinedRoutes(!Map.Net.ShowUndefinedRoutes);
            break;
        }
    }

    void Step() {
        switch (Int(0, 13)) {
        case 0:
        case 1:
        case 2:
        case 3:
            SelectDrag();
            break;
        case 4:
            Create(tLine, Int(1, 4));
            break;
        case 5:
            Create(Int(0, 1) ? tPolygon : tBezier, Int(2, 5));
            break;
        case 6:
            Create(Int(0, 1) ? tRectangle : tEllipse, 1);
            break;
        case 7:
            CreateText();
            break;
        case 8:
            Map.SetCurrentTool(tRoadCross);
            Click(AnyPoint());
            break;
        case 9:
            Segment();
            break;
        case 10:
            Map.SetCurrentTool(tRoadPoint);
            Chance(70) ? Click(AnyPoint()) : Right(AnyPoint());
            break;
        case 11:
        case 12:
            Command();
            break;
        default:
            Chance(60) ? Map.Undo() : Map.Redo();
            break;
        }
    }

private:
    std::mt19937 FRandom;
    float FScale = 100.0f;
    TXYPoint FLeftTop;
};

void RunSequence(std::uint32_t Seed) {
    SCOPED_TRACE("seed " + std::to_string(Seed));
    TRandomEdits R(Seed);
    R.Load();
    if (::testing::Test::HasFatalFailure())
        return;
    const std::vector<std::uint8_t> Start = R.Saved();
    const int Count = R.Int(30, 100);
    for (int i = 0; i < Count; ++i) {
        R.Step();
        // The title's "*" and the question on closing rest on this: clean means the file is unchanged.
        if (!R.Map.Modified() && R.Saved() != Start) {
            ADD_FAILURE() << "clean but changed after operation " << i;
            return;
        }
        if (R.Map.History().StepOpen() && !R.Map.Edit.Creating) {
            ADD_FAILURE() << "a step left open after operation " << i;
            return;
        }
    }
    R.Map.SetCurrentTool(tSelectObject); // ends what a creating tool was building
    while (R.Map.CanRedo())
        R.Map.Redo();
    const std::vector<std::uint8_t> End = R.Saved();
    while (R.Map.CanUndo())
        R.Map.Undo();
    EXPECT_FALSE(R.Map.Modified());
    EXPECT_TRUE(R.Saved() == Start) << "undoing everything does not give the start";
    while (R.Map.CanRedo())
        R.Map.Redo();
    EXPECT_TRUE(R.Saved() == End) << "redoing everything does not give the end";
    EXPECT_EQ(R.Map.Modified(), R.Map.History().Position() > 0);
}

TEST(RandomUndoTest, FoundSeeds) {
    for (std::uint32_t Seed : kFoundSeeds)
        RunSequence(Seed);
}

TEST(RandomUndoTest, ManySequencesUndoToTheStartAndRedoToTheEnd) {
    for (std::uint32_t Seed = 1; Seed <= kRandomSequences; ++Seed)
        RunSequence(Seed);
}

} // namespace
