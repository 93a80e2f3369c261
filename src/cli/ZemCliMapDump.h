#pragma once
// Text views of a loaded map for the command line: a short summary and a full JSON dump (UTF-8).
#include <string>

namespace zem {

class TZemMap;

std::string MapSummary(TZemMap& Map);
// Every stored field of the map, objects in drawing order. Strings are converted to UTF-8; singles are
// written in their shortest exact form.
std::string MapJson(TZemMap& Map);

} // namespace zem
