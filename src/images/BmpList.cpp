#include "images/BmpList.h"

#include "images/BmpFile.h"
#include "images/LibraryStream.h"
#include "model/ZemLists.h"

#include <algorithm>
#include <cstring>

namespace {

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32* Image) {
    return Image ? std::make_unique<TBitmap32>(*Image) : nullptr;
}

std::unique_ptr<TBitmap32> BitmapFromBmp(std::span<const std::uint8_t> File) {
    // A picture may not claim far more pixels than its bytes can describe (run-length data that ends
    // early leaves the rest blank, so a few bytes could otherwise ask for half a gigabyte).
    const std::size_t Limit = std::min(zem::BmpMaxPixels, std::max<std::size_t>(65536, File.size() * 256));
    const zem::TZemImage Img = zem::DecodeBmp(File.data(), File.size(), Limit);
    auto B = std::make_unique<TBitmap32>(Img.Width, Img.Height);
    if (!B->Empty())
        std::memcpy(B->Bits(), Img.Pixels.data(), Img.Pixels.size() * sizeof(TColor32));
    return B;
}

} // namespace

void TBmpList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Change();
}

void TBmpList::Change() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(*this);
}

void TBmpList::CheckIndex(std::int32_t Index, std::int32_t Limit) const {
    if (Index < 0 || Index >= Limit)
        throw EZemError(zem::MsgBadIndex);
}

TBitmap32* TBmpList::Get(std::int32_t Index) {
    CheckIndex(Index, Count());
    return Entries[static_cast<size_t>(Index)].get();
}

const TBitmap32* TBmpList::Get(std::int32_t Index) const {
    CheckIndex(Index, Count());
    return Entries[static_cast<size_t>(Index)].get();
}

void TBmpList::Put(std::int32_t Index, const TBitmap32* Image) {
    CheckIndex(Index, Count() + 1);
    if (Index == Count())
        Entries.emplace_back();
    Entries[static_cast<size_t>(Index)] = CopyOf(Image);
    Change();
}

std::int32_t TBmpList::Add(const TBitmap32* Image) {
    Entries.push_back(CopyOf(Image));
    Change();
    return Count() - 1;
}

void TBmpList::Insert(std::int32_t Index, const TBitmap32* Image) {
    CheckIndex(Index, Count() + 1);
    Entries.insert(Entries.begin() + Index, CopyOf(Image));
    Change();
}

void TBmpList::Delete(std::int32_t Index) {
    CheckIndex(Index, Count());
    Entries.erase(Entries.begin() + Index);
    Change();
}

void TBmpList::Clear() {
    BeginUpdate();
    for (std::int32_t i = Count() - 1; i >= 0; --i)
        Delete(i);
    EndUpdate();
}

void TBmpList::Exchange(std::int32_t I, std::int32_t J) {
    CheckIndex(I, Count());
    CheckIndex(J, Count());
    std::swap(Entries[static_cast<size_t>(I)], Entries[static_cast<size_t>(J)]);
    Change();
}

void TBmpList::Move(std::int32_t From, std::int32_t To) {
    CheckIndex(From, Count());
    CheckIndex(To, Count());
    auto Entry = std::move(Entries[static_cast<size_t>(From)]);
    Entries.erase(Entries.begin() + From);
    Entries.insert(Entries.begin() + To, std::move(Entry));
    Change();
}

std::int32_t TBmpList::IndexOf(const TBitmap32* Image) const {
    for (std::int32_t i = 0; i < Count(); ++i)
        if (Entries[static_cast<size_t>(i)].get() == Image)
            return i;
    return -1;
}

void TBmpList::Assign(const TBmpList* Source) {
    if (Source == this)
        return;
    BeginUpdate();
    Clear();
    if (Source)
        for (const auto& E : Source->Entries)
            Add(E.get());
    EndUpdate();
}

void TBmpList::Assign(const TBitmap32& Image) {
    BeginUpdate();
    Clear();
    Add(&Image);
    EndUpdate();
}

void TBmpList::WriteData(std::vector<std::uint8_t>& Out) const {
    zem::PutInt32(Out, Count());
    for (const auto& E : Entries) {
        if (!E || E->Empty()) {
            zem::PutInt32(Out, 0);
            continue;
        }
        const std::vector<std::uint8_t> File = zem::EncodeBmp32(E->Bits(), E->Width(), E->Height());
        zem::PutInt32(Out, static_cast<std::int32_t>(File.size()));
        Out.insert(Out.end(), File.begin(), File.end());
    }
}

void TBmpList::ReadData(std::span<const std::uint8_t> Data) {
    BeginUpdate();
    struct TEnd {
        TBmpList& L;
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
        auto Image = BitmapFromBmp(R.ReadBytes(Size));
        Entries.push_back(std::move(Image));
        Change();
    }
}
