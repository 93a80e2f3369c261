#pragma once
// Reading an OpenStreetMap extract with libosmium into TOsmData: one pass over the relations (routes and
// multipolygons), then one over everything with node locations kept for the ways and multipolygons
// assembled by libosmium's area assembler.
#include "import/ZemImport.h"
#include "import/ZemOsmData.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace zem {

enum class TOsmFormat : std::uint8_t { Pbf, Xml, XmlGz, XmlBz2 };

// The format of a file from its first bytes; nothing when they are not OpenStreetMap data.
std::optional<TOsmFormat> RecogniseOsmContent(std::span<const std::uint8_t> Head);

// Reads the file whole into Data. Raises EZemError naming the file (and the line of an XML file) when it
// is damaged, cut short or not OpenStreetMap data, and when it holds no node at all.
void ReadOsm(const std::filesystem::path& Path, TOsmFormat Format, const TZemImportOptions& Options,
             TZemImportProgress& Progress, TOsmData& Data);

// The same on a whole file held in memory (Format as libosmium names it: "pbf", "osm", "opl" ...); Name
// stands for the file in messages.
void ReadOsmMemory(std::string_view Bytes, const char* Format, const std::string& Name,
                   const TZemImportOptions& Options, TZemImportProgress& Progress, TOsmData& Data);

} // namespace zem
