#include "persistence/ZemAutosave.h"

#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemMapContent.h"
#include "platform/ZemTimer.h"

#include <algorithm>
#include <ctime>

namespace zem {

namespace {
// Copies are packed quickly: the level only changes the size of the frame, not the document (which keeps
// its own level for "Сохранить"), and a copy is written again and again.
constexpr std::uint8_t kCopyLevel = 1;
} // namespace

TZemAutosave::TZemAutosave(TZemMap& Map, TZemRecoveryFolder Folder, std::int32_t IntervalMs)
    : FMap(Map), FFolder(std::move(Folder)),
      FTimer(std::make_unique<TZemTimer>(Map.Host(), std::max(IntervalMs, 1))),
      FPoll(std::make_unique<TZemTimer>(Map.Host(), kPollInterval)) {
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
    // On this thread: the content only. The rest works on what it owns.
    std::shared_ptr<TBinaryWriter> Content = SaveMapContent(FMap, false, FSizeHint);
    FSizeHint = Content->Length() + Content->Length() / 8; // room for the next copy in one allocation
    const std::int64_t Time = std::time(nullptr);
    FDone = false;
    FWriter = std::thread([this, Content, Folder = FFolder, Original = FOriginal, Time] {
        std::string Error;
        try {
            const std::vector<std::uint8_t> File = PackMapFile(*Content, kCopyLevel);
            Folder.Write(Original, Time, File);
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

bool TZemAutosave::Collect(bool Block) {
    if (!FWriter.joinable())
        return true;
    if (!Block && !FDone)
        return false;
    FWriter.join();
    std::string Error;
    {
        const std::lock_guard<std::mutex> Hold(FLock);
        Error.swap(FError);
    }
    if (Error.empty())
        ++FWrites;
    else if (OnWriteFailed)
        OnWriteFailed(Error);
    return true;
}

} // namespace zem
