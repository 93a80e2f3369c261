#include "base/ZemFileWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zem;

namespace fs = std::filesystem;

namespace {

struct SafeWrite : ::testing::Test {
    fs::path Dir;
    void SetUp() override {
        std::string Pattern = (fs::temp_directory_path() / "zemwrite-XXXXXX").string();
        ASSERT_NE(::mkdtemp(Pattern.data()), nullptr);
        Dir = Pattern;
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::vector<std::string> Names() const {
        std::vector<std::string> N;
        for (const auto& E : fs::directory_iterator(Dir))
            N.push_back(E.path().filename().string());
        std::sort(N.begin(), N.end());
        return N;
    }
    void Touch(const std::string& Name) const { std::ofstream(Dir / Name) << "left"; }
};

} // namespace

TEST_F(SafeWrite, KeepsTheModeAndOwnerAndWritesThroughASymbolicLink) {
    const fs::path Target = Dir / "map.mp", Link = Dir / "link.mp";
    zem::WriteFileAtomically(Target.string(), "old");
    ASSERT_EQ(::chmod(Target.c_str(), 0640), 0);
    const bool Root = ::geteuid() == 0;
    if (Root) {
        ASSERT_EQ(::chown(Target.c_str(), 4321, 4322), 0);
    }
    fs::create_symlink("map.mp", Link);

    zem::WriteFileAtomically(Link.string(), "new");
    EXPECT_TRUE(fs::is_symlink(Link));
    EXPECT_EQ(zem::ReadWholeFile(Target.string()), "new");
    struct stat St;
    ASSERT_EQ(::stat(Target.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0640u);
    if (Root) {
        EXPECT_EQ(St.st_uid, 4321u);
        EXPECT_EQ(St.st_gid, 4322u);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.mp", "map.mp"}));
}

TEST_F(SafeWrite, SweepsWhatInterruptedSavesOfTheSameTargetLeft) {
    // A process that has ended, as one killed in the middle of a save.
    const pid_t Child = ::fork();
    if (Child == 0)
        ::_exit(0);
    ASSERT_GT(Child, 0);
    ::waitpid(Child, nullptr, 0);
    const std::string Ended = std::to_string(Child);
    Touch("map.mp.tmp-" + Ended + "-aB3xYz"); // its writer is gone
    Touch("map.mp.tmp-Q1w2E3");               // an older version's, an hour old
    fs::last_write_time(Dir / "map.mp.tmp-Q1w2E3", fs::file_time_type::clock::now() - std::chrono::hours(1));
    Touch("map.mp.tmp-" + std::to_string(::getpid()) + "-aB3xYz"); // a save still running
    Touch("other.mp.tmp-" + Ended + "-aB3xYz");                    // another file's

    zem::WriteFileAtomically((Dir / "map.mp").string(), "map");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"map.mp", "map.mp.tmp-" + std::to_string(::getpid()) + "-aB3xYz",
                                        "other.mp.tmp-" + Ended + "-aB3xYz"}));
}
