#pragma once
// Picture and icon files as the library dialogs add them: BMP, PNG and ICO into either library. A
// picture becomes an icon as a one-image ICO file; an icon becomes a picture as its image nearest 32 x 32.
#include "base/ZemPixels.h"
#include "images/ZemIcoList.h"

#include <cstddef>
#include <string>

namespace zem {

// Files larger than this are refused before they are read (a 256 MB BMP already holds 64M pixels).
constexpr std::size_t kMaxLibraryFileBytes = std::size_t{256} << 20;

// Each raises EZemError naming the file and the reason when it cannot be read or is no picture.
TZemImage ReadLibraryPicture(const std::string& FileName);
TZemIcon ReadLibraryIcon(const std::string& FileName);

} // namespace zem
