#pragma once
// Files the program writes as a whole are written beside the target and renamed over it, so a failure
// never leaves a half-written file in place of a good one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zem {

// Writes Bytes to Path atomically. A symbolic link is kept and the file it points to replaced; a
// replaced file keeps its mode and, where permitted, its owner. Other hard links to the old file keep
// the old content: updating them in place could leave them half-written. Raises EZemError with the
// reason on failure; the target is then untouched and no temporary file is left behind.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

// Removes the temporary files of Target ("<Target>.tmp-...") that an interrupted save left: those whose
// writing process has ended, and any old enough that no save is still writing them.
void SweepStaleTemporaries(const std::string& Target);

// Reads a whole regular file of at most MaxBytes. Raises EZemError when it cannot be opened or read, when
// it is not a regular file (a device or a FIFO), or when it is larger than MaxBytes.
std::string ReadWholeFile(const std::string& Path, std::size_t MaxBytes = SIZE_MAX);

} // namespace zem
