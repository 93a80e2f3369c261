// The recovery folder (writing, listing, skipping live programs, taking over, removing) and the autosave's
// clock on a headless map.
#include "base/ZemFileWrite.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "persistence/ZemAutosave.h"
#include "persistence/ZemRecovery.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace zem;

namespace fs = std::filesystem;

namespace {

// The number of a process that has ended (and been reaped).
long DeadPid() {
    const pid_t Child = ::fork();
    if (Child == 0)
        ::_exit(0);
    ::waitpid(Child, nullptr, 0);
    return Child;
}

struct Recovery : ::testing::Test {
    fs::path Dir;
    HeadlessHost Host;
    TZemMap Map{Host};

    void SetUp() override {
        std::string Pattern = (fs::temp_directory_path() / "zemrecovery-XXXXXX").string();
        ASSERT_NE(::mkdtemp(Pattern.data()), nullptr);
        Dir = Pattern;
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Folder() const { return (Dir / "recovery").string(); }
    std::vector<std::uint8_t> MapWithObjects(int n) {
        Map.Clear();
        TZemObject T;
        T.Kind = otPolygon;
        for (int i = 0; i < n; ++i) {
            T.ClearPoints();
            T.AddPoint(10.0f * i, 0);
            T.AddPoint(10.0f * i + 5, 5);
            T.AddPoint(10.0f * i, 9);
            Map.AddObject(T);
        }
        return Map.SaveToBytes();
    }
    // A copy as a program with this writer would have left it.
    std::string PlantCopy(const std::string& Name, const TRecoveryWriter& Writer, const std::string& Original,
                          const std::vector<std::uint8_t>& File) const {
        TRecoveryCopy C;
        C.Writer = Writer;
        C.Original = Original;
        C.Time = 1700000000;
        std::string Bytes = RecoveryRecord(C) + std::string(File.begin(), File.end());
        fs::create_directories(Folder());
        const std::string Path = Folder() + "/" + Name + TZemRecoveryFolder::kSuffix;
        WriteFileAtomically(Path, Bytes);
        return Path;
    }
    int CopiesOnDisk() const {
        int n = 0;
        if (fs::exists(Folder()))
            for (const auto& E : fs::directory_iterator(Folder()))
                n += E.path().extension() == TZemRecoveryFolder::kSuffix;
        return n;
    }
};

} // namespace

TEST_F(Recovery, TheRecordKeepsAnyPathAndRefusesGarbage) {
    TRecoveryCopy C;
    C.Writer = {42, 123456, "boot-id"};
    C.Time = 1765130000;
    C.Original = "/home/u/две\nстроки\\и \xCA.mp";
    const std::string Bytes = RecoveryRecord(C) + "MAP";
    std::size_t Start = 0;
    const TRecoveryCopy R = ParseRecoveryRecord(Bytes, Start);
    EXPECT_EQ(R.Original, C.Original);
    EXPECT_EQ(R.Time, C.Time);
    EXPECT_EQ(R.Writer.Pid, 42);
    EXPECT_EQ(R.Writer.StartTicks, 123456u);
    EXPECT_EQ(R.Writer.BootId, "boot-id");
    EXPECT_EQ(Bytes.substr(Start), "MAP");
    // Never saved: an empty name.
    C.Original.clear();
    EXPECT_EQ(ParseRecoveryRecord(RecoveryRecord(C), Start).Original, "");

    for (const std::string& Bad : {std::string(), std::string("ZemMap recovery"), std::string("garbage\n\n"),
                                   std::string("ZemMap recovery copy\npid x\ntime 1\n\n"),
                                   std::string("ZemMap recovery copy\ntime 1\n\n"),
                                   std::string("ZemMap recovery copy\npid 5\ntime 1\nfile a\\q\n\n"),
                                   std::string("ZemMap recovery copy\npid 5\ntime 1\n")})
        EXPECT_THROW(ParseRecoveryRecord(Bad, Start), EZemError) << Bad;
}

TEST_F(Recovery, OnlyCopiesOfEndedProgramsAreOfferedAndTakingOverClaimsThem) {
    const std::vector<std::uint8_t> File = MapWithObjects(3);
    TZemRecoveryFolder Mine(Folder());
    Mine.Write("/maps/mine.mp", 1700000100, File);
    // A running program (this one), the same number in an earlier run of the machine or with another start,
    // and an ended program.
    TRecoveryWriter Earlier = TRecoveryWriter::Self();
    Earlier.StartTicks += 1;
    TRecoveryWriter OtherBoot = TRecoveryWriter::Self();
    OtherBoot.BootId = "another-boot";
    PlantCopy("live", TRecoveryWriter::Self(), "/maps/live.mp", File);
    PlantCopy("reused", Earlier, "/maps/reused.mp", File);
    PlantCopy("reboot", OtherBoot, "/maps/reboot.mp", File);
    const std::string Dead = PlantCopy("dead", TRecoveryWriter{DeadPid(), 0, ""}, "", File);
    // Killed, not yet collected by its parent: ended all the same.
    const pid_t Zombie = ::fork();
    if (Zombie == 0)
        ::_exit(0);
    ASSERT_GT(Zombie, 0);
    for (int i = 0; i < 500 && TRecoveryWriter{Zombie, 0, ""}.Alive(); ++i)
        ::usleep(2000);
    PlantCopy("zombie", TRecoveryWriter{Zombie, 0, ""}, "/maps/zombie.mp", File);

    TZemRecoveryFolder Next(Folder()); // the next program's view
    std::vector<TRecoveryCopy> List = Next.Orphans();
    ::waitpid(Zombie, nullptr, 0);
    std::vector<std::string> Names;
    for (const TRecoveryCopy& C : List) {
        EXPECT_FALSE(C.Damaged()) << C.Problem;
        Names.push_back(C.Original);
    }
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{"", "/maps/reboot.mp", "/maps/reused.mp", "/maps/zombie.mp"}));

    // Taking one over makes it the taker's: no other program offers it, and it loads.
    const auto It =
        std::find_if(List.begin(), List.end(), [&](const TRecoveryCopy& C) { return C.Path == Dead; });
    ASSERT_NE(It, List.end());
    const std::vector<std::uint8_t> Taken = Next.TakeOver(*It);
    EXPECT_EQ(Taken, File);
    EXPECT_FALSE(fs::exists(Dead));
    EXPECT_TRUE(fs::exists(Next.OwnPath()));
    EXPECT_EQ(TZemRecoveryFolder(Folder()).Orphans().size(), 3u);
    EXPECT_THROW(TZemRecoveryFolder(Folder()).TakeOver(*It), EZemError); // gone
    HeadlessHost H2;
    TZemMap Restored(H2);
    EXPECT_TRUE(Restored.LoadFromBytes(Taken));
    EXPECT_EQ(Restored.Count(), 3);

    // Removing: the own copy, and a listed one.
    const int Before = CopiesOnDisk();
    Mine.RemoveOwn();
    TZemRecoveryFolder::Remove(List.back()); // not the one taken over
    EXPECT_EQ(CopiesOnDisk(), Before - 2);
}

