#pragma once
// TBmpList: the map's picture library. Entries are referred to by position (an otBmp object's
// BitmapIndex); an entry may be empty. The library saves itself as a count followed by one sized BMP file
// per entry.
#include "view/ZemRaster.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class TBmpList {
public:
    TBmpList() = default;
    TBmpList(const TBmpList&) = delete;
    TBmpList& operator=(const TBmpList&) = delete;

    // Raised with the list after every change, unless an update is in progress.
    std::function<void(TBmpList&)> OnChange;

    void BeginUpdate() { ++FUpdateCount; }
    // Back at 0, the list reports one change.
    void EndUpdate();
    void Change();
    std::int32_t UpdateCount() const { return FUpdateCount; }

    std::int32_t Count() const { return static_cast<std::int32_t>(Entries.size()); }
    // The picture at Index, or null for an empty entry. An index outside the list raises.
    TBitmap32* Get(std::int32_t Index);
    const TBitmap32* Get(std::int32_t Index) const;
    // Replaces the picture at Index with a copy of Image; Index = Count appends.
    void Put(std::int32_t Index, const TBitmap32* Image);
    // Appends a copy (null appends an empty entry) and returns its position.
    std::int32_t Add(const TBitmap32* Image);
    void Insert(std::int32_t Index, const TBitmap32* Image);
    void Delete(std::int32_t Index);
    void Clear();
    void Exchange(std::int32_t I, std::int32_t J);
    void Move(std::int32_t From, std::int32_t To);
    // Position of that very picture object, -1 when it is not in the list.
    std::int32_t IndexOf(const TBitmap32* Image) const;
    // Null clears; another list: copies of its entries; a picture: the list becomes one copy of it.
    void Assign(const TBmpList* Source);
    void Assign(const TBitmap32& Image);

    // Count, then per entry the size of its BMP file (0 for an empty entry) and the file.
    void WriteData(std::vector<std::uint8_t>& Out) const;
    // Replaces the entries with those of Data. A size past the end or a picture that does not decode
    // raises EZemError; the entries read before it stay.
    void ReadData(std::span<const std::uint8_t> Data);

private:
    void CheckIndex(std::int32_t Index, std::int32_t Limit) const;
    std::vector<std::unique_ptr<TBitmap32>> Entries;
    std::int32_t FUpdateCount = 0;
};
