#pragma once
// The timetable (GTFS) row of the import's table of input kinds: a feed as a .zip archive or a folder of
// its .txt tables.
#include "import/ZemImport.h"

namespace zem {

bool RecogniseGtfs(const std::filesystem::path& Path, std::span<const std::uint8_t> Head);
std::unique_ptr<TZemImportSource> OpenGtfs(const std::filesystem::path& Path);

} // namespace zem
