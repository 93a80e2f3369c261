#pragma once
// TZemAutosave keeps the recovery copy of one map (persistence/ZemRecovery.h) while it has unsaved
// changes: one interval after the first change, then at most once an interval while changes go on.
//
// A write must not be felt by someone drawing on a large map. Gathering the content of 100,000 objects
// takes tens of milliseconds (a cache miss or more per object), too long for the window thread, so the
// copy is written by a child process: fork() gives it a copy-on-write snapshot of the whole program in a
// few milliseconds, and the child gathers, packs and writes while the window goes on. The child runs
// only the map's own code on its memory and the file writer (no window system, no locks of other
// threads beyond those glibc prepares for fork), and ends with _exit. Where fork fails (no memory for a
// second address space), the content is gathered on the window thread and packed and written on a
// thread of its own, which touches nothing of the map. One write runs at a time.
#include "persistence/ZemRecovery.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace zem {

class TZemMap;
class TZemTimer;

class TZemAutosave {
public:
    static constexpr std::int32_t kDefaultInterval = 60000; // ms
    // How often a write in progress is looked at, to report its end.
    static constexpr std::int32_t kPollInterval = 100; // ms

    // The timers run on the map's host. IntervalMs below 1 counts as 1.
    TZemAutosave(TZemMap& Map, TZemRecoveryFolder Folder, std::int32_t IntervalMs = kDefaultInterval);
    // Waits for a write in progress and removes the copy: a clean end leaves none.
    ~TZemAutosave();
    TZemAutosave(const TZemAutosave&) = delete;
    TZemAutosave& operator=(const TZemAutosave&) = delete;

    const TZemRecoveryFolder& Folder() const { return FFolder; }
    // The map file the document belongs to from now on; empty when it was never saved.
    void SetOriginal(std::string Path) { FOriginal = std::move(Path); }
    const std::string& Original() const { return FOriginal; }

    // The document changed (a step done, undone or redone): the clock starts when none runs.
    void DocumentChanged();
    // The map was saved, replaced or its changes dropped: its copy goes, and the clock stops.
    void Discard();
    // Gathers the content now and starts its write, as the timer does. False when a write is still
    // running (the timer then tries again) or the map has nothing unsaved.
    bool WriteNow();
    // Waits for a write in progress and reports its result.
    void Wait();

    // A write failed: called on the map's thread with the reason, once per failure.
    std::function<void(const std::string& Error)> OnWriteFailed;
    // Whether copies are written by a child process (the default) or by the thread.
    bool UseChildProcess = true;
    // Writes finished successfully since the start.
    std::int32_t Writes() const { return FWrites; }

private:
    void Tick();
    void Poll();
    // Starts the child process that writes the copy; false when it cannot be made.
    bool StartChild(std::int64_t Time);
    // Whether the child has ended (with Block: waits for it); Error then says why no copy was written.
    bool ChildDone(bool Block, std::string& Error);
    // Joins a finished (or, with Block, any) write and reports its result; true when none is left.
    bool Collect(bool Block);

    TZemMap& FMap;
    TZemRecoveryFolder FFolder;
    std::string FOriginal;
    std::unique_ptr<TZemTimer> FTimer; // the interval: first change, then between writes
    std::unique_ptr<TZemTimer> FPoll;  // while a write runs
    bool FChanged = false;             // changes since the content was last gathered
    std::int32_t FWrites = 0;
    std::int32_t FSizeHint = 0; // bytes for the next content

    TRecoveryWriter FSelf; // this program, as its copies record it
    int FChild = 0;        // the writing child process; 0 none
    int FChildPipe = -1;   // its report: empty when the copy was written, else why not

    std::thread FWriter;
    std::atomic<bool> FDone{false};
    std::mutex FLock; // guards FError between the writer and the map's thread
    std::string FError;
};

} // namespace zem
