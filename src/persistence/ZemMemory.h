#pragma once
// Zeroing of buffers that held map data. (The capacity rules the binary writer shares with the integer
// containers are in model/ZemLists.h.)
#include <cstddef>

namespace zem {

// Overwrites Size bytes at Data with zeros in a way the compiler may not drop, even right before the
// memory is released.
void SecureZero(void* Data, std::size_t Size);

} // namespace zem
