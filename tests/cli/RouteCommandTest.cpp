#include "transport/NetworkFixture.h"

#include "cli/ZemCliRoute.h"
#include "transport/ZemRouteAnswer.h"

#include <sstream>

using namespace zem;

using namespace zemtest;

namespace {

struct RouteCommandTest : NetworkFixture {
    TTempCurrentDir Dir;
    std::int32_t J0 = -1, J1 = -1, J2 = -1, J3 = -1, S1 = -1, S2 = -1, S3 = -1;

    // Bus 12 for 100 and 50, then 10 on foot: the worked example, the only way from J0 to J3.
    void WorkedNetwork() {
        J0 = Junction(0, 0), J1 = Junction(100, 0), J2 = Junction(150, 0), J3 = Junction(160, 0);
        S1 = Segment(J0, J1, 1, "12"), S2 = Segment(J1, J2, 1, "12"), S3 = Segment(J2, J3, 0, "");
        Map.Net.RoutePoints.Add({0, 0});
        Map.Net.RoutePoints.Add({160, 0});
    }
    int Run(const std::vector<std::string>& Args, std::string& Out, std::string& Err) {
        TRouteOptions Options;
        std::string Error;
        EXPECT_TRUE(ParseRouteArgs(Args, Options, Error)) << Error;
        std::ostringstream O, E;
        const int Code = RunRouteCommand(Map, Options, O, E);
        Out = O.str();
        Err = E.str();
        return Code;
    }
};

} // namespace

TEST_F(RouteCommandTest, ParsesOptionsAndRejectsBadOnes) {
    TRouteOptions O;
    std::string E;
    ASSERT_TRUE(
        ParseRouteArgs({"city.mp", "--seed", "42", "--population", "2", "--stop-generations", "7"}, O, E));
    EXPECT_EQ(O.File, "city.mp");
    EXPECT_EQ(O.Seed, 42u);
    EXPECT_EQ(O.PopulationSize, 2);
    EXPECT_EQ(O.StopGenerations, 7);
    EXPECT_FALSE(O.Exact);
    ASSERT_TRUE(ParseRouteArgs({"--exact", "city.mp"}, O, E));
    EXPECT_TRUE(O.Exact);
    EXPECT_FALSE(O.Seed.has_value());
    ASSERT_TRUE(ParseRouteArgs({"--help"}, O, E));
    EXPECT_TRUE(O.Help);
    EXPECT_FALSE(ParseRouteArgs({}, O, E));
    EXPECT_EQ(E, "не указан файл карты");
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--seed", "many"}, O, E));
    EXPECT_EQ(E, "параметру \"--seed\" нужно целое число, а не \"many\"");
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--seed", "-3"}, O, E));
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--population", "1"}, O, E));
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--population", "12x"}, O, E));
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--stop-generations", "0"}, O, E));
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--seed"}, O, E));
    EXPECT_EQ(E, "параметру \"--seed\" нужно значение");
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "--fast"}, O, E));
    EXPECT_EQ(E, "неизвестный параметр \"--fast\"");
    EXPECT_FALSE(ParseRouteArgs({"a.mp", "b.mp"}, O, E));
}

TEST_F(RouteCommandTest, PrintsOneLinePerStretchAndTheCost) {
    WorkedNetwork();
    std::string Out, Err;
    ASSERT_EQ(Run({"x.mp", "--exact"}, Out, Err), 0) << Err;
    const std::string Expected = "Автобус 12: " + std::to_string(S1) + ", " + std::to_string(S2) +
                                 "\nПешком: " + std::to_string(S3) + "\ncost: 2160\n";
    EXPECT_EQ(Out, Expected);
    ASSERT_EQ(Run({"x.mp", "--seed", "5", "--stop-generations", "20"}, Out, Err), 0) << Err;
    EXPECT_EQ(Out, Expected);
    EXPECT_TRUE(std::filesystem::exists("_EndPopulation.txt"));
}

TEST_F(RouteCommandTest, TheSameSeedPrintsTheSameRoute) {
    Grid(5, 5);
    Map.Net.RoutePoints.Add({0, 0});
    Map.Net.RoutePoints.Add({400, 400});
    Map.Net.RoutePoints.Add({0, 400});
    std::string First, Second, Err;
    ASSERT_EQ(Run({"x.mp", "--seed", "11", "--stop-generations", "30"}, First, Err), 0) << Err;
    ASSERT_EQ(Run({"x.mp", "--seed", "11", "--stop-generations", "30"}, Second, Err), 0) << Err;
    EXPECT_EQ(First, Second);
    const size_t LastLine = First.rfind('\n', First.size() - 2) + 1;
    EXPECT_EQ(First.compare(LastLine, 6, "cost: "), 0);
    std::string Exact;
    ASSERT_EQ(Run({"x.mp", "--exact"}, Exact, Err), 0) << Err;
    const double GeneticCost = std::stod(First.substr(First.rfind("cost: ") + 6));
    const double ExactCost = std::stod(Exact.substr(Exact.rfind("cost: ") + 6));
    EXPECT_GE(GeneticCost, ExactCost * (1 - 1e-12));
}

