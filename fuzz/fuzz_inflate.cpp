// libFuzzer target: G_Inflate on arbitrary bytes taken as a packed block, in an exact-size copy. Every
// input must end in a result or in EZemError, never a crash, a hang or an unbounded allocation. The
// growing whole-buffer form and the caller's-buffer form must agree. A block that unpacks is packed again
// (at a level picked from its length) and must unpack to the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ExactCopy.h"
#include "base/ZemErrors.h"
#include "persistence/ZemCodec.h"

using namespace zem;

namespace {
// The harness keeps each run small.
constexpr std::size_t kMaxOutput = 16u << 20;
constexpr std::size_t kMaxRoundTrip = 1u << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const fuzzing::TExactCopy Input(Data, Size);
    std::vector<std::uint8_t> Out;
    try {
        Out = zem::G_Inflate(Input.Span(), kMaxOutput);
    } catch (const EZemError&) {
        return 0;
    }
    std::vector<std::uint8_t> Again(Out.size());
    if (zem::G_Inflate(Input.Data(), Input.Size(), Again.data()) != Out.size() || Again != Out)
        __builtin_trap();
    if (Out.size() <= kMaxRoundTrip) {
        const zem::TPackedBlock Packed = zem::G_Deflate(Out, static_cast<int>(Size % 5));
        if (zem::G_Inflate(std::span<const std::uint8_t>(Packed.Memory.data(), Packed.PackedLength)) != Out)
            __builtin_trap();
    }
    return 0;
}
