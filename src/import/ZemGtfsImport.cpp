#include "import/ZemGtfsImport.h"

#include "import/ZemFeedSource.h"
#include "import/ZemGtfsAssemble.h"

#include <algorithm>
#include <cstring>

namespace zem {

namespace {

constexpr const char* kReading = "Чтение расписания";
constexpr const char* kBuilding = "Построение сети маршрутов";

class TGtfsSource : public TZemImportSource {
public:
    explicit TGtfsSource(std::filesystem::path Path) : FPath(std::move(Path)) {}

    void Read(const TZemImportOptions& Options, TZemImportProgress& Progress) override {
        try {
            FFeed = ReadGtfsFeed(FPath.string(), [&Progress](double Done, std::string_view) {
                Progress.Report(kReading, static_cast<std::int32_t>(Done * 100));
                return true;
            });
        } catch (const EZemImportCancelled&) {
            throw;
        } catch (const EZemError& E) {
            // Messages of the tables name the table; the feed's own name goes first.
            const std::string Text = E.what();
            if (Text.rfind("\"" + FPath.string() + "\"", 0) == 0)
                throw;
            throw EZemError("\"" + FPath.string() + "\": " + Text);
        }
        if (Options.BBox)
            for (TGtfsStop& S : FFeed.Stops)
                if (S.Used && !Options.BBox->Contains({S.Lon, S.Lat})) {
                    S.Used = false;
                    ++FOutside;
                }
        FBox = GtfsBox(FFeed);
        if (FBox.Empty)
            throw EZemError("\"" + FPath.string() + "\": ни один рейс не останавливается на остановке" +
                            (FOutside ? " в заданной области" : ""));
    }

    TZemGeoBox Box() const override { return FBox; }

    void Write(TZemImportTarget& Target, const TZemGeoref& G, TZemImportProgress& Progress,
               TZemImportSummary& Summary) override {
        const TGtfsAssembled Made =
            AssembleGtfsFeed(FFeed, Target, G, [&Progress](double Done, std::string_view) {
                Progress.Report(kBuilding, static_cast<std::int32_t>(Done * 100));
                return true;
            });
        // A feed is nothing but its network: show it.
        if (Made.Junctions > 0)
            Target.Map().Net.ShowTransportNet = true;
        Summary.Made("остановки", Made.Junctions);
        Summary.Made("маршруты", Made.Routes);
        Summary.Made("сегменты маршрутов", Made.Segments);
        Summary.Made("пешие переходы", Made.WalkingSegments);
        if (FOutside)
            Summary.Skipped("остановки вне заданной области", static_cast<std::int64_t>(FOutside));
        for (const auto& [Cause, S] : FFeed.Skipped)
            Summary.Skipped("строки расписания: " + Cause +
                                (S.First.empty() ? "" : " (впервые: " + S.First + ")"),
                            static_cast<std::int64_t>(S.Count));
        FFeed = TGtfsFeed{};
    }

private:
    std::filesystem::path FPath;
    TGtfsFeed FFeed;
    TZemGeoBox FBox;
    std::uint64_t FOutside = 0;
};

} // namespace

bool RecogniseGtfs(const std::filesystem::path& Path, std::span<const std::uint8_t> Head) {
    // A zip archive is taken as a feed (what it lacks is then said by the reading); a folder must hold
    // one of a feed's tables.
    if (Head.empty()) {
        const std::unique_ptr<TFeedSource> Folder = [&]() -> std::unique_ptr<TFeedSource> {
            try {
                return OpenFeedSource(Path.string());
            } catch (const EZemError&) {
                return nullptr;
            }
        }();
        return Folder &&
               (Folder->Has("stops.txt") || Folder->Has("stop_times.txt") || Folder->Has("routes.txt"));
    }
    static const std::uint8_t kZip[] = {'P', 'K', 3, 4}, kEmptyZip[] = {'P', 'K', 5, 6};
    return Head.size() >= 4 &&
           (std::equal(kZip, kZip + 4, Head.begin()) || std::equal(kEmptyZip, kEmptyZip + 4, Head.begin()));
}

std::unique_ptr<TZemImportSource> OpenGtfs(const std::filesystem::path& Path) {
    return std::make_unique<TGtfsSource>(Path);
}

} // namespace zem
