#include "persistence/ZemMemory.h"

#include <cstring>
#include <string.h>

namespace zem {

void SecureZero(void* Data, std::size_t Size) {
    if (Size != 0)
        explicit_bzero(Data, Size);
}

} // namespace zem
