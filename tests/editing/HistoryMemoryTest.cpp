// The history's own memory: object images, step images and the chunked log that holds them.
#include "editing/ZemHistory.h"
#include "model/ZemStatePack.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace zem;

namespace {

std::unique_ptr<TZemObject> RandomObject(std::mt19937& Rng) {
    auto O = std::make_unique<TZemObject>();
    auto Int = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    auto Real = [&] { return std::uniform_real_distribution<float>(-1e6f, 1e6f)(Rng); };
    auto Text = [&] {
        return ZemString(static_cast<std::size_t>(Int(0, 40)), static_cast<char>(Int(1, 255)));
    };
    O->Kind = static_cast<TObjectKind>(Int(0, 10));
    O->Lock = Int(0, 1);
    O->Visible = Int(0, 1);
    O->ID = Int(-5, 1 << 30);
    O->Reserved = Int(-9, 9);
    O->BitmapIndex = Int(-1, 5);
    O->StartCrossID = Int(-1, 100);
    O->EndCrossID = Int(-1, 100);
    O->Pen = TZemPen{static_cast<std::uint8_t>(Int(0, 3)), Int(0, 1 << 24), Int(0, 1), Int(0, 50)};
    O->Brush = TZemBrush{Int(0, 1 << 24), static_cast<std::uint8_t>(Int(0, 7))};
    O->Font.Name = Text();
    O->Font.Size = Int(1, 99);
    O->Font.Style = static_cast<std::uint8_t>(Int(0, 15));
    O->Font.Color = Int(0, 1 << 24);
    O->SetText(Text());
    O->SetAngle(Real());
    O->SetHeight3D(Real());
    O->SetCtl3D(Int(0, 1));
    O->SetPlane(static_cast<std::int8_t>(Int(-128, 127)));
    O->SetIconIndex(Int(-1, 9));
    O->SetDirection(static_cast<std::uint8_t>(Int(0, 255)));
    O->SetTransportType(Int(-1, 9));
    O->SetCategory(Int(-1, 9));
    O->SetBlinkInterval(Int(1, 2000));
    O->SetBlink(Int(0, 1));
    TZemAddress A;
    A.Empty = Int(0, 1);
    A.Street = Int(-1, 9);
    A.Number = Text();
    A.Number2 = Text();
    A.Corpus = Text();
    O->SetAddress(A);
    for (int i = Int(0, 30); i > 0; --i)
        O->AddPoint(Real(), Real());
    O->LeftTop = {Real(), Real()}; // bounds of their own, as a loaded junction has
    return O;
}

TEST(HistoryMemory, ObjectImageGivesBackTheSameState) {
    std::mt19937 Rng(7);
    for (int Round = 0; Round < 300; ++Round) {
        const auto O = RandomObject(Rng);
        std::vector<std::byte> Image(static_cast<std::size_t>(Round % 7), std::byte{0x5A}); // odd start
        TZemStateWriter W(Image);
        O->WriteState(W);
        TZemStateReader R(std::span<const std::byte>(Image).subspan(static_cast<std::size_t>(Round % 7)));
        const auto Copy = TZemObject::ReadState(R);
        EXPECT_TRUE(R.AtEnd());
        EXPECT_TRUE(Copy->SameState(*O)) << "round " << Round;
        EXPECT_EQ(Copy->Owner, nullptr);
    }
}

TEST(HistoryMemory, StepImageGivesBackTheSameStep) {
    std::mt19937 Rng(11);
    TZemHistoryStep Step;
    for (int i = 0; i < 5; ++i) {
        Step.IDs.push_back(i * 3);
        Step.Before.Objects.push_back({i == 0 ? nullptr : RandomObject(Rng), i == 0 ? -1 : i});
        Step.After.Objects.push_back({i == 4 ? nullptr : RandomObject(Rng), i == 4 ? -1 : 10 - i});
    }
    Step.Before.Directories.emplace();
    (*Step.Before.Directories)[2] = {"a", "", "\xC0\xC1"};
    Step.After.Settings.emplace();
    Step.After.Settings->DocumentName = "name";
    Step.After.Settings->MeasureScale = 2.5f;
    Step.Before.RoutePoints.emplace();
    Step.Before.RoutePoints->Add({1, 2});
    Step.After.Count = 17;
    Step.After.MaxID = 33;
    Step.After.GlobalWidthHeight = {5, 6};
    std::vector<std::byte> Image;
    PackStep(Step, Image);
    const TZemHistoryStep Back = UnpackStep(Image);
    ASSERT_EQ(Back.IDs, Step.IDs);
    for (std::size_t i = 0; i < Step.IDs.size(); ++i)
        for (auto Side : {&TZemHistoryStep::Before, &TZemHistoryStep::After}) {
            const TZemObjectState& A = (Step.*Side).Objects[i];
            const TZemObjectState& B = (Back.*Side).Objects[i];
            ASSERT_EQ(!A.Object, !B.Object);
            if (A.Object) {
                EXPECT_EQ(A.Position, B.Position);
                EXPECT_TRUE(A.Object->SameState(*B.Object));
            }
        }
    EXPECT_EQ(Back.Before.Directories, Step.Before.Directories);
    EXPECT_FALSE(Back.After.Directories);
    ASSERT_TRUE(Back.After.Settings);
    EXPECT_TRUE(Back.After.Settings->Same(*Step.After.Settings));
    EXPECT_FALSE(Back.Before.Settings);
    EXPECT_EQ(Back.Before.RoutePoints, Step.Before.RoutePoints);
    EXPECT_EQ(Back.After.Count, 17);
    EXPECT_EQ(Back.After.MaxID, 33);
    EXPECT_EQ(Back.After.GlobalWidthHeight, (TXYPoint{5, 6}));
}

// Images released from both ends in any order keep the others intact, and once none is needed the log
// holds no memory.
TEST(HistoryMemory, LogKeepsLiveImagesAndUnmapsEmptyChunks) {
    std::mt19937 Rng(3);
    for (int Seed = 0; Seed < 10; ++Seed) {
        TZemByteLog Log;
        std::deque<std::pair<TZemByteLog::TRef, std::vector<std::byte>>> Live;
        for (int Op = 0; Op < 300; ++Op) {
            const int What = std::uniform_int_distribution<int>(0, 9)(Rng);
            if (What < 6 || Live.empty()) {
                // Mostly small images, now and then one larger than a chunk.
                const std::size_t Size = What == 0
                                             ? TZemByteLog::kChunk + 100
                                             : std::uniform_int_distribution<std::size_t>(0, 30000)(Rng);
                std::vector<std::byte> Bytes(Size, static_cast<std::byte>(Op));
                Live.emplace_back(Log.Append(Bytes), std::move(Bytes));
            } else if (What < 8) {
                Log.Release(Live.front().first);
                Live.pop_front();
            } else {
                Log.Release(Live.back().first);
                Live.pop_back();
            }
            for (const auto& [Ref, Bytes] : Live) {
                if (Op % 10 != 0 && &Bytes != &Live.back().second)
                    continue; // all of them now and then, the newest every time
                const auto View = Log.View(Ref);
                ASSERT_EQ(View.size(), Bytes.size());
                ASSERT_TRUE(Bytes.empty() || std::memcmp(View.data(), Bytes.data(), Bytes.size()) == 0);
            }
        }
        while (!Live.empty()) {
            Log.Release(Live.back().first);
            Live.pop_back();
        }
        EXPECT_EQ(Log.Mapped(), 0u);
    }
}

// The history keeps its steps in the log: clearing it leaves nothing mapped, undo still works on them.
TEST(HistoryMemory, ClearUnmapsEveryStep) {
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.View.AutoUpdate = false;
    TZemObject O;
    O.Kind = otPolygon;
    for (int i = 0; i < 3000; ++i) {
        O.ClearPoints();
        O.AddPoint(static_cast<float>(i), 0);
        O.AddPoint(static_cast<float>(i), 10);
        O.AddPoint(static_cast<float>(i) + 5, 10);
        Map.AddObject(O);
    }
    EXPECT_GT(Map.History().Mapped(), 0u);
    Map.Undo();
    EXPECT_EQ(Map.Count(), 2999);
    Map.Redo();
    EXPECT_EQ(Map.Count(), 3000);
    Map.ClearHistory();
    EXPECT_EQ(Map.History().Mapped(), 0u);
    EXPECT_FALSE(Map.CanUndo());
}

} // namespace
