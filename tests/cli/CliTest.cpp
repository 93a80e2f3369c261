#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

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
