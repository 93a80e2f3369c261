#pragma once
// The OpenStreetMap row of the import's table of input kinds: .osm.pbf, .osm, .osm.gz and .osm.bz2,
// recognised by their content whatever their name.
#include "import/ZemImport.h"

namespace zem {

bool RecogniseOsm(const std::filesystem::path& Path, std::span<const std::uint8_t> Head);
std::unique_ptr<TZemImportSource> OpenOsm(const std::filesystem::path& Path);

} // namespace zem
