#pragma once
// Recovery copies: while a map has unsaved changes the program keeps a copy of it in a folder of the
// user's data, so that work survives a crash, a killed process or a power cut; the next start offers the
// copies whose program is gone.
//
// A copy is one file, "<process>-<random>.mprec": a short text record followed by the map file exactly as
// "Сохранить" writes it. Record and map travel in one file, written by the same atomic writer as a save,
// so a crash can never leave a copy that disagrees with its record, and a copy cut short or filled with
// garbage is told by one check of its frame. The record is text, so a person can read it with `head`:
//
//   ZemMap recovery copy
//   pid 1234                 the process that wrote it
//   start 56789              its start time in clock ticks since boot (0: unknown)
//   boot 0f3c...             the boot it ran in (empty: unknown)
//   time 1765130000          when it was written, seconds since 1970
//   file /home/u/Карта.mp    the map file it belongs to; empty when the map was never saved
//   (an empty line, then the map file)
//
// The process number alone would not do: after a reboot or a long run another process may have the
// same number, and a copy would then look alive and never be offered again.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

// The process that wrote a copy, told apart from a later process that got the same number.
struct TRecoveryWriter {
    long Pid = 0;
    std::uint64_t StartTicks = 0; // 0: unknown
    std::string BootId;           // empty: unknown

    static TRecoveryWriter Self();
    // Whether that very process still runs (an unknown start or boot counts as the same).
    bool Alive() const;
};

// What a copy records, and where it lies.
struct TRecoveryCopy {
    std::string Path;      // the copy itself
    std::string Original;  // the map file it belongs to; empty: never saved
    std::int64_t Time = 0; // when it was written, seconds since 1970
    TRecoveryWriter Writer;
    std::string Problem; // why the copy cannot be used (UTF-8, Russian); empty for a sound copy

    bool Damaged() const { return !Problem.empty(); }
};

// The record in front of a copy's map file.
std::string RecoveryRecord(const TRecoveryCopy& Copy);
// Reads the record at the start of a copy's bytes; MapStart is where the map file begins. Raises EZemError
// saying what is wrong when the bytes do not start with a sound record.
TRecoveryCopy ParseRecoveryRecord(std::string_view Bytes, std::size_t& MapStart);

// The folder of recovery copies, and this process's own copy in it. The folder is made when the first
// copy is written.
class TZemRecoveryFolder {
public:
    static constexpr const char* kSuffix = ".mprec";

    explicit TZemRecoveryFolder(std::string Folder);

    const std::string& Folder() const { return FFolder; }
    const std::string& OwnPath() const { return FOwnPath; }

    // Writes MapFile (a whole map file) as this process's copy, atomically, with the record of
    // Original and Time. Raises EZemError when it cannot be written; the previous copy then stays.
    void Write(const std::string& Original, std::int64_t Time, std::span<const std::uint8_t> MapFile) const;
    // The same on behalf of Writer (a child process writes for the program that made it).
    void Write(const std::string& Original, std::int64_t Time, std::span<const std::uint8_t> MapFile,
               const TRecoveryWriter& Writer) const;
    // Removes this process's copy, if there is one.
    void RemoveOwn() const;

    // The copies whose writing process is gone, oldest first. Each is read whole and its frame checked:
    // a damaged one comes with its Problem set. Never raises; a folder that cannot be read gives none.
    std::vector<TRecoveryCopy> Orphans() const;
    // Takes a listed copy over as this process's own copy, so that no other program offers it again, and
    // returns its map file. Raises EZemError when it is gone, was taken by a running program meanwhile, or
    // is damaged.
    std::vector<std::uint8_t> TakeOver(const TRecoveryCopy& Copy) const;
    // Removes a listed copy; a copy already gone is no failure.
    static void Remove(const TRecoveryCopy& Copy);

private:
    std::string FFolder;
    std::string FOwnPath;
};

} // namespace zem
