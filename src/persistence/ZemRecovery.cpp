#include "persistence/ZemRecovery.h"

#include "base/ZemErrors.h"
#include "base/ZemFileWrite.h"
#include "persistence/ZemBinaryStream.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

constexpr std::string_view kMagic = "ZemMap recovery copy\n";
// A record is a few short lines and one path; anything longer is not one of ours.
constexpr std::size_t kMaxRecord = 64 * 1024;
// A map file's 64-byte header, the frame's length, checksum and H, and the most a frame holds.
constexpr std::size_t kMaxCopyBytes = kMaxRecord + 64 + 12 + kMaxFrameContent;
constexpr std::size_t kMapHeader = 64;

std::string FirstLine(const std::string& Path) {
    std::ifstream In(Path);
    std::string Line;
    std::getline(In, Line);
    return Line;
}

// Field 22 of /proc/<pid>/stat, the start time in clock ticks since boot; 0 when it cannot be read.
// Zombie is set when the process has ended and only waits for its parent (state 'Z' or 'X', field 3).
// The process name (field 2) may hold spaces and parentheses: the fields are counted after its last ')'.
std::uint64_t StartTicksOf(long Pid, bool* Zombie = nullptr) {
    const std::string Stat = FirstLine("/proc/" + std::to_string(Pid) + "/stat");
    const std::size_t Close = Stat.rfind(')');
    if (Close == std::string::npos)
        return 0;
    std::size_t At = Close + 1;
    for (int Field = 3; Field <= 22; ++Field) {
        At = Stat.find_first_not_of(' ', At);
        if (At == std::string::npos)
            return 0;
        const std::size_t End = std::min(Stat.find(' ', At), Stat.size());
        if (Field == 3 && Zombie)
            *Zombie = Stat[At] == 'Z' || Stat[At] == 'X';
        if (Field == 22) {
            std::uint64_t Ticks = 0;
            std::from_chars(Stat.data() + At, Stat.data() + End, Ticks);
            return Ticks;
        }
        At = End;
    }
    return 0;
}

std::string CurrentBootId() {
    return FirstLine("/proc/sys/kernel/random/boot_id");
}

// Paths may hold any byte but the zero: the two that would break a line are escaped.
std::string Escape(const std::string& S) {
    std::string Out;
    for (char C : S) {
        if (C == '\\')
            Out += "\\\\";
        else if (C == '\n')
            Out += "\\n";
        else
            Out += C;
    }
    return Out;
}

bool Unescape(std::string_view S, std::string& Out) {
    Out.clear();
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] != '\\') {
            Out += S[i];
            continue;
        }
        if (++i == S.size())
            return false;
        if (S[i] == '\\')
            Out += '\\';
        else if (S[i] == 'n')
            Out += '\n';
        else
            return false;
    }
    return true;
}

template <typename T> bool ParseNumber(std::string_view S, T& Value) {
    const auto [End, Error] = std::from_chars(S.data(), S.data() + S.size(), Value);
    return Error == std::errc() && End == S.data() + S.size() && !S.empty();
}

[[noreturn]] void NotACopy(const std::string& Why) {
    throw EZemError(Why);
}

std::string RandomToken() {
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device Random;
    std::string Token;
    for (int i = 0; i < 8; ++i)
        Token += Letters[Random() % (sizeof Letters - 1)];
    return Token;
}

bool EndsWith(const std::string& S, std::string_view End) {
    return S.size() >= End.size() && S.compare(S.size() - End.size(), End.size(), End) == 0;
}

// Reads a copy whole and checks it: its record, then its map frame (checksum and packed data).
TRecoveryCopy ReadCopy(const std::string& Path, std::string* MapFile) {
    const std::string Bytes = ReadWholeFile(Path, kMaxCopyBytes);
    std::size_t MapStart = 0;
    TRecoveryCopy Copy = ParseRecoveryRecord(Bytes, MapStart);
    Copy.Path = Path;
    const auto Map =
        std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()).subspan(MapStart);
    TBinaryReader Frame;
    if (Map.size() <= kMapHeader || !Frame.LoadFromStream(Map.subspan(kMapHeader)))
        NotACopy("копия обрезана");
    if (MapFile)
        MapFile->assign(reinterpret_cast<const char*>(Map.data()), Map.size());
    return Copy;
}

} // namespace

