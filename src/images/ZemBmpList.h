#pragma once
// TBmpList: the map's picture library. Entries are referred to by position (an otBmp object's
// BitmapIndex); an entry may be empty. The library saves itself as a count followed by one sized BMP file
// per entry.
#include "base/ZemPixels.h"
#include "images/ZemBmpFile.h"
#include "images/ZemLibraryList.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zem {

class TBmpList : public TZemLibraryList<TZemImage, TBmpList> {
public:
    // Count, then per entry the size of its BMP file (0 for an empty entry) and the file.
    void WriteData(std::vector<std::uint8_t>& Out) const;
    // Replaces the entries with those of Data. A size past the end or a picture that does not decode
    // raises EZemError; the entries read before it stay. The pictures of one library share a budget of
    // kMaxLibraryPixels pixels: a picture beyond it raises as well.
    void ReadData(std::span<const std::uint8_t> Data);

    // One picture of the largest size the reader takes (512 MB), or many smaller ones.
    static constexpr std::size_t kMaxLibraryPixels = kBmpMaxPixels;
};

} // namespace zem