TEST_F(RouteCommandTest, FailuresGoToTheErrorStreamWithExitCodeOne) {
    WorkedNetwork();
    Map.Doc.TransportTypes.clear();
    std::string Out, Err;
    EXPECT_EQ(Run({"x.mp"}, Out, Err), 1);
    EXPECT_EQ(Err, "zemmap-cli route: на карте нет видов транспорта, маршрут искать не по чему\n");
    EXPECT_EQ(Run({"x.mp", "--exact"}, Out, Err), 1);
    EXPECT_TRUE(Out.empty());

    Map.Doc.TransportTypes.push_back("x");
    Junction(5000, 5000);
    Map.Net.RoutePoints.Add({5000, 5000});
    EXPECT_EQ(Run({"x.mp", "--exact"}, Out, Err), 1);
    EXPECT_NE(Err.find("Оптимальный или близкий к оптимальному маршрут не найден!"), std::string::npos);
    EXPECT_EQ(Run({"x.mp", "--stop-generations", "5"}, Out, Err), 1);
    EXPECT_NE(Err.find("Точки 2 и 3 не связаны транспортной сетью"), std::string::npos);
    EXPECT_TRUE(Out.empty());
}

TEST_F(RouteCommandTest, TreeNodesFollowChangesOfKindOrName) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0), D = Junction(30, 0),
               E = Junction(40, 0);
    const auto AB = Segment(A, B, 1, "12"), BC = Segment(B, C, 1, "5"), CD = Segment(C, D, 1, "12"),
               DE = Segment(D, E, -1, "");
    TAnswere Answere;
    std::vector<ZemString> Nodes;
    BuildAnswere(Map, Path({A, AB, B, BC, C, CD, D, DE}), Answere, Nodes);
    ASSERT_EQ(Nodes.size(), 4u);
    EXPECT_EQ(zem::ToUtf8(Nodes[0]), "Автобус 12");
    EXPECT_EQ(zem::ToUtf8(Nodes[1]), "Автобус 5");
    EXPECT_EQ(zem::ToUtf8(Nodes[2]), "Автобус 12");
    EXPECT_EQ(zem::ToUtf8(Nodes[3]), "Не задан");
    ASSERT_EQ(Answere.Count(), 8);
    EXPECT_EQ(Answere.Get(0).NodeIndex, -1); // the first junction precedes every stretch
    EXPECT_EQ(Answere.Get(1).NodeIndex, 0);
    EXPECT_EQ(Answere.Get(2).NodeIndex, 0); // a junction belongs to the stretch before it
    EXPECT_EQ(Answere.Get(3).NodeIndex, 1);
    EXPECT_EQ(Answere.Get(3).Name, "5");
    EXPECT_EQ(Answere.Get(3).TransportType, 1);
    EXPECT_EQ(Answere.Get(7).NodeIndex, 3);
    EXPECT_EQ(Items(Answere.IDs), (std::vector<std::int32_t>{A, AB, B, BC, C, CD, D, DE}));
    EXPECT_THROW(Answere.Get(8), EZemError);
    EXPECT_THROW(Answere.Get(-1), EZemError);
    // An object deleted since the search is listed without a kind and does not break the tree.
    Map.DeleteObject(BC);
    BuildAnswere(Map, Path({A, AB, B, BC, C, CD, D}), Answere, Nodes);
    EXPECT_EQ(Nodes.size(), 1u); // bus 12 on both sides of the gap: one stretch
    EXPECT_EQ(Answere.Get(3).TransportType, -1);
    EXPECT_EQ(Answere.Get(5).NodeIndex, 0);
    Answere.Clear();
    EXPECT_EQ(Answere.Count(), 0);
    EXPECT_EQ(Answere.IDs.Count(), 0);
}

TEST_F(RouteCommandTest, DiagnosticFilesThatCannotBeWrittenAreWarnedAboutOnce) {
    WorkedNetwork();
    // A working folder that has gone away: no file can be created in it, even by root.
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(Dir.Path() / "gone");
    std::string Out, Err;
    EXPECT_EQ(Run({"x.mp", "--seed", "1", "--stop-generations", "3"}, Out, Err), 0) << Err;
    std::filesystem::current_path(Dir.Path());
    EXPECT_NE(Out.find("cost: "), std::string::npos);
    const std::string Warning = "zemmap-cli route: предупреждение: не удалось записать диагностический файл "
                                "\"Regeneration.txt\": нет такого файла или папки\n";
    EXPECT_NE(Err.find(Warning), std::string::npos) << Err;
    EXPECT_EQ(Err.find(Warning), Err.rfind(Warning)); // once, though written every generation
    EXPECT_NE(Err.find("\"_Vertexs.txt\""), std::string::npos);
}
