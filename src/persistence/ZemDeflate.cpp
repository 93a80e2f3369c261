// The packer: from level 2 on, a greedy parse with one step of lazy evaluation over the hash chains of
// TMatchFinder (or their rows in TRowMatchFinder, which give the same matches faster on large inputs);
// level 1, a greedy parse with one table look-up per position (CompressGreedy). The symbols are coded
// block by block by TBlockWriter. Whole buffers in, whole buffers out.
#include "persistence/ZemCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "model/ZemErrors.h"
#include "persistence/ZemBlockWriter.h"
#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemInputCheck.h"
#include "persistence/ZemLittleEndian.h"
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

// The fastest level: one look-up per position, giving the two newest earlier positions with the same hash
// of three bytes, and a greedy parse. A candidate qualifies by the same distance rules as the first match of
// the chain search (three agreeing bytes within 4096 bytes, four within 65536, five at any distance of the
// window), so short matches that would cost more than their literals are left out. The window is the
// format's whole 256 KB and matches run to the longest the format allows, which a Deflate packer cannot
// do. Of the bytes a match covers only the last few go into the table (the next search most often
// continues a run or a record from there). Long stretches without a match are probed ever more sparsely,
// so incompressible data costs little.
std::size_t CompressGreedy(const std::uint8_t* Source, std::uint32_t Size, std::uint8_t* Out) {
    constexpr int kHashBits = 14;
    constexpr int kWays = 2;                   // candidates kept per hash, newest first
    constexpr std::uint32_t kSkipAfter = 4096; // misses before probing gets sparser
    constexpr int kInsertAfterMatch = 8;       // last positions of a match put into the table
    // Each slot keeps the four bytes at its position: a candidate is judged without reading the input,
    // which for far candidates would miss the cache.
    struct TSlot {
        std::uint32_t Pos;
        std::uint32_t Bytes;
    };
    std::vector<TSlot> Table(std::size_t{kWays} << kHashBits, TSlot{0, LoadLE32(Source)});
    auto Bucket = [&Table](std::uint32_t Four) {
        return Table.data() + (((Four & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits)) * kWays;
    };
    auto Insert = [](TSlot* B, std::uint32_t Pos, std::uint32_t Bytes) {
        for (int w = kWays - 1; w > 0; --w)
            B[w] = B[w - 1];
        B[0] = {Pos, Bytes};
    };

    TBlockWriter Writer(Source, Out, Size);
    std::uint32_t i = 1;
    Writer.AddLiteral(Source[0]);
    std::uint32_t Misses = 0;
    // Four bytes are loaded at a position, so the parse stops four bytes before the end.
    while (i + 4 <= Size) {
        const std::uint32_t Here = LoadLE32(Source + i);
        TSlot* const B = Bucket(Here);
        std::uint32_t Length = 0, Distance = 0;
        for (int w = 0; w < kWays; ++w) {
            const std::uint32_t D = i - B[w].Pos;
            const std::uint32_t Differ = B[w].Bytes ^ Here;
            if ((Differ & 0xFFFFFF) != 0 || D > static_cast<std::uint32_t>(kMaxDistance) || D == 0)
                continue;
            std::uint32_t L = 0;
            if (Differ != 0) {
                L = D <= static_cast<std::uint32_t>(kThreeByteMatchMaxDistance) ? 3 : 0;
            } else {
                const std::uint32_t Limit = std::min(Size - i, static_cast<std::uint32_t>(kMaxMatch));
                L = 4 + MatchLength(Source + i + 4, Source + B[w].Pos + 4, Limit - 4);
                if (L == 4 && D > static_cast<std::uint32_t>(kFourByteMatchMaxDistance))
                    L = 0;
            }
            if (L > Length) {
                Length = L;
                Distance = D;
            }
        }
        Insert(B, i, Here);
        if (Length == 0) {
            // A miss; after many in a row, bytes in between are sent as literals without a look-up.
            const std::uint32_t Step = 1 + (++Misses >= kSkipAfter ? (Misses - kSkipAfter) >> 6 : 0);
            for (std::uint32_t k = 0; k < Step && i + 4 <= Size; ++k) {
                Writer.AddLiteral(Source[i++]);
                if (Writer.Full() && !Writer.Flush(i))
                    return 0;
            }
            continue;
        }
        Misses = 0;
        Writer.AddMatch(Length, Distance);
        const std::uint32_t Start = i;
        i += Length;
        if (Writer.Full() && !Writer.Flush(i))
            return 0;
        for (std::uint32_t p = std::max(i - kInsertAfterMatch, Start + 1); p < i && p + 4 <= Size; ++p) {
            const std::uint32_t Bytes = LoadLE32(Source + p);
            Insert(Bucket(Bytes), p, Bytes);
        }
    }
    for (; i < Size; ++i) {
        Writer.AddLiteral(Source[i]);
        if (Writer.Full() && !Writer.Flush(i + 1))
            return 0;
    }
    if (!Writer.Flush(Size))
        return 0;
    return Writer.Finish();
}

std::size_t Compress(const std::uint8_t* Source, std::uint32_t Size, int Level, std::uint8_t* Out) {
    if (Level == 1)
        return CompressGreedy(Source, Size, Out);
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