TRecoveryWriter TRecoveryWriter::Self() {
    TRecoveryWriter W;
    W.Pid = static_cast<long>(::getpid());
    W.StartTicks = StartTicksOf(W.Pid);
    W.BootId = CurrentBootId();
    return W;
}

bool TRecoveryWriter::Alive() const {
    if (Pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(Pid), 0) != 0 && errno == ESRCH)
        return false;
    // A process of that number runs: is it the writer, or a later one that got its number?
    const std::string Boot = CurrentBootId();
    if (!BootId.empty() && !Boot.empty() && Boot != BootId)
        return false;
    // A killed program whose parent has not collected it yet has ended all the same.
    bool Zombie = false;
    const std::uint64_t Ticks = StartTicksOf(Pid, &Zombie);
    return !Zombie && (StartTicks == 0 || Ticks == 0 || Ticks == StartTicks);
}

std::string RecoveryRecord(const TRecoveryCopy& Copy) {
    std::string R(kMagic);
    R += "pid " + std::to_string(Copy.Writer.Pid) + "\n";
    R += "start " + std::to_string(Copy.Writer.StartTicks) + "\n";
    R += "boot " + Escape(Copy.Writer.BootId) + "\n";
    R += "time " + std::to_string(Copy.Time) + "\n";
    R += "file " + Escape(Copy.Original) + "\n\n";
    return R;
}

TRecoveryCopy ParseRecoveryRecord(std::string_view Bytes, std::size_t& MapStart) {
    if (Bytes.substr(0, kMagic.size()) != kMagic)
        NotACopy(Bytes.size() < kMagic.size() ? "копия обрезана" : "это не копия карты");
    const std::size_t End = Bytes.substr(0, kMaxRecord).find("\n\n", kMagic.size() - 1);
    if (End == std::string_view::npos)
        NotACopy(Bytes.size() < kMaxRecord ? "копия обрезана" : "это не копия карты");
    TRecoveryCopy Copy;
    bool HasPid = false, HasTime = false;
    std::string_view Lines = Bytes.substr(kMagic.size(), End + 1 - kMagic.size());
    while (!Lines.empty()) {
        const std::size_t Eol = Lines.find('\n');
        const std::string_view Line = Lines.substr(0, Eol);
        Lines.remove_prefix(Eol + 1);
        const std::size_t Space = Line.find(' ');
        const std::string_view Key = Line.substr(0, Space);
        const std::string_view Value = Space == std::string_view::npos ? "" : Line.substr(Space + 1);
        bool Ok = true;
        if (Key == "pid")
            Ok = HasPid = ParseNumber(Value, Copy.Writer.Pid) && Copy.Writer.Pid > 0;
        else if (Key == "start")
            Ok = ParseNumber(Value, Copy.Writer.StartTicks);
        else if (Key == "boot")
            Ok = Unescape(Value, Copy.Writer.BootId);
        else if (Key == "time")
            Ok = HasTime = ParseNumber(Value, Copy.Time);
        else if (Key == "file")
            Ok = Unescape(Value, Copy.Original);
        // Other keys, from a later version, are passed over.
        if (!Ok)
            NotACopy("запись о копии испорчена");
    }
    if (!HasPid || !HasTime)
        NotACopy("запись о копии неполна");
    MapStart = End + 2;
    return Copy;
}

TZemRecoveryFolder::TZemRecoveryFolder(std::string Folder) : FFolder(std::move(Folder)) {
    while (FFolder.size() > 1 && FFolder.back() == '/')
        FFolder.pop_back();
    // One name for the whole run, unlike any earlier process of the same number.
    FOwnPath = FFolder + "/" + std::to_string(::getpid()) + "-" + RandomToken() + kSuffix;
}

void TZemRecoveryFolder::Write(const std::string& Original, std::int64_t Time,
                               std::span<const std::uint8_t> MapFile) const {
    Write(Original, Time, MapFile, TRecoveryWriter::Self());
}

