// libFuzzer target: G_Deflate on arbitrary bytes at the level the first byte picks (0..4), then G_Inflate
// of the result. Packing never fails on data, and must give back the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ExactCopy.h"
#include "persistence/ZemCodec.h"

using namespace zem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const int Level = Data[0] % 5;
    const std::vector<std::uint8_t> Source(Data + 1, Data + Size);
    const zem::TPackedBlock Packed = zem::G_Deflate(Source, Level);
    const fuzzing::TExactCopy Exact(Packed.Memory.data(), Packed.PackedLength);
    if (zem::G_Inflate(Exact.Span()) != Source)
        __builtin_trap();
    return 0;
}
