#pragma once
// TIconList: the map's icon library. Each icon keeps the bytes of its ICO file, so it is saved back
// unchanged, and the decoded image closest to 32 x 32 for drawing.
#include "base/ZemPixels.h"
#include "images/ZemIcoFile.h"
#include "images/ZemLibraryList.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zem {

class TZemIcon {
public:
    // Decodes an ICO file; raises EZemError when it is not one, or when its image has more than MaxPixels
    // pixels.
    explicit TZemIcon(std::span<const std::uint8_t> IcoFile,
                      std::size_t MaxPixels = std::size_t{kIcoMaxSide} * kIcoMaxSide);
    const std::vector<std::uint8_t>& FileBytes() const { return FFile; }
    // The image drawn for the icon, alpha from its mask.
    const TZemImage& Image() const { return FImage; }
    bool Empty() const { return FFile.empty(); }

private:
    std::vector<std::uint8_t> FFile;
    TZemImage FImage;
};

class TIconList : public TZemLibraryList<TZemIcon, TIconList> {
public:
    // Reads an ICO file and appends / inserts it (the library dialog's "add from file").
    std::int32_t AddFromFile(const std::string& FileName);
    void InsertFromFile(std::int32_t Index, const std::string& FileName);

    // Count, then per entry the size of its ICO file (0 for an empty entry) and the file as it was read.
    void WriteData(std::vector<std::uint8_t>& Out) const;
    // Replaces the entries with those of Data; a size past the end or an icon that does not decode raises
    // EZemError, and the entries read before it stay. The icons of one library share a budget of
    // kMaxLibraryPixels pixels: an icon beyond it raises as well.
    void ReadData(std::span<const std::uint8_t> Data);

    // 32M pixels, 128 MB of images: a thousand icons of 128 x 128 take 16M.
    static constexpr std::size_t kMaxLibraryPixels = std::size_t(1) << 25;
};

} // namespace zem
