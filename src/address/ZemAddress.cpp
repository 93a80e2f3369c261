// Addresses: an object stores the repeated parts of its address as positions in the map's directories
// and the house numbers as text; here the two forms are converted, and typed names enter the directories.
#include "address/ZemAddress.h"

#include "editing/ZemQuietDrawing.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace zem {

namespace {

const ZemString kNoLine;

// Sort weight of one byte of an upper-cased name: Ё (0xA8) sorts right after Е (0xC5), as in the
// alphabet, not before А where its code lies.
std::uint16_t Weight(unsigned char Upper) {
    constexpr unsigned char kYo = 0xA8, kYe = 0xC5;
    return Upper == kYo ? static_cast<std::uint16_t>(kYe * 2 + 1) : static_cast<std::uint16_t>(Upper * 2);
}

bool LessIgnoringCase(const ZemString& A, const ZemString& B) {
    const ZemString UA = UpperCase(A), UB = UpperCase(B);
    return std::lexicographical_compare(UA.begin(), UA.end(), UB.begin(), UB.end(), [](char x, char y) {
        return Weight(static_cast<unsigned char>(x)) < Weight(static_cast<unsigned char>(y));
    });
}

// Text without the spaces (ordinary and non-breaking) and tabs around it.
std::string_view Trimmed(std::string_view S) {
    auto Space = [](char C) { return C == ' ' || C == '\t' || C == '\xA0'; };
    while (!S.empty() && Space(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && Space(S.back()))
        S.remove_suffix(1);
    return S;
}

// The position of Text in Directory, appending it as a new last line when no line matches. A line the
// directory editor keeps with spaces around it is still the line a field shows without them: it is
// found, not doubled. The directories are recorded for undo only when one really grows.
std::int32_t PositionFor(TZemMap& Map, TZemDirectory& Directory, const ZemString& Text) {
    if (Text.empty())
        return -1;
    std::int32_t Found = FindDirectoryLine(Directory, Text);
    for (std::size_t i = 0; Found == -1 && i < Directory.size(); ++i)
        if (SameText(ZemString(Trimmed(Directory[i])), ZemString(Trimmed(Text))))
            Found = static_cast<std::int32_t>(i);
    if (Found != -1)
        return Found;
    Map.TouchDirectories();
    Directory.push_back(Text);
    return static_cast<std::int32_t>(Directory.size() - 1);
}

// The stored record of a text address, the directories grown by the names they lacked: in the order
// Area, Index, Street, Street2, City, so that of two new streets Street is appended first.
TZemAddress Resolve(TZemMap& Map, const TAddress& A) {
    TZemDocument& D = Map.Doc;
    TZemAddress R;
    R.Area = PositionFor(Map, D.Areas, A.Area);
    R.Index = PositionFor(Map, D.Indexes, A.Index);
    R.Street = PositionFor(Map, D.Streets, A.Street);
    R.Street2 = PositionFor(Map, D.Streets, A.Street2);
    R.City = PositionFor(Map, D.Cities, A.City);
    R.Number = A.Number;
    R.Number2 = A.Number2;
    R.Corpus = A.Corpus;
    R.Empty = A.IsEmpty();
    return R;
}

// The directory parts of From that Target lacks; Target keeps every part it has, and its house numbers
// and building section, which belong to one building only.
TZemAddress Merged(const TZemAddress& Target, const TZemAddress& From) {
    TZemAddress R = Target.Empty ? TZemAddress{} : Target; // an empty record shows no part at all
    for (auto Part : {&TZemAddress::Index, &TZemAddress::City, &TZemAddress::Street, &TZemAddress::Street2,
                      &TZemAddress::Area})
        if (R.*Part == -1)
            R.*Part = From.*Part;
    R.Empty = R.Index == -1 && R.City == -1 && R.Street == -1 && R.Street2 == -1 && R.Area == -1 &&
              R.Number.empty() && R.Number2.empty() && R.Corpus.empty();
    return R;
}

} // namespace

const ZemString& DirectoryLine(const TZemDirectory& Directory, std::int32_t Position) {
    if (Position < 0 || static_cast<std::size_t>(Position) >= Directory.size())
        return kNoLine;
    return Directory[static_cast<std::size_t>(Position)];
}

std::int32_t FindDirectoryLine(const TZemDirectory& Directory, const ZemString& Text) {
    for (std::size_t i = 0; i < Directory.size(); ++i)
        if (SameText(Directory[i], Text))
            return static_cast<std::int32_t>(i);
    return -1;
}

std::vector<ZemString> SortedDirectory(const TZemDirectory& Directory) {
    std::vector<ZemString> Sorted(Directory.begin(), Directory.end());
    std::stable_sort(Sorted.begin(), Sorted.end(), LessIgnoringCase);
    return Sorted;
}

bool TZemMap::GetAddress(std::int32_t ID, TAddress& Address) const {
    if (ID == -1 || !ObjectExists(ID))
        return false;
    const TZemAddress& A = ObjectByID(ID).Address();
    Address = TAddress{};
    if (A.Empty)
        return true;
    // A position the directory does not hold (a file written elsewhere) reads as no name.
    Address.Area = DirectoryLine(Doc.Areas, A.Area);
    Address.Index = DirectoryLine(Doc.Indexes, A.Index);
    Address.City = DirectoryLine(Doc.Cities, A.City);
    Address.Street = DirectoryLine(Doc.Streets, A.Street);
    Address.Street2 = DirectoryLine(Doc.Streets, A.Street2);
    Address.Number = A.Number;
    Address.Number2 = A.Number2;
    Address.Corpus = A.Corpus;
    return true;
}

void TZemMap::SetAddress(std::int32_t ID, const TAddress& Address) {
    if (ID == -1 || !ObjectExists(ID))
        return;
    TZemChange Step(*this, "адрес");
    TouchObject(ID);
    const TZemAddress Stored = Resolve(*this, Address);
    ObjectByID(ID).SetAddress(Stored);
}

std::int32_t TZemMap::SetAddressForVisible(std::int32_t ID, const TAddress& Address) {
    std::int32_t Changed = 0;
    {
        TZemChange Step(*this, "адрес для видимых");
        const TZemQuietDrawing Quiet(*this);
        const TZemAddress From = Resolve(*this, Address);
        if (ID != -1 && ObjectExists(ID)) {
            TouchObject(ID);
            ObjectByID(ID).SetAddress(From);
        }
        for (std::int32_t Visible : View.VisibleList) {
            if (Visible == ID || !ObjectExists(Visible))
                continue;
            TZemObject& O = ObjectByID(Visible);
            // Junctions and segments are the transport network, not places with an address.
            if (O.Kind == otRoadCross || O.Kind == otRoadCrossLine)
                continue;
            const TZemAddress New = Merged(O.Address(), From);
            if (New == O.Address())
                continue;
            TouchObject(Visible);
            O.SetAddress(New);
            ++Changed;
        }
    }
    Refresh();
    return Changed;
}

void TZemMap::SetObjectType(std::int32_t ID, const ZemString& Name) {
    if (ID == -1 || !ObjectExists(ID))
        return;
    TZemChange Step(*this, "тип объекта");
    TouchObject(ID);
    const std::int32_t Type = PositionFor(*this, Doc.ObjectTypes, Name);
    ObjectByID(ID).SetCategory(Type);
}

std::int32_t TZemMap::SetObjectTypeForVisible(const ZemString& Name) {
    std::vector<std::int32_t> Untyped;
    for (std::int32_t Visible : View.VisibleList)
        if (ObjectExists(Visible) && ObjectByID(Visible).Category() == -1)
            Untyped.push_back(Visible);
    if (Name.empty() || Untyped.empty())
        return 0; // and the name does not enter the directory
    {
        TZemChange Step(*this, "тип для видимых");
        const TZemQuietDrawing Quiet(*this);
        const std::int32_t Type = PositionFor(*this, Doc.ObjectTypes, Name);
        for (std::int32_t ID : Untyped) {
            TouchObject(ID);
            ObjectByID(ID).SetCategory(Type);
        }
    }
    Refresh();
    return static_cast<std::int32_t>(Untyped.size());
}

} // namespace zem
