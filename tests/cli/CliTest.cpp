#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRun {
    int Code;
    std::string Out;
};

TRun Shell(const std::string& Cmd) {
    FILE* P = popen(Cmd.c_str(), "r");
    if (!P)
        return {-1, ""};
    std::string Out;
    std::array<char, 4096> Buf;
    size_t n;
    while ((n = fread(Buf.data(), 1, Buf.size(), P)) > 0)
        Out.append(Buf.data(), n);
    int Status = pclose(P);
    return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, Out};
}

// Runs zemmap-cli with the arguments; standard error is folded into the output.
TRun Cli(const std::string& Args) {
    return Shell(std::string("'") + ZEM_CLI_PATH + "' " + Args + " 2>&1");
}

} // namespace

TEST(Cli, ExitCodesForHelpWrongUsageAndDemo) {
    EXPECT_EQ(Cli("--help").Code, 0);
    EXPECT_EQ(Cli("").Code, 2);
    TRun Unknown = Cli("frobnicate");
    EXPECT_EQ(Unknown.Code, 2);
    EXPECT_NE(Unknown.Out.find("zemmap-cli: неизвестная команда \"frobnicate\""), std::string::npos);
    EXPECT_EQ(Cli("demo extra").Code, 2);
    TRun Demo = Cli("demo");
    EXPECT_EQ(Demo.Code, 0);
    EXPECT_NE(Demo.Out.find("Тверская улица"), std::string::npos);
    EXPECT_NE(Demo.Out.find("scale   200.00 %"), std::string::npos);
}

namespace {

std::string SampleMap() {
    return std::string(ZEM_SOURCE_DIR) + "/samples/Карта города.mp";
}

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("zemcli-" + std::to_string(::getpid()) + "-" + Name))
        .string();
}

} // namespace

TEST(Cli, InfoAndDumpOfTheSampleCity) {
    TRun Info = Cli("info '" + SampleMap() + "'");
    ASSERT_EQ(Info.Code, 0) << Info.Out;
    EXPECT_NE(Info.Out.find("otRoadCross"), std::string::npos);
    EXPECT_NE(Info.Out.find("search points: 3"), std::string::npos);
    TRun Dump = Cli("dump '" + SampleMap() + "'");
    ASSERT_EQ(Dump.Code, 0);
    EXPECT_NE(Dump.Out.find("\"TransportTypes\""), std::string::npos);
    EXPECT_NE(Dump.Out.find("Трамвай"), std::string::npos);
}

TEST(Cli, RepackRoundTripsAndARefusedFileLeavesNoOutput) {
    const std::string Out0 = TempPath("level0.mp"), Out4 = TempPath("level4.mp");
    ASSERT_EQ(Cli("repack '" + SampleMap() + "' " + Out0 + " --level 0").Code, 0);
    ASSERT_EQ(Cli("repack " + Out0 + " " + Out4 + " --level 4").Code, 0);
    // The same document whatever the level, except the level itself.
    TRun A = Cli("dump " + Out0), B = Cli("dump " + Out4);
    EXPECT_EQ(A.Code, 0);
    const auto Level = [](std::string S) {
        const size_t At = S.find("\"Compression\"");
        return At == std::string::npos ? S : S.erase(At, S.find('\n', At) - At);
    };
    EXPECT_EQ(Level(A.Out), Level(B.Out));

    const std::string Bad = TempPath("bad.mp"), Out = TempPath("out.mp");
    FILE* F = std::fopen(Bad.c_str(), "wb");
    std::fputs("this is not a map", F);
    std::fclose(F);
    for (const std::string& Cmd : {"info " + Bad, "dump " + Bad, "repack " + Bad + " " + Out + " --level 1",
                                   "export-text " + Bad + " " + TempPath("export"), "route " + Bad}) {
        TRun R = Cli(Cmd);
        EXPECT_EQ(R.Code, 1) << Cmd;
        const std::string Name = Cmd.substr(0, Cmd.find(' '));
        EXPECT_NE(R.Out.find("zemmap-cli " + Name + ": \"" + Bad +
                             "\": Файл поврежден или не является файлом карты!"),
                  std::string::npos)
            << R.Out;
    }
    EXPECT_NE(::access(Out.c_str(), F_OK), 0);
    EXPECT_EQ(Cli("repack " + Bad + " " + Out + " --level 9").Code, 2);
    EXPECT_EQ(Cli("info").Code, 2);
    std::remove(Out0.c_str());
    std::remove(Out4.c_str());
    std::remove(Bad.c_str());
}

