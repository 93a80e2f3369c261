#include "base/ZemFileWrite.h"

#include "base/ZemErrors.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

constexpr const char* kTempMark = ".tmp-";
// A temporary whose writer is still alive is left alone until it is this old (seconds); one without a
// recorded writer, from an older version of the program, after a minute.
constexpr time_t kStaleWithWriter = 600;
constexpr time_t kStaleWithoutWriter = 60;

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Error) {
    throw EZemError(What + " \"" + Path + "\": " + SystemErrorText(Error));
}

class TFd {
public:
    explicit TFd(int Fd = -1) : FFd(Fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd() { Reset(); }
    int Get() const { return FFd; }
    void Reset(int Fd = -1) {
        if (FFd >= 0)
            ::close(FFd);
        FFd = Fd;
    }
    // Closes now, reporting what close reports (a delayed write error on some file systems).
    int Close() {
        const int Fd = FFd;
        FFd = -1;
        return ::close(Fd);
    }

private:
    int FFd;
};

// A named temporary file beside the target; removed unless it was renamed into place.
struct TTempName {
    std::string Name;
    TTempName() = default;
    TTempName(const TTempName&) = delete;
    TTempName& operator=(const TTempName&) = delete;
    ~TTempName() {
        if (!Name.empty())
            ::unlink(Name.c_str());
    }
};

std::string DirName(const std::string& Path) {
    const size_t Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

std::string BaseName(const std::string& Path) {
    const size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// The file a save replaces: Path itself or, when Path is a symbolic link, the file the chain of links
// ends at, so that the link stays and its target gets the new content. A dangling link names the file
// to create.
std::string FollowLinks(const std::string& Path) {
    std::string P = Path;
    for (int Hops = 0; Hops < 40; ++Hops) {
        struct stat St;
        if (::lstat(P.c_str(), &St) != 0 || !S_ISLNK(St.st_mode))
            return P;
        std::string Target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(P.c_str(), Target.data(), Target.size());
        if (n < 0)
            Fail("Не удалось записать файл", Path, errno);
        if (static_cast<size_t>(n) >= Target.size())
            Fail("Не удалось записать файл", Path, ENAMETOOLONG);
        Target.resize(static_cast<size_t>(n));
        P = !Target.empty() && Target[0] == '/' ? Target : DirName(P) + "/" + Target;
    }
    Fail("Не удалось записать файл", Path, ELOOP);
}

// "<target>.tmp-<process>-XXXXXX": the process lets a later save tell a leftover from a running write.
std::string TempName(const std::string& Target) {
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device Random;
    std::string Name = Target + kTempMark + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 6; ++i)
        Name += Letters[Random() % (sizeof Letters - 1)];
    return Name;
}

bool IsAlnum(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9');
}

// Whether the part of a name after "<target>.tmp-" is one of ours: "<process>-XXXXXX" (Writer is set)
// or the older "XXXXXX".
bool ParseTempTail(const std::string& Tail, std::optional<long>& Writer) {
    const size_t Dash = Tail.find('-');
    const std::string Suffix = Dash == std::string::npos ? Tail : Tail.substr(Dash + 1);
    if (Suffix.size() != 6)
        return false;
    for (char C : Suffix)
        if (!IsAlnum(C))
            return false;
    if (Dash == std::string::npos)
        return true;
    if (Dash == 0 || Dash > 9)
        return false;
    long Pid = 0;
    for (size_t i = 0; i < Dash; ++i) {
        if (Tail[i] < '0' || Tail[i] > '9')
            return false;
        Pid = Pid * 10 + (Tail[i] - '0');
    }
    Writer = Pid;
    return Pid > 0;
}

} // namespace

void SweepStaleTemporaries(const std::string& Target) {
    const std::string Prefix = BaseName(Target) + kTempMark;
    std::unique_ptr<DIR, int (*)(DIR*)> Dir(::opendir(DirName(Target).c_str()), ::closedir);
    if (!Dir)
        return; // the write itself will report a folder it cannot use
    const int DirFd = ::dirfd(Dir.get());
    const time_t Now = std::time(nullptr);
    while (const dirent* Entry = ::readdir(Dir.get())) {
        const std::string Name = Entry->d_name;
        std::optional<long> Writer;
        if (Name.compare(0, Prefix.size(), Prefix) != 0 || !ParseTempTail(Name.substr(Prefix.size()), Writer))
            continue;
        struct stat St;
        if (::fstatat(DirFd, Name.c_str(), &St, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(St.st_mode))
            continue;
        const bool WriterGone = Writer && ::kill(static_cast<pid_t>(*Writer), 0) != 0 && errno == ESRCH;
        const bool Old = Now - St.st_mtime > (Writer ? kStaleWithWriter : kStaleWithoutWriter);
        if (WriterGone || Old)
            ::unlinkat(DirFd, Name.c_str(), 0);
    }
}

void WriteFileAtomically(const std::string& Path, std::string_view Bytes) {
    const std::string Target = FollowLinks(Path);
    struct stat Old;
    const bool Replacing = ::stat(Target.c_str(), &Old) == 0 && S_ISREG(Old.st_mode);
    SweepStaleTemporaries(Target);

    // An unnamed file first: if the process dies while writing, nothing is left behind. File systems
    // without unnamed files get a named temporary, which a later save sweeps away if it is left.
    TTempName Named;
    TFd Fd(::open(DirName(Target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    const bool Unnamed = Fd.Get() >= 0;
    if (!Unnamed) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            Fail("Не удалось создать файл", Path, errno);
        for (int Try = 0; Fd.Get() < 0; ++Try) {
            const std::string Name = TempName(Target);
            Fd.Reset(::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (Fd.Get() >= 0)
                Named.Name = Name;
            else if (errno != EEXIST || Try >= 100)
                Fail("Не удалось создать файл", Path, errno);
        }
    }

    size_t Done = 0;
    while (Done < Bytes.size()) {
        const ssize_t n = ::write(Fd.Get(), Bytes.data() + Done, Bytes.size() - Done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Не удалось записать файл", Path, errno);
        }
        Done += static_cast<size_t>(n);
    }
    if (Replacing) {
        // The new file takes the old one's owner where we may give it (as root, or a group of ours) and
        // its mode; the owner first, since changing it clears set-user-ID bits.
        if (::fchown(Fd.Get(), Old.st_uid, Old.st_gid) != 0 &&
            ::fchown(Fd.Get(), static_cast<uid_t>(-1), Old.st_gid) != 0) {
            // not permitted: the file stays ours, as any file we create
        }
        if (::fchmod(Fd.Get(), Old.st_mode & 07777) != 0)
            Fail("Не удалось записать файл", Path, errno);
    }
    if (::fsync(Fd.Get()) != 0)
        Fail("Не удалось записать файл", Path, errno);

    if (Unnamed) {
        // A name cannot be replaced by linking, only by renaming: link the finished file under a fresh
        // name, then rename that over the target in one step.
        const std::string Self = "/proc/self/fd/" + std::to_string(Fd.Get());
        for (int Try = 0; Named.Name.empty(); ++Try) {
            const std::string Name = TempName(Target);
            int Linked = ::linkat(AT_FDCWD, Self.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW);
            if (Linked != 0 && errno == ENOENT) // no /proc: this way needs privileges, but may work
                Linked = ::linkat(Fd.Get(), "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH);
            if (Linked == 0)
                Named.Name = Name;
            else if (errno != EEXIST || Try >= 100)
                Fail("Не удалось записать файл", Path, errno);
        }
    }
    if (Fd.Close() != 0)
        Fail("Не удалось записать файл", Path, errno);
    if (::rename(Named.Name.c_str(), Target.c_str()) != 0)
        Fail("Не удалось записать файл", Path, errno);
    Named.Name.clear();
    // Make the rename itself durable; a failure here no longer endangers either file.
    TFd Folder(::open(DirName(Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (Folder.Get() >= 0)
        ::fsync(Folder.Get());
}

std::string ReadWholeFile(const std::string& Path, std::size_t MaxBytes) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer; the descriptor's type is checked next.
    const TFd File(::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int Fd = File.Get();
    if (Fd < 0)
        Fail("Не удалось открыть файл", Path, errno);
    struct stat St;
    if (::fstat(Fd, &St) != 0)
        Fail("Не удалось открыть файл", Path, errno);
    // A device or a pipe may never end (/dev/zero) or never answer.
    if (!S_ISREG(St.st_mode))
        throw EZemError("Не удалось открыть файл \"" + Path + "\": это не обычный файл");
    auto TooLarge = [&] {
        throw EZemError("Не удалось открыть файл \"" + Path + "\": файл больше " + std::to_string(MaxBytes) +
                        " байт");
    };
    if (static_cast<std::uint64_t>(St.st_size) > MaxBytes)
        TooLarge();
    std::string Data;
    Data.reserve(static_cast<std::size_t>(St.st_size));
    char Buf[65536];
    for (;;) {
        const ssize_t n = ::read(Fd, Buf, sizeof Buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Не удалось прочитать файл", Path, errno);
        }
        if (n == 0)
            break;
        // The file may grow while it is read.
        if (static_cast<std::size_t>(n) > MaxBytes - Data.size())
            TooLarge();
        Data.append(Buf, static_cast<std::size_t>(n));
    }
    return Data;
}

} // namespace zem
