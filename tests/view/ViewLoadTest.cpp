// The view values a map file brings: what a window cannot show is replaced on loading, and a loader
// that switched drawing off gets no frame.
#include "PaintTestUtil.h"
#include "persistence/ZemBinaryStream.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

using namespace zem;

using namespace painttest;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// A stored fuzz input whose first byte is even: its rest is wrapped in a sound frame after a header.
std::vector<std::uint8_t> WrappedSeed(const char* Name) {
    std::ifstream In(std::string(ZEM_SOURCE_DIR) + "/fuzz/seeds/fuzz_mapfile/" + Name, std::ios::binary);
    const std::vector<std::uint8_t> Data{std::istreambuf_iterator<char>(In), {}};
    EXPECT_FALSE(Data.empty());
    TBinaryWriter W(0);
    if (!Data.empty())
        W.WriteBytes(Data.data() + 1, static_cast<std::int32_t>(Data.size() - 1));
    std::vector<std::uint8_t> File(64, ' ');
    W.SaveToStream(File, 0);
    return File;
}

} // namespace

// The damaged map whose view starts at x = 2.5e29 with a grid step of 54,708,224: it loads and draws.
TEST_F(MapFixture, DamagedViewFromAFileIsDrawable) {
    const auto File = WrappedSeed("grid-far-origin-hang");
    const int Before = Host.PresentCount;
    Map.LoadFromBytes(File);
    EXPECT_EQ(Host.PresentCount, Before + 1);
    const TZemViewState& V = Map.View;
    for (float F : {V.LeftTop.X, V.LeftTop.Y, V.ViewWidthHeight.X, V.ViewWidthHeight.Y, V.Scale})
        EXPECT_TRUE(std::isfinite(F) && std::fabs(F) <= 1e12f) << F;
    EXPECT_GT(V.Scale, 0);
}

TEST_F(MapFixture, AbsurdViewValuesAreReplacedOnLoad) {
    Square(10, 10, 50);
    Map.View.Scale = NaN;
    Map.View.ViewWidthHeight = {-5, Inf};
    Map.View.LeftTop = {2.5e29f, NaN};
    Map.View.MaxScale = Inf;
    Map.View.ScaleStep = NaN;
    Map.View.GlobalLeftTop = {NaN, 0};
    Map.Doc.DirectLineX = -3;
    Map.Doc.DirectLineY = 0;
    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    EXPECT_TRUE(Loaded.LoadFromBytes(Map.SaveToBytes()));
    EXPECT_EQ(Loaded.Count(), 1); // the objects are kept
    EXPECT_EQ(Loaded.View.Scale, 100);
    EXPECT_EQ(Loaded.View.ViewWidthHeight.X, 400);
    EXPECT_EQ(Loaded.View.ViewWidthHeight.Y, 400);
    EXPECT_EQ(Loaded.View.LeftTop.X, 0);
    EXPECT_EQ(Loaded.View.LeftTop.Y, 0);
    EXPECT_EQ(Loaded.View.MaxScale, 10000);
    EXPECT_EQ(Loaded.View.ScaleStep, 20);
    EXPECT_TRUE(std::isfinite(Loaded.View.GlobalLeftTop.X));
    EXPECT_EQ(Loaded.Doc.DirectLineX, 50);
    EXPECT_EQ(Loaded.Doc.DirectLineY, 50);

    // A lost scale with a sound extent is taken from the extent; sound values stay as stored.
    Map.View.Scale = 0;
    Map.View.ViewWidthHeight = {200, 200};
    Map.View.LeftTop = {-1e6f, 3.5f};
    EXPECT_TRUE(Loaded.LoadFromBytes(Map.SaveToBytes()));
    EXPECT_EQ(Loaded.View.Scale, 200);
    EXPECT_EQ(Loaded.View.ViewWidthHeight.X, 200);
    EXPECT_EQ(Loaded.View.LeftTop.X, -1e6f);
    EXPECT_EQ(Loaded.View.LeftTop.Y, 3.5f);
}

TEST_F(MapFixture, LoadingWithDrawingOffRendersNoFrame) {
    Square(10, 10, 50);
    const auto File = Map.SaveToBytes();
    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    Loaded.View.AutoUpdate = false;
    const int Before = Host2.PresentCount;
    EXPECT_TRUE(Loaded.LoadFromBytes(File));
    EXPECT_EQ(Host2.PresentCount, Before);
    EXPECT_FALSE(Loaded.AutoUpdate());
    EXPECT_EQ(Loaded.Count(), 1);
}

// The first frame of a loaded map already shows its segments that have a kind of transport.
TEST_F(MapFixture, ALoadedMapShowsItsTypedSegmentsFromTheFirstFrame) {
    Map.Doc.TransportTypes = {"Пешком", "Автобус"};
    Map.SetShowTransportNet(true);
    TZemObject S;
    S.Kind = otRoadCrossLine;
    S.SetTransportType(1);
    S.AddPoint(50, 50);
    S.AddPoint(150, 80);
    Map.AddObject(S);
    const std::int32_t ID = Map.Doc.MaxID - 1;
    const auto File = Map.SaveToBytes();
    HeadlessHost Host2;
    TZemMap Loaded{Host2};
    std::vector<std::int32_t> SeenInFirstFrame;
    Loaded.OnVisibleCount = [&](TZemMap& M, std::int32_t, std::int32_t) {
        if (SeenInFirstFrame.empty() && M.Count() > 0)
            SeenInFirstFrame.assign(M.View.VisibleList.begin(), M.View.VisibleList.end());
    };
    ASSERT_TRUE(Loaded.LoadFromBytes(File));
    EXPECT_EQ(SeenInFirstFrame, std::vector<std::int32_t>{ID});
}
