#pragma once
// TIconList: the map's icon library. Each icon keeps the bytes of its ICO file, so it is saved back
// unchanged, and the decoded image closest to 32 x 32 for drawing.
#include "view/ZemRaster.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class TZemIcon {
public:
    // Decodes an ICO file; raises EZemError when it is not one.
    explicit TZemIcon(std::span<const std::uint8_t> IcoFile);
    const std::vector<std::uint8_t>& FileBytes() const { return FFile; }
    // The image drawn for the icon, alpha from its mask.
    const TBitmap32& Image() const { return FImage; }
    bool Empty() const { return FFile.empty(); }

private:
    std::vector<std::uint8_t> FFile;
    TBitmap32 FImage;
};

class TIconList {
public:
    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    std::function<void(TIconList&)> OnChange;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Change();
    std::int32_t UpdateCount() const { return FUpdateCount; }

    std::int32_t Count() const { return static_cast<std::int32_t>(Entries.size()); }
    // The icon at Index, or null for an empty entry; an index outside the list raises.
    const TZemIcon* Get(std::int32_t Index) const;
    void Put(std::int32_t Index, const TZemIcon* Icon);
    std::int32_t Add(const TZemIcon* Icon);
    void Insert(std::int32_t Index, const TZemIcon* Icon);
    // Reads an ICO file and appends / inserts it (the library dialog's "add from file").
    std::int32_t AddFromFile(const std::string& FileName);
    void InsertFromFile(std::int32_t Index, const std::string& FileName);
    void Delete(std::int32_t Index);
    void Clear();
    void Exchange(std::int32_t I, std::int32_t J);
    void Move(std::int32_t From, std::int32_t To);
    std::int32_t IndexOf(const TZemIcon* Icon) const;
    void Assign(const TIconList* Source);
    void Assign(const TZemIcon& Icon);

    void WriteData(std::vector<std::uint8_t>& Out) const;
    void ReadData(std::span<const std::uint8_t> Data);

private:
    void CheckIndex(std::int32_t Index, std::int32_t Limit) const;
    std::vector<std::unique_ptr<TZemIcon>> Entries;
    std::int32_t FUpdateCount = 0;
};
