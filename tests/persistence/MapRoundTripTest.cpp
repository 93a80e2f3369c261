// Saving a loaded map gives back the bytes it was loaded from, and loading those gives the same objects
// and the same visible list, over many seeded random maps: every kind, long and empty point lists, wide
// and odd pens, strings on both sides of the length-prefix limits, blinking, planes, a shuffled order
// and every compression level.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace zem;

namespace {

class TRandomContent {
public:
    explicit TRandomContent(std::uint32_t Seed) : FRandom(Seed) {}

    int Below(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FRandom); }
    float Real(float Lo, float Hi) { return std::uniform_real_distribution<float>(Lo, Hi)(FRandom); }

    ZemString Text() {
        static constexpr int Lengths[] = {0, 1, 7, 15, 16, 254, 255, 300};
        ZemString S(static_cast<size_t>(Lengths[Below(std::size(Lengths))]), ' ');
        for (char& c : S)
            c = static_cast<char>(Below(256));
        return S;
    }

    void Fill(TZemObject& O) {
        O.Kind = static_cast<TObjectKind>(Below(otRoadCrossLine + 1));
        O.Pen = TZemPen{static_cast<std::uint8_t>(Below(6)), static_cast<TColor>(FRandom()), Below(3),
                        Below(3) == 0 ? Below(41) - 1 : 0};
        O.Brush = TZemBrush{static_cast<TColor>(FRandom()), static_cast<std::uint8_t>(Below(8))};
        const int n = Below(8) == 0 ? 200 + Below(200) : Below(3) == 0 ? 0 : 1 + Below(5);
        const float X = Real(-1e4f, 1e4f), Y = Real(-1e4f, 1e4f);
        for (int i = 0; i < n; ++i)
            O.AddPoint(Below(20) == 0 ? -0.0f : X + Real(-300, 300), Y + Real(-300, 300));
        O.LeftTop = TXYPoint{Real(-50, 50), Real(-50, 50)}; // kept only by records without points
        O.RightBottom = TXYPoint{Real(-50, 50), Real(-50, 50)};
        TZemAddress A;
        A.Empty = Below(2) == 0;
        A.Index = Below(5) - 1;
        A.Street = Below(5) - 1;
        A.Number = Text();
        A.Corpus = Text();
        O.SetAddress(A);
        O.Font = TZemFont{static_cast<std::uint8_t>(Below(256)),
                          static_cast<TColor>(FRandom()),
                          Text(),
                          static_cast<std::uint8_t>(Below(256)),
                          Below(40),
                          static_cast<std::uint8_t>(Below(16)),
                          static_cast<std::int32_t>(FRandom())};
        O.SetText(Text());
        O.SetAngle(Real(-7, 7));
        O.SetHeight3D(Real(0, 50));
        O.SetCtl3D(Below(2) == 0);
        O.SetBlink(Below(6) == 0);
        O.SetBlinkInterval(Below(2000));
        // Mostly a few shared planes, within which the drawing order decides.
        O.SetPlane(static_cast<std::int8_t>(Below(8) == 0 ? Below(256) - 128 : Below(3) - 1));
        O.SetCategory(Below(4) - 1);
        O.Lock = Below(2) == 0;
        O.Visible = Below(4) != 0;
        O.Reserved = static_cast<std::int32_t>(FRandom());
        O.SetIconIndex(Below(3) - 1);
        O.BitmapIndex = Below(3) - 1;
        O.StartCrossID = Below(50) - 1;
        O.EndCrossID = Below(50) - 1;
        O.SetDirection(static_cast<std::uint8_t>(Below(4)));
        O.SetTransportType(Below(3) - 1);
    }

    void Build(TZemMap& Map) {
        Map.Doc.Streets = {Text(), Text()};
        Map.Doc.TransportTypes = {Text()};
        Map.Doc.Compression = static_cast<std::uint8_t>(Below(5));
        const int Count = Below(120);
        for (int i = 0; i < Count; ++i) {
            TZemObject T;
            Map.AddObject(T);
            Fill(Map.ObjectByID(Map.Doc.Order[Map.Doc.Order.Count() - 1]));
        }
        for (int i = 0; Count > 0 && i < Count / 4; ++i) {
            const std::int32_t ID = Map.Doc.Order[Below(Map.Doc.Order.Count())];
            Below(2) ? Map.BringToFront(ID) : Map.SendToBack(ID);
        }
    }

private:
    std::mt19937 FRandom;
};

void ExpectSameVisibleList(TZemMap& Map) {
    Map.UpdateVisibleList();
    TIntegerList Scan;
    Map.ScanVisibleList(Scan);
    EXPECT_EQ(std::vector<int>(Map.View.VisibleList.begin(), Map.View.VisibleList.end()),
              std::vector<int>(Scan.begin(), Scan.end()));
}

} // namespace

TEST(MapRoundTripTest, SaveLoadSaveGivesTheSameBytesAndObjects) {
    for (std::uint32_t Seed = 1; Seed <= 60; ++Seed) {
        SCOPED_TRACE(Seed);
        TRandomContent R(Seed);
        HeadlessHost Host{320, 200};
        TZemMap Built(Host), First(Host), Second(Host);
        for (TZemMap* M : {&Built, &First, &Second})
            M->Resize(320, 200);
        Built.View.AutoUpdate = false; // no frame per object added
        R.Build(Built);
        const std::vector<std::uint8_t> Saved = Built.SaveToBytes();
        ASSERT_TRUE(First.LoadFromBytes(Saved));
        const std::vector<std::uint8_t> Again = First.SaveToBytes();
        ASSERT_TRUE(Second.LoadFromBytes(Again));
        ASSERT_EQ(std::vector<int>(Second.Doc.Order.begin(), Second.Doc.Order.end()),
                  std::vector<int>(Built.Doc.Order.begin(), Built.Doc.Order.end()));
        for (std::int32_t ID : Second.Doc.Order) {
            const TZemObject& O = Second.ObjectByID(ID);
            // Each box is the one an edit would work out, with the object's own pen (checked before
            // saving, which works the boxes out again).
            const auto Recomputed = O.Clone();
            Recomputed->UpdateBounds();
            ASSERT_TRUE(O.SameState(*Recomputed)) << ID;
            ASSERT_TRUE(O.SameState(First.ObjectByID(ID))) << ID;
        }
        EXPECT_EQ(Second.SaveToBytes(), Again);
        // The loader ranks the records itself: the index must list what a walk of the order lists.
        for (TZemMap* M : {&First, &Second}) {
            M->Net.ShowTransportNet = true;
            M->SetView(TXYPoint{R.Real(-1e4f, 1e4f), R.Real(-1e4f, 1e4f)}, R.Below(2) ? 0.5f : 20.0f);
            ExpectSameVisibleList(*M);
            M->SetView(TXYPoint{0, 0}, 0.001f);
            ExpectSameVisibleList(*M);
        }
    }
}
