#include "NetworkFixture.h"

#include <algorithm>

using namespace zem;

using namespace zemtest;

namespace {

struct GeneticTest : NetworkFixture {
    TZemTransportTask& Task = Map.TransportTask();
    TTempCurrentDir Dir; // the steps write their diagnostic files

    void Prepare() {
        Map.Net.RoutePoints.Add({0, 0});
        Map.Net.RoutePoints.Add({1, 1});
        ASSERT_TRUE(Map.PrepareTransportSearch());
    }
    TScriptedRandom& Script(std::vector<std::int32_t> Draws) {
        auto R = std::make_unique<TScriptedRandom>(std::move(Draws));
        TScriptedRandom& Ref = *R;
        Task.SetRandom(std::move(R));
        return Ref;
    }
    void AddChromosome(const TIntegerList& P) {
        TZemChromosome C;
        C.Path.Assign(P);
        C.Fitness = Task.Fitness(P);
        Task.Population.push_back(std::move(C));
    }
    std::string Line(const TIntegerList& P) {
        std::string S;
        for (std::int32_t E : P)
            S += std::to_string(E) + ",";
        return S + "=" + zem::FormatFloat(Task.Fitness(P)) + "\r\n";
    }
};

} // namespace

TEST_F(GeneticTest, CrossoverJoinsTwoParentsAtASharedJunction) {
    const auto A = Junction(0, 0), B = Junction(10, 0), X = Junction(10, 10), C = Junction(20, 0),
               D = Junction(30, 0);
    const auto AB = Segment(A, B, 2, "1"), BC = Segment(B, C, 2, "1"), AX = Segment(A, X, 0, ""),
               XC = Segment(X, C, 0, ""), CD = Segment(C, D, 2, "1"), CD2 = Segment(C, D, 1, "9");
    Prepare();
    Task.SetPopulationSize(2);
    AddChromosome(Path({A, AB, B, BC, C, CD, D}));
    AddChromosome(Path({A, AX, X, XC, C, CD2, D}));
    // Parents 0 and then 0 again (drawn anew) and 1; i = 2 x 1; a = 2 x 0.
    TScriptedRandom& R = Script({0, 0, 1, 1, 0});
    TZemChromosome Child1, Child2;
    ASSERT_TRUE(Task.Crossover(Child1, Child2));
    EXPECT_TRUE(R.ScriptUsed());
    EXPECT_EQ(R.Asked, (std::vector<std::int32_t>{2, 2, 2, 3, 3}));
    EXPECT_EQ(Items(Child1.Path), (std::vector<std::int32_t>{A, AB, B, BC, C, CD2, D}));
    EXPECT_EQ(Items(Child2.Path), (std::vector<std::int32_t>{A, AX, X, XC, C, CD, D}));
    EXPECT_EQ(Child1.Fitness, Task.Fitness(Child1.Path));
    EXPECT_EQ(ReadFile("Child1.txt"), Line(Child1.Path));
    EXPECT_EQ(ReadFile("Child2.txt"), Line(Child2.Path));
}

TEST_F(GeneticTest, CrossoverWithoutASharedInnerJunctionBreedsNothing) {
    const auto A = Junction(0, 0), B = Junction(10, 0), X = Junction(10, 10), C = Junction(20, 0);
    const auto AB = Segment(A, B, 2, "1"), BC = Segment(B, C, 2, "1"), AX = Segment(A, X, 0, ""),
               XC = Segment(X, C, 0, "");
    Prepare();
    AddChromosome(Path({A, AB, B, BC, C}));
    AddChromosome(Path({A, AX, X, XC, C}));
    Script({0, 1, 1, 0});
    TZemChromosome Child1, Child2;
    EXPECT_FALSE(Task.Crossover(Child1, Child2));
    EXPECT_EQ(Child1.Path.Count(), 0);
    EXPECT_FALSE(std::filesystem::exists("Child1.txt"));
}

TEST_F(GeneticTest, MutationTakesTheFirstSegmentTowardsTheSecondJunction) {
    const auto A = Junction(0, 0), B = Junction(10, 0), C = Junction(20, 0);
    const auto AB = Segment(A, B, 1, "12"), AB2 = Segment(A, B, 2, "3"), BC = Segment(B, C, 2, "3");
    Prepare();
    TZemChromosome C1;
    C1.Path.Assign(Path({A, AB2, B, BC, C}));
    C1.Fitness = Task.Fitness(C1.Path);
    Script({50});
    Task.Mutate(C1); // 50 and above: unchanged
    EXPECT_EQ(Items(C1.Path), (std::vector<std::int32_t>{A, AB2, B, BC, C}));
    EXPECT_FALSE(std::filesystem::exists("Mutation1.txt"));
    Script({49});
    Task.Mutate(C1);
    EXPECT_EQ(Items(C1.Path), (std::vector<std::int32_t>{A, AB, B, BC, C}));
    EXPECT_DOUBLE_EQ(static_cast<double>(C1.Fitness), 10.0 * 1 * 2); // the change to trolleybus 3 now
    EXPECT_EQ(ReadFile("Mutation1.txt"), Line(C1.Path));
}

