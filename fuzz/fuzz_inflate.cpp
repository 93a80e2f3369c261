// libFuzzer target: G_Inflate on arbitrary bytes taken as a packed block. Every input must end in a
// result or in EZemError, never a crash, a hang or an unbounded allocation. A block that unpacks is packed
// again (at a level picked from its length) and must unpack to the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/ZemErrors.h"
#include "persistence/ZemCodec.h"

namespace {
// G_Inflate bounds the length by what the data could produce (about 84 KB per byte); the harness keeps
// each run small as well.
constexpr std::size_t kMaxOutput = 16u << 20;
constexpr std::size_t kMaxRoundTrip = 1u << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const std::uint8_t Empty = 0;
    const std::uint8_t* Source = Size != 0 ? Data : &Empty;
    std::vector<std::uint8_t> Out;
    try {
        const std::size_t Length = zem::G_Inflate(Source, Size);
        if (Length > kMaxOutput)
            return 0;
        Out.resize(Length);
        zem::G_Inflate(Source, Size, Out.data());
    } catch (const EZemError&) {
        return 0;
    }
    if (Out.size() <= kMaxRoundTrip) {
        const zem::TPackedBlock Packed = zem::G_Deflate(Out, static_cast<int>(Size % 5));
        if (zem::G_Inflate(std::span<const std::uint8_t>(Packed.Memory.data(), Packed.PackedLength)) != Out)
            __builtin_trap();
    }
    return 0;
}
