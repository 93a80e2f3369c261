// The packer: a greedy parse with one step of lazy evaluation over the hash chains of TMatchFinder (or
// their rows in TRowMatchFinder, which give the same matches faster on large inputs), its symbols coded
// block by block by TBlockWriter. Whole buffers in, whole buffers out.
#include "persistence/ZemCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "base/ZemErrors.h"
#include "base/ZemInputCheck.h"
#include "base/ZemLittleEndian.h"
#include "persistence/ZemBlockWriter.h"
#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemMatchFinder.h"
#include "persistence/ZemMemory.h"
#include "persistence/ZemRowMatchFinder.h"

namespace zem {

namespace {

using namespace codec;

// Rows of candidates beat linked chains once there are chains worth walking (eight candidates or more),
// provided their table is small next to the work: the 32 MB of rows of the long-chain levels pay off from
// half a megabyte of input on. Measured on map-like data.
bool UseRows(const TLevelParams& Params, std::uint32_t Size) {
    constexpr int kMinChainLimit = 8;
    constexpr std::size_t kSmallTable = std::size_t{1} << 20;
    constexpr std::uint32_t kLargeInput = 512u << 10;
    return Params.ChainLimit >= kMinChainLimit && TRowMatchFinder::Suits(Params) &&
           (TRowMatchFinder::TableBytes(Params) <= kSmallTable || Size >= kLargeInput);
}

// Packs Size (>= 4) bytes into the bit stream at Out (room for Size + 8 bytes). Returns the stream's
// length, or 0 when it would grow beyond Size bytes.
template <class TFinder>
std::size_t Compress(const std::uint8_t* Source, std::uint32_t Size, const TLevelParams& Params,
                     std::uint8_t* Out) {
    TFinder Finder(Source, Size, Params);
    TBlockWriter Writer(Source, Out, Size);
    std::uint32_t i = 0;
    // Adds a literal or a match that ends at i, flushing a full block.
    auto Added = [&]() { return !Writer.Full() || Writer.Flush(i); };

    Writer.AddLiteral(Source[i++]);
    while (i < Size) {
        if (Size - i < kMinMatch) {
            Writer.AddLiteral(Source[i++]);
            if (!Added())
                return 0;
            continue;
        }
        Finder.InsertBefore(i + 1);
        TMatch Match = Finder.Find(i);
        if (!Match) {
            Writer.AddLiteral(Source[i++]);
            if (!Added())
                return 0;
            continue;
        }
        // Lazy step: a better match one byte later turns byte i into a literal.
        while (Match.Length < static_cast<std::uint32_t>(kLazyMatchBelow) && i + Match.Length < Size) {
            Finder.InsertBefore(i + 2);
            const TMatch Later = Finder.FindLonger(i + 1, Match);
            if (!Later)
                break;
            Writer.AddLiteral(Source[i++]);
            if (!Added())
                return 0;
            Match = Later;
        }
        Writer.AddMatch(Match.Length, Match.Distance);
        i += Match.Length;
        if (!Added())
            return 0;
    }
    if (!Writer.Flush(Size))
        return 0;
    return Writer.Finish();
}

std::size_t Compress(const std::uint8_t* Source, std::uint32_t Size, int Level, std::uint8_t* Out) {
    const TLevelParams& Params = kLevels[static_cast<std::size_t>(Level)];
    if (UseRows(Params, Size))
        return Compress<TRowMatchFinder>(Source, Size, Params, Out);
    return Compress<TMatchFinder>(Source, Size, Params, Out);
}

} // namespace

TPackedBlock G_Deflate(const void* SourceBytes, std::size_t Length, int Level, std::size_t SpaceBefore,
                       std::size_t SpaceAfter) {
    if (SourceBytes == nullptr)
        RaiseNilParameter("SourceBytes", "G_Deflate");
    if (Length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw EIntOverflow();
    const auto* Source = static_cast<const std::uint8_t*>(SourceBytes);
    const auto Size = static_cast<std::uint32_t>(Length);
    Level = std::clamp(Level, 0, kMaxLevel);

    TPackedBlock Block;
    if (Level > 0 && Size >= 4) {
        const std::size_t Room = std::size_t{Size} + 8;
        auto Stream = std::make_unique_for_overwrite<std::uint8_t[]>(Room);
        const std::size_t StreamLength = Compress(Source, Size, Level, Stream.get());
        if (StreamLength != 0) {
            Block.PackedLength = kHeaderBytes + StreamLength;
            Block.Memory.assign(SpaceBefore + Block.PackedLength + SpaceAfter, 0);
            StoreLE32(Block.Memory.data() + SpaceBefore, Size);
            std::memcpy(Block.Memory.data() + SpaceBefore + kHeaderBytes, Stream.get(), StreamLength);
        }
        // The bit writer's stores reach at most 8 bytes past the stream; pages beyond were never touched.
        SecureZero(Stream.get(), StreamLength != 0 ? std::min(Room, StreamLength + 8) : Room);
        if (StreamLength != 0)
            return Block;
    }
    // The stored form: H = -Length, then the bytes.
    Block.PackedLength = kHeaderBytes + std::size_t{Size};
    Block.Memory.assign(SpaceBefore + Block.PackedLength + SpaceAfter, 0);
    StoreLE32(Block.Memory.data() + SpaceBefore,
              static_cast<std::uint32_t>(-static_cast<std::int64_t>(Size)));
    if (Size != 0)
        std::memcpy(Block.Memory.data() + SpaceBefore + kHeaderBytes, Source, Size);
    return Block;
}

TPackedBlock G_Deflate(std::span<const std::uint8_t> Source, int Level) {
    static const std::uint8_t Empty = 0;
    return G_Deflate(Source.empty() ? &Empty : Source.data(), Source.size(), Level);
}

} // namespace zem