TEST_F(GeneticTest, ReplaceWorstTakesTheFirstWorstAndOnlyForAStrictlyBetterChild) {
    const auto A = Junction(0, 0), B = Junction(10, 0);
    const auto S = Segment(A, B, 1, "1");
    Prepare();
    for (long double F : {5.0L, 9.0L, 3.0L, 9.0L}) {
        TZemChromosome C;
        C.Path.Assign(Path({A, S, B}));
        C.Fitness = F;
        Task.Population.push_back(std::move(C));
    }
    TZemChromosome Child;
    Child.Path.Assign(Path({A, S, B, S, A}));
    Child.Fitness = 9.0L; // not strictly better than the worst
    Task.ReplaceWorst(Child);
    EXPECT_EQ(Task.Population[1].Path.Count(), 3);
    EXPECT_EQ(Task.BestIndex(), 2);
    EXPECT_EQ(Task.BestFitness(), 3.0L);
    Child.Fitness = 1.0L;
    Task.ReplaceWorst(Child);
    EXPECT_EQ(Task.Population[1].Path.Count(), 5);
    EXPECT_EQ(Task.Population[1].Fitness, 1.0L);
    EXPECT_EQ(Task.Population[3].Fitness, 9.0L);
    EXPECT_EQ(Task.BestIndex(), 1);
    EXPECT_EQ(Task.BestFitness(), 1.0L);
}

TEST_F(GeneticTest, PopulationSizeTwoIsTheSmallestAndCrossesItsTwoChromosomes) {
    Task.SetPopulationSize(1);
    EXPECT_EQ(Task.PopulationSize(), 2);
    Task.SetPopulationSize(-5);
    EXPECT_EQ(Task.PopulationSize(), 2);
    Task.SetPopulationSize(2000000000); // no unbounded allocation
    EXPECT_EQ(Task.PopulationSize(), 5000);
    Task.SetPopulationSize(2);
    const auto J = Grid(3, 3);
    Prepare();
    Task.SetStartCross(J[0]);
    Task.SetEndCross(J[8]);
    Script({});
    ASSERT_TRUE(Task.InitPopulation());
    ASSERT_EQ(Task.Population.size(), 2u);
    // Whatever the draws, the parents of a crossover are 0 and 1.
    for (int Round = 0; Round < 20; ++Round) {
        TScriptedRandom& R = Script({});
        TZemChromosome C1, C2;
        Task.Crossover(C1, C2);
        ASSERT_GE(R.Asked.size(), 4u);
        EXPECT_EQ(R.Asked[0], 2);
    }
    // The regeneration span of two equal chromosomes is the whole population: all but the best rebuilt.
    Task.Population[1] = Task.Population[0];
    Task.ReplaceWorst(TZemChromosome{Path({}), 1e30L});
    const TIntegerList Best = Task.Population[static_cast<size_t>(Task.BestIndex())].Path;
    TScriptedRandom& R = Script({1, 0, 0, 1});
    Task.Regenerate();
    EXPECT_EQ(R.Asked[0], 2);
    EXPECT_EQ(R.Asked[3], 2);
    EXPECT_EQ(Items(Task.Population[static_cast<size_t>(Task.BestIndex())].Path), Items(Best));
}

TEST_F(GeneticTest, RegenerationRebuildsAUniformPopulationButKeepsTheBest) {
    const auto J = Grid(5, 5);
    Prepare();
    Task.SetStartCross(J[0]);
    Task.SetEndCross(J[24]);
    Task.SetPopulationSize(10);
    Script({});
    ASSERT_TRUE(Task.InitPopulation());
    for (auto& C : Task.Population)
        C.Fitness = 5.0L; // a uniform population
    Task.Population[3].Fitness = 1.0L;
    Task.ReplaceWorst(TZemChromosome{Path({}), 1e30L}); // only settles the best
    ASSERT_EQ(Task.BestIndex(), 3);
    const std::vector<std::int32_t> Best = Items(Task.Population[3].Path);
    Task.Regenerate();
    EXPECT_EQ(Items(Task.Population[3].Path), Best);
    EXPECT_EQ(Task.Population[3].Fitness, 1.0L);
    int Rebuilt = 0;
    for (const auto& C : Task.Population)
        if (C.Fitness != 5.0L && C.Fitness != 1.0L) {
            ++Rebuilt;
            EXPECT_EQ(C.Fitness, Task.Fitness(C.Path));
        }
    EXPECT_GE(Rebuilt, 5); // the span holds at least half the population, the best aside
    const std::string Dump = ReadFile("Regeneration.txt");
    EXPECT_EQ(std::count(Dump.begin(), Dump.end(), '\n'), 10);
    EXPECT_NE(Dump.find("\r\n9) "), std::string::npos);
}