TEST(Cli, ExportTextWritesTheFiles) {
    const std::string Folder = TempPath("export-ok");
    ASSERT_EQ(Cli("export-text '" + SampleMap() + "' " + Folder).Code, 0);
    for (const char* Name :
         {"Objects.txt", "DBStreets.txt", "DBIndexes.txt", "DBCitys.txt", "DBAreas.txt", "DBObjects.txt"})
        EXPECT_EQ(::access((Folder + "/" + Name).c_str(), F_OK), 0) << Name;
    EXPECT_EQ(std::system(("rm -rf '" + Folder + "'").c_str()), 0);
}

TEST(Cli, RouteOnTheSampleCityEndsWithItsCost) {
    // The search writes its diagnostic files into the current folder: run it in a folder of its own.
    const std::string Folder = TempPath("route");
    ASSERT_EQ(std::system(("mkdir -p '" + Folder + "'").c_str()), 0);
    const std::string In = "cd '" + Folder + "' && '" + ZEM_CLI_PATH + "' route '" + SampleMap() + "'";
    FILE* P = popen((In + " --seed 7 2>&1").c_str(), "r");
    ASSERT_NE(P, nullptr);
    std::string Genetic;
    char Buf[4096];
    size_t n;
    while ((n = fread(Buf, 1, sizeof Buf, P)) > 0)
        Genetic.append(Buf, n);
    EXPECT_EQ(pclose(P), 0) << Genetic;
    P = popen((In + " --exact 2>&1").c_str(), "r");
    ASSERT_NE(P, nullptr);
    std::string Exact;
    while ((n = fread(Buf, 1, sizeof Buf, P)) > 0)
        Exact.append(Buf, n);
    EXPECT_EQ(pclose(P), 0) << Exact;
    auto Cost = [](const std::string& Out) {
        const size_t At = Out.rfind("cost: ");
        return At == std::string::npos ? -1.0 : std::stod(Out.substr(At + 6));
    };
    ASSERT_GT(Cost(Exact), 0);
    EXPECT_GE(Cost(Genetic), Cost(Exact) * (1 - 1e-12)); // the exact search is never beaten
    EXPECT_EQ(::access((Folder + "/_Vertexs.txt").c_str(), F_OK), 0);
    EXPECT_EQ(std::system(("rm -rf '" + Folder + "'").c_str()), 0);
}

TEST(Cli, MessagesAreRussianAndNameTheCommandTheFileAndTheWrongArgument) {
    TRun Missing = Cli("info /nonexistent/x.mp");
    EXPECT_EQ(Missing.Code, 1);
    EXPECT_EQ(Missing.Out,
              "zemmap-cli info: Не удалось открыть файл \"/nonexistent/x.mp\": нет такого файла или папки\n");
    TRun Bogus = Cli("info --bogus");
    EXPECT_EQ(Bogus.Code, 2);
    EXPECT_EQ(Bogus.Out.rfind("zemmap-cli info: неизвестный параметр \"--bogus\"\nИспользование: ", 0), 0u)
        << Bogus.Out;
    TRun Extra = Cli("dump a.mp b.mp");
    EXPECT_EQ(Extra.Code, 2);
    EXPECT_EQ(Extra.Out.rfind("zemmap-cli dump: лишний аргумент \"b.mp\"\n", 0), 0u) << Extra.Out;
    TRun NoLevel = Cli("repack a.mp b.mp");
    EXPECT_EQ(NoLevel.Code, 2);
    EXPECT_EQ(NoLevel.Out.rfind("zemmap-cli repack: не указан параметр \"--level\"\n", 0), 0u) << NoLevel.Out;
}

TEST(Cli, AFullStandardOutputIsAFailure) {
    EXPECT_EQ(Cli("info '" + SampleMap() + "' >/dev/null").Code, 0);
    const std::string Run = std::string("'") + ZEM_CLI_PATH + "' ";
    TRun Full = Shell(Run + "info '" + SampleMap() + "' 2>&1 >/dev/full");
    EXPECT_EQ(Full.Code, 1);
    EXPECT_EQ(Full.Out, "zemmap-cli info: не удалось вывести результат: нет места на диске\n");
    EXPECT_EQ(Shell(Run + "--help 2>&1 >/dev/full").Code, 1);
}
