// zemmap-cli import: usage errors, failures that leave the output alone, and a map on which the exact
// route search finds its way between two stops.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRun {
    int Code;
    std::string Out;
};

TRun Cli(const std::string& Args) {
    FILE* P = popen((std::string("'") + ZEM_CLI_PATH + "' " + Args + " 2>&1").c_str(), "r");
    std::string Out;
    std::array<char, 4096> Buf;
    size_t n;
    while (P && (n = fread(Buf.data(), 1, Buf.size(), P)) > 0)
        Out.append(Buf.data(), n);
    const int Status = P ? pclose(P) : -1;
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, Out};
}

const std::string kExtract = std::string(ZEM_SOURCE_DIR) + "/tests/data/osm/moscow-kitay-gorod.osm.pbf";

struct ImportCommandTest : ::testing::Test {
    std::filesystem::path Dir;
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() / ("zemimportcli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    std::string Q(const std::string& Name) { return "'" + (Dir / Name).string() + "'"; }
};

TEST_F(ImportCommandTest, UsageErrorsAreCodeTwoAndFailuresCodeOneLeavingTheOutputAlone) {
    EXPECT_EQ(Cli("import --help").Code, 0);
    for (const std::string Args :
         {"import", "import out.mp", "import out.mp in.pbf --level 9", "import out.mp in.pbf --bbox 1,2,3",
          "import out.mp in.pbf --bbox 3,2,1,4", "import out.mp in.pbf --frob"}) {
        const TRun R = Cli(Args);
        EXPECT_EQ(R.Code, 2) << Args;
        EXPECT_NE(R.Out.find("zemmap-cli import: "), std::string::npos) << R.Out;
    }
    std::ofstream(Dir / "old.mp") << "the map that was here";
    std::ofstream(Dir / "junk.osm") << "<html>not osm</html>";
    const TRun R = Cli("import " + Q("old.mp") + " '" + kExtract + "' " + Q("junk.osm"));
    EXPECT_EQ(R.Code, 1);
    EXPECT_NE(R.Out.find("zemmap-cli import: \"" + (Dir / "junk.osm").string() + "\""), std::string::npos)
        << R.Out;
    std::ifstream In(Dir / "old.mp");
    std::string Kept((std::istreambuf_iterator<char>(In)), {});
    EXPECT_EQ(Kept, "the map that was here");
}

TEST_F(ImportCommandTest, TheImportedCityHasARouteBetweenTwoStops) {
    const TRun R = Cli("import " + Q("city.mp") + " '" + kExtract + "' --level 1");
    ASSERT_EQ(R.Code, 0) << R.Out;
    EXPECT_NE(R.Out.find("Создано:"), std::string::npos);
    EXPECT_NE(R.Out.find("здания 678"), std::string::npos) << R.Out;
    EXPECT_NE(R.Out.find("Пропущено:"), std::string::npos);

    // Search points on the ends of the longest route segment.
    zem::HeadlessHost Host;
    zem::TZemMap Map(Host);
    ASSERT_TRUE(Map.LoadFromFile((Dir / "city.mp").string()));
    zem::TXYPoint From{}, To{};
    float Best = -1;
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const zem::TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        if (O.Kind != zem::otRoadCrossLine || O.TransportType() == 0)
            continue;
        const zem::TXYPoint A = O.Points()[0], B = O.Points()[O.PointCount() - 1];
        if (const float D = std::hypot(A.X - B.X, A.Y - B.Y); D > Best) {
            Best = D;
            From = A;
            To = B;
        }
    }
    ASSERT_GT(Best, 0);
    Map.Net.RoutePoints.Add(From);
    Map.Net.RoutePoints.Add(To);
    Map.SaveToFile((Dir / "city.mp").string());
    const std::filesystem::path Old = std::filesystem::current_path();
    std::filesystem::current_path(Dir); // the search writes its diagnostic files here
    const TRun Route = Cli("route " + Q("city.mp") + " --exact");
    std::filesystem::current_path(Old);
    EXPECT_EQ(Route.Code, 0) << Route.Out;
    EXPECT_NE(Route.Out.find("cost:"), std::string::npos) << Route.Out;
}

} // namespace
