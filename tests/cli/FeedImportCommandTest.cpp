// `zemmap-cli import` with timetables: a feed alone, a feed added to an existing map, a bad feed.
#include "import/FeedFiles.h"

#include "import/ZemGeoref.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

using namespace zem;
using namespace zem::test;

namespace {

struct TRun {
    int Code;
    std::string Out;
};

TRun Cli(const std::string& Args) {
    FILE* P = popen((std::string("'") + ZEM_CLI_PATH + "' " + Args + " 2>&1").c_str(), "r");
    std::string Out;
    std::array<char, 4096> Buf;
    std::size_t N;
    while ((N = fread(Buf.data(), 1, Buf.size(), P)) > 0)
        Out.append(Buf.data(), N);
    const int Status = pclose(P);
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, Out};
}

int Count(const TZemMap& Map, TObjectKind Kind) {
    int N = 0;
    for (std::int32_t I = 0; I < Map.Doc.Order.Count(); ++I)
        N += Map.ObjectByID(Map.Doc.Order[I]).Kind == Kind;
    return N;
}

} // namespace

TEST(FeedImportCommand, FeedAloneThenAddedIntoTheMap) {
    TTempDir Dir;
    const std::string Feed = WriteFeedZip(Dir.Path() / "город.zip", CyrillicFeed());
    const std::string Out = (Dir.Path() / "out.mp").string();
    TRun R = Cli("import '" + Out + "' '" + Feed + "'");
    ASSERT_EQ(R.Code, 0) << R.Out;
    EXPECT_NE(R.Out.find("остановки 5, маршруты 2, сегменты маршрутов 5, пешие переходы 2"),
              std::string::npos)
        << R.Out;
    EXPECT_NE(R.Out.find("Пропущено: ничего"), std::string::npos) << R.Out;

    // A second feed, as a folder, whose stops lie 1 km north: added on the same plane, its own junctions.
    TFeedTables Second = CyrillicFeed();
    Second["stops.txt"] =
        "stop_id,stop_name,stop_lat,stop_lon\n1,Север 1,55.7590,37.6000\n2,Север 2,55.7590,37.6100\n"
        "3,Север 3,55.7590,37.6200\n4,Север 4,55.7690,37.6200\n5,Север 5,55.7594,37.6110\n";
    Second.erase("transfers.txt");
    const std::string Folder = WriteFeedFolder(Dir.Path() / "second", Second);
    HeadlessHost Host;
    TZemMap Before(Host);
    ASSERT_TRUE(Before.LoadFromFile(Out));
    const auto G = FindGeoref(Before);
    ASSERT_TRUE(G.has_value());
    R = Cli("import --into '" + Out + "' '" + Folder + "' --bbox 37.5,55.755,37.7,55.765");
    ASSERT_EQ(R.Code, 0) << R.Out;
    EXPECT_NE(R.Out.find("остановки вне заданной области 1"), std::string::npos) << R.Out;
    TZemMap After(Host);
    ASSERT_TRUE(After.LoadFromFile(Out));
    EXPECT_EQ(Count(After, otRoadCross), 9); // "Север 4" lies outside the box
    const auto G2 = FindGeoref(After);
    ASSERT_TRUE(G2.has_value());
    EXPECT_EQ(G2->Lat0, G->Lat0);
    EXPECT_EQ(G2->OffsetX, G->OffsetX);
    // The new stop "Север 1" lies 1 km north (up) of "Улица Ленина".
    TXYPoint Lenin{}, North{};
    for (std::int32_t I = 0; I < After.Doc.Order.Count(); ++I) {
        const TZemObject& O = After.ObjectByID(After.Doc.Order[I]);
        if (O.Kind == otRoadCross && O.Text() == FromUtf8("Улица Ленина"))
            Lenin = O.Points()[0];
        if (O.Kind == otRoadCross && O.Text() == FromUtf8("Север 1"))
            North = O.Points()[0];
    }
    EXPECT_NEAR(North.X, Lenin.X, 1.0);
    EXPECT_NEAR(Lenin.Y - North.Y, 1001.0, 10.0);
}

TEST(FeedImportCommand, BadFeedWritesNothingAndNamesTheRow) {
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    Tables["stops.txt"] = "stop_id,stop_name,stop_lat\n1,a,55\n";
    const std::string Feed = WriteFeedZip(Dir.Path() / "bad.zip", Tables);
    const std::string Out = (Dir.Path() / "out.mp").string();
    const TRun R = Cli("import '" + Out + "' '" + Feed + "'");
    EXPECT_EQ(R.Code, 1);
    EXPECT_NE(R.Out.find("bad.zip\": \"stops.txt\", строка 1: нет обязательного столбца \"stop_lon\""),
              std::string::npos)
        << R.Out;
    EXPECT_FALSE(std::filesystem::exists(Out));
    EXPECT_EQ(Cli("import --into").Code, 2);
}
