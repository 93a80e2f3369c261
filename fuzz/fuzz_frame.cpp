// libFuzzer target: TBinaryReader's frame decoding and reads. The first byte picks the mode: when it is odd
// the harness puts the right Adler-32 into the frame, so that the fuzzer reaches the packed block behind
// the checksum. Every input must end in values or in EZemError, never a crash, a hang or an unbounded
// allocation.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ExactCopy.h"
#include "base/ZemErrors.h"
#include "base/ZemLittleEndian.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"

using namespace zem;

namespace {
constexpr std::int32_t kMaxUnpacked = 16 << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const bool FixChecksum = (Data[0] & 1) != 0;
    std::vector<std::uint8_t> Stream(Data + 1, Data + Size);
    if (Stream.size() >= 12) {
        if (static_cast<std::int32_t>(zem::LoadLE32(Stream.data() + 8)) > kMaxUnpacked)
            return 0;
        const std::int64_t L = static_cast<std::int32_t>(zem::LoadLE32(Stream.data()));
        if (FixChecksum && L >= 8 && L <= static_cast<std::int64_t>(Stream.size()) - 4) {
            const std::uint32_t A = zem::Adler32(Stream.data() + 8, static_cast<std::size_t>(L - 4));
            for (int k = 0; k < 4; ++k)
                Stream[4 + k] = static_cast<std::uint8_t>(A >> (8 * k));
        }
    }
    TBinaryReader Reader;
    std::size_t Position = 0;
    try {
        const fuzzing::TExactCopy Exact(Stream);
        if (!Reader.LoadFromStream(Exact.Span(), Position)) {
            if (Reader.Size() != 0)
                __builtin_trap();
        }
        if (Position > Stream.size())
            __builtin_trap();
        std::uint8_t Buffer[64];
        for (unsigned k = 0;; ++k) {
            const std::int32_t Before = Reader.Position();
            switch (k % 7) {
            case 0:
                Reader.ReadByte();
                break;
            case 1:
                Reader.ReadBoolean();
                break;
            case 2:
                Reader.ReadSmallInt();
                break;
            case 3:
                Reader.ReadInteger();
                break;
            case 4:
                Reader.ReadSingle();
                break;
            case 5:
                Reader.ReadString();
                break;
            default:
                Reader.ReadBytes(Buffer, static_cast<std::int32_t>(k % sizeof Buffer));
                break;
            }
            if (Reader.Position() < Before || Reader.Position() > Reader.Size())
                __builtin_trap();
        }
    } catch (const EZemError&) {
    }
    return 0;
}
