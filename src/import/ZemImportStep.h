#pragma once
// An import added to an open map as one undo step. The import itself runs on a copy of the map (off the
// window's thread); what the copy then holds beyond the map, the new objects and the lines appended to
// the directories (transport kinds, the georeference), comes over in one step that Undo takes back whole.
#include "model/ZemMap.h"

#include <cstdint>

namespace zem {

// Adds to Map what Imported holds beyond it. Imported must be a copy of Map that an import then wrote
// into: objects under IDs Map does not hold, directories that only grew. Returns the objects added.
std::int32_t AddImportedAsStep(TZemMap& Map, const TZemMap& Imported);

} // namespace zem
