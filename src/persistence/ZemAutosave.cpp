#include "persistence/ZemAutosave.h"

#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemMapContent.h"
#include "platform/ZemHost.h"
#include "platform/ZemTimer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zem {

namespace {
// Copies are packed quickly: the level only changes the size of the frame, not the document (which keeps
// its own level for "Сохранить"), and a copy is written again and again.
constexpr std::uint8_t kCopyLevel = 1;
// A child that has not ended this long after it was waited for is stuck (it would be on a lock another
// thread held at the fork): it is ended, and the copy counts as not written.
constexpr auto kChildPatience = std::chrono::seconds(20);
} // namespace

TZemAutosave::TZemAutosave(TZemMap& Map, TZemRecoveryFolder Folder, std::int32_t IntervalMs)
    : FMap(Map), FFolder(std::move(Folder)),
      FTimer(std::make_unique<TZemTimer>(Map.Host(), std::max(IntervalMs, 1))),
      FPoll(std::make_unique<TZemTimer>(Map.Host(), kPollInterval)), FSelf(TRecoveryWriter::Self()) {
    FTimer->OnTimer = [this](TZemTimer&) { Tick(); };
    FPoll->OnTimer = [this](TZemTimer&) { Poll(); };
}

TZemAutosave::~TZemAutosave() {
    OnWriteFailed = nullptr; // the window that listened may be going too
    Discard();
}

void TZemAutosave::DocumentChanged() {
    // Back in its saved state the map needs no new copy; one already written stays until the map is saved
    // or dropped (it holds what the file holds, and a load clears the history on its way).
    if (!FMap.Modified())
        return;
    FChanged = true;
    FTimer->SetEnabled(true); // a running clock goes on: one copy an interval at most
}

void TZemAutosave::Discard() {
    FTimer->SetEnabled(false);
    FPoll->SetEnabled(false);
    FChanged = false;
    Collect(true); // a write still running would bring the copy back
    FFolder.RemoveOwn();
}

void TZemAutosave::Tick() {
    // Without changes since the last copy the clock stops; the next change starts it afresh.
    if (!FChanged || !FMap.Modified()) {
        FTimer->SetEnabled(false);
        return;
    }
    WriteNow();
}

bool TZemAutosave::WriteNow() {
    if (!Collect(false))
        return false;
    FChanged = false;
    if (!FMap.Modified())
        return false;
    const std::int64_t Time = std::time(nullptr);
    if (UseChildProcess && StartChild(Time)) {
        FPoll->SetEnabled(true);
        return true;
    }
    // On this thread: the content only. The rest works on what it owns.
    std::shared_ptr<TBinaryWriter> Content = SaveMapContent(FMap, false, FSizeHint);
    FSizeHint = Content->Length() + Content->Length() / 8; // room for the next copy in one allocation
    FDone = false;
    FWriter = std::thread([this, Content, Folder = FFolder, Original = FOriginal, Time] {
        std::string Error;
        try {
            const std::vector<std::uint8_t> File = PackMapFile(*Content, kCopyLevel);
            Folder.Write(Original, Time, File, FSelf);
        } catch (const std::exception& E) {
            Error = E.what();
        }
        {
            const std::lock_guard<std::mutex> Hold(FLock);
            FError = Error;
        }
        FDone = true;
    });
    FPoll->SetEnabled(true);
    return true;
}

void TZemAutosave::Wait() {
    FPoll->SetEnabled(false);
    Collect(true);
}

void TZemAutosave::Poll() {
    if (Collect(false))
        FPoll->SetEnabled(false);
}

bool TZemAutosave::StartChild(std::int64_t Time) {
    int Pipe[2];
    if (::pipe2(Pipe, O_CLOEXEC) != 0)
        return false;
    const pid_t Child = ::fork();
    if (Child < 0) {
        ::close(Pipe[0]);
        ::close(Pipe[1]);
        return false;
    }
    if (Child == 0) {
        ::close(Pipe[0]);
        std::string Error;
        try {
            const std::unique_ptr<TBinaryWriter> Content = SaveMapContent(FMap, false, FSizeHint);
            FFolder.Write(FOriginal, Time, PackMapFile(*Content, kCopyLevel), FSelf);
        } catch (const std::exception& E) {
            Error = E.what();
        } catch (...) {
            Error = "неизвестная ошибка";
        }
        // A short text: the pipe takes it whole without a reader.
        for (std::size_t Done = 0; Done < Error.size();) {
            const ssize_t n = ::write(Pipe[1], Error.data() + Done, Error.size() - Done);
            if (n <= 0)
                break;
            Done += static_cast<std::size_t>(n);
        }
        ::_exit(Error.empty() ? 0 : 1); // none of the program's own ending: it is the parent's
    }
    ::close(Pipe[1]);
    FChild = Child;
    FChildPipe = Pipe[0];
    return true;
}

bool TZemAutosave::ChildDone(bool Block, std::string& Error) {
    const auto Deadline = std::chrono::steady_clock::now() + kChildPatience;
    int Status = 0;
    pid_t Ended = 0;
    for (;;) {
        Ended = ::waitpid(FChild, &Status, WNOHANG);
        if (Ended != 0 && !(Ended < 0 && errno == EINTR))
            break;
        if (!Block)
            return false;
        if (std::chrono::steady_clock::now() > Deadline) {
            ::kill(FChild, SIGKILL);
            while (::waitpid(FChild, &Status, 0) < 0 && errno == EINTR) {
            }
            Status = -1;
            Ended = FChild;
            break;
        }
        ::usleep(2000);
    }
    char Buf[512];
    for (ssize_t n; (n = ::read(FChildPipe, Buf, sizeof Buf)) > 0 || (n < 0 && errno == EINTR);)
        if (n > 0)
            Error.append(Buf, static_cast<std::size_t>(n));
    ::close(FChildPipe);
    FChildPipe = -1;
    FChild = 0;
    const bool Clean = Ended > 0 && Status != -1 && WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
    if (!Clean && Error.empty())
        Error = "процесс записи копии завершился с ошибкой";
    return true;
}

bool TZemAutosave::Collect(bool Block) {
    std::string Error;
    if (FChild > 0) {
        if (!ChildDone(Block, Error))
            return false;
    } else if (FWriter.joinable()) {
        if (!Block && !FDone)
            return false;
        FWriter.join();
        const std::lock_guard<std::mutex> Hold(FLock);
        Error.swap(FError);
    } else {
        return true;
    }
    if (Error.empty())
        ++FWrites;
    else if (OnWriteFailed)
        OnWriteFailed(Error);
    return true;
}

} // namespace zem
