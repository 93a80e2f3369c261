// libFuzzer target: the OpenStreetMap import after libosmium, on a whole extract given as OPL text (one
// object per line, e.g. "n1 Taddr:housenumber=5к1 x37.62 y55.75", "w2 Thighway=primary Nn1,n3", "r3
// Ttype=route,route=bus Mn1@stop,w2@"). libosmium parses it; the target explores what is ours: the tag
// mapping, house numbers and addresses, areas with holes, routes cut at their stops, labels, the network,
// the projection. Any input must end in a map or in one of the import's messages.
#include "import/ZemOsmRead.h"
#include "import/ZemOsmWrite.h"
#include "platform/ZemHeadlessHost.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace zem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    ParseHouseNumber(std::string(Text.substr(0, 256)));
    TOsmData Osm;
    TZemImportProgress Progress;
    try {
        ReadOsmMemory(Text, "opl", "fuzz", {}, Progress, Osm);
    } catch (const EZemError&) {
        return 0;
    }
    TZemGeoBox Box;
    for (const TOsmLine& L : Osm.Lines)
        for (const auto& P : L.Points)
            Box.Add(GeoOf(P));
    for (const TOsmArea& A : Osm.Areas)
        for (const auto& R : A.Rings)
            for (const auto& P : R)
                Box.Add(GeoOf(P));
    for (const auto& [ID, L] : Osm.StopNodes)
        if (L.valid())
            Box.Add(GeoOf(L));
    if (Box.Empty)
        return 0;
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.SetAutoUpdate(false);
    TZemImportTarget Target(Map);
    TZemImportSummary Summary;
    WriteOsm(Osm, Target, TZemGeoref::ForBox(Box), Progress, Summary);
    return 0;
}