void TZemRecoveryFolder::Write(const std::string& Original, std::int64_t Time,
                               std::span<const std::uint8_t> MapFile, const TRecoveryWriter& Writer) const {
    // The folder and those above it that are missing (a fresh user has no data folder yet), private
    // to the user.
    for (std::size_t Slash = FFolder.find('/', 1);; Slash = FFolder.find('/', Slash + 1)) {
        const std::string Part = FFolder.substr(0, Slash);
        if (::mkdir(Part.c_str(), 0700) != 0 && errno != EEXIST)
            throw EZemError("Не удалось создать папку \"" + Part + "\": " + SystemErrorText(errno));
        if (Slash == std::string::npos)
            break;
    }
    TRecoveryCopy Copy;
    Copy.Original = Original;
    Copy.Time = Time;
    Copy.Writer = Writer;
    std::string Bytes = RecoveryRecord(Copy);
    Bytes.append(reinterpret_cast<const char*>(MapFile.data()), MapFile.size());
    WriteFileAtomically(FOwnPath, Bytes);
}

void TZemRecoveryFolder::RemoveOwn() const {
    ::unlink(FOwnPath.c_str());
}

std::vector<TRecoveryCopy> TZemRecoveryFolder::Orphans() const {
    std::vector<TRecoveryCopy> List;
    std::unique_ptr<DIR, int (*)(DIR*)> Dir(::opendir(FFolder.c_str()), ::closedir);
    if (!Dir)
        return List;
    while (const dirent* Entry = ::readdir(Dir.get())) {
        const std::string Name = Entry->d_name;
        const std::string Path = FFolder + "/" + Name;
        struct stat St;
        if (!EndsWith(Name, kSuffix) || Path == FOwnPath || ::lstat(Path.c_str(), &St) != 0 ||
            !S_ISREG(St.st_mode))
            continue;
        TRecoveryCopy Copy;
        try {
            // The record first: a copy of a running program is not read any further.
            std::string Head(kMaxRecord, '\0');
            {
                std::ifstream In(Path, std::ios::binary);
                In.read(Head.data(), static_cast<std::streamsize>(Head.size()));
                Head.resize(static_cast<std::size_t>(In.gcount()));
            }
            std::size_t MapStart = 0;
            if (ParseRecoveryRecord(Head, MapStart).Writer.Alive())
                continue;
            Copy = ReadCopy(Path, nullptr);
        } catch (const std::exception& E) {
            Copy = TRecoveryCopy();
            Copy.Path = Path;
            Copy.Time = St.st_mtime;
            Copy.Problem = E.what();
        }
        List.push_back(std::move(Copy));
    }
    std::sort(List.begin(), List.end(), [](const TRecoveryCopy& a, const TRecoveryCopy& b) {
        return a.Time != b.Time ? a.Time < b.Time : a.Path < b.Path;
    });
    return List;
}

std::vector<std::uint8_t> TZemRecoveryFolder::TakeOver(const TRecoveryCopy& Copy) const {
    // Between the list and the answer another program may have taken the copy: it then carries that
    // program's record, or is gone.
    std::string MapFile;
    TRecoveryCopy Now;
    try {
        Now = ReadCopy(Copy.Path, &MapFile);
    } catch (const EZemError&) {
        if (::access(Copy.Path.c_str(), F_OK) != 0)
            throw EZemError("Копии больше нет: её восстановила или удалила другая программа.");
        throw;
    }
    if (Now.Writer.Alive())
        throw EZemError("Копию уже восстановила другая запущенная программа.");
    // The rename is the claim: of two programs only one finds the copy under its old name.
    if (::rename(Copy.Path.c_str(), FOwnPath.c_str()) != 0)
        throw EZemError("Копии больше нет: её восстановила или удалила другая программа.");
    const auto Map = std::span(reinterpret_cast<const std::uint8_t*>(MapFile.data()), MapFile.size());
    try {
        Write(Now.Original, Now.Time, Map); // from now on it is this program's copy
    } catch (const EZemError&) {
        // The copy stays under this program's name with the old record: offered again next time.
    }
    return std::vector<std::uint8_t>(Map.begin(), Map.end());
}

void TZemRecoveryFolder::Remove(const TRecoveryCopy& Copy) {
    ::unlink(Copy.Path.c_str());
}

} // namespace zem
