#include "images/IcoList.h"

#include "images/IcoFile.h"
#include "images/LibraryStream.h"
#include "persistence/ZemFileWrite.h"

#include <cstring>

TZemIcon::TZemIcon(std::span<const std::uint8_t> IcoFile) : FFile(IcoFile.begin(), IcoFile.end()) {
    const zem::TZemImage Img = zem::DecodeIco(FFile.data(), FFile.size());
    FImage.SetSize(Img.Width, Img.Height);
    if (!FImage.Empty())
        std::memcpy(FImage.Bits(), Img.Pixels.data(), Img.Pixels.size() * sizeof(TColor32));
}

std::int32_t TIconList::AddFromFile(const std::string& FileName) {
    const std::string Bytes = zem::ReadWholeFile(FileName);
    const TZemIcon Icon(std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()));
    return Add(&Icon);
}

void TIconList::InsertFromFile(std::int32_t Index, const std::string& FileName) {
    const std::string Bytes = zem::ReadWholeFile(FileName);
    const TZemIcon Icon(std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()));
    Insert(Index, &Icon);
}

void TIconList::WriteData(std::vector<std::uint8_t>& Out) const {
    zem::PutInt32(Out, Count());
    for (const auto& E : Entries) {
        const std::int32_t Size = E ? static_cast<std::int32_t>(E->FileBytes().size()) : 0;
        zem::PutInt32(Out, Size);
        if (Size > 0)
            Out.insert(Out.end(), E->FileBytes().begin(), E->FileBytes().end());
    }
}

void TIconList::ReadData(std::span<const std::uint8_t> Data) {
    ReadEntries(Data, [](std::span<const std::uint8_t> Bytes) { return std::make_unique<TZemIcon>(Bytes); });
}