TEST_F(GeneticTest, RegenerationLeavesAVariedPopulationAlone) {
    const auto J = Grid(4, 4);
    Prepare();
    Task.SetStartCross(J[0]);
    Task.SetEndCross(J[15]);
    Task.SetPopulationSize(10);
    Script({});
    ASSERT_TRUE(Task.InitPopulation());
    for (size_t i = 0; i < Task.Population.size(); ++i)
        Task.Population[i].Fitness = i < 4 ? 7.0L : 10.0L + static_cast<long double>(i); // 4 of 10 alike
    const auto Before = Task.Population;
    TScriptedRandom& R = Script({});
    Task.Regenerate();
    EXPECT_TRUE(R.Asked.empty());
    for (size_t i = 0; i < Before.size(); ++i)
        EXPECT_EQ(Items(Task.Population[i].Path), Items(Before[i].Path));
}

TEST_F(GeneticTest, WalkWhoseStartHasADeadEndBranchStillArrives) {
    const auto A = Junction(0, 0), Leaf = Junction(-10, 0), B = Junction(10, 0), E = Junction(20, 0);
    const auto AL = Segment(A, Leaf, 0, ""), AB = Segment(A, B, 0, ""), BE = Segment(B, E, 0, "");
    Prepare();
    Task.SetStartCross(A);
    Task.SetEndCross(E);
    // No reseed, the leaf first (position 0 of A's two neighbours), then the only ways on.
    Script({1, 0, 1, 1, 0, 1, 0, 1});
    TIntegerList P;
    TZemVisited Visited = Task.NewVisited();
    ASSERT_TRUE(Task.BuildPath(A, P, Visited));
    EXPECT_EQ(Items(P), (std::vector<std::int32_t>{A, AB, B, BE, E}));
    (void)AL;
}

TEST_F(GeneticTest, WalkFromAnIsolatedStartFails) {
    const auto A = Junction(0, 0), B = Junction(10, 0), E = Junction(20, 0);
    Segment(B, E, 0, "");
    Prepare();
    Task.SetStartCross(A);
    Task.SetEndCross(E);
    TIntegerList P;
    TZemVisited Visited = Task.NewVisited();
    EXPECT_FALSE(Task.BuildPath(A, P, Visited));
    Task.SetStartCross(12345); // no junction at all
    TIntegerList Q;
    EXPECT_FALSE(Task.BuildPath(12345, Q, Visited));
}

TEST_F(GeneticTest, OneSegmentLegGivesTheSameChromosomeEverywhereAndExactDumps) {
    const auto A = Junction(0, 0), B = Junction(3, 4);
    const auto S = Segment(A, B, 1, "12");
    Map.Net.RoutePoints.Add({0, 0});
    Map.Net.RoutePoints.Add({3, 4});
    Task.SetPopulationSize(2);
    Task.SetStopGenerations(3);
    Script({});
    Map.FindTransportPath();
    const std::string Chromosome =
        std::to_string(A) + "," + std::to_string(S) + "," + std::to_string(B) + ",=5";
    const std::string Population = "0) " + Chromosome + "\r\n1) " + Chromosome + "\r\n";
    EXPECT_EQ(ReadFile("_StartPopulation.txt"), Population);
    EXPECT_EQ(ReadFile("Regeneration.txt"), Population);
    EXPECT_EQ(ReadFile("_EndPopulation.txt"), Population);
    EXPECT_FALSE(std::filesystem::exists("Child1.txt")); // three-element walks share no inner junction
    EXPECT_EQ(Task.Generations(), 4);                    // one improvement, then three without
    EXPECT_EQ(Items(Task.Route), (std::vector<std::int32_t>{A, S}));
    EXPECT_DOUBLE_EQ(static_cast<double>(Task.RouteCost), 5.0);
}

TEST_F(GeneticTest, ADumpReplacesALongerFileWhole) {
    const auto A = Junction(0, 0), B = Junction(3, 4);
    const auto S = Segment(A, B, 1, "12");
    Prepare();
    {
        std::ofstream Old("Child1.txt", std::ios::binary);
        Old << std::string(1000, 'x');
    }
    TZemChromosome C;
    C.Path.Assign(Path({A, S, B}));
    C.Fitness = 5.0L;
    Task.DumpChromosome("Child1.txt", C);
    EXPECT_EQ(ReadFile("Child1.txt"),
              std::to_string(A) + "," + std::to_string(S) + "," + std::to_string(B) + ",=5\r\n");
}

TEST_F(GeneticTest, ADumpNeverWritesThroughALinkAndSaysSo) {
    const auto A = Junction(0, 0), B = Junction(3, 4);
    const auto S = Segment(A, B, 1, "12");
    Prepare();
    {
        std::ofstream Victim("victim", std::ios::binary);
        Victim << "keep";
    }
    std::filesystem::create_symlink("victim", "Child1.txt");
    std::filesystem::create_hard_link("victim", "Child2.txt");
    TZemChromosome C;
    C.Path.Assign(Path({A, S, B}));
    C.Fitness = 5.0L;
    Task.DumpChromosome("Child1.txt", C);
    Task.DumpChromosome("Child2.txt", C);
    EXPECT_EQ(ReadFile("victim"), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink("Child1.txt"));
    const std::vector<std::string> Expected = {
        "не удалось записать диагностический файл \"Child1.txt\": это символическая ссылка",
        "не удалось записать диагностический файл \"Child2.txt\": у файла есть другие жёсткие ссылки"};
    EXPECT_EQ(Task.DumpWarnings(), Expected);
}
