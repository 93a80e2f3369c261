#pragma once
// An import: several inputs (OpenStreetMap extracts, timetables ...) read into one map on one plane.
// Each kind of input is a row of the table InputKinds(): it recognises its inputs by content and opens a
// source, which first reads the input whole (in WGS84) and then, once the georeference of the whole
// import is known, writes what it read onto the map. All run without a window, on any one thread.
#include "import/ZemGeoref.h"
#include "import/ZemImportTarget.h"
#include "model/ZemErrors.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem {

// Raised by TZemImportProgress::Report once the import was cancelled.
class EZemImportCancelled : public EZemError {
public:
    EZemImportCancelled() : EZemError("Импорт отменён") {}
};

// Progress of an import by phase, and its cancellation. Report may be called from the importing thread
// only; Cancel from any thread.
class TZemImportProgress {
public:
    // Called when the phase or its whole percentage changes (on the importing thread).
    std::function<void(const std::string& PhaseUtf8, std::int32_t Percent)> OnProgress;

    void Cancel() { FCancelled = true; }
    bool Cancelled() const { return FCancelled; }
    // Raises EZemImportCancelled after Cancel; cheap enough to call per element.
    void Report(const char* PhaseUtf8, std::int32_t Percent);
    void Check() const {
        if (FCancelled)
            throw EZemImportCancelled();
    }

private:
    std::atomic<bool> FCancelled{false};
    const char* FPhase = nullptr;
    std::int32_t FPercent = -1;
};

// What an import made and what it left out, as lines for the person who asked for it.
class TZemImportSummary {
public:
    struct TLine {
        std::string Label; // UTF-8, e.g. "здания"
        std::int64_t Count = 0;
    };
    // Adds N to the line Label of the made or the skipped list (a new line at its end when missing).
    void Made(const std::string& Label, std::int64_t N = 1) { Add(FMade, Label, N); }
    void Skipped(const std::string& Reason, std::int64_t N = 1) { Add(FSkipped, Reason, N); }
    const std::vector<TLine>& MadeLines() const { return FMade; }
    const std::vector<TLine>& SkippedLines() const { return FSkipped; }
    std::int64_t MadeCount(const std::string& Label) const;
    std::int64_t SkippedCount(const std::string& Reason) const;
    // "Создано: ..." and "Пропущено: ..." lines, UTF-8, each ending in a line break.
    std::string Text() const;

private:
    static void Add(std::vector<TLine>& Lines, const std::string& Label, std::int64_t N);
    std::vector<TLine> FMade, FSkipped;
};

struct TZemImportOptions {
    // Only what lies in this box is imported (ways and areas that reach into it are kept whole).
    std::optional<TZemGeoBox> BBox;
};

// One input being imported.
class TZemImportSource {
public:
    virtual ~TZemImportSource() = default;
    // Reads the whole input. Raises EZemError with a Russian message that names the file (and the
    // element at fault, where one is).
    virtual void Read(const TZemImportOptions& Options, TZemImportProgress& Progress) = 0;
    // Where the data read lies; empty when there is nothing to place.
    virtual TZemGeoBox Box() const = 0;
    // Puts what was read onto the map through Target, projected with G, and counts it in Summary.
    virtual void Write(TZemImportTarget& Target, const TZemGeoref& G, TZemImportProgress& Progress,
                       TZemImportSummary& Summary) = 0;
};

// A kind of input the import understands.
struct TZemInputKind {
    const char* Name; // for messages, e.g. "OpenStreetMap"
    // Whether Path is an input of this kind. Head holds the first bytes of a file (up to
    // kInputHeadSize), and is empty for a folder.
    bool (*Recognise)(const std::filesystem::path& Path, std::span<const std::uint8_t> Head);
    std::unique_ptr<TZemImportSource> (*Open)(const std::filesystem::path& Path);
};
constexpr std::size_t kInputHeadSize = 512;

// Every kind, in the order they are asked (import/ZemImportKinds.cpp).
std::span<const TZemInputKind> InputKinds();
// The kind of Path, by content; raises EZemError naming the file when it cannot be read or no kind takes
// it.
const TZemInputKind& RecogniseInput(const std::filesystem::path& Path);

// Imports Inputs into Map, which may already hold an earlier import (its georeference is then used):
// reads every input, places them on one plane, writes them in input order and fits the map's first view
// to the data for a window of ViewW x ViewH pixels. Raises EZemError (EZemImportCancelled when
// cancelled); the map may then hold part of the import, so callers import into a map of their own.
TZemImportSummary ImportInto(TZemMap& Map, std::span<const std::filesystem::path> Inputs,
                             const TZemImportOptions& Options, TZemImportProgress& Progress,
                             std::int32_t ViewW = 1000, std::int32_t ViewH = 700);

// Centres the map's stored view on its areas (on all its objects when it has no area) at the largest
// scale (percent) that shows them all in a window of W x H pixels.
void FitViewToObjects(TZemMap& Map, std::int32_t W, std::int32_t H);

} // namespace zem
