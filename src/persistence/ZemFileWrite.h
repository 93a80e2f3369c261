#pragma once
// Files the program writes as a whole go to a temporary file beside the target and are renamed over it,
// so a failure never leaves a half-written file in place of a good one.
#include <string>
#include <string_view>

namespace zem {

// Writes Bytes to Path atomically. Raises EZemError with the system's reason on failure; the target is
// then untouched and no temporary file is left behind.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

// Reads a whole file. Raises EZemError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& Path);

} // namespace zem
