#include "images/ZemIcoList.h"

#include "base/ZemFileWrite.h"
#include "images/ZemIcoFile.h"
#include "images/ZemLibraryStream.h"

#include <algorithm>

namespace zem {

TZemIcon::TZemIcon(std::span<const std::uint8_t> IcoFile, std::size_t MaxPixels)
    : FFile(IcoFile.begin(), IcoFile.end()), FImage(DecodeIco(FFile.data(), FFile.size(), MaxPixels)) {}

std::int32_t TIconList::AddFromFile(const std::string& FileName) {
    const std::string Bytes = ReadWholeFile(FileName);
    const TZemIcon Icon(std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()));
    return Add(&Icon);
}

void TIconList::InsertFromFile(std::int32_t Index, const std::string& FileName) {
    const std::string Bytes = ReadWholeFile(FileName);
    const TZemIcon Icon(std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()));
    Insert(Index, &Icon);
}

void TIconList::WriteData(std::vector<std::uint8_t>& Out) const {
    PutInt32(Out, Count());
    for (const auto& E : Entries) {
        const std::int32_t Size = E ? static_cast<std::int32_t>(E->FileBytes().size()) : 0;
        PutInt32(Out, Size);
        if (Size > 0)
            Out.insert(Out.end(), E->FileBytes().begin(), E->FileBytes().end());
    }
}

void TIconList::ReadData(std::span<const std::uint8_t> Data) {
    // Each icon is bounded by its own bytes as well (DecodeIco); the budget bounds many of them together.
    std::size_t Budget = kMaxLibraryPixels;
    ReadEntries(Data, [this, &Budget](std::span<const std::uint8_t> Bytes) {
        const std::size_t MaxPixels = std::min(Budget, std::size_t{kIcoMaxSide} * kIcoMaxSide);
        std::unique_ptr<TZemIcon> Icon;
        try {
            Icon = std::make_unique<TZemIcon>(Bytes, MaxPixels);
        } catch (const EIconTooLarge& E) {
            // Say which icon, and when the library's shared budget is what ran out, say that.
            std::string Limit = E.Limit();
            if (E.Width() <= kIcoMaxSide && E.Height() <= kIcoMaxSide)
                Limit = std::to_string(MaxPixels) + " точек, оставшихся из " +
                        std::to_string(kMaxLibraryPixels) + " точек на все значки библиотеки";
            throw EIconTooLarge(E.Width(), E.Height(), Limit, Count()); // the entries before it are read
        }
        Budget -=
            static_cast<std::size_t>(Icon->Image().Width) * static_cast<std::size_t>(Icon->Image().Height);
        return Icon;
    });
}

} // namespace zem
