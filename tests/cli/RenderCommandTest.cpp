#include "cli/ZemCliCommands.h"
#include "images/ZemImageFile.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "view/ZemRasterColor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using namespace zem;

namespace {

constexpr TColor Red = RGBColor(255, 0, 0);

struct RenderCommandFixture : ::testing::Test {
    std::filesystem::path Dir;
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() / ("zemrendercmd_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    std::string Out(const char* Name) const { return (Dir / Name).string(); }
};

// A map as a file would give it: a red square at (100, 100) ... (200, 200), a junction at (300, 300), and
// a view saved from a 400 x 300 window at 100 %.
bool LoadSample(TZemMap& Map, const std::string& FileName) {
    if (FileName != "sample.mp")
        return false;
    Map.View.AutoUpdate = false;
    TZemObject O;
    O.Kind = otPolygon;
    O.Pen.Color = O.Brush.Color = Red;
    O.Brush.Style = 0;
    for (TXYPoint P : {TXYPoint{100, 100}, {200, 100}, {200, 200}, {100, 200}})
        O.AddPoint(P);
    Map.AddObject(O);
    TZemObject J;
    J.Kind = otRoadCross;
    J.AddPoint(300, 300);
    Map.AddObject(J);
    Map.View.LeftTop = {0, 0};
    Map.View.ViewWidthHeight = {400, 300};
    Map.View.AutoUpdate = true;
    return true;
}

int Render(const TCliArgs& Args) {
    return RenderCommand(Args, LoadSample);
}

} // namespace

TEST_F(RenderCommandFixture, RendersTheStoredViewAtTheSavedWindowSize) {
    ASSERT_EQ(Render({"sample.mp", Out("a.png")}), 0);
    TBitmap32 B;
    B.Assign(zem::ReadImageFile(Out("a.png")));
    ASSERT_EQ(B.Width(), 400);
    ASSERT_EQ(B.Height(), 300);
    EXPECT_EQ(B.GetPixel(150, 150), ToColor32(static_cast<std::uint32_t>(Red)));
    EXPECT_EQ(B.GetPixel(300, 300 - 1), ToColor32(static_cast<std::uint32_t>(RGBColor(0, 128, 0))));
}

TEST_F(RenderCommandFixture, SizeScaleCentreAndSwitchesMoveTheView) {
    ASSERT_EQ(Render({"sample.mp", Out("b.bmp"), "--size", "200x100", "--scale", "200", "--center", "150,150",
                      "--transport", "--grid"}),
              0);
    TBitmap32 B;
    B.Assign(zem::ReadImageFile(Out("b.bmp")));
    ASSERT_EQ(B.Width(), 200);
    ASSERT_EQ(B.Height(), 100);
    // At 200 % the 100 x 100 square fills the whole picture around its centre.
    EXPECT_EQ(B.GetPixel(100, 50), ToColor32(static_cast<std::uint32_t>(Red)));
    EXPECT_EQ(B.GetPixel(2, 97), ToColor32(static_cast<std::uint32_t>(Red)));

    // The junction shows only with --transport.
    ASSERT_EQ(Render({"sample.mp", Out("c.png"), "--center", "300,300", "--transport"}), 0);
    ASSERT_EQ(Render({"sample.mp", Out("d.png"), "--center", "300,300"}), 0);
    TBitmap32 C, D;
    C.Assign(zem::ReadImageFile(Out("c.png")));
    D.Assign(zem::ReadImageFile(Out("d.png")));
    EXPECT_EQ(C.GetPixel(200, 150), clBlue32);
    EXPECT_NE(D.GetPixel(200, 150), clBlue32);
}

TEST_F(RenderCommandFixture, WrongUsageAndFailures) {
    EXPECT_EQ(Render({"--help"}), 0);
    EXPECT_EQ(Render({}), 2);
    EXPECT_EQ(Render({"sample.mp"}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.gif")}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.png"), "--size", "0x10"}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.png"), "--size", "10"}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.png"), "--scale", "-5"}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.png"), "--center", "1;2"}), 2);
    EXPECT_EQ(Render({"sample.mp", Out("x.png"), "--bogus"}), 2);
    EXPECT_FALSE(std::filesystem::exists(Out("x.png")));
    EXPECT_EQ(Render({"missing.mp", Out("x.png")}), 1);
    EXPECT_EQ(Render({"sample.mp", (Dir / "no" / "such" / "x.png").string()}), 1);
}
