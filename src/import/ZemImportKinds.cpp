// The kinds of input an import understands, asked in this order; a new kind is one more row.
#include "import/ZemImport.h"
#include "import/ZemGtfsImport.h"
#include "import/ZemOsmImport.h"

namespace zem {

std::span<const TZemInputKind> InputKinds() {
    static const TZemInputKind kKinds[] = {
        {"OpenStreetMap", RecogniseOsm, OpenOsm},
        {"GTFS", RecogniseGtfs, OpenGtfs},
    };
    return kKinds;
}

} // namespace zem
