#pragma once
// Files the program writes as a whole go to a temporary file beside the target and are renamed over it,
// so a failure never leaves a half-written file in place of a good one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zem {

// Writes Bytes to Path atomically. Raises EZemError with the system's reason on failure; the target is
// then untouched and no temporary file is left behind.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

// Reads a whole regular file of at most MaxBytes. Raises EZemError when it cannot be opened or read, when
// it is not a regular file (a device or a FIFO), or when it is larger than MaxBytes.
std::string ReadWholeFile(const std::string& Path, std::size_t MaxBytes = SIZE_MAX);

} // namespace zem
