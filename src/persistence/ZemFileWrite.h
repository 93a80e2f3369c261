#pragma once
// Files the program writes as a whole are written beside the target and renamed over it, so a failure
// never leaves a half-written file in place of a good one.
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

// Reads a whole file. Raises EZemError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& Path);

} // namespace zem