TEST_F(Recovery, DamagedCopiesAreListedWithTheirProblemAndNeverThrow) {
    const std::vector<std::uint8_t> File = MapWithObjects(20);
    const TRecoveryWriter Gone{DeadPid(), 0, ""};
    const std::string Path = PlantCopy("copy", Gone, "/maps/a.mp", File);
    const std::string Sound = ReadWholeFile(Path);
    std::mt19937 Rng(2024);
    for (int Round = 0; Round < 90; ++Round) {
        std::string Bytes = Sound;
        switch (Round % 3) {
        case 0: // cut short anywhere
            Bytes.resize(Rng() % Bytes.size());
            break;
        case 1: // one byte changed past the record and the map header
            Bytes[Bytes.size() - 1 - Rng() % (File.size() - 72)] ^= static_cast<char>(1 + Rng() % 255);
            break;
        default: // garbage
            for (char& C : Bytes)
                C = static_cast<char>(Rng());
        }
        WriteFileAtomically(Path, Bytes);
        const std::vector<TRecoveryCopy> List = TZemRecoveryFolder(Folder()).Orphans();
        ASSERT_EQ(List.size(), 1u);
        EXPECT_TRUE(List[0].Damaged()) << "round " << Round;
        EXPECT_EQ(List[0].Path, Path);
        EXPECT_THROW(TZemRecoveryFolder(Folder()).TakeOver(List[0]), EZemError);
        EXPECT_TRUE(fs::exists(Path)); // left for the user to delete
    }
}

