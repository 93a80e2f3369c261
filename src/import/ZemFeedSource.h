#pragma once
// Where a transit feed's tables come from: a zip archive (read through libzip) or a folder of .txt files.
#include "import/ZemByteStream.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zem {

class TFeedSource {
public:
    virtual ~TFeedSource() = default;
    // Whether the feed holds the table ("stops.txt").
    virtual bool Has(const std::string& Name) const = 0;
    // Opens the table; raises EZemError when it cannot be read.
    virtual std::unique_ptr<TByteStream> Open(const std::string& Name) const = 0;
    // The table's size when uncompressed (progress), 0 when unknown or absent.
    virtual std::uint64_t SizeOf(const std::string& Name) const = 0;
};

// A zip entry that inflates past BombFloor bytes at over 250 times its packed size is refused as a zip
// bomb: real tables pack to a tenth or a thirtieth.
constexpr std::uint64_t kZipBombFloor = 64ull << 20;

// Opens a folder or a zip archive. Raises EZemError naming Path when it is neither, or the archive is
// damaged.
std::unique_ptr<TFeedSource> OpenFeedSource(const std::string& Path, std::uint64_t BombFloor = kZipBombFloor);

// Whether Path looks like a feed: a folder holding stops.txt, or a zip archive holding it.
bool LooksLikeFeed(const std::string& Path);

} // namespace zem
