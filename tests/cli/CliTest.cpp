#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRun {
    int Code;
    std::string Out;
};

// Runs zemmap-cli with the arguments; standard error is folded into the output.
TRun Cli(const std::string& Args) {
    std::string Cmd = std::string("'") + ZEM_CLI_PATH + "' " + Args + " 2>&1";
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

} // namespace

TEST(Cli, ExitCodesForHelpWrongUsageAndDemo) {
    EXPECT_EQ(Cli("--help").Code, 0);
    EXPECT_EQ(Cli("").Code, 2);
    TRun Unknown = Cli("frobnicate");
    EXPECT_EQ(Unknown.Code, 2);
    EXPECT_NE(Unknown.Out.find("unknown command"), std::string::npos);
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
    return "/tmp/zemcli-" + std::to_string(::getpid()) + "-" + Name;
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
                                   "export-text " + Bad + " " + TempPath("export")}) {
        TRun R = Cli(Cmd);
        EXPECT_EQ(R.Code, 1) << Cmd;
        EXPECT_NE(R.Out.find("Файл поврежден или не является файлом карты!"), std::string::npos) << Cmd;
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
    std::system(("rm -rf '" + Folder + "'").c_str());
}
