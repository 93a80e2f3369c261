#include "images/IcoList.h"

#include "images/IcoFile.h"
#include "images/LibraryStream.h"
#include "model/ZemLists.h"
#include "persistence/ZemFileWrite.h"

#include <cstring>

TZemIcon::TZemIcon(std::span<const std::uint8_t> IcoFile) : FFile(IcoFile.begin(), IcoFile.end()) {
    const zem::TZemImage Img = zem::DecodeIco(FFile.data(), FFile.size());
    FImage.SetSize(Img.Width, Img.Height);
    if (!FImage.Empty())
        std::memcpy(FImage.Bits(), Img.Pixels.data(), Img.Pixels.size() * sizeof(TColor32));
}

namespace {
std::unique_ptr<TZemIcon> CopyOf(const TZemIcon* Icon) {
    return Icon ? std::make_unique<TZemIcon>(*Icon) : nullptr;
}
} // namespace

void TIconList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Change();
}

void TIconList::Change() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(*this);
}

void TIconList::CheckIndex(std::int32_t Index, std::int32_t Limit) const {
    if (Index < 0 || Index >= Limit)
        throw EZemError(zem::MsgBadIndex);
}

const TZemIcon* TIconList::Get(std::int32_t Index) const {
    CheckIndex(Index, Count());
    return Entries[static_cast<size_t>(Index)].get();
}

void TIconList::Put(std::int32_t Index, const TZemIcon* Icon) {
    CheckIndex(Index, Count() + 1);
    if (Index == Count())
        Entries.emplace_back();
    Entries[static_cast<size_t>(Index)] = CopyOf(Icon);
    Change();
}

std::int32_t TIconList::Add(const TZemIcon* Icon) {
    Entries.push_back(CopyOf(Icon));
    Change();
    return Count() - 1;
}

void TIconList::Insert(std::int32_t Index, const TZemIcon* Icon) {
    CheckIndex(Index, Count() + 1);
    Entries.insert(Entries.begin() + Index, CopyOf(Icon));
    Change();
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

void TIconList::Delete(std::int32_t Index) {
    CheckIndex(Index, Count());
    Entries.erase(Entries.begin() + Index);
    Change();
}

void TIconList::Clear() {
    BeginUpdate();
    for (std::int32_t i = Count() - 1; i >= 0; --i)
        Delete(i);
    EndUpdate();
}

void TIconList::Exchange(std::int32_t I, std::int32_t J) {
    CheckIndex(I, Count());
    CheckIndex(J, Count());
    std::swap(Entries[static_cast<size_t>(I)], Entries[static_cast<size_t>(J)]);
    Change();
}

void TIconList::Move(std::int32_t From, std::int32_t To) {
    CheckIndex(From, Count());
    CheckIndex(To, Count());
    auto Entry = std::move(Entries[static_cast<size_t>(From)]);
    Entries.erase(Entries.begin() + From);
    Entries.insert(Entries.begin() + To, std::move(Entry));
    Change();
}

std::int32_t TIconList::IndexOf(const TZemIcon* Icon) const {
    for (std::int32_t i = 0; i < Count(); ++i)
        if (Entries[static_cast<size_t>(i)].get() == Icon)
            return i;
    return -1;
}

void TIconList::Assign(const TIconList* Source) {
    if (Source == this)
        return;
    BeginUpdate();
    Clear();
    if (Source)
        for (const auto& E : Source->Entries)
            Add(E.get());
    EndUpdate();
}

void TIconList::Assign(const TZemIcon& Icon) {
    BeginUpdate();
    Clear();
    Add(&Icon);
    EndUpdate();
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
    BeginUpdate();
    struct TEnd {
        TIconList& L;
        ~TEnd() { L.EndUpdate(); }
    } End{*this};
    Clear();
    zem::TLibraryReader R(Data);
    const std::int32_t n = R.ReadInt32();
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t Size = R.ReadInt32();
        if (Size <= 0) {
            Add(nullptr);
            continue;
        }
        Entries.push_back(std::make_unique<TZemIcon>(R.ReadBytes(Size)));
        Change();
    }
}
