// libFuzzer target of the feed import: the CSV reader, the tables' reading and the feed's assembly into
// a map. The input is the feed's tables one after another, separated by form feeds, in the order
// agency, stops, routes, trips, stop_times, shapes, transfers (missing ones are absent). Any input
// either is refused with EZemError or makes a network whose segments start and end exactly on junctions
// of the map. Run it with
//   make fuzz FUZZER=fuzz_gtfs FUZZ_SECONDS=600
// (seeds: fuzz/seeds/fuzz_gtfs: small feeds with the awkward cases, and the head of a real one).
#include "import/ZemFeedSource.h"
#include "import/ZemGtfsAssemble.h"
#include "import/ZemImportTarget.h"
#include "base/ZemErrors.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

using namespace zem;

namespace {

class TTextStream final : public TByteStream {
public:
    explicit TTextStream(const std::string& Text) : FText(Text) {}
    std::size_t Read(char* Into, std::size_t Size) override {
        const std::size_t N = std::min(Size, FText.size() - FPos);
        std::memcpy(Into, FText.data() + FPos, N);
        FPos += N;
        return N;
    }
    std::uint64_t Size() const override { return FText.size(); }

private:
    const std::string& FText;
    std::size_t FPos = 0;
};

class TTextFeed final : public TFeedSource {
public:
    std::map<std::string, std::string> Tables;
    bool Has(const std::string& Name) const override { return Tables.count(Name) > 0; }
    std::unique_ptr<TByteStream> Open(const std::string& Name) const override {
        return std::make_unique<TTextStream>(Tables.at(Name));
    }
    std::uint64_t SizeOf(const std::string& Name) const override {
        return Has(Name) ? Tables.at(Name).size() : 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const char* const Names[] = {"agency.txt",     "stops.txt",  "routes.txt",   "trips.txt",
                                        "stop_times.txt", "shapes.txt", "transfers.txt"};
    TTextFeed Feed;
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    std::size_t From = 0;
    for (const char* Name : Names) {
        if (From > Input.size())
            break;
        const std::size_t To = std::min(Input.find('\f', From), Input.size());
        Feed.Tables[Name] = Input.substr(From, To - From);
        From = To + 1;
    }
    // Small limits keep every run quick; the checks are the same as at full size.
    TGtfsLimits Limits;
    Limits.Stops = Limits.Routes = Limits.Trips = Limits.Transfers = 2000;
    Limits.ShapePoints = Limits.PatternStops = 20000;
    try {
        TGtfsFeed Model = ReadGtfsFeed(Feed, {}, Limits);
        HeadlessHost Host;
        TZemMap Map(Host);
        Map.SetAutoUpdate(false);
        TZemImportTarget Target(Map);
        const TZemGeoBox Box = GtfsBox(Model);
        if (Box.Empty)
            return 0;
        AssembleGtfsFeed(Model, Target, GeorefFor(Map, Box));
        for (std::int32_t I = 0; I < Map.Doc.Order.Count(); ++I) {
            const TZemObject& S = Map.ObjectByID(Map.Doc.Order[I]);
            if (S.Kind != otRoadCrossLine)
                continue;
            if (!Map.ObjectExists(S.StartCrossID) || !Map.ObjectExists(S.EndCrossID) || S.PointCount() < 2)
                std::abort();
            const TXYPoint A = Map.ObjectByID(S.StartCrossID).Points()[0];
            const TXYPoint B = Map.ObjectByID(S.EndCrossID).Points()[0];
            const TXYPoint P = S.Points()[0], Q = S.Points()[S.PointCount() - 1];
            if (P.X != A.X || P.Y != A.Y || Q.X != B.X || Q.Y != B.Y)
                std::abort();
        }
    } catch (const EZemError&) {
    }
    return 0;
}
