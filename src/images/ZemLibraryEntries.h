#pragma once
// The entries of a picture or icon library as a value. An entry is never changed once made, so copies
// of a library share them: a null pointer is an empty entry.
#include <cstddef>
#include <memory>
#include <vector>

namespace zem {

struct TZemImage;
class TZemIcon;

template <class TEntry> using TZemLibraryEntries = std::vector<std::shared_ptr<const TEntry>>;
using TZemPictureEntries = TZemLibraryEntries<TZemImage>;
using TZemIconEntries = TZemLibraryEntries<TZemIcon>;

} // namespace zem
