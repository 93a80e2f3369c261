#pragma once
// The text form of an object's address, and the directory lookups that turn typed names into the
// positions an object stores. The map's GetAddress and SetAddress (model/ZemMap.h) are defined in
// ZemAddress.cpp.
#include "base/ZemText.h"
#include "model/ZemMap.h"

#include <vector>

namespace zem {

// An address as a person reads and types it: eight Windows-1251 strings.
struct TAddress {
    ZemString Index;
    ZemString City;
    ZemString Street;
    ZemString Number;
    ZemString Street2;
    ZemString Number2;
    ZemString Area;
    ZemString Corpus;
    friend bool operator==(const TAddress&, const TAddress&) = default;
    bool IsEmpty() const {
        return Index.empty() && City.empty() && Street.empty() && Number.empty() && Street2.empty() &&
               Number2.empty() && Area.empty() && Corpus.empty();
    }
};

// The line of a directory at Position; empty for -1 or a position the directory does not hold.
const ZemString& DirectoryLine(const TZemDirectory& Directory, std::int32_t Position);

// The position of the first line equal to Text ignoring letter case; -1 when there is none.
std::int32_t FindDirectoryLine(const TZemDirectory& Directory, const ZemString& Text);

// A copy of the directory sorted ascending ignoring letter case (equal lines keep their order), as the
// address dialog lists it.
std::vector<ZemString> SortedDirectory(const TZemDirectory& Directory);

} // namespace zem
