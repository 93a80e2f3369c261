#include "persistence/ZemMemory.h"

#include <bit>
#include <cstring>
#include <string.h>

namespace zem {

void SecureZero(void* Data, std::size_t Size) {
    if (Size != 0)
        explicit_bzero(Data, Size);
}

std::int64_t RoundCapacity(std::int64_t N) {
    if (N <= 16)
        return 16;
    if (N <= 64)
        return 64;
    if (N <= 256)
        return 256;
    if (N <= 1024)
        return 1024;
    return static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(N)));
}

std::int64_t GrowCapacity(std::int64_t K) {
    if (K <= 5)
        return 16;
    if (K <= 53)
        return 64;
    if (K <= 245)
        return 256;
    if (K <= 1013)
        return 1024;
    return static_cast<std::int64_t>(std::bit_floor(static_cast<std::uint64_t>(K + 10)) << 1);
}

} // namespace zem
