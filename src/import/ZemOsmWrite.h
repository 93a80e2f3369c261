#pragma once
// Placing what the OpenStreetMap reader kept onto a map: styled lines and polygons on their planes,
// addresses through the directories, street labels, and the routes as a transport network.
#include "import/ZemImport.h"
#include "import/ZemOsmData.h"

namespace zem {

// The credit line an OpenStreetMap import puts on its map.
constexpr const char* kOsmAttribution = "Данные карты © участники OpenStreetMap, ODbL";

void WriteOsm(TOsmData& Data, TZemImportTarget& Target, const TZemGeoref& G, TZemImportProgress& Progress,
              TZemImportSummary& Summary);

} // namespace zem