// By a child process, and by the thread where fork fails.
class RecoveryClock : public Recovery, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(Writers, RecoveryClock, ::testing::Bool());

TEST_P(RecoveryClock, AutosaveWritesOneIntervalAfterTheFirstChangeAndAtMostOnceAnInterval) {
    MapWithObjects(2);
    Map.ClearHistory();
    TZemAutosave Autosave(Map, TZemRecoveryFolder(Folder()), 1000);
    Autosave.UseChildProcess = GetParam();
    Autosave.SetOriginal("/maps/town.mp");
    const std::string Own = Autosave.Folder().OwnPath();
    auto Change = [&] {
        TZemObject T;
        T.Kind = otLine;
        T.AddPoint(0, 0);
        T.AddPoint(5, 5);
        {
            TZemChange Step(Map);
            Map.TouchObject(Map.Doc.MaxID);
            Map.AddObject(T);
        }
        Autosave.DocumentChanged();
    };
    auto CountInCopy = [&] {
        Autosave.Wait();
        std::size_t Start = 0;
        const std::string Bytes = ReadWholeFile(Own);
        const TRecoveryCopy C = ParseRecoveryRecord(Bytes, Start);
        EXPECT_EQ(C.Original, "/maps/town.mp");
        HeadlessHost H2;
        TZemMap Copy(H2);
        EXPECT_TRUE(Copy.LoadFromBytes(
            std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()) + Start, Bytes.size() - Start)));
        return Copy.Count();
    };

    Autosave.DocumentChanged(); // nothing unsaved: no clock
    Host.AdvanceTime(5000);
    EXPECT_FALSE(fs::exists(Own));

    Change();
    Host.AdvanceTime(999);
    Autosave.Wait();
    EXPECT_FALSE(fs::exists(Own));
    Host.AdvanceTime(1);
    EXPECT_EQ(CountInCopy(), 3);
    // Changes right after a copy wait for the interval to pass.
    Change();
    Host.AdvanceTime(500);
    EXPECT_EQ(CountInCopy(), 3);
    Change();
    Host.AdvanceTime(500);
    EXPECT_EQ(CountInCopy(), 5);
    EXPECT_EQ(Autosave.Writes(), 2);
    // A quiet interval stops the clock; the next change waits a whole interval again.
    Host.AdvanceTime(1000);
    Change();
    Host.AdvanceTime(999);
    EXPECT_EQ(CountInCopy(), 5);
    Host.AdvanceTime(1);
    EXPECT_EQ(CountInCopy(), 6);

    // Saved or dropped: the copy goes, and no write brings it back.
    Change();
    EXPECT_TRUE(Autosave.WriteNow());
    Autosave.Discard();
    EXPECT_FALSE(fs::exists(Own));
    Host.AdvanceTime(5000);
    Autosave.Wait();
    EXPECT_FALSE(fs::exists(Own));
}

TEST_P(RecoveryClock, AFailedWriteIsReportedAndAnEndedAutosaveLeavesNoCopy) {
    MapWithObjects(1);
    std::string Own;
    {
        // The folder's place is taken by a file: every write fails, once reported each.
        std::ofstream(Dir / "blocked") << "x";
        TZemAutosave Blocked(Map, TZemRecoveryFolder((Dir / "blocked" / "recovery").string()), 10);
        Blocked.UseChildProcess = GetParam();
        std::vector<std::string> Errors;
        Blocked.OnWriteFailed = [&](const std::string& E) { Errors.push_back(E); };
        Map.History().MarkUnsaved();
        EXPECT_TRUE(Blocked.WriteNow());
        Blocked.Wait();
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_NE(Errors[0].find("Не удалось"), std::string::npos) << Errors[0];
        EXPECT_EQ(Blocked.Writes(), 0);

        TZemAutosave Autosave(Map, TZemRecoveryFolder(Folder()), 10);
        Autosave.UseChildProcess = GetParam();
        Own = Autosave.Folder().OwnPath();
        EXPECT_TRUE(Autosave.WriteNow());
        // Ends while its write may still run.
    }
    EXPECT_FALSE(fs::exists(Own));
    EXPECT_EQ(CopiesOnDisk(), 0);
}
